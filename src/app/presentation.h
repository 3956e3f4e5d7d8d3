// The main window's two presentation states, kept in Global.TaskTray: shown,
// or in the tray (hidden, with no taskbar button).
#pragma once

#include <windows.h>

void MoveToTray(HWND window);
void ComeBackFromTray(HWND window);

// Places the window at Global.X, Global.Y, or centres it when both are -1.
void PlaceWindow(HWND window);
