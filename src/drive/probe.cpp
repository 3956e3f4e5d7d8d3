#include "drive/probe.h"

#include <cstdint>

#include "drive/ataaccess.h"
#include "drive/debugprint.h"

namespace {

bool StandardPath(const DriveInfo& drive) { return drive.miniportAddr == 0xFFFFFFFF; }

// The debug lines print the reply pointers as 32-bit numbers.
unsigned Address(const void* pointer) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(pointer)); }

void ReadBlocks(DriveInfo& drive) {
    drive.dataResult = StandardPath(drive) ? ReadSmartData(drive.io, &drive.dataBytes)
                                           : ReadPredictFailure(drive.io, &drive.dataBytes);
    drive.thresholdResult = ReadSmartThresholds(drive.io, &drive.thresholdBytes);
}

// A drive that failed the probe keeps no device and no replies.
void Forget(DriveInfo& drive) {
    CloseDrive(drive.io);
    drive.versionResult = nullptr;
    drive.identifyResult = nullptr;
    drive.dataResult = nullptr;
    drive.thresholdResult = nullptr;
}

}  // namespace

void CreateDevices(DriveTable& table) {
    table.driveCount = 0;
    const DWORD count = table.probeCount < kDriveSlots ? table.probeCount : kDriveSlots;
    for (DWORD n = 0; n < count; ++n) {
        DriveInfo& drive = table.slots[n];
        drive.present = 0;
        if (!OpenDrive(drive.io, static_cast<BYTE>(n))) {
            Forget(drive);
            continue;
        }
        drive.versionResult = GetSmartVersion(drive.io, &drive.versionBytes);
        if (drive.versionResult == nullptr) {
            Forget(drive);
            continue;
        }
        drive.identifyResult =
            StandardPath(drive)
                ? IdentifyDrive(drive.io, &drive.identifyBytes)
                : IdentifyByMiniport(drive.io, static_cast<WORD>(drive.miniportAddr >> 16),
                                     static_cast<WORD>(drive.miniportAddr & 0xFFFF), &drive.identifyBytes);
        if (drive.identifyResult == nullptr) {
            Forget(drive);
            continue;
        }
        ReadBlocks(drive);
        DebugPrint("CREATE DEV[%d] pDA:0x%X pAT:0x%X\r\n", static_cast<int>(n), Address(drive.dataResult),
                   Address(drive.thresholdResult));
        if (drive.dataResult == nullptr) {
            Forget(drive);
            continue;
        }
        drive.present = 1;
        drive.slotDriveNumber = n;
        table.shown[table.driveCount++] = static_cast<BYTE>(n);
    }
}

int UpdateDevices(DriveTable& table) {
    for (DWORD k = 0; k < table.driveCount; ++k) {
        DriveInfo& drive = table.Shown(k);
        if (drive.present) ReadBlocks(drive);
        DebugPrint("UPDATE DEV[%d] pDA:0x%X pAT:0x%X\r\n", static_cast<int>(table.shown[k]), Address(drive.dataResult),
                   Address(drive.thresholdResult));
    }
    return 0;
}

void CloseDevices(DriveTable& table) {
    for (DriveInfo& drive : table.slots) CloseDrive(drive.io);
    table.driveCount = 0;
}
