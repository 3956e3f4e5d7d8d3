// The program's own profile layer against the platform's profile functions:
// one sequence of operations runs through both on files with the same
// starting bytes, and every result and the bytes of both files must agree.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/test_dir.h"
#include "settings/textprofile.h"

namespace {

enum class Op { ReadString, ReadInt, WriteString, WriteSection };

struct Step {
    Op op;
    const char* section;
    const char* key;
    const char* text;  // default, value, or nothing
    DWORD size;        // buffer size for ReadString; default for ReadInt
    std::string list;  // key list for WriteSection (embedded NULs)
};

Step ReadS(const char* section, const char* key, const char* def = "", DWORD size = 256) {
    return {Op::ReadString, section, key, def, size, std::string()};
}
Step ReadI(const char* section, const char* key, int def = -3) {
    return {Op::ReadInt, section, key, nullptr, static_cast<DWORD>(def), std::string()};
}
Step Write(const char* section, const char* key, const char* value) {
    return {Op::WriteString, section, key, value, 0, std::string()};
}
Step WriteSec(const char* section, const std::string& list) {
    return {Op::WriteSection, section, nullptr, nullptr, 0, list};
}
std::string List(std::initializer_list<const char*> entries) {
    std::string list;
    for (const char* e : entries) list.append(e).push_back('\0');
    list.push_back('\0');
    return list;
}

struct Case {
    const char* name;
    std::string start;  // bytes of the file before the first step; "\x01missing" for no file
    std::vector<Step> steps;
};

const char kNoFile[] = "\x01missing";

std::string Describe(const Step& s) {
    auto show = [](const char* p) { return p ? "\"" + std::string(p) + "\"" : std::string("null"); };
    const char* names[] = {"ReadString", "ReadInt", "WriteString", "WriteSection"};
    return std::string(names[static_cast<int>(s.op)]) + "(" + show(s.section) + ", " + show(s.key) + ", " +
           show(s.text) + ", " + std::to_string(s.size) + ")";
}

void RunCase(const Case& c) {
    TestDir dir(std::string("diff-") + c.name);
    const std::string platformFile = dir.Path("platform.ini");
    const std::string ownFile = dir.Path("own.ini");
    if (c.start != kNoFile) {
        TestDir::WriteAll(platformFile, c.start);
        TestDir::WriteAll(ownFile, c.start);
    }
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        SCOPED_TRACE(std::string(c.name) + " step " + std::to_string(i) + ": " + Describe(s));
        switch (s.op) {
            case Op::ReadString: {
                std::string a(s.size + 1, '#'), b(s.size + 1, '#');
                const DWORD ra = GetPrivateProfileStringA(s.section, s.key, s.text, &a[0], s.size, platformFile.c_str());
                const DWORD rb = textprofile::ReadString(s.section, s.key, s.text, &b[0], s.size, ownFile.c_str());
                EXPECT_EQ(ra, rb);
                EXPECT_EQ(a, b);
                break;
            }
            case Op::ReadInt: {
                const int def = static_cast<int>(s.size);
                EXPECT_EQ(GetPrivateProfileIntA(s.section, s.key, def, platformFile.c_str()),
                          textprofile::ReadInt(s.section, s.key, def, ownFile.c_str()));
                break;
            }
            case Op::WriteString:
                EXPECT_EQ(!!WritePrivateProfileStringA(s.section, s.key, s.text, platformFile.c_str()),
                          !!textprofile::WriteString(s.section, s.key, s.text, ownFile.c_str()));
                break;
            case Op::WriteSection:
                EXPECT_EQ(!!WritePrivateProfileSectionA(s.section, s.list.c_str(), platformFile.c_str()),
                          !!textprofile::WriteSection(s.section, s.list.c_str(), ownFile.c_str()));
                break;
        }
        EXPECT_EQ(TestDir::Exists(platformFile), TestDir::Exists(ownFile));
        EXPECT_EQ(TestDir::ReadAll(platformFile), TestDir::ReadAll(ownFile));
    }
}

std::string Garbage() {
    std::string bytes = "[G]\r\nA=1\r\n";
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 167 + 13) & 0xFF);
    bytes += "\r\n[G2]\r\nB=2";
    return bytes;
}

