// INIFILE over the profile layer of each target: the text form of every
// value type, the compound readers and the binding rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/exepath.h"
#include "common/test_dir.h"
#include "settings/inifile.h"

namespace {

class IniFile : public ::testing::Test {
protected:
    IniFile() : dir_("inifile"), file_(dir_.Path("test.ini")) { EXPECT_EQ(1, ini_.Open(file_.c_str())); }

    std::string Raw(const char* section, const char* key) {
        char text[512];
        ini_.Read(section, key, "<missing>", text, sizeof text);
        return text;
    }
    void Given(const std::string& bytes) { TestDir::WriteAll(file_, bytes); }

    static LOGFONT SampleFont() {
        LOGFONT font;
        std::memset(&font, 0, sizeof font);
        font.lfHeight = 20;
        font.lfWidth = 3;
        font.lfWeight = 400;
        font.lfCharSet = 128;
        font.lfQuality = 5;
        std::strcpy(font.lfFaceName, "Tahoma");
        return font;
    }

    TestDir dir_;
    std::string file_;
    INIFILE ini_;
};

}  // namespace

TEST_F(IniFile, IntegersAreWrittenInTheirTypesForms) {
    ini_.Write("N", "byte", static_cast<BYTE>(194));
    ini_.Write("N", "short", static_cast<short>(-5));
    ini_.Write("N", "word", static_cast<WORD>(65535));
    ini_.Write("N", "int", -42);
    ini_.Write("N", "uint", 4294967295u);
    ini_.Write("N", "long", -7L);
    ini_.Write("N", "dword", static_cast<DWORD>(4294967295u));
    ini_.Write("N", "fmt", "%05lu", static_cast<DWORD>(42));
    EXPECT_EQ("0xc2", Raw("N", "byte"));
    EXPECT_EQ("-5", Raw("N", "short"));
    EXPECT_EQ("0xffff", Raw("N", "word"));
    EXPECT_EQ("-42", Raw("N", "int"));
    EXPECT_EQ("4294967295", Raw("N", "uint"));
    EXPECT_EQ("-7", Raw("N", "long"));
    EXPECT_EQ("0xffffffff", Raw("N", "dword"));
    EXPECT_EQ("00042", Raw("N", "fmt"));
}

TEST_F(IniFile, IntegersReadBackKeepingTheLowBitsOfTheirType) {
    Given("[N]\r\nbig=0x1ff\r\nneg=-1\r\nall=0xffffffff\r\nhex=0xc2\r\n");
    BYTE b = 0;
    short s = 0;
    WORD w = 0;
    int i = 0;
    UINT u = 0;
    long l = 0;
    DWORD d = 0;
    EXPECT_EQ(1, ini_.Read("N", "big", static_cast<BYTE>(0), &b));
    EXPECT_EQ(0xff, b);
    ini_.Read("N", "neg", static_cast<WORD>(0), &w);
    EXPECT_EQ(0xffff, w);
    ini_.Read("N", "all", 0, &i);
    EXPECT_EQ(-1, i);
    ini_.Read("N", "all", 0u, &u);
    EXPECT_EQ(4294967295u, u);
    ini_.Read("N", "neg", 0L, &l);
    EXPECT_EQ(-1L, l);
    ini_.Read("N", "hex", static_cast<DWORD>(0), &d);
    EXPECT_EQ(194u, d);

    // Defaults of missing keys: BYTE and WORD unsigned, short signed.
    ini_.Read("N", "none", static_cast<short>(-1), &s);
    EXPECT_EQ(-1, s);
    ini_.Read("N", "none", static_cast<WORD>(65535), &w);
    EXPECT_EQ(65535, w);
    ini_.Read("N", "none", static_cast<BYTE>(200), &b);
    EXPECT_EQ(200, b);
    ini_.Read("N", "none", static_cast<DWORD>(4294967295u), &d);
    EXPECT_EQ(4294967295u, d);
}

TEST_F(IniFile, RealNumbersUseDecimalTextWithAPeriod) {
    ini_.Write("R", "double", 1.5);
    ini_.Write("R", "float", 0.25f);
    EXPECT_EQ("1.500000", Raw("R", "double"));
    EXPECT_EQ("0.250000", Raw("R", "float"));

    Given("[R]\r\nexp=2.5e1x\r\ntext=abc\r\nempty=\r\nhexfloat=0x10\r\ncomma=3,5\r\n");
    double d = 0;
    float f = 0;
    ini_.Read("R", "exp", 9.0, &d);
    EXPECT_DOUBLE_EQ(25.0, d);
    ini_.Read("R", "text", 9.0, &d);
    EXPECT_DOUBLE_EQ(0.0, d);
    ini_.Read("R", "empty", 9.0, &d);
    EXPECT_DOUBLE_EQ(9.0, d);
    ini_.Read("R", "missing", 0.5f, &f);
    EXPECT_FLOAT_EQ(0.5f, f);
    ini_.Read("R", "hexfloat", 9.0, &d);
    EXPECT_DOUBLE_EQ(0.0, d);
    ini_.Read("R", "comma", 9.0, &d);
    EXPECT_DOUBLE_EQ(3.0, d);
}

