// The blocks of real drives, decoded here and compared with what an
// independent SMART parser reads from the same bytes.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/fixture_reader.h"
#include "common/test_dir.h"
#include "drive/atablocks.h"
#include "drive/ddk.h"

namespace fs = std::filesystem;

namespace {

// The other parser folds runs of blanks into one.
std::string Collapsed(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string Text(const std::string& identify, DWORD word, DWORD length) {
    char text[64] = {};
    SwapAtaString(reinterpret_cast<const BYTE*>(identify.data()) + 2 * word, length, text);
    return Collapsed(text);
}

std::string Hex(const BYTE* bytes, size_t count) {
    std::string out;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        out += pair;
    }
    return out;
}

}  // namespace

TEST(FixturesDrives, IdentityAndAttributesMatchAnIndependentParser) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    const std::vector<fs::path> folders = DriveFolders();
    ASSERT_FALSE(folders.empty());

    for (const fs::path& folder : folders) {
        SCOPED_TRACE(folder.filename().string());
        const std::string identify = TestDir::ReadAll((folder / "identify.bin").string());
        std::string smart = TestDir::ReadAll((folder / "smart.bin").string());
        std::string thresholds = TestDir::ReadAll((folder / "thresholds.bin").string());
        ASSERT_EQ(kAtaBlockSize, identify.size());
        ASSERT_EQ(kAtaBlockSize, smart.size());
        ASSERT_EQ(kAtaBlockSize, thresholds.size());
        const ExpectedDrive expected = ReadExpected((folder / "expected.txt").string());
        ASSERT_FALSE(expected.attributes.empty());

        EXPECT_EQ(expected.model, Text(identify, 27, 40));
        EXPECT_EQ(expected.serial, Text(identify, 10, 20));
        EXPECT_EQ(expected.firmware, Text(identify, 23, 8));

        const BYTE* data = reinterpret_cast<const BYTE*>(&smart[2]);
        const BYTE* limits = reinterpret_cast<const BYTE*>(&thresholds[2]);

        size_t used = 0;
        for (DWORD k = 0; k < kAttributeEntries; ++k) used += AttributeAt(data, k).id != 0;
        EXPECT_EQ(expected.attributes.size(), used);

        for (const ExpectedAttribute& want : expected.attributes) {
            SCOPED_TRACE(testing::Message() << "attribute " << want.id);
            DWORD k = 0;
            while (k < kAttributeEntries && AttributeAt(data, k).id != want.id) ++k;
            ASSERT_LT(k, kAttributeEntries);
            const SmartAttribute got = AttributeAt(data, k);
            EXPECT_EQ(want.current, got.current);
            EXPECT_EQ(want.worst, got.worst);
            EXPECT_EQ(want.threshold, ThresholdAt(limits, k).threshold);
            EXPECT_EQ(want.raw, Hex(got.raw, sizeof got.raw));

            BYTE raw[6] = {};
            EXPECT_TRUE(FindAttribute(data, static_cast<BYTE>(want.id), raw));
            EXPECT_EQ(want.raw, Hex(raw, sizeof raw));
        }
    }
}

TEST(FixturesDrives, CapacityAndTransferModeOfKnownDrives) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    // A 48-bit Serial ATA drive and a parallel ATA drive with only a 28-bit count.
    const struct {
        const char* folder;
        const char* capacity;
        const char* mode;
    } known[] = {
        {"SAMSUNG_HD501LJ--CR100-12", "500.11GB", "S-ATA/300"},
        {"Maxtor_96147H8--BAC51KJ0", "61.47GB", "Ultra DMA/100"},
    };
    for (const auto& drive : known) {
        SCOPED_TRACE(drive.folder);
        const fs::path path = fs::path(FixturesDir()) / "drives" / drive.folder / "identify.bin";
        std::string identify = TestDir::ReadAll(path.string());
        if (identify.size() != kAtaBlockSize) continue;  // that drive is not in this set
        const BYTE* block = reinterpret_cast<const BYTE*>(identify.data());
        char capacity[16] = {};
        FormatCapacity(block, capacity);
        EXPECT_STREQ(drive.capacity, capacity);
        EXPECT_STREQ(drive.mode, TransferModeName(block));
    }
}
