#include "sim/simchecks.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kMiniportHeaderLength = 28;
const DWORD kMiniportTimeout = 5;
const DWORD kMiniportControlCode = 0x00042008;
const DWORD kMiniportReturnCode = 0xFFFFFFFFUL;
const DWORD kMiniportDataLength = 536;

const BYTE kSmartCylLow = 0x4F;
const BYTE kSmartCylHigh = 0xC2;

const AtaExpect kEnableRequest = {"SMART ENABLE OPERATIONS", kSmartEnable, 1, 1, kSmartCylLow, kSmartCylHigh, 0,
                                  kEnableReplyLength};
const AtaExpect kIdentifyRequest = {"IDENTIFY", 0, 1, 1, 0, 0, kAtaBlockSize, kAtaReplyLength};
const AtaExpect kReadDataRequest = {"SMART READ DATA", kSmartReadData, 1, 1, kSmartCylLow, kSmartCylHigh,
                                    kAtaBlockSize,     kAtaReplyLength};
const AtaExpect kReadThresholdsRequest = {
    "SMART READ THRESHOLDS", kSmartReadThresholds, 1, 1, kSmartCylLow, kSmartCylHigh, kAtaBlockSize, kAtaReplyLength};

std::string Mismatch(const char* field, unsigned long got, unsigned long need, const AtaExpect& e) {
    return std::string(field) + " " + HexText(got, 2) + ", needs " + HexText(need, 2) + " for " + e.name;
}

}  // namespace

std::string HexText(unsigned long value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

std::string NumberText(long value) { return std::to_string(value); }

bool AllZero(const BYTE* p, size_t n) {
    for (size_t k = 0; k < n; ++k)
        if (p[k] != 0) return false;
    return true;
}

DWORD Get32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

std::string ClassifyAtaRequest(DWORD code, BYTE command, BYTE features, AtaExpect* expect) {
    if (code == SMART_SEND_DRIVE_COMMAND) {
        if (command != kSmartCommand) return "command " + HexText(command, 2) + " is not SMART";
        if (features != kSmartEnable) return "SMART feature " + HexText(features, 2) + " is not sent as a command";
        *expect = kEnableRequest;
    } else if (command == kIdentifyAta || command == kIdentifyAtapi) {
        *expect = kIdentifyRequest;
    } else if (command == kSmartCommand && features == kSmartReadData) {
        *expect = kReadDataRequest;
    } else if (command == kSmartCommand && features == kSmartReadThresholds) {
        *expect = kReadThresholdsRequest;
    } else if (command == kSmartCommand) {
        return "SMART feature " + HexText(features, 2) + " is not read as data";
    } else {
        return "command " + HexText(command, 2) + " is not IDENTIFY or SMART";
    }
    return std::string();
}

std::string RegisterMismatch(const SENDCMDINPARAMS& in, const AtaExpect& e) {
    const IDEREGS& r = in.irDriveRegs;
    if (r.bFeaturesReg != e.features) return Mismatch("bFeaturesReg", r.bFeaturesReg, e.features, e);
    if (r.bSectorCountReg != e.count) return Mismatch("bSectorCountReg", r.bSectorCountReg, e.count, e);
    if (r.bSectorNumberReg != e.number) return Mismatch("bSectorNumberReg", r.bSectorNumberReg, e.number, e);
    if (r.bCylLowReg != e.cylLow) return Mismatch("bCylLowReg", r.bCylLowReg, e.cylLow, e);
    if (r.bCylHighReg != e.cylHigh) return Mismatch("bCylHighReg", r.bCylHighReg, e.cylHigh, e);
    if (in.cBufferSize != e.bufferSize)
        return "cBufferSize " + NumberText(static_cast<long>(in.cBufferSize)) + ", needs " +
               NumberText(static_cast<long>(e.bufferSize)) + " for " + e.name;
    return std::string();
}

std::string OpenArgsMismatch(DWORD access, DWORD share, DWORD creation, DWORD flags, DWORD needAccess, DWORD needShare,
                             DWORD needCreation, DWORD needFlags) {
    if (access != needAccess) return "access " + HexText(access, 8) + ", needs " + HexText(needAccess, 8);
    if (share != needShare) return "share mode " + HexText(share, 8) + ", needs " + HexText(needShare, 8);
    if (creation != needCreation)
        return "creation " + NumberText(static_cast<long>(creation)) + ", needs " +
               NumberText(static_cast<long>(needCreation));
    if (flags != needFlags) return "flags " + HexText(flags, 8) + ", needs " + HexText(needFlags, 8);
    return std::string();
}

std::string MiniportMismatch(const BYTE* request) {
    struct Field {
        const char* name;
        size_t offset;
        DWORD need;
    };
    const Field fields[] = {{"HeaderLength", 0, kMiniportHeaderLength},
                            {"Timeout", 12, kMiniportTimeout},
                            {"ControlCode", 16, kMiniportControlCode},
                            {"ReturnCode", 20, kMiniportReturnCode},
                            {"Length", 24, kMiniportDataLength}};
    if (std::memcmp(request + 4, "CMD_IDE ", 8) != 0) return "signature is not \"CMD_IDE \"";
    for (const Field& f : fields) {
        const DWORD got = Get32(request + f.offset);
        if (got != f.need) return std::string(f.name) + " " + HexText(got, 8) + ", needs " + HexText(f.need, 8);
    }
    const WORD word = static_cast<WORD>(request[kMiniportRequestWord] | (request[kMiniportRequestWord + 1] << 8));
    if (word != 1) return "request word " + NumberText(word) + ", needs 1 (IDENTIFY)";
    if (!AllZero(request + kMiniportZero, kMiniportIdentify - kMiniportZero)) return "bytes 32-51 not cleared";
    return std::string();
}
