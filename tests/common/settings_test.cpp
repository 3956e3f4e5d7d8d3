// The settings keys through the profile layer of each target: the file the
// first start writes, the corrections made on loading, and files that hand
// edits or other programs left odd. The file has the bare name, so it lies
// where the layer puts bare names: the current directory on native builds,
// the Windows directory on Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "common/scratch_dir.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"
#include "smart/attributenames.h"
#include "smart/driveinfo.h"

namespace fs = std::filesystem;

namespace {

std::string Section(const std::string& name, std::initializer_list<std::string> lines) {
    std::string text = "[" + name + "]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string Rgb(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d,%d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// What the first start writes, key for key, with the start colours of this
// platform.
std::string FirstRunFile() {
    AppSettings start;
    SetStartValues(start);
    std::string text =
        Section("Global", {"Run=1", "TaskTray=0", "Title=1", "Stable=0", "Monitor=0", "Timer=120", "Path=.", "Safe=1",
                           "X=-1", "Y=-1"}) +
        Section("View", {"Shadow=0", "Frame=1", "Model=1", "FirmwareRevision=1", "SerialNumber=1", "Temperature=1",
                         "PowerOnTime=1", "DiskUsage=1", "Basic=1", "Attribute=1", "Decimal=0", "Years=0"}) +
        Section("Temperature", {"Enable=0", "Timer=1000", "Threshold=45"}) +
        Section("Colors", {"Text=" + Rgb(start.Colors.Text), "Bar=" + Rgb(start.Colors.Bar),
                           "Frame=" + Rgb(start.Colors.Frame), "Grid=" + Rgb(start.Colors.Grid), "Graph=255,0,0",
                           "Threshold=127,0,0"}) +
        Section("Shadow", {"Type=4", "Color=" + Rgb(start.Shadow.Color), "Offset=1"}) +
        Section("Fonts", {"Tab=-17,0,0,0,700,0,0,0,0,0,0,0,0,Arial Narrow",
                          "Large=-21,0,0,0,700,0,0,0,0,0,0,0,0,Arial Narrow",
                          "Middle=-17,0,0,0,700,0,0,0,0,0,0,0,0,Arial Narrow",
                          "Small=-11,0,0,0,700,0,0,0,0,0,0,0,0,Arial", "Graph=-13,0,0,0,700,0,0,0,0,0,0,0,0,Arial"}) +
        Section("Labels", {"Model=Model", "FirmwareRevision=Firmware Revision", "SerialNumber=Serial Number",
                           "Temperature=Temperature", "PowerOnTime=Power on time", "DiskUsage=Disk usage",
                           "ConditionStatus=Condition status", "A05=Reallocated sector count",
                           "AC4=Reallocation event count", "AC5=Current pending sector count",
                           "AC6=Off-line uncorrectable sector count"}) +
        Section("Units", {"Hour=_Hour", "Day=_Day", "Year=_Year", "Temperature=\xB0" "C", "Percent=%",
                          "DiskUsage=_Free"}) +
        Section("Skin", {"Enable=0", "Stretch=1", "File=VELDAKOR.PNG"}) + Section("Icon", {"Enable=0", "Size=16"}) +
        Section("Bitmap", {"Enable=0", "X=-1", "Y=-1"}) + Section("Graph", {"Limit=80", "Width=2", "Offset=4"}) +
        Section("Server", {"Enable=0", "Port=10008"});
    for (int slot = 0; slot < 16; ++slot) {
        char name[16];
        std::snprintf(name, sizeof name, "Drive%02d", slot);
        text += Section(name, {"Reverse=0", "SiliconImage=0xffffffff", "Temperature=0xc2", "A05=0", "AC4=0", "AC5=0",
                               "AC6=0"});
    }
    return text;
}

// Each test starts as the program does, without a settings file: start
// values set, drive table cleared. Native tests work in a scratch folder
// of their own, since that is where the bare name lands.
class Settings : public ::testing::Test {
protected:
    Settings() : scratch_("settings"), file_(scratch_.SettingsFile()) {
        SetStartValues(settings_);
        drives_->Clear();
        PoisonDrives();
    }

    void RemoveFile() { scratch_.RemoveSettingsFile(); }
    void Given(const std::string& bytes) { TestDir::WriteAll(file_, bytes); }
    std::string Bytes() const { return TestDir::ReadAll(file_); }
    void Load() { LoadSettings(settings_, *drives_); }
    void Save() { SaveSettings(settings_, *drives_); }

    // Values no load would leave by accident.
    void PoisonDrives() {
        for (DriveInfo& drive : drives_->slots) {
            drive.reverseStrings = 77;
            drive.miniportAddr = 0x12345678;
            drive.tempAttrId = 0x11;
            drive.limit05 = drive.limitC4 = drive.limitC5 = drive.limitC6 = 99;
        }
    }

    ScratchDir scratch_;
    std::string file_;
    AppSettings settings_;
    std::unique_ptr<DriveTable> drives_{new DriveTable};
};

}  // namespace

TEST(SettingsNames, AttributeLabelsComeFromTheNameTable) {
    EXPECT_STREQ("Reallocated sector count", AttributeName(0x05));
    EXPECT_STREQ("Off-line uncorrectable sector count", AttributeName(0xC6));
    EXPECT_STREQ("Unknown", AttributeName(0x00));
    EXPECT_STREQ("Unknown", AttributeName(0xFF));
}

TEST_F(Settings, FirstRunWritesEveryKeyAndTheSecondLoadGetsThemBack) {
    EXPECT_EQ(1, LoadSettingsAtStart(settings_, *drives_));
    EXPECT_EQ(1, settings_.Global.Run);
    EXPECT_STREQ(" Hour", settings_.Units.Hour);  // blanks again in memory after the save
    EXPECT_EQ(FirstRunFile(), Bytes());

    // Everything comes from the file now: nothing of the old record survives.
    std::memset(&settings_, 0x5A, sizeof settings_);
    PoisonDrives();
    EXPECT_EQ(0, LoadSettingsAtStart(settings_, *drives_));
    EXPECT_EQ(1, settings_.Global.Run);
    EXPECT_EQ(0, settings_.Global.Debug);
    EXPECT_EQ(45, settings_.Temperature.Threshold);
    EXPECT_STREQ("\xB0" "C", settings_.Units.Temperature);
    EXPECT_STREQ(" Free", settings_.Units.DiskUsage);
    EXPECT_STREQ("Arial", settings_.Fonts.Small.lfFaceName);
    EXPECT_EQ(0xC2, drives_->slots[15].tempAttrId);
    EXPECT_EQ(1, settings_.Alert.Enable);  // on, though the file does not say so
    // Saving what was loaded gives the same file back, every key included.
    Save();
    EXPECT_EQ(FirstRunFile(), Bytes());
}

TEST_F(Settings, TimerMinimumsHoldUnlessDebugAndCompareUnsigned) {
    Given("[Global]\r\nTimer=30\r\n[Temperature]\r\nTimer=100\r\n");
    Load();
    EXPECT_EQ(120u, settings_.Global.Timer);
    EXPECT_EQ(1000u, settings_.Temperature.Timer);

    Given("[Global]\r\nTimer=30\r\nDebug=1\r\n[Temperature]\r\nTimer=100\r\n");
    Load();
    EXPECT_EQ(30u, settings_.Global.Timer);
    EXPECT_EQ(100u, settings_.Temperature.Timer);
    Save();
    EXPECT_NE(std::string::npos, Bytes().find("Debug=1\r\n"));  // kept, though never written

    Given("[Global]\r\nTimer=60\r\n[Temperature]\r\nTimer=199\r\n");
    Load();
    EXPECT_EQ(60u, settings_.Global.Timer);
    EXPECT_EQ(1000u, settings_.Temperature.Timer);

    Given("[Global]\r\nTimer=-1\r\n[Temperature]\r\nTimer=-1\r\n");
    Load();
    EXPECT_EQ(4294967295u, settings_.Global.Timer);
    EXPECT_EQ(4294967295u, settings_.Temperature.Timer);
    RemoveFile();
    Save();
    EXPECT_NE(std::string::npos, Bytes().find("[Global]\r\nRun=0\r\nTaskTray=0\r\nTitle=1\r\nStable=0\r\n"
                                              "Monitor=0\r\nTimer=4294967295\r\n"));
    EXPECT_EQ(std::string::npos, Bytes().find("Debug"));
}

TEST_F(Settings, ThresholdKeepsItsLowByteAsSigned) {
    Given("[Temperature]\r\nThreshold=300\r\n");
    Load();
    EXPECT_EQ(44, settings_.Temperature.Threshold);
    Save();
    EXPECT_NE(std::string::npos, Bytes().find("Threshold=44\r\n"));

    Given("[Temperature]\r\nThreshold=200\r\n");
    Load();
    EXPECT_EQ(-56, settings_.Temperature.Threshold);
    Save();
    EXPECT_NE(std::string::npos, Bytes().find("Threshold=-56\r\n"));
}

TEST_F(Settings, UnitUnderscoresAreBlanksInMemoryExceptPercent) {
    Given("[Units]\r\nHour=_h_\r\nDay=d__\r\nYear=y\r\nTemperature=_deg_\r\nPercent=_%_\r\nDiskUsage=_free_\r\n");
    Load();
    EXPECT_STREQ(" h ", settings_.Units.Hour);
    EXPECT_STREQ("d  ", settings_.Units.Day);
    EXPECT_STREQ("y", settings_.Units.Year);
    EXPECT_STREQ(" deg ", settings_.Units.Temperature);
    EXPECT_STREQ("_%_", settings_.Units.Percent);
    EXPECT_STREQ(" free ", settings_.Units.DiskUsage);

    std::strcpy(settings_.Units.Year, "a year");
    std::strcpy(settings_.Units.Percent, "p c");
    Save();
    EXPECT_NE(std::string::npos, Bytes().find("[Units]\r\nHour=_h_\r\nDay=d__\r\nYear=a_year\r\n"
                                              "Temperature=_deg_\r\nPercent=p c\r\nDiskUsage=_free_\r\n"));
    EXPECT_STREQ(" h ", settings_.Units.Hour);
    EXPECT_STREQ("a year", settings_.Units.Year);
    EXPECT_STREQ("p c", settings_.Units.Percent);

    SwapUnitBlanks(settings_, '-', ' ');
    EXPECT_STREQ("-h-", settings_.Units.Hour);
    EXPECT_STREQ("p c", settings_.Units.Percent);
}

TEST_F(Settings, DriveSectionsKeepTheirTypes) {
    Given("[Drive00]\r\nSiliconImage=0xffffffff\r\n"
          "[Drive01]\r\nSiliconImage=-1\r\nReverse=1\r\n"
          "[Drive02]\r\nSiliconImage=0x00010002\r\nTemperature=0x1be\r\nA05=-5\r\nAC4=2147483647\r\n"
          "[Drive15]\r\nTemperature=190\r\nAC6=12\r\n"
          "[Drive16]\r\nReverse=1\r\n");
    Load();
    const DriveInfo* d = drives_->slots;
    EXPECT_EQ(0xFFFFFFFFu, d[0].miniportAddr);
    EXPECT_EQ(0xFFFFFFFFu, d[1].miniportAddr);
    EXPECT_EQ(1u, d[1].reverseStrings);
    EXPECT_EQ(0x10002u, d[2].miniportAddr);
    EXPECT_EQ(0xBE, d[2].tempAttrId);
    EXPECT_EQ(-5, d[2].limit05);
    EXPECT_EQ(2147483647, d[2].limitC4);
    EXPECT_EQ(0, d[2].limitC5);
    EXPECT_EQ(190, d[15].tempAttrId);
    EXPECT_EQ(12, d[15].limitC6);

    RemoveFile();
    SaveDriveSettings(*drives_, 16);
    LoadDriveSettings(*drives_, 16);
    EXPECT_FALSE(TestDir::Exists(file_));
    SaveDriveSettings(*drives_, 1);
    SaveDriveSettings(*drives_, 2);
    EXPECT_EQ(Section("Drive01", {"Reverse=1", "SiliconImage=0xffffffff", "Temperature=0xc2", "A05=0", "AC4=0",
                                  "AC5=0", "AC6=0"}) +
                  Section("Drive02", {"Reverse=0", "SiliconImage=0x00010002", "Temperature=0xbe", "A05=-5",
                                      "AC4=2147483647", "AC5=0", "AC6=0"}),
              Bytes());
}

TEST_F(Settings, ColoursAndFontsChangeOnlyWhatTheFileGives) {
    const AppSettings start = settings_;
    Given("[Colors]\r\nText=10\r\nBar=\r\nFrame=1,2,3\r\n[Fonts]\r\nTab=-30\r\nSmall=\r\nGraph=9,Courier New\r\n");
    Load();
    EXPECT_EQ(RGB(10, GetGValue(start.Colors.Text), GetBValue(start.Colors.Text)), settings_.Colors.Text);
    EXPECT_EQ(start.Colors.Bar, settings_.Colors.Bar);
    EXPECT_EQ(RGB(1, 2, 3), settings_.Colors.Frame);
    EXPECT_EQ(start.Colors.Grid, settings_.Colors.Grid);
    EXPECT_EQ(start.Shadow.Color, settings_.Shadow.Color);
    EXPECT_EQ(-30, settings_.Fonts.Tab.lfHeight);
    EXPECT_STREQ("Arial Narrow", settings_.Fonts.Tab.lfFaceName);
    EXPECT_EQ(0, std::memcmp(&start.Fonts.Small, &settings_.Fonts.Small, sizeof(LOGFONT)));
    EXPECT_EQ(9, settings_.Fonts.Graph.lfHeight);
    EXPECT_EQ(700, settings_.Fonts.Graph.lfWeight);
    EXPECT_STREQ("Courier New", settings_.Fonts.Graph.lfFaceName);
}

TEST_F(Settings, TextsKeepAtMostTheirSizeLessOne) {
    const std::string label(200, 'L');
    const std::string unit(40, 'u');
    Given("[Labels]\r\nModel=" + label + "\r\nAC6=" + label + "\r\n[Units]\r\nHour=" + unit + "\r\n");
    Load();
    EXPECT_EQ(label.substr(0, 127), settings_.Labels.Model);
    EXPECT_EQ(label.substr(0, 127), settings_.Labels.AC6);
    EXPECT_EQ(unit.substr(0, 31), settings_.Units.Hour);
}

TEST_F(Settings, OddFilesLoadAndSaveWithoutLosingForeignContent) {
    Given("; written by hand\r\n"
          "[other]\r\nkeep=me\r\n"
          "[VIEW]\r\ndecimal = 1\r\nyears=1\r\nYEARS=0\r\nnonsense line\r\n"
          "[global]\r\nY=7\r\ntimer=0x12c\r\nx=\r\nPATH= C:\\icons \r\nUnknownKey=42\r\n"
          "[Labels]\r\nModel=\r\nSerialNumber\r\n"
          "[Global]\r\nY=8\r\n"
          "[Drive03]\r\n\r\n;c\r\nsiliconimage=0X10\r\n"
          "[Alert]\r\nEnable=0\r\n");
    Load();
    EXPECT_EQ(1, settings_.View.Decimal);
    EXPECT_EQ(1, settings_.View.Years);            // the first of two keys counts
    EXPECT_EQ(300u, settings_.Global.Timer);
    EXPECT_EQ(-1, settings_.Global.X);             // empty number: the default
    EXPECT_EQ(7, settings_.Global.Y);              // a repeated section is never searched
    EXPECT_STREQ("C:\\icons", settings_.Global.Path);
    EXPECT_STREQ("", settings_.Labels.Model);      // present but empty
    EXPECT_STREQ("Serial Number", settings_.Labels.SerialNumber);  // no '=': missing
    EXPECT_EQ(0u, drives_->slots[3].miniportAddr);  // "0X" is no hexadecimal prefix
    EXPECT_EQ(0, settings_.Alert.Enable);

    Save();
    const std::string bytes = Bytes();
    for (const char* kept : {"; written by hand\r\n", "[other]\r\nkeep=me\r\n", "nonsense line\r\n",
                             "UnknownKey=42\r\n", "[Global]\r\nY=8\r\n", ";c\r\n", "timer=300\r\n",
                             "years=1\r\nYEARS=0\r\n", "siliconimage=0x00000000\r\n", "[Alert]\r\nEnable=0\r\n"}) {
        EXPECT_NE(std::string::npos, bytes.find(kept)) << kept;
    }
    const AppSettings before = settings_;
    Load();
    EXPECT_EQ(before.Global.Timer, settings_.Global.Timer);
    EXPECT_STREQ(before.Global.Path, settings_.Global.Path);
}

TEST_F(Settings, UnusableFileIsNeitherReadNorWrittenAndNothingFails) {
    fs::create_directory(file_);  // a folder in the file's place
    EXPECT_EQ(1, LoadSettingsAtStart(settings_, *drives_));
    EXPECT_EQ(1, settings_.Global.Run);
    EXPECT_EQ(120u, settings_.Global.Timer);
    EXPECT_EQ(0xC2, drives_->slots[0].tempAttrId);
    EXPECT_TRUE(fs::is_directory(file_));
}
