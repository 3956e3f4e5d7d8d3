#include "sim/simulator.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Fake handle values: never null, never INVALID_HANDLE_VALUE, never reused,
// so a stale handle is always told apart from a live one.
const std::uintptr_t kFirstHandle = 0x00A1B000;
const std::uintptr_t kHandleStep = 4;

const DWORD kVersionLength = sizeof(GETVERSIONINPARAMS);
const DWORD kEnableReplyLength = kSendCmdOutHeader;
const DWORD kPredictLength = sizeof(STORAGE_PREDICT_FAILURE);
const DWORD kGeometryLength = sizeof(DISK_GEOMETRY_EX);
const DWORD kExtentsMinimum = sizeof(VOLUME_DISK_EXTENTS);

// The "CMD_IDE " miniport request: SRB_IO_CONTROL, then the device index,
// the request word, 20 bytes of zero and the 512-byte IDENTIFY area.
const DWORD kMiniportLength = 564;
const DWORD kMiniportHeaderLength = 28;
const DWORD kMiniportTimeout = 5;
const DWORD kMiniportControlCode = 0x00042008;
const DWORD kMiniportReturnCode = 0xFFFFFFFFUL;
const DWORD kMiniportDataLength = 536;
const size_t kMiniportDevice = 28;
const size_t kMiniportRequestWord = 30;
const size_t kMiniportZero = 32;
const size_t kMiniportIdentify = 52;

const ULONGLONG kFirstExtentOffset = 1048576;

// ATA registers of the SMART commands.
const BYTE kSmartCommand = 0xB0;
const BYTE kSmartCylLow = 0x4F;
const BYTE kSmartCylHigh = 0xC2;
const BYTE kSmartReadData = 0xD0;
const BYTE kSmartReadThresholds = 0xD1;
const BYTE kSmartEnable = 0xD8;
const BYTE kIdentifyAta = 0xEC;
const BYTE kIdentifyAtapi = 0xA1;

std::string Hex(unsigned long value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

std::string Number(long value) { return std::to_string(value); }

bool AllZero(const BYTE* p, size_t n) {
    for (size_t k = 0; k < n; ++k)
        if (p[k] != 0) return false;
    return true;
}

DWORD Get32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

void Put32(BYTE* p, DWORD v) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
}

void Put64(BYTE* p, ULONGLONG v) {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<BYTE>(v >> (8 * k));
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (Upper(a[k]) != Upper(b[k])) return false;
    return true;
}

// "<word><decimal><suffix>", the word in any case, the number without
// leading zeros.
bool ParseNumbered(const std::string& name, const char* word, const char* suffix, int* number) {
    const size_t w = std::strlen(word), s = std::strlen(suffix);
    if (name.size() <= w + s || !SameText(name.substr(0, w), word) || name.compare(name.size() - s, s, suffix) != 0)
        return false;
    const std::string digits = name.substr(w, name.size() - w - s);
    if (digits.size() > 4 || (digits.size() > 1 && digits[0] == '0')) return false;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *number = value;
    return true;
}

// The first open argument that differs from what the device needs, or "".
std::string OpenArgsMismatch(DWORD access, DWORD share, DWORD creation, DWORD flags, DWORD needAccess, DWORD needShare,
                             DWORD needCreation, DWORD needFlags) {
    if (access != needAccess) return "access " + Hex(access, 8) + ", needs " + Hex(needAccess, 8);
    if (share != needShare) return "share mode " + Hex(share, 8) + ", needs " + Hex(needShare, 8);
    if (creation != needCreation)
        return "creation " + Number(static_cast<long>(creation)) + ", needs " + Number(static_cast<long>(needCreation));
    if (flags != needFlags) return "flags " + Hex(flags, 8) + ", needs " + Hex(needFlags, 8);
    return std::string();
}

// The registers (other than the command and drive/head) and the lengths one
// ATA request needs.
struct AtaExpect {
    const char* name;
    BYTE features, count, number, cylLow, cylHigh;
    DWORD bufferSize;
    DWORD replyLength;
};

const AtaExpect kEnableRequest = {"SMART ENABLE OPERATIONS", kSmartEnable, 1, 1, kSmartCylLow, kSmartCylHigh, 0,
                                  kEnableReplyLength};
const AtaExpect kIdentifyRequest = {"IDENTIFY", 0, 1, 1, 0, 0, kAtaBlockSize, kAtaReplyLength};
const AtaExpect kReadDataRequest = {"SMART READ DATA", kSmartReadData, 1, 1, kSmartCylLow, kSmartCylHigh,
                                    kAtaBlockSize,     kAtaReplyLength};
