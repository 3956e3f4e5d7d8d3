#include "drive/volumes.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "drive/device.h"

namespace {

const DWORD kExtentsReplySize = 2048;
const size_t kLettersCapacity = sizeof(DriveSummary::driveLetters) - 1;

}  // namespace

bool AddDriveLetter(DriveTable& table, char letter) {
    std::unique_ptr<BYTE[]> reply(new (std::nothrow) BYTE[kExtentsReplySize]());
    if (!reply) return false;

    char path[8];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", letter);
    HANDLE volume = Devices().Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL);
    if (volume == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const bool answered = Devices().Control(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, reply.get(),
                                            kExtentsReplySize, &returned) != FALSE;
    Devices().Close(volume);
    if (!answered) return false;

    // Only the first extent counts: a spanned volume is listed under its
    // first disk. A reply without any extent names no disk at all.
    VOLUME_DISK_EXTENTS extents;
    std::memcpy(&extents, reply.get(), sizeof extents);
    if (returned < sizeof extents || extents.NumberOfDiskExtents == 0) return true;
    const DWORD disk = extents.Extents[0].DiskNumber;
    if (disk >= table.probeCount || disk >= kDriveSlots || !table.slots[disk].present) return true;

    char* letters = table.slots[disk].summary.driveLetters;
    const size_t length = std::strlen(letters);
    const size_t needed = (length ? 1 : 0) + 2;
    if (length + needed <= kLettersCapacity) {
        std::snprintf(letters + length, kLettersCapacity + 1 - length, "%s%c:", length ? " " : "", letter);
    }
    return true;
}

void AddAllDriveLetters(DriveTable& table) {
    const DWORD mask = Devices().LogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (mask & (1UL << bit)) AddDriveLetter(table, static_cast<char>('A' + bit));
    }
}

void SumDiskSpace(DriveInfo& drive) {
    if (!drive.present) return;
    drive.totalBytes = 0;
    drive.freeBytes = 0;
    const char* letters = drive.summary.driveLetters;
    const size_t length = strnlen(letters, sizeof drive.summary.driveLetters);
    for (size_t i = 0; i < length; i += 3) {
        const char root[3] = {letters[i], ':', '\0'};
        DiskSpace space;
        if (GetDiskSpace(root, &space)) {
            drive.totalBytes += space.total;
            drive.freeBytes += space.free;
        }
    }
}

bool GetDiskSpace(const char* path, DiskSpace* space) {
    if (path == nullptr || path[0] == '\0' || space == nullptr) return false;
    return Devices().DiskFreeSpace(path, &space->available, &space->total, &space->free);
}
