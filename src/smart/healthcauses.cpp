#include "smart/healthcauses.h"

#include <cstdio>

#include "drive/nvmeblocks.h"

namespace {

void AddIfAbove(std::vector<std::string>& lines, const char* label, LONG count, LONG limit) {
    if (count <= limit) return;
    char line[kSettingsLabelSize + 32];
    std::snprintf(line, sizeof line, "%s : %d", label, static_cast<int>(count));
    lines.push_back(line);
}

}  // namespace

std::vector<std::string> HealthCauses(const DriveInfo& drive, const AppSettings& settings) {
    std::vector<std::string> lines;
    const DriveSummary& s = drive.summary;
    if (drive.protocol == ProtocolNvme) {
        if (NvmeWarningIsCritical(drive.criticalWarning)) {
            char line[32];
            std::snprintf(line, sizeof line, "Critical Warning : 0x%02X", drive.criticalWarning);
            lines.push_back(line);
        }
        if (s.raw05 > drive.limit05) lines.push_back("Spare Used : " + std::to_string(s.raw05) + "%");
        AddIfAbove(lines, "Media and Data Integrity Errors", s.rawC6, drive.limitC6);
        return lines;
    }
    AddIfAbove(lines, settings.Labels.A05, s.raw05, drive.limit05);
    AddIfAbove(lines, settings.Labels.AC4, s.rawC4, drive.limitC4);
    AddIfAbove(lines, settings.Labels.AC5, s.rawC5, drive.limitC5);
    AddIfAbove(lines, settings.Labels.AC6, s.rawC6, drive.limitC6);
    return lines;
}