const AtaExpect kReadThresholdsRequest = {
    "SMART READ THRESHOLDS", kSmartReadThresholds, 1, 1, kSmartCylLow, kSmartCylHigh, kAtaBlockSize, kAtaReplyLength};

std::string Mismatch(const char* field, unsigned long got, unsigned long need, const AtaExpect& e) {
    return std::string(field) + " " + Hex(got, 2) + ", needs " + Hex(need, 2) + " for " + e.name;
}

// The first register that differs from the request's needs, or "".
std::string RegisterMismatch(const SENDCMDINPARAMS& in, const AtaExpect& e) {
    const IDEREGS& r = in.irDriveRegs;
    if (r.bFeaturesReg != e.features) return Mismatch("bFeaturesReg", r.bFeaturesReg, e.features, e);
    if (r.bSectorCountReg != e.count) return Mismatch("bSectorCountReg", r.bSectorCountReg, e.count, e);
    if (r.bSectorNumberReg != e.number) return Mismatch("bSectorNumberReg", r.bSectorNumberReg, e.number, e);
    if (r.bCylLowReg != e.cylLow) return Mismatch("bCylLowReg", r.bCylLowReg, e.cylLow, e);
    if (r.bCylHighReg != e.cylHigh) return Mismatch("bCylHighReg", r.bCylHighReg, e.cylHigh, e);
    if (in.cBufferSize != e.bufferSize)
        return "cBufferSize " + Number(static_cast<long>(in.cBufferSize)) + ", needs " +
               Number(static_cast<long>(e.bufferSize)) + " for " + e.name;
    return std::string();
}

}  // namespace

const char* Simulator::OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Answered:
            return "answered";
        case Outcome::Absent:
            return "absent";
        case Outcome::Faulted:
            return "faulted";
        case Outcome::Aborted:
            return "aborted";
        case Outcome::Refused:
            return "refused";
    }
    return "?";
}

std::string Simulator::LoadReport::Text() const {
    std::string text;
    if (drives.empty()) {
        text = "no drives loaded";
    } else {
        text = "loaded drives";
        for (size_t k = 0; k < drives.size(); ++k) {
            char number[8];
            std::snprintf(number, sizeof number, "%s%02d", k == 0 ? " " : ", ", drives[k]);
            text += number;
        }
    }
    if (!volumes.empty()) {
        text += "; volumes";
        for (size_t k = 0; k < volumes.size(); ++k) text += std::string(k == 0 ? " " : ", ") + volumes[k] + ":";
    }
    for (size_t k = 0; k < skipped.size(); ++k) text += (k == 0 ? "; skipped " : ", ") + skipped[k];
    return text;
}

Simulator::Simulator() : platform_(VER_PLATFORM_WIN32_NT), nextHandle_(kFirstHandle) {}

Simulator::~Simulator() = default;

// --- Setting up ---

bool Simulator::AddDrive(const SimDrive& drive) {
    if (drive.number < 0 || drive.number >= kSimMaxDrives) return false;
    std::lock_guard<std::mutex> guard(lock_);
    DriveState state;
    state.drive = drive;
    drives_[drive.number] = state;
    return true;
}

bool Simulator::AddDrive(int number, const SimBlock& identify, const SimBlock& smart, const SimBlock& thresholds) {
    SimDrive drive;
    drive.number = number;
    drive.identify = identify;
    drive.smart = smart;
    drive.thresholds = thresholds;
    return AddDrive(drive);
}

SimDrive* Simulator::Drive(int number) {
    std::lock_guard<std::mutex> guard(lock_);
    DriveState* state = FindDrive(number);
    return state != nullptr ? &state->drive : nullptr;
}

bool Simulator::AddVolume(const SimVolume& volume) {
    SimVolume v = volume;
    v.letter = Upper(v.letter);
    if (v.letter < 'A' || v.letter > 'Z') return false;
    std::lock_guard<std::mutex> guard(lock_);
    volumes_[v.letter] = v;
    return true;
}

