#include "smart/summaries.h"

#include <cstring>

#include "smart/drivelocks.h"

void PublishSummary(DriveInfo& drive, const DriveSummary& next) {
    CritSectLock lock(networkLock);
    drive.summary = next;
}

void CopySummaries(const DriveTable& table, BYTE reply[kStatusReplySize]) {
    std::memset(reply, 0, kStatusReplySize);
    CritSectLock lock(networkLock);
    for (DWORD i = 0; i < kDriveSlots; ++i) {
        if (table.slots[i].present) std::memcpy(reply + i * sizeof(DriveSummary), &table.slots[i].summary, sizeof(DriveSummary));
    }
}
