#include "ui/skin.h"

#include <algorithm>

#include "ui/drivepages.h"
#include "ui/header.h"

bool Skin::LoadSkin(HWND window, const AppSettings& settings) {
    if (!GetClientRect(window, &clientRect)) SetRectEmpty(&clientRect);
    panelRect.x = clientRect.left;
    panelRect.y = clientRect.top;
    panelRect.cx = clientRect.right - clientRect.left;
    panelRect.cy = clientRect.bottom - clientRect.top;

    if (!skinBuffer.CreateBuffer(window, panelRect.cx, panelRect.cy)) return false;
    if (!skinImage.LoadImageFile(settings.Skin.File)) {
        skinBuffer.Reset();
        return false;
    }
    const HDC target = skinBuffer.Dc();
    const BITMAP& image = skinImage.Info();
    if (settings.Skin.Stretch) {
        SetStretchBltMode(target, image.bmBitsPixel > 2 ? HALFTONE : BLACKONWHITE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, panelRect.x, panelRect.y, panelRect.cx, panelRect.cy, skinImage.Dc(), 0, 0, image.bmWidth,
                   image.bmHeight, SRCCOPY);
    } else {
        // Where the image is smaller than the page, the page's own
        // background shows rather than whatever the new buffer held.
        SetDCBrushColor(target, GetSysColor(COLOR_BTNFACE));
        FillRect(target, &clientRect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        const int cx = std::min<int>(image.bmWidth, panelRect.cx);
        const int cy = std::min<int>(image.bmHeight, panelRect.cy);
        BitBlt(target, panelRect.x, panelRect.y, cx, cy, skinImage.Dc(), 0, 0, SRCCOPY);
    }
    return true;
}

void Skin::FreeSkin() {
    skinImage.Reset();
    skinBuffer.Reset();
}

void ReloadSkin(DrivePages& pages) {
    AppSettings& settings = *pages.settings;
    pages.skin.FreeSkin();
    pages.skin.skinLoaded = pages.skin.LoadSkin(pages.tabControl, settings);
    if (settings.Skin.Enable && !pages.skin.skinLoaded) settings.Skin.Enable = 0;
    DrawAllPages(pages);
}
