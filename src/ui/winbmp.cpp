#include "ui/winbmp.h"

WINBMP::~WINBMP() { Reset(); }

void WINBMP::Reset() {
    // Deleting the DC first is what frees the selection: the bitmap the DC
    // was created with is never selected back.
    DeleteDc();
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    ForgetBitmap();
}

void WINBMP::DeleteDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
    dc_ = nullptr;
}

void WINBMP::ForgetBitmap() {
    bitmap_ = nullptr;
    info_ = BITMAP();
}

bool WINBMP::CreateDc() {
    dc_ = CreateCompatibleDC(nullptr);
    return dc_ != nullptr;
}

void WINBMP::Select(HBITMAP bitmap) {
    bitmap_ = bitmap;
    SelectObject(dc_, bitmap_);
    GetObjectA(bitmap_, sizeof info_, &info_);
}

bool WINBMP::LoadBitmapImage(HINSTANCE instance, LPCSTR name, UINT loadFlags) {
    Reset();
    if (!CreateDc()) return false;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, loadFlags));
    if (bitmap == nullptr) {
        DeleteDc();
        return false;
    }
    Select(bitmap);
    return true;
}
