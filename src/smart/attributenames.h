// Names of the S.M.A.R.T. attributes, by identifier.
#pragma once

#include "base/wintypes.h"

struct AttributeNameRow {
    DWORD id;          // only the low byte is an attribute identifier
    const char* name;  // empty in the row that ends the table
};

// The named attributes in table order, ending with a row whose name is empty.
extern const AttributeNameRow AttributeNames[];

// The name of the first row whose id matches; "Unknown" when none does.
const char* AttributeName(BYTE id);
