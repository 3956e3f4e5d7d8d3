// The steps the evaluations of ATA and NVMe drives share. The caller holds
// the update lock.
#pragma once

#include "settings/appsettings.h"
#include "smart/driveinfo.h"

// One sample into the temperature history, the oldest dropped beyond 256.
void AppendHistory(DriveInfo& drive, signed char temperature);

// The rest once the counts, the power-on hours and the temperature are in
// the record: the power-on, maximum temperature, free space and usage
// texts, and the gauge.
void FinishEvaluation(DriveInfo& drive, DriveSummary& next, const AppSettings& settings);

// The NVMe drive's evaluation from its identify data and health log.
void EvaluateNvme(DriveInfo& drive, DriveSummary& next, const AppSettings& settings);
