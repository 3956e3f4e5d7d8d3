// A bitmap selected into a memory DC of its own, ready to be copied from.
#pragma once

#include <windows.h>

class WINBMP {
public:
    WINBMP() = default;
    virtual ~WINBMP();
    WINBMP(const WINBMP&) = delete;
    WINBMP& operator=(const WINBMP&) = delete;

    // A bitmap resource (name = MAKEINTRESOURCE id) or, with LR_LOADFROMFILE
    // and a null instance, a .BMP file. Begins with a reset; false leaves the
    // object empty.
    bool LoadBitmapImage(HINSTANCE instance, LPCSTR name, UINT loadFlags);

    // Releases the DC, then the bitmap, and clears the description.
    void Reset();

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    // Type, size, bytes per line, planes and bits per pixel of the bitmap.
    const BITMAP& Info() const { return info_; }

protected:
    // Selects the loaded bitmap into the DC and describes it.
    void Select(HBITMAP bitmap);
    // The DC of a new load; false when none could be made.
    bool CreateDc();
    void DeleteDc();
    void ForgetBitmap();

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    BITMAP info_ = {};
};
