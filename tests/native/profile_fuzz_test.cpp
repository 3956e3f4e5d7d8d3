// A bounded random walk over the profile layer and the compound readers:
// random files, names and values, and operations on them. Nothing may crash
// or overrun (the sanitizers watch), buffers must hold what the results say,
// and a clean value written must read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "common/test_dir.h"
#include "settings/inifile.h"
#include "settings/textprofile.h"

namespace {

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(engine_); }

    // Text drawn mostly from the characters that matter to the parser.
    std::string Text(unsigned maxLength) {
        static const char kSpecial[] = "[]=;\"' \t\r\n,0x-+9aZ\x1A\x81\x5C";
        std::string text;
        const unsigned length = Below(maxLength + 1);
        for (unsigned i = 0; i < length; ++i) {
            text += Below(3) ? kSpecial[Below(sizeof kSpecial - 1)] : static_cast<char>(Below(256));
        }
        return text;
    }
    // A name or value the file can hold exactly: no line breaks, NULs,
    // surrounding blanks, quotes or brackets.
    std::string CleanText(unsigned maxLength) {
        static const char kChars[] = "abcXYZ019_-.,:;#@ ";
        std::string text;
        const unsigned length = 1 + Below(maxLength);
        for (unsigned i = 0; i < length; ++i) text += kChars[Below(sizeof kChars - 1)];
        while (!text.empty() && text.back() == ' ') text.pop_back();
        while (!text.empty() && (text.front() == ' ' || text.front() == ';')) text.erase(0, 1);
        return text.empty() ? "k" : text;
    }

private:
    std::mt19937 engine_;
};

std::string WithoutNul(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

}  // namespace

TEST(ProfileFuzz, RandomFilesAndOperationsStaySound) {
    TestDir dir("fuzz");
    const std::string file = dir.Path("fuzz.ini");
    Random random(20261208);

    for (int round = 0; round < 400; ++round) {
        TestDir::WriteAll(file, random.Text(random.Below(4) == 0 ? 4000 : 200));
        for (int step = 0; step < 12; ++step) {
            const std::string section = WithoutNul(random.Text(8));
            const std::string key = WithoutNul(random.Text(8));
            switch (random.Below(4)) {
                case 0: {
                    const DWORD size = 1 + random.Below(40);
                    std::string buffer(size + 8, '\x7F');
                    const DWORD n = textprofile::ReadString(section.c_str(), key.c_str(), "dflt", &buffer[0], size,
                                                            file.c_str());
                    ASSERT_LT(n, size);
                    ASSERT_EQ(n, std::strlen(buffer.c_str()));
                    ASSERT_EQ(std::string(7, '\x7F'), buffer.substr(size + 1));
                    break;
                }
                case 1:
                    textprofile::ReadInt(section.c_str(), key.c_str(), 5, file.c_str());
                    break;
                case 2: {
                    const std::string value = WithoutNul(random.Text(30));
                    ASSERT_TRUE(textprofile::WriteString(section.c_str(), key.c_str(), value.c_str(), file.c_str()));
                    break;
                }
                default: {
                    std::string list = WithoutNul(random.Text(30));
                    std::replace(list.begin(), list.end(), ';', '\0');
                    list.append(2, '\0');
                    ASSERT_TRUE(textprofile::WriteSection(section.c_str(), list.c_str(), file.c_str()));
                    break;
                }
            }
        }
        // Whatever the file holds by now, a clean key written reads back.
        const std::string section = random.CleanText(10);
        const std::string key = random.CleanText(10);
        const std::string value = random.CleanText(40);
        ASSERT_TRUE(textprofile::WriteString(section.c_str(), key.c_str(), value.c_str(), file.c_str()));
        char buffer[64];
        textprofile::ReadString(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file.c_str());
        ASSERT_EQ(value, buffer) << "section [" << section << "] key " << key;
    }
}

TEST(ProfileFuzz, CompoundReadersTakeAnyText) {
    TestDir dir("fuzz-compound");
    const std::string file = dir.Path("compound.ini");
    Random random(7);
    INIFILE ini;
    ASSERT_TRUE(ini.Open(file.c_str()));

    for (int round = 0; round < 2000; ++round) {
        const std::string value = WithoutNul(random.Text(random.Below(8) == 0 ? 400 : 60));
        TestDir::WriteAll(file, "[F]\r\nV=" + value + "\r\n");
        LOGFONT font;
        std::memset(&font, 0x5A, sizeof font);
        font.lfFaceName[LF_FACESIZE - 1] = '\0';
        ini.Read("F", "V", &font);
        ASSERT_LT(std::strlen(font.lfFaceName), static_cast<size_t>(LF_FACESIZE));
        COLORREF colour = 0x00112233;
        ini.Read("F", "V", &colour);
        ASSERT_EQ(0u, colour >> 24);
        RECT rect = {1, 2, 3, 4};
        ini.Read("F", "V", &rect);
        double real = 0;
        ini.Read("F", "V", 1.0, &real);
    }
}
