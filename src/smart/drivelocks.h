// The two locks around the drive data.
#pragma once

#include "base/critsect.h"

// Held while the SMART data of the drives are re-read, while a drive is
// evaluated from them and while its dump files are written.
extern CRITSECT updateLock;
// Held while a drive's status record is replaced and while the status
// service copies the records. No code path holds both locks.
extern CRITSECT networkLock;

extern const char kUpdateLockName[];   // "$VELDAKOR_CSUPDATE"
extern const char kNetworkLockName[];  // "$VELDAKOR_CSNETWORK"
