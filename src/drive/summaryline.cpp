#include "drive/summaryline.h"

#include <cstdio>

#include "drive/atablocks.h"
#include "drive/bytesformat.h"
#include "drive/device.h"

char* SummaryLine(DriveInfo& drive, char* out) { return SummaryLine(drive, drive.summary.model, out); }

char* SummaryLine(DriveInfo& drive, const char* model, char* out) {
    char capacity[kBytesTextSize + 8] = "";
    DISK_GEOMETRY_EX geometry = {};
    DWORD returned = 0;
    if (drive.io.hDevice != INVALID_HANDLE_VALUE && drive.io.hDevice != nullptr &&
        Devices().Control(drive.io.hDevice, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                          sizeof geometry, &returned)) {
        char bytes[kBytesTextSize];
        FormatBytes(bytes, static_cast<ULONGLONG>(geometry.DiskSize.QuadPart));
        std::snprintf(capacity, sizeof capacity, "%sB", bytes);
    } else {
        FormatCapacity(drive.io.pIdentify, capacity);
    }
    std::snprintf(out, kSummaryLineSize, "%.63s  %s  %s", model, capacity,
                  TransferModeName(drive.io.pIdentify));
    return out;
}
