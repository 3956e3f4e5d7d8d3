// The one-line summary of a drive: model, capacity and transfer mode.
#pragma once

#include "smart/driveinfo.h"

// Room SummaryLine needs, terminator included.
const size_t kSummaryLineSize = 160;

// "model  capacity  mode": the capacity is the disk size the device reports
// ("500.10GB"), or the one IDENTIFY gives when the device cannot say.
char* SummaryLine(DriveInfo& drive, char* out);
