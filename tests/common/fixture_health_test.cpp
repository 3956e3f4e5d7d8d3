// Real drives through the probe and one evaluation: the status, counts,
// temperature and power-on hours must be what the rules give when applied
// to an independent parser's reading of the same blocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/fixture_reader.h"
#include "common/test_dir.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/evaluation.h"

namespace fs = std::filesystem;

namespace {

// The low four raw bytes (hex, byte 0 first) as a signed number.
LONG Count(const std::string& rawHex) {
    unsigned long value = 0;
    for (int byte = 3; byte >= 0; --byte) value = (value << 8) | std::stoul(rawHex.substr(2 * byte, 2), nullptr, 16);
    return static_cast<LONG>(value);
}

struct Expected {
    LONG raw05 = 0, rawC4 = 0, rawC5 = 0, rawC6 = 0, hours = 0;
    signed char temperature = 0;
    LONG status = HealthGood;
};

// The first entry of an id gives its value; a missing one leaves 0.
Expected FromReading(const ExpectedDrive& drive) {
    Expected e;
    bool seen[256] = {};
    for (const ExpectedAttribute& a : drive.attributes) {
        if (seen[a.id]) continue;
        seen[a.id] = true;
        const LONG count = Count(a.raw);
        switch (a.id) {
            case 0x05: e.raw05 = count; break;
            case 0x09: e.hours = count; break;
            case 0xC4: e.rawC4 = count; break;
            case 0xC5: e.rawC5 = count; break;
            case 0xC6: e.rawC6 = count; break;
            case 0xC2: e.temperature = static_cast<signed char>(std::stoul(a.raw.substr(0, 2), nullptr, 16)); break;
            default: break;
        }
    }
    if (e.raw05 > 0) e.status = HealthCaution;
    if (e.rawC4 > 0 || e.rawC5 > 0 || e.rawC6 > 0) e.status = HealthDanger;
    return e;
}

}  // namespace

TEST(FixtureHealth, OneRefreshOfEachRealDrive) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    AppSettings settings;
    SetStartValues(settings);
    int danger = 0;
    for (const fs::path& folder : DriveFolders()) {
        SCOPED_TRACE(folder.filename().string());
        TestDir set("fixture-health");
        fs::create_directories(set.Path("00"));
        for (const char* name : {"identify.bin", "smart.bin", "thresholds.bin"}) {
            TestDir::WriteAll(set.Path("00") + "/" + name, TestDir::ReadAll((folder / name).string()));
        }
        Simulator sim;
        ASSERT_EQ(1u, sim.LoadFolder(set.Root()).drives.size());
        DeviceSystem* previous = InstallDevices(&sim);
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        CreateDevices(*table);
        ASSERT_EQ(1u, table->driveCount);
        RefreshDrive(*table, 0, settings);

        const Expected want = FromReading(ReadExpected((folder / "expected.txt").string()));
        const DriveInfo& drive = table->slots[0];
        EXPECT_EQ(want.status, drive.status);
        EXPECT_EQ(want.status, drive.summary.statusByte);
        EXPECT_EQ(want.raw05, drive.summary.raw05);
        EXPECT_EQ(want.rawC4, drive.summary.rawC4);
        EXPECT_EQ(want.rawC5, drive.summary.rawC5);
        EXPECT_EQ(want.rawC6, drive.summary.rawC6);
        EXPECT_EQ(want.hours, drive.summary.powerOnHours);
        EXPECT_EQ(want.temperature, drive.summary.temperature);
        EXPECT_EQ(want.temperature, drive.summary.maxTemperature);
        danger += want.status == HealthDanger;

        CloseDevices(*table);
        table.reset();
        InstallDevices(previous);
    }
    EXPECT_GT(danger, 0) << "the set holds failing drives";
}
