// The dialog procedure of a drive page (dialog 201).
#pragma once

#include <windows.h>

#include "ui/drivepages.h"

// Made with CreateDialogParam and the DrivePages as its parameter; the page
// built is pages.currentPage.
INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A double-click strictly inside the summary, firmware or serial panel puts
// that panel's text on the clipboard; anywhere else it goes to the main
// window.
void CopyPanelText(HWND page, WPARAM wParam, LPARAM lParam);
