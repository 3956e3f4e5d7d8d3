// One simulated drive: its three blocks exactly as the drive returns them,
// what kind of device it is and how it is reached, and the script of what
// changes or fails on which poll. Loaded from a drive folder or built in
// memory.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "drive/ddk.h"

typedef std::array<BYTE, 512> SimBlock;
typedef std::array<BYTE, 4096> SimNvmeIdentify;

const int kSimMaxDrives = 16;

// The polls a scripted event covers: ranges from one poll to a later one,
// or from one poll on.
class PollWindows {
public:
    static const DWORD kOpenEnd = 0xFFFFFFFFUL;

    void Add(DWORD from, DWORD to = kOpenEnd);
    bool Contains(DWORD poll) const;
    bool Empty() const { return ranges_.empty(); }
    void Clear() { ranges_.clear(); }

    // "3" (poll 3 and every later one), "3-5" (polls 3 to 5), or a list of
    // both: "0-0, 4". An empty text covers no poll. False on bad text, and
    // then the windows are left as they were.
    bool Parse(const std::string& text);

private:
    struct Range {
        DWORD from;
        DWORD to;
    };
    std::vector<Range> ranges_;
};

// From a poll on, an attribute's six raw bytes (and, when not negative, its
// current and worst values) read differently.
struct SimAttributeChange {
    DWORD fromPoll = 0;
    BYTE id = 0;
    ULONGLONG raw = 0;  // the low 48 bits are used
    int current = -1;
    int worst = -1;
};

// From a poll on, the temperature attribute's low raw byte reads this value.
// An attribute whose raw value at poll N is item N mod size of a list.
struct SimRawCycle {
    BYTE id = 0;
    std::vector<ULONGLONG> values;
};

struct SimTemperature {
    DWORD fromPoll = 0;
    BYTE value = 0;
};

// From a poll on, a field of an NVMe drive's health log reads a value: the
// low size bytes of value at the field's offset, little-endian.
struct SimNvmeChange {
    DWORD fromPoll = 0;
    DWORD offset = 0;
    DWORD size = 0;  // 1, 2, 4 or 16
    ULONGLONG value = 0;
};

// Requests that fail on the polls given; empty windows never fail. An NVMe
// drive fails its opens, its identify query and its health log query.
struct SimFaults {
    PollWindows open;        // opening the drive's own device
    PollWindows version;     // SMART_GET_VERSION on the drive's own device
    PollWindows enable;      // SMART ENABLE OPERATIONS
    PollWindows identify;    // IDENTIFY, on either path
    PollWindows data;        // SMART READ DATA and the predict-failure request
    PollWindows thresholds;  // SMART READ THRESHOLDS
};

// A volume letter: its size, the disks its extents lie on in order, or a
// letter the system lists but that cannot be opened (an empty card reader).
struct SimVolume {
    char letter = 0;  // 'A'..'Z'
    ULONGLONG totalBytes = 0;
    ULONGLONG freeBytes = 0;
    std::vector<DWORD> disks;
    bool opens = true;
};

// A volume that lies on one disk.
SimVolume SimVolumeOnDisk(char letter, ULONGLONG totalBytes, ULONGLONG freeBytes, DWORD disk);

struct SimDrive {
    int number = 0;  // 0..15: PHYSICALDRIVE number and bDriveNumber
    SimBlock identify{};
    SimBlock smart{};
    SimBlock thresholds{};

    // An NVMe drive: the two blocks its property queries give, and the
    // changes of its health log over the polls. It has no ATA blocks.
    bool nvme = false;
    SimNvmeIdentify nvmeIdentify{};
    SimBlock nvmeHealth{};
    std::vector<SimNvmeChange> nvmeChanges;
    // False: opening the drive for reading and writing is refused, as for a
    // program without administrator rights; an open with no access rights
    // still succeeds.
    bool readWrite = true;

    bool atapi = false;     // answers IDENTIFY only as 0xA1, refuses SMART
    int miniportPort = -1;  // -1: standard path; else SCSI port of the miniport
    WORD miniportDevice = 0;
    ULONGLONG diskSize = 0;  // 0: the size IDENTIFY gives
    PollWindows predictFailure;
    SimFaults faults;

    BYTE temperatureId = 0xC2;
    std::vector<SimTemperature> temperatures;
    std::vector<BYTE> temperatureCycle;  // when set, poll N reads item N mod size
    std::vector<SimRawCycle> rawCycles;
    std::vector<SimAttributeChange> changes;

    bool OnMiniport() const { return miniportPort >= 0; }
    // The configured size, else the sectors of IDENTIFY (words 100-101 when
    // word 83 bit 10 is set, else words 60-61) times 512.
    ULONGLONG DiskSize() const;
    // The SMART data block as it reads on that poll, with every change due
    // by then applied.
    SimBlock SmartData(DWORD poll) const;
    // The NVMe health log as it reads on that poll: the changes due by then,
    // then the temperature (the same lists as an ATA drive's, in degrees
    // Celsius, into the composite temperature).
    SimBlock NvmeHealth(DWORD poll) const;

private:
    // The temperature the lists give for that poll, if any.
    bool TemperatureAt(DWORD poll, BYTE* celsius) const;
};

// The drive number a drive folder's name gives: two digits 00-15 at its
// start not followed by a third digit; -1 for any other name.
int SimDriveNumber(const std::string& folderName);

// Reads the drive folder: its three blocks (512 bytes each), or for an NVMe
// drive nvme-identify.bin (4096 bytes) and nvme-health.bin (512), and its
// optional drive.ini. The volumes drive.ini lists are appended to volumes. On failure
// returns false with the reason, and the outputs are left untouched.
bool LoadSimDrive(const std::string& folder, int number, SimDrive* drive, std::vector<SimVolume>* volumes,
                  std::string* error);
