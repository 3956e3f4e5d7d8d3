#include "smart/attributerows.h"

#include <cstdio>
#include <cstring>

#include "drive/atablocks.h"
#include "smart/drivelocks.h"
#include "smart/nvmerows.h"

DWORD FillAttributeRows(const DriveInfo& drive, DWORD decimalIds, AttributeRow rows[kAttributeEntries]) {
    // The monitor thread rewrites the reply buffers in place: the rows come
    // from a copy taken under the update lock, so they never mix two polls.
    if (drive.protocol == ProtocolNvme) {
        BYTE health[kNvmeHealthSize];
        {
            CritSectLock lock(updateLock);
            if (drive.nvmeHealthResult == nullptr) return 0;
            std::memcpy(health, drive.nvmeHealthResult, sizeof health);
        }
        return FillNvmeRows(health, rows);
    }
    BYTE data[kAttributeTableSize];
    BYTE limits[kAttributeTableSize];
    bool haveLimits = false;
    {
        CritSectLock lock(updateLock);
        if (drive.dataResult == nullptr) return 0;
        std::memcpy(data, drive.dataResult, sizeof data);
        haveLimits = drive.thresholdResult != nullptr;
        if (haveLimits) std::memcpy(limits, drive.thresholdResult, sizeof limits);
    }

    DWORD count = 0;
    for (DWORD k = 0; k < kAttributeEntries; ++k) {
        const SmartAttribute entry = AttributeAt(data, k);
        if (entry.id == 0) continue;
        AttributeRow& row = rows[count++];
        std::snprintf(row.id, sizeof row.id, decimalIds ? "%3d" : "%02X", entry.id);
        row.name = AttributeName(entry.id);
        std::snprintf(row.value, sizeof row.value, "%3d", entry.current);
        std::snprintf(row.worst, sizeof row.worst, "%3d", entry.worst);
        // The threshold of the same id: threshold tables need not list the
        // attributes in the same order, nor all of them.
        SmartThreshold threshold;
        if (haveLimits && FindThreshold(limits, entry.id, &threshold)) {
            std::snprintf(row.warn, sizeof row.warn, "%3d", threshold.threshold);
        } else {
            std::snprintf(row.warn, sizeof row.warn, "-");
        }
        std::snprintf(row.raw, sizeof row.raw, "%02X %02X %02X %02X %02X %02X", entry.raw[5], entry.raw[4],
                      entry.raw[3], entry.raw[2], entry.raw[1], entry.raw[0]);
        FlagText(row.flag, entry.flags);
    }
    return count;
}
