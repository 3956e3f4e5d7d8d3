// PNG files as DIB sections, for the skin.
#pragma once

#include <windows.h>

// A 24-bit (no transparency) or 32-bit (alpha kept as it is, not
// premultiplied) bottom-up DIB section of the file's image, or null when the
// file cannot be opened or decoded.
HBITMAP LoadPngFile(const char* path);
