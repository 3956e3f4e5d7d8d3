// The attribute list's rows and the attribute and flag names.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/drive_blocks.h"
#include "smart/attributerows.h"

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
