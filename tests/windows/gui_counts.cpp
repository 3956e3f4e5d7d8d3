#include "windows/gui_counts.h"

#include <cstdlib>

namespace {

const UINT_PTR kHandleIndices = 0x10000;

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountOwnWindow, count);
    }
    return TRUE;
}

DWORD ProbeGdiObjects() {
    DWORD count = 0;
    for (UINT_PTR index = 1; index < kHandleIndices; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    }
    return count;
}

// Icons and cursors (GetIconInfo answers only for those; the copies of
// their bitmaps it hands out are given back at once), and windows.
DWORD ProbeUserObjects() {
    DWORD count = 0;
    for (UINT_PTR index = 1; index < kHandleIndices; ++index) {
        ICONINFO info;
        if (GetIconInfo(reinterpret_cast<HICON>(index), &info)) {
            ++count;
            if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
            if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
        }
    }
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

GuiCounts CountGuiObjects() {
    HANDLE process = GetCurrentProcess();
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    if (gdi != 0 && user != 0) return {gdi, user};
    return {ProbeGdiObjects(), ProbeUserObjects()};
}

int LeakRounds() {
    const char* asked = std::getenv("VELDAKOR_SOAK_ROUNDS");
    const int rounds = asked != nullptr ? std::atoi(asked) : 0;
    return rounds > 0 ? rounds : 100;
}
