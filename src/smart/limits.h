// Moving a drive's limits for the four defect counts, each saved to the
// drive's settings section at once.
#pragma once

#include "smart/driveinfo.h"

// Limits := the counts the drive reports now, so its status is good again
// until a count grows.
void SetLimitsToCurrent(DriveTable& table, DWORD slot);

// Limits back to 0: any count of 1 or more raises the status.
void ResetLimits(DriveTable& table, DWORD slot);
