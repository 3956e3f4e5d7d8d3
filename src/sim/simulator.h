// The device seam over simulated drives. It behaves like a strict storage
// driver: it answers the drive, miniport, disk and volume requests exactly
// as their structures describe and refuses any request whose code, lengths,
// registers or open arguments differ from what a real drive needs, so a
// program that runs cleanly against it encodes its requests right. It keeps
// a log of what it was asked, for tests.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "drive/device.h"
#include "sim/simdrive.h"

class Simulator : public DeviceSystem {
public:
    // How a request ended.
    enum class Outcome {
        Answered,  // done, the reply written
        Absent,    // no such device, drive or volume: what probing meets
        Faulted,   // failed as the drive's script says
        Aborted,   // the device turned the command down, as a real one does
        Refused,   // malformed or not meant for this device: the caller's bug
    };
    static const char* OutcomeName(Outcome outcome);

    struct Request {
        std::string kind;  // "open", "ioctl", "close", "free space"
        std::string path;  // the path opened or of the handle used; "" for an unknown handle
        int drive = -1;    // the drive addressed, -1 when none
        DWORD ioctl = 0;
        BYTE features = 0;  // the ATA registers of a pass-through request
        BYTE command = 0;
        DWORD poll = 0;  // the addressed drive's poll
        Outcome outcome = Outcome::Refused;
        std::string reason;  // why it was not answered
        DWORD error = 0;     // the error Windows sets for it (GetLastError), 0 when answered

        bool Accepted() const { return outcome == Outcome::Answered; }
    };

    struct LoadReport {
        bool folderRead = false;
        std::vector<int> drives;           // drive numbers loaded, in order
        std::vector<char> volumes;         // letters loaded
        std::vector<std::string> skipped;  // "name: reason" for each folder or volume left out
        std::string Text() const;
    };

    Simulator();
    ~Simulator() override;
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // --- Setting up (before the program runs against it) ---

    // Adds a drive, replacing one of the same number; false for a number
    // outside 0..15. Its poll count starts at the probe.
    bool AddDrive(const SimDrive& drive);
    // A healthy ATA drive on the standard path with these blocks.
    bool AddDrive(int number, const SimBlock& identify, const SimBlock& smart, const SimBlock& thresholds);
    // The drive of that number, to adjust it, or null.
    SimDrive* Drive(int number);
    // Adds a volume, replacing one of the same letter; false for a letter
    // outside A..Z (lower case is taken as upper case).
    bool AddVolume(const SimVolume& volume);
    // Adds every drive folder of a drive set folder; see docs/simulator.md.
    LoadReport LoadFolder(const std::string& folder);
    // No drives, no volumes, the log emptied, every handle forgotten.
    void Clear();
    // GetVersionExA's platform: VER_PLATFORM_WIN32_NT (the default),
    // VER_PLATFORM_WIN32_WINDOWS for the SMARTVSD path; any other has no drives.
    void SetPlatform(DWORD platformId);
    // The newest entries kept in each log (default 10000), so that a long
    // demo run does not grow without end.
    void SetLogLimit(size_t entries);

    // --- What happened ---

    std::vector<Request> Requests() const;
    std::vector<Request> Refusals() const;
    std::vector<std::string> DebugLines() const;
    // Closes of unknown or already closed handles.
    std::vector<std::string> HandleFaults() const;
    int OpenHandles() const;
    // The drive's current poll: 0 until its second data read; -1 when absent.
    long Poll(int number) const;
    // Empties the request, refusal, debug and handle-fault logs.
    void ClearLog();

    // --- DeviceSystem ---

    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD creation, DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) override;
    BOOL Close(HANDLE device) override;
    DWORD PlatformId() override;
    DWORD LogicalDrives() override;
    bool DiskFreeSpace(const char* root, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free) override;
    void DebugOutput(const char* text) override;

private:
    enum class HandleKind { PhysicalDrive, SmartVsd, ScsiPort, Volume };
    struct HandleInfo {
        HandleKind kind;
        int target;  // drive number, port number or volume letter
        std::string path;
        bool open;
        bool readWrite;  // opened for reading and writing, not with no access rights
    };
    struct DriveState {
        SimDrive drive;
        DWORD dataReads = 0;
        DWORD CurrentPoll() const { return dataReads == 0 ? 0 : dataReads - 1; }
    };

    // Each takes the log entry to fill and returns the Control result.
    BOOL Finish(Request& r, Outcome outcome, const std::string& reason, DWORD* returned, DWORD bytes);
    BOOL AtaRequest(const HandleInfo& h, Request& r, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                    DWORD* returned);
    BOOL Version(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned);
    BOOL PredictFailure(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                        DWORD* returned);
    BOOL Geometry(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned);
    BOOL Miniport(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned);
    BOOL Extents(const HandleInfo& h, Request& r, DWORD inSize, void* out, DWORD outSize, DWORD* returned);
    BOOL PropertyQuery(const HandleInfo& h, Request& r, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned);
    BOOL DeviceProperty(const DriveState& d, Request& r, void* out, DWORD outSize, DWORD* returned);
    BOOL ProtocolData(DriveState& d, Request& r, DWORD property, const BYTE* in, void* out, DWORD outSize,
                      DWORD* returned);
    // Finish with the error Windows gives for the outcome.
    BOOL Fail(Request& r, Outcome outcome, DWORD error, const std::string& reason, DWORD* returned);

    HANDLE NewHandle(HandleKind kind, int target, const std::string& path, bool readWrite = true);
    HANDLE OpenResult(Request& r, Outcome outcome, const std::string& reason);
    void Record(const Request& r);
    void Trim();
    DriveState* FindDrive(int number);

    mutable std::mutex lock_;
    DWORD platform_;
    std::map<int, DriveState> drives_;
    std::map<char, SimVolume> volumes_;
    std::map<std::uintptr_t, HandleInfo> handles_;
    std::uintptr_t nextHandle_;
    int openHandles_ = 0;
    size_t logLimit_ = 10000;
    std::deque<Request> requests_;
    std::deque<Request> refusals_;
    std::deque<std::string> debugLines_;
    std::deque<std::string> handleFaults_;
};
