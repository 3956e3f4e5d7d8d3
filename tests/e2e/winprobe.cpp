// A small Windows program that the end-to-end tests run beside the program
// under test, to look at its windows and talk to them as a user or another
// program would.
//
//   winprobe window TITLE            the top-level window of that title:
//                                    "hwnd visible x y width height style exstyle"
//   winprobe post HWND MSG WP LP     PostMessage (numbers decimal or 0x...)
//   winprobe box CAPTION [dismiss|yes|no]
//                                    the text of a message box of that caption,
//                                    closed with OK, Yes or No when asked
//   winprobe message NAME            the number of the registered window message
//   winprobe page HWND K             tab K of the main window HWND and its page,
//                                    one line each: "tab IMAGE TEXT",
//                                    "visible 0|1", "text ID TEXT", "tip ID TEXT",
//                                    "basic\tCELL\tCELL", "attr\tCELL\t..."
//   winprobe tab HWND K              chooses tab K of the main window HWND, as a
//                                    click on it does
//   winprobe menu HWND [shift] [ctrl] [tray ICONHWND]
//                                    the context menu of the main window HWND,
//                                    opened by a right click at its centre with
//                                    those keys held (or on that tray icon),
//                                    read and closed again unchosen; one line an
//                                    item, depth-first (a sub-menu's items after
//                                    it): "DEPTH\tKIND\tID\tCHECKED\tTEXT\tGREYED",
//                                    KIND item|radio|sep|sub, ID 0 for sep and
//                                    sub, CHECKED and GREYED 0|1, a tab in TEXT
//                                    written as \t (winprobe_menu.cpp)
//   winprobe tray                    the notification area's icons, one line
//                                    each: "ICONHWND\tTIP" (winprobe_tray.cpp)
//   winprobe balloons                the balloons shown: "HWND\tTEXT"
//   winprobe trayimage ICONHWND EXE  which of EXE's icons 102-106 the tray icon
//                                    shows: "ID\tCOMPARED\tDIFFERENT" each
//
// Titles and texts are UTF-8 on the command line and in the output. The exit
// status is 0 on success, 1 when no such window (or no menu) appeared, 2 for
// bad usage.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "probe_text.h"
#include "remote_buffer.h"
#include "winprobe_commands.h"

namespace {

const SIZE_T kTextAt = 1024;
const SIZE_T kTextSize = 1024;

// A text some control writes into a structure's buffer in its own process.
template <typename Item>
std::string AskText(const RemoteBuffer& remote, HWND control, UINT message, WPARAM wParam, Item item) {
    item.pszText = remote.At(kTextAt);
    item.cchTextMax = kTextSize;
    char none = 0;
    remote.Write(kTextAt, &none, 1);
    remote.Write(0, &item, sizeof item);
    SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(remote.At(0)));
    char text[kTextSize] = "";
    remote.Read(kTextAt, text, sizeof text - 1);
    return text;
}

// Line breaks shown as " | ", so that every text stays on its line.
std::string OneLine(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " | ");
    return text;
}

struct PageSearch {
    int index;
    HWND page;
};

BOOL CALLBACK FindPage(HWND child, LPARAM parameter) {
    PageSearch* search = reinterpret_cast<PageSearch*>(parameter);
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (std::string(name) == "#32770" && GetWindowLongPtrA(child, GWLP_USERDATA) == search->index) {
        search->page = child;
        return FALSE;
    }
    return TRUE;
}

struct TipSearch {
    HWND page;
    const RemoteBuffer* remote;
};

int ControlAt(HWND page, const RECT& rect) {
    for (int id = 1010; id <= 1016; ++id) {
        RECT control;
        if (!GetWindowRect(GetDlgItem(page, id), &control)) continue;
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&control), 2);
        if (EqualRect(&control, &rect)) return id;
    }
    return 0;
}

BOOL CALLBACK PrintTip(HWND window, LPARAM parameter) {
    const TipSearch* search = reinterpret_cast<const TipSearch*>(parameter);
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    // A popup made for a child window is owned by that window's top level.
    if (std::string(name) != TOOLTIPS_CLASSA || GetWindow(window, GW_OWNER) != GetAncestor(search->page, GA_ROOT)) {
        return TRUE;
    }
    // Wide: some tooltips cut ANSI texts at 80 characters.
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.lpszText = reinterpret_cast<LPWSTR>(search->remote->At(kTextAt));
    search->remote->Write(0, &tool, sizeof tool);
    if (!SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(search->remote->At(0)))) return TRUE;
    search->remote->Read(0, &tool, sizeof tool);
    if (tool.hwnd != search->page) return TRUE;
    tool.lpszText = reinterpret_cast<LPWSTR>(search->remote->At(kTextAt));
    search->remote->Write(0, &tool, sizeof tool);
    SendMessageW(window, TTM_GETTEXTW, kTextSize / sizeof(wchar_t), reinterpret_cast<LPARAM>(search->remote->At(0)));
    wchar_t text[kTextSize / sizeof(wchar_t)] = L"";
    search->remote->Read(kTextAt, text, sizeof text - sizeof(wchar_t));
    std::printf("tip %d %s\n", ControlAt(search->page, tool.rect), OneLine(Utf8(text)).c_str());
    return TRUE;
}

void PrintList(const RemoteBuffer& remote, HWND list, const char* name) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::string line = name;
        for (int column = 0; column < columns; ++column) {
            LVITEMA item = {};
            item.iSubItem = column;
            line += "\t" + AskText(remote, list, LVM_GETITEMTEXTA, row, item);
        }
        std::printf("%s\n", line.c_str());
    }
}

