// Evaluating drives from their blocks: the real probe, polls and refresh
// against simulated drives whose counts and temperature change over polls.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/drive_blocks.h"
#include "common/simulated_drives.h"
#include "common/scratch_dir.h"
#include "drive/probe.h"
#include "settings/settingsfile.h"
#include "sim/simulator.h"
#include "smart/evaluation.h"
#include "smart/limits.h"

namespace {

class Evaluation : public SimulatedDrives {
protected:
    Evaluation() {
        SetStartValues(settings_);
        std::strcpy(settings_.Labels.A05, "Reallocated");
        std::strcpy(settings_.Labels.AC4, "Events");
        std::strcpy(settings_.Labels.AC5, "Pending");
        std::strcpy(settings_.Labels.AC6, "Uncorrectable");
        std::strcpy(settings_.Units.Day, " Day");
        std::strcpy(settings_.Units.Year, " Year");
        std::strcpy(settings_.Units.Temperature, "\xB0" "C");
        std::strcpy(settings_.Units.Percent, "%");
        std::strcpy(settings_.Units.DiskUsage, " Free");
        settings_.Temperature.Threshold = 45;
    }

    // A drive 0 with the given counts and power-on hours, and a temperature
    // attribute unless told otherwise.
    SimDrive& Drive(LONG raw05, LONG rawC4, LONG rawC5, LONG rawC6, ULONGLONG hours = 1234,
                    bool temperature = true) {
        SimDrive drive = TestDrive(0, "EVALUATED");
        std::vector<SimAttribute> entries = {{0x05, 100, 100, static_cast<DWORD>(raw05)},
                                              {0x09, 99, 99, hours},
                                              {0xC4, 100, 100, static_cast<DWORD>(rawC4)},
                                              {0xC5, 100, 100, static_cast<DWORD>(rawC5)},
                                              {0xC6, 100, 100, static_cast<DWORD>(rawC6)}};
        if (temperature) entries.push_back({0xC2, 40, 30, 0x1E00000000ULL | 41});
        drive.smart = BuildAttributeTable(entries);
        sim_.AddDrive(drive);
        return *sim_.Drive(0);
    }
    void Probe() { CreateDevices(*table_); }
    void Poll() { UpdateDevices(*table_); }
    DriveInfo& Refresh() {
        RefreshDrive(*table_, 0, settings_);
        return table_->slots[0];
    }

    AppSettings settings_;
};

}  // namespace

TEST_F(Evaluation, DangerWinsOverCaution) {
    Drive(3, 0, 0, 0);
    Probe();
    EXPECT_EQ(HealthCaution, Refresh().status);
    EXPECT_EQ(HealthCaution, table_->slots[0].summary.statusByte);

    sim_.Drive(0)->changes.push_back({1, 0xC5, 1, -1, -1});
    Poll();
    EXPECT_EQ(HealthDanger, Refresh().status);
    sim_.Drive(0)->changes.push_back({2, 0xC6, 9, -1, -1});
    sim_.Drive(0)->changes.push_back({2, 0xC5, 0, -1, -1});
    Poll();
    EXPECT_EQ(HealthDanger, Refresh().status);
    EXPECT_EQ(HealthDanger, table_->slots[0].summary.statusByte);
}

TEST_F(Evaluation, CountsAreSignedAndComparedWithTheLimits) {
    Drive(0, 0x80000001, 0, 0);
    Probe();
    const DriveInfo& drive = Refresh();
    EXPECT_EQ(static_cast<LONG>(0x80000001), drive.summary.rawC4);
    EXPECT_EQ(HealthGood, drive.status) << "a negative count never exceeds a limit of 0";

    table_->slots[0].limitC4 = static_cast<LONG>(0x80000000);
    EXPECT_EQ(HealthDanger, Refresh().status);
}

