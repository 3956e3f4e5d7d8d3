#include "base/widetext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "既に起動しています。" as the program holds it.
const char kAlreadyRunningCp932[] =
    "\x8A\xF9\x82\xC9\x8B\x4E\x93\xAE\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";
const wchar_t kAlreadyRunningUtf16[] = {0x65E2, 0x306B, 0x8D77, 0x52D5, 0x3057, 0x3066, 0x3044,
                                        0x307E, 0x3059, 0x3002, 0};

TEST(WideText, JapaneseLiteralsAreCp932AndConvertToTheRightCharacters) {
    // The build's -fexec-charset is what makes a literal CP932 at run time.
    EXPECT_EQ(std::string("既に起動しています。"), std::string(kAlreadyRunningCp932));
    EXPECT_EQ(std::wstring(kAlreadyRunningUtf16), WideFromCp932(kAlreadyRunningCp932));
    EXPECT_EQ(std::wstring(kAlreadyRunningUtf16), WideFromCp932(std::string("既に起動しています。")));
}

TEST(WideText, UsesCodePage932MappingsWhateverTheAnsiCodePage) {
    // 表 ends in a backslash byte, which must stay part of the character.
    EXPECT_EQ(std::wstring(L"\x8868"), WideFromCp932("\x95\x5C"));
    EXPECT_EQ(std::wstring(L"a\x8868\\b"), WideFromCp932("a\x95\x5C\\b"));
    // Half-width katakana are single bytes.
    EXPECT_EQ(std::wstring(L"\xFF71\xFF72"), WideFromCp932("\xB1\xB2"));
    // Mappings that set CP932 apart from plain Shift-JIS: full-width tilde,
    // circled one (NEC row 13).
    EXPECT_EQ(std::wstring(L"\xFF5E"), WideFromCp932("\x81\x60"));
    EXPECT_EQ(std::wstring(L"\x2460"), WideFromCp932("\x87\x40"));
}

TEST(WideText, KeepsLengthAndEmbeddedNulOfAString) {
    const std::string text("A\0\x82\xA0", 4);
    EXPECT_EQ(std::wstring(L"A\0\x3042", 3), WideFromCp932(text));
}

TEST(WideText, EmptyAndNullGiveEmpty) {
    EXPECT_EQ(std::wstring(), WideFromCp932(static_cast<const char*>(nullptr)));
    EXPECT_EQ(std::wstring(), WideFromCp932(""));
    EXPECT_EQ(std::wstring(), WideFromCp932(std::string()));
}

}  // namespace
