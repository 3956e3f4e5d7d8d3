// Resource ids of Veldakor's dialogs, icons and bitmaps. Plain #defines, so
// that the resource compiler and C++ read the same file.
#pragma once

// Main window: one tab control, one page per drive laid over it.
#define IDD_MAIN 200
#define IDD_PAGE 201
#define IDC_TAB 1001

// Page header panels. They are never visible: their rectangles place the
// drawn header, and the first three hold the texts a double-click copies.
#define IDC_SUMMARY 1010
#define IDC_FIRMWARE 1011
#define IDC_SERIAL 1012
#define IDC_STATUS_IMAGE 1013
#define IDC_POWER_ON_TIME 1014
#define IDC_TEMPERATURE 1015
#define IDC_DISK_USAGE 1016

// Page lists.
#define IDC_BASIC_LIST 1100
#define IDC_ATTRIBUTE_LIST 1101

// Program icons: the big one with every size, and the 16-pixel one for the
// window's small icon and the tray.
#define IDI_PROGRAM 101
#define IDI_SMALL 102

// Tab icons, in health order (good, caution, danger, error): the icon of a
// state is IDI_STATUS_FIRST + state.
#define IDI_STATUS_FIRST 103
#define IDI_STATUS_GOOD 103
#define IDI_STATUS_CAUTION 104
#define IDI_STATUS_DANGER 105
#define IDI_STATUS_ERROR 106

// Title icons of the header panels' tooltips.
#define IDI_TIP_MODEL 110
#define IDI_TIP_FIRMWARE 111
#define IDI_TIP_SERIAL 112
#define IDI_TIP_CONDITION 113
#define IDI_TIP_POWER_ON_TIME 114
#define IDI_TIP_TEMPERATURE 115
#define IDI_TIP_DISK_USAGE 116

// Status pictures of the header, 115 x 115 at 24 bits, in health order with
// the hot picture last: the picture of a state is IDB_STATUS_FIRST + state.
#define IDB_STATUS_FIRST 150
#define IDB_STATUS_GOOD 150
#define IDB_STATUS_CAUTION 151
#define IDB_STATUS_DANGER 152
#define IDB_STATUS_ERROR 153
#define IDB_STATUS_HOT 154
