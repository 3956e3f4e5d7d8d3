#include "settings/settingsfile.h"

#include <cstdio>

#include "settings/inifile.h"
#include "smart/attributenames.h"

const char kSettingsFileName[] = "VELDAKOR.INI";

namespace {

const UINT kMinimumPollSeconds = 60;
const UINT kDefaultPollSeconds = 120;
const UINT kMinimumBlinkMilliseconds = 200;
const UINT kDefaultBlinkMilliseconds = 1000;

// The degree sign of Latin-1 and a C; written as bytes so that the source's
// execution character set cannot touch it.
const char kDegreesCelsius[] = "\xB0" "C";

void DriveSection(UINT slot, char (&section)[16]) { std::snprintf(section, sizeof section, "Drive%02u", slot); }

void Replace(char* text, char newChar, char oldChar) {
    for (; *text != '\0'; ++text) {
        if (*text == oldChar) *text = newChar;
    }
}

}  // namespace

void SwapUnitBlanks(AppSettings& settings, char newChar, char oldChar) {
    Replace(settings.Units.Hour, newChar, oldChar);
    Replace(settings.Units.Day, newChar, oldChar);
    Replace(settings.Units.Year, newChar, oldChar);
    Replace(settings.Units.Temperature, newChar, oldChar);
    Replace(settings.Units.DiskUsage, newChar, oldChar);
}

