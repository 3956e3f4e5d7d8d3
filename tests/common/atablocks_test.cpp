#include "drive/atablocks.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "drive/ddk.h"

namespace {

// A 512-byte block written word by word, strings in ATA byte order.
struct Block {
    BYTE bytes[kAtaBlockSize] = {};

    void SetWord(DWORD k, WORD value) {
        bytes[2 * k] = static_cast<BYTE>(value);
        bytes[2 * k + 1] = static_cast<BYTE>(value >> 8);
    }
    void SetDword(DWORD k, DWORD value) {
        SetWord(k, static_cast<WORD>(value));
        SetWord(k + 1, static_cast<WORD>(value >> 16));
    }
    // text: an even number of characters, the field as the drive sends it.
    void SetString(DWORD word, const std::string& text) {
        for (size_t i = 0; i < text.size(); i += 2) {
            bytes[2 * word + i] = static_cast<BYTE>(text[i + 1]);
            bytes[2 * word + i + 1] = static_cast<BYTE>(text[i]);
        }
    }
};

std::string Swapped(const Block& block, DWORD word, DWORD length) {
    char text[64] = {};
    SwapAtaString(block.bytes + 2 * word, length, text);
    return text;
}

std::string Trimmed(const char* field, DWORD length) {
    char s[64] = {};
    std::memcpy(s, field, length);
    TrimAtaString(s, length);
    return s;
}

std::string Capacity(const Block& block) {
    char out[32] = "untouched";
    FormatCapacity(block.bytes, out);
    return out;
}

std::string Mode(const Block& block) { return TransferModeName(block.bytes); }

std::string Bits(DWORD value) {
    char out[kBitsTextSize];
    std::memset(out, 'x', sizeof out);
    return BitsText(value, out);
}

}  // namespace

TEST(AtaBlocksWords, LittleEndianAndBoundedToTheBlock) {
    Block block;
    block.bytes[0] = 0x34;
    block.bytes[1] = 0x12;
    block.SetWord(100, 0xBEEF);
    block.SetWord(101, 0x8001);
    block.SetWord(255, 0xFFFE);

    EXPECT_EQ(0x1234, IdentifyWord(block.bytes, 0));
    EXPECT_EQ(0xFFFE, IdentifyWord(block.bytes, 255));
    EXPECT_EQ(0x8001BEEFul, IdentifyDword(block.bytes, 100));  // low word first
    EXPECT_EQ(0, IdentifyWord(block.bytes, 256));
    EXPECT_EQ(0ul, IdentifyDword(block.bytes, 255));  // its high half would lie past the block
}

TEST(AtaBlocksString, SwapsPairsAndTrimsBothEnds) {
    Block block;
    block.SetString(27, "   WDC WD2500JB-00REA0                  ");  // 40 characters
    block.SetString(10, "     WD-WMANK4051741");
    block.SetString(23, "3.CME   ");
    block.SetString(176, std::string(60, ' '));
    block.SetString(47, "A  B");

    EXPECT_EQ("WDC WD2500JB-00REA0", Swapped(block, 27, 40));
    EXPECT_EQ("WD-WMANK4051741", Swapped(block, 10, 20));
    EXPECT_EQ("3.CME", Swapped(block, 23, 8));
    EXPECT_EQ(" ", Swapped(block, 176, 60));  // a field of blanks keeps one
    EXPECT_EQ("A  B", Swapped(block, 47, 4));  // inner blanks stay

    // Exactly the field is written, and no terminator.
    char dst[12];
    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(dst, SwapAtaString(block.bytes + 2 * 47, 4, dst));
    EXPECT_EQ("A  B#", std::string(dst, 5));
}

