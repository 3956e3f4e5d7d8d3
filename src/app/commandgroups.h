// The command groups the dispatcher hands an id to. Each runs the commands
// of its group and returns false for any other id.
#pragma once

#include <windows.h>

// Refresh, hidden identity, thresholds, dumps and the debug states.
bool RunDriveCommand(HWND window, WORD command);
// The operation and display switches.
bool RunSwitchCommand(HWND window, WORD command);
// Colours, fonts and the skin.
bool RunLookCommand(HWND window, WORD command);