Simulator::LoadReport Simulator::LoadFolder(const std::string& folder) {
    LoadReport report;
    try {
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            report.skipped.push_back(folder + ": cannot be read");
            return report;
        }
        report.folderRead = true;
        std::vector<fs::path> entries;
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) break;
            if (it->is_directory(ec)) entries.push_back(it->path());
        }
        std::sort(entries.begin(), entries.end());

        std::map<int, std::string> drivesFrom;
        std::map<char, std::string> volumesFrom;
        for (const fs::path& entry : entries) {
            const std::string name = entry.filename().string();
            const int number = SimDriveNumber(name);
            if (number < 0) {
                report.skipped.push_back(name + ": not a drive number 00-15");
                continue;
            }
            if (drivesFrom.count(number) != 0) {
                report.skipped.push_back(name + ": drive " + Number(number) + " already loaded from " +
                                         drivesFrom[number]);
                continue;
            }
            SimDrive drive;
            std::vector<SimVolume> volumes;
            std::string error;
            if (!LoadSimDrive(entry.string(), number, &drive, &volumes, &error)) {
                report.skipped.push_back(name + ": " + error);
                continue;
            }
            AddDrive(drive);
            drivesFrom[number] = name;
            report.drives.push_back(number);
            for (const SimVolume& v : volumes) {
                if (volumesFrom.count(v.letter) != 0) {
                    report.skipped.push_back(name + ": volume " + v.letter + ": already listed by " +
                                             volumesFrom[v.letter]);
                    continue;
                }
                AddVolume(v);
                volumesFrom[v.letter] = name;
                report.volumes.push_back(v.letter);
            }
        }
    } catch (const std::exception& e) {
        // A name the narrow path text cannot hold, on Windows.
        report.skipped.push_back(std::string("folder listing stopped: ") + e.what());
    }
    return report;
}

void Simulator::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    drives_.clear();
    volumes_.clear();
    handles_.clear();
    openHandles_ = 0;
    requests_.clear();
    refusals_.clear();
    debugLines_.clear();
    handleFaults_.clear();
}

void Simulator::SetPlatform(DWORD platformId) {
    std::lock_guard<std::mutex> guard(lock_);
    platform_ = platformId;
}

void Simulator::SetLogLimit(size_t entries) {
    std::lock_guard<std::mutex> guard(lock_);
    logLimit_ = entries;
    Trim();
}

// --- What happened ---

std::vector<Simulator::Request> Simulator::Requests() const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<Request>(requests_.begin(), requests_.end());
}

std::vector<Simulator::Request> Simulator::Refusals() const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<Request>(refusals_.begin(), refusals_.end());
}

std::vector<std::string> Simulator::DebugLines() const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<std::string>(debugLines_.begin(), debugLines_.end());
}

std::vector<std::string> Simulator::HandleFaults() const {
    std::lock_guard<std::mutex> guard(lock_);
    return std::vector<std::string>(handleFaults_.begin(), handleFaults_.end());
}

int Simulator::OpenHandles() const {
    std::lock_guard<std::mutex> guard(lock_);
    return openHandles_;
}

long Simulator::Poll(int number) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = drives_.find(number);
    return it == drives_.end() ? -1 : static_cast<long>(it->second.CurrentPoll());
}

void Simulator::ClearLog() {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.clear();
    refusals_.clear();
    debugLines_.clear();
    handleFaults_.clear();
}

void Simulator::Record(const Request& r) {
    requests_.push_back(r);
    if (r.outcome == Outcome::Refused) refusals_.push_back(r);
    Trim();
}

void Simulator::Trim() {
    while (requests_.size() > logLimit_) requests_.pop_front();
    while (refusals_.size() > logLimit_) refusals_.pop_front();
    while (debugLines_.size() > logLimit_) debugLines_.pop_front();
    while (handleFaults_.size() > logLimit_) handleFaults_.pop_front();
}

Simulator::DriveState* Simulator::FindDrive(int number) {
    const auto it = drives_.find(number);
    return it == drives_.end() ? nullptr : &it->second;
}

// --- Opening and closing ---

HANDLE Simulator::NewHandle(HandleKind kind, int target, const std::string& path) {
    const std::uintptr_t value = nextHandle_;
    nextHandle_ += kHandleStep;
    handles_[value] = HandleInfo{kind, target, path, true};
    ++openHandles_;
    return reinterpret_cast<HANDLE>(value);
}

HANDLE Simulator::OpenResult(Request& r, Outcome outcome, const std::string& reason) {
    r.outcome = outcome;
    r.reason = reason;
    Record(r);
    return INVALID_HANDLE_VALUE;
}

