#include "ui/winmemdc.h"

WINMEMDC::~WINMEMDC() { Reset(); }

void WINMEMDC::Reset() {
    if (dc_ != nullptr) DeleteDC(dc_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    cx_ = 0;
    cy_ = 0;
}

bool WINMEMDC::CreateBuffer(HWND window, int cx, int cy) {
    Reset();
    HDC windowDc = GetDC(window);
    if (windowDc == nullptr) return false;
    dc_ = CreateCompatibleDC(windowDc);
    bitmap_ = CreateCompatibleBitmap(windowDc, cx, cy);
    if (dc_ == nullptr || bitmap_ == nullptr) {
        ReleaseDC(window, windowDc);
        Reset();
        return false;
    }
    SelectObject(dc_, bitmap_);
    ReleaseDC(window, windowDc);
    cx_ = cx;
    cy_ = cy;
    return true;
}
