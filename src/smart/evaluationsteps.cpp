#include "smart/evaluationsteps.h"

#include <cstdio>
#include <cstring>

#include "drive/bytesformat.h"
#include "smart/evaluation.h"

namespace {

void PowerOnText(LONG hours, const AppSettings& settings, char (&out)[sizeof(PanelTexts::powerOnTime)]) {
    const int days = hours / 24;
    if (settings.View.Years && days > 365) {
        std::snprintf(out, sizeof out, "%d%s %d%s", days / 365, settings.Units.Year, days % 365, settings.Units.Day);
    } else {
        std::snprintf(out, sizeof out, "%d%s", days, settings.Units.Day);
    }
}

}  // namespace

void AppendHistory(DriveInfo& drive, signed char temperature) {
    if (drive.tempHistoryCount > kTempHistorySize - 1) {
        std::memmove(drive.tempHistory, drive.tempHistory + 1, (kTempHistorySize - 1) * sizeof drive.tempHistory[0]);
        drive.tempHistoryCount = kTempHistorySize - 1;
    }
    drive.tempHistory[drive.tempHistoryCount++] = temperature;
}

void FinishEvaluation(DriveInfo& drive, DriveSummary& next, const AppSettings& settings) {
    PanelTexts& texts = drive.texts;
    PowerOnText(next.powerOnHours, settings, texts.powerOnTime);
    if (next.maxTemperature < next.temperature) next.maxTemperature = next.temperature;
    std::snprintf(texts.maxTemperature, sizeof texts.maxTemperature, "%d%s", next.maxTemperature,
                  settings.Units.Temperature);

    char free[kBytesTextSize];
    FormatBytes(free, drive.freeBytes);
    std::snprintf(texts.freeSpace, sizeof texts.freeSpace, "%sB%s", free, settings.Units.DiskUsage);

    // Free space above the total (or without one) is no share at all; the
    // gauge keeps its value, and the share is never made an int it cannot
    // fit (-inf without a total).
    const double share = 100.0 - FreePercent(drive.totalBytes, drive.freeBytes);
    const int used = share >= 0.0 && share <= 100.0 ? static_cast<int>(share) : -1;
    drive.gaugeValue = GaugeAfter(drive.gaugeValue, used);
    const int shown = static_cast<int>(drive.gaugeValue);
    std::snprintf(texts.usage, sizeof texts.usage, "%d%s", shown, settings.Units.Percent);
    next.usedPercent = static_cast<BYTE>(shown);
}