HANDLE Simulator::Open(const char* path, DWORD access, DWORD share, DWORD creation, DWORD flags) {
    std::lock_guard<std::mutex> guard(lock_);
    Request r;
    r.kind = "open";
    if (path == nullptr) return OpenResult(r, Outcome::Refused, "null path");
    r.path = path;
    const std::string text = path;
    if (text.compare(0, 4, "\\\\.\\") != 0) return OpenResult(r, Outcome::Refused, "not a device path");
    const std::string name = text.substr(4);
    const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
    const DWORD shareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
    int number = 0;
    std::string mismatch;
    HandleKind kind;

    if (ParseNumbered(name, "PHYSICALDRIVE", "", &number)) {
        kind = HandleKind::PhysicalDrive;
        r.drive = number;
        mismatch = OpenArgsMismatch(access, share, creation, flags, readWrite, shareReadWrite, OPEN_EXISTING, 0);
        if (!mismatch.empty()) return OpenResult(r, Outcome::Refused, mismatch);
        if (platform_ != VER_PLATFORM_WIN32_NT)
            return OpenResult(r, Outcome::Absent, "no such device on this platform");
        DriveState* d = FindDrive(number);
        if (d == nullptr) return OpenResult(r, Outcome::Absent, "no drive " + Number(number));
        r.poll = d->CurrentPoll();
        if (d->drive.faults.open.Contains(r.poll))
            return OpenResult(r, Outcome::Faulted, "open fault at poll " + Number(static_cast<long>(r.poll)));
    } else if (SameText(name, "SMARTVSD")) {
        kind = HandleKind::SmartVsd;
        mismatch = OpenArgsMismatch(access, share, creation, flags, 0, 0, CREATE_NEW, 0);
        if (!mismatch.empty()) return OpenResult(r, Outcome::Refused, mismatch);
        if (platform_ != VER_PLATFORM_WIN32_WINDOWS)
            return OpenResult(r, Outcome::Absent, "no such device on this platform");
    } else if (ParseNumbered(name, "SCSI", ":", &number)) {
        kind = HandleKind::ScsiPort;
        mismatch = OpenArgsMismatch(access, share, creation, flags, readWrite, shareReadWrite, OPEN_EXISTING, 0);
        if (!mismatch.empty()) return OpenResult(r, Outcome::Refused, mismatch);
        if (platform_ != VER_PLATFORM_WIN32_NT)
            return OpenResult(r, Outcome::Absent, "no such device on this platform");
        bool portUsed = false;
        for (const auto& entry : drives_) portUsed = portUsed || entry.second.drive.miniportPort == number;
        if (!portUsed) return OpenResult(r, Outcome::Absent, "no miniport drive on port " + Number(number));
    } else if (name.size() == 2 && name[1] == ':' && Upper(name[0]) >= 'A' && Upper(name[0]) <= 'Z') {
        kind = HandleKind::Volume;
        number = Upper(name[0]);
        mismatch = OpenArgsMismatch(access, share, creation, flags, GENERIC_READ, shareReadWrite, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL);
        if (!mismatch.empty()) return OpenResult(r, Outcome::Refused, mismatch);
        if (platform_ != VER_PLATFORM_WIN32_NT)
            return OpenResult(r, Outcome::Absent, "no such device on this platform");
        const auto it = volumes_.find(static_cast<char>(number));
        if (it == volumes_.end()) return OpenResult(r, Outcome::Absent, "no volume " + name);
        if (!it->second.opens) return OpenResult(r, Outcome::Absent, "volume " + name + " is not ready");
    } else {
        return OpenResult(r, Outcome::Refused, "unknown device path");
    }
    r.outcome = Outcome::Answered;
    Record(r);
    return NewHandle(kind, number, text);
}

BOOL Simulator::Close(HANDLE device) {
    std::lock_guard<std::mutex> guard(lock_);
    Request r;
    r.kind = "close";
    const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(device));
    std::string fault;
    if (it == handles_.end()) {
        fault =
            "close of unknown handle " + Hex(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(device)), 8);
    } else if (!it->second.open) {
        r.path = it->second.path;
        fault = "second close of " + it->second.path;
    }
    if (!fault.empty()) {
        handleFaults_.push_back(fault);
        r.outcome = Outcome::Refused;
        r.reason = fault;
        Record(r);
        return FALSE;
    }
    r.path = it->second.path;
    if (it->second.kind == HandleKind::PhysicalDrive) r.drive = it->second.target;
    it->second.open = false;
    --openHandles_;
    r.outcome = Outcome::Answered;
    Record(r);
    return TRUE;
}

