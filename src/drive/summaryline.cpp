#include "drive/summaryline.h"

#include <cstdio>

#include "drive/atablocks.h"
#include "drive/bytesformat.h"
#include "drive/device.h"
#include "drive/nvmeblocks.h"

char* SummaryLine(DriveInfo& drive, char* out) { return SummaryLine(drive, drive.summary.model, out); }

namespace {

// The disk's size as the device reports it, "500.10GB"; false when it
// cannot say.
bool DiskSizeText(DriveInfo& drive, char (&capacity)[kBytesTextSize + 8]) {
    DISK_GEOMETRY_EX geometry = {};
    DWORD returned = 0;
    if (drive.io.hDevice == INVALID_HANDLE_VALUE || drive.io.hDevice == nullptr ||
        !Devices().Control(drive.io.hDevice, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                           sizeof geometry, &returned)) {
        return false;
    }
    char bytes[kBytesTextSize];
    FormatBytes(bytes, static_cast<ULONGLONG>(geometry.DiskSize.QuadPart));
    std::snprintf(capacity, sizeof capacity, "%sB", bytes);
    return true;
}

}  // namespace

char* SummaryLine(DriveInfo& drive, const char* model, char* out) {
    char capacity[kBytesTextSize + 8] = "";
    if (drive.protocol == ProtocolNvme) {
        // Total NVM Capacity, or the disk's size when the drive gives none.
        const ULONGLONG total = NvmeSaturatedBytes(NvmeCounterAt(drive.nvmeIdentifyResult, kNvmeTotalCapacity));
        if (total != 0) {
            char bytes[kBytesTextSize];
            FormatBytes(bytes, total);
            std::snprintf(capacity, sizeof capacity, "%sB", bytes);
        } else {
            DiskSizeText(drive, capacity);
        }
        std::snprintf(out, kSummaryLineSize, "%.63s  %s  NVMe", model, capacity);
        return out;
    }
    if (!DiskSizeText(drive, capacity)) FormatCapacity(drive.io.pIdentify, capacity);
    std::snprintf(out, kSummaryLineSize, "%.63s  %s  %s", model, capacity,
                  TransferModeName(drive.io.pIdentify));
    return out;
}
