// The record of every drive the program shows, and the fixed table of 16.
#pragma once

#include "drive/atablocks.h"
#include "drive/driveio.h"

const DWORD kDriveSlots = 16;
const DWORD kTempHistorySize = 256;

// How the drive is read; the status record says so in its first reserved
// byte (0 for ATA, as before there were others).
enum DriveProtocol {
    ProtocolAta = 0,
    ProtocolNvme = 1,
};

enum HealthStatus {
    HealthGood = 0,
    HealthCaution = 1,
    HealthDanger = 2,
    HealthError = 3,
    HealthHot = 4,  // only ever a picture on screen
};

#pragma pack(push, 1)
// The evaluated state of a drive as the status service sends it, byte for
// byte: its layout is a wire format.
struct DriveSummary {
    BYTE hasData;
    signed char temperature;
    signed char maxTemperature;
    BYTE statusByte;
    BYTE usedPercent;
    BYTE reserved[3];  // [0]: the DriveProtocol
    LONG raw05;        // NVMe: the spare used, percent
    LONG powerOnHours;
    LONG rawC4;        // NVMe: 0
    LONG rawC5;        // NVMe: 0
    LONG rawC6;        // NVMe: media and data integrity errors
    char model[64];
    char firmware[16];
    char serial[32];
    char driveLetters[64];
};
#pragma pack(pop)

static_assert(sizeof(DriveSummary) == 204, "status record size");
static_assert(offsetof(DriveSummary, hasData) == 0, "status record layout");
static_assert(offsetof(DriveSummary, temperature) == 1, "status record layout");
static_assert(offsetof(DriveSummary, maxTemperature) == 2, "status record layout");
static_assert(offsetof(DriveSummary, statusByte) == 3, "status record layout");
static_assert(offsetof(DriveSummary, usedPercent) == 4, "status record layout");
static_assert(offsetof(DriveSummary, reserved) == 5, "status record layout");
static_assert(offsetof(DriveSummary, raw05) == 8, "status record layout");
static_assert(offsetof(DriveSummary, powerOnHours) == 12, "status record layout");
static_assert(offsetof(DriveSummary, rawC4) == 16, "status record layout");
static_assert(offsetof(DriveSummary, rawC5) == 20, "status record layout");
static_assert(offsetof(DriveSummary, rawC6) == 24, "status record layout");
static_assert(offsetof(DriveSummary, model) == 28, "status record layout");
static_assert(offsetof(DriveSummary, firmware) == 92, "status record layout");
static_assert(offsetof(DriveSummary, serial) == 108, "status record layout");
static_assert(offsetof(DriveSummary, driveLetters) == 140, "status record layout");

// The texts the evaluation makes for a drive's page: its header panels'
// tooltips in panel order and the usage gauge's text.
struct PanelTexts {
    char summary[160];       // tooltip 0, and the text of the summary panel
    char firmware[16];       // tooltip 1, and the text of the firmware panel
    char serial[32];         // tooltip 2, and the text of the serial panel
    char counts[640];        // tooltip 3: the four counts with their labels
    char maxTemperature[64]; // tooltip 4
    char powerOnTime[96];    // tooltip 5
    char freeSpace[80];      // tooltip 6
    char usage[64];          // text of the usage gauge
};

struct DriveInfo {
    // Page part; the page objects join it with the drive pages.
    DWORD tempHistoryCount = 0;
    LONG tempHistory[kTempHistorySize] = {};

    DriveIo io;

    // State part.
    DWORD present = 0;
    DWORD reverseStrings = 0;      // settings key "Reverse"
    DWORD miniportAddr = 0xFFFFFFFF;  // settings key "SiliconImage": -1 = standard path
    BYTE tempAttrId = 0xC2;        // settings key "Temperature"
    GETVERSIONINPARAMS* versionResult = nullptr;
    DWORD versionBytes = 0;
    BYTE* identifyResult = nullptr;
    DWORD identifyBytes = 0;
    BYTE* dataResult = nullptr;
    DWORD dataBytes = 0;
    BYTE* thresholdResult = nullptr;
    DWORD thresholdBytes = 0;
    // An NVMe drive has these two blocks instead of the four ATA replies.
    DriveProtocol protocol = ProtocolAta;
    BYTE* nvmeIdentifyResult = nullptr;  // 4096 bytes
    BYTE* nvmeHealthResult = nullptr;    // 512 bytes
    BYTE criticalWarning = 0;            // NVMe: the health log's first byte at the last evaluation
    LONG status = HealthGood;
    ULONGLONG totalBytes = 0;
    ULONGLONG freeBytes = 0;
    DriveSummary summary = {};
    LONG limit05 = 0;  // settings keys "A05", "AC4", "AC5", "AC6"; NVMe: A05 and AC6
    LONG limitC4 = 0;
    LONG limitC5 = 0;
    LONG limitC6 = 0;
    DWORD slotDriveNumber = 0;

    // What the last evaluation made for the page.
    PanelTexts texts = {};
    double gaugeValue = 0.0;  // used percent as the usage gauge holds it, 0..100
};

// Slot i always holds drive number i; the drives found are listed in the
// order of discovery, and page k, tab k and every loop over the drives go
// through that list.
struct DriveTable {
    DriveInfo slots[kDriveSlots];
    DWORD driveCount = 0;             // drives present
    BYTE shown[kDriveSlots] = {};     // drive numbers of the present drives, in discovery order
    DWORD probeCount = kDriveSlots;   // drive numbers probed
    DWORD hideIdentity = 0;           // firmware and serial shown as "*" (never saved)

    // The k-th drive found (k < driveCount).
    DriveInfo& Shown(DWORD k) { return slots[shown[k]]; }
    const DriveInfo& Shown(DWORD k) const { return slots[shown[k]]; }

    // Start-up clear of every slot: nothing present, standard path, the
    // summary zeroed. Status, temperature id and limits are the settings'.
    void Clear();
};