TEST_F(Evaluation, LimitsFollowTheCurrentCountsAndBackToZero) {
    ScratchDir scratch("evaluation-limits");
    Drive(3, 0, 0, 0);
    Probe();
    EXPECT_EQ(HealthCaution, Refresh().status);
    SetLimitsToCurrent(*table_, 0);
    EXPECT_EQ(3, table_->slots[0].limit05);
    EXPECT_EQ(HealthGood, Refresh().status);

    // Saved at once to the drive's section.
    std::unique_ptr<DriveTable> reloaded(new DriveTable());
    LoadDriveSettings(*reloaded, 0);
    EXPECT_EQ(3, reloaded->slots[0].limit05);

    sim_.Drive(0)->changes.push_back({1, 0x05, 4, -1, -1});
    Poll();
    EXPECT_EQ(HealthCaution, Refresh().status);

    ResetLimits(*table_, 0);
    EXPECT_EQ(0, table_->slots[0].limit05);
    LoadDriveSettings(*reloaded, 0);
    EXPECT_EQ(0, reloaded->slots[0].limit05);
}

TEST_F(Evaluation, PowerOnTimeInDaysOrYears) {
    Drive(0, 0, 0, 0, 8784);
    Probe();
    settings_.View.Years = 1;
    EXPECT_STREQ("1 Year 1 Day", Refresh().texts.powerOnTime);
    EXPECT_EQ(8784, table_->slots[0].summary.powerOnHours);
    settings_.View.Years = 0;
    EXPECT_STREQ("366 Day", Refresh().texts.powerOnTime);

    sim_.Drive(0)->changes.push_back({1, 0x09, 8760, -1, -1});
    Poll();
    settings_.View.Years = 1;
    EXPECT_STREQ("365 Day", Refresh().texts.powerOnTime);
    sim_.Drive(0)->changes.push_back({2, 0x09, 47, -1, -1});
    Poll();
    EXPECT_STREQ("1 Day", Refresh().texts.powerOnTime);
}

TEST_F(Evaluation, TemperatureMaximumAndHistoryLagOneRefresh) {
    Drive(0, 0, 0, 0);
    sim_.Drive(0)->temperatures = {{1, 47}, {2, 38}};
    Probe();
    DriveInfo& drive = Refresh();
    EXPECT_EQ(41, drive.summary.temperature) << "the low raw byte only";
    EXPECT_STREQ("41\xB0" "C", drive.texts.maxTemperature);
    Poll();
    Refresh();
    EXPECT_EQ(47, drive.summary.temperature);
    Poll();
    Refresh();
    EXPECT_EQ(38, drive.summary.temperature);
    EXPECT_EQ(47, drive.summary.maxTemperature);
    EXPECT_STREQ("47\xB0" "C", drive.texts.maxTemperature);
    ASSERT_EQ(3u, drive.tempHistoryCount);
    EXPECT_EQ(0, drive.tempHistory[0]);
    EXPECT_EQ(41, drive.tempHistory[1]);
    EXPECT_EQ(47, drive.tempHistory[2]);
}

TEST_F(Evaluation, HistoryKeepsTheLast256Samples) {
    Drive(0, 0, 0, 0);
    sim_.Drive(0)->temperatureCycle = {10, 20, 30, 40, 50};
    Probe();
    for (int refresh = 0; refresh < 300; ++refresh) {
        Refresh();
        Poll();
    }
    const DriveInfo& drive = table_->slots[0];
    ASSERT_EQ(256u, drive.tempHistoryCount);
    // Sample k is the temperature read at refresh k - 1 (poll k - 1).
    for (DWORD k = 0; k < 256; ++k) EXPECT_EQ(10 * ((k + 300 - 256 - 1) % 5 + 1), drive.tempHistory[k]) << k;
}

TEST_F(Evaluation, NoTemperatureAttributeMeansNeverHot) {
    Drive(0, 0, 0, 0, 1234, false);
    Probe();
    settings_.Temperature.Enable = 1;
    for (int refresh = 0; refresh < 3; ++refresh) {
        const DriveInfo& drive = Refresh();
        EXPECT_EQ(0, drive.summary.temperature);
        EXPECT_EQ(0, drive.summary.maxTemperature);
        EXPECT_EQ(HealthGood, DisplayedStatus(drive, settings_, 1));
        Poll();
    }
}

