// The window timer that makes an over-temperature drive's status picture
// blink.
#pragma once

#include <windows.h>

// Starts timer 1 with the period Temperature.Timer; false when it failed.
bool StartBlinkTimer(HWND window);
void StopBlinkTimer(HWND window);

// One tick (WM_TIMER); a tick of another timer is reported as an error.
void BlinkStep(HWND window, WPARAM timerId);
