// The attribute list's rows and the attribute and flag names.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/drive_blocks.h"
#include "common/fixture_reader.h"
#include "common/test_dir.h"
#include "smart/attributerows.h"
#include "smart/drivelocks.h"

namespace fs = std::filesystem;

namespace {

class AttributeRows : public ::testing::Test {
protected:
    AttributeRows() : drive_(new DriveInfo()) {}

    DWORD Fill(const SimBlock& smart, const SimBlock* thresholds, DWORD decimal) {
        smart_ = smart;
        drive_->dataResult = smart_.data() + 2;
        if (thresholds) {
            thresholds_ = *thresholds;
            drive_->thresholdResult = thresholds_.data() + 2;
        }
        return FillAttributeRows(*drive_, decimal, rows_);
    }

    SimBlock smart_{};
    SimBlock thresholds_{};
    std::unique_ptr<DriveInfo> drive_;
    AttributeRow rows_[kAttributeEntries];
};

}  // namespace

TEST_F(AttributeRows, EveryColumnOfARow) {
    SimBlock smart = BuildAttributeTable({{0xC2, 97, 88, 0x00000022002FULL}, {0x05, 100, 100, 0x0102030405A6ULL}});
    smart[2 + 1] = 0x33;  // flags of entry 0: CR, OC, EC, SP and bit 8
    smart[2 + 2] = 0x01;
    const SimBlock thresholds = BuildThresholds({{0xC2, 0}, {0x05, 36}});
    ASSERT_EQ(2u, Fill(smart, &thresholds, 0));
    const AttributeRow& row = rows_[0];
    EXPECT_STREQ("C2", row.id);
    EXPECT_STREQ("Temperature", row.name);
    EXPECT_STREQ(" 97", row.value);
    EXPECT_STREQ(" 88", row.worst);
    EXPECT_STREQ("  0", row.warn);
    EXPECT_STREQ("00 00 00 22 00 2F", row.raw);
    EXPECT_STREQ("CR OC EC SP", row.flag);
    EXPECT_STREQ("05", rows_[1].id);
    EXPECT_STREQ(" 36", rows_[1].warn);
    EXPECT_STREQ("01 02 03 04 05 A6", rows_[1].raw);
    EXPECT_STREQ("", rows_[1].flag);
}

TEST_F(AttributeRows, DecimalIdsAndMissingThresholds) {
    ASSERT_EQ(2u, Fill(BuildAttributeTable({{0xC2, 1, 1, 0}, {0x05, 1, 1, 0}}), nullptr, 1));
    EXPECT_STREQ("194", rows_[0].id);
    EXPECT_STREQ("  5", rows_[1].id);
    EXPECT_STREQ("-", rows_[0].warn);
}

TEST_F(AttributeRows, EmptyEntriesGiveNoRowAndUnknownIdsAName) {
    std::vector<SimAttribute> full;
    for (int k = 0; k < 30; ++k) full.push_back({static_cast<BYTE>(k == 7 ? 0xFF : k + 1), 1, 1, 0});
    EXPECT_EQ(30u, Fill(BuildAttributeTable(full), nullptr, 0));
    EXPECT_STREQ("Unknown", rows_[7].name);

    full[3].id = 0;
    full[29].id = 0;
    EXPECT_EQ(28u, Fill(BuildAttributeTable(full), nullptr, 0));
    EXPECT_STREQ("05", rows_[3].id) << "the row after the empty entry";

    drive_->dataResult = nullptr;
    EXPECT_EQ(0u, FillAttributeRows(*drive_, 0, rows_));
}

TEST_F(AttributeRows, WarnIsTheThresholdOfTheSameId) {
    const SimBlock smart = BuildAttributeTable({{0x01, 1, 1, 0}, {0x05, 1, 1, 0}, {0xC2, 1, 1, 0}});
    // Another order, a gap, and no entry for 0xC2.
    const SimBlock thresholds = BuildThresholds({{0x05, 36}, {0x00, 0}, {0x01, 51}});
    ASSERT_EQ(3u, Fill(smart, &thresholds, 0));
    EXPECT_STREQ(" 51", rows_[0].warn);
    EXPECT_STREQ(" 36", rows_[1].warn);
    EXPECT_STREQ("-", rows_[2].warn);
}

