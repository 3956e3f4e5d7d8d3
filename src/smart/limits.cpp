#include "smart/limits.h"

#include "settings/settingsfile.h"

void SetLimitsToCurrent(DriveTable& table, DWORD slot) {
    if (slot >= kDriveSlots) return;
    DriveInfo& drive = table.slots[slot];
    drive.limit05 = drive.summary.raw05;
    drive.limitC4 = drive.summary.rawC4;
    drive.limitC5 = drive.summary.rawC5;
    drive.limitC6 = drive.summary.rawC6;
    SaveDriveSettings(table, slot);
}

void ResetLimits(DriveTable& table, DWORD slot) {
    if (slot >= kDriveSlots) return;
    DriveInfo& drive = table.slots[slot];
    drive.limit05 = 0;
    drive.limitC4 = 0;
    drive.limitC5 = 0;
    drive.limitC6 = 0;
    SaveDriveSettings(table, slot);
}
