#include "app/contextmenu.h"

#include <commctrl.h>

#include <cstdio>

#include "app/appstate.h"
#include "app/commandids.h"
#include "base/widetext.h"
#include "base/windowutil.h"

namespace {

void Append(HMENU menu, const char* caption, WORD id, UINT type = MFT_STRING) {
    const std::wstring text = WideFromCp932(caption);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fType = type;
    item.fState = MFS_ENABLED | MFS_UNCHECKED;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

// A toggle's check mark shows its setting.
void AppendToggle(HMENU menu, const char* caption, WORD id, int setting) {
    Append(menu, caption, id);
    CheckMenuItem(menu, id, MF_BYCOMMAND | (setting != 0 ? MF_CHECKED : MF_UNCHECKED));
}

void AppendSeparator(HMENU menu) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    item.fType = MFT_SEPARATOR;
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

void AppendPopup(HMENU menu, const char* caption, HMENU popup) {
    const std::wstring text = WideFromCp932(caption);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    item.fType = MFT_STRING;
    item.fState = MFS_ENABLED;
    item.hSubMenu = popup;
    item.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

ContextMenu::ContextMenu() {
    for (HMENU& popup : popups_) popup = CreatePopupMenu();
}

ContextMenu::~ContextMenu() {
    // The root takes its attached sub-menus with it; the others go alone.
    // Nothing is created in between, so a freed handle is not reused.
    for (HMENU popup : popups_) {
        if (popup != nullptr && IsMenu(popup)) DestroyMenu(popup);
    }
}

void ContextMenu::Build(const AppSettings& settings, const MenuConditions& conditions) {
    const HMENU root = popups_[kRoot];
    Append(root, "最新の情報に更新", kCommandRefresh);
    AppendToggle(root, "固有情報を非表示", kCommandHideIdentity, static_cast<int>(conditions.hideIdentity));
    if (conditions.shift) {
        Append(popups_[kThresholds], "現在値", kCommandLimitsToCurrent);
        Append(popups_[kThresholds], "初期値", kCommandLimitsToZero);
        AppendPopup(root, "閾値の更新", popups_[kThresholds]);
        Append(popups_[kOutput], "表示デバイス", kCommandDumpShown);
        Append(popups_[kOutput], "全デバイス", kCommandDumpAll);
        AppendPopup(root, "情報の出力", popups_[kOutput]);
    }
    if (conditions.ctrl && settings.Global.Debug != 0) {
        const HMENU debug = popups_[kDebug];
        Append(debug, "表示デバイス状態を正常", kCommandDebugGood);
        Append(debug, "表示デバイス状態を注意", kCommandDebugCaution);
        Append(debug, "表示デバイス状態を危険", kCommandDebugDanger);
        Append(debug, "表示デバイス状態を異常", kCommandDebugError);
        Append(debug, "表示デバイス状態を高温", kCommandDebugHot);
        AppendPopup(root, "デバッグ", debug);
    }
    AppendSeparator(root);
    BuildOperation(settings);
    AppendPopup(root, "動作の設定", popups_[kOperation]);
    BuildDisplay(settings);
    AppendPopup(root, "画面表示の設定", popups_[kDisplay]);
    BuildLooks(conditions, settings);
    AppendPopup(root, "色の設定", popups_[kColours]);
    AppendPopup(root, "フォントの設定", popups_[kFonts]);
    AppendPopup(root, "スキンの設定", popups_[kSkin]);
    Append(root, "設定を保存", kCommandSaveSettings);
    AppendSeparator(root);
    Append(root, "バージョン情報...", kCommandAbout);
    Append(root, "終了", kCommandExit);
}

void ContextMenu::BuildOperation(const AppSettings& settings) {
    const HMENU menu = popups_[kOperation];
    AppendToggle(menu, "タスクトレイ", kCommandTrayToggle, settings.Global.TaskTray);
    AppendToggle(menu, "タイトルバー", kCommandTitle, settings.Global.Title);
    // Only a window without a caption can be dragged by its client area.
    if (settings.Global.Title == 0) AppendToggle(menu, "位置を固定", kCommandStable, settings.Global.Stable);
    AppendToggle(menu, "モニタリング", kCommandMonitoring, settings.Global.Monitor);
    AppendToggle(menu, "ネットワーク", kCommandNetwork, settings.Server.Enable);
    AppendToggle(menu, "温度の監視", kCommandTemperatureWatch, settings.Temperature.Enable);
}

void ContextMenu::BuildShadow(const AppSettings& settings) {
    static const struct {
        const char* caption;
        WORD command;
        int type;
    } kPositions[] = {
        {"左上に表示", kCommandShadowUpLeft, 1},    {"右上に表示", kCommandShadowUpRight, 2},
        {"左下に表示", kCommandShadowDownLeft, 3},  {"右下に表示", kCommandShadowDownRight, 4},
        {"囲み表示", kCommandShadowOutline, 5},
    };
    const HMENU menu = popups_[kShadow];
    AppendToggle(menu, "有効", kCommandShadow, settings.View.Shadow);
    AppendSeparator(menu);
    for (const auto& position : kPositions) {
        Append(menu, position.caption, position.command, MFT_RADIOCHECK);
        CheckMenuItem(menu, position.command,
                      MF_BYCOMMAND | (settings.Shadow.Type == position.type ? MF_CHECKED : MF_UNCHECKED));
    }
}

void ContextMenu::BuildDisplay(const AppSettings& settings) {
    const HMENU menu = popups_[kDisplay];
    const AppSettings::ViewKeys& view = settings.View;
    BuildShadow(settings);
    AppendPopup(menu, "文字の影", popups_[kShadow]);
    AppendToggle(menu, "値の枠線", kCommandFrame, view.Frame);
    AppendSeparator(menu);
    AppendToggle(menu, "モデル名", kCommandShowModel, view.Model);
    AppendToggle(menu, "ファームウェア", kCommandShowFirmware, view.FirmwareRevision);
    AppendToggle(menu, "シリアル番号", kCommandShowSerial, view.SerialNumber);
    AppendToggle(menu, "温度", kCommandShowTemperature, view.Temperature);
    AppendToggle(menu, "総通電時間", kCommandShowPowerOnTime, view.PowerOnTime);
    AppendToggle(menu, "ディスク使用率", kCommandShowDiskUsage, view.DiskUsage);
    AppendToggle(menu, "基本情報", kCommandShowBasic, view.Basic);
    AppendToggle(menu, "属性情報", kCommandShowAttribute, view.Attribute);
    AppendSeparator(menu);
    AppendToggle(menu, "デシマル表示", kCommandDecimal, view.Decimal);
    AppendToggle(menu, "年表示", kCommandYears, view.Years);
    AppendToggle(menu, "外部アイコン", kCommandExternalIcons, settings.Icon.Enable);
    AppendToggle(menu, "外部ビットマップ", kCommandExternalBitmaps, settings.Bitmap.Enable);
}

void ContextMenu::BuildLooks(const MenuConditions& conditions, const AppSettings& settings) {
    const HMENU colours = popups_[kColours];
    Append(colours, "文字...", kCommandColourText);
    Append(colours, "文字の影...", kCommandColourShadow);
    Append(colours, "バーグラフ...", kCommandColourBar);
    Append(colours, "枠線...", kCommandColourFrame);
    Append(colours, "グリッド...", kCommandColourGrid);
    Append(colours, "グラフ...", kCommandColourGraph);
    Append(colours, "閾値...", kCommandColourThreshold);

    const HMENU fonts = popups_[kFonts];
    Append(fonts, "タブ...", kCommandFontTab);
    Append(fonts, "大...", kCommandFontLarge);
    Append(fonts, "中...", kCommandFontMiddle);
    Append(fonts, "小...", kCommandFontSmall);
    Append(fonts, "グラフ...", kCommandFontGraph);

    const HMENU skin = popups_[kSkin];
    AppendToggle(skin, "有効", kCommandSkinEnable, settings.Skin.Enable);
    char scale[64];
    std::snprintf(scale, sizeof scale, "拡縮 (%dx%d)", static_cast<int>(conditions.skinSize.cx),
                  static_cast<int>(conditions.skinSize.cy));
    AppendToggle(skin, scale, kCommandSkinStretch, settings.Skin.Stretch);
    Append(skin, "ファイル...", kCommandSkinFile);
}

SIZE SkinAreaSize(HWND tabControl) {
    RECT client = {};
    RECT tab = {};
    GetClientRect(tabControl, &client);
    SendMessageW(tabControl, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    return {client.right - client.left, client.bottom - client.top - (tab.bottom - tab.top)};
}

void ShowContextMenu(HWND window) {
    MenuConditions conditions;
    conditions.shift = KeyDown(VK_SHIFT);
    conditions.ctrl = KeyDown(VK_CONTROL);
    conditions.hideIdentity = drives.hideIdentity;
    conditions.skinSize = SkinAreaSize(pages.tabControl);
    ContextMenu menu;
    menu.Build(appSettings, conditions);
    ForceForeground(window);
    POINT cursor = {};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu.Root(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
}
