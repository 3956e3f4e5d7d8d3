// Finding the drives at start, re-reading their SMART blocks on every poll,
// and closing them at exit.
#pragma once

#include "smart/driveinfo.h"

// Probes drive numbers 0 .. probeCount-1 along each slot's access path.
// A drive is present when its SMART data could be read; its slot is the one
// of its drive number and it joins the table's list of shown drives. Drives
// that fail a step are skipped silently and their device is closed again.
void CreateDevices(DriveTable& table);

// Re-reads the SMART data and thresholds of every present drive (the
// caller holds the update lock). Returns 0.
int UpdateDevices(DriveTable& table);

// Closes every device; no drive is present in the list afterwards.
void CloseDevices(DriveTable& table);
