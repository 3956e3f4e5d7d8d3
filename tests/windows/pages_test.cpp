// The drive pages of the running main window: tabs, lists and what the
// panels, tooltips and the clipboard hold, read back from the controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "drive/basiclist.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "sim/blockbuilder.h"
#include "smart/attributerows.h"
#include "ui/lists.h"
#include "ui/pagedialog.h"
#include "app/maindialog.h"
#include "ui/drawingresources.h"
#include "ui/pages.h"
#include "windows/page_fixture.h"

namespace {

using Pages = PageWindow;

std::string Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string TipText(const CTOOLTIP& tip) { return tip.Tool().lpszText != nullptr ? tip.Tool().lpszText : ""; }

}  // namespace

TEST(TabCaptions, DriveNumberAndLettersCutAtAWholeLetter) {
    char caption[kTabCaptionSize];
    TabCaption(0, "C: E:", caption);
    EXPECT_STREQ("00 (C: E:)", caption);
    TabCaption(1, "", caption);
    EXPECT_STREQ("01 ()", caption);
    TabCaption(15, "C: D: E: F: G: H: I: J: K:", caption);  // nine letters: 31 characters fit
    EXPECT_STREQ("15 (C: D: E: F: G: H: I: J: K:)", caption);
    TabCaption(2, "C: D: E: F: G: H: I: J: K: L: M: N:", caption);
    EXPECT_STREQ("02 (C: D: E: F: G: H: I: ...)", caption);
    EXPECT_LT(std::strlen(caption), kTabCaptionSize);
}

TEST_F(Pages, OneTabAndOnePagePerDriveInTheOrderFound) {
    ASSERT_EQ(4u, drives.driveCount);
    ASSERT_EQ(4, TabCount());
    EXPECT_EQ("00 (C: E:)", TabText(0));
    EXPECT_EQ("01 ()", TabText(1));
    EXPECT_EQ("03 (D:)", TabText(2));
    EXPECT_EQ("05 ()", TabText(3));
    // Attribute 0x05 counts the drive number: drive 0 is good, the others
    // have a reallocated sector each and more.
    EXPECT_EQ(HealthGood, TabImage(0));
    for (int k = 1; k < 4; ++k) EXPECT_EQ(HealthCaution, TabImage(k)) << k;
    EXPECT_EQ(drawing.statusImageList,
              reinterpret_cast<HIMAGELIST>(SendMessageW(pages.tabControl, TCM_GETIMAGELIST, 0, 0)));

    RECT area;
    GetClientRect(pages.tabControl, &area);
    SendMessageW(pages.tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(pages.tabControl, window_, reinterpret_cast<POINT*>(&area), 2);
    for (int k = 0; k < 4; ++k) {
        ASSERT_NE(nullptr, Page(k));
        RECT page;
        GetWindowRect(Page(k), &page);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&page), 2);
        EXPECT_TRUE(EqualRect(&area, &page)) << "page " << k << " lies over the tab's display area";
        EXPECT_EQ(k == 0, IsWindowVisible(Page(k)) != FALSE) << k;
    }

    SendMessageW(pages.tabControl, TCM_SETCURSEL, 2, 0);
    NMHDR change = {pages.tabControl, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    EXPECT_EQ(TRUE, Call(WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change)));
    EXPECT_EQ(2, pages.currentPage);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(k == 2, IsWindowVisible(Page(k)) != FALSE) << k;
}