// --- Requests ---

BOOL Simulator::Finish(Request& r, Outcome outcome, const std::string& reason, DWORD* returned, DWORD bytes) {
    r.outcome = outcome;
    r.reason = reason;
    Record(r);
    if (outcome != Outcome::Answered) return FALSE;
    if (returned != nullptr) *returned = bytes;
    return TRUE;
}

BOOL Simulator::Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    std::lock_guard<std::mutex> guard(lock_);
    if (returned != nullptr) *returned = 0;
    Request r;
    r.kind = "ioctl";
    r.ioctl = code;
    const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(device));
    if (it == handles_.end()) return Finish(r, Outcome::Refused, "unknown handle", returned, 0);
    const HandleInfo h = it->second;
    r.path = h.path;
    if (h.kind == HandleKind::PhysicalDrive) r.drive = h.target;
    if (!h.open) return Finish(r, Outcome::Refused, "handle already closed", returned, 0);
    // Without an overlapped structure the byte count is not optional.
    if (returned == nullptr) return Finish(r, Outcome::Refused, "no place for the byte count", returned, 0);
    if (inSize != 0 && in == nullptr) return Finish(r, Outcome::Refused, "input length without a buffer", returned, 0);
    if (outSize != 0 && out == nullptr)
        return Finish(r, Outcome::Refused, "output length without a buffer", returned, 0);

    const bool ataDevice = h.kind == HandleKind::PhysicalDrive || h.kind == HandleKind::SmartVsd;
    if (ataDevice && code == SMART_GET_VERSION) return Version(h, r, inSize, out, outSize, returned);
    if (ataDevice && (code == SMART_SEND_DRIVE_COMMAND || code == SMART_RCV_DRIVE_DATA))
        return AtaRequest(h, r, code, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::PhysicalDrive && code == IOCTL_STORAGE_PREDICT_FAILURE)
        return PredictFailure(h, r, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::PhysicalDrive && code == IOCTL_DISK_GET_DRIVE_GEOMETRY_EX)
        return Geometry(h, r, inSize, out, outSize, returned);
    if (h.kind == HandleKind::ScsiPort && code == IOCTL_SCSI_MINIPORT)
        return Miniport(h, r, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::Volume && code == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS)
        return Extents(h, r, inSize, out, outSize, returned);
    return Finish(r, Outcome::Refused, "request " + Hex(code, 8) + " is not one " + h.path + " answers", returned, 0);
}

BOOL Simulator::Version(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0) return Finish(r, Outcome::Refused, "input length " + Number(inSize) + ", needs 0", returned, 0);
    if (outSize != kVersionLength)
        return Finish(r, Outcome::Refused, "output length " + Number(outSize) + ", needs 24", returned, 0);
    if (h.kind == HandleKind::PhysicalDrive) {
        DriveState* d = FindDrive(h.target);
        if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
        r.poll = d->CurrentPoll();
        if (d->drive.faults.version.Contains(r.poll))
            return Finish(r, Outcome::Faulted, "version fault at poll " + Number(r.poll), returned, 0);
    }
    GETVERSIONINPARAMS reply;
    std::memset(&reply, 0, sizeof reply);
    reply.bVersion = 1;
    reply.bRevision = 1;
    for (const auto& entry : drives_) {
        const int n = entry.first;
        if (n < 4) reply.bIDEDeviceMap |= static_cast<BYTE>(1u << (entry.second.drive.atapi ? n + 4 : n));
    }
    reply.fCapabilities = 7;  // ATA IDENTIFY, ATAPI IDENTIFY, SMART commands
    std::memcpy(out, &reply, sizeof reply);
    return Finish(r, Outcome::Answered, std::string(), returned, kVersionLength);
}

