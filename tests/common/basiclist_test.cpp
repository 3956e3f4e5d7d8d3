#include "drive/basiclist.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

const char kMediaSerial[] = "M0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvw";
static_assert(sizeof kMediaSerial == 61, "a full 60-character field");

// Word k holds k unless a row needs something sharper, so a row that reads
// the wrong word shows it.
struct CraftedDrive {
    GETVERSIONINPARAMS version = {};
    BYTE identify[kAtaBlockSize] = {};
    DriveInfo drive;

    CraftedDrive() {
        for (DWORD k = 0; k < 256; ++k) SetWord(k, static_cast<WORD>(k));
        SetWord(0, 0x0C5A);
        SetWord(1, 0xFFFF);  // unsigned
        SetWord(57, 0xFFFE);  // 0xFFFFFFFE: signed, -2
        SetWord(58, 0xFFFF);
        SetWord(60, 0x1234);
        SetWord(61, 0x0001);
        SetWord(215, 0x0000);
        SetWord(216, 0x8000);
        SetString(10, "       SN-0123456789");
        SetString(23, "FW1.00  ");
        SetString(27, "  Veldakor Test Disk 500                ");
        SetString(176, kMediaSerial);
        SetWord(206, 0x5A5A);  // right after the media serial: must not show

        version.bVersion = 1;
        version.bRevision = 2;
        version.bIDEDeviceMap = 0x15;
        version.fCapabilities = 0x00010007;
        drive.versionResult = &version;
        drive.versionBytes = 24;
        drive.identifyResult = identify;
    }
    void SetWord(DWORD k, WORD value) {
        identify[2 * k] = static_cast<BYTE>(value);
        identify[2 * k + 1] = static_cast<BYTE>(value >> 8);
    }
    void SetString(DWORD word, const std::string& text) {
        for (size_t i = 0; i < text.size(); i += 2) {
            identify[2 * word + i] = static_cast<BYTE>(text[i + 1]);
            identify[2 * word + i + 1] = static_cast<BYTE>(text[i]);
        }
    }
};

struct Expected {
    const char* label;
    const char* value;
};

const Expected kExpected[kBasicRows] = {
    {"Version", "1"},
    {"Revision", "2"},
    {"IDEDeviceMap", "0000 0000 0001 0101  (0x0015)"},
    {"Capabilities", "0000 0000 0000 0111  (0x10007)"},
    {"Version Status", "24"},
    {"Model Number", "Veldakor Test Disk 500"},
    {"Firmware Revision", "FW1.00"},
    {"Serial Number", "SN-0123456789"},
    {"General Configuration", "0000 1100 0101 1010  (0x0C5A)"},
    {"Cylinders", "65535"},
    {"Heads", "3"},
    {"Bytes/Track", "4"},
    {"Bytes/Sector", "5"},
    {"Sectors/Track", "6"},
    {"Buffer Type", "20"},
    {"Buffer Size", "21"},
    {"ECC Size", "22"},
    {"Vendor Unique", "0000 0000 0010 1111  (0x002F)"},
    {"Double Word IO", "48"},
    {"Capabilities", "0000 0000 0011 0001  (0x0031)"},
    {"PIO Timing", "0000 0000 0011 0011  (0x0033)"},
    {"DMA Timing", "0000 0000 0011 0100  (0x0034)"},
    {"BS", "0000 0000 0011 0101  (0x0035)"},
    {"Current Cylinders", "54"},
    {"Current Heads", "55"},
    {"Current Sectors/Track", "56"},
    {"Current Sector Capacity", "-2"},
    {"Multi Sector Stuff", "59"},
    {"Total Addressable Sectors", "70196"},
    {"Single Word DMA", "0000 0000 0011 1110  (0x003E)"},
    {"Multi Word DMA", "0000 0000 0011 1111  (0x003F)"},
    {"Advanced PIO", "0000 0000 0100 0000  (0x0040)"},
    {"Multi Word DMA Cycle Time", "65"},
    {"Device Multi Word DMA Cycle Time", "66"},
    {"PIO Cycle Time without IODRY", "67"},
    {"PIO Cycle Time with IODRY", "68"},
    {"Queue Size", "75"},
    {"Serial ATA Capabilities", "0000 0000 0100 1100  (0x004C)"},
    {"Serial ATA Features Supported", "0000 0000 0100 1110  (0x004E)"},
    {"Serial ATA Features Enabled", "0000 0000 0100 1111  (0x004F)"},
    {"Major Version", "0000 0000 0101 0000  (0x0050)"},
    {"Minor Version", "0000 0000 0101 0001  (0x0051)"},
    {"Command Set 1", "0000 0000 0101 0010  (0x0052)"},
    {"Command Set 2", "0000 0000 0101 0011  (0x0053)"},
    {"Command Set 3", "0000 0000 0101 0100  (0x0054)"},
    {"Command Status 1", "0000 0000 0101 0101  (0x0055)"},
    {"Command Status 2", "0000 0000 0101 0110  (0x0056)"},
    {"Command Status 3", "0000 0000 0101 0111  (0x0057)"},
    {"Ultra DMA", "0000 0000 0101 1000  (0x0058)"},
    {"Hardware Reset", "0000 0000 0101 1101  (0x005D)"},
    {"Automatic Acoustic Management", "0000 0000 0101 1110  (0x005E)"},
    {"Sector Size", "106"},
    {"Current Media Serial No", kMediaSerial},
    {"NV Cache Capabilities", "0000 0000 1101 0110  (0x00D6)"},
    {"NV Cache Size Logical Blocks", "-2147483648"},
    {"NV Cache Options 1", "0000 0000 1101 1011  (0x00DB)"},
    {"NV Cache Options 2", "0000 0000 1101 1100  (0x00DC)"},
};