TEST(AtaBlocksString, TrimRules) {
    EXPECT_EQ("AB", Trimmed("AB  ", 4));
    EXPECT_EQ("AB", Trimmed("  AB", 4));
    EXPECT_EQ("A B", Trimmed(" A B  ", 6));
    EXPECT_EQ(" ", Trimmed("    ", 4));
    EXPECT_EQ(" ", Trimmed(" ", 1));
    // NULs inside the padding are passed over, the blanks before them go too.
    EXPECT_EQ("AB", Trimmed("AB \0 \0", 6));
    // A text cut at an inner NUL keeps only what comes before it.
    EXPECT_EQ("AB", Trimmed("  AB\0CD", 7));
}

TEST(AtaBlocksString, TrimStaysInsideTheField) {
    // A full field without its terminator: the byte after it is not part of
    // the text and is left alone.
    char s[] = "  ABCDEF#";
    TrimAtaString(s, 8);
    EXPECT_STREQ("ABCDEF", s);
    EXPECT_EQ('#', s[8]);
}

TEST(AtaBlocksCapacity, UnitsAndRounding) {
    Block block;
    block.SetDword(60, 2000000);  // 1024.00 decimal megabytes: not below 1000
    EXPECT_EQ("1.02GB", Capacity(block));
    block.SetDword(60, 1900000);
    EXPECT_EQ("972.80MB", Capacity(block));
    block.SetDword(60, 3907029168ul);
    EXPECT_EQ("2.00TB", Capacity(block));
    block.SetDword(60, 0xFFFFFFFF);  // unsigned, not -1
    EXPECT_EQ("2.20TB", Capacity(block));
    block.SetDword(60, 0);
    EXPECT_EQ("0.00MB", Capacity(block));
}

TEST(AtaBlocksCapacity, Word83Bit10ChoosesThe48BitCount) {
    Block block;
    block.SetDword(60, 268435455);  // what large drives leave in the 28-bit count
    block.SetDword(100, 976773168);
    EXPECT_EQ("137.44GB", Capacity(block));
    block.SetWord(83, 0x7C00);
    EXPECT_EQ("500.11GB", Capacity(block));
    block.SetWord(83, 0x7BFF);  // every other bit of word 83
    EXPECT_EQ("137.44GB", Capacity(block));
}

TEST(AtaBlocksCapacity, NoIdentifyOrSmallBuffer) {
    char out[16] = "before";
    FormatCapacity(nullptr, out);
    EXPECT_STREQ("before", out);

    Block block;
    block.SetDword(60, 1900000);
    char small[8];
    std::memset(small, '#', sizeof small);
    FormatCapacity(block.bytes, small, 4);
    EXPECT_STREQ("972", small);
    EXPECT_EQ('#', small[4]);
}

TEST(AtaBlocksTransferMode, SerialAtaGenerations) {
    Block block;
    block.SetWord(88, 0x407F);  // the DMA words never count for a Serial ATA device
    const struct {
        WORD word76;
        const char* name;
    } cases[] = {
        {0x0002, "S-ATA/150"}, {0x0006, "S-ATA/300"}, {0x000E, "S-ATA/600"},
        {0x001E, "S-ATA"},      // bit 4 wins over the generation bits
        {0x0010, "S-ATA"},      {0x0100, "S-ATA"},    {0x0001, "S-ATA"},
        {0x0506, "S-ATA/300"},  // upper feature bits do not matter
    };
    for (const auto& c : cases) {
        block.SetWord(76, c.word76);
        EXPECT_EQ(c.name, Mode(block)) << std::hex << c.word76;
    }
}

TEST(AtaBlocksTransferMode, NoSerialAtaFallsThroughToTheSelectedDmaMode) {
    Block block;
    block.SetWord(76, 0xFFFF);
    block.SetWord(88, 0x203F);
    EXPECT_EQ("Ultra DMA/100", Mode(block));
    block.SetWord(76, 0);
    EXPECT_EQ("Ultra DMA/100", Mode(block));

    block.SetWord(63, 0x0407);  // multiword comes before Ultra DMA
    EXPECT_EQ("Multi DMA/33", Mode(block));
    block.SetWord(62, 0x4107);  // single-word before both; the highest bit names it
    EXPECT_EQ("Single DMA/133", Mode(block));
}

