#include "smart/drivelocks.h"

CRITSECT updateLock;
CRITSECT networkLock;

const char kUpdateLockName[] = "$VELDAKOR_CSUPDATE";
const char kNetworkLockName[] = "$VELDAKOR_CSNETWORK";
