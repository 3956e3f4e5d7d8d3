// winprobe tray: the icons of the notification area as Wine shows them, one
// line each, "ICONHWND\tTIP", in their order from the left.
// winprobe balloons: the balloons shown over them, "HWND\tTEXT" (Wine's
// tooltips do not give their titles).
// winprobe trayimage ICONHWND EXE: which of the program's icons the tray
// icon shows, "ID\tCOMPARED\tDIFFERENT" for each.
// Line ends and tabs in texts are written \n and \t.
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
#include "remote_library.h"
#include "winprobe_commands.h"

namespace {

const UINT kAnswerTimeoutMs = 5000;
const SIZE_T kTextAt = 1024;
const SIZE_T kTextSize = 1024;
// The program's icon and its four status icons.
const int kIconIds[] = {102, 103, 104, 105, 106};

std::string Escaped(const std::wstring& text) {
    std::string out;
    for (char c : Utf8(text)) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

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

bool IsTooltip(HWND window) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == TOOLTIPS_CLASSA;
}

// The text of the tooltip's tool for the icon window (any tool when icon is
// null).
bool ToolText(HWND tooltip, HWND icon, const RemoteBuffer& remote, std::wstring* text) {
    LRESULT tools = 0;
    if (!Ask(tooltip, TTM_GETTOOLCOUNT, 0, remote, &tools)) return false;
    for (LRESULT k = 0; k < tools; ++k) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(kTextAt));
        LRESULT got = 0;
        if (!remote.Write(0, &tool, sizeof tool) || !Ask(tooltip, TTM_ENUMTOOLSW, k, remote, &got) || !got) continue;
        remote.Read(0, &tool, sizeof tool);
        if (icon != nullptr && tool.hwnd != icon && tool.uId != reinterpret_cast<UINT_PTR>(icon)) continue;
        wchar_t none = 0;
        tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(kTextAt));
        remote.Write(kTextAt, &none, sizeof none);
        remote.Write(0, &tool, sizeof tool);
        if (!Ask(tooltip, TTM_GETTEXTW, kTextSize / sizeof(wchar_t), remote, &got)) continue;
        wchar_t read[kTextSize / sizeof(wchar_t) + 1] = L"";
        remote.Read(kTextAt, read, kTextSize);
        *text = read;
        return true;
    }
    return false;
}

struct TipSearch {
    HWND icon;
    const RemoteBuffer* remote;
    bool found;
    std::wstring text;
};

bool IsBalloon(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON) != 0; }

// The tooltip made for the icon: owned by the icon's top level, with a tool
// that is the icon's window; a balloon over the icon has such a tool too.
BOOL CALLBACK FindTip(HWND window, LPARAM parameter) {
    TipSearch* search = reinterpret_cast<TipSearch*>(parameter);
    if (!IsTooltip(window) || IsBalloon(window) || GetWindow(window, GW_OWNER) != GetAncestor(search->icon, GA_ROOT)) {
        return TRUE;
    }
    search->found = ToolText(window, search->icon, *search->remote, &search->text);
    return search->found ? FALSE : TRUE;
}

BOOL CALLBACK AddBalloon(HWND window, LPARAM parameter) {
    if (IsTooltip(window) && IsBalloon(window) && IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    }
    return TRUE;
}

// 32 bits a pixel, the top row first.
BITMAPINFO TopDown(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// The screen's pixels of a rectangle.
std::vector<DWORD> ScreenPixels(const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info = TopDown(width, height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// An icon drawn at size over one colour.
std::vector<DWORD> IconPixels(HICON icon, int size, DWORD background) {
    std::vector<DWORD> pixels(static_cast<size_t>(size) * size, background);
    const BITMAPINFO info = TopDown(size, size);
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        DeleteDC(memory);
        return pixels;
    }
    std::copy(pixels.begin(), pixels.end(), static_cast<DWORD*>(bits));
    HGDIOBJ old = SelectObject(memory, bitmap);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::copy(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + pixels.size(), pixels.begin());
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// Whether a screen point is covered by a visible window above the tray's
// top level (a balloon, a menu): there the icon cannot be seen.
bool Covered(HWND icon, POINT point) {
    for (HWND above = GetWindow(GetAncestor(icon, GA_ROOT), GW_HWNDPREV); above != nullptr;
         above = GetWindow(above, GW_HWNDPREV)) {
        RECT rect;
        if (IsWindowVisible(above) && GetWindowRect(above, &rect) && PtInRect(&rect, point)) return true;
    }
    return false;
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
        std::printf("%s\t%s\n", HandleText(icon.window).c_str(), Escaped(search.text).c_str());
    }
    return 0;
}

int BalloonsCommand() {
    std::vector<HWND> balloons;
    EnumWindows(AddBalloon, reinterpret_cast<LPARAM>(&balloons));
    for (HWND balloon : balloons) {
        RemoteBuffer remote(balloon, kTextAt + kTextSize);
        std::wstring text;
        if (!remote.Ok() || !ToolText(balloon, nullptr, remote, &text)) continue;
        std::printf("%s\t%s\n", HandleText(balloon).c_str(), Escaped(text).c_str());
    }
    return 0;
}

// The icon is drawn at the small icon size in the middle of its window.
// Only the pixels the icons cover whole count (the same over black and
// over white), and only those no other window hides.
int TrayImageCommand(const char* iconWindow, const char* exe) {
    HWND icon = WindowArg(iconWindow);
    RECT rect;
    if (!IsWindow(icon) || !GetWindowRect(icon, &rect)) return 1;
    HMODULE module = LoadLibraryExW(BesideProbe(Wide(exe).c_str()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return 2;
    const int size = GetSystemMetrics(SM_CXSMICON);
    const int left = (rect.right - rect.left - size) / 2, top = (rect.bottom - rect.top - size) / 2;
    const RECT drawn = {rect.left + left, rect.top + top, rect.left + left + size, rect.top + top + size};
    const std::vector<DWORD> screen = ScreenPixels(drawn);
    for (int id : kIconIds) {
        HICON image = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
        if (image == nullptr) continue;
        const std::vector<DWORD> onBlack = IconPixels(image, size, 0x000000);
        const std::vector<DWORD> onWhite = IconPixels(image, size, 0xFFFFFF);
        DestroyIcon(image);
        int compared = 0, different = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const size_t i = static_cast<size_t>(y) * size + x;
                if (onBlack[i] != onWhite[i] || Covered(icon, POINT{drawn.left + x, drawn.top + y})) continue;
                ++compared;
                different += screen[i] != onBlack[i] ? 1 : 0;
            }
        }
        std::printf("%d\t%d\t%d\n", id, compared, different);
    }
    FreeLibrary(module);
    return 0;
}
