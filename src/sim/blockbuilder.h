// Building the blocks of a simulated drive from a few facts: the IDENTIFY
// data of a model, the SMART attribute table and the threshold table.
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
