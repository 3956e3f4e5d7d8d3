#include "smart/attributerows.h"

#include <cstdio>

#include "drive/atablocks.h"

DWORD FillAttributeRows(const DriveInfo& drive, DWORD decimalIds, AttributeRow rows[kAttributeEntries]) {
    if (drive.dataResult == nullptr) return 0;
    DWORD count = 0;
    for (DWORD k = 0; k < kAttributeEntries; ++k) {
        const SmartAttribute entry = AttributeAt(drive.dataResult, k);
        if (entry.id == 0) continue;
        AttributeRow& row = rows[count++];
        std::snprintf(row.id, sizeof row.id, decimalIds ? "%3d" : "%02X", entry.id);
        row.name = AttributeName(entry.id);
        std::snprintf(row.value, sizeof row.value, "%3d", entry.current);
        std::snprintf(row.worst, sizeof row.worst, "%3d", entry.worst);
        if (drive.thresholdResult != nullptr) {
            std::snprintf(row.warn, sizeof row.warn, "%3d", ThresholdAt(drive.thresholdResult, k).threshold);
        } else {
            std::snprintf(row.warn, sizeof row.warn, "-");
        }
        std::snprintf(row.raw, sizeof row.raw, "%02X %02X %02X %02X %02X %02X", entry.raw[5], entry.raw[4],
                      entry.raw[3], entry.raw[2], entry.raw[1], entry.raw[0]);
        FlagText(row.flag, entry.flags);
    }
    return count;
}
