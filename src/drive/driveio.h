// The access block of one drive: its device handle, the request and reply
// buffers of the ATA pass-through requests, and pointers to the valid
// replies (null until a request succeeds, null again when it fails).
#pragma once

#include "drive/ddk.h"

#pragma pack(push, 1)
// A SENDCMDOUTPARAMS header followed by one 512-byte block.
struct AtaReply {
    SENDCMDOUTPARAMS header;  // its one-byte bBuffer is the first data byte
    BYTE rest[kAtaBlockSize - 1];

    BYTE* Data() { return header.bBuffer; }
    const BYTE* Data() const { return header.bBuffer; }
};
#pragma pack(pop)
static_assert(sizeof(AtaReply) == kAtaReplyLength, "AtaReply layout");

struct DriveIo {
    DriveIo() = default;
    ~DriveIo();
    DriveIo(const DriveIo&) = delete;
    DriveIo& operator=(const DriveIo&) = delete;

    HANDLE hDevice = nullptr;  // null: never opened or closed
    BYTE driveNumber = 0;
    BYTE identifyCmd = 0;      // 0xEC, or 0xA1 for an ATAPI device
    GETVERSIONINPARAMS* pVersion = nullptr;
    BYTE* pIdentify = nullptr;  // the 512-byte IDENTIFY data
    BYTE* pDA = nullptr;        // attribute table: byte 2 of the SMART data block
    BYTE* pAT = nullptr;        // threshold table: byte 2 of the threshold block
    DWORD cbIn = 0;
    DWORD cbOut = 0;
    SENDCMDINPARAMS cmdIn = {};
    SENDCMDOUTPARAMS cmdStatus = {};
    GETVERSIONINPARAMS version = {};
    STORAGE_PREDICT_FAILURE predict = {};
    AtaReply identifyOut = {};
    AtaReply dataOut = {};
    AtaReply thresholdOut = {};
};
