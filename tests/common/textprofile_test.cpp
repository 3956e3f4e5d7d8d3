// The program's own profile layer, read and written through plain files.
#include <gtest/gtest.h>

#include <string>

#include "common/test_dir.h"
#include "settings/textprofile.h"

namespace {

class TextProfile : public ::testing::Test {
protected:
    TextProfile() : dir_("textprofile"), file_(dir_.Path("test.ini")) {}

    void Given(const std::string& bytes) { TestDir::WriteAll(file_, bytes); }
    std::string Bytes() const { return TestDir::ReadAll(file_); }

    std::string Get(const char* section, const char* key, const char* def = "", DWORD size = 256) {
        std::string buffer(size ? size : 1, '#');
        const DWORD n = textprofile::ReadString(section, key, def, &buffer[0], size, file_.c_str());
        EXPECT_EQ(n, size ? std::string(buffer.c_str()).size() : 0u);
        return size ? std::string(buffer.c_str()) : buffer;
    }
    int GetInt(const char* section, const char* key, int def = -7) {
        return static_cast<int>(textprofile::ReadInt(section, key, def, file_.c_str()));
    }
    BOOL Put(const char* section, const char* key, const char* value) {
        return textprofile::WriteString(section, key, value, file_.c_str());
    }

    TestDir dir_;
    std::string file_;
};

}  // namespace

TEST_F(TextProfile, ReadsValuesWithBlanksDroppedAndNamesInAnyCase) {
    Given("[Global]\r\n  Timer =  120  \r\nName=a b\t\r\n[View]\nDecimal=1\n");
    EXPECT_EQ("120", Get("Global", "Timer"));
    EXPECT_EQ("120", Get("  gLoBaL ", " TIMER "));
    EXPECT_EQ("a b", Get("Global", "Name"));
    EXPECT_EQ("1", Get("view", "decimal"));
    EXPECT_EQ("dflt", Get("View", "Missing", "dflt"));
    EXPECT_EQ("dflt", Get("Missing", "Decimal", "dflt"));
}

TEST_F(TextProfile, MissingFileGivesDefaultsAndIsNotCreatedByReading) {
    EXPECT_EQ("x", Get("S", "K", "x"));
    EXPECT_EQ(-7, GetInt("S", "K"));
    EXPECT_FALSE(TestDir::Exists(file_));
}

TEST_F(TextProfile, DefaultLosesTrailingSpacesButNeverItsFirstCharacter) {
    EXPECT_EQ("  x", Get("S", "K", "  x   "));
    EXPECT_EQ(" ", Get("S", "K", "   "));
    EXPECT_EQ("", Get("S", "K", nullptr));
}

TEST_F(TextProfile, TruncatesToSizeMinusOne) {
    Given("[S]\r\nK=abcdef\r\n");
    EXPECT_EQ("abc", Get("S", "K", "", 4));
    EXPECT_EQ("", Get("S", "K", "", 1));
    EXPECT_EQ("abcdef", Get("S", "K", "", 7));
}

TEST_F(TextProfile, MatchingQuotesAreRemoved) {
    Given("[S]\r\nA=\"quoted text\"\r\nB='x'\r\nC=\"open\r\nD=\"\r\nE='mixed\"\r\n");
    EXPECT_EQ("quoted text", Get("S", "A"));
    EXPECT_EQ("x", Get("S", "B"));
    EXPECT_EQ("\"open", Get("S", "C"));
    EXPECT_EQ("\"", Get("S", "D"));
    EXPECT_EQ("'mixed\"", Get("S", "E"));
}

TEST_F(TextProfile, IntegersDecimalHexadecimalAndPrefixes) {
    Given(
        "[N]\r\nd=123\r\nneg=-42\r\nhex=0xc2\r\nupper=0XC2\r\nmax=0xffffffff\r\npart=12ab\r\n"
        "text=abc\r\nbin=0b101\r\noct=0o17\r\nplus=+5\r\nwrap=4294967297\r\nempty=\r\n");
    EXPECT_EQ(123, GetInt("N", "d"));
    EXPECT_EQ(-42, GetInt("N", "neg"));
    EXPECT_EQ(194, GetInt("N", "hex"));
    EXPECT_EQ(0, GetInt("N", "upper"));  // only a lower-case x marks hexadecimal
    EXPECT_EQ(-1, GetInt("N", "max"));
    EXPECT_EQ(12, GetInt("N", "part"));
    EXPECT_EQ(0, GetInt("N", "text"));
    EXPECT_EQ(5, GetInt("N", "bin"));
    EXPECT_EQ(15, GetInt("N", "oct"));
    EXPECT_EQ(5, GetInt("N", "plus"));
    EXPECT_EQ(1, GetInt("N", "wrap"));
    EXPECT_EQ(-7, GetInt("N", "empty"));
    EXPECT_EQ(-7, GetInt("N", "none"));
}