void LoadSettings(AppSettings& s, DriveTable& drives) {
    INIFILE ini;
    if (!ini.Open(kSettingsFileName)) return;

    ini.Read("Global", "Run", 0, &s.Global.Run);
    ini.Read("Global", "Debug", 0, &s.Global.Debug);
    ini.Read("Global", "TaskTray", 0, &s.Global.TaskTray);
    ini.Read("Global", "Title", 1, &s.Global.Title);
    ini.Read("Global", "Stable", 0, &s.Global.Stable);
    ini.Read("Global", "Monitor", 0, &s.Global.Monitor);
    ini.Read("Global", "Timer", kDefaultPollSeconds, &s.Global.Timer);
    ini.Read("Global", "Path", ".", s.Global.Path, sizeof s.Global.Path);
    ini.Read("Global", "Safe", 1, &s.Global.Safe);
    ini.Read("Global", "X", -1, &s.Global.X);
    ini.Read("Global", "Y", -1, &s.Global.Y);

    ini.Read("View", "Shadow", 0, &s.View.Shadow);
    ini.Read("View", "Frame", 1, &s.View.Frame);
    ini.Read("View", "Model", 1, &s.View.Model);
    ini.Read("View", "FirmwareRevision", 1, &s.View.FirmwareRevision);
    ini.Read("View", "SerialNumber", 1, &s.View.SerialNumber);
    ini.Read("View", "Temperature", 1, &s.View.Temperature);
    ini.Read("View", "PowerOnTime", 1, &s.View.PowerOnTime);
    ini.Read("View", "DiskUsage", 1, &s.View.DiskUsage);
    ini.Read("View", "Basic", 1, &s.View.Basic);
    ini.Read("View", "Attribute", 1, &s.View.Attribute);
    ini.Read("View", "Decimal", 0, &s.View.Decimal);
    ini.Read("View", "Years", 0, &s.View.Years);

    ini.Read("Temperature", "Enable", 0, &s.Temperature.Enable);
    ini.Read("Temperature", "Timer", kDefaultBlinkMilliseconds, &s.Temperature.Timer);
    int threshold = 0;
    ini.Read("Temperature", "Threshold", 45, &threshold);
    s.Temperature.Threshold = static_cast<signed char>(threshold);  // only the low byte counts

    ini.Read("Colors", "Text", &s.Colors.Text);
    ini.Read("Colors", "Bar", &s.Colors.Bar);
    ini.Read("Colors", "Frame", &s.Colors.Frame);
    ini.Read("Colors", "Grid", &s.Colors.Grid);
    ini.Read("Colors", "Graph", &s.Colors.Graph);
    ini.Read("Colors", "Threshold", &s.Colors.Threshold);

    ini.Read("Shadow", "Type", 4, &s.Shadow.Type);
    ini.Read("Shadow", "Color", &s.Shadow.Color);
    ini.Read("Shadow", "Offset", 1, &s.Shadow.Offset);

    ini.Read("Fonts", "Tab", &s.Fonts.Tab);
    ini.Read("Fonts", "Large", &s.Fonts.Large);
    ini.Read("Fonts", "Middle", &s.Fonts.Middle);
    ini.Read("Fonts", "Small", &s.Fonts.Small);
    ini.Read("Fonts", "Graph", &s.Fonts.Graph);

    ini.Read("Labels", "Model", "Model", s.Labels.Model, sizeof s.Labels.Model);
    ini.Read("Labels", "FirmwareRevision", "Firmware Revision", s.Labels.FirmwareRevision,
             sizeof s.Labels.FirmwareRevision);
    ini.Read("Labels", "SerialNumber", "Serial Number", s.Labels.SerialNumber, sizeof s.Labels.SerialNumber);
    ini.Read("Labels", "Temperature", "Temperature", s.Labels.Temperature, sizeof s.Labels.Temperature);
    ini.Read("Labels", "PowerOnTime", "Power on time", s.Labels.PowerOnTime, sizeof s.Labels.PowerOnTime);
    ini.Read("Labels", "DiskUsage", "Disk usage", s.Labels.DiskUsage, sizeof s.Labels.DiskUsage);
    ini.Read("Labels", "ConditionStatus", "Condition status", s.Labels.ConditionStatus,
             sizeof s.Labels.ConditionStatus);
    ini.Read("Labels", "A05", AttributeName(0x05), s.Labels.A05, sizeof s.Labels.A05);
    ini.Read("Labels", "AC4", AttributeName(0xC4), s.Labels.AC4, sizeof s.Labels.AC4);
    ini.Read("Labels", "AC5", AttributeName(0xC5), s.Labels.AC5, sizeof s.Labels.AC5);
    ini.Read("Labels", "AC6", AttributeName(0xC6), s.Labels.AC6, sizeof s.Labels.AC6);

    ini.Read("Units", "Hour", "_Hour", s.Units.Hour, sizeof s.Units.Hour);
    ini.Read("Units", "Day", "_Day", s.Units.Day, sizeof s.Units.Day);
    ini.Read("Units", "Year", "_Year", s.Units.Year, sizeof s.Units.Year);
    ini.Read("Units", "Temperature", kDegreesCelsius, s.Units.Temperature, sizeof s.Units.Temperature);
    ini.Read("Units", "Percent", "%", s.Units.Percent, sizeof s.Units.Percent);
    ini.Read("Units", "DiskUsage", "_Free", s.Units.DiskUsage, sizeof s.Units.DiskUsage);

    ini.Read("Skin", "Enable", 0, &s.Skin.Enable);
    ini.Read("Skin", "Stretch", 1, &s.Skin.Stretch);
    ini.Read("Skin", "File", "VELDAKOR.PNG", s.Skin.File, sizeof s.Skin.File);

    ini.Read("Icon", "Enable", 0, &s.Icon.Enable);
    ini.Read("Icon", "Size", 16u, &s.Icon.Size);

    ini.Read("Bitmap", "Enable", 0, &s.Bitmap.Enable);
    ini.Read("Bitmap", "X", -1, &s.Bitmap.X);
    ini.Read("Bitmap", "Y", -1, &s.Bitmap.Y);

    ini.Read("Graph", "Limit", 80u, &s.Graph.Limit);
    ini.Read("Graph", "Width", 2u, &s.Graph.Width);
    ini.Read("Graph", "Offset", 4, &s.Graph.Offset);

    ini.Read("Server", "Enable", 0, &s.Server.Enable);
    ini.Read("Server", "Port", 10008u, &s.Server.Port);
    ini.Read("Server", "Address", "0.0.0.0", s.Server.Address, sizeof s.Server.Address);
    ini.Read("Server", "Allow", "", s.Server.Allow, sizeof s.Server.Allow);

    ini.Read("Alert", "Enable", 1, &s.Alert.Enable);

    ini.Close();
    SwapUnitBlanks(s, ' ', '_');

    for (UINT slot = 0; slot < kDriveSlots; ++slot) LoadDriveSettings(drives, slot);

    // Unsigned on purpose: a stored negative number stays in force as a
    // very long interval.
    if (s.Global.Debug == 0) {
        if (s.Global.Timer < kMinimumPollSeconds) s.Global.Timer = kDefaultPollSeconds;
        if (s.Temperature.Timer < kMinimumBlinkMilliseconds) s.Temperature.Timer = kDefaultBlinkMilliseconds;
    }
}

