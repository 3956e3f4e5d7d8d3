#include "ui/pages.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "base/windowutil.h"
#include "drive/volumes.h"
#include "res/resource.h"
#include "smart/evaluation.h"
#include "ui/header.h"
#include "ui/lists.h"
#include "ui/pagedialog.h"
#include "ui/pagetexts.h"

namespace {

const char kMoreLetters[] = " ...";

bool HasPage(const DrivePages& pages, int k) {
    return k >= 0 && k < pages.PageCount() && pages.pages[k].hPage != nullptr;
}

void InsertTab(DrivePages& pages, int k) {
    char caption[kTabCaptionSize];
    TabCaption(pages.Slot(k), pages.Drive(k).summary.driveLetters, caption);
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption;
    item.iImage = HealthError;
    SendMessageA(pages.tabControl, TCM_INSERTITEMA, k, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void TabCaption(DWORD driveNumber, const char* letters, char (&caption)[kTabCaptionSize]) {
    const int written = std::snprintf(caption, sizeof caption, "%02u (%s)", static_cast<unsigned>(driveNumber), letters);
    if (written >= 0 && static_cast<size_t>(written) < sizeof caption) return;
    // "NN (" and " ...)" around as many whole letters as fit.
    const size_t room = sizeof caption - 1 - 4 - (sizeof kMoreLetters - 1) - 1;
    size_t cut = 0;
    for (size_t i = 0; letters[i] != '\0' && i <= room; ++i) {
        if (letters[i] == ' ') cut = i;
    }
    std::snprintf(caption, sizeof caption, "%02u (%.*s%s)", static_cast<unsigned>(driveNumber),
                  static_cast<int>(cut), letters, kMoreLetters);
}

void CreatePages(DrivePages& pages) {
    for (int k = 0; k < pages.PageCount(); ++k) {
        pages.currentPage = k;
        InsertTab(pages, k);
        DrivePage& page = pages.pages[k];
        page.hPage = CreateDialogParamA(pages.instance, MAKEINTRESOURCEA(IDD_PAGE), pages.mainWindow, PageDialogProc,
                                        reinterpret_cast<LPARAM>(&pages));
        if (page.hPage != nullptr) {
            LayoutPage(pages, k);
        } else {
            // No page to show it, but the status service still reports it.
            RefreshDrive(*pages.drives, pages.Slot(k), *pages.settings);
            SetTabImage(pages, k);
        }
    }
    pages.drawing->imageListUser = pages.tabControl;
    SendMessageA(pages.tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pages.drawing->statusImageList));
    pages.currentPage = 0;
    SendMessageA(pages.tabControl, TCM_SETCURSEL, 0, 0);
    ShowPage(pages, 0);
}

void DestroyPages(DrivePages& pages) {
    for (DrivePage& page : pages.pages) {
        for (CTOOLTIP& tip : page.panelTips) tip.Destroy();
        page.usageBar.DeleteTools();
        if (page.hPage != nullptr) DestroyWindow(page.hPage);
        page.hPage = nullptr;
        page.usageBar.parent = nullptr;
        page.usageBar.control = nullptr;
        page.shownAttributes.count = 0;
    }
    if (pages.drawing != nullptr && pages.drawing->imageListUser == pages.tabControl) {
        pages.drawing->imageListUser = nullptr;
    }
}

void LayoutPage(DrivePages& pages, int k) {
    if (!HasPage(pages, k)) return;
    RECT area;
    GetClientRect(pages.tabControl, &area);
    SendMessageA(pages.tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(pages.tabControl, GetParent(pages.tabControl), reinterpret_cast<POINT*>(&area), 2);
    MoveWindow(pages.pages[k].hPage, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
}

void ShowPage(DrivePages& pages, int k) {
    for (int i = 0; i < pages.PageCount(); ++i) {
        if (pages.pages[i].hPage != nullptr) ShowWindow(pages.pages[i].hPage, i == k ? SW_SHOW : SW_HIDE);
    }
}

void SetTabImage(DrivePages& pages, int k) {
    char text[kTabCaptionSize] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!SendMessageA(pages.tabControl, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item))) return;
    const int status = static_cast<int>(pages.Drive(k).status);
    // Each poll sets it: only a change repaints the tabs.
    if (item.iImage == status) return;
    item.iImage = status;
    SendMessageA(pages.tabControl, TCM_SETITEMA, k, reinterpret_cast<LPARAM>(&item));
}

void SetAllTabImages(DrivePages& pages) {
    for (int k = 0; k < pages.PageCount(); ++k) SetTabImage(pages, k);
    SendMessageA(pages.tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pages.drawing->statusImageList));
}

void SetTabFont(DrivePages& pages) {
    SendMessageA(pages.tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(pages.drawing->tabFont.Handle()), FALSE);
    for (int k = 0; k < pages.PageCount(); ++k) LayoutPage(pages, k);
}

void SetPageFonts(HWND page, const DrawingResources& drawing) {
    SendDlgItemMessageA(page, IDC_DISK_USAGE, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.middleFont.Handle()), FALSE);
    const WPARAM small = reinterpret_cast<WPARAM>(drawing.smallFont.Handle());
    SendDlgItemMessageA(page, IDC_BASIC_LIST, WM_SETFONT, small, FALSE);
    SendDlgItemMessageA(page, IDC_ATTRIBUTE_LIST, WM_SETFONT, small, FALSE);
}

