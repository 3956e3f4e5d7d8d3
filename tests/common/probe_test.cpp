// The real probe and poll code against the drive simulator: which drives are
// found along which path, what each request carries, and what a poll reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>

#include "common/drive_blocks.h"
#include "common/simulated_drives.h"
#include "common/test_dir.h"
#include "drive/ataaccess.h"
#include "drive/atablocks.h"
#include "drive/probe.h"
#include "drive/summaryline.h"
#include "sim/simulator.h"

namespace {

class Probe : public SimulatedDrives {
protected:
    std::string Model(const DriveInfo& drive) const {
        char model[48] = {};
        SwapAtaString(drive.identifyResult + 54, 40, model);
        return model;
    }
    size_t CountRequests(DWORD ioctl, BYTE features, int drive, int command = -1) const {
        size_t count = 0;
        for (const auto& r : sim_.Requests()) {
            if (r.kind == "ioctl" && r.ioctl == ioctl && r.features == features && r.drive == drive &&
                (command < 0 || r.command == command)) {
                ++count;
            }
        }
        return count;
    }
};

}  // namespace

TEST_F(Probe, DrivesKeepTheSlotOfTheirNumberAndAreListedInOrder) {
    sim_.AddDrive(TestDrive(0, "FIRST DISK"));
    sim_.AddDrive(TestDrive(2, "THIRD DISK"));
    CreateDevices(*table_);

    ASSERT_EQ(2u, table_->driveCount);
    EXPECT_EQ(0, table_->shown[0]);
    EXPECT_EQ(2, table_->shown[1]);
    EXPECT_EQ("FIRST DISK", Model(table_->Shown(0)));
    EXPECT_EQ("THIRD DISK", Model(table_->Shown(1)));
    EXPECT_FALSE(table_->slots[1].present);
    EXPECT_EQ(2u, table_->slots[2].slotDriveNumber);
    EXPECT_EQ(2, table_->slots[2].io.driveNumber);

    // Each slot's replies lie in its own buffers.
    const DriveInfo& third = table_->slots[2];
    EXPECT_EQ(third.io.dataOut.Data() + 2, third.dataResult);
    EXPECT_EQ(third.io.thresholdOut.Data() + 2, third.thresholdResult);
    EXPECT_EQ(third.io.identifyOut.Data(), third.identifyResult);
    EXPECT_EQ(2, RawCount(AttributeAt(third.dataResult, 1).raw));
    EXPECT_EQ(&third.io.version, third.versionResult);
    EXPECT_EQ(24u, third.versionBytes);
    EXPECT_EQ(528u, third.identifyBytes);
    EXPECT_EQ(528u, third.dataBytes);
    EXPECT_EQ(528u, third.thresholdBytes);
    EXPECT_EQ(kIdentifyDevice, third.io.identifyCmd);
    EXPECT_EQ(1u, CountRequests(SMART_SEND_DRIVE_COMMAND, 0xD8, 2)) << "SMART enabled once";
}

TEST_F(Probe, AtapiDevicesUseIdentifyPacketAndAreNotEnabled) {
    SimDrive atapi = TestDrive(1, "CD DRIVE");
    atapi.atapi = true;
    sim_.AddDrive(atapi);
    SimDrive high = TestDrive(5, "ATAPI ON FIVE");
    high.atapi = true;
    sim_.AddDrive(high);
    CreateDevices(*table_);

    EXPECT_EQ(1u, CountRequests(SMART_RCV_DRIVE_DATA, 0, 1, kIdentifyPacketDevice));
    EXPECT_EQ(0u, CountRequests(SMART_RCV_DRIVE_DATA, 0, 1, kIdentifyDevice));
    EXPECT_EQ(0u, CountRequests(SMART_SEND_DRIVE_COMMAND, 0xD8, 1));
    EXPECT_FALSE(table_->slots[1].present) << "no page without SMART data";
    // The version reply cannot mark drive 5 as ATAPI: it is asked as ATA.
    EXPECT_EQ(1u, CountRequests(SMART_RCV_DRIVE_DATA, 0, 5, kIdentifyDevice));
    EXPECT_EQ(1u, CountRequests(SMART_SEND_DRIVE_COMMAND, 0xD8, 5));
    EXPECT_EQ(0u, table_->driveCount);
}

TEST_F(Probe, ADriveWithoutDataAtTheProbeIsNeverShown) {
    SimDrive drive = TestDrive(0, "NO DATA YET");
    drive.faults.data.Add(0, 0);
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    EXPECT_EQ(0u, table_->driveCount);
    EXPECT_FALSE(table_->slots[0].present);
    EXPECT_EQ(nullptr, table_->slots[0].identifyResult) << "a skipped drive keeps no replies";
    EXPECT_EQ(0, sim_.OpenHandles()) << "its device is closed again";
    UpdateDevices(*table_);
    EXPECT_EQ(0u, table_->driveCount);
}

