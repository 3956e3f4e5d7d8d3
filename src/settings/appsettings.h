// The program-wide settings: one field per key of the settings file, grouped
// by section, so that a setting reads Section.Key (appSettings.Global.Timer).
// The per-drive keys live in the drive table's slots.
#pragma once

#include "base/wintypes.h"

const DWORD kSettingsPathSize = 1024;
const DWORD kSettingsLabelSize = 128;
const DWORD kSettingsUnitSize = 32;

struct AppSettings {
    struct GlobalKeys {
        int Run;      // 0 until the first start has written the file
        int Debug;    // hand-edited only; never written
        int TaskTray;
        int Title;
        int Stable;
        int Monitor;
        UINT Timer;   // poll interval, seconds
        char Path[kSettingsPathSize];
        int Safe;
        int X;
        int Y;
    } Global;

    struct ViewKeys {
        int Shadow;
        int Frame;
        int Model;
        int FirmwareRevision;
        int SerialNumber;
        int Temperature;
        int PowerOnTime;
        int DiskUsage;
        int Basic;
        int Attribute;
        int Decimal;
        int Years;
    } View;

    struct TemperatureKeys {
        int Enable;
        UINT Timer;              // blink period, milliseconds
        signed char Threshold;   // degrees; hotter than this is hot
    } Temperature;

    struct ColorsKeys {
        COLORREF Text;
        COLORREF Bar;
        COLORREF Frame;
        COLORREF Grid;
        COLORREF Graph;
        COLORREF Threshold;
    } Colors;

    struct ShadowKeys {
        int Type;
        COLORREF Color;
        int Offset;
    } Shadow;

    struct FontsKeys {
        LOGFONT Tab;
        LOGFONT Large;
        LOGFONT Middle;
        LOGFONT Small;
        LOGFONT Graph;
    } Fonts;

    struct LabelsKeys {
        char Model[kSettingsLabelSize];
        char FirmwareRevision[kSettingsLabelSize];
        char SerialNumber[kSettingsLabelSize];
        char Temperature[kSettingsLabelSize];
        char PowerOnTime[kSettingsLabelSize];
        char DiskUsage[kSettingsLabelSize];
        char ConditionStatus[kSettingsLabelSize];
        char A05[kSettingsLabelSize];
        char AC4[kSettingsLabelSize];
        char AC5[kSettingsLabelSize];
        char AC6[kSettingsLabelSize];
    } Labels;

    // Blanks in the units are stored as underscores (the profile functions
    // drop blanks at the ends of a value); in memory they are blanks.
    struct UnitsKeys {
        char Hour[kSettingsUnitSize];
        char Day[kSettingsUnitSize];
        char Year[kSettingsUnitSize];
        char Temperature[kSettingsUnitSize];
        char Percent[kSettingsUnitSize];  // stored as it is
        char DiskUsage[kSettingsUnitSize];
    } Units;

    struct SkinKeys {
        int Enable;
        int Stretch;
        char File[kSettingsPathSize];
    } Skin;

    struct IconKeys {
        int Enable;
        UINT Size;
    } Icon;

    struct BitmapKeys {
        int Enable;
        int X;
        int Y;
    } Bitmap;

    struct GraphKeys {
        UINT Limit;
        UINT Width;
        int Offset;
    } Graph;

    struct ServerKeys {
        int Enable;
        UINT Port;
        // Hand-edited only, never written: the first-run file stays as it was.
        char Address[kSettingsLabelSize];  // local IPv4 address to bind
        char Allow[kSettingsPathSize];     // peers answered (net/peerfilter.h)
    } Server;

    // Hand-edited only, never written, as the server's address keys.
    struct AlertKeys {
        int Enable;  // the tray shows the worst drive and tells when one gets worse
    } Alert;
};

// The settings every part of the program reads.
extern AppSettings appSettings;

// The values before any load: the start colours and fonts, every other field
// 0. The colours marked as system colours are the platform's on Windows and
// those of the Windows default scheme elsewhere.
void SetStartValues(AppSettings& settings);