TEST_F(IniFile, TextIsCutToTheBufferAndDefaultsWhenMissing) {
    ini_.Write("T", "name", "VELDAKOR.PNG");
    char text[5];
    EXPECT_EQ(1, ini_.Read("T", "name", "x", text, sizeof text));
    EXPECT_STREQ("VELD", text);
    char other[32];
    ini_.Read("T", "none", "fallback", other, sizeof other);
    EXPECT_STREQ("fallback", other);
}

TEST_F(IniFile, FontsAreWrittenAsThirteenNumbersAndTheFace) {
    LOGFONT font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = -11;
    font.lfWeight = 700;
    std::strcpy(font.lfFaceName, "Arial");
    ini_.Write("Fonts", "Small", &font);
    EXPECT_EQ("-11,0,0,0,700,0,0,0,0,0,0,0,0,Arial", Raw("Fonts", "Small"));

    font.lfCharSet = 255;
    font.lfPitchAndFamily = 200;
    std::memset(font.lfFaceName, 'F', sizeof font.lfFaceName);  // no terminator
    ini_.Write("Fonts", "Odd", &font);
    EXPECT_EQ("-11,0,0,0,700,0,0,0,255,0,0,0,200," + std::string(32, 'F'), Raw("Fonts", "Odd"));
}

TEST_F(IniFile, FontTextsChangeOnlyWhatTheyGive) {
    Given(
        "[F]\r\nshort=12,Arial\r\nnoface=-11,0,0,0,700,0,0,0,0,0,0,0,0,\r\nheight=12\r\nword=Arial\r\n"
        "partial=1,2,x,4,Face\r\nbytes=0,0,0,0,0,257,-1,2,128,0,0,0,0,Meiryo\r\n"
        "longface=1,0,0,0,0,0,0,0,0,0,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\r\n");
    LOGFONT font = SampleFont();
    EXPECT_EQ(1, ini_.Read("F", "short", &font));
    EXPECT_EQ(12, font.lfHeight);
    EXPECT_STREQ("Arial", font.lfFaceName);
    EXPECT_EQ(3, font.lfWidth);
    EXPECT_EQ(400, font.lfWeight);
    EXPECT_EQ(128, font.lfCharSet);

    font = SampleFont();
    ini_.Read("F", "noface", &font);
    EXPECT_EQ(-11, font.lfHeight);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(700, font.lfWeight);
    EXPECT_EQ(0, font.lfCharSet);
    EXPECT_STREQ("Tahoma", font.lfFaceName);

    font = SampleFont();
    EXPECT_EQ(1, ini_.Read("F", "height", &font));
    EXPECT_EQ(12, font.lfHeight);
    EXPECT_STREQ("Tahoma", font.lfFaceName);

    font = SampleFont();
    EXPECT_EQ(1, ini_.Read("F", "word", &font));
    const LOGFONT sample = SampleFont();
    EXPECT_EQ(0, std::memcmp(&font, &sample, sizeof font));

    font = SampleFont();
    ini_.Read("F", "partial", &font);
    EXPECT_EQ(1, font.lfHeight);
    EXPECT_EQ(2, font.lfWidth);
    EXPECT_EQ(0, font.lfEscapement);
    EXPECT_EQ(400, font.lfWeight);
    EXPECT_STREQ("Face", font.lfFaceName);

    font = SampleFont();
    ini_.Read("F", "bytes", &font);
    EXPECT_EQ(1, font.lfItalic);
    EXPECT_EQ(255, font.lfUnderline);
    EXPECT_EQ(2, font.lfStrikeOut);
    EXPECT_STREQ("Meiryo", font.lfFaceName);

    font = SampleFont();
    ini_.Read("F", "longface", &font);
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", font.lfFaceName);

    font = SampleFont();
    EXPECT_EQ(0, ini_.Read("F", "missing", &font));
    const LOGFONT unchanged = SampleFont();
    EXPECT_EQ(0, std::memcmp(&font, &unchanged, sizeof font));
}

TEST_F(IniFile, ColoursAreRedGreenBlue) {
    COLORREF colour = RGB(255, 0, 0);
    ini_.Write("Colors", "Graph", &colour);
    EXPECT_EQ("255,0,0", Raw("Colors", "Graph"));

    Given("[C]\r\nrgb=1,2,3\r\nred=10\r\nwide=300,-1,5,9\r\nbad=x,1,2\r\nempty=\r\n");
    colour = 0;
    EXPECT_EQ(1, ini_.Read("C", "rgb", &colour));
    EXPECT_EQ(197121u, colour);
    colour = 0xAA445566;
    ini_.Read("C", "red", &colour);
    EXPECT_EQ(RGB(10, 0x55, 0x44), colour);
    ini_.Read("C", "wide", &colour);
    EXPECT_EQ(RGB(44, 255, 5), colour);
    colour = RGB(7, 8, 9);
    ini_.Read("C", "bad", &colour);
    EXPECT_EQ(RGB(7, 8, 9), colour);
    EXPECT_EQ(0, ini_.Read("C", "empty", &colour));
    EXPECT_EQ(0, ini_.Read("C", "missing", &colour));
}