void SaveSettings(AppSettings& s, const DriveTable& drives) {
    INIFILE ini;
    if (!ini.Open(kSettingsFileName)) return;

    SwapUnitBlanks(s, '_', ' ');

    // Debug is only ever set by hand, so it is never written.
    ini.Write("Global", "Run", s.Global.Run);
    ini.Write("Global", "TaskTray", s.Global.TaskTray);
    ini.Write("Global", "Title", s.Global.Title);
    ini.Write("Global", "Stable", s.Global.Stable);
    ini.Write("Global", "Monitor", s.Global.Monitor);
    ini.Write("Global", "Timer", s.Global.Timer);
    ini.Write("Global", "Path", s.Global.Path);
    ini.Write("Global", "Safe", s.Global.Safe);
    ini.Write("Global", "X", s.Global.X);
    ini.Write("Global", "Y", s.Global.Y);

    ini.Write("View", "Shadow", s.View.Shadow);
    ini.Write("View", "Frame", s.View.Frame);
    ini.Write("View", "Model", s.View.Model);
    ini.Write("View", "FirmwareRevision", s.View.FirmwareRevision);
    ini.Write("View", "SerialNumber", s.View.SerialNumber);
    ini.Write("View", "Temperature", s.View.Temperature);
    ini.Write("View", "PowerOnTime", s.View.PowerOnTime);
    ini.Write("View", "DiskUsage", s.View.DiskUsage);
    ini.Write("View", "Basic", s.View.Basic);
    ini.Write("View", "Attribute", s.View.Attribute);
    ini.Write("View", "Decimal", s.View.Decimal);
    ini.Write("View", "Years", s.View.Years);

    ini.Write("Temperature", "Enable", s.Temperature.Enable);
    ini.Write("Temperature", "Timer", s.Temperature.Timer);
    ini.Write("Temperature", "Threshold", static_cast<int>(s.Temperature.Threshold));

    ini.Write("Colors", "Text", &s.Colors.Text);
    ini.Write("Colors", "Bar", &s.Colors.Bar);
    ini.Write("Colors", "Frame", &s.Colors.Frame);
    ini.Write("Colors", "Grid", &s.Colors.Grid);
    ini.Write("Colors", "Graph", &s.Colors.Graph);
    ini.Write("Colors", "Threshold", &s.Colors.Threshold);

    ini.Write("Shadow", "Type", s.Shadow.Type);
    ini.Write("Shadow", "Color", &s.Shadow.Color);
    ini.Write("Shadow", "Offset", s.Shadow.Offset);

    ini.Write("Fonts", "Tab", &s.Fonts.Tab);
    ini.Write("Fonts", "Large", &s.Fonts.Large);
    ini.Write("Fonts", "Middle", &s.Fonts.Middle);
    ini.Write("Fonts", "Small", &s.Fonts.Small);
    ini.Write("Fonts", "Graph", &s.Fonts.Graph);

    ini.Write("Labels", "Model", s.Labels.Model);
    ini.Write("Labels", "FirmwareRevision", s.Labels.FirmwareRevision);
    ini.Write("Labels", "SerialNumber", s.Labels.SerialNumber);
    ini.Write("Labels", "Temperature", s.Labels.Temperature);
    ini.Write("Labels", "PowerOnTime", s.Labels.PowerOnTime);
    ini.Write("Labels", "DiskUsage", s.Labels.DiskUsage);
    ini.Write("Labels", "ConditionStatus", s.Labels.ConditionStatus);
    ini.Write("Labels", "A05", s.Labels.A05);
    ini.Write("Labels", "AC4", s.Labels.AC4);
    ini.Write("Labels", "AC5", s.Labels.AC5);
    ini.Write("Labels", "AC6", s.Labels.AC6);

    ini.Write("Units", "Hour", s.Units.Hour);
    ini.Write("Units", "Day", s.Units.Day);
    ini.Write("Units", "Year", s.Units.Year);
    ini.Write("Units", "Temperature", s.Units.Temperature);
    ini.Write("Units", "Percent", s.Units.Percent);
    ini.Write("Units", "DiskUsage", s.Units.DiskUsage);

    ini.Write("Skin", "Enable", s.Skin.Enable);
    ini.Write("Skin", "Stretch", s.Skin.Stretch);
    ini.Write("Skin", "File", s.Skin.File);

    ini.Write("Icon", "Enable", s.Icon.Enable);
    ini.Write("Icon", "Size", s.Icon.Size);

    ini.Write("Bitmap", "Enable", s.Bitmap.Enable);
    ini.Write("Bitmap", "X", s.Bitmap.X);
    ini.Write("Bitmap", "Y", s.Bitmap.Y);

    ini.Write("Graph", "Limit", s.Graph.Limit);
    ini.Write("Graph", "Width", s.Graph.Width);
    ini.Write("Graph", "Offset", s.Graph.Offset);

    ini.Write("Server", "Enable", s.Server.Enable);
    ini.Write("Server", "Port", s.Server.Port);

    ini.Close();
    SwapUnitBlanks(s, ' ', '_');

    for (UINT slot = 0; slot < kDriveSlots; ++slot) SaveDriveSettings(drives, slot);
}

