// The access block of one drive: its device handle, the request and reply
// buffers of the ATA pass-through requests and of the NVMe property
// queries, and pointers to the valid replies (null until a request
// succeeds, null again when it fails).
#pragma once

#include "drive/ddk.h"
#include "drive/nvmeblocks.h"

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

// An NVMe property query in one buffer, as Microsoft documents it: the query
// header and the protocol block before room for the data; the reply
// overwrites it with the protocol data descriptor and the data.
const DWORD kNvmeQueryHeader = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
const DWORD kNvmeDataOffset = sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
static_assert(kNvmeQueryHeader + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == kNvmeDataOffset,
              "the data lies at the same place in the query and in the reply");
template <DWORD DataSize>
struct NvmeQuery {
    static const DWORD kLength = kNvmeDataOffset + DataSize;
    alignas(8) BYTE bytes[kLength];
    BYTE* Data() { return bytes + kNvmeDataOffset; }
};
// The device property: the descriptor and the strings after it.
const DWORD kDevicePropertyLength = 1024;

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

    BYTE* pNvmeIdentify = nullptr;  // the 4096-byte Identify Controller data
    BYTE* pNvmeHealth = nullptr;    // the 512-byte SMART / Health Information log
    alignas(8) BYTE deviceProperty[kDevicePropertyLength] = {};
    NvmeQuery<kNvmeIdentifySize> identifyQuery = {};
    NvmeQuery<kNvmeHealthSize> healthQuery = {};
};