BOOL Simulator::AtaRequest(const HandleInfo& h, Request& r, DWORD code, void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD* returned) {
    if (inSize != kSendCmdInLength)
        return Finish(r, Outcome::Refused, "input length " + Number(inSize) + ", needs 32", returned, 0);
    SENDCMDINPARAMS cmd;
    std::memset(&cmd, 0, sizeof cmd);
    std::memcpy(&cmd, in, kSendCmdInLength);
    r.features = cmd.irDriveRegs.bFeaturesReg;
    r.command = cmd.irDriveRegs.bCommandReg;

    const BYTE command = cmd.irDriveRegs.bCommandReg;
    const BYTE features = cmd.irDriveRegs.bFeaturesReg;
    AtaExpect e;
    if (code == SMART_SEND_DRIVE_COMMAND) {
        if (command != kSmartCommand)
            return Finish(r, Outcome::Refused, "command " + Hex(command, 2) + " is not SMART", returned, 0);
        if (features != kSmartEnable)
            return Finish(r, Outcome::Refused, "SMART feature " + Hex(features, 2) + " is not sent as a command",
                          returned, 0);
        e = kEnableRequest;
    } else if (command == kIdentifyAta || command == kIdentifyAtapi) {
        e = kIdentifyRequest;
    } else if (command == kSmartCommand && features == kSmartReadData) {
        e = kReadDataRequest;
    } else if (command == kSmartCommand && features == kSmartReadThresholds) {
        e = kReadThresholdsRequest;
    } else if (command == kSmartCommand) {
        return Finish(r, Outcome::Refused, "SMART feature " + Hex(features, 2) + " is not read as data", returned, 0);
    } else {
        return Finish(r, Outcome::Refused, "command " + Hex(command, 2) + " is not IDENTIFY or SMART", returned, 0);
    }
    if (outSize != e.replyLength)
        return Finish(r, Outcome::Refused,
                      "output length " + Number(outSize) + ", needs " + Number(e.replyLength) + " for " + e.name,
                      returned, 0);
    const std::string regs = RegisterMismatch(cmd, e);
    if (!regs.empty()) return Finish(r, Outcome::Refused, regs, returned, 0);
    if (cmd.irDriveRegs.bReserved != 0 || !AllZero(cmd.bReserved, sizeof cmd.bReserved) ||
        !AllZero(reinterpret_cast<const BYTE*>(cmd.dwReserved), sizeof cmd.dwReserved))
        return Finish(r, Outcome::Refused, "reserved fields not cleared", returned, 0);

    const int n = cmd.bDriveNumber;
    if (h.kind == HandleKind::PhysicalDrive && n != h.target)
        return Finish(r, Outcome::Refused, "bDriveNumber " + Number(n) + " on the device of drive " + Number(h.target),
                      returned, 0);
    r.drive = n;
    const BYTE head = static_cast<BYTE>(0xA0 | ((n & 1) << 4));
    if (cmd.irDriveRegs.bDriveHeadReg != head)
        return Finish(r, Outcome::Refused,
                      "bDriveHeadReg " + Hex(cmd.irDriveRegs.bDriveHeadReg, 2) + ", needs " + Hex(head, 2) +
                          " for drive " + Number(n),
                      returned, 0);
    DriveState* d = FindDrive(n);
    if (d == nullptr) return Finish(r, Outcome::Absent, "no drive " + Number(n), returned, 0);
    const SimDrive& drive = d->drive;
    r.poll = d->CurrentPoll();

    const bool identify = command == kIdentifyAta || command == kIdentifyAtapi;
    const bool data = !identify && e.features == kSmartReadData;
    // The version reply marks ATAPI devices among drives 0-3 only: beyond
    // them a caller cannot know, and the device merely aborts.
    const Outcome wrongKind = n < 4 ? Outcome::Refused : Outcome::Aborted;
    if (identify && drive.atapi && command == kIdentifyAta)
        return Finish(r, wrongKind, "IDENTIFY DEVICE (0xEC) to an ATAPI device", returned, 0);
    if (identify && !drive.atapi && command == kIdentifyAtapi)
        return Finish(r, Outcome::Refused, "IDENTIFY PACKET DEVICE (0xA1) to an ATA device", returned, 0);
    if (e.features == kSmartEnable && drive.atapi)
        return Finish(r, wrongKind, "SMART ENABLE OPERATIONS to an ATAPI device", returned, 0);
    // Behind a miniport the storage driver passes neither request on: the
    // miniport answers IDENTIFY, the predict-failure request the data.
    if ((identify || data) && drive.OnMiniport())
        return Finish(r, Outcome::Refused, std::string(e.name) + " to a drive behind a miniport", returned, 0);

    if (data) r.poll = d->dataReads++;
    if (h.kind == HandleKind::SmartVsd && drive.faults.open.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "drive unreachable (open fault) at poll " + Number(r.poll), returned, 0);
    if (!identify && drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device has no SMART", returned, 0);
    const PollWindows& fault = identify                     ? drive.faults.identify
                               : e.features == kSmartEnable ? drive.faults.enable
                               : data                       ? drive.faults.data
                                                            : drive.faults.thresholds;
    if (fault.Contains(r.poll))
        return Finish(r, Outcome::Faulted, std::string(e.name) + " fault at poll " + Number(r.poll), returned, 0);

    BYTE* reply = static_cast<BYTE*>(out);
    std::memset(reply, 0, kSendCmdOutHeader);
    if (e.features == kSmartEnable) return Finish(r, Outcome::Answered, std::string(), returned, kEnableReplyLength);
    Put32(reply, kAtaBlockSize);
    const SimBlock block = identify ? drive.identify : data ? drive.SmartData(r.poll) : drive.thresholds;
    std::memcpy(reply + kSendCmdOutHeader, block.data(), block.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kAtaReplyLength);
}

BOOL Simulator::PredictFailure(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                               DWORD* returned) {
    if (inSize != kPredictLength || outSize != kPredictLength)
        return Finish(r, Outcome::Refused, "lengths " + Number(inSize) + "/" + Number(outSize) + ", need 516/516",
                      returned, 0);
    if (!AllZero(static_cast<const BYTE*>(in), kPredictLength))
        return Finish(r, Outcome::Refused, "input not cleared", returned, 0);
    DriveState* d = FindDrive(h.target);
    if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
    const SimDrive& drive = d->drive;
    r.poll = d->dataReads++;
    if (drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device has no SMART", returned, 0);
    if (drive.faults.data.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "data fault at poll " + Number(r.poll), returned, 0);
    BYTE* reply = static_cast<BYTE*>(out);
    Put32(reply, drive.predictFailure.Contains(r.poll) ? 1 : 0);
    const SimBlock block = drive.SmartData(r.poll);
    std::memcpy(reply + 4, block.data(), block.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kPredictLength);
}

BOOL Simulator::Geometry(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0 || outSize != kGeometryLength)
        return Finish(r, Outcome::Refused, "lengths " + Number(inSize) + "/" + Number(outSize) + ", need 0/40",
                      returned, 0);
    DriveState* d = FindDrive(h.target);
    if (d == nullptr) return Finish(r, Outcome::Absent, "drive removed", returned, 0);
    r.poll = d->CurrentPoll();
    // A translated geometry of 255 heads and 63 sectors, as disks report it.
    const ULONGLONG size = d->drive.DiskSize();
    BYTE* reply = static_cast<BYTE*>(out);
    std::memset(reply, 0, kGeometryLength);
    Put64(reply + 0, size / (255ULL * 63 * 512));
    Put32(reply + 8, FixedMedia);
    Put32(reply + 12, 255);
    Put32(reply + 16, 63);
    Put32(reply + 20, 512);
    Put64(reply + 24, size);
    return Finish(r, Outcome::Answered, std::string(), returned, kGeometryLength);
}

BOOL Simulator::Miniport(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) {
    if (inSize != kMiniportLength || outSize != kMiniportLength)
        return Finish(r, Outcome::Refused, "lengths " + Number(inSize) + "/" + Number(outSize) + ", need 564/564",
                      returned, 0);
    const BYTE* request = static_cast<const BYTE*>(in);
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
    if (std::memcmp(request + 4, "CMD_IDE ", 8) != 0)
        return Finish(r, Outcome::Refused, "signature is not \"CMD_IDE \"", returned, 0);
    for (const Field& f : fields) {
        const DWORD got = Get32(request + f.offset);
        if (got != f.need)
            return Finish(r, Outcome::Refused, std::string(f.name) + " " + Hex(got, 8) + ", needs " + Hex(f.need, 8),
                          returned, 0);
    }
    const WORD device = static_cast<WORD>(request[kMiniportDevice] | (request[kMiniportDevice + 1] << 8));
    const WORD word = static_cast<WORD>(request[kMiniportRequestWord] | (request[kMiniportRequestWord + 1] << 8));
    if (word != 1)
        return Finish(r, Outcome::Refused, "request word " + Number(word) + ", needs 1 (IDENTIFY)", returned, 0);
    if (!AllZero(request + kMiniportZero, kMiniportIdentify - kMiniportZero))
        return Finish(r, Outcome::Refused, "bytes 32-51 not cleared", returned, 0);

    DriveState* d = nullptr;
    for (auto& entry : drives_)
        if (entry.second.drive.miniportPort == h.target && entry.second.drive.miniportDevice == device)
            d = &entry.second;
    if (d == nullptr)
        return Finish(r, Outcome::Absent, "no drive at device " + Number(device) + " of port " + Number(h.target),
                      returned, 0);
    r.drive = d->drive.number;
    r.poll = d->CurrentPoll();
    if (d->drive.atapi) return Finish(r, Outcome::Aborted, "an ATAPI device answers no IDENTIFY DEVICE", returned, 0);
    if (d->drive.faults.identify.Contains(r.poll))
        return Finish(r, Outcome::Faulted, "IDENTIFY fault at poll " + Number(r.poll), returned, 0);
    BYTE* reply = static_cast<BYTE*>(out);
    if (reply != request) std::memmove(reply, request, kMiniportLength);
    Put32(reply + 20, 0);
    std::memcpy(reply + kMiniportIdentify, d->drive.identify.data(), d->drive.identify.size());
    return Finish(r, Outcome::Answered, std::string(), returned, kMiniportLength);
}

BOOL Simulator::Extents(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    if (inSize != 0) return Finish(r, Outcome::Refused, "input length " + Number(inSize) + ", needs 0", returned, 0);
    if (outSize < kExtentsMinimum)
        return Finish(r, Outcome::Refused, "output length " + Number(outSize) + ", needs at least 32", returned, 0);
    const auto it = volumes_.find(static_cast<char>(h.target));
    if (it == volumes_.end()) return Finish(r, Outcome::Absent, "volume removed", returned, 0);
    const SimVolume& v = it->second;
    const DWORD count = static_cast<DWORD>(v.disks.size());
    const DWORD needed = 8 + 24 * count;
    BYTE* reply = static_cast<BYTE*>(out);
    const DWORD cleared = needed < kExtentsMinimum ? kExtentsMinimum : needed;
    std::memset(reply, 0, outSize < cleared ? outSize : cleared);
    Put32(reply, count);
    const ULONGLONG share = count == 0 ? 0 : v.totalBytes / count;
    for (DWORD k = 0; k < count && 8 + 24 * (k + 1) <= outSize; ++k) {
        BYTE* extent = reply + 8 + 24 * k;
        Put32(extent, v.disks[k]);
        Put64(extent + 8, kFirstExtentOffset);
        Put64(extent + 16, k + 1 == count ? v.totalBytes - share * (count - 1) : share);
    }
    // Like the volume manager: the count and what fits, then "more data".
    if (outSize < needed) return Finish(r, Outcome::Aborted, "reply needs " + Number(needed) + " bytes", returned, 0);
    return Finish(r, Outcome::Answered, std::string(), returned, needed);
}

// --- The rest of the seam ---

DWORD Simulator::PlatformId() {
    std::lock_guard<std::mutex> guard(lock_);
    return platform_;
}

DWORD Simulator::LogicalDrives() {
    std::lock_guard<std::mutex> guard(lock_);
    DWORD mask = 0;
    for (const auto& entry : volumes_) mask |= 1UL << (entry.first - 'A');
    return mask;
}

bool Simulator::DiskFreeSpace(const char* root, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free) {
    std::lock_guard<std::mutex> guard(lock_);
    Request r;
    r.kind = "free space";
    if (root == nullptr) return Finish(r, Outcome::Refused, "null root", nullptr, 0) != FALSE;
    r.path = root;
    const std::string text = root;
    const bool form = (text.size() == 2 || (text.size() == 3 && (text[2] == '\\' || text[2] == '/'))) &&
                      text[1] == ':' && Upper(text[0]) >= 'A' && Upper(text[0]) <= 'Z';
    if (!form) return Finish(r, Outcome::Refused, "not a volume root", nullptr, 0) != FALSE;
    const auto it = volumes_.find(Upper(text[0]));
    if (it == volumes_.end()) return Finish(r, Outcome::Absent, "no volume " + text, nullptr, 0) != FALSE;
    if (!it->second.opens) return Finish(r, Outcome::Absent, "volume " + text + " is not ready", nullptr, 0) != FALSE;
    if (available != nullptr) *available = it->second.freeBytes;
    if (total != nullptr) *total = it->second.totalBytes;
    if (free != nullptr) *free = it->second.freeBytes;
    return Finish(r, Outcome::Answered, std::string(), nullptr, 0) != FALSE;
}

void Simulator::DebugOutput(const char* text) {
    if (text == nullptr) return;
    std::lock_guard<std::mutex> guard(lock_);
    debugLines_.push_back(text);
    Trim();
}
