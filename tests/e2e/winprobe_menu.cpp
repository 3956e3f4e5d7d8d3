// winprobe menu: opens the program's context menu as a user does, reads it
// back from inside the program and closes it again without a choice.
//
// Opening. The program reads GetKeyState(VK_SHIFT / VK_CONTROL) while it
// builds the menu. That is its thread's key state, which moves only as the
// thread takes input messages in their order, so the keys are real input
// (SendInput) into the same queue as the click, ahead of it: a posted
// WM_RBUTTONDOWN could overtake them. Keyboard input goes to the foreground
// thread, so the window is brought to the front first (as the user's first
// click would); the click itself is a real one at the centre of its client
// area. Under Wine on Xvfb (no window manager, unmanaged windows) the
// cursor is placed with SetCursorPos, which is exact, and the buttons are
// sent with SendInput at that point. On the tray icon the click is posted to
// the icon's window, which relays it to the program as the shell does.
//
// Reading. Wine keeps menus per process, so menudump.dll is loaded into the
// program (a remote thread running LoadLibraryW), reads the menu the popup
// window names (MN_GETHMENU) into memory we allocated there, ends the menu
// with EndMenu, and is unloaded again.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "menudump.h"
#include "probe_text.h"
#include "remote_buffer.h"
#include "remote_library.h"
#include "winprobe_commands.h"

namespace {

const DWORD kMenuTimeoutMs = 10000;
const DWORD kCallTimeoutMs = 5000;
const DWORD kPollMs = 20;
const DWORD kSettleMs = 100;
const UINT32 kDumpCapacity = 256 * 1024;

bool WaitUntil(DWORD timeout_ms, bool (*done)(HWND, DWORD), HWND window, DWORD thread) {
    const DWORD start = GetTickCount();
    while (!done(window, thread)) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(kPollMs);
    }
    return true;
}

bool InForeground(HWND, DWORD thread) {
    return GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == thread;
}

bool BringToFront(HWND window, DWORD thread) {
    if (InForeground(window, thread)) return true;
    SetForegroundWindow(window);
    return WaitUntil(2000, InForeground, window, thread);
}

// Modifier keys held down as real input for as long as the object lives,
// released again however the command ends. They are pressed and released
// while the window's thread has the keyboard: a release that went to another
// thread would leave the key down in the program's own key state.
class HeldKeys {
public:
    HeldKeys(const std::vector<WORD>& keys, HWND window, DWORD thread) : window_(window), thread_(thread) {
        for (WORD key : keys) {
            if (!Send(key, 0)) break;
            held_.push_back(key);
        }
    }
    ~HeldKeys() {
        if (held_.empty()) return;
        BringToFront(window_, thread_);
        for (auto key = held_.rbegin(); key != held_.rend(); ++key) Send(*key, KEYEVENTF_KEYUP);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    bool AllDown(size_t wanted) const { return held_.size() == wanted; }

private:
    static bool Send(WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        return SendInput(1, &input, sizeof input) == 1;
    }

    HWND window_;
    DWORD thread_;
    std::vector<WORD> held_;
};

// The window a click at `at` reaches, routed as the system does: the
// topmost visible child under the point, looked into further, passing over
// children that let clicks through (HTTRANSPARENT, as a tab control's body
// does for the page lying under it). WindowFromPoint cannot tell: it asks
// only windows of the calling thread for their hit test.
HWND ClickTarget(HWND top, POINT at) {
    HWND window = top;
    for (;;) {
        HWND found = nullptr;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect;
            if (!IsWindowVisible(child) || !GetWindowRect(child, &rect) || !PtInRect(&rect, at)) continue;
            DWORD_PTR hit = HTCLIENT;
            const LPARAM point = MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
            if (SendMessageTimeoutW(child, WM_NCHITTEST, 0, point, SMTO_ABORTIFHUNG, kCallTimeoutMs, &hit) &&
                static_cast<LRESULT>(hit) == HTTRANSPARENT) {
                continue;
            }
            found = child;
            break;
        }
        if (found == nullptr) return window;
        window = found;
    }
}

