#include "base/cstr.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The text as a std::string, or "<null>" for the empty string's null pointer.
std::string Text(const CSTR& s) { return s.String() != nullptr ? std::string(s.String()) : "<null>"; }

// Every buffer request the strings make while a scope is active.
std::vector<size_t> requests;

void* RecordAllocation(size_t size) {
    requests.push_back(size);
    return std::malloc(size);
}

void* RefuseAllocation(size_t) { return nullptr; }

class AllocatorScope {
public:
    explicit AllocatorScope(CSTR_ALLOCATOR allocator) : previous_(CSTR_SetAllocator(allocator)) { requests.clear(); }
    ~AllocatorScope() { CSTR_SetAllocator(previous_); }
    AllocatorScope(const AllocatorScope&) = delete;
    AllocatorScope& operator=(const AllocatorScope&) = delete;

private:
    CSTR_ALLOCATOR previous_;
};

}  // namespace

TEST(CSTRConstruct, EmptyHasNullText) {
    CSTR omitted;
    CSTR null(static_cast<const char*>(nullptr));
    CSTR empty("");
    for (const CSTR* s : {&omitted, &null, &empty}) {
        EXPECT_EQ(0u, s->Length());
        EXPECT_EQ(nullptr, s->String());
    }
}

TEST(CSTRConstruct, CopiesAreIndependent) {
    char source[] = "disk";
    CSTR s(source);
    source[0] = 'X';
    EXPECT_EQ("disk", Text(s));
    EXPECT_EQ(4u, s.Length());

    CSTR copy(s);
    EXPECT_NE(s.String(), copy.String());
    s.Upper();
    EXPECT_EQ("disk", Text(copy));

    CSTR emptyCopy{CSTR()};
    EXPECT_EQ(nullptr, emptyCopy.String());
}

TEST(CSTRAssignInt, LengthFollowsDigitCount) {
    struct Case {
        int value;
        const char* text;
    } cases[] = {{0, "0"},     {9, "9"},         {10, "10"},          {-9, "-9"},
                 {-10, "-10"}, {-42, "-42"},     {99999, "99999"},    {100000, "100000"},
                 {INT_MAX, "2147483647"},        {INT_MIN, "-2147483648"}};
    EXPECT_EQ("-7", Text(CSTR(-7)));
    CSTR s("previous text");
    for (const Case& c : cases) {
        s = c.value;
        EXPECT_EQ(c.text, Text(s)) << c.value;
        EXPECT_EQ(std::strlen(c.text), s.Length()) << c.value;
    }
}

TEST(CSTRAssign, ReplacesText) {
    CSTR s("first");
    CSTR& result = (s = "second");
    EXPECT_EQ(&s, &result);
    EXPECT_EQ("second", Text(s));
    EXPECT_EQ(6u, s.Length());

    CSTR other("third");
    s = other;
    EXPECT_EQ("third", Text(s));
    EXPECT_NE(other.String(), s.String());

    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(nullptr, s.String());
    EXPECT_EQ(0u, s.Length());
    s = "x";
    s = "";
    EXPECT_EQ(nullptr, s.String());
}

TEST(CSTRAssign, FromItselfOrItsOwnText) {
    // The old buffer must outlive the copy (ASan reports a use after free otherwise).
    CSTR s("abcdef");
    CSTR& alias = s;
    s = alias;
    s = s.String();
    EXPECT_EQ("abcdef", Text(s));
    EXPECT_EQ(6u, s.Length());
    s = s.String(2);
    EXPECT_EQ("cdef", Text(s));
    EXPECT_EQ(4u, s.Length());
    s = s.String(4);  // the terminator: an empty text
    EXPECT_EQ(nullptr, s.String());
    EXPECT_EQ(0u, s.Length());

    CSTR empty;
    empty = empty;
    EXPECT_EQ(nullptr, empty.String());
}

TEST(CSTRAppend, ConcatenatesAndReturnsText) {
    CSTR s;
    char* result = s.Append("ab");
    EXPECT_EQ(s.String(), result);
    s.Append("cde");
    EXPECT_EQ("abcde", Text(s));
    EXPECT_EQ(5u, s.Length());

    s += CSTR("f");
    s += "g";
    EXPECT_EQ("abcdefg", Text(s));

    CSTR part("abc");
    part.Append(part.String(1));  // part of its own text
    EXPECT_EQ("abcbc", Text(part));
    EXPECT_EQ(5u, part.Length());
}

