// The rows of the attribute list: for an ATA drive one per non-empty entry
// of its attribute table, in table order; for an NVMe drive one per field of
// its health log, in log order.
#pragma once

#include "smart/attributenames.h"
#include "smart/driveinfo.h"

struct AttributeRow {
    char id[8];           // "%02X", or "%3d" in decimal view
    const char* name;     // from the attribute name table
    char value[8];        // "%3d" of the current value
    char worst[8];        // "%3d" of the worst value
    char warn[8];         // "%3d" of the threshold of the same id, "-" when there is none
    char raw[40];         // the six raw bytes, most significant first; NVMe: the value
    char flag[kFlagTextSize];
};

// Fills a row for every entry whose id is not 0 and returns their number;
// 0 when the drive has no attribute table (or no health log).
DWORD FillAttributeRows(const DriveInfo& drive, DWORD decimalIds, AttributeRow rows[kAttributeEntries]);