BOOL LoadSettingsAtStart(AppSettings& settings, DriveTable& drives) {
    LoadSettings(settings, drives);
    if (settings.Global.Run != 0) return 0;
    settings.Global.Run = 1;
    SaveSettings(settings, drives);
    return 1;
}

void LoadDriveSettings(DriveTable& drives, UINT slot) {
    if (slot >= kDriveSlots) return;
    INIFILE ini;
    if (!ini.Open(kSettingsFileName)) return;

    char section[16];
    DriveSection(slot, section);
    DriveInfo& drive = drives.slots[slot];
    int reverse = 0;
    ini.Read(section, "Reverse", 0, &reverse);
    drive.reverseStrings = static_cast<DWORD>(reverse);
    ini.Read(section, "SiliconImage", static_cast<DWORD>(0xFFFFFFFF), &drive.miniportAddr);
    ini.Read(section, "Temperature", static_cast<BYTE>(0xC2), &drive.tempAttrId);
    ini.Read(section, "A05", 0L, &drive.limit05);
    ini.Read(section, "AC4", 0L, &drive.limitC4);
    ini.Read(section, "AC5", 0L, &drive.limitC5);
    ini.Read(section, "AC6", 0L, &drive.limitC6);
}

void SaveDriveSettings(const DriveTable& drives, UINT slot) {
    if (slot >= kDriveSlots) return;
    INIFILE ini;
    if (!ini.Open(kSettingsFileName)) return;

    char section[16];
    DriveSection(slot, section);
    const DriveInfo& drive = drives.slots[slot];
    ini.Write(section, "Reverse", static_cast<int>(drive.reverseStrings));
    ini.Write(section, "SiliconImage", drive.miniportAddr);
    ini.Write(section, "Temperature", drive.tempAttrId);
    ini.Write(section, "A05", drive.limit05);
    ini.Write(section, "AC4", drive.limitC4);
    ini.Write(section, "AC5", drive.limitC5);
    ini.Write(section, "AC6", drive.limitC6);
}