std::string WithNul() {
    const char bytes[] = "[N]\r\nA=be\0fore\r\nB\0x=2\r\n[M\0N]\r\nC=3\r\n";
    return std::string(bytes, sizeof bytes - 1);
}

std::string HugeLine() { return "[H]\r\nA=" + std::string(1 << 20, 'h') + "\r\nB=after\r\n"; }

std::vector<Case> Cases() {
    return {
        {"plain-crlf", "[Global]\r\nTimer=120\r\nRun=1\r\n[View]\r\nDecimal=0\r\n",
         {ReadS("Global", "Timer"), ReadS("global", "TIMER"), ReadS(" Global ", " Timer "), ReadI("Global", "Timer"),
          ReadS("View", "Missing", "dflt"), ReadS("Nope", "Timer", "d"), Write("Global", "Timer", "60"),
          Write("Global", "New", "n"), Write("Fresh", "Key", "v"), ReadS("Fresh", "Key")}},
        {"lf-only-no-final-newline", "[S]\nA=1\nB = two words \n\n\n[T]\nC=3",
         {ReadS("S", "B"), ReadS("T", "C"), Write("S", "B", "two words"), Write("T", "D", "4")}},
        {"cr-only-and-mixed", "[S]\rA=1\r\r\nB=2\n\rC=3\r\n",
         {ReadS("S", "A"), ReadS("S", "B"), ReadS("S", "C"), Write("S", "A", "x")}},
        {"missing-file", kNoFile,
         {ReadS("S", "K", "def"), ReadI("S", "K", 42), Write("S", "K", "v"), ReadS("S", "K"), Write("S", "K2", "  lead")}},
        {"empty-file", "", {ReadS("S", "K", "d"), Write("S", "K", "v")}},
        {"blanks-and-case", "  [ Sec Name ]  \r\n\t Key One \t=\t value with  inner  \t\r\n",
         {ReadS("Sec Name", "Key One"), ReadS("sec name", "KEY ONE"), ReadS("SecName", "Key One", "no"),
          Write("SEC NAME", "key one", "new"), Write("Sec Name", "Trailing  ", "t"), Write("New Sec  ", "k", "v")}},
        {"defaults", kNoFile,
         {ReadS("S", "K", "  x   "), ReadS("S", "K", "   "), ReadS("S", "K", " "), ReadS("S", "K", nullptr),
          ReadS("S", "K", "tab\t"), ReadS("S", "K", "\"quoted\"")}},
        {"truncation", "[S]\r\nK=abcdefgh\r\nQ=\"abcd\"\r\n",
         {ReadS("S", "K", "", 1), ReadS("S", "K", "", 2), ReadS("S", "K", "", 8), ReadS("S", "K", "", 9),
          ReadS("S", "K", "", 10), ReadS("S", "Q", "", 3), ReadS("S", "Q", "", 4), ReadS("S", "Q", "", 5),
          ReadS("S", "Q", "", 6), ReadS("S", "X", "defaultvalue", 4)}},
        {"quotes", "[S]\r\nA=\"q\"\r\nB='s'\r\nC=\"open\r\nD=\"\r\nE='mixed\"\r\nF=\"\"\r\nG=x\"y\"\r\n",
         {ReadS("S", "A"), ReadS("S", "B"), ReadS("S", "C"), ReadS("S", "D"), ReadS("S", "E"), ReadS("S", "F"),
          ReadS("S", "G"), ReadI("S", "A")}},
        {"integers",
         "[N]\r\nd=123\r\nneg=-42\r\nhex=0xc2\r\nupper=0XC2\r\nmax=0xffffffff\r\npart=12ab\r\ntext=abc\r\n"
         "bin=0b101\r\noct=0o17\r\nplus=+5\r\nwrap=4294967297\r\nempty=\r\nspace=  7\r\nlong=123456789012345678901234567890123\r\n"
         "minus=-0x10\r\nq=\"15\"\r\n",
         {ReadI("N", "d"), ReadI("N", "neg"), ReadI("N", "hex"), ReadI("N", "upper"), ReadI("N", "max"),
          ReadI("N", "part"), ReadI("N", "text"), ReadI("N", "bin"), ReadI("N", "oct"), ReadI("N", "plus"),
          ReadI("N", "wrap"), ReadI("N", "empty"), ReadI("N", "space"), ReadI("N", "long"), ReadI("N", "minus"),
          ReadI("N", "q"), ReadI("N", "none", 99)}},
        {"repeated-sections-and-keys", "[S]\r\nA=1\r\nA=dup\r\n[T]\r\nX=1\r\n[s]\r\nB=2\r\n",
         {ReadS("S", "A"), ReadS("S", "B", "none"), Write("S", "A", "changed"), Write("S", "B", "3"),
          WriteSec("S", List({"P=1", "Q= 2", "P=again", "no equals", "=empty name"})), ReadS("S", "P")}},
        {"section-replacement", "[S]\r\nA=1\r\nB=2\r\n[T]\r\nC=3\r\n",
         {WriteSec("S", List({})), WriteSec("Missing", List({})), WriteSec("T", List({"C=4", "D=5"})),
          WriteSec("New", List({"K=v"}))}},
        {"comments-and-loose-lines", "; leading comment\r\nloose=before\r\n[S]\r\n;A=1\r\nA=2\r\nno equals here\r\n=x\r\n=y\r\n",
         {ReadS("S", "A"), ReadS("S", ";A"), ReadS("S", "no equals here", "d"), ReadS("S", ""), ReadS("", "loose"),
          Write("S", "B", "b"), Write("", "top", "t")}},
        {"odd-headers", "[unclosed\r\nA=1\r\n[S]trailing\r\nB=2\r\n[]\r\nC=3\r\n[[x]]\r\nD=4\r\n",
         {ReadS("", "A"), ReadS("S", "B"), ReadS("", "C"), ReadS("[x]", "D"), Write("S", "E", "5")}},
        {"delete-key-and-section", "[S]\r\nA=1\r\nB=2\r\n[T]\r\nC=3\r\n",
         {Write("S", "A", nullptr), Write("S", "Missing", nullptr), Write("T", nullptr, nullptr),
          Write("Gone", nullptr, nullptr)}},
        {"unchanged-write-keeps-bytes", "[S]\nK = v\n\n\n[T]\nX=1",
         {Write("S", "K", "v"), Write("S", "K", "  v"), Write("T", "X", "1")}},
        {"utf8-marker", "\xEF\xBB\xBF[S]\r\nA=1\r\n", {ReadS("S", "A"), Write("S", "B", "2")}},
        {"control-z-and-tabs", "[S]\x1A\r\n\tA\t=\t1\x1A\r\n\x1A", {ReadS("S", "A"), Write("S", "B", "2")}},
        {"binary-garbage", Garbage(), {ReadS("G", "A"), ReadS("G2", "B"), ReadI("G", "A"), Write("G2", "C", "3")}},
        {"nul-bytes", WithNul(),
         {ReadS("N", "A"), ReadS("N", "B"), ReadS("M", "C"), ReadS("N", "B\0x"), Write("N", "Z", "z")}},
        {"huge-line", HugeLine(), {ReadS("H", "A", "", 256), ReadS("H", "B"), ReadI("H", "A")}},
        {"high-bytes", "[S]\r\nUnit=\xB0" "C\r\nSjis=\x95\x5C\x8E\xA6\r\n",
         {ReadS("S", "Unit"), ReadS("S", "Sjis"), Write("S", "Unit", "\xB0" "F"), Write("S", "Label", "\x81\x40x")}},
        {"value-shapes", kNoFile,
         {Write("S", "Lead", "   lead"), Write("S", "Trail", "trail   "), Write("S", "Empty", ""),
          Write("S", "Eq", "a=b"), Write("S", "Tab", "\tt"), ReadS("S", "Trail"), ReadS("S", "Empty", "d"),
          ReadS("S", "Eq"), ReadI("S", "Empty", 5)}},
    };
}

}  // namespace

TEST(ProfileDiff, OwnLayerBehavesLikeThePlatform) {
    // Both layers see bytes; the platform converts them through the ANSI code
    // page, which is byte for byte only for a single-byte one.
    ASSERT_EQ(1252u, GetACP()) << "run under the fixed locale of scripts/wine-run";
    for (const Case& c : Cases()) RunCase(c);
}