// A right click opens the menu on the dialog itself or on one of its page
// dialogs (which pass it on); controls keep theirs.
bool OpensMenu(HWND window, POINT at) {
    if (GetAncestor(WindowFromPoint(at), GA_ROOT) != window) return false;
    const HWND target = ClickTarget(window, at);
    if (target == window) return true;
    char name[16] = "";
    GetClassNameA(target, name, sizeof name);
    return std::string(name) == "#32770" && IsWindowEnabled(target);
}

// The point of the window's client area to click, with the window at the
// front: its centre, or else the first point of a grid over the client area,
// row by row from the top, that falls on the dialog or a page rather than a
// control.
bool ClickPoint(HWND window, DWORD thread, POINT* point) {
    if (!IsWindowVisible(window)) return false;
    if (!BringToFront(window, thread)) {
        std::fprintf(stderr, "winprobe: the window did not come to the front\n");
        return false;
    }
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    *point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    if (OpensMenu(window, *point)) return true;
    const LONG step = std::max<LONG>(4, std::min(client.right - client.left, client.bottom - client.top) / 32);
    for (LONG y = client.top + step / 2; y < client.bottom; y += step) {
        for (LONG x = client.left + step / 2; x < client.right; x += step) {
            *point = {x, y};
            if (OpensMenu(window, *point)) return true;
        }
    }
    std::fprintf(stderr, "winprobe: no point of the window's client area is free of controls\n");
    return false;
}

// Two clicks at one spot within the double-click time are a double-click
// (dialogs ask for them), which opens no menu; the last run's click may have
// been a moment ago. No input since then, and the next click is a new one.
void WaitOutDoubleClick() {
    LASTINPUTINFO last = {};
    last.cbSize = sizeof last;
    if (!GetLastInputInfo(&last)) return;
    const DWORD quiet = GetDoubleClickTime() + 2 * kPollMs;
    const DWORD since = GetTickCount() - last.dwTime;
    if (since < quiet) Sleep(quiet - since);
}

// Wine's X11 driver resets Shift, Ctrl and Alt to the X server's own state
// (never pressed on Xvfb) on every KeymapNotify, which X sends when the
// pointer enters one of the program's windows or its focus changes. Those
// come from moving the cursor there and bringing the window to the front, so
// both happen before the keys are pressed, and the program takes the events
// first: it handles them when it next looks for messages, and answering
// ours twice means it has.
void PlaceCursor(HWND window, POINT at, bool focus_moved) {
    POINT now = {};
    const bool there = GetCursorPos(&now) && now.x == at.x && now.y == at.y;
    if (there && !focus_moved) return;
    if (!there) SetCursorPos(at.x, at.y);
    Sleep(kSettleMs);
    for (int k = 0; k < 2; ++k) {
        DWORD_PTR none = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCallTimeoutMs, &none);
    }
}

// The buttons at the cursor's place, as sent: no move, no further events
// from X.
bool RightClick() {
    INPUT buttons[2] = {};
    buttons[0].type = buttons[1].type = INPUT_MOUSE;
    buttons[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    buttons[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return SendInput(2, buttons, sizeof buttons[0]) == 2;
}

bool ClickTrayIcon(HWND icon) {
    RECT client;
    GetClientRect(icon, &client);
    const LPARAM centre = MAKELPARAM((client.left + client.right) / 2, (client.top + client.bottom) / 2);
    return PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, centre) && PostMessageW(icon, WM_RBUTTONUP, 0, centre);
}

struct PopupSearch {
    DWORD thread;
    HWND popup;
};

// Popups lie in Z order, the first one opened lowest: the last one found is
// the root menu, even when a sub-menu is open above it.
BOOL CALLBACK FindPopup(HWND window, LPARAM parameter) {
    PopupSearch* search = reinterpret_cast<PopupSearch*>(parameter);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32768" && IsWindowVisible(window) &&
        GetWindowThreadProcessId(window, nullptr) == search->thread) {
        search->popup = window;
    }
    return TRUE;
}

HWND PopupOf(DWORD thread) {
    PopupSearch search = {thread, nullptr};
    EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&search));
    return search.popup;
}

