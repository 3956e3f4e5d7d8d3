// winprobe tray: the icons of the notification area as Wine shows them, one
// line each, "ICONHWND\tTIP", in their order from the left.
//
// Wine 8's X11 driver draws the icons itself (in explorer's process): each
// is a window of class "__winex11_tray_icon", a child of the stand-alone
// tray window ("__winex11_standalone_tray") or, docked into a desktop's own
// tray, a top-level window. Later Wine moved them into explorer
// ("__wine_tray_icon"). Each icon has a tooltip whose one tool is the icon's
// window, holding the program's tip.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "probe_text.h"
#include "remote_buffer.h"
#include "winprobe_commands.h"

namespace {

const UINT kAnswerTimeoutMs = 5000;
const SIZE_T kTextAt = 1024;
const SIZE_T kTextSize = 1024;

struct Icon {
    HWND window;
    RECT rect;
};

bool IsIcon(HWND window) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    const std::string kind = name;
    // Hidden icons keep a hidden window in later Wine; the tray's own
    // visibility does not count.
    return (kind == "__winex11_tray_icon" || kind == "__wine_tray_icon") &&
           (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

BOOL CALLBACK AddIcon(HWND window, LPARAM parameter) {
    if (IsIcon(window)) {
        Icon icon = {window, {}};
        GetWindowRect(window, &icon.rect);
        reinterpret_cast<std::vector<Icon>*>(parameter)->push_back(icon);
    }
    return TRUE;
}

BOOL CALLBACK AddIcons(HWND top, LPARAM parameter) {
    AddIcon(top, parameter);
    EnumChildWindows(top, AddIcon, parameter);
    return TRUE;
}

bool Ask(HWND control, UINT message, WPARAM wParam, const RemoteBuffer& remote, LRESULT* answer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, message, wParam, reinterpret_cast<LPARAM>(remote.At(0)), SMTO_ABORTIFHUNG,
                             kAnswerTimeoutMs, &result)) {
        return false;
    }
    *answer = static_cast<LRESULT>(result);
    return true;
}

struct TipSearch {
    HWND icon;
    const RemoteBuffer* remote;
    bool found;
    std::wstring text;
};

// The tooltip made for the icon: owned by the icon's top level, with a tool
// that is the icon's window.
BOOL CALLBACK FindTip(HWND window, LPARAM parameter) {
    TipSearch* search = reinterpret_cast<TipSearch*>(parameter);
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != TOOLTIPS_CLASSA || GetWindow(window, GW_OWNER) != GetAncestor(search->icon, GA_ROOT)) {
        return TRUE;
    }
    const RemoteBuffer& remote = *search->remote;
    LRESULT tools = 0;
    if (!Ask(window, TTM_GETTOOLCOUNT, 0, remote, &tools)) return TRUE;
    for (LRESULT k = 0; k < tools; ++k) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(kTextAt));
        LRESULT got = 0;
        if (!remote.Write(0, &tool, sizeof tool) || !Ask(window, TTM_ENUMTOOLSW, k, remote, &got) || !got) continue;
        remote.Read(0, &tool, sizeof tool);
        if (tool.hwnd != search->icon && tool.uId != reinterpret_cast<UINT_PTR>(search->icon)) continue;
        wchar_t none = 0;
        tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(kTextAt));
        remote.Write(kTextAt, &none, sizeof none);
        remote.Write(0, &tool, sizeof tool);
        if (!Ask(window, TTM_GETTEXTW, kTextSize / sizeof(wchar_t), remote, &got)) continue;
        wchar_t text[kTextSize / sizeof(wchar_t) + 1] = L"";
        remote.Read(kTextAt, text, kTextSize);
        search->found = true;
        search->text = text;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int TrayCommand() {
    std::vector<Icon> icons;
    EnumWindows(AddIcons, reinterpret_cast<LPARAM>(&icons));
    std::stable_sort(icons.begin(), icons.end(), [](const Icon& a, const Icon& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    for (const Icon& icon : icons) {
        RemoteBuffer remote(icon.window, kTextAt + kTextSize);
        TipSearch search = {icon.window, &remote, false, L""};
        if (remote.Ok()) EnumWindows(FindTip, reinterpret_cast<LPARAM>(&search));
        std::printf("%s\t%s\n", HandleText(icon.window).c_str(), Utf8(search.text).c_str());
    }
    return 0;
}