// Real drives whose threshold tables are turned round: every row still
// shows the threshold an independent parser read for its attribute.
TEST_F(AttributeRows, RealDrivesWithReorderedThresholdTables) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    for (const fs::path& folder : DriveFolders()) {
        SCOPED_TRACE(folder.filename().string());
        const std::string smart = TestDir::ReadAll((folder / "smart.bin").string());
        const std::string limits = TestDir::ReadAll((folder / "thresholds.bin").string());
        ASSERT_EQ(512u, smart.size());
        ASSERT_EQ(512u, limits.size());
        SimBlock data{}, reversed{};
        std::memcpy(data.data(), smart.data(), 512);
        std::memcpy(reversed.data(), limits.data(), 512);
        for (DWORD k = 0; k < kAttributeEntries; ++k)
            std::memcpy(reversed.data() + 2 + 12 * k, limits.data() + 2 + 12 * (kAttributeEntries - 1 - k), 12);

        const DWORD count = Fill(data, &reversed, 0);
        const ExpectedDrive expected = ReadExpected((folder / "expected.txt").string());
        ASSERT_EQ(expected.attributes.size(), count);
        for (DWORD k = 0; k < count; ++k) {
            char want[8];
            std::snprintf(want, sizeof want, "%3d", expected.attributes[k].threshold);
            EXPECT_STREQ(want, rows_[k].warn) << "attribute " << expected.attributes[k].id;
        }
    }
}

// The monitor thread rewrites the reply in place under the update lock;
// rows filled meanwhile hold one poll's values, never two.
TEST_F(AttributeRows, RowsNeverMixTwoPolls) {
    updateLock.Create(kUpdateLockName);
    std::vector<SimAttribute> entries;
    for (int k = 0; k < 30; ++k) entries.push_back({static_cast<BYTE>(k + 1), 100, 100, 0});
    Fill(BuildAttributeTable(entries), nullptr, 0);
    BYTE* table = drive_->dataResult;

    std::atomic<bool> done(false);
    std::atomic<long> fills(0), mixed(0);
    std::thread reader([&] {
        AttributeRow rows[kAttributeEntries];
        while (!done) {
            if (FillAttributeRows(*drive_, 0, rows) != 30) ++mixed;
            for (DWORD k = 1; k < 30; ++k)
                if (std::strcmp(rows[k].raw, rows[0].raw) != 0) ++mixed;
            ++fills;
        }
    });
    for (DWORD poll = 1; poll <= 20000 || fills.load() < 100; ++poll) {
        CritSectLock lock(updateLock);
        for (DWORD k = 0; k < 30; ++k) std::memcpy(table + 12 * k + 5, &poll, sizeof poll);
    }
    done = true;
    reader.join();
    updateLock.Destroy();
    EXPECT_EQ(0, mixed.load()) << "of " << fills.load() << " fills";
}

TEST(AttributeNamesTable, SeventySevenNamedRowsEndedByAnEmptyOne) {
    DWORD rows = 0;
    while (AttributeNames[rows].name[0] != '\0') ++rows;
    EXPECT_EQ(77u, rows);
    EXPECT_STREQ("Raw read error rate", AttributeName(0x01));
    EXPECT_STREQ("Free Fall Protection", AttributeName(0xFE));
    EXPECT_STREQ("G-sense error rate", AttributeName(0xBF));
    EXPECT_STREQ("G-sense error rate", AttributeName(0xDD));
    EXPECT_STREQ("Power-on time count", AttributeName(0x09));
    EXPECT_STREQ("Power-on hours", AttributeName(0xE9));
    EXPECT_STREQ("Unknown", AttributeName(0x0E));
    EXPECT_STREQ("Unknown", AttributeName(0));
    for (DWORD k = 1; k < rows; ++k) EXPECT_LT(AttributeNames[k - 1].id, AttributeNames[k].id) << "table order";
}

TEST(AttributeNamesTable, FlagTextNamesBitsZeroToFive) {
    char text[kFlagTextSize];
    EXPECT_STREQ("", FlagText(text, 0));
    EXPECT_STREQ("CR OC PR ER EC SP", FlagText(text, 0xFFFF));
    EXPECT_STREQ("PR", FlagText(text, 0x0004));
    EXPECT_STREQ("", FlagText(text, 0xFFC0));
}
