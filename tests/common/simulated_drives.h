// A test with the drive simulator installed as the device system and a
// cleared drive table. When the test ends every device is closed, and the
// simulator must hold no handle and have refused no request.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "drive/probe.h"
#include "sim/simulator.h"

class SimulatedDrives : public ::testing::Test {
protected:
    SimulatedDrives() : table_(new DriveTable()), previous_(InstallDevices(&sim_)) { table_->Clear(); }
    ~SimulatedDrives() override {
        CloseDevices(*table_);
        EXPECT_EQ(0, sim_.OpenHandles()) << "a device stayed open";
        const auto refusals = sim_.Refusals();
        EXPECT_TRUE(refusals.empty()) << refusals.front().path << ": " << refusals.front().reason;
        table_.reset();
        InstallDevices(previous_);
    }

    Simulator sim_;
    std::unique_ptr<DriveTable> table_;

private:
    DeviceSystem* previous_;
};
