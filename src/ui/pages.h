// Making, laying out, showing and refreshing the drive pages and their tabs.
#pragma once

#include <windows.h>

#include "ui/drivepages.h"

// Tab captions hold at most this many characters.
const size_t kTabCaptionSize = 32;

// "%02d (%s)" of the drive number and its volume letters. Letters that do
// not fit end in " ..." after the last whole letter that does.
void TabCaption(DWORD driveNumber, const char* letters, char (&caption)[kTabCaptionSize]);

// One tab and one page per drive found, in the order found; tab 0 is
// selected and page 0 shown. The tab control shows the status image list.
void CreatePages(DrivePages& pages);
// The tooltips and the gauge's tools of every page, then the page windows.
void DestroyPages(DrivePages& pages);

// Page k over the tab control's display area.
void LayoutPage(DrivePages& pages, int k);
// Page k shown, every other one hidden.
void ShowPage(DrivePages& pages, int k);

// Tab k's icon is its drive's status.
void SetTabImage(DrivePages& pages, int k);
void SetAllTabImages(DrivePages& pages);

// The tab font, then every page laid out again (tabs change height).
void SetTabFont(DrivePages& pages);
// The middle font to the usage panel, the small one to both lists.
void SetPageFonts(HWND page, const DrawingResources& drawing);
// After the fonts were made again: tabs, pages and gauges take them.
void ApplyFonts(DrivePages& pages);

// Both lists of every page shown or hidden by View.Basic and View.Attribute;
// the callers redraw the headers so that the graph takes a hidden list's place.
void ShowLists(DrivePages& pages);

// For every page: disk totals, the evaluation, its texts on the page, the
// header drawn, then the lists rebuilt (full) or only their values updated.
void RefreshAllPages(DrivePages& pages, bool full);