// Rows as a caller might hand them over: full of what an earlier drive left.
void Dirty(BasicRow* rows) {
    for (DWORD i = 0; i < kBasicRows; ++i) {
        rows[i].label = "stale";
        std::memset(rows[i].value, '#', sizeof rows[i].value);
    }
}

}  // namespace

TEST(BasicListRows, EveryLabelAndValue) {
    CraftedDrive crafted;
    BasicRow rows[kBasicRows];
    Dirty(rows);
    ASSERT_EQ(kBasicRows, FillBasicRows(crafted.drive, 0, rows));
    for (DWORD i = 0; i < kBasicRows; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        EXPECT_STREQ(kExpected[i].label, rows[i].label);
        ASSERT_NE(nullptr, std::memchr(rows[i].value, '\0', sizeof rows[i].value));
        EXPECT_STREQ(kExpected[i].value, rows[i].value);
    }
}

TEST(BasicListRows, HiddenIdentityStarsFirmwareAndSerialOnly) {
    CraftedDrive crafted;
    BasicRow rows[kBasicRows];
    Dirty(rows);
    ASSERT_EQ(kBasicRows, FillBasicRows(crafted.drive, 1, rows));
    EXPECT_STREQ("*", rows[6].value);
    EXPECT_STREQ("*", rows[7].value);
    EXPECT_STREQ("Firmware Revision", rows[6].label);
    EXPECT_STREQ("Serial Number", rows[7].label);
    EXPECT_STREQ("Veldakor Test Disk 500", rows[5].value);
    EXPECT_STREQ(kMediaSerial, rows[52].value);

    // The switch changes only what is shown, never the drive's data.
    ASSERT_EQ(kBasicRows, FillBasicRows(crafted.drive, 0, rows));
    EXPECT_STREQ("FW1.00", rows[6].value);
    EXPECT_STREQ("SN-0123456789", rows[7].value);
}

TEST(BasicListRows, NothingWithoutVersionReplyOrIdentify) {
    CraftedDrive crafted;
    BasicRow rows[kBasicRows];
    Dirty(rows);

    crafted.drive.versionResult = nullptr;
    EXPECT_EQ(0ul, FillBasicRows(crafted.drive, 0, rows));
    crafted.drive.versionResult = &crafted.version;
    crafted.drive.identifyResult = nullptr;
    EXPECT_EQ(0ul, FillBasicRows(crafted.drive, 0, rows));

    EXPECT_STREQ("stale", rows[0].label);
    EXPECT_EQ('#', rows[0].value[0]);
}
