// The one-line summary of a drive: model, capacity and transfer mode.
#pragma once

#include "smart/driveinfo.h"

// Room SummaryLine needs, terminator included.
const size_t kSummaryLineSize = 160;
static_assert(sizeof(PanelTexts::summary) == kSummaryLineSize, "summary tooltip holds a summary line");

// "model  capacity  mode": the capacity is the disk size the device reports
// ("500.10GB"), or the one IDENTIFY gives when the device cannot say. An
// NVMe drive: its Total NVM Capacity (the disk size when that is 0), and
// "NVMe".
char* SummaryLine(DriveInfo& drive, char* out);
// The same with a model text other than the drive's record holds.
char* SummaryLine(DriveInfo& drive, const char* model, char* out);
