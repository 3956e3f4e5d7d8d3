// The about box: the running program's version values and the versions of
// the libraries linked into it.
#pragma once

#include <windows.h>

#include <string>

// Caption and style of the about box.
extern const char ABOUT_BOX_CAPTION[];
const UINT ABOUT_BOX_STYLE = MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND;

// The about text for the executable at the path. False, with the text left
// empty, when the file has no usable version information.
bool BuildAboutText(const char* exePath, std::string& text);

// Shows the about box of the running program, owned by the main window.
// Nothing is shown (0) when the program's version information cannot be read.
int ShowAboutBox(HWND owner);