TEST_F(TextProfile, WritingCreatesFileSectionAndKeyAndReplacesValues) {
    EXPECT_TRUE(Put("Global", "Timer", "120"));
    EXPECT_TRUE(Put("Global", "Run", "1"));
    EXPECT_TRUE(Put("View", "Decimal", "0"));
    EXPECT_TRUE(Put("global", "TIMER", "  60"));
    EXPECT_EQ("[Global]\r\nTimer=60\r\nRun=1\r\n[View]\r\nDecimal=0\r\n", Bytes());
}

TEST_F(TextProfile, UnchangedValueLeavesTheFileAsItWas) {
    const std::string original = "; hand written\n[S]\nK = v\n\n\n[T]\nX=1";
    Given(original);
    EXPECT_TRUE(Put("S", "K", "v"));
    EXPECT_EQ(original, Bytes());
}

TEST_F(TextProfile, RewriteKeepsCommentsAndUnknownLinesButNotEmptyLines) {
    Given("; comment\n\n[S]\nK=v\nloose line\n\n[Other]\nA=1\n");
    EXPECT_TRUE(Put("S", "New", "n"));
    EXPECT_EQ("; comment\r\n[S]\r\nK=v\r\nloose line\r\nNew=n\r\n[Other]\r\nA=1\r\n", Bytes());
}

TEST_F(TextProfile, OnlyTheFirstOfRepeatedSectionsIsSeen) {
    Given("[S]\nA=1\n[S]\nB=2\n");
    EXPECT_EQ("1", Get("S", "A"));
    EXPECT_EQ("none", Get("S", "B", "none"));
    EXPECT_TRUE(Put("S", "B", "3"));
    EXPECT_EQ("[S]\r\nA=1\r\nB=3\r\n[S]\r\nB=2\r\n", Bytes());
}

TEST_F(TextProfile, SectionWriteReplacesAllKeysOfEveryCopy) {
    Given("[S]\nA=1\nB=2\n[T]\nC=3\n[s]\nD=4\n");
    EXPECT_TRUE(textprofile::WriteSection("S", "X=9\0Y= 8\0no equals\0", file_.c_str()));
    EXPECT_EQ("[S]\r\nX=9\r\nY=8\r\n[T]\r\nC=3\r\n[s]\r\n", Bytes());
    EXPECT_TRUE(textprofile::WriteSection("T", "\0", file_.c_str()));
    EXPECT_EQ("[S]\r\nX=9\r\nY=8\r\n[T]\r\n[s]\r\n", Bytes());
}

TEST_F(TextProfile, NullValueDeletesKeyAndNullKeyDeletesSection) {
    Given("[S]\nA=1\nB=2\n[T]\nC=3\n");
    EXPECT_TRUE(Put("S", "A", nullptr));
    EXPECT_TRUE(Put("T", nullptr, nullptr));
    EXPECT_EQ("[S]\r\nB=2\r\n", Bytes());
}

TEST_F(TextProfile, LinesEndAtCarriageReturnsAsWellAsLineFeeds) {
    Given("[S]\rA=1\r\r\nB=2\n\rC=3");
    EXPECT_EQ("1", Get("S", "A"));
    EXPECT_EQ("2", Get("S", "B"));
    EXPECT_EQ("3", Get("S", "C"));
}

TEST_F(TextProfile, Utf8MarkerIsSkippedAndKept) {
    Given("\xEF\xBB\xBF[S]\r\nA=1\r\n");
    EXPECT_EQ("1", Get("S", "A"));
    EXPECT_TRUE(Put("S", "B", "2"));
    EXPECT_EQ("\xEF\xBB\xBF[S]\r\nA=1\r\nB=2\r\n", Bytes());
}

TEST_F(TextProfile, BinaryGarbageHugeLinesAndNulBytesReadSafely) {
    std::string garbage = "[S]\nA=";
    garbage += std::string(1 << 20, 'x');
    garbage += "\n";
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131) & 0xFF);
    const char tail[] = "\n[S2]\nB=be\0fore\nC=\x81\x5C\x95\x5C\n";
    garbage.append(tail, sizeof tail - 1);
    Given(garbage);
    EXPECT_EQ(std::string(255, 'x'), Get("S", "A"));
    EXPECT_EQ("be", Get("S2", "B"));
    EXPECT_EQ("\x81\x5C\x95\x5C", Get("S2", "C"));
    EXPECT_TRUE(Put("S2", "D", "d"));
    EXPECT_EQ("d", Get("S2", "D"));
    EXPECT_EQ(std::string(255, 'x'), Get("S", "A"));
}

TEST_F(TextProfile, WriteIntoMissingFolderFails) {
    const std::string path = dir_.Path("no such folder") + "/x.ini";
    EXPECT_FALSE(textprofile::WriteString("S", "K", "v", path.c_str()));
    EXPECT_TRUE(textprofile::WriteString("S", "K", "v", file_.c_str()));
}
