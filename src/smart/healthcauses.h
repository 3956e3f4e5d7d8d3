// What made a drive's status what it is: the counts above their limits, for
// the user who is told that a drive got worse.
#pragma once

#include <string>
#include <vector>

#include "settings/appsettings.h"
#include "smart/driveinfo.h"

// One "label : value" line for each count of the last evaluation that is
// above the drive's limit, in the order of the status panel's tooltip: the
// four ATA counts with their labels; for an NVMe drive the critical warning
// (when it has a bit that means danger), the spare used and the media
// errors. None for a good drive, or one whose status no count gave.
std::vector<std::string> HealthCauses(const DriveInfo& drive, const AppSettings& settings);