int Page(HWND window, int k) {
    if (!IsWindow(window)) return 1;
    const HWND tabs = GetDlgItem(window, 1001);
    RemoteBuffer remote(window, kTextAt + kTextSize);
    if (tabs == nullptr || !remote.Ok()) return 1;
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT | TCIF_IMAGE;
    const std::string caption = AskText(remote, tabs, TCM_GETITEMA, k, tab);
    remote.Read(0, &tab, sizeof tab);
    std::printf("tab %d %s\n", tab.iImage, caption.c_str());

    PageSearch search = {k, nullptr};
    EnumChildWindows(window, FindPage, reinterpret_cast<LPARAM>(&search));
    if (search.page == nullptr) return 1;
    std::printf("visible %d\n", IsWindowVisible(search.page) ? 1 : 0);
    for (int id = 1010; id <= 1012; ++id) {
        char text[256] = "";
        GetDlgItemTextA(search.page, id, text, sizeof text);
        std::printf("text %d %s\n", id, text);
    }
    TipSearch tips = {search.page, &remote};
    EnumWindows(PrintTip, reinterpret_cast<LPARAM>(&tips));
    PrintList(remote, GetDlgItem(search.page, 1100), "basic");
    PrintList(remote, GetDlgItem(search.page, 1101), "attr");
    return 0;
}

// Tab K of the main window chosen as a click on it chooses it: the tab
// control tells the window, which shows that page.
int Tab(HWND window, int k) {
    const HWND tabs = GetDlgItem(window, 1001);
    RemoteBuffer remote(window, sizeof(RECT));
    if (tabs == nullptr || !remote.Ok()) return 1;
    if (!SendMessageW(tabs, TCM_GETITEMRECT, k, reinterpret_cast<LPARAM>(remote.At(0)))) return 1;
    RECT item;
    remote.Read(0, &item, sizeof item);
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    return PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at) && PostMessageW(tabs, WM_LBUTTONUP, 0, at) ? 0 : 1;
}

int Window(const char* title) {
    HWND window = FindWindowW(nullptr, Wide(title).c_str());
    if (window == nullptr) return 1;
    RECT r;
    GetWindowRect(window, &r);
    std::printf("0x%lx %d %ld %ld %ld %ld 0x%08lx 0x%08lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                IsWindowVisible(window) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)));
    return 0;
}

int Post(char** argv) {
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(argv[0])));
    if (!IsWindow(window)) return 1;
    return PostMessageW(window, Number(argv[1]), Number(argv[2]), Number(argv[3])) ? 0 : 1;
}

// answer: "dismiss" (OK), "yes", "no", or null to leave the box open.
int Box(const char* caption, const char* answer) {
    HWND box = FindWindowW(L"#32770", Wide(caption).c_str());
    if (box == nullptr) return 1;
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    std::printf("%s\n", Utf8(text).c_str());
    if (answer == nullptr) return 0;
    const std::string choice = answer;
    const WPARAM button = choice == "yes" ? IDYES : choice == "no" ? IDNO : IDOK;
    PostMessageW(box, WM_COMMAND, button, 0);
    return 0;
}

// The number of a registered window message, as every process sees it.
int Message(const char* name) {
    const UINT number = RegisterWindowMessageW(Wide(name).c_str());
    if (number == 0) return 1;
    std::printf("%u\n", number);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments arrive in the ANSI code page; take them as UTF-8 from the
    // wide command line instead.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string storage[8];
    char* args[8] = {};
    for (int i = 0; i < count && i < 8; ++i) {
        storage[i] = Utf8(wide[i]);
        args[i] = &storage[i][0];
    }
    LocalFree(wide);
    (void)argv;
    argc = count;

    if (argc >= 3 && std::string(args[1]) == "window") return Window(args[2]);
    if (argc >= 6 && std::string(args[1]) == "post") return Post(args + 2);
    if (argc >= 3 && std::string(args[1]) == "box") return Box(args[2], argc >= 4 ? args[3] : nullptr);
    if (argc >= 3 && std::string(args[1]) == "message") return Message(args[2]);
    if (argc >= 4 && std::string(args[1]) == "page") {
        return Page(reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(args[2]))), static_cast<int>(Number(args[3])));
    }
    if (argc >= 4 && std::string(args[1]) == "tab") {
        return Tab(reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(args[2]))), static_cast<int>(Number(args[3])));
    }
    if (argc >= 3 && std::string(args[1]) == "menu") return MenuCommand(argc - 2, args + 2);
    if (argc == 2 && std::string(args[1]) == "tray") return TrayCommand();
    if (argc == 2 && std::string(args[1]) == "balloons") return BalloonsCommand();
    if (argc == 4 && std::string(args[1]) == "trayimage") return TrayImageCommand(args[2], args[3]);
    if (argc == 3 && std::string(args[1]) == "counts") return CountsCommand(args[2]);
    std::fprintf(stderr,
                 "usage: winprobe window TITLE | post HWND MSG WP LP | box CAPTION [dismiss|yes|no] | message NAME\n"
                 "       | page HWND K | tab HWND K\n"
                 "       | menu HWND [shift] [ctrl] [tray ICONHWND] | tray | balloons | trayimage ICONHWND EXE\n"
                 "       | counts HWND\n");
    return 2;
}
