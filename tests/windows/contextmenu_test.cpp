// The context menu: its items, order, ids, check marks and hidden
// sub-menus as they are built, and opening it over and over.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/contextmenu.h"
#include "settings/appsettings.h"
#include "windows/gui_counts.h"
#include "windows/page_fixture.h"

namespace {

// One line per item, depth first: "DEPTH KIND ID CHECKED TEXT".
void ReadMenu(HMENU menu, int depth, std::vector<std::wstring>& lines) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &item));
        EXPECT_FALSE(item.fState & MFS_GRAYED) << "item " << i << " is greyed";
        const wchar_t* kind = (item.fType & MFT_SEPARATOR) ? L"sep"
                              : item.hSubMenu != nullptr   ? L"sub"
                              : (item.fType & MFT_RADIOCHECK) ? L"radio"
                                                              : L"item";
        const UINT id = item.hSubMenu != nullptr || (item.fType & MFT_SEPARATOR) ? 0 : item.wID;
        lines.push_back(std::to_wstring(depth) + L" " + kind + L" " + std::to_wstring(id) + L" " +
                        ((item.fState & MFS_CHECKED) ? L"1 " : L"0 ") + text);
        if (item.hSubMenu != nullptr) ReadMenu(item.hSubMenu, depth + 1, lines);
    }
}

std::vector<std::wstring> Built(const AppSettings& settings, const MenuConditions& conditions) {
    ContextMenu menu;
    menu.Build(settings, conditions);
    std::vector<std::wstring> lines;
    ReadMenu(menu.Root(), 0, lines);
    return lines;
}

struct Expected {
    bool shift = false;
    bool debug = false;
    bool stable = true;  // the item is there (no caption)
    int checks = 0;      // what every toggle shows
    int shadowType = 0;
};

std::vector<std::wstring> ExpectedMenu(const Expected& e) {
    std::vector<std::wstring> lines;
    const std::wstring on = e.checks ? L" 1 " : L" 0 ";
    auto item = [&](int depth, int id, const wchar_t* text, bool toggle) {
        lines.push_back(std::to_wstring(depth) + L" item " + std::to_wstring(id) + (toggle ? on : L" 0 ") + text);
    };
    auto sub = [&](int depth, const wchar_t* text) { lines.push_back(std::to_wstring(depth) + L" sub 0 0 " + text); };
    auto sep = [&](int depth) { lines.push_back(std::to_wstring(depth) + L" sep 0 0 "); };
    item(0, 32771, L"最新の情報に更新", false);
    item(0, 32772, L"固有情報を非表示", true);
    if (e.shift) {
        sub(0, L"閾値の更新");
        item(1, 32773, L"現在値", false);
        item(1, 32774, L"初期値", false);
        sub(0, L"情報の出力");
        item(1, 32775, L"表示デバイス", false);
        item(1, 32776, L"全デバイス", false);
    }
    if (e.debug) {
        sub(0, L"デバッグ");
        item(1, 32784, L"表示デバイス状態を正常", false);
        item(1, 32785, L"表示デバイス状態を注意", false);
        item(1, 32786, L"表示デバイス状態を危険", false);
        item(1, 32787, L"表示デバイス状態を異常", false);
        item(1, 32788, L"表示デバイス状態を高温", false);
    }
    sep(0);
    sub(0, L"動作の設定");
    item(1, 32800, L"タスクトレイ", true);
    item(1, 32801, L"タイトルバー", true);
    if (e.stable) item(1, 32802, L"位置を固定", true);
    item(1, 32803, L"モニタリング", true);
    item(1, 32804, L"ネットワーク", true);
    item(1, 32805, L"温度の監視", true);
    sub(0, L"画面表示の設定");
    sub(1, L"文字の影");
    item(2, 32832, L"有効", true);
    sep(2);
    const wchar_t* positions[] = {L"左上に表示", L"右上に表示", L"左下に表示", L"右下に表示", L"囲み表示"};
    for (int type = 1; type <= 5; ++type) {
        lines.push_back(L"2 radio " + std::to_wstring(32832 + type) + (e.shadowType == type ? L" 1 " : L" 0 ") +
                        positions[type - 1]);
    }
    item(1, 32816, L"値の枠線", true);
    sep(1);
    const wchar_t* panels[] = {L"モデル名", L"ファームウェア", L"シリアル番号", L"温度",
                               L"総通電時間", L"ディスク使用率", L"基本情報",     L"属性情報"};
    for (int i = 0; i < 8; ++i) item(1, 32817 + i, panels[i], true);
    sep(1);
    const wchar_t* forms[] = {L"デシマル表示", L"年表示", L"外部アイコン", L"外部ビットマップ"};
    for (int i = 0; i < 4; ++i) item(1, 32825 + i, forms[i], true);
    sub(0, L"色の設定");
    const wchar_t* colours[] = {L"文字...", L"文字の影...", L"バーグラフ...", L"枠線...",
                                L"グリッド...", L"グラフ...", L"閾値..."};
    for (int i = 0; i < 7; ++i) item(1, 32848 + i, colours[i], false);
    sub(0, L"フォントの設定");
    const wchar_t* fonts[] = {L"タブ...", L"大...", L"中...", L"小...", L"グラフ..."};
    for (int i = 0; i < 5; ++i) item(1, 32864 + i, fonts[i], false);
    sub(0, L"スキンの設定");
    item(1, 32880, L"有効", true);
    item(1, 32881, L"拡縮 (660x600)", true);
    item(1, 32882, L"ファイル...", false);
    item(0, 32912, L"設定を保存", false);
    sep(0);
    item(0, 32929, L"バージョン情報...", false);
    item(0, 32930, L"終了", false);
    return lines;
}

