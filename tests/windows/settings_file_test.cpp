// The settings file on the platform's own profile functions: where the bare
// name lands, the system colours as start values, and a Unicode file that
// another program left.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/test_dir.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"
#include "smart/driveinfo.h"

namespace fs = std::filesystem;

namespace {

std::string WindowsDirectoryFile(const char* name) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\" + name;
}

std::string ProfileText(const char* section, const char* key, const std::string& file) {
    char text[256];
    GetPrivateProfileStringA(section, key, "<missing>", text, sizeof text, file.c_str());
    return text;
}

class SettingsFileWindows : public ::testing::Test {
protected:
    SettingsFileWindows() : file_(WindowsDirectoryFile(kSettingsFileName)) {
        DeleteFileA(file_.c_str());
        SetStartValues(settings_);
        drives_->Clear();
    }
    ~SettingsFileWindows() override { DeleteFileA(file_.c_str()); }

    std::string file_;
    AppSettings settings_;
    std::unique_ptr<DriveTable> drives_{new DriveTable};
};

}  // namespace

TEST_F(SettingsFileWindows, BareNameLivesInTheWindowsDirectory) {
    TestDir dir("settings-cwd");
    const fs::path home = fs::current_path();
    fs::current_path(dir.Root());
    LoadSettingsAtStart(settings_, *drives_);
    fs::current_path(home);

    EXPECT_TRUE(TestDir::Exists(file_));
    EXPECT_FALSE(TestDir::Exists(dir.Path(kSettingsFileName)));
    char executable[MAX_PATH];
    GetModuleFileNameA(nullptr, executable, sizeof executable);
    EXPECT_FALSE(TestDir::Exists((fs::path(executable).parent_path() / kSettingsFileName).string()));
    EXPECT_EQ("1", ProfileText("Global", "Run", file_));
    EXPECT_EQ("0xc2", ProfileText("Drive15", "Temperature", file_));
}

TEST_F(SettingsFileWindows, StartColoursAreTheSystemColours) {
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), settings_.Colors.Text);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), settings_.Colors.Bar);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVEBORDER), settings_.Colors.Frame);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVEBORDER), settings_.Colors.Grid);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), settings_.Shadow.Color);

    LoadSettingsAtStart(settings_, *drives_);
    const COLORREF bar = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(std::to_string(GetRValue(bar)) + "," + std::to_string(GetGValue(bar)) + "," +
                  std::to_string(GetBValue(bar)),
              ProfileText("Colors", "Bar", file_));
}

TEST_F(SettingsFileWindows, UnicodeFileIsReadAndStaysUnicode) {
    const char16_t text[] =
        u"\xFEFF[Global]\r\nRun=1\r\nTimer=300\r\nForeign=\x65E5\x672C\r\n[Units]\r\nHour=_h_\r\n"
        u"[Drive07]\r\nSiliconImage=0x00020001\r\n";
    TestDir::WriteAll(file_, std::string(reinterpret_cast<const char*>(text), sizeof text - sizeof(char16_t)));

    LoadSettings(settings_, *drives_);
    EXPECT_EQ(300u, settings_.Global.Timer);
    EXPECT_STREQ(" h ", settings_.Units.Hour);
    EXPECT_EQ(0x20001u, drives_->slots[7].miniportAddr);

    settings_.Global.Timer = 600;
    SaveSettings(settings_, *drives_);
    const std::string bytes = TestDir::ReadAll(file_);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    const std::u16string wide(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(std::u16string::npos, wide.find(u"Timer=600\r\n"));
    EXPECT_NE(std::u16string::npos, wide.find(u"Foreign=\x65E5\x672C\r\n"));
    EXPECT_NE(std::u16string::npos, wide.find(u"Hour=_h_\r\n"));
    EXPECT_NE(std::u16string::npos, wide.find(u"[Drive15]\r\n"));
}
