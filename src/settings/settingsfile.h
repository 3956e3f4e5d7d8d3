// Moving the settings between the settings file and memory: the global keys
// into an AppSettings record, the per-drive keys into the slots of a drive
// table (section "Drive%02d" of slot i, which holds drive number i).
//
// Every operation opens its own INIFILE on the bare name VELDAKOR.INI, which
// the profile layer resolves: the Windows directory on Windows, the current
// directory on native builds. Nothing here reports failure: a missing file or
// key gives the defaults, and a refused write is ignored.
#pragma once

#include "base/wintypes.h"
#include "settings/appsettings.h"
#include "smart/driveinfo.h"

extern const char kSettingsFileName[];  // "VELDAKOR.INI"

// Reads every global key (missing colours and fonts keep what the record
// holds, normally the start values), turns the underscores of the units into
// blanks, reads the 16 drive sections, and, unless Global.Debug is set, lifts
// a Global.Timer below 60 to 120 and a Temperature.Timer below 200 to 1000.
void LoadSettings(AppSettings& settings, DriveTable& drives);

// Writes every global key but Global.Debug, blanks of the units as
// underscores, then the 16 drive sections.
void SaveSettings(AppSettings& settings, const DriveTable& drives);

// Start-up's load: LoadSettings, and on the first run (Global.Run still 0,
// as when there is no file yet) Run becomes 1 and the whole file is written
// at once. Returns 1 when that first-run save happened.
BOOL LoadSettingsAtStart(AppSettings& settings, DriveTable& drives);

// One drive section; a slot above 15 does nothing.
void LoadDriveSettings(DriveTable& drives, UINT slot);
void SaveDriveSettings(const DriveTable& drives, UINT slot);

// Replaces every oldChar by newChar in the units Hour, Day, Year,
// Temperature and DiskUsage (Percent is left as it is).
void SwapUnitBlanks(AppSettings& settings, char newChar, char oldChar);