TEST(AtaBlocksTransferMode, HighestSelectedBitNamesTheMode) {
    const char* const ultra[] = {"Ultra DMA/16", "Ultra DMA/25", "Ultra DMA/33", "Ultra DMA/44",
                                 "Ultra DMA/66", "Ultra DMA/100", "Ultra DMA/133"};
    const char* const multi[] = {"Multi DMA/16", "Multi DMA/25", "Multi DMA/33", "Multi DMA/44",
                                 "Multi DMA/66", "Multi DMA/100", "Multi DMA/133"};
    const char* const single[] = {"Single DMA/16", "Single DMA/25", "Single DMA/33", "Single DMA/44",
                                  "Single DMA/66", "Single DMA/100", "Single DMA/133"};
    for (int bit = 0; bit < 7; ++bit) {
        // Every lower bit set as well, and bit 7 (no mode of its own).
        const WORD high = static_cast<WORD>((((2u << bit) - 1) | 0x80) << 8);
        Block block;
        block.SetWord(88, high | 0x7F);
        EXPECT_EQ(ultra[bit], Mode(block));
        Block m;
        m.SetWord(63, high | 0x07);
        EXPECT_EQ(multi[bit], Mode(m));
        Block s;
        s.SetWord(62, high | 0x07);
        EXPECT_EQ(single[bit], Mode(s));
    }
    // Bit 7 alone names no speed.
    Block u, m, s;
    u.SetWord(88, 0x8000);
    m.SetWord(63, 0x8000);
    s.SetWord(62, 0x8000);
    EXPECT_EQ("Ultra DMA", Mode(u));
    EXPECT_EQ("Multi DMA", Mode(m));
    EXPECT_EQ("Single DMA", Mode(s));
}

TEST(AtaBlocksTransferMode, NothingSelectedIsPio) {
    Block block;
    block.SetWord(62, 0x0007);  // modes supported, none selected
    block.SetWord(63, 0x0007);
    block.SetWord(88, 0x007F);
    EXPECT_EQ("PIO", Mode(block));

    EXPECT_STREQ("", TransferModeName(nullptr));
}

TEST(AtaBlocksBits, GroupsOfFourThenHex) {
    EXPECT_EQ("0000 0000 0100 0000  (0x0040)", Bits(0x0040));
    EXPECT_EQ("1000 0000 0000 0001  (0x8001)", Bits(0x8001));
    EXPECT_EQ("0000 0000 0000 0000  (0x0000)", Bits(0));
    EXPECT_EQ("0001 0010 1010 1111  (0x12AF)", Bits(0x12AF));
    // Wider values: low 16 bits in binary, all of it in hex.
    EXPECT_EQ("0010 0011 0100 0101  (0x12345)", Bits(0x12345));
    EXPECT_EQ("1111 1111 1111 1111  (0xFFFFFFFF)", Bits(0xFFFFFFFF));

    char out[kBitsTextSize];
    EXPECT_EQ(out, BitsText(1, out));
}

TEST(AtaBlocksAttributes, EntriesAndThresholdsByIndex) {
    Block data;
    BYTE* table = data.bytes + 2;
    const BYTE entry[12] = {0xC2, 0x22, 0x00, 97, 88, 0x2F, 0x00, 0x0F, 0x00, 0x32, 0x00, 0xEE};
    std::memcpy(table + 12 * 4, entry, sizeof entry);

    SmartAttribute a = AttributeAt(table, 4);
    EXPECT_EQ(0xC2, a.id);
    EXPECT_EQ(0x0022, static_cast<int>(a.flags));  // a packed member: no reference to it
    EXPECT_EQ(97, a.current);
    EXPECT_EQ(88, a.worst);
    EXPECT_EQ(0, std::memcmp(entry + 5, a.raw, 6));
    EXPECT_EQ(0, AttributeAt(table, 3).id);
    EXPECT_EQ(0, AttributeAt(table, 30).id);

    Block thresholds;
    thresholds.bytes[2 + 12 * 4] = 0x99;  // ids are not compared
    thresholds.bytes[2 + 12 * 4 + 1] = 45;
    SmartThreshold t = ThresholdAt(thresholds.bytes + 2, 4);
    EXPECT_EQ(0x99, t.id);
    EXPECT_EQ(45, t.threshold);
    EXPECT_EQ(0, ThresholdAt(thresholds.bytes + 2, 30).threshold);
}