TEST(CSTRAppend, NothingToAppendKeepsTheBuffer) {
    CSTR s("abc");
    char* before = s.String();
    EXPECT_EQ(before, s.Append(nullptr));
    EXPECT_EQ(before, s.Append(""));
    EXPECT_EQ(before, s.Append(s.String()));
    s += s;  // its own text pointer too
    EXPECT_EQ(before, s.String());
    EXPECT_EQ("abc", Text(s));

    CSTR empty;
    EXPECT_EQ(nullptr, empty.Append(""));
    EXPECT_EQ(nullptr, empty.String());
}

TEST(CSTRInsert, AtStartAndMiddle) {
    CSTR s("abc");
    EXPECT_EQ("xabc", std::string(s.Insert("x", 0)));
    EXPECT_EQ(4u, s.Length());
    s.Insert("YZ", 2);
    EXPECT_EQ("xaYZbc", Text(s));
    s.Insert("!", 5);  // before the last character
    EXPECT_EQ("xaYZb!c", Text(s));
    EXPECT_EQ(7u, s.Length());

    CSTR part("abc");
    part.Insert(part.String(1), 1);  // part of its own text
    EXPECT_EQ("abcbc", Text(part));
}

TEST(CSTRInsert, AtOrPastTheEndChangesNothing) {
    CSTR s("abc");
    char* before = s.String();
    EXPECT_EQ(before, s.Insert("x", 3));
    EXPECT_EQ(before, s.Insert("x", 100));
    EXPECT_EQ(before, s.Insert(nullptr, 0));
    EXPECT_EQ(before, s.Insert("", 0));
    EXPECT_EQ(before, s.Insert(s.String(), 1));
    EXPECT_EQ("abc", Text(s));

    CSTR empty;
    EXPECT_EQ(nullptr, empty.Insert("x", 0));
    EXPECT_EQ(0u, empty.Length());
}

TEST(CSTRRemove, LeavesEmptyString) {
    CSTR s("abc");
    s.Remove();
    EXPECT_EQ(nullptr, s.String());
    EXPECT_EQ(0u, s.Length());
    s.Remove();
    s.Append("ok");
    EXPECT_EQ("ok", Text(s));
}

TEST(CSTRCase, AsciiLettersOnly) {
    // High bytes (Shift-JIS lead bytes, Latin-1 letters) are never touched.
    const char mixed[] = "aBz-AZ9_\x82\xa0\xe0\xff";
    CSTR s(mixed);
    EXPECT_EQ(s.String(), s.Upper());
    EXPECT_EQ("ABZ-AZ9_\x82\xa0\xe0\xff", Text(s));
    s.Convert(false);
    EXPECT_EQ("abz-az9_\x82\xa0\xe0\xff", Text(s));
    s.Convert(true);
    s.Lower();
    EXPECT_EQ("abz-az9_\x82\xa0\xe0\xff", Text(s));
    EXPECT_EQ(std::strlen(mixed), s.Length());

    CSTR empty;
    EXPECT_EQ(nullptr, empty.Upper());
    EXPECT_EQ(nullptr, empty.Lower());
}

TEST(CSTRTrim, WhiteSpaceByDefault) {
    CSTR both(" \t\r\n\v\fdrive 0 \n");
    EXPECT_EQ("drive 0", std::string(both.Trim()));
    EXPECT_EQ(7u, both.Length());

    CSTR left("  a b  ");
    left.TrimLeft();
    EXPECT_EQ("a b  ", Text(left));
    CSTR right("  a b  ");
    right.TrimRight();
    EXPECT_EQ("  a b", Text(right));
    EXPECT_EQ(5u, right.Length());

    // 0xA0 is a no-break space only outside the C locale.
    CSTR high("\xa0x\xa0");
    high.Trim();
    EXPECT_EQ("\xa0x\xa0", Text(high));
}

TEST(CSTRTrim, GivenSet) {
    CSTR s("xyaxbyx");
    s.Trim("yx");
    EXPECT_EQ("axb", Text(s));

    CSTR untouched("abc");
    untouched.Trim("");
    EXPECT_EQ("abc", Text(untouched));

    CSTR slash("\\\\path\\");
    slash.TrimRight("\\");
    EXPECT_EQ("\\\\path", Text(slash));
}

TEST(CSTRTrim, ToEmpty) {
    CSTR blanks("   ");
    EXPECT_EQ(nullptr, blanks.TrimRight());
    EXPECT_EQ(nullptr, blanks.String());
    EXPECT_EQ(0u, blanks.Length());

    CSTR set("--");
    set.TrimLeft("-");
    EXPECT_EQ(nullptr, set.String());
    set.Trim();  // and trimming the empty string is harmless
    EXPECT_EQ(0u, set.Length());
}