TEST_F(Evaluation, HotOnlyAboveTheThresholdWhileWatchedAndBlinking) {
    Drive(0, 0, 0, 0);
    sim_.Drive(0)->temperatures = {{0, 46}, {1, 45}};
    Probe();
    settings_.Temperature.Enable = 1;
    const DriveInfo& drive = Refresh();
    EXPECT_EQ(HealthHot, DisplayedStatus(drive, settings_, 1));
    EXPECT_EQ(HealthGood, DisplayedStatus(drive, settings_, 0));
    settings_.Temperature.Enable = 0;
    EXPECT_EQ(HealthGood, DisplayedStatus(drive, settings_, 1));
    EXPECT_EQ(HealthGood, drive.summary.statusByte) << "hot never reaches the record";
    settings_.Temperature.Enable = 1;
    Poll();
    Refresh();
    EXPECT_EQ(HealthGood, DisplayedStatus(drive, settings_, 1));
}

// Drives that keep the temperature elsewhere, and a "Temperature" setting
// of 0 (or 256, cut to a byte): an empty entry is never the temperature.
TEST_F(Evaluation, TemperatureFromTheAttributeTheSettingNames) {
    SimDrive drive = TestDrive(0, "AIRFLOW");
    drive.smart = BuildAttributeTable({{0x00, 0, 0, 0x3C}, {0xBE, 60, 50, 0x2A}, {0xC2, 40, 30, 0x33}});
    sim_.AddDrive(drive);
    Probe();
    DriveInfo& slot = table_->slots[0];
    slot.tempAttrId = 0;
    EXPECT_EQ(0, Refresh().summary.temperature);
    slot.tempAttrId = 0xBE;
    EXPECT_EQ(0x2A, Refresh().summary.temperature);
    slot.tempAttrId = 0;
    EXPECT_EQ(0x2A, Refresh().summary.temperature) << "no temperature found: the last one stays";
    EXPECT_EQ(0x2A, slot.summary.maxTemperature);
}

// An id listed twice counts by its first entry; an attribute missing from a
// later poll keeps its last count, so the status does not fall back.
TEST_F(Evaluation, DuplicateAndVanishingAttributes) {
    SimDrive drive = TestDrive(0, "ODD TABLE");
    drive.smart = BuildAttributeTable(
        {{0x05, 100, 100, 0}, {0xC5, 100, 100, 2}, {0x05, 100, 100, 9}, {0xC2, 40, 30, 41}, {0xC5, 100, 100, 0}});
    sim_.AddDrive(drive);
    Probe();
    DriveInfo& slot = Refresh();
    EXPECT_EQ(0, slot.summary.raw05);
    EXPECT_EQ(2, slot.summary.rawC5);
    EXPECT_EQ(HealthDanger, slot.status);

    Poll();
    for (DWORD k = 0; k < kAttributeEntries; ++k) {
        BYTE* entry = slot.dataResult + 12 * k;
        if (entry[0] == 0xC5 || entry[0] == 0xC2) entry[0] = 0;  // gone from this poll's table
    }
    Refresh();
    EXPECT_EQ(2, slot.summary.rawC5);
    EXPECT_EQ(HealthDanger, slot.status);
    EXPECT_EQ(41, slot.summary.temperature);
}

TEST_F(Evaluation, IdentityStringsSwappedOrAsStored) {
    Drive(0, 0, 0, 0);
    Probe();
    const DriveInfo& drive = Refresh();
    EXPECT_STREQ("EVALUATED", drive.summary.model);
    EXPECT_STREQ("SN0", drive.summary.serial);
    EXPECT_STREQ("FW1", drive.summary.firmware);
    EXPECT_STREQ("FW1", drive.texts.firmware);
    EXPECT_STREQ("SN0", drive.texts.serial);
    EXPECT_EQ(0, std::strncmp("EVALUATED  ", drive.texts.summary, 11));

    table_->slots[0].reverseStrings = 1;
    Refresh();
    EXPECT_STREQ("VELAAUET D", drive.summary.model) << "each word as stored, first byte low";
    EXPECT_STREQ("NS 0", drive.summary.serial);
}

