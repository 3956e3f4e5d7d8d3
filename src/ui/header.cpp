#include "ui/header.h"

#include <cstdio>

#include "base/windowutil.h"
#include "res/resource.h"
#include "smart/evaluation.h"
#include "ui/paneltext.h"
#include "ui/tempgraph.h"

namespace {

struct PanelRow {
    int control;
    int AppSettings::ViewKeys::*shown;
    WINFONT DrawingResources::*font;
};

const PanelRow kPanels[] = {
    {IDC_SUMMARY, &AppSettings::ViewKeys::Model, &DrawingResources::largeFont},
    {IDC_FIRMWARE, &AppSettings::ViewKeys::FirmwareRevision, &DrawingResources::middleFont},
    {IDC_SERIAL, &AppSettings::ViewKeys::SerialNumber, &DrawingResources::middleFont},
    {IDC_TEMPERATURE, &AppSettings::ViewKeys::Temperature, &DrawingResources::middleFont},
    {IDC_POWER_ON_TIME, &AppSettings::ViewKeys::PowerOnTime, &DrawingResources::middleFont},
    {IDC_DISK_USAGE, &AppSettings::ViewKeys::DiskUsage, &DrawingResources::middleFont},
};

void DrawBackground(const DrivePages& pages, HDC dc) {
    const Skin& skin = pages.skin;
    if (pages.settings->Skin.Enable) {
        BitBlt(dc, skin.panelRect.x, skin.panelRect.y, skin.panelRect.cx, skin.panelRect.cy, skin.skinBuffer.Dc(), 0,
               0, SRCCOPY);
    } else {
        SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
        FillRect(dc, &skin.clientRect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}

void DrawPanels(DrivePages& pages, int k, HDC dc) {
    const AppSettings& settings = *pages.settings;
    const DriveInfo& drive = pages.Drive(k);
    DrivePage& page = pages.pages[k];
    const bool hidden = pages.drives->hideIdentity != 0;
    char temperature[48];
    std::snprintf(temperature, sizeof temperature, "%d%s", drive.summary.temperature, settings.Units.Temperature);
    char hours[48];
    std::snprintf(hours, sizeof hours, "%d%s", static_cast<int>(drive.summary.powerOnHours), settings.Units.Hour);
    const char* texts[] = {
        drive.texts.summary,
        hidden ? "*" : drive.summary.firmware,
        hidden ? "*" : drive.summary.serial,
        temperature,
        hours,
        page.usageBar.Text(),
    };
    for (size_t i = 0; i < sizeof kPanels / sizeof kPanels[0]; ++i) {
        const PanelRow& row = kPanels[i];
        if (!(settings.View.*row.shown)) continue;
        if (row.control == IDC_DISK_USAGE) page.usageBar.Draw(dc);
        RECT rect;
        if (GetItemRect(row.control, &rect, page.hPage)) {
            DrawPanelText(dc, rect, (pages.drawing->*row.font).Handle(), kPanelTextFormat, texts[i], settings);
        }
    }
}

}  // namespace

void DrawStatusImage(const DrivePages& pages, int k, HDC dc, int frameOn) {
    const AppSettings& settings = *pages.settings;
    LONG image = DisplayedStatus(pages.Drive(k), settings, pages.blinkPhase);
    // Only a debug command could put anything else into a status.
    if (image < 0 || image >= kStatusBitmapCount) image = HealthError;
    RECT rect = {};
    const bool haveRect = GetItemRect(IDC_STATUS_IMAGE, &rect, pages.pages[k].hPage) != 0;
    SetBkMode(dc, TRANSPARENT);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
           pages.drawing->statusBitmaps[image].Dc(), settings.Bitmap.X, settings.Bitmap.Y, SRCCOPY);
    if (frameOn && haveRect) FrameWithColour(dc, rect, settings.Colors.Frame);
}

void DrawPage(DrivePages& pages, int k) {
    DrivePage& page = pages.pages[k];
    const HDC dc = page.backBuffer.Dc();
    if (dc == nullptr) return;
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    const AppSettings& settings = *pages.settings;
    if (pages.Drive(k).present) {
        DrawBackground(pages, dc);
        DrawPanels(pages, k, dc);
    }
    DrawStatusImage(pages, k, dc, settings.View.Frame);
    if (settings.Global.Monitor) DrawTemperatureGraph(pages, dc, pages.Drive(k));
    if (k == pages.currentPage) InvalidateRect(page.hPage, &pages.skin.clientRect, FALSE);
}

void DrawAllPages(DrivePages& pages) {
    for (int k = 0; k < pages.PageCount(); ++k) DrawPage(pages, k);
}

void BlinkStatusImage(DrivePages& pages, int k) {
    if (k < 0 || k >= pages.PageCount()) return;
    DrivePage& page = pages.pages[k];
    if (page.backBuffer.Dc() == nullptr) return;
    DrawStatusImage(pages, k, page.backBuffer.Dc(), pages.settings->View.Frame);
    RECT rect;
    if (GetItemRect(IDC_STATUS_IMAGE, &rect, page.hPage)) InvalidateRect(page.hPage, &rect, FALSE);
}

void ApplyBarColors(DrivePages& pages, int k) {
    CPROGBAR& bar = pages.pages[k].usageBar;
    if (bar.control == nullptr) return;
    bar.DeleteTools();
    bar.textColour = pages.settings->Colors.Text;
    bar.barColour = pages.settings->Colors.Bar;
    bar.CreateTools();
}

void ApplyAllBarColors(DrivePages& pages) {
    for (int k = 0; k < pages.PageCount(); ++k) ApplyBarColors(pages, k);
}
