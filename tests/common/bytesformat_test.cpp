// Disk space texts and the free share of a volume.
#include <gtest/gtest.h>

#include <string>

#include "drive/bytesformat.h"

namespace {

std::string Bytes(ULONGLONG value) {
    char text[kBytesTextSize];
    FormatBytes(text, value);
    return text;
}

}  // namespace

TEST(FormatBytes, DecimalUnitsTruncatedToHundredths) {
    EXPECT_EQ("0", Bytes(0));
    EXPECT_EQ("999", Bytes(999));
    EXPECT_EQ("1.00K", Bytes(1000));
    EXPECT_EQ("1.50K", Bytes(1500));
    EXPECT_EQ("1.99K", Bytes(1999));
    EXPECT_EQ("999.99K", Bytes(999999));
    EXPECT_EQ("1.00M", Bytes(1000000));
    EXPECT_EQ("1.05M", Bytes(1059999));
    EXPECT_EQ("500.10G", Bytes(500107862016ULL));
    EXPECT_EQ("2.00T", Bytes(2000398934016ULL));
    EXPECT_EQ("18446744.07T", Bytes(18446744073709551615ULL));
}

TEST(FreePercent, FullEmptyAndNearlyFullVolumes) {
    EXPECT_DOUBLE_EQ(0.0, FreePercent(1000000, 0));
    EXPECT_DOUBLE_EQ(100.0, FreePercent(1000000, 1000000));
    EXPECT_DOUBLE_EQ(100.0, FreePercent(0, 0));
    EXPECT_DOUBLE_EQ(0.01, FreePercent(100000000, 9999));
    EXPECT_DOUBLE_EQ(0.01, FreePercent(100000000, 10000));
    EXPECT_NEAR(0.010001, FreePercent(100000000, 10001), 1e-9);
}

TEST(FreePercent, LargeVolumesKeepTheirPrecision) {
    EXPECT_DOUBLE_EQ(25.0, FreePercent(400, 100));
    EXPECT_DOUBLE_EQ(50.0, FreePercent(5000000000ULL, 2500000000ULL));
    EXPECT_NEAR(19.99, FreePercent(4000787030016ULL, 799757426688ULL), 0.01);
    EXPECT_NEAR(50.0, FreePercent(0xFFFFFFFFULL, 0x7FFFFFFFULL), 1e-6);
}
