// The commands of the main window (WM_COMMAND 32770..32930).
#pragma once

#include <windows.h>

// Runs one command; the result is the dialog procedure's.
INT_PTR DispatchCommand(HWND window, WORD command);
