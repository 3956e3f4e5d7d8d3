// The cost of the drive pages: RefreshAllPages for 16 drives, one paint of a
// page (WM_PAINT copying its buffer), and beside them a bare BitBlt of the
// same size between the same kinds of DC, measured in the same run.
//
//   page_bench [ROUNDS]     (under Wine, on a display)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/appstate.h"
#include "app/maindialog.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "sim/blockbuilder.h"
#include "sim/simulator.h"
#include "smart/drivelocks.h"
#include "ui/header.h"
#include "ui/lists.h"
#include "ui/pages.h"
#include "ui/pagetexts.h"

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SimDrive BenchDrive(int number) {
    SimDrive drive;
    drive.number = number;
    drive.identify = BuildIdentify("BENCH DRIVE " + std::to_string(number), "SN" + std::to_string(number), "FW1",
                                   976773168);
    drive.smart = BuildAttributeTable({{0x01, 100, 100, 0}, {0x05, 100, 100, 0}, {0x09, 99, 99, 1234},
                                       {0xC2, 40, 30, 35}, {0xC4, 100, 100, 0}, {0xC5, 100, 100, 0},
                                       {0xC6, 100, 100, 0}, {0xC7, 100, 100, 0}});
    drive.thresholds = BuildThresholds({{0x01, 6}, {0x05, 36}});
    drive.temperatureCycle = {30, 35, 40, 45};
    return drive;
}

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The floor of a paint: a window without children whose WM_PAINT makes the
// same one BitBlt from a buffer of the same size.
HDC floorBuffer = nullptr;
int floorWidth = 0;
int floorHeight = 0;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return TRUE;
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, 0, 0, floorWidth, floorHeight, floorBuffer, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
}

void Report(const char* what, int rounds, double seconds) {
    std::printf("%-44s %8d rounds %10.1f us each\n", what, rounds, seconds / rounds * 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    Simulator sim;
    InstallDevices(&sim);
    for (int number = 0; number < 16; ++number) sim.AddDrive(BenchDrive(number));
    updateLock.Create(kUpdateLockName);
    networkLock.Create(kNetworkLockName);
    SetStartValues(appSettings);
    drives.Clear();
    app.instance = GetModuleHandleW(nullptr);
    HWND window = CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOW);
    Drain();
    std::printf("%u drives, page buffers %d x %d\n", static_cast<unsigned>(drives.driveCount), pages.skin.panelRect.cx,
                pages.skin.panelRect.cy);

    double start = Now();
    for (int i = 0; i < rounds; ++i) RefreshAllPages(pages, false);
    Report("RefreshAllPages, 16 drives", rounds, Now() - start);

    start = Now();
    for (int i = 0; i < rounds; ++i) DrawAllPages(pages);
    Report("  of which DrawAllPages, 16 drives", rounds, Now() - start);

    start = Now();
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < pages.PageCount(); ++k) ShowDriveTexts(pages, k);
    }
    Report("  of which the texts (panels, tips, tab)", rounds, Now() - start);

    start = Now();
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < pages.PageCount(); ++k) {
            UpdateAttributeValues(pages.pages[k].hPage, pages.Drive(k), appSettings, pages.pages[k].shownAttributes);
        }
    }
    Report("  of which the list values", rounds, Now() - start);

    // Fonts of 5,000 pixels asked for: they are made at most 200 high, so a
    // refresh costs what it costs with the usual fonts.
    for (LOGFONTA* font : {&appSettings.Fonts.Tab, &appSettings.Fonts.Large, &appSettings.Fonts.Middle,
                           &appSettings.Fonts.Small, &appSettings.Fonts.Graph}) {
        font->lfHeight = -5000;
    }
    CreateFonts(drawing, appSettings);
    ApplyFonts(pages);
    Drain();
    start = Now();
    for (int i = 0; i < rounds; ++i) RefreshAllPages(pages, false);
    Report("RefreshAllPages, fonts of -5000 asked for", rounds, Now() - start);
    SetStartValues(appSettings);
    CreateFonts(drawing, appSettings);
    ApplyFonts(pages);
    Drain();

    const HWND page = pages.pages[0].hPage;
    start = Now();
    for (int i = 0; i < rounds; ++i) {
        InvalidateRect(page, nullptr, FALSE);
        UpdateWindow(page);
    }
    Report("WM_PAINT of one page (invalidate + paint)", rounds, Now() - start);

    // The same copy without the page: a memory DC of the buffer's size into
    // the page's window DC.
    const PanelRect& panel = pages.skin.panelRect;
    HDC screen = GetDC(page);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, panel.cx, panel.cy);
    HGDIOBJ old = SelectObject(memory, bitmap);
    start = Now();
    for (int i = 0; i < rounds; ++i) {
        BitBlt(screen, 0, 0, panel.cx, panel.cy, memory, 0, 0, SRCCOPY);
        GdiFlush();
    }
    Report("bare BitBlt of the same size", rounds, Now() - start);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(page, screen);

    WNDCLASSW type = {};
    type.lpfnWndProc = FloorProc;
    type.hInstance = app.instance;
    type.lpszClassName = L"PageBenchFloor";
    RegisterClassW(&type);
    RECT placed;
    GetWindowRect(page, &placed);
    HWND floor = CreateWindowExW(0, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE, placed.left, placed.top,
                                 placed.right - placed.left, placed.bottom - placed.top, nullptr, nullptr,
                                 app.instance, nullptr);
    floorBuffer = pages.pages[1].backBuffer.Dc();
    floorWidth = panel.cx;
    floorHeight = panel.cy;
    Drain();
    start = Now();
    for (int i = 0; i < rounds; ++i) {
        InvalidateRect(floor, nullptr, FALSE);
        UpdateWindow(floor);
    }
    Report("WM_PAINT of a bare window, one BitBlt", rounds, Now() - start);
    DestroyWindow(floor);

    DestroyWindow(window);
    updateLock.Destroy();
    networkLock.Destroy();
    InstallDevices(nullptr);
    return 0;
}
