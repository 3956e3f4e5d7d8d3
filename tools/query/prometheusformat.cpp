#include "prometheusformat.h"

#include <cstdio>
#include <cstdlib>

#include "cp932text.h"

namespace {

enum class Applies { Always, Ata, Nvme };

struct DriveMetric {
    const char* name;
    const char* help;
    Applies applies;
    double (*value)(const DriveRecord&);
};

const DriveMetric kDriveMetrics[] = {
    {"veldakor_drive_health_status", "Health of the drive: 0 good, 1 caution, 2 danger, 3 error.", Applies::Always,
     [](const DriveRecord& d) { return static_cast<double>(d.status); }},
    {"veldakor_drive_temperature_celsius", "Temperature of the drive.", Applies::Always,
     [](const DriveRecord& d) { return static_cast<double>(d.temperature); }},
    {"veldakor_drive_temperature_max_celsius", "Highest temperature of the drive since the program started.",
     Applies::Always, [](const DriveRecord& d) { return static_cast<double>(d.maxTemperature); }},
    {"veldakor_drive_used_ratio", "Used share of the drive's volumes, 0 to 1.", Applies::Always,
     [](const DriveRecord& d) { return d.usedPercent / 100.0; }},
    {"veldakor_drive_power_on_seconds", "Power-on time of the drive.", Applies::Always,
     [](const DriveRecord& d) { return d.powerOnHours * 3600.0; }},
    {"veldakor_drive_reallocated_sectors", "Reallocated sectors (ATA attribute 05).", Applies::Ata,
     [](const DriveRecord& d) { return static_cast<double>(d.raw05); }},
    {"veldakor_drive_reallocation_events", "Reallocation events (ATA attribute C4).", Applies::Ata,
     [](const DriveRecord& d) { return static_cast<double>(d.rawC4); }},
    {"veldakor_drive_pending_sectors", "Sectors pending reallocation (ATA attribute C5).", Applies::Ata,
     [](const DriveRecord& d) { return static_cast<double>(d.rawC5); }},
    {"veldakor_drive_uncorrectable_sectors", "Uncorrectable sectors (ATA attribute C6).", Applies::Ata,
     [](const DriveRecord& d) { return static_cast<double>(d.rawC6); }},
    {"veldakor_drive_spare_used_ratio", "Share of the NVMe drive's spare capacity used up, 0 to 1.", Applies::Nvme,
     [](const DriveRecord& d) { return d.raw05 / 100.0; }},
    {"veldakor_drive_media_errors", "Media and data integrity errors of the NVMe drive.", Applies::Nvme,
     [](const DriveRecord& d) { return static_cast<double>(d.rawC6); }},
};

bool AppliesTo(Applies applies, const DriveRecord& d) {
    return applies == Applies::Always || (applies == Applies::Nvme) == IsNvme(d);
}

void Family(std::string& out, const char* name, const char* help) {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += " gauge\n";
}

// Shortest text that reads back as the same double.
std::string Number(double value) {
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

std::string TargetLabel(const TargetScrape& s) { return "target=\"" + LabelValue(s.target) + "\""; }

std::string DriveLabels(const TargetScrape& s, const DriveRecord& d) {
    return TargetLabel(s) + ",drive=\"" + std::to_string(d.drive) + "\"";
}

}  // namespace

std::string LabelValue(const std::string& cp932) {
    std::string out;
    for (char c : Utf8FromCp932(cp932)) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string PrometheusMetrics(const std::vector<TargetScrape>& scrapes) {
    std::string out;
    Family(out, "veldakor_up", "Whether the whole status reply of the target came back.");
    for (const TargetScrape& s : scrapes) out += "veldakor_up{" + TargetLabel(s) + "} " + (s.up ? "1\n" : "0\n");
    Family(out, "veldakor_scrape_duration_seconds", "How long the query of the target took.");
    for (const TargetScrape& s : scrapes)
        out += "veldakor_scrape_duration_seconds{" + TargetLabel(s) + "} " + Number(s.seconds) + "\n";

    Family(out, "veldakor_drive_info", "The drive's identity; always 1.");
    for (const TargetScrape& s : scrapes) {
        for (const DriveRecord& d : s.drives) {
            out += "veldakor_drive_info{" + DriveLabels(s, d) + ",protocol=\"" + ProtocolWord(d.protocol) +
                   "\",model=\"" + LabelValue(d.model) + "\",serial=\"" + LabelValue(d.serial) + "\",firmware=\"" +
                   LabelValue(d.firmware) + "\",letters=\"" + LabelValue(d.letters) + "\"} 1\n";
        }
    }
    for (const DriveMetric& m : kDriveMetrics) {
        std::string samples;
        for (const TargetScrape& s : scrapes) {
            for (const DriveRecord& d : s.drives) {
                if (AppliesTo(m.applies, d))
                    samples += std::string(m.name) + "{" + DriveLabels(s, d) + "} " + Number(m.value(d)) + "\n";
            }
        }
        // A family without samples is left out, HELP and TYPE too.
        if (samples.empty()) continue;
        Family(out, m.name, m.help);
        out += samples;
    }
    return out;
}