TEST(CSTRNumber, Bases) {
    EXPECT_EQ(31, CSTR("1f").Hex());
    EXPECT_EQ(31, CSTR("0x1F").Hex());
    EXPECT_EQ(2, CSTR("102").Bit());
    EXPECT_EQ(511, CSTR("777").Oct());
    EXPECT_EQ(-42, CSTR(" \t-42 degrees").Dec());
    EXPECT_EQ(8, CSTR("010").Convert(0));
    EXPECT_EQ(35, CSTR("z").Convert(36));
    EXPECT_EQ(0, CSTR("abc").Dec());
    EXPECT_EQ(0, CSTR().Dec());
    EXPECT_EQ(0, CSTR().Hex());
}

TEST(CSTRNumber, SaturatesAtThe32BitLimits) {
    EXPECT_EQ(2147483647, CSTR("2147483647").Dec());
    EXPECT_EQ(-2147483647 - 1, CSTR("-2147483648").Dec());
    EXPECT_EQ(2147483647, CSTR("99999999999").Dec());
    EXPECT_EQ(-2147483647 - 1, CSTR("-99999999999").Dec());
    EXPECT_EQ(2147483647, CSTR("ffffffff").Hex());  // not read as unsigned
}

TEST(CSTRCompare, PrefixOfTheTextIsEqual) {
    CSTR abc("abc");
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE(abc == "abcdef");
    EXPECT_FALSE(abc == "abd");
    EXPECT_FALSE(CSTR("abcdef") == "abc");
    EXPECT_TRUE(abc == CSTR("abcdef"));
    EXPECT_FALSE(CSTR("abcdef") == abc);
}

TEST(CSTRCompare, NullAndEmpty) {
    CSTR empty;
    EXPECT_TRUE(empty == static_cast<const char*>(nullptr));
    EXPECT_FALSE(empty == "");
    EXPECT_TRUE(empty == CSTR());
    EXPECT_FALSE(empty == "abc");

    CSTR abc("abc");
    EXPECT_FALSE(abc == static_cast<const char*>(nullptr));
    EXPECT_FALSE(abc == "");
    EXPECT_FALSE(abc == empty);
    EXPECT_TRUE(abc == abc);
    EXPECT_TRUE(abc == abc.String());
}

TEST(CSTRCompare, Count) {
    CSTR s("abcdef");
    EXPECT_TRUE(s.Compare("abcxyz", 3));
    EXPECT_FALSE(s.Compare("abcxyz", 4));
    EXPECT_FALSE(s.Compare("abcxyz", 0));  // 0: the string's own length
    EXPECT_TRUE(s.Compare("abcdefgh", 0));
    EXPECT_TRUE(s.Compare("abcdef", 100));
    EXPECT_TRUE(s.Compare(s.String(), 2));
    EXPECT_FALSE(s.Compare("", 1));
}

TEST(CSTRAllocation, BuffersAreExactlySized) {
    AllocatorScope scope(RecordAllocation);
    CSTR s("abc");
    s.Append("de");
    s.Insert("X", 1);
    s = INT_MIN;
    s = " ab ";
    s.Trim();
    EXPECT_EQ((std::vector<size_t>{4, 6, 7, 12, 5, 4, 3}), requests);
    EXPECT_EQ("ab", Text(s));
}

TEST(CSTRAllocation, RegisteredTrapIsOnlyStored) {
    CSTR s("abc");
    s.RegisterErrorTrap([] { std::abort(); });
    s.Append("def");
    s.Insert("x", 1);
    s = 5;
    s.Trim();
    EXPECT_EQ("5", Text(s));
}

#if GTEST_HAS_DEATH_TEST
// Out of memory ends the process with status 0, through the string's own
// trap, never through the registered callback (which would exit with 3).
TEST(CSTRDeathTest, AllocationFailureEndsProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CSTR s("abc");
    s.RegisterErrorTrap([] { std::_Exit(3); });
    auto refuse = [] { CSTR_SetAllocator(RefuseAllocation); };
    EXPECT_EXIT({ refuse(); s.Append("d"); }, ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ refuse(); s.Insert("d", 0); }, ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ refuse(); s = 12; }, ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ refuse(); s = "name"; }, ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT({ refuse(); s.Trim(); }, ::testing::ExitedWithCode(0), "");
    s.Append("d");  // the parent's allocator was never replaced
    EXPECT_EQ("abcd", Text(s));
}
#endif
