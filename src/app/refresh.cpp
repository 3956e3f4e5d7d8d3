#include "app/refresh.h"

#include "app/appstate.h"
#include "drive/volumes.h"
#include "settings/appsettings.h"
#include "smart/evaluation.h"

void RefreshAllPages(bool /*rebuildLists*/) {
    for (DWORD k = 0; k < drives.driveCount; ++k) {
        SumDiskSpace(drives.Shown(k));
        RefreshDrive(drives, drives.shown[k], appSettings);
    }
}
