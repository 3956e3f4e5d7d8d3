// The rows of the Basic list: the version reply and the IDENTIFY words of one
// drive as label and value texts, in the order the list shows them.
#pragma once

#include "smart/driveinfo.h"

const DWORD kBasicRows = 57;
// 64 characters hold the longest string row (60) and any bit text.
const size_t kBasicValueSize = 64;

struct BasicRow {
    const char* label;  // constant text
    char value[kBasicValueSize];
};

// Fills rows[0..56] for the drive and returns kBasicRows; 0 (rows untouched)
// when the drive has no version reply or no IDENTIFY data. An NVMe drive
// gets the rows of its identify data instead (drive/nvmebasiclist.h). While
// hideIdentity is nonzero the firmware and serial read "*".
DWORD FillBasicRows(const DriveInfo& drive, DWORD hideIdentity, BasicRow rows[kBasicRows]);
