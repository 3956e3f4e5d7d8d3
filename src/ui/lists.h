// The two lists of a drive page: the Basic list (the version reply and the
// IDENTIFY words) and the Attribute list (one row per SMART attribute).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "settings/appsettings.h"
#include "smart/driveinfo.h"

// Grid lines, columns that can be dragged, whole rows selected.
const DWORD kListExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

// Styles and columns of both lists of a new page.
void SetupListColumns(HWND page);

// Both lists rebuilt from the drive; a list whose data the drive does not
// have keeps its rows. The selected row and the scroll position stay.
void FillLists(HWND page, const DriveInfo& drive, const AppSettings& settings, DWORD hideIdentity);

// The value columns of the Attribute list rewritten where they changed, so
// that a refresh neither flickers nor moves the selection. When the drive
// now reports other attributes than the rows show, the rows are rebuilt.
void UpdateAttributeValues(HWND page, const DriveInfo& drive, const AppSettings& settings);
