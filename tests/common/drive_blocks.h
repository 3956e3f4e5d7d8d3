// Synthetic drive blocks for the drive-access tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sim/simdrive.h"

struct TestAttribute {
    BYTE id;
    BYTE current;
    BYTE worst;
    ULONGLONG raw;
};

// IDENTIFY data with a model text, serial and firmware, 28-bit sectors and
// optional Serial ATA capabilities (word 76).
SimBlock TestIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                      DWORD sectors, WORD sataCapabilities = 0x0004);
// A SMART data block: revision, then 12-byte attribute entries.
SimBlock TestTable(const std::vector<TestAttribute>& entries, BYTE revision = 16);
// A threshold block: revision, then entries of id and threshold.
SimBlock TestThresholds(const std::vector<std::pair<BYTE, BYTE>>& entries);
// A healthy drive with a temperature attribute.
SimDrive TestDrive(int number, const std::string& model);