TEST_F(Evaluation, TextsOfTheCountsFreeSpaceAndUsage) {
    Drive(3, 4, 5, 6);
    Probe();
    DriveInfo& slot = table_->slots[0];
    slot.totalBytes = 1000000000000ULL;
    slot.freeBytes = 250000000000ULL;
    const DriveInfo& drive = Refresh();
    EXPECT_STREQ("Reallocated : 3\r\nEvents : 4\r\nPending : 5\r\nUncorrectable : 6", drive.texts.counts);
    EXPECT_STREQ("250.00GB Free", drive.texts.freeSpace);
    EXPECT_STREQ("75%", drive.texts.usage);
    EXPECT_EQ(75, drive.summary.usedPercent);

    slot.freeBytes = 1000000000000ULL;
    Refresh();
    EXPECT_EQ(0, drive.summary.usedPercent);
    slot.freeBytes = 0;
    Refresh();
    EXPECT_EQ(100, drive.summary.usedPercent);
    slot.freeBytes = 1500000000000ULL;  // more free than total: the gauge keeps its value
    Refresh();
    EXPECT_EQ(100, drive.summary.usedPercent);
    // Free space without a total, and far beyond it: shares of -inf and
    // -1.8e21 percent, which no int holds (found by the probe campaign).
    slot.totalBytes = 0;
    slot.freeBytes = 5;
    Refresh();
    EXPECT_EQ(100, drive.summary.usedPercent);
    slot.totalBytes = 1;
    slot.freeBytes = ~0ULL;
    Refresh();
    EXPECT_EQ(100, drive.summary.usedPercent);
    EXPECT_STREQ("100%", drive.texts.usage);
}

TEST_F(Evaluation, ADriveThatStopsAnsweringKeepsItsLastState) {
    Drive(3, 0, 0, 0);
    sim_.Drive(0)->faults.data.Add(1);
    Probe();
    Refresh();
    const DriveSummary evaluated = table_->slots[0].summary;
    const PanelTexts texts = table_->slots[0].texts;
    Poll();
    ASSERT_EQ(nullptr, table_->slots[0].dataResult);
    const DriveInfo& drive = Refresh();
    EXPECT_EQ(0, std::memcmp(&evaluated, &drive.summary, sizeof evaluated));
    EXPECT_EQ(0, std::memcmp(&texts, &drive.texts, sizeof texts));
    EXPECT_EQ(HealthCaution, drive.status);
    EXPECT_EQ(1, drive.summary.hasData);
    EXPECT_EQ(1u, drive.tempHistoryCount) << "no sample without data";
}

TEST_F(Evaluation, AClosedDevicesTableIsNotRead) {
    Drive(3, 0, 0, 0);
    Probe();
    DriveInfo& drive = table_->slots[0];
    const HANDLE device = drive.io.hDevice;
    drive.io.hDevice = nullptr;  // closed, while the table is still there
    Refresh();
    drive.io.hDevice = device;   // the fixture closes it
    EXPECT_EQ(0, drive.summary.raw05);
    EXPECT_EQ(0, drive.summary.powerOnHours);
    EXPECT_EQ(0, drive.summary.temperature);
    EXPECT_EQ(HealthGood, drive.status);
}

TEST_F(Evaluation, SlotsWithoutADriveReadAsErrors) {
    Probe();
    RefreshDrive(*table_, 4, settings_);
    const DriveInfo& empty = table_->slots[4];
    EXPECT_EQ(HealthError, empty.status);
    EXPECT_EQ(0, empty.summary.hasData);
    EXPECT_EQ(HealthError, empty.summary.statusByte);
    RefreshDrive(*table_, 16, settings_);  // no such slot: nothing happens
}
