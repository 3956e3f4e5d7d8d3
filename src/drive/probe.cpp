#include "drive/probe.h"

#include <cstdint>

#include "drive/ataaccess.h"
#include "drive/debugprint.h"
#include "drive/nvmeaccess.h"

namespace {

bool StandardPath(const DriveInfo& drive) { return drive.miniportAddr == 0xFFFFFFFF; }

// The debug lines print the reply pointers as 32-bit numbers.
unsigned Address(const void* pointer) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(pointer)); }

void ReadBlocks(DriveInfo& drive) {
    if (drive.protocol == ProtocolNvme) {
        drive.nvmeHealthResult = ReadNvmeHealth(drive.io);
        return;
    }
    drive.dataResult = StandardPath(drive) ? ReadSmartData(drive.io, &drive.dataBytes)
                                           : ReadPredictFailure(drive.io, &drive.dataBytes);
    drive.thresholdResult = ReadSmartThresholds(drive.io, &drive.thresholdBytes);
}

// The reply the debug lines print as pDA: the SMART data, or the health log.
const void* DataReply(const DriveInfo& drive) {
    return drive.protocol == ProtocolNvme ? drive.nvmeHealthResult : drive.dataResult;
}

// A drive that failed the probe keeps no device and no replies.
void Forget(DriveInfo& drive) {
    CloseDrive(drive.io);
    drive.versionResult = nullptr;
    drive.identifyResult = nullptr;
    drive.dataResult = nullptr;
    drive.thresholdResult = nullptr;
    drive.nvmeIdentifyResult = nullptr;
    drive.nvmeHealthResult = nullptr;
    drive.protocol = ProtocolAta;
}

// The ATA path: the version, IDENTIFY, then the blocks; false when a step
// the drive must answer fails.
bool ProbeAta(DriveInfo& drive, DWORD n) {
    if (!OpenDrive(drive.io, static_cast<BYTE>(n))) return false;
    drive.versionResult = GetSmartVersion(drive.io, &drive.versionBytes);
    if (drive.versionResult == nullptr) return false;
    drive.identifyResult =
        StandardPath(drive)
            ? IdentifyDrive(drive.io, &drive.identifyBytes)
            : IdentifyByMiniport(drive.io, static_cast<WORD>(drive.miniportAddr >> 16),
                                 static_cast<WORD>(drive.miniportAddr & 0xFFFF), &drive.identifyBytes);
    if (drive.identifyResult == nullptr) return false;
    ReadBlocks(drive);
    DebugPrint("CREATE DEV[%d] pDA:0x%X pAT:0x%X\r\n", static_cast<int>(n), Address(drive.dataResult),
               Address(drive.thresholdResult));
    return drive.dataResult != nullptr;
}

// For a drive number the ATA path does not reach: an NVMe drive, read
// through the storage property queries.
bool ProbeNvme(DriveInfo& drive, DWORD n) {
    if (!OpenNvmeDrive(drive.io, static_cast<BYTE>(n)) || !IsNvmeDrive(drive.io)) return false;
    drive.protocol = ProtocolNvme;
    drive.nvmeIdentifyResult = ReadNvmeIdentify(drive.io);
    if (drive.nvmeIdentifyResult == nullptr) return false;
    ReadBlocks(drive);
    DebugPrint("CREATE DEV[%d] pDA:0x%X pAT:0x%X\r\n", static_cast<int>(n), Address(drive.nvmeHealthResult),
               Address(nullptr));
    return drive.nvmeHealthResult != nullptr;
}

}  // namespace

void CreateDevices(DriveTable& table) {
    table.driveCount = 0;
    const DWORD count = table.probeCount < kDriveSlots ? table.probeCount : kDriveSlots;
    for (DWORD n = 0; n < count; ++n) {
        DriveInfo& drive = table.slots[n];
        drive.present = 0;
        if (!ProbeAta(drive, n)) {
            Forget(drive);
            if (!ProbeNvme(drive, n)) {
                Forget(drive);
                continue;
            }
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
        DebugPrint("UPDATE DEV[%d] pDA:0x%X pAT:0x%X\r\n", static_cast<int>(table.shown[k]), Address(DataReply(drive)),
                   Address(drive.thresholdResult));
    }
    return 0;
}

void CloseDevices(DriveTable& table) {
    for (DriveInfo& drive : table.slots) CloseDrive(drive.io);
    table.driveCount = 0;
}
