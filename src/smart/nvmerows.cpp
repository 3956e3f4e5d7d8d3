#include "smart/nvmerows.h"

#include <cstdio>
#include <cstring>

namespace {

enum FieldKind { Warning, Temperature, Percent, Spare, Counter, Minutes };

struct Field {
    DWORD offset;
    const char* name;
    FieldKind kind;
};

const Field kFields[] = {
    {kNvmeCriticalWarning, "Critical Warning", Warning},
    {kNvmeCompositeTemperature, "Composite Temperature", Temperature},
    {kNvmeAvailableSpare, "Available Spare", Spare},
    {kNvmeSpareThreshold, "Available Spare Threshold", Percent},
    {kNvmePercentageUsed, "Percentage Used", Percent},
    {kNvmeDataUnitsRead, "Data Units Read", Counter},
    {kNvmeDataUnitsRead + 16, "Data Units Written", Counter},
    {kNvmeDataUnitsRead + 32, "Host Read Commands", Counter},
    {kNvmeDataUnitsRead + 48, "Host Write Commands", Counter},
    {kNvmeDataUnitsRead + 64, "Controller Busy Time", Counter},
    {kNvmeDataUnitsRead + 80, "Power Cycles", Counter},
    {kNvmePowerOnHours, "Power On Hours", Counter},
    {kNvmePowerOnHours + 16, "Unsafe Shutdowns", Counter},
    {kNvmeMediaErrors, "Media and Data Integrity Errors", Counter},
    {kNvmeErrorLogEntries, "Number of Error Information Log Entries", Counter},
    {kNvmeWarningTemperatureTime, "Warning Composite Temperature Time", Minutes},
    {kNvmeCriticalTemperatureTime, "Critical Composite Temperature Time", Minutes},
};

const char* const kSensorNames[kNvmeSensorCount] = {
    "Temperature Sensor 1", "Temperature Sensor 2", "Temperature Sensor 3", "Temperature Sensor 4",
    "Temperature Sensor 5", "Temperature Sensor 6", "Temperature Sensor 7", "Temperature Sensor 8",
};

AttributeRow& NewRow(AttributeRow& row, DWORD offset, const char* name) {
    std::memset(&row, 0, sizeof row);
    std::snprintf(row.id, sizeof row.id, "%02X", static_cast<unsigned>(offset));
    row.name = name;
    return row;
}

// A temperature of 0 K is one the drive does not report.
void TemperatureText(WORD kelvin, char (&raw)[sizeof(AttributeRow::raw)]) {
    if (kelvin == 0) {
        std::snprintf(raw, sizeof raw, "-");
    } else {
        std::snprintf(raw, sizeof raw, "%d", NvmeCelsius(kelvin));
    }
}

}  // namespace

DWORD FillNvmeRows(const BYTE (&health)[kNvmeHealthSize], AttributeRow rows[kAttributeEntries]) {
    DWORD count = 0;
    for (const Field& field : kFields) {
        AttributeRow& row = NewRow(rows[count++], field.offset, field.name);
        switch (field.kind) {
            case Warning:
                std::snprintf(row.raw, sizeof row.raw, "0x%02X", health[field.offset]);
                break;
            case Temperature:
                TemperatureText(NvmeWord(health, field.offset), row.raw);
                break;
            case Spare:
                std::snprintf(row.value, sizeof row.value, "%3d", health[kNvmeAvailableSpare]);
                std::snprintf(row.warn, sizeof row.warn, "%3d", health[kNvmeSpareThreshold]);
                std::snprintf(row.raw, sizeof row.raw, "%d", health[field.offset]);
                break;
            case Percent:
                std::snprintf(row.raw, sizeof row.raw, "%d", health[field.offset]);
                break;
            case Counter: {
                char text[kNvmeCounterTextSize];
                NvmeCounterText(NvmeCounterAt(health, field.offset), text);
                std::snprintf(row.raw, sizeof row.raw, "%s", text);
                break;
            }
            case Minutes:
                std::snprintf(row.raw, sizeof row.raw, "%lu", static_cast<unsigned long>(NvmeDword(health, field.offset)));
                break;
        }
    }
    for (DWORD k = 0; k < kNvmeSensorCount; ++k) {
        const DWORD offset = kNvmeTemperatureSensors + 2 * k;
        const WORD kelvin = NvmeWord(health, offset);
        if (kelvin == 0) continue;
        AttributeRow& row = NewRow(rows[count++], offset, kSensorNames[k]);
        TemperatureText(kelvin, row.raw);
    }
    return count;
}
