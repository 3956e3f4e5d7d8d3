// Disk space as the program shows it.
#pragma once

#include "drive/ddk.h"

// Room FormatBytes needs, terminator included.
const size_t kBytesTextSize = 32;

// Decimal units in powers of 1000, truncated to two places:
// 999 -> "999", 1500 -> "1.50K", 2000398934016 -> "2.00T".
void FormatBytes(char* out, ULONGLONG value);

// The free share of a volume in percent: 100 when all is free, 0 when
// nothing is, 0.01 for less than a ten-thousandth.
double FreePercent(ULONGLONG total, ULONGLONG free);
