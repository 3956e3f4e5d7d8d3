// The four profile operations every settings access goes through: the
// platform's own on Windows, the program's text profile layer elsewhere.
// A bare file name is resolved by the layer: the Windows directory on
// Windows, the current directory on native builds.
#pragma once

#include "base/wintypes.h"

UINT ProfileReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file);
DWORD ProfileReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file);
BOOL ProfileWriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
BOOL ProfileWriteSection(LPCSTR section, LPCSTR keys, LPCSTR file);
