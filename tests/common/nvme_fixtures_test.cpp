// Real NVMe drives through the simulator, the probe, one evaluation, both
// lists and the dumps: every decoded field must be what another tool read
// from the same drive (expected.json beside the blocks).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/scratch_dir.h"
#include "common/test_dir.h"
#include "drive/basiclist.h"
#include "drive/nvmebasiclist.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/attributerows.h"
#include "smart/dumpfile.h"
#include "smart/evaluation.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

json ReadJson(const fs::path& path) {
    std::ifstream in(path);
    return json::parse(in);
}

std::vector<fs::path> Folders(const char* under) {
    std::vector<fs::path> folders;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(FixturesDir()) / under)) {
        if (entry.is_directory()) folders.push_back(entry.path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

std::string Text(const char* format, unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::map<std::string, std::string> BasicByLabel(const BasicRow* rows, DWORD count) {
    std::map<std::string, std::string> m;
    for (DWORD k = 0; k < count; ++k) m[rows[k].label] = rows[k].value;
    return m;
}

// What the record's rules give for the other tool's reading.
struct Expected {
    LONG status = HealthGood;
    LONG spareUsed = 0;
    LONG mediaErrors = 0;
};

Expected FromReading(const json& want) {
    Expected e;
    e.spareUsed = std::max(0, 100 - want["available_spare"].get<int>());
    e.mediaErrors = static_cast<LONG>(std::min(want["media_errors"].get<unsigned long long>(), 2147483647ULL));
    const int warning = want["critical_warning"];
    if ((warning & 0x3D) != 0 || e.mediaErrors > 0) {
        e.status = HealthDanger;
    } else if (e.spareUsed > 0) {
        e.status = HealthCaution;
    }
    return e;
}

// The identify rows the other tool also reported, as the Basic list shows them.
void ExpectIdentifyRows(const std::map<std::string, std::string>& basic, const json& want) {
    EXPECT_EQ(want["model"], basic.at("Model Number"));
    EXPECT_EQ(want["serial"], basic.at("Serial Number"));
    EXPECT_EQ(want["firmware"], basic.at("Firmware Revision"));
    struct Shown {
        const char* key;
        const char* label;
        const char* format;  // of the row's start
    };
    const Shown numbers[] = {
        {"pci_vendor_id", "PCI Vendor ID", "0x%04llX"},
        {"pci_subsystem_vendor_id", "PCI Subsystem Vendor ID", "0x%04llX"},
        {"ieee_oui", "IEEE OUI Identifier", "0x%06llX"},
        {"controller_id", "Controller ID", "%llu"},
        {"number_of_namespaces", "Number of Namespaces", "%llu"},
        {"total_capacity", "Total NVM Capacity", "%llu ("},
        {"unallocated_capacity", "Unallocated NVM Capacity", "%llu ("},
        {"wctemp_celsius", "Warning Composite Temperature Threshold", "%llu C ("},
        {"cctemp_celsius", "Critical Composite Temperature Threshold", "%llu C ("},
    };
    const json& id = want["identify"];
    for (const Shown& n : numbers) {
        if (!id.contains(n.key)) continue;
        const std::string text = Text(n.format, id[n.key]);
        EXPECT_EQ(text, basic.at(n.label).substr(0, text.size())) << n.label;
    }
    if (id.contains("nvme_version")) {
        const unsigned long long v = id["nvme_version"];
        const std::string text =
            v == 0 ? "-" : Text("%llu.", v >> 16) + Text("%llu.", (v >> 8) & 0xFF) + Text("%llu", v & 0xFF);
        EXPECT_EQ(text, basic.at("Version"));
    }
}

// The fields of the health log in log order, by the other tool's names.
const std::pair<const char*, const char*> kLogOrder[] = {
    {"Critical Warning", "critical_warning"},
    {"Composite Temperature", "temperature"},
    {"Available Spare", "available_spare"},
    {"Available Spare Threshold", "available_spare_threshold"},
    {"Percentage Used", "percentage_used"},
    {"Data Units Read", "data_units_read"},
    {"Data Units Written", "data_units_written"},
    {"Host Read Commands", "host_reads"},
    {"Host Write Commands", "host_writes"},
    {"Controller Busy Time", "controller_busy_time"},
    {"Power Cycles", "power_cycles"},
    {"Power On Hours", "power_on_hours"},
    {"Unsafe Shutdowns", "unsafe_shutdowns"},
    {"Media and Data Integrity Errors", "media_errors"},
    {"Number of Error Information Log Entries", "num_err_log_entries"},
    {"Warning Composite Temperature Time", "warning_temp_time"},
    {"Critical Composite Temperature Time", "critical_comp_time"},
};

std::string Celsius(const json& value) { return value.is_null() ? "-" : Text("%lld", value.get<long long>()); }

// The health log's rows against the reading, field by field, in log order,
// then one row per sensor that reads.
void ExpectHealthRows(const AttributeRow* rows, DWORD count, const json& want) {
    std::vector<std::pair<std::string, std::string>> expected;
    for (const auto& [name, key] : kLogOrder) {
        const std::string raw = std::string(key) == "critical_warning" ? Text("0x%02llX", want[key])
                                : std::string(key) == "temperature"    ? Celsius(want[key])
                                                                       : Text("%llu", want[key]);
        expected.emplace_back(name, raw);
    }
    const json& sensors = want["temperature_sensors"];
    for (size_t k = 0; k < sensors.size(); ++k) {
        if (!sensors[k].is_null()) expected.emplace_back("Temperature Sensor " + std::to_string(k + 1), Celsius(sensors[k]));
    }
    std::vector<std::pair<std::string, std::string>> shown;
    for (DWORD k = 0; k < count; ++k) shown.emplace_back(rows[k].name, rows[k].raw);
    EXPECT_EQ(expected, shown);

    for (DWORD k = 0; k < count; ++k) {
        SCOPED_TRACE(rows[k].name);
        const bool spare = std::string(rows[k].name) == "Available Spare";
        EXPECT_EQ(spare ? Text("%3llu", want["available_spare"]) : "", rows[k].value);
        EXPECT_EQ(spare ? Text("%3llu", want["available_spare_threshold"]) : "", rows[k].warn);
        EXPECT_STREQ("", rows[k].worst);
        EXPECT_STREQ("", rows[k].flag);
    }
}

}  // namespace

TEST(NvmeFixtures, EveryDecodedFieldMatchesAnotherToolsReading) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    const std::vector<fs::path> folders = Folders("nvme");
    ASSERT_EQ(9u, folders.size());
    AppSettings settings;
    SetStartValues(settings);
    for (const fs::path& folder : folders) {
        SCOPED_TRACE(folder.filename().string());
        const json want = ReadJson(folder / "expected.json");
        const std::string identify = TestDir::ReadAll((folder / "identify.bin").string());
        const std::string health = TestDir::ReadAll((folder / "health.bin").string());
        ScratchDir scratch("nvme-fixture");
        const std::string drive03 = scratch.Dir().Path("set/03");
        fs::create_directories(drive03);
        TestDir::WriteAll(drive03 + "/nvme-identify.bin", identify);
        TestDir::WriteAll(drive03 + "/nvme-health.bin", health);

        Simulator sim;
        ASSERT_EQ(1u, sim.LoadFolder(scratch.Dir().Path("set")).drives.size());
        DeviceSystem* previous = InstallDevices(&sim);
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        CreateDevices(*table);
        ASSERT_EQ(1u, table->driveCount);
        RefreshDrive(*table, 3, settings);
        const DriveInfo& drive = table->slots[3];
        ASSERT_EQ(ProtocolNvme, drive.protocol);

        const DriveSummary& s = drive.summary;
        EXPECT_EQ(want["model"], s.model);
        EXPECT_EQ(want["serial"], s.serial);
        EXPECT_EQ(want["firmware"], s.firmware);
        EXPECT_EQ(1, s.reserved[0]) << "the record names the protocol";
        const Expected e = FromReading(want);
        EXPECT_EQ(e.status, drive.status);
        EXPECT_EQ(e.status, s.statusByte);
        EXPECT_EQ(e.spareUsed, s.raw05);
        EXPECT_EQ(e.mediaErrors, s.rawC6);
        EXPECT_EQ(0, s.rawC4);
        EXPECT_EQ(0, s.rawC5);
        EXPECT_EQ(want["power_on_hours"].get<LONG>(), s.powerOnHours);
        ASSERT_FALSE(want["temperature"].is_null());
        EXPECT_EQ(want["temperature"].get<int>(), s.temperature);
        EXPECT_EQ(want["temperature"].get<int>(), s.maxTemperature);

        AttributeRow rows[kAttributeEntries];
        const DWORD count = FillAttributeRows(drive, 0, rows);
        ExpectHealthRows(rows, count, want);
        BasicRow basic[kBasicRows];
        ExpectIdentifyRows(BasicByLabel(basic, FillBasicRows(drive, 0, basic)), want);

        // The dumps are the blocks as they came.
        EXPECT_TRUE(DumpDrive(*table, 3).empty()) << "every dump written";
        const std::string base = DumpBaseName(3, s);
        EXPECT_EQ(identify, TestDir::ReadAll(scratch.Dir().Path(base + "_NVME_ID")));
        EXPECT_EQ(health, TestDir::ReadAll(scratch.Dir().Path(base + "_NVME_LOG")));
        EXPECT_FALSE(TestDir::Exists(scratch.Dir().Path(base + "_ID")));

        CloseDevices(*table);
        EXPECT_EQ(0, sim.OpenHandles());
        table.reset();
        InstallDevices(previous);
    }
}

// A genuine identify dump of a drive whose health log was never published.
TEST(NvmeFixtures, IdentifyOnlyDriveNamesItself) {
    for (const fs::path& folder : Folders("nvme-identify-only")) {
        SCOPED_TRACE(folder.filename().string());
        const json want = ReadJson(folder / "expected.json");
        const std::string identify = TestDir::ReadAll((folder / "identify.bin").string());
        ASSERT_EQ(kNvmeIdentifySize, identify.size());
        BasicRow basic[kBasicRows];
        const DWORD count = FillNvmeBasicRows(reinterpret_cast<const BYTE*>(identify.data()), 0, basic);
        ExpectIdentifyRows(BasicByLabel(basic, count), want);

        const DWORD hidden = FillNvmeBasicRows(reinterpret_cast<const BYTE*>(identify.data()), 1, basic);
        const std::map<std::string, std::string> shown = BasicByLabel(basic, hidden);
        EXPECT_EQ("*", shown.at("Serial Number"));
        EXPECT_EQ("*", shown.at("Firmware Revision"));
        EXPECT_EQ(want["model"], shown.at("Model Number"));
    }
}
