// Names of the S.M.A.R.T. attributes, by identifier, and of their flag bits.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

struct AttributeNameRow {
    DWORD id;          // only the low byte is an attribute identifier
    const char* name;  // empty in the row that ends the table
};

// The named attributes in table order, ending with a row whose name is empty.
extern const AttributeNameRow AttributeNames[];

// The name of the first row whose id matches; "Unknown" when none does.
const char* AttributeName(BYTE id);

// Abbreviations of flag bits 0 to 5; the higher bits are not shown.
const DWORD kFlagNameCount = 6;
extern const char* const FlagNames[kFlagNameCount];

// Room FlagText needs, terminator included.
const size_t kFlagTextSize = 24;

// The abbreviations of the set bits 0..5 in bit order, one blank apart
// ("CR PR EC"); empty when none is set. Returns out.
char* FlagText(char* out, WORD flags);