TEST_F(IniFile, RectanglesAreLeftTopRightBottom) {
    RECT rect = {-1, 2, 300, 400};
    ini_.Write("W", "Pos", &rect);
    EXPECT_EQ("-1,2,300,400", Raw("W", "Pos"));
    Given("[W]\r\nhalf=5,6\r\n");
    rect = {1, 2, 3, 4};
    EXPECT_EQ(1, ini_.Read("W", "half", &rect));
    EXPECT_EQ(5, rect.left);
    EXPECT_EQ(6, rect.top);
    EXPECT_EQ(3, rect.right);
    EXPECT_EQ(4, rect.bottom);
    EXPECT_EQ(0, ini_.Read("W", "none", &rect));

    // Numbers beyond 32 bits read as the nearest limit on every target, as
    // a 32-bit long's conversion gives them; they never wrap.
    Given("[W]\r\nhuge=99999999999,-99999999999,4294967296,2147483648\r\n");
    EXPECT_EQ(1, ini_.Read("W", "huge", &rect));
    EXPECT_EQ(2147483647, rect.left);
    EXPECT_EQ(-2147483647 - 1, rect.top);
    EXPECT_EQ(2147483647, rect.right);
    EXPECT_EQ(2147483647, rect.bottom);
}

TEST_F(IniFile, CreateEmptiesTheSection) {
    Given("[S]\r\nA=1\r\nB=2\r\n[T]\r\nC=3\r\n");
    EXPECT_EQ(1, ini_.Create("S"));
    EXPECT_EQ("<missing>", Raw("S", "A"));
    EXPECT_EQ("3", Raw("T", "C"));
}

TEST(IniFileBinding, UnboundObjectsChangeNothing) {
    TestDir dir("inifile-binding");
    for (const char* name : {"", static_cast<const char*>(nullptr)}) {
        INIFILE ini;
        EXPECT_EQ(name ? 0 : 1, ini.Open(name));
        int value = 17;
        EXPECT_EQ(0, ini.Read("S", "K", 5, &value));
        EXPECT_EQ(17, value);
        char text[8] = "keep";
        EXPECT_EQ(0, ini.Read("S", "K", "d", text, sizeof text));
        EXPECT_STREQ("keep", text);
        COLORREF colour = 9;
        EXPECT_EQ(0, ini.Read("S", "K", &colour));
        EXPECT_EQ(9u, colour);
        EXPECT_EQ(0, ini.Write("S", "K", 1));
        EXPECT_EQ(0, ini.Write("S", "K", "text"));
        EXPECT_EQ(0, ini.Create("S"));
    }
    INIFILE closed;
    const std::string file = dir.Path("closed.ini");
    EXPECT_EQ(1, closed.Open(file.c_str()));
    closed.Close();
    EXPECT_EQ(0, closed.Write("S", "K", 1));
    EXPECT_FALSE(TestDir::Exists(file));
}

TEST(IniFileBinding, CopiesBindTheirOwnName) {
    TestDir dir("inifile-copy");
    const std::string file = dir.Path("copy.ini");
    INIFILE original;
    original.Open(file.c_str());
    INIFILE copy(original);
    INIFILE assigned;
    assigned = original;
    original.Close();
    EXPECT_EQ(1, copy.Write("S", "A", 1));
    EXPECT_EQ(1, assigned.Write("S", "B", 2));
    int a = 0, b = 0;
    copy.Read("S", "B", 0, &b);
    assigned.Read("S", "A", 0, &a);
    EXPECT_EQ(1, a);
    EXPECT_EQ(2, b);
    EXPECT_STREQ(file.c_str(), copy.FileName());
}

TEST(IniFileBinding, OpenLocalBindsTheFileBesideTheExecutable) {
    char executable[1024];
    ASSERT_GT(ExecutablePath(executable, sizeof executable), 0u);
    INIFILE ini;
    EXPECT_EQ(1, ini.OpenLocal("VELDAKOR.INI"));
    EXPECT_EQ(PathBeside(executable, "VELDAKOR.INI"), ini.FileName());
    const std::string bound = ini.FileName();
    EXPECT_EQ(std::string(executable).substr(0, bound.size() - 12), bound.substr(0, bound.size() - 12));

    EXPECT_EQ("C:\\Tools\\Veldakor\\x.ini", PathBeside("C:\\Tools\\Veldakor\\veldakor.exe", "x.ini"));
    EXPECT_EQ("x.ini", PathBeside("veldakor.exe", "x.ini"));
    EXPECT_EQ("x.ini", PathBeside("", "x.ini"));
    EXPECT_EQ("x.ini", PathBeside(nullptr, "x.ini"));
}
