// What the requests a real drive accepts look like: their lengths, the
// miniport layout, the SMART registers, and the checks that name the first
// field of a request that differs. Pure functions, no simulator state.
#pragma once

#include <cstddef>
#include <string>

#include "drive/ddk.h"

const DWORD kVersionLength = sizeof(GETVERSIONINPARAMS);
const DWORD kEnableReplyLength = kSendCmdOutHeader;
const DWORD kPredictLength = sizeof(STORAGE_PREDICT_FAILURE);
const DWORD kGeometryLength = sizeof(DISK_GEOMETRY_EX);
const DWORD kExtentsMinimum = sizeof(VOLUME_DISK_EXTENTS);

// The "CMD_IDE " miniport request: SRB_IO_CONTROL, then the device index,
// the request word, 20 bytes of zero and the 512-byte IDENTIFY area.
const DWORD kMiniportLength = 564;
const size_t kMiniportDevice = 28;
const size_t kMiniportRequestWord = 30;
const size_t kMiniportZero = 32;
const size_t kMiniportIdentify = 52;

// ATA registers of the SMART commands.
const BYTE kSmartCommand = 0xB0;
const BYTE kSmartReadData = 0xD0;
const BYTE kSmartReadThresholds = 0xD1;
const BYTE kSmartEnable = 0xD8;
const BYTE kIdentifyAta = 0xEC;
const BYTE kIdentifyAtapi = 0xA1;

// The Windows errors the requests end with (GetLastError).
const DWORD kErrorInvalidFunction = 1;
const DWORD kErrorFileNotFound = 2;
const DWORD kErrorAccessDenied = 5;
const DWORD kErrorGenFailure = 31;
const DWORD kErrorNotSupported = 50;
const DWORD kErrorInvalidParameter = 87;
const DWORD kErrorInsufficientBuffer = 122;

std::string HexText(unsigned long value, int digits);
std::string NumberText(long value);
bool AllZero(const BYTE* p, size_t n);
DWORD Get32(const BYTE* p);

// The registers (other than the command and drive/head) and the lengths one
// ATA request needs.
struct AtaExpect {
    const char* name;
    BYTE features, count, number, cylLow, cylHigh;
    DWORD bufferSize;
    DWORD replyLength;
};

// Which ATA request a pass-through request (SMART_SEND_DRIVE_COMMAND or
// SMART_RCV_DRIVE_DATA) with this command and feature is; "" and *expect
// set, or why no drive takes it.
std::string ClassifyAtaRequest(DWORD code, BYTE command, BYTE features, AtaExpect* expect);

// The first register or length that differs from the request's needs, or "".
std::string RegisterMismatch(const SENDCMDINPARAMS& in, const AtaExpect& e);

// The first open argument that differs from what the device needs, or "".
std::string OpenArgsMismatch(DWORD access, DWORD share, DWORD creation, DWORD flags, DWORD needAccess, DWORD needShare,
                             DWORD needCreation, DWORD needFlags);

// The first field of the miniport request's fixed header (signature,
// SRB_IO_CONTROL, request word, cleared bytes) that is wrong, or "".
std::string MiniportMismatch(const BYTE* request);