bool PopupShown(HWND, DWORD thread) { return PopupOf(thread) != nullptr; }
bool PopupGone(HWND popup, DWORD) { return !IsWindow(popup) || !IsWindowVisible(popup); }

// The menu's lines, read inside the program; false when it could not be read.
bool ReadMenu(RemoteLibrary& dumper, DWORD pid, HWND popup, std::string* lines) {
    DWORD_PTR menu = 0;
    if (!SendMessageTimeoutW(popup, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, kCallTimeoutMs, &menu) || menu == 0) {
        std::fprintf(stderr, "winprobe: the popup window names no menu\n");
        return false;
    }
    RemoteBuffer block(pid, kMenuDumpText + kDumpCapacity);
    MenuDump header = {};
    header.menu = menu;
    header.capacity = kDumpCapacity;
    if (!block.Ok() || !block.Write(0, &header, kMenuDumpText)) return false;
    DWORD whole = 0;
    const bool ran = dumper.Call("DumpMenu", block.At(0), kCallTimeoutMs, &whole);
    if (dumper.Stuck()) block.Abandon();
    if (!ran || whole != 1 || !block.Read(0, &header, kMenuDumpText) || header.length > kDumpCapacity) {
        std::fprintf(stderr, "winprobe: the menu could not be read in the program\n");
        return false;
    }
    lines->assign(header.length, '\0');
    return header.length == 0 || block.Read(kMenuDumpText, &(*lines)[0], header.length);
}

// Ends the menu without a choice; a posted WM_CANCELMODE when the DLL is not
// there, which Wine's menu loop takes as EndMenu does.
bool CloseMenu(RemoteLibrary& dumper, HWND popup) {
    DWORD ended = 0;
    if (!dumper.Ok() || !dumper.Call("CloseMenu", nullptr, kCallTimeoutMs, &ended)) {
        PostMessageW(popup, WM_CANCELMODE, 0, 0);
    }
    return WaitUntil(kCallTimeoutMs, PopupGone, popup, 0);
}

}  // namespace

int MenuCommand(int count, char** args) {
    if (count < 1) return 2;
    std::vector<WORD> keys;
    HWND icon = nullptr;
    for (int k = 1; k < count; ++k) {
        const std::string word = args[k];
        if (word == "shift") {
            keys.push_back(VK_SHIFT);
        } else if (word == "ctrl") {
            keys.push_back(VK_CONTROL);
        } else if (word == "tray" && k + 1 < count && icon == nullptr) {
            icon = WindowArg(args[++k]);
        } else {
            return 2;
        }
    }
    // The keys reach only the thread that has the keyboard, and a click on
    // the tray icon brings no window of the program to the front.
    if (icon != nullptr && !keys.empty()) return 2;
    const HWND window = WindowArg(args[0]);
    if (!IsWindow(window) || (icon != nullptr && !IsWindow(icon))) return 1;
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &pid);

    std::string lines;
    {
        POINT point = {};
        const bool was_in_front = InForeground(window, thread);
        if (icon == nullptr && !ClickPoint(window, thread, &point)) return 1;
        if (icon == nullptr) {
            WaitOutDoubleClick();
            PlaceCursor(window, point, !was_in_front);
        }
        HeldKeys held(keys, window, thread);
        if (!held.AllDown(keys.size())) return 1;
        if (!(icon != nullptr ? ClickTrayIcon(icon) : RightClick())) return 1;
        if (!WaitUntil(kMenuTimeoutMs, PopupShown, nullptr, thread)) return 1;
        const HWND popup = PopupOf(thread);
        RemoteLibrary dumper(pid, BesideProbe(L"menudump.dll"));
        if (!dumper.Ok()) std::fprintf(stderr, "winprobe: menudump.dll could not be loaded into the program\n");
        const bool read = dumper.Ok() && ReadMenu(dumper, pid, popup, &lines);
        if (!CloseMenu(dumper, popup)) {
            std::fprintf(stderr, "winprobe: the menu stayed open\n");
            return 1;
        }
        if (!read) return 1;
    }
    std::fputs(lines.c_str(), stdout);
    return 0;
}
