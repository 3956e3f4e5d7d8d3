// menudump.dll: winprobe loads it into the program under test to read the
// popup menu that program is tracking. Wine keeps menus per process, so
// GetMenuItemInfo on another process's menu fails; here it is our own.
//
// No C++ runtime beyond the compiler's: the DLL is loaded and unloaded again
// in a program that keeps running.
#include <windows.h>

#include "menudump.h"

namespace {

// Appends to the block's text; remembers when something did not fit.
class Lines {
public:
    explicit Lines(MenuDump* dump) : dump_(dump) {}

    bool Full() const { return full_; }

    void Add(const char* text) {
        for (; *text != '\0'; ++text) Put(*text);
    }
    void Add(unsigned long number) {
        char digits[16];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        while (count > 0) Put(digits[--count]);
    }
    // A tab inside a caption (before the accelerator's name) is written as
    // "\t", so that every line keeps its columns.
    void AddCaption(const wchar_t* text) {
        char utf8[4096];
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        if (bytes <= 0) {
            full_ = true;
            return;
        }
        for (int k = 0; k + 1 < bytes; ++k) {
            if (utf8[k] == '\t') {
                Add("\\t");
            } else {
                Put(utf8[k]);
            }
        }
    }

private:
    void Put(char c) {
        if (dump_->length >= dump_->capacity) {
            full_ = true;
            return;
        }
        dump_->text[dump_->length++] = c;
    }

    MenuDump* dump_;
    bool full_ = false;
};

const int kDeepest = 16;

// One line an item, depth-first: a sub-menu's items right after its own.
bool Walk(HMENU menu, int depth, Lines& lines) {
    const int count = GetMenuItemCount(menu);
    if (count < 0 || depth > kDeepest) return false;
    for (int k = 0; k < count; ++k) {
        wchar_t caption[1024] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = caption;
        item.cch = sizeof caption / sizeof caption[0];
        if (!GetMenuItemInfoW(menu, k, TRUE, &item)) return false;
        const bool separator = (item.fType & MFT_SEPARATOR) != 0 && item.hSubMenu == nullptr;
        const char* kind = item.hSubMenu != nullptr            ? "sub"
                           : separator                          ? "sep"
                           : (item.fType & MFT_RADIOCHECK) != 0 ? "radio"
                                                                : "item";
        const bool plain = item.hSubMenu == nullptr && !separator;
        lines.Add(static_cast<unsigned long>(depth));
        lines.Add("\t");
        lines.Add(kind);
        lines.Add("\t");
        lines.Add(plain ? static_cast<unsigned long>(item.wID) : 0UL);
        lines.Add((item.fState & MFS_CHECKED) != 0 ? "\t1\t" : "\t0\t");
        if (!separator) lines.AddCaption(caption);
        // MFS_GRAYED covers MFS_DISABLED: either way the item cannot be chosen.
        lines.Add(!separator && (item.fState & MFS_GRAYED) != 0 ? "\t1\n" : "\t0\n");
        if (item.hSubMenu != nullptr && !Walk(item.hSubMenu, depth + 1, lines)) return false;
    }
    return !lines.Full();
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI DumpMenu(void* parameter) {
    MenuDump* dump = static_cast<MenuDump*>(parameter);
    dump->length = 0;
    Lines lines(dump);
    const HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(dump->menu));
    return IsMenu(menu) && Walk(menu, 0, lines) ? 1 : 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI CloseMenu(void*) { return EndMenu() ? 1 : 0; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