TEST_F(Probe, FailingStepsSkipTheDriveSilently) {
    for (int n = 0; n < 4; ++n) sim_.AddDrive(TestDrive(n, "DISK " + std::to_string(n)));
    sim_.Drive(0)->faults.open.Add(0);
    sim_.Drive(1)->faults.version.Add(0);
    sim_.Drive(2)->faults.identify.Add(0);
    sim_.Drive(3)->faults.thresholds.Add(0);
    CreateDevices(*table_);
    ASSERT_EQ(1u, table_->driveCount) << "only the missing thresholds still give a drive";
    EXPECT_EQ(3, table_->shown[0]);
    EXPECT_EQ(nullptr, table_->slots[3].thresholdResult);
    EXPECT_EQ(1, sim_.OpenHandles());
}

TEST_F(Probe, MiniportPathIdentifiesThroughTheScsiPort) {
    SimDrive drive = TestDrive(0, "BEHIND A RAID CARD");
    drive.miniportPort = 1;
    drive.miniportDevice = 0;
    sim_.AddDrive(drive);
    table_->slots[0].miniportAddr = 0x00010000;
    CreateDevices(*table_);

    ASSERT_EQ(1u, table_->driveCount);
    EXPECT_EQ("BEHIND A RAID CARD", Model(table_->slots[0]));
    EXPECT_EQ(table_->slots[0].io.predict.VendorSpecific + 2, table_->slots[0].dataResult);
    bool portOpened = false, miniportAnswered = false;
    for (const auto& r : sim_.Requests()) {
        if (r.kind == "open" && r.path == "\\\\.\\SCSI1:" && r.Accepted()) portOpened = true;
        if (r.ioctl == IOCTL_SCSI_MINIPORT && r.path == "\\\\.\\SCSI1:" && r.Accepted()) miniportAnswered = true;
    }
    EXPECT_TRUE(portOpened);
    EXPECT_TRUE(miniportAnswered);
    EXPECT_EQ(0u, CountRequests(SMART_RCV_DRIVE_DATA, 0xD0, 0)) << "data comes from the predict-failure request";
}

TEST_F(Probe, PredictedFailureYieldsNoDataOnTheMiniportPath) {
    SimDrive drive = TestDrive(0, "FAILING");
    drive.miniportPort = 1;
    drive.predictFailure.Add(0);
    sim_.AddDrive(drive);
    table_->slots[0].miniportAddr = 0x00010000;
    CreateDevices(*table_);
    EXPECT_EQ(0u, table_->driveCount);
}

TEST_F(Probe, PollsRereadOnlyDataAndThresholds) {
    sim_.AddDrive(TestDrive(0, "POLLED"));
    SimDrive flaky = TestDrive(3, "FLAKY");
    flaky.faults.data.Add(1, 1);
    flaky.faults.thresholds.Add(2, 2);
    flaky.changes.push_back({2, 0x05, 7, -1, -1});
    sim_.AddDrive(flaky);
    CreateDevices(*table_);
    ASSERT_EQ(2u, table_->driveCount);
    sim_.ClearLog();

    UpdateDevices(*table_);  // poll 1: the data read of drive 3 fails
    for (const auto& r : sim_.Requests()) {
        EXPECT_EQ("ioctl", r.kind);
        EXPECT_EQ(SMART_RCV_DRIVE_DATA, r.ioctl);
        EXPECT_TRUE(r.features == 0xD0 || r.features == 0xD1) << "only data and thresholds";
    }
    EXPECT_EQ(4u, sim_.Requests().size());
    const DriveInfo& three = table_->slots[3];
    EXPECT_EQ(nullptr, three.dataResult);
    EXPECT_NE(nullptr, three.thresholdResult);
    EXPECT_NE(nullptr, three.identifyResult) << "IDENTIFY is not read again";

    UpdateDevices(*table_);  // poll 2: data back, with a changed count; thresholds fail
    ASSERT_NE(nullptr, three.dataResult);
    EXPECT_EQ(7, RawCount(AttributeAt(three.dataResult, 1).raw));
    EXPECT_EQ(nullptr, three.thresholdResult);

    UpdateDevices(*table_);  // poll 3: all back
    EXPECT_NE(nullptr, three.thresholdResult);
    EXPECT_EQ(2u, table_->driveCount) << "a failed read never removes a drive";
}

