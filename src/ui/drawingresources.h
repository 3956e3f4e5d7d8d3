// The drawing resources the drive pages share: the tab icons, the status
// pictures and their replacements from Global.Path, the pens of the
// temperature graph and the five fonts. Built at start, rebuilt by the
// commands that change their settings, released at teardown (and by the
// destructor, whatever is left).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "settings/appsettings.h"
#include "ui/gdihandles.h"
#include "ui/winbmp.h"
#include "ui/winfont.h"

// Tab icons for good, caution, danger and error; the status pictures add
// hot. A drive's status is the index into both.
const int kStatusIconCount = 4;
const int kStatusBitmapCount = 5;

class DrawingResources {
public:
    DrawingResources() = default;
    virtual ~DrawingResources();
    DrawingResources(const DrawingResources&) = delete;
    DrawingResources& operator=(const DrawingResources&) = delete;

    HIMAGELIST statusImageList = nullptr;
    // The tab control that shows statusImageList, if any: it is handed each
    // new list before the old one is destroyed.
    HWND imageListUser = nullptr;
    HICON externalIcons[kStatusIconCount] = {};
    WINBMP statusBitmaps[kStatusBitmapCount];
    WINPEN gridPen;
    WINPEN graphPen;
    WINPEN thresholdPen;
    WINFONT tabFont;
    WINFONT largeFont;
    WINFONT middleFont;
    WINFONT smallFont;
    WINFONT graphFont;
};

// "%s\%s" of Global.Path and the file name; false (path emptied) when it
// does not fit the path buffer of size bytes.
bool ExternalFilePath(const AppSettings& settings, const char* fileName, char* path, size_t size);

// The tab icons: the program's icons 103-106, each replaced by its external
// icon while Icon.Enable is set and that icon is loaded; Icon.Size pixels
// while Icon.Enable is set, else 16. True also when no list could be made
// (the tabs then show no icons); false when an icon could not be added.
bool BuildStatusImageList(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance);
void DestroyStatusImageList(DrawingResources& resources);

// S_GOOD.ICO, S_WARN.ICO, S_DNGR.ICO and S_ERR.ICO from Global.Path at
// Icon.Size. True only when all four loaded; the loaded ones stay either way.
bool LoadExternalIcons(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance);
void FreeExternalIcons(DrawingResources& resources);

// The five status pictures: with useExternal each from its S_*.BMP file in
// Global.Path if that loads, else (and always without) the program's bitmap
// 150-154 of that state.
void LoadStatusBitmaps(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance, int useExternal);
void FreeStatusBitmaps(DrawingResources& resources);

// The grid and threshold pens dotted (every other pixel), the curve pen
// solid at Graph.Width (at most 64 pixels), from Colors.Grid, Colors.Graph,
// Colors.Threshold.
void CreatePens(DrawingResources& resources, const AppSettings& settings);
void DeletePens(DrawingResources& resources);

// The five fonts from Fonts.Tab, .Large, .Middle, .Small and .Graph, with
// heights of 6 to 200 pixels and widths of at most 200 (0 stays the face's
// own size; the settings keep what they hold).
void CreateFonts(DrawingResources& resources, const AppSettings& settings);
void DeleteFonts(DrawingResources& resources);

// Teardown: fonts, pens, image list, status pictures, external icons.
void FreeDrawingResources(DrawingResources& resources);

// The image list size Icon.Size asks for: 1 to 256 pixels, else 16.
int StatusIconSize(const AppSettings& settings);
