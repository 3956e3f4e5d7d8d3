// What the two blocks an NVMe drive gives hold: the Identify Controller data
// (4096 bytes) and the SMART / Health Information log page (512 bytes).
// Pure functions over the blocks; every multi-byte field is little-endian.
#pragma once

#include <cstddef>

#include "drive/ddk.h"

const DWORD kNvmeIdentifySize = 4096;
const DWORD kNvmeHealthSize = 512;

// Identify Controller fields (byte offsets).
const DWORD kNvmeVendorId = 0;           // 2 bytes: PCI vendor id
const DWORD kNvmeSubsystemVendorId = 2;  // 2 bytes
const DWORD kNvmeSerial = 4;             // 20 bytes, ASCII
const DWORD kNvmeModel = 24;             // 40 bytes, ASCII
const DWORD kNvmeFirmware = 64;          // 8 bytes, ASCII
const DWORD kNvmeIeeeOui = 73;           // 3 bytes
const DWORD kNvmeControllerId = 78;      // 2 bytes
const DWORD kNvmeVersion = 80;           // 4 bytes: major.minor.tertiary
const DWORD kNvmeWarningThreshold = 266;    // 2 bytes, Kelvin
const DWORD kNvmeCriticalThreshold = 268;   // 2 bytes, Kelvin
const DWORD kNvmeTotalCapacity = 280;        // 16 bytes
const DWORD kNvmeUnallocatedCapacity = 296;  // 16 bytes
const DWORD kNvmeNamespaces = 516;           // 4 bytes

const DWORD kNvmeSerialLength = 20;
const DWORD kNvmeModelLength = 40;
const DWORD kNvmeFirmwareLength = 8;

// SMART / Health Information fields (byte offsets).
const DWORD kNvmeCriticalWarning = 0;         // 1 byte, bits
const DWORD kNvmeCompositeTemperature = 1;    // 2 bytes, Kelvin
const DWORD kNvmeAvailableSpare = 3;          // 1 byte, percent
const DWORD kNvmeSpareThreshold = 4;          // 1 byte, percent
const DWORD kNvmePercentageUsed = 5;          // 1 byte
const DWORD kNvmeDataUnitsRead = 32;          // the ten counters: 16 bytes each
const DWORD kNvmePowerOnHours = 128;
const DWORD kNvmeMediaErrors = 160;
const DWORD kNvmeErrorLogEntries = 176;
const DWORD kNvmeWarningTemperatureTime = 192;   // 4 bytes, minutes
const DWORD kNvmeCriticalTemperatureTime = 196;  // 4 bytes, minutes
const DWORD kNvmeTemperatureSensors = 200;       // 8 x 2 bytes, Kelvin, 0 = none
const DWORD kNvmeSensorCount = 8;
const DWORD kNvmeCounterSize = 16;

// Critical warning bits.
const BYTE kNvmeWarningSpare = 0x01;        // available spare below its threshold
const BYTE kNvmeWarningTemperature = 0x02;  // a temperature beyond its threshold
const BYTE kNvmeWarningReliability = 0x04;  // reliability degraded by media errors
const BYTE kNvmeWarningReadOnly = 0x08;     // media placed in read-only mode
const BYTE kNvmeWarningBackup = 0x10;       // volatile memory backup failed
const BYTE kNvmeWarningPersistent = 0x20;   // persistent memory region read-only or unreliable

// One of the 128-bit counters of the health log.
struct NvmeCounter {
    ULONGLONG low;
    ULONGLONG high;
};

WORD NvmeWord(const BYTE* block, DWORD offset);
DWORD NvmeDword(const BYTE* block, DWORD offset);
NvmeCounter NvmeCounterAt(const BYTE* block, DWORD offset);

// The counter in decimal, all 128 bits (at most 39 digits).
const size_t kNvmeCounterTextSize = 40;
void NvmeCounterText(const NvmeCounter& counter, char (&text)[kNvmeCounterTextSize]);
// The counter as a status-record count: at most 2,147,483,647.
LONG NvmeSaturatedCount(const NvmeCounter& counter);
// The counter as a byte count: at most 2^64 - 1.
ULONGLONG NvmeSaturatedBytes(const NvmeCounter& counter);

// An identify string: the bytes as stored (ASCII, no byte swap), blanks at
// both ends removed as for ATA strings. out holds length + 1 bytes.
void NvmeString(const BYTE* identify, DWORD offset, DWORD length, char* out);

// Degrees Celsius of a temperature in Kelvin.
int NvmeCelsius(WORD kelvin);
// The critical warning has a bit that makes the drive a danger: every bit
// but the temperature's (bit 1), which the temperature watch shows.
bool NvmeWarningIsCritical(BYTE warning);
// 100 minus the available spare, at least 0: the spare used up, in percent.
LONG NvmeSpareUsed(const BYTE* health);
