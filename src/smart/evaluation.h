// Turning a drive's blocks into what the user sees and the status service
// reports: health status, the four defect counts, temperature and its
// history, power-on time, disk usage, identity strings and panel texts.
#pragma once

#include "settings/appsettings.h"
#include "smart/driveinfo.h"

// Evaluates slot i under the update lock and publishes its status record.
// A slot without a drive reads as an error; a drive that gave no data keeps
// everything from its last evaluation.
void RefreshDrive(DriveTable& table, DWORD slot, const AppSettings& settings);

// The status the counts give against the drive's limits: danger when a
// count of 0xC4, 0xC5 or 0xC6 is above its limit, else caution when that of
// 0x05 is, else good.
LONG HealthFromCounts(const DriveSummary& summary, const DriveInfo& limits);

// The status of an NVMe drive: danger when its critical warning has a bit
// but the temperature's set or its media errors are above the AC6 limit,
// else caution when the spare used is above the A05 limit, else good.
LONG NvmeHealthFromLog(BYTE criticalWarning, const DriveSummary& summary, const DriveInfo& limits);

// The picture of the status panel: the drive's status, or hot on the
// blink phase's "on" ticks while the temperature watch is on and the drive
// is hotter than the threshold.
LONG DisplayedStatus(const DriveInfo& drive, const AppSettings& settings, int blinkPhase);

// The usage gauge's value after being given u percent: values above 100
// (negative ones included, taken unsigned) leave it as it was.
double GaugeAfter(double gauge, int used);
