// Volume letters of the drives and their disk space, against the simulator.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/drive_blocks.h"
#include "common/simulated_drives.h"
#include "drive/probe.h"
#include "drive/volumes.h"
#include "sim/simulator.h"

namespace {

class Volumes : public SimulatedDrives {
protected:
    Volumes() {
        sim_.AddDrive(TestDrive(0, "SYSTEM"));
        sim_.AddDrive(TestDrive(1, "DATA"));
    }
    void Volume(char letter, ULONGLONG total, ULONGLONG free, std::vector<DWORD> disks, bool opens = true) {
        SimVolume v;
        v.letter = letter;
        v.totalBytes = total;
        v.freeBytes = free;
        v.disks = disks;
        v.opens = opens;
        sim_.AddVolume(v);
    }
    std::string Letters(int slot) const { return table_->slots[slot].summary.driveLetters; }
};

}  // namespace

TEST_F(Volumes, LettersGoToTheDiskOfTheFirstExtent) {
    Volume('C', 100, 40, {0});
    Volume('D', 300, 100, {1});
    Volume('E', 500, 250, {1, 0});   // spanned: listed under its first disk only
    Volume('F', 700, 7, {3});        // on a disk that is not present
    Volume('G', 900, 9, {0}, false); // an empty card reader
    CreateDevices(*table_);
    AddAllDriveLetters(*table_);
    EXPECT_EQ("C:", Letters(0));
    EXPECT_EQ("D: E:", Letters(1));
    for (int slot = 2; slot < 16; ++slot) EXPECT_EQ("", Letters(slot));

    SumDiskSpace(table_->slots[0]);
    SumDiskSpace(table_->slots[1]);
    EXPECT_EQ(100u, table_->slots[0].totalBytes);
    EXPECT_EQ(40u, table_->slots[0].freeBytes);
    EXPECT_EQ(800u, table_->slots[1].totalBytes);
    EXPECT_EQ(350u, table_->slots[1].freeBytes);
}

TEST_F(Volumes, AnsweringVolumesReportTrueEvenWithoutADrive) {
    Volume('F', 700, 7, {3});
    Volume('G', 900, 9, {0}, false);
    CreateDevices(*table_);
    EXPECT_TRUE(AddDriveLetter(*table_, 'F'));
    EXPECT_FALSE(AddDriveLetter(*table_, 'G'));
    EXPECT_FALSE(AddDriveLetter(*table_, 'Q'));
    EXPECT_EQ("", Letters(0));
}

TEST_F(Volumes, AtMostTwentyOneLettersFit) {
    CreateDevices(*table_);
    for (char letter = 'A'; letter <= 'Z'; ++letter) Volume(letter, 1000, 10, {0});
    AddAllDriveLetters(*table_);
    EXPECT_EQ("A: B: C: D: E: F: G: H: I: J: K: L: M: N: O: P: Q: R: S: T: U:", Letters(0));
    SumDiskSpace(table_->slots[0]);
    EXPECT_EQ(21000u, table_->slots[0].totalBytes);
}

TEST_F(Volumes, DiskSpaceOfAVolume) {
    Volume('C', 2000398934016ULL, 1000000000000ULL, {0});
    DiskSpace space = {};
    EXPECT_TRUE(GetDiskSpace("C:", &space));
    EXPECT_EQ(2000398934016ULL, space.total);
    EXPECT_EQ(1000000000000ULL, space.free);
    EXPECT_FALSE(GetDiskSpace("", &space));
    EXPECT_FALSE(GetDiskSpace(nullptr, &space));
    EXPECT_FALSE(GetDiskSpace("Q:", &space));
}

TEST_F(Volumes, SlotsThatAreNotPresentSumNothing) {
    Volume('C', 100, 40, {0});
    CreateDevices(*table_);
    AddAllDriveLetters(*table_);
    DriveInfo& absent = table_->slots[5];
    absent.totalBytes = 77;
    SumDiskSpace(absent);
    EXPECT_EQ(77u, absent.totalBytes);
}
