// The Basic list of an NVMe drive: the Identify Controller fields a user or
// a support desk asks for.
#pragma once

#include "drive/basiclist.h"
#include "drive/nvmeblocks.h"

const DWORD kNvmeBasicRows = 13;

// Fills rows[0..12] from the identify data and returns kNvmeBasicRows. While
// hideIdentity is nonzero the serial and firmware read "*".
DWORD FillNvmeBasicRows(const BYTE* identify, DWORD hideIdentity, BasicRow rows[kBasicRows]);
