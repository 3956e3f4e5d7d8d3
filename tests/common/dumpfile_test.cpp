// The dump files of a drive's raw blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/drive_blocks.h"
#include "common/simulated_drives.h"
#include "common/scratch_dir.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/dumpfile.h"
#include "smart/evaluation.h"

namespace {

class Dumps : public SimulatedDrives {
protected:
    Dumps() : scratch_("dumps") { SetStartValues(settings_); }
    void ProbeAndRefresh() {
        CreateDevices(*table_);
        for (DWORD k = 0; k < table_->driveCount; ++k) RefreshDrive(*table_, table_->shown[k], settings_);
    }
    std::string File(const std::string& name) const { return TestDir::ReadAll(scratch_.Dir().Path(name)); }
    bool Exists(const std::string& name) const { return TestDir::Exists(scratch_.Dir().Path(name)); }

    ScratchDir scratch_;
    AppSettings settings_;
};

}  // namespace

TEST_F(Dumps, EveryDriveWritesItsTwoBlocksNamedByItsNumber) {
    SimDrive first = TestDrive(0, "ABC-100");
    first.identify = BuildIdentify("ABC-100", "X123", "1.00", 1000);
    sim_.AddDrive(first);
    sim_.AddDrive(TestDrive(2, "SECOND"));
    sim_.AddDrive(TestDrive(5, "SIXTH"));
    ProbeAndRefresh();
    table_->hideIdentity = 1;  // names keep the real strings
    for (DWORD k = 0; k < table_->driveCount; ++k) DumpDrive(*table_, table_->shown[k]);

    const std::string identify(reinterpret_cast<const char*>(first.identify.data()), 512);
    const std::string attributes(reinterpret_cast<const char*>(first.smart.data()) + 2, 360);
    EXPECT_EQ(identify, File("0.ABC-100.1.00.X123_ID"));
    EXPECT_EQ(attributes, File("0.ABC-100.1.00.X123_DA"));
    EXPECT_EQ(512u, File("2.SECOND.FW1.SN2_ID").size());
    EXPECT_EQ(360u, File("2.SECOND.FW1.SN2_DA").size());
    EXPECT_TRUE(Exists("5.SIXTH.FW1.SN5_ID"));
    EXPECT_TRUE(Exists("5.SIXTH.FW1.SN5_DA"));
}

TEST_F(Dumps, EmptyStringsAndRewriting) {
    SimDrive drive = TestDrive(1, "");
    drive.identify = BuildIdentify("", "", "", 1000);
    sim_.AddDrive(drive);
    ProbeAndRefresh();
    // Blank-only fields keep one blank.
    const std::string base = DumpBaseName(1, table_->slots[1].summary);
    EXPECT_EQ("1. . . ", base);
    TestDir::WriteAll(scratch_.Dir().Path(base + "_ID"), std::string(2000, 'x'));
    DumpDrive(*table_, 1);
    EXPECT_EQ(512u, File(base + "_ID").size()) << "an earlier file is replaced";

    DriveSummary empty = {};
    EXPECT_EQ("1...", DumpBaseName(1, empty));
}

TEST_F(Dumps, CharactersFileNamesCannotHoldBecomeUnderscores) {
    SimDrive drive = TestDrive(0, "ST3500/AS:x*?");
    drive.identify = BuildIdentify("WD \"Blue\" <1|2>", "S\\N", "F\x01W", 1000);
    sim_.AddDrive(drive);
    ProbeAndRefresh();
    const std::string base = DumpBaseName(0, table_->slots[0].summary);
    EXPECT_EQ("0.WD _Blue_ _1_2_.F_W.S_N", base);
    DumpDrive(*table_, 0);
    EXPECT_EQ(512u, File(base + "_ID").size());
    EXPECT_STREQ("WD \"Blue\" <1|2>", table_->slots[0].summary.model) << "only the file name changes";
}

TEST_F(Dumps, DrivesWithoutDataWriteNothing) {
    sim_.AddDrive(TestDrive(0, "GONE"));
    ProbeAndRefresh();
    table_->slots[0].dataResult = nullptr;
    DumpDrive(*table_, 0);
    DumpDrive(*table_, 3);
    DumpDrive(*table_, 99);
    EXPECT_FALSE(Exists("0.GONE.FW1.SN0_ID"));
    EXPECT_FALSE(Exists("0.GONE.FW1.SN0_DA"));
}
