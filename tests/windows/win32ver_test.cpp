#include "base/win32ver.h"

#include <gtest/gtest.h>

#include <string>

#include "base/aboutbox.h"
#include "base/abouttext.h"
#include "common/test_dir.h"

namespace {

std::string ThisProgram() {
    char path[1024];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

// The fixture DLLs are built next to the test program.
std::string Fixture(const char* name) {
    const std::string self = ThisProgram();
    return self.substr(0, self.find_last_of('\\') + 1) + name;
}

// The fixture's version block itself can be read, so a refused Open is down
// to its translation entries.
void ExpectReadableVersionBlock(const std::string& path) {
    DWORD handle = 0;
    EXPECT_NE(0u, GetFileVersionInfoSizeA(path.c_str(), &handle)) << path << " missing or without version block";
}

// Two value names in the test program's resource, the second one character
// longer than the 127 a query looks at.
const char kName127[] = "K000K001K002K003K004K005K006K007K008K009K010K011K012K013K014K015K016K017K018K019K020K021K022K023K024K025K026K027K028K029K030K03";

TEST(WIN32VER, ReadsTheTestProgramsOwnVersion) {
    WIN32VER version;
    ASSERT_EQ(1, version.Open(ThisProgram().c_str()));
    EXPECT_EQ(0x0411, version.Language());
    EXPECT_EQ(1200, version.CodePage());
    EXPECT_EQ(ThisProgram(), version.FileName());
    EXPECT_STREQ("Veldakor shell tests", version.Query("FileDescription"));
    EXPECT_STREQ("1.2.3.4", version.Query("FileVersion"));
    EXPECT_STREQ("Copyright (C) Veldakor test authors", version.Query("LegalCopyright"));
}

TEST(WIN32VER, QueryMarksMissingAndEmptyValues) {
    WIN32VER version;
    EXPECT_STREQ("(error)", version.Query("FileDescription"));  // nothing open yet
    ASSERT_EQ(1, version.Open(ThisProgram().c_str()));
    EXPECT_STREQ("(error)", version.Query("PrivateBuild"));
    EXPECT_STREQ("(null)", version.Query("Comments"));
    // Earlier texts stay valid while later ones are looked up.
    const char* description = version.Query("FileDescription");
    version.Query("ProductName");
    EXPECT_STREQ("Veldakor shell tests", description);
}

TEST(WIN32VER, QueryLooksAtTheFirst127CharactersOfTheName) {
    WIN32VER version;
    ASSERT_EQ(1, version.Open(ThisProgram().c_str()));
    const std::string name(kName127);
    ASSERT_EQ(127u, name.size());
    EXPECT_STREQ("cut at 127", version.Query(name.c_str()));
    EXPECT_STREQ("cut at 127", version.Query((name + "X").c_str()));
    EXPECT_STREQ("cut at 127", version.Query((name + std::string(2000, 'y')).c_str()));
}

TEST(WIN32VER, FilesWithoutVersionInformationAreRefused) {
    TestDir dir("win32ver");
    const std::string plain = dir.Path("plain.dll");
    TestDir::WriteAll(plain, "not a program");

    WIN32VER version;
    EXPECT_EQ(0, version.Open(plain.c_str()));
    EXPECT_EQ(plain, version.FileName());
    EXPECT_STREQ("(error)", version.Query("FileDescription"));
    EXPECT_EQ(0, version.Open(dir.Path("missing.exe").c_str()));
    EXPECT_STREQ("(error)", version.Query("FileDescription"));
    EXPECT_EQ(0, version.Open(nullptr));
    EXPECT_EQ(nullptr, version.FileName());
}

TEST(WIN32VER, OpenNeedsExactlyOneTranslation) {
    const std::string none = Fixture("version_none.dll");
    const std::string two = Fixture("version_two.dll");
    ExpectReadableVersionBlock(none);
    ExpectReadableVersionBlock(two);

    WIN32VER version;
    EXPECT_EQ(0, version.Open(none.c_str()));
    EXPECT_STREQ("(error)", version.Query("FileDescription"));
    EXPECT_EQ(0, version.Open(two.c_str()));
    EXPECT_STREQ("(error)", version.Query("FileDescription"));
}

TEST(WIN32VER, FailedOpenForgetsTheEarlierFile) {
    WIN32VER version;
    ASSERT_EQ(1, version.Open(ThisProgram().c_str()));
    EXPECT_EQ(0, version.Open(Fixture("version_two.dll").c_str()));
    EXPECT_STREQ("(error)", version.Query("FileDescription"));
    EXPECT_EQ(0, version.Language());
    ASSERT_EQ(1, version.Open(ThisProgram().c_str()));
    EXPECT_STREQ("1.2.3.4", version.Query("FileVersion"));
}

TEST(WIN32VER, AboutTextNeedsAUsableVersionBlock) {
    std::string text = "stale";
    EXPECT_FALSE(BuildAboutText(Fixture("version_two.dll").c_str(), text));
    EXPECT_EQ("", text);
    EXPECT_FALSE(BuildAboutText(Fixture("version_none.dll").c_str(), text));
    ASSERT_TRUE(BuildAboutText(ThisProgram().c_str(), text));
    EXPECT_EQ(0u, text.find("Veldakor shell tests (" + std::string(ABOUT_PLATFORM) +
                            ")\r\nVersion 1.2.3.4\r\n\r\nCopyright (C) Veldakor test authors\r\n"));
}

}  // namespace