void ApplyFonts(DrivePages& pages) {
    SetTabFont(pages);
    for (int k = 0; k < pages.PageCount(); ++k) {
        DrivePage& page = pages.pages[k];
        if (page.hPage == nullptr) continue;
        SetPageFonts(page.hPage, *pages.drawing);
        CPROGBAR& bar = page.usageBar;
        if (bar.parent == nullptr || bar.control == nullptr) continue;
        bar.font = reinterpret_cast<HFONT>(SendMessageA(bar.control, WM_GETFONT, 0, 0));
        RECT rect;
        if (bar.GetControlRect(&rect)) InvalidateRect(page.hPage, &rect, TRUE);
    }
    // The fonts were set without redraw and the pages moved without repaint,
    // and a page's own invalidation stops at its children (WS_CLIPCHILDREN):
    // the tabs, the pages and the lists are painted anew once, all together.
    RedrawWindow(pages.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ShowLists(DrivePages& pages) {
    const AppSettings::ViewKeys& view = pages.settings->View;
    for (int k = 0; k < pages.PageCount(); ++k) {
        const HWND page = pages.pages[k].hPage;
        if (page == nullptr) continue;
        ShowWindow(GetDlgItem(page, IDC_BASIC_LIST), view.Basic ? SW_SHOW : SW_HIDE);
        ShowWindow(GetDlgItem(page, IDC_ATTRIBUTE_LIST), view.Attribute ? SW_SHOW : SW_HIDE);
    }
    if (HasPage(pages, pages.currentPage)) {
        InvalidateRect(pages.pages[pages.currentPage].hPage, &pages.skin.clientRect, FALSE);
    }
}

void RefreshAllPages(DrivePages& pages, bool full) {
    for (int k = 0; k < pages.PageCount(); ++k) {
        DriveInfo& drive = pages.Drive(k);
        SumDiskSpace(drive);
        RefreshDrive(*pages.drives, pages.Slot(k), *pages.settings);
        ShowDriveTexts(pages, k);
        DrawPage(pages, k);
        DrivePage& page = pages.pages[k];
        if (page.hPage == nullptr) continue;
        if (full) {
            FillLists(page.hPage, drive, *pages.settings, pages.drives->hideIdentity, page.shownAttributes);
        } else {
            UpdateAttributeValues(page.hPage, drive, *pages.settings, page.shownAttributes);
        }
    }
}