void SetAllToggles(AppSettings& settings, int value) {
    settings.Global.TaskTray = settings.Global.Stable = settings.Global.Monitor = value;
    settings.Server.Enable = settings.Temperature.Enable = value;
    AppSettings::ViewKeys& v = settings.View;
    v.Shadow = v.Frame = v.Model = v.FirmwareRevision = v.SerialNumber = v.Temperature = value;
    v.PowerOnTime = v.DiskUsage = v.Basic = v.Attribute = v.Decimal = v.Years = value;
    settings.Icon.Enable = settings.Bitmap.Enable = value;
    settings.Skin.Enable = settings.Skin.Stretch = value;
}

void ExpectLines(const std::vector<std::wstring>& expected, const std::vector<std::wstring>& built) {
    ASSERT_EQ(expected.size(), built.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], built[i]) << "line " << i;
}

}  // namespace

TEST(ContextMenu, WithoutModifiersEverySwitchOff) {
    AppSettings settings = {};
    SetAllToggles(settings, 0);
    settings.Global.Debug = 1;  // no debug menu without Ctrl
    MenuConditions conditions;
    conditions.skinSize = {660, 600};
    ExpectLines(ExpectedMenu(Expected()), Built(settings, conditions));
}

TEST(ContextMenu, ShiftAndCtrlWithDebugEverySwitchOnAndTheCaptionShown) {
    AppSettings settings = {};
    SetAllToggles(settings, 1);
    settings.Global.Title = 1;
    settings.Global.Debug = 2;
    settings.Shadow.Type = 3;
    MenuConditions conditions;
    conditions.shift = true;
    conditions.ctrl = true;
    conditions.hideIdentity = 1;
    conditions.skinSize = {660, 600};
    Expected expected;
    expected.shift = expected.debug = true;
    expected.stable = false;
    expected.checks = 1;
    expected.shadowType = 3;
    ExpectLines(ExpectedMenu(expected), Built(settings, conditions));
}

TEST(ContextMenu, CtrlAloneNeedsDebugAndShadowTypesOutsideTheRangeMarkNone) {
    AppSettings settings = {};
    MenuConditions conditions;
    conditions.ctrl = true;
    conditions.skinSize = {660, 600};
    for (int type : {0, 6, -1}) {
        settings.Shadow.Type = type;
        ExpectLines(ExpectedMenu(Expected()), Built(settings, conditions));
    }
    settings.Shadow.Type = 5;
    Expected outline;
    outline.shadowType = 5;
    ExpectLines(ExpectedMenu(outline), Built(settings, conditions));
}

namespace {

class MenuWindow : public PageWindow {
protected:
    // Opens the menu as a right click on the window does, and closes it from
    // inside its loop as a click elsewhere would.
    void OpenAndClose() {
        PostMessageW(window_, WM_CANCELMODE, 0, 0);
        SendMessageW(window_, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
        Drain();
    }
    static LRESULT CALLBACK CountMenuLoops(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_ENTERMENULOOP) ++menuLoops;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static int menuLoops;
};

int MenuWindow::menuLoops = 0;

}  // namespace

TEST_F(MenuWindow, OpeningsGiveBackEveryObject) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountMenuLoops, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    menuLoops = 0;
    OpenAndClose();  // the first opening makes what the menu code keeps
    ASSERT_EQ(1, menuLoops) << "the right button opened no menu";
    const GuiCounts before = CountGuiObjects();
    for (int i = 0; i < LeakRounds(); ++i) OpenAndClose();
    const GuiCounts after = CountGuiObjects();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(LeakRounds() + 1, menuLoops);
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
}