TEST_F(Probe, DebugLinesForTheProbeAndEveryPoll) {
    sim_.AddDrive(TestDrive(0, "A"));
    sim_.AddDrive(TestDrive(4, "B"));
    sim_.Drive(4)->faults.thresholds.Add(0, 0);
    sim_.Drive(4)->faults.data.Add(1, 1);
    CreateDevices(*table_);
    UpdateDevices(*table_);

    auto line = [](const char* what, int n, const void* data, const void* thresholds) {
        char text[128];
        std::snprintf(text, sizeof text, "%s DEV[%d] pDA:0x%X pAT:0x%X\r\n", what, n,
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(data)),
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(thresholds)));
        return std::string(text);
    };
    const DriveInfo& zero = table_->slots[0];
    const DriveInfo& four = table_->slots[4];
    const std::vector<std::string> expected = {
        line("CREATE", 0, zero.io.dataOut.Data() + 2, zero.io.thresholdOut.Data() + 2),
        line("CREATE", 4, four.io.dataOut.Data() + 2, nullptr),
        line("UPDATE", 0, zero.io.dataOut.Data() + 2, zero.io.thresholdOut.Data() + 2),
        line("UPDATE", 4, nullptr, four.io.thresholdOut.Data() + 2),
    };
    EXPECT_EQ(expected, sim_.DebugLines());
}

TEST_F(Probe, NinetyFiveFamilyUsesTheSharedDevice) {
    sim_.SetPlatform(VER_PLATFORM_WIN32_WINDOWS);
    sim_.AddDrive(TestDrive(0, "MASTER"));
    sim_.AddDrive(TestDrive(1, "SLAVE"));
    CreateDevices(*table_);
    ASSERT_EQ(2u, table_->driveCount);
    EXPECT_EQ("SLAVE", Model(table_->slots[1]));
    for (const auto& r : sim_.Requests()) {
        if (r.kind == "open") {
            EXPECT_EQ("\\\\.\\SMARTVSD", r.path);
        }
    }
}

TEST_F(Probe, OtherPlatformsHaveNoDrives) {
    sim_.SetPlatform(VER_PLATFORM_WIN32s);
    sim_.AddDrive(TestDrive(0, "UNREACHABLE"));
    CreateDevices(*table_);
    EXPECT_EQ(0u, table_->driveCount);
    EXPECT_TRUE(sim_.Requests().empty()) << "nothing is opened";
}

TEST_F(Probe, CloseDevicesLeavesNothingOpen) {
    for (int n = 0; n < 16; ++n) sim_.AddDrive(TestDrive(n, "D" + std::to_string(n)));
    CreateDevices(*table_);
    EXPECT_EQ(16u, table_->driveCount);
    EXPECT_EQ(16, sim_.OpenHandles());
    CloseDevices(*table_);
    EXPECT_EQ(0u, table_->driveCount);
    EXPECT_EQ(0, sim_.OpenHandles());
    EXPECT_EQ(nullptr, table_->slots[7].io.hDevice);
    EXPECT_EQ(nullptr, table_->slots[7].io.pDA);
    EXPECT_TRUE(sim_.HandleFaults().empty());
}

TEST_F(Probe, SummaryLineNamesModelSizeAndMode) {
    SimDrive drive = TestDrive(0, "WDC WD5000AAKS");
    drive.diskSize = 500107862016ULL;
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    DriveInfo& d = table_->slots[0];
    std::strcpy(d.summary.model, "WDC WD5000AAKS");
    char line[kSummaryLineSize];
    EXPECT_STREQ("WDC WD5000AAKS  500.10GB  S-ATA/300", SummaryLine(d, line));
    // Without an answer from the device the size comes from IDENTIFY.
    HANDLE device = d.io.hDevice;
    d.io.hDevice = INVALID_HANDLE_VALUE;
    EXPECT_STREQ("WDC WD5000AAKS  500.11GB  S-ATA/300", SummaryLine(d, line));
    d.io.hDevice = device;
}

TEST_F(Probe, RealDrivesPassThroughTheProbeUnchanged) {
    const std::string fixtures = FixturesDir();
    ASSERT_FALSE(fixtures.empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    TestDir set("probe-fixtures");
    TestDir::WriteAll(set.Path("placeholder"), "");
    const std::string drive = fixtures + "/drives/SAMSUNG_HD501LJ--CR100-12/";
    std::filesystem::create_directories(set.Path("00"));
    for (const char* name : {"identify.bin", "smart.bin", "thresholds.bin"}) {
        TestDir::WriteAll(set.Path("00") + "/" + name, TestDir::ReadAll(drive + name));
    }
    ASSERT_EQ(1u, sim_.LoadFolder(set.Root()).drives.size());
    CreateDevices(*table_);
    ASSERT_EQ(1u, table_->driveCount);
    const DriveInfo& d = table_->slots[0];
    EXPECT_EQ(TestDir::ReadAll(drive + "identify.bin"), std::string(reinterpret_cast<const char*>(d.identifyResult), 512));
    EXPECT_EQ(TestDir::ReadAll(drive + "smart.bin").substr(2, 360),
              std::string(reinterpret_cast<const char*>(d.dataResult), 360));
    EXPECT_EQ(TestDir::ReadAll(drive + "thresholds.bin").substr(2, 360),
              std::string(reinterpret_cast<const char*>(d.thresholdResult), 360));
}
