// The standard dialogs the commands ask the user with, replaceable so that
// tests can answer them without a dialog on the screen.
#pragma once

#include <windows.h>

struct Choosers {
    // The chosen colour, or the given one when cancelled.
    COLORREF (*colour)(COLORREF colour, HWND owner);
    // 1 when a font was chosen; it then replaces the font.
    int (*font)(LOGFONTA* font, HWND owner);
    // 1 when a file was chosen; the buffer of PATH_BUFFER_SIZE characters
    // then holds its path. It starts in the folder of the path it holds.
    int (*file)(HWND owner, char* path);
};

// The standard dialogs of the window utilities.
extern const Choosers kStandardChoosers;
// What the commands use; the standard dialogs unless a test replaced them.
extern Choosers choosers;
