#include "windows/page_fixture.h"

#include <shlobj.h>

#include <cstring>

#include "app/commandids.h"
#include "app/maindialog.h"
#include "common/drive_blocks.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "smart/drivelocks.h"

HGLOBAL DropOf(const std::string& path) {
    const std::string files = path + std::string(2, '\0');
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + files.size());
    DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), files.data(), files.size());
    GlobalUnlock(block);
    return block;
}

HWND OpenMainWindow() {
    updateLock.Create(kUpdateLockName);
    networkLock.Create(kNetworkLockName);
    SetStartValues(appSettings);
    drives.Clear();
    drives.hideIdentity = 0;  // as a new process starts
    app = AppState();
    app.instance = GetModuleHandleW(nullptr);
    return CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
}

void CloseMainWindow(HWND window) {
    if (window != nullptr) DestroyWindow(window);
    updateLock.Destroy();
    networkLock.Destroy();
}

PageWindow::PageWindow() : scratch_("pages") {
    previous_ = InstallDevices(&sim_);
    for (int number : {0, 1, 3, 5}) sim_.AddDrive(TestDrive(number, "DRIVE " + std::to_string(number)));
    const ULONGLONG gigabyte = 1000000000ULL;
    sim_.AddVolume(SimVolumeOnDisk('C', 100 * gigabyte, 25 * gigabyte, 0));
    sim_.AddVolume(SimVolumeOnDisk('E', 100 * gigabyte, 75 * gigabyte, 0));
    sim_.AddVolume(SimVolumeOnDisk('D', 10 * gigabyte, 5 * gigabyte, 3));
    window_ = OpenMainWindow();
    ShowWindow(window_, SW_SHOW);
    Drain();
}

PageWindow::~PageWindow() {
    CloseMainWindow(window_);
    InstallDevices(previous_);
}

void PageWindow::Drain() {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message != WM_TIMER) DispatchMessageW(&msg);
    }
}

INT_PTR PageWindow::Call(UINT message, WPARAM wParam, LPARAM lParam) {
    return MainDialogProc(window_, message, wParam, lParam);
}

void PageWindow::Refresh() { Call(WM_COMMAND, kCommandRefresh); }

int PageWindow::TabCount() const { return static_cast<int>(SendMessageW(pages.tabControl, TCM_GETITEMCOUNT, 0, 0)); }

std::string PageWindow::TabText(int k) const {
    char text[64] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(pages.tabControl, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
    return text;
}

int PageWindow::TabImage(int k) const {
    TCITEMA item = {};
    item.mask = TCIF_IMAGE;
    if (!SendMessageA(pages.tabControl, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item))) return -2;
    return item.iImage;
}

int PageWindow::Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string PageWindow::Cell(HWND list, int row, int column) {
    char text[128] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT PageWindow::Control(int k, int id) const {
    RECT rect = {};
    HWND control = GetDlgItem(Page(k), id);
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, Page(k), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::unique_ptr<Canvas> PageWindow::Buffer(int k) const {
    const PanelRect& panel = pages.skin.panelRect;
    std::unique_ptr<Canvas> canvas(new Canvas(panel.cx, panel.cy));
    BitBlt(canvas->Dc(), 0, 0, panel.cx, panel.cy, pages.pages[k].backBuffer.Dc(), 0, 0, SRCCOPY);
    return canvas;
}

int PageWindow::CountIn(const Canvas& canvas, const RECT& rect, COLORREF colour) {
    int count = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) count += canvas.At(x, y) == colour ? 1 : 0;
    }
    return count;
}
