// The status records the status service copies: whole records only, even
// while refreshes rewrite every field.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "common/drive_blocks.h"
#include "common/simulated_drives.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/drivelocks.h"
#include "smart/evaluation.h"
#include "smart/summaries.h"

namespace {

class Summaries : public SimulatedDrives {
protected:
    Summaries() {
        updateLock.Create(kUpdateLockName);
        networkLock.Create(kNetworkLockName);
        SetStartValues(settings_);
    }
    ~Summaries() override {
        updateLock.Destroy();
        networkLock.Destroy();
    }

    AppSettings settings_;
};

// Rewrites the raw value of attribute entry k of a SMART data reply.
void SetRaw(BYTE* table, DWORD k, LONG value) { std::memcpy(table + 12 * k + 5, &value, sizeof value); }

}  // namespace

TEST_F(Summaries, RecordsOfAbsentDrivesAreZero) {
    sim_.AddDrive(TestDrive(0, "FIRST"));
    sim_.AddDrive(TestDrive(1, "SECOND"));
    CreateDevices(*table_);
    RefreshDrive(*table_, 0, settings_);
    RefreshDrive(*table_, 1, settings_);
    // A slot whose drive is gone still holds its old record: it is not sent.
    DriveInfo& gone = table_->slots[7];
    gone.summary = table_->slots[1].summary;
    ASSERT_EQ(0, gone.present);
    BYTE reply[kStatusReplySize];
    std::memset(reply, 0xEE, sizeof reply);
    CopySummaries(*table_, reply);
    EXPECT_EQ(0, std::memcmp(reply, &table_->slots[0].summary, 204));
    EXPECT_EQ(0, std::memcmp(reply + 204, &table_->slots[1].summary, 204));
    EXPECT_EQ(1, reply[0]);
    EXPECT_EQ(1, reply[204]);
    EXPECT_STREQ("SECOND", reinterpret_cast<const char*>(reply + 204 + 28));
    for (DWORD i = 2 * 204; i < kStatusReplySize; ++i) ASSERT_EQ(0, reply[i]) << i;
}

TEST_F(Summaries, AReaderNeverSeesAHalfUpdatedRecord) {
    SimDrive drive = TestDrive(0, "TORN OR WHOLE");
    // Entries 0..5: 0x05, 0x09, 0xC2, 0xC4, 0xC5, 0xC6, all rewritten on every poll.
    drive.smart = BuildAttributeTable({{0x05, 1, 1, 0}, {0x09, 1, 1, 0}, {0xC2, 1, 1, 0}, {0xC4, 1, 1, 0},
                             {0xC5, 1, 1, 0}, {0xC6, 1, 1, 0}});
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    DriveInfo& slot = table_->slots[0];
    ASSERT_TRUE(slot.present);
    RefreshDrive(*table_, 0, settings_);
    const std::string model = slot.summary.model;

    std::atomic<bool> done(false);
    std::atomic<long> copies(0), torn(0), changes(0);
    std::thread reader([&] {
        BYTE reply[kStatusReplySize];
        LONG last = -1;
        while (!done) {
            CopySummaries(*table_, reply);
            DriveSummary record;
            std::memcpy(&record, reply, sizeof record);
            const LONG k = record.raw05;
            const bool reversed = (k & 1) != 0;
            const bool whole = record.rawC4 == k && record.rawC5 == k && record.rawC6 == k &&
                               record.powerOnHours == k && record.temperature == static_cast<signed char>(k % 100) &&
                               (std::string(record.model) == model) != reversed;
            if (!whole) ++torn;
            if (k != last) ++changes;
            last = k;
            ++copies;
        }
    });

    for (LONG k = 1; k <= 20000; ++k) {
        {
            CritSectLock lock(updateLock);  // as a poll rewrites the reply
            for (DWORD entry = 0; entry < 6; ++entry) SetRaw(slot.dataResult, entry, entry == 2 ? k % 100 : k);
        }
        slot.reverseStrings = k & 1;
        RefreshDrive(*table_, 0, settings_);
    }
    done = true;
    reader.join();
    EXPECT_EQ(0, torn.load()) << "of " << copies.load() << " copies";
    EXPECT_GT(copies.load(), 100);
    EXPECT_GT(changes.load(), 10) << "the reader saw the records change";
}