TEST_F(Pages, ListsShowTheRecordAndARefreshKeepsTheUsersPlace) {
    const HWND basic = List(2, IDC_BASIC_LIST);
    const HWND attributes = List(2, IDC_ATTRIBUTE_LIST);
    EXPECT_EQ(kListExtendedStyles, static_cast<DWORD>(SendMessageW(attributes, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    const char* captions[] = {"ID", "Attribute", "Value", "Worst", "Warn", "Raw", "Flag"};
    const int widths[] = {30, 240, 44, 44, 44, 114, 108};
    for (int c = 0; c < 7; ++c) {
        char text[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(attributes, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(captions[c], text);
        EXPECT_EQ(widths[c], column.cx);
    }

    BasicRow basicRows[kBasicRows];
    ASSERT_EQ(kBasicRows, FillBasicRows(drives.Shown(2), 0, basicRows));
    ASSERT_EQ(static_cast<int>(kBasicRows), Rows(basic));
    for (DWORD r = 0; r < kBasicRows; ++r) {
        EXPECT_EQ(basicRows[r].label, Cell(basic, r, 0));
        EXPECT_EQ(basicRows[r].value, Cell(basic, r, 1));
    }
    ASSERT_EQ(4, Rows(attributes));
    EXPECT_EQ("05", Cell(attributes, 1, 0));
    EXPECT_EQ("Reallocated sector count", Cell(attributes, 1, 1));
    EXPECT_EQ("100", Cell(attributes, 1, 2));
    EXPECT_EQ(" 36", Cell(attributes, 1, 4));
    EXPECT_EQ("00 00 00 00 00 03", Cell(attributes, 1, 5));

    // The user's place in the list survives a poll that changes values.
    ListView_SetItemState(attributes, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    sim_.Drive(3)->changes.push_back({1, 0x05, 0x0102030405ULL, 90, 80});
    Refresh();
    EXPECT_EQ(" 90", Cell(attributes, 1, 2));
    EXPECT_EQ(" 80", Cell(attributes, 1, 3));
    EXPECT_EQ("00 01 02 03 04 05", Cell(attributes, 1, 5));
    EXPECT_EQ(3, ListView_GetNextItem(attributes, -1, LVNI_SELECTED));

    // A drive that now reports other attributes gets its rows rebuilt; a
    // pending sector makes it dangerous.
    sim_.Drive(3)->smart = BuildAttributeTable({{0xC2, 40, 30, 41}, {0xC5, 100, 100, 2}});
    Refresh();
    ASSERT_EQ(2, Rows(attributes));
    EXPECT_EQ("C2", Cell(attributes, 0, 0));
    EXPECT_EQ("Temperature", Cell(attributes, 0, 1));
    EXPECT_EQ("00 00 00 00 00 29", Cell(attributes, 0, 5));
    EXPECT_EQ("Current pending sector count", Cell(attributes, 1, 1));
    EXPECT_EQ(HealthDanger, TabImage(2));
    EXPECT_NE(std::string::npos, TipText(pages.pages[2].panelTips[3]).find("Current pending sector count : 2"));

    appSettings.View.Decimal = 1;
    RefreshAllPages(pages, true);
    EXPECT_EQ("194", Cell(attributes, 0, 0));
}

TEST_F(Pages, PanelTextsTooltipsAndTheClipboard) {
    const DriveInfo& drive = drives.Shown(0);
    char text[128];
    GetDlgItemTextA(Page(0), IDC_FIRMWARE, text, sizeof text);
    EXPECT_STREQ("FW1", text);
    GetDlgItemTextA(Page(0), IDC_SERIAL, text, sizeof text);
    EXPECT_STREQ("SN0", text);
    GetDlgItemTextA(Page(0), IDC_SUMMARY, text, sizeof text);
    EXPECT_STREQ(drive.texts.summary, text);
    EXPECT_EQ(0, std::strncmp("DRIVE 0", text, 7));
    // Disk 0 holds C: (25 of 100 GB free) and E: (75 of 100): half used.
    EXPECT_STREQ("50%", pages.pages[0].usageBar.Text());
    EXPECT_EQ(50.0, pages.pages[0].usageBar.Value());
    EXPECT_EQ("51 Day", TipText(pages.pages[0].panelTips[5]));
    EXPECT_EQ(std::string(drive.texts.freeSpace), TipText(pages.pages[0].panelTips[6]));

    // Inside the firmware panel: copied, even while the identity is hidden.
    drives.hideIdentity = 1;
    const RECT firmware = Control(0, IDC_FIRMWARE);
    SendMessageW(Page(0), WM_LBUTTONDBLCLK, 0, MAKELPARAM(firmware.left + 1, firmware.top + 1));
    EXPECT_EQ("FW1", Clipboard());
    Drain();
    // On its border: not a hit, so the main window gets it (and toggles
    // the tray, as a double-click on a window without caption does).
    appSettings.Global.Title = 0;
    SendMessageW(Page(0), WM_LBUTTONDBLCLK, 0, MAKELPARAM(firmware.left, firmware.top + 5));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window_, WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK, PM_REMOVE));
    EXPECT_EQ(MAKELPARAM(firmware.left, firmware.top + 5), static_cast<LPARAM>(msg.lParam));
    EXPECT_EQ("FW1", Clipboard());
}

TEST_F(Pages, EveryPageIsGivenBackAtTeardown) {
    SendMessageW(pages.tabControl, TCM_SETCURSEL, 2, 0);
    NMHDR change = {pages.tabControl, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    Call(WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change));
    HWND tip = pages.pages[1].panelTips[0].Window();
    ASSERT_TRUE(IsWindow(tip));
    DestroyWindow(window_);
    window_ = nullptr;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(nullptr, pages.pages[k].hPage);
        EXPECT_EQ(nullptr, pages.pages[k].backBuffer.Dc()) << "page " << k << "'s buffer";
        for (const CTOOLTIP& t : pages.pages[k].panelTips) EXPECT_EQ(nullptr, t.Window());
    }
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(nullptr, pages.skin.skinBuffer.Dc());
    EXPECT_EQ(nullptr, drawing.imageListUser);
}

TEST_F(Pages, FontsAndImageListsReachTheTabsAndPagesAgainAfterARebuild) {
    auto fontOf = [](HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); };
    EXPECT_EQ(drawing.tabFont.Handle(), fontOf(pages.tabControl));
    EXPECT_EQ(drawing.smallFont.Handle(), fontOf(List(1, IDC_ATTRIBUTE_LIST)));
    EXPECT_EQ(drawing.middleFont.Handle(), pages.pages[1].usageBar.font);

    appSettings.Fonts.Tab.lfHeight = -25;
    appSettings.Fonts.Small.lfHeight = -15;
    CreateFonts(drawing, appSettings);
    ApplyFonts(pages);
    EXPECT_EQ(drawing.tabFont.Handle(), fontOf(pages.tabControl));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(drawing.smallFont.Handle(), fontOf(List(k, IDC_BASIC_LIST))) << k;
        EXPECT_EQ(drawing.middleFont.Handle(), pages.pages[k].usageBar.font) << k;
    }
    // Taller tabs: the pages move down with the display area.
    RECT area;
    GetClientRect(pages.tabControl, &area);
    SendMessageW(pages.tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(pages.tabControl, window_, reinterpret_cast<POINT*>(&area), 2);
    RECT page;
    GetWindowRect(Page(3), &page);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(area.top, page.top);

    drives.Shown(1).status = HealthDanger;  // as the debug commands set it
    BuildStatusImageList(drawing, appSettings, app.instance);
    SetAllTabImages(pages);
    EXPECT_EQ(drawing.statusImageList,
              reinterpret_cast<HIMAGELIST>(SendMessageW(pages.tabControl, TCM_GETIMAGELIST, 0, 0)));
    EXPECT_EQ(HealthDanger, TabImage(1));
}

TEST_F(Pages, AMissingSkinOrIconSetAtStartSwitchesItselfOff) {
    DestroyWindow(window_);
    const std::string ini = scratch_.SettingsFile();
    WritePrivateProfileStringA("Global", "Run", "1", ini.c_str());
    WritePrivateProfileStringA("Skin", "Enable", "1", ini.c_str());
    WritePrivateProfileStringA("Skin", "File", "no-such-skin.png", ini.c_str());
    WritePrivateProfileStringA("Icon", "Enable", "1", ini.c_str());
    WritePrivateProfileStringA("Global", "Path", scratch_.Dir().Root().c_str(), ini.c_str());
    SetStartValues(appSettings);
    window_ = CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    Drain();
    EXPECT_EQ(0, appSettings.Skin.Enable);
    EXPECT_EQ(0, appSettings.Icon.Enable);
    EXPECT_FALSE(pages.skin.skinLoaded);
    ASSERT_EQ(4, TabCount());
    const PanelRect& panel = pages.skin.panelRect;
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Buffer(0)->At(panel.cx - 3, panel.cy - 3)) << "drawn on the plain background";
    char text[16] = "";
    GetPrivateProfileStringA("Skin", "Enable", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ("1", text) << "corrected in memory only";
}
