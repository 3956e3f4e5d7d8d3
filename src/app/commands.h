// The commands of the main window (WM_COMMAND 32770..32930).
#pragma once

#include <windows.h>

// Runs one command: TRUE for every command there is (also when the user
// cancels its dialog or answers No), FALSE for the unassigned ids.
INT_PTR DispatchCommand(HWND window, WORD command);
