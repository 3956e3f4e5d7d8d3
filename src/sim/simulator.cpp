#include "sim/simulator.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "sim/simchecks.h"

namespace fs = std::filesystem;

namespace {

// Fake handle values: never null, never INVALID_HANDLE_VALUE, never reused,
// so a stale handle is always told apart from a live one.
const std::uintptr_t kFirstHandle = 0x00A1B000;
const std::uintptr_t kHandleStep = 4;

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
                report.skipped.push_back(name + ": drive " + NumberText(number) + " already loaded from " +
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

HANDLE Simulator::NewHandle(HandleKind kind, int target, const std::string& path, bool readWrite) {
    const std::uintptr_t value = nextHandle_;
    nextHandle_ += kHandleStep;
    handles_[value] = HandleInfo{kind, target, path, true, readWrite};
    ++openHandles_;
    return reinterpret_cast<HANDLE>(value);
}

HANDLE Simulator::OpenResult(Request& r, Outcome outcome, const std::string& reason) {
    r.outcome = outcome;
    r.reason = reason;
    if (r.error == 0) r.error = outcome == Outcome::Absent ? kErrorFileNotFound : kErrorInvalidParameter;
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

    bool queryOnly = false;
    if (ParseNumbered(name, "PHYSICALDRIVE", "", &number)) {
        kind = HandleKind::PhysicalDrive;
        r.drive = number;
        // With no access rights: a handle for the queries that need none.
        queryOnly = access == 0;
        mismatch = OpenArgsMismatch(access, share, creation, flags, queryOnly ? 0 : readWrite, shareReadWrite,
                                    OPEN_EXISTING, 0);
        if (!mismatch.empty()) return OpenResult(r, Outcome::Refused, mismatch);
        if (platform_ != VER_PLATFORM_WIN32_NT)
            return OpenResult(r, Outcome::Absent, "no such device on this platform");
        DriveState* d = FindDrive(number);
        if (d == nullptr) return OpenResult(r, Outcome::Absent, "no drive " + NumberText(number));
        r.poll = d->CurrentPoll();
        if (d->drive.faults.open.Contains(r.poll))
            return OpenResult(r, Outcome::Faulted, "open fault at poll " + NumberText(static_cast<long>(r.poll)));
        if (!queryOnly && !d->drive.readWrite) {
            r.error = kErrorAccessDenied;
            return OpenResult(r, Outcome::Aborted, "reading and writing need administrator rights");
        }
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
        if (!portUsed) return OpenResult(r, Outcome::Absent, "no miniport drive on port " + NumberText(number));
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
    return NewHandle(kind, number, text, !queryOnly);
}

BOOL Simulator::Close(HANDLE device) {
    std::lock_guard<std::mutex> guard(lock_);
    Request r;
    r.kind = "close";
    const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(device));
    std::string fault;
    if (it == handles_.end()) {
        fault = "close of unknown handle " +
                HexText(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(device)), 8);
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
    if (outcome != Outcome::Answered && r.error == 0) {
        r.error = outcome == Outcome::Absent ? kErrorFileNotFound : outcome == Outcome::Refused ? kErrorInvalidParameter
                                                                                                : kErrorGenFailure;
    }
    Record(r);
    if (outcome != Outcome::Answered) return FALSE;
    if (returned != nullptr) *returned = bytes;
    return TRUE;
}

BOOL Simulator::Fail(Request& r, Outcome outcome, DWORD error, const std::string& reason, DWORD* returned) {
    r.error = error;
    return Finish(r, outcome, reason, returned, 0);
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

    if (h.kind == HandleKind::PhysicalDrive && code == IOCTL_STORAGE_QUERY_PROPERTY)
        return PropertyQuery(h, r, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::PhysicalDrive && code == IOCTL_DISK_GET_DRIVE_GEOMETRY_EX)
        return Geometry(h, r, inSize, out, outSize, returned);
    const bool ataRequest = code == SMART_GET_VERSION || code == SMART_SEND_DRIVE_COMMAND ||
                            code == SMART_RCV_DRIVE_DATA || code == IOCTL_STORAGE_PREDICT_FAILURE;
    if (h.kind == HandleKind::PhysicalDrive && ataRequest) {
        // These need read and write access; the NVMe driver takes none of them.
        if (!h.readWrite) return Fail(r, Outcome::Refused, kErrorAccessDenied, "a handle without access rights", returned);
        const DriveState* d = FindDrive(h.target);
        if (d != nullptr && d->drive.nvme)
            return Fail(r, Outcome::Aborted, kErrorInvalidFunction, "the NVMe driver takes no ATA request", returned);
    }
    const bool ataDevice = h.kind == HandleKind::PhysicalDrive || h.kind == HandleKind::SmartVsd;
    if (ataDevice && code == SMART_GET_VERSION) return Version(h, r, inSize, out, outSize, returned);
    if (ataDevice && (code == SMART_SEND_DRIVE_COMMAND || code == SMART_RCV_DRIVE_DATA))
        return AtaRequest(h, r, code, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::PhysicalDrive && code == IOCTL_STORAGE_PREDICT_FAILURE)
        return PredictFailure(h, r, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::ScsiPort && code == IOCTL_SCSI_MINIPORT)
        return Miniport(h, r, in, inSize, out, outSize, returned);
    if (h.kind == HandleKind::Volume && code == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS)
        return Extents(h, r, inSize, out, outSize, returned);
    return Finish(r, Outcome::Refused, "request " + HexText(code, 8) + " is not one " + h.path + " answers", returned,
                  0);
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
