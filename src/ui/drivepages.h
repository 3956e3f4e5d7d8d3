// The drive pages: one tab and one page (dialog 201) per drive found, laid
// over the main window's tab control. A page's header is drawn into its back
// buffer and copied to the screen on paint; below it sit the Basic and the
// Attribute lists.
#pragma once

#include <windows.h>

#include "settings/appsettings.h"
#include "smart/driveinfo.h"
#include "ui/drawingresources.h"
#include "ui/lists.h"
#include "ui/progbar.h"
#include "ui/skin.h"
#include "ui/tooltip.h"
#include "ui/winmemdc.h"

// Tooltips of a header, in the order they are made: summary, firmware,
// serial, condition, temperature, power-on time, disk usage.
const int kPanelTips = 7;

// The window objects of one page.
struct DrivePage {
    HWND hPage = nullptr;
    WINMEMDC backBuffer;
    CTOOLTIP panelTips[kPanelTips];
    CPROGBAR usageBar;
    ShownAttributes shownAttributes;
};

// Everything the pages draw from, and their own state. Page k belongs to
// the k-th drive found (DriveTable::Shown(k)), as tab k does.
struct DrivePages {
    // Set by the main window before the pages are made.
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND tabControl = nullptr;
    DriveTable* drives = nullptr;
    AppSettings* settings = nullptr;
    DrawingResources* drawing = nullptr;

    // The shown page; while the pages are made, the one being made.
    int currentPage = 0;
    // Flipped by the blink timer while the temperature watch is on.
    int blinkPhase = 0;
    // Where the lists are, in page client coordinates: the graph's places.
    RECT basicListRect = {};
    RECT attributeListRect = {};
    RECT listsRect = {};
    Skin skin;
    DrivePage pages[kDriveSlots];

    DriveInfo& Drive(int k) const { return drives->Shown(static_cast<DWORD>(k)); }
    // The drive number of page k: its slot, settings section and record.
    DWORD Slot(int k) const { return drives->shown[k]; }
    int PageCount() const { return static_cast<int>(drives->driveCount); }
};
