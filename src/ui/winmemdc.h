// An off-screen buffer compatible with a window: drawn into, then copied to
// the screen in one BitBlt.
#pragma once

#include <windows.h>

class WINMEMDC {
public:
    WINMEMDC() = default;
    virtual ~WINMEMDC();
    WINMEMDC(const WINMEMDC&) = delete;
    WINMEMDC& operator=(const WINMEMDC&) = delete;

    // Replaces the buffer with one of cx x cy pixels compatible with the
    // window's DC. The contents are undefined until drawn. False when the
    // window's DC, the memory DC or the bitmap cannot be had, and then the
    // object holds nothing.
    bool CreateBuffer(HWND window, int cx, int cy);

    // Releases the DC, then the bitmap.
    void Reset();

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return cx_; }
    int Height() const { return cy_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    int cx_ = 0;
    int cy_ = 0;
};
