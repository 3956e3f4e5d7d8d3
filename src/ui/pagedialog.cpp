#include "ui/pagedialog.h"

#include "base/msgbox.h"
#include "base/windowutil.h"
#include "res/resource.h"
#include "smart/evaluation.h"
#include "ui/header.h"
#include "ui/lists.h"
#include "ui/pages.h"
#include "ui/pagetexts.h"

namespace {

const char kBackBufferFailed[] = "メモリデバイスコンテキストの確保に失敗しました。";
const size_t kPanelTextSize = 128;
// The gauge draws only its bar; the page draws the percentage with the
// other panels' font, shadow and frame.
const int kGaugeTextFromOwner = 3;

DrivePages* PagesOf(HWND page) { return reinterpret_cast<DrivePages*>(GetWindowLongPtrA(page, DWLP_USER)); }
int IndexOf(HWND page) { return static_cast<int>(GetWindowLongPtrA(page, GWLP_USERDATA)); }

void SetupPanelTips(DrivePages& pages, HWND page, DrivePage& drivePage) {
    const AppSettings::LabelsKeys& labels = pages.settings->Labels;
    const struct {
        int control;
        int icon;
        const char* title;
    } tips[kPanelTips] = {
        {IDC_SUMMARY, IDI_TIP_MODEL, labels.Model},
        {IDC_FIRMWARE, IDI_TIP_FIRMWARE, labels.FirmwareRevision},
        {IDC_SERIAL, IDI_TIP_SERIAL, labels.SerialNumber},
        {IDC_STATUS_IMAGE, IDI_TIP_CONDITION, labels.ConditionStatus},
        {IDC_TEMPERATURE, IDI_TIP_TEMPERATURE, labels.Temperature},
        {IDC_POWER_ON_TIME, IDI_TIP_POWER_ON_TIME, labels.PowerOnTime},
        {IDC_DISK_USAGE, IDI_TIP_DISK_USAGE, labels.DiskUsage},
    };
    for (int i = 0; i < kPanelTips; ++i) {
        SetupPanelTip(page, tips[i].control, drivePage.panelTips[i], tips[i].icon, tips[i].title);
    }
}

void SetupUsageBar(DrivePages& pages, HWND page, int k) {
    CPROGBAR& bar = pages.pages[k].usageBar;
    const HWND control = GetDlgItem(page, IDC_DISK_USAGE);
    if (control == nullptr) return;
    bar.control = control;
    bar.parent = page;
    ShowWindow(control, SW_HIDE);
    if (bar.InitColors()) bar.font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    ApplyBarColors(pages, k);
    bar.showText = 0;
    bar.showPeak = 0;
    bar.frame3D = 0;
    bar.transparent = 1;
    bar.textMode = kGaugeTextFromOwner;
    bar.maximum = 100.0;
}

// The lists sit at the same places on every page: the first page made
// gives them.
void TakeListRects(DrivePages& pages, HWND page) {
    if (!IsRectEmpty(&pages.listsRect)) return;
    if (!GetItemRect(IDC_BASIC_LIST, &pages.basicListRect, page)) return;
    if (!GetItemRect(IDC_ATTRIBUTE_LIST, &pages.attributeListRect, page)) return;
    pages.listsRect = {pages.basicListRect.left, pages.basicListRect.top, pages.attributeListRect.right,
                       pages.attributeListRect.bottom};
}

void InitPage(HWND page, DrivePages& pages) {
    const int k = pages.currentPage;
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(&pages));
    SetWindowLongPtrA(page, GWLP_USERDATA, k);
    DrivePage& drivePage = pages.pages[k];
    // CreateDialogParam returns only after this: the handle is wanted now.
    drivePage.hPage = page;

    SetPageFonts(page, *pages.drawing);
    if (!drivePage.backBuffer.CreateBuffer(page, pages.skin.panelRect.cx, pages.skin.panelRect.cy)) {
        ShowErrorBox(kBackBufferFailed);
    }
    SetupPanelTips(pages, page, drivePage);
    SetupUsageBar(pages, page, k);
    TakeListRects(pages, page);

    RefreshDrive(*pages.drives, pages.Slot(k), *pages.settings);
    ShowDriveTexts(pages, k);
    DrawPage(pages, k);
    SetupListColumns(page);
    FillLists(page, pages.Drive(k), *pages.settings, pages.drives->hideIdentity, drivePage.shownAttributes);
}

void PaintPage(HWND page) {
    const DrivePages* pages = PagesOf(page);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(page, &paint);
    if (dc != nullptr && pages != nullptr) {
        const PanelRect& panel = pages->skin.panelRect;
        BitBlt(dc, panel.x, panel.y, panel.cx, panel.cy, pages->pages[IndexOf(page)].backBuffer.Dc(), 0, 0, SRCCOPY);
    }
    EndPaint(page, &paint);
}

}  // namespace

void CopyPanelText(HWND page, WPARAM wParam, LPARAM lParam) {
    const LONG x = LOWORD(lParam);
    const LONG y = HIWORD(lParam);
    for (int control : {IDC_SUMMARY, IDC_FIRMWARE, IDC_SERIAL}) {
        RECT rect;
        if (!GetItemRect(control, &rect, page)) continue;
        if (rect.left < x && x < rect.right && rect.top < y && y < rect.bottom) {
            char text[kPanelTextSize] = "";
            GetDlgItemTextA(page, control, text, sizeof text);
            CopyTextToClipboard(text, page);
            return;
        }
    }
    PostMessageA(GetParent(page), WM_LBUTTONDBLCLK, wParam, lParam);
}

INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitPage(window, *reinterpret_cast<DrivePages*>(lParam));
            return FALSE;
        case WM_PAINT:
            PaintPage(window);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // every pixel comes from the buffer
        case WM_DESTROY: {
            DrivePages* pages = PagesOf(window);
            if (pages != nullptr) pages->pages[IndexOf(window)].backBuffer.Reset();
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_DROPFILES:
            PostMessageA(GetParent(window), message, wParam, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            CopyPanelText(window, wParam, lParam);
            return TRUE;
        default:
            return 0;
    }
}
