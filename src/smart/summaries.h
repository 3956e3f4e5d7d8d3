// The drives' status records as the status service sends them: each one is
// replaced whole and copied whole under the network lock, so a reply never
// carries a record that mixes two evaluations.
#pragma once

#include "smart/driveinfo.h"

const DWORD kStatusReplySize = kDriveSlots * sizeof(DriveSummary);
static_assert(kStatusReplySize == 3264, "status reply size");

// Replaces the drive's record by a new one (the user-interface thread is the
// only writer of records).
void PublishSummary(DriveInfo& drive, const DriveSummary& next);

// The 16 records, record i for drive number i; zero bytes for a drive that
// is not present.
void CopySummaries(const DriveTable& table, BYTE reply[kStatusReplySize]);
