// The Attribute list of an NVMe drive: one row per field of its SMART /
// Health Information log, in log order.
#pragma once

#include "drive/nvmeblocks.h"
#include "smart/attributerows.h"

// The rows of the log: ID is the field's byte offset ("%02X"), Raw its value
// in decimal (counters in full, temperatures in degrees Celsius, the
// critical warning as "0x%02X"); Value and Warn only on the Available Spare
// row. The temperature sensors that read 0 (none) have no row. Returns the
// number of rows.
DWORD FillNvmeRows(const BYTE (&health)[kNvmeHealthSize], AttributeRow rows[kAttributeEntries]);