TEST(AtaBlocksAttributes, FindTakesTheFirstMatchWithinTheTable) {
    Block data;
    BYTE* table = data.bytes + 2;
    auto put = [&](DWORD k, BYTE id, BYTE firstRaw) {
        table[12 * k] = id;
        table[12 * k + 3] = 100;  // current and worst must not leak into raw
        table[12 * k + 4] = 100;
        for (int i = 0; i < 6; ++i) table[12 * k + 5 + i] = static_cast<BYTE>(firstRaw + i);
    };
    put(3, 0x09, 0x10);
    put(7, 0x09, 0x20);
    put(29, 0xC2, 0x30);
    table[12 * 30] = 0xBB;  // just past the last entry: not part of the table

    BYTE raw[6] = {};
    ASSERT_TRUE(FindAttribute(table, 0x09, raw));
    const BYTE first[6] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15};
    EXPECT_EQ(0, std::memcmp(first, raw, 6));

    ASSERT_TRUE(FindAttribute(table, 0xC2, raw));
    EXPECT_EQ(0x30, raw[0]);
    EXPECT_EQ(0x35, raw[5]);

    BYTE untouched[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(FindAttribute(table, 0xBB, untouched));
    EXPECT_FALSE(FindAttribute(table, 0x05, untouched));
    EXPECT_FALSE(FindAttribute(nullptr, 0x09, untouched));
    table[12 * 0 + 5] = 0x77;  // garbage in an empty entry
    EXPECT_FALSE(FindAttribute(table, 0, untouched)) << "id 0 is an empty entry, never an attribute";
    const BYTE same[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(0, std::memcmp(same, untouched, 6));
}

TEST(AtaBlocksAttributes, ThresholdsAreFoundByIdNotByPlace) {
    Block thresholds;
    BYTE* table = thresholds.bytes + 2;
    auto put = [&](DWORD k, BYTE id, BYTE value) {
        table[12 * k] = id;
        table[12 * k + 1] = value;
    };
    put(0, 0x09, 0);
    put(2, 0x05, 36);  // a gap before it
    put(5, 0x05, 99);  // a duplicate: the first counts
    table[12 * 1 + 1] = 50;  // an empty entry with a value
    SmartThreshold found = {};
    ASSERT_TRUE(FindThreshold(table, 0x05, &found));
    EXPECT_EQ(36, found.threshold);
    SmartThreshold untouched = {};
    untouched.threshold = 7;
    EXPECT_FALSE(FindThreshold(table, 0xC2, &untouched));
    EXPECT_FALSE(FindThreshold(table, 0, &untouched));
    EXPECT_FALSE(FindThreshold(nullptr, 0x05, &untouched));
    EXPECT_EQ(7, untouched.threshold);
}

TEST(AtaBlocksAttributes, RawCountIsTheSignedLowFourBytes) {
    const BYTE one[6] = {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    const BYTE order[6] = {0x78, 0x56, 0x34, 0x12, 0x00, 0x00};
    const BYTE minusOne[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    const BYTE lowest[6] = {0x00, 0x00, 0x00, 0x80, 0x01, 0x00};
    const BYTE upperOnly[6] = {0x00, 0x00, 0x00, 0x00, 0x2A, 0x00};
    EXPECT_EQ(1, RawCount(one));
    EXPECT_EQ(0x12345678, RawCount(order));
    EXPECT_EQ(-1, RawCount(minusOne));
    EXPECT_EQ(-2147483647 - 1, RawCount(lowest));
    EXPECT_EQ(0, RawCount(upperOnly));
}
