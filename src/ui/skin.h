// The skin: an image file drawn behind every drive page's header. It is
// decoded and scaled once per load into a buffer of the page size, so that
// drawing a header only copies that buffer.
#pragma once

#include <windows.h>

#include "settings/appsettings.h"
#include "ui/winimg.h"
#include "ui/winmemdc.h"

// A rectangle as origin and size.
struct PanelRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DrivePages;

class Skin {
public:
    // Takes the client rectangle of the window (the tab control) as the
    // page size whether or not the image loads, then loads Skin.File and
    // renders it at that size: stretched with Skin.Stretch, else at its own
    // size from the top-left corner. False when there is no buffer or the
    // file does not load; then nothing is held.
    bool LoadSkin(HWND window, const AppSettings& settings);
    void FreeSkin();

    bool skinLoaded = false;
    WINIMG skinImage;
    WINMEMDC skinBuffer;
    RECT clientRect = {};
    PanelRect panelRect;
};

// Skin.File loaded again: a skin that does not load switches Skin.Enable
// off; every header is redrawn.
void ReloadSkin(DrivePages& pages);
