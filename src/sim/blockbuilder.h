// Building the blocks of a simulated drive from a few facts: the IDENTIFY
// data of a model, the SMART attribute table and the threshold table; for
// an NVMe drive its Identify Controller data and health log.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sim/simdrive.h"

struct SimAttribute {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw;  // the low 48 bits
    WORD flags = 0;
};

// IDENTIFY data with model, serial and firmware texts, a 28-bit sector count
// (and the 48-bit one when it does not fit), and the Serial ATA
// capabilities of word 76 (0x0004: 3 Gb/s).
SimBlock BuildIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                       ULONGLONG sectors, WORD sataCapabilities = 0x0004);
// A SMART data block: revision, then 12-byte attribute entries.
SimBlock BuildAttributeTable(const std::vector<SimAttribute>& entries, BYTE revision = 16);
// A threshold block: revision, then entries of id and threshold.
SimBlock BuildThresholds(const std::vector<std::pair<BYTE, BYTE>>& entries);

// Identify Controller data: the three strings, blank padded, the total
// capacity, the version (1.4.0), one namespace, and warning and critical
// temperature thresholds of 84 and 87 degrees.
SimNvmeIdentify BuildNvmeIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                                  ULONGLONG capacity);

struct SimNvmeHealthFacts {
    int celsius;
    BYTE spare;           // available spare, percent
    BYTE spareThreshold;  // percent
    BYTE percentageUsed;
    ULONGLONG dataUnitsRead, dataUnitsWritten, hostReads, hostWrites, powerCycles, powerOnHours, unsafeShutdowns;
    int sensorCelsius[2];  // sensors 1 and 2; the others do not report
};
// A health log with these fields; every other one 0.
SimBlock BuildNvmeHealth(const SimNvmeHealthFacts& facts);
