// The two lists of a drive page: the Basic list (the version reply and the
// IDENTIFY words) and the Attribute list (one row per SMART attribute).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "settings/appsettings.h"
#include "smart/attributerows.h"
#include "smart/driveinfo.h"

// Grid lines, columns that can be dragged, whole rows selected.
const DWORD kListExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

// What a page's Attribute list shows, kept beside it: comparing with it is
// much cheaper than asking the list for its cells.
struct ShownAttributes {
    DWORD count = 0;
    AttributeRow rows[kAttributeEntries];
};

// Styles and columns of both lists of a new page.
void SetupListColumns(HWND page);

// Both lists rebuilt from the drive; a list whose data the drive does not
// have keeps its rows. The selected row and the scroll position stay; shown
// takes what the Attribute list now shows.
void FillLists(HWND page, const DriveInfo& drive, const AppSettings& settings, DWORD hideIdentity,
               ShownAttributes& shown);

// The value columns of the Attribute list rewritten where they changed, so
// that a refresh neither flickers nor moves the selection. When the drive
// now reports other attributes than the rows show, the rows are rebuilt.
void UpdateAttributeValues(HWND page, const DriveInfo& drive, const AppSettings& settings, ShownAttributes& shown);
