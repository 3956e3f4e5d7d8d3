#include "base/windowutil.h"

#include <commdlg.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/latelibrary.h"
#include "base/widetext.h"

namespace {

const LONG kCaptionStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const char kFileDialogTitle[] = "ファイルの選択";
const char kAllFilesFilter[] = "全てのファイル";

// The choosers' library brings the print spooler (and, under Wine, CUPS)
// along: it loads when a chooser first opens. Without it a chooser reports
// itself cancelled.
LateLibrary comdlg32(L"comdlg32.dll");

// Length of the character starting at text (1 or 2 bytes; a lead byte
// without its trail byte counts alone).
std::size_t CharLength(UINT codePage, const char* text) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[0])) && text[1] != '\0') return 2;
    return 1;
}

// Copies length bytes of text into a PATH_BUFFER_SIZE buffer, stopping at
// the last whole character that fits.
void CopyPart(UINT codePage, char* out, const char* text, std::size_t length) {
    std::size_t kept = 0;
    while (kept < length) {
        const std::size_t next = kept + CharLength(codePage, text + kept);
        if (next > length || next > static_cast<std::size_t>(PATH_BUFFER_SIZE - 1)) break;
        kept = next;
    }
    std::memcpy(out, text, kept);
    out[kept] = '\0';
}

// The ANSI form of text into a PATH_BUFFER_SIZE buffer. False when it does
// not fit or the code page lacks one of its characters: such a path could
// not be opened through the ANSI functions anyway.
bool AnsiFromWide(const wchar_t* text, char* out) {
    BOOL lossy = FALSE;
    // UTF-8 accepts no default-character query.
    BOOL* lossyQuery = GetACP() == CP_UTF8 ? nullptr : &lossy;
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, out, PATH_BUFFER_SIZE, nullptr, lossyQuery);
    return length > 0 && !lossy;
}

}  // namespace

void CentreWindow(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowCaption(HWND window, int show) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const bool hasCaption = (style & WS_CAPTION) == WS_CAPTION;
    LONG newStyle;
    if (show && !hasCaption) {
        newStyle = style | kCaptionStyles;
        r.top -= caption;
    } else if (!show && hasCaption) {
        newStyle = style & ~kCaptionStyles;
        r.top += caption;
    } else {
        return;
    }
    SetWindowLongW(window, GWL_STYLE, newStyle);
    // The frame changed: have it recomputed and the whole window repainted.
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

void ForceForeground(HWND window) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    const bool windows98OrMe = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
                               (version.dwMajorVersion > 4 || version.dwMinorVersion >= 10);
    const bool nt5 = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    if (!windows98OrMe && !nt5) {
        SetForegroundWindow(window);
        return;
    }
    // These versions let only the foreground thread change the foreground,
    // so borrow its input state for the moment.
    const DWORD own = GetCurrentThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = foreground != 0 && foreground != own && AttachThreadInput(own, foreground, TRUE);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(own, foreground, FALSE);
    BringWindowToTop(window);
}

int GetItemRect(int itemId, RECT* rect, HWND dialog) {
    HWND item = GetDlgItem(dialog, itemId);
    RECT screen;
    if (item == nullptr || rect == nullptr || !GetWindowRect(item, &screen)) return 0;
    POINT corner = {screen.left, screen.top};
    if (!ScreenToClient(dialog, &corner)) return 0;
    rect->left = corner.x;
    rect->top = corner.y;
    rect->right = corner.x + (screen.right - screen.left);
    rect->bottom = corner.y + (screen.bottom - screen.top);
    return 1;
}

int SplitPathInCodePage(UINT codePage, const char* path, char* directory, char* fileName) {
    // Copied first, so that an output may be the path's own buffer.
    char* copy = path != nullptr ? static_cast<char*>(std::malloc(std::strlen(path) + 1)) : nullptr;
    if (copy != nullptr) std::strcpy(copy, path);
    if (directory != nullptr) directory[0] = '\0';
    if (fileName != nullptr) fileName[0] = '\0';
    if (copy == nullptr) return 0;

    // Walk whole characters: in CP932 a trail byte can be 0x5C.
    const char* slash = nullptr;
    for (const char* p = copy; *p != '\0'; p += CharLength(codePage, p)) {
        if (*p == '\\') slash = p;
    }
    const char* name = copy;
    if (slash != nullptr) {
        if (directory != nullptr) CopyPart(codePage, directory, copy, static_cast<std::size_t>(slash - copy));
        name = slash + 1;
    }
    if (fileName != nullptr) CopyPart(codePage, fileName, name, std::strlen(name));
    std::free(copy);
    return 1;
}

int SplitPath(const char* path, char* directory, char* fileName) {
    return SplitPathInCodePage(CP_ACP, path, directory, fileName);
}

int ChooseFileInFolder(HWND owner, char* path) {
    char folder[PATH_BUFFER_SIZE];
    SplitPath(path, folder, nullptr);
    return ShowOpenFileDialog(path, owner, folder);
}

int ShowOpenFileDialog(char* path, HWND owner, const char* initialFolder) {
    if (path == nullptr) return 0;
    // The buffer may be full to its last byte without a terminator.
    char current[PATH_BUFFER_SIZE];
    CopyPart(CP_ACP, current, path, strnlen(path, PATH_BUFFER_SIZE - 1));
    char name[PATH_BUFFER_SIZE];
    SplitPath(current, nullptr, name);

    wchar_t file[PATH_BUFFER_SIZE] = L"";
    const std::wstring initialName = WideFromAnsi(name);
    if (initialName.size() < static_cast<std::size_t>(PATH_BUFFER_SIZE)) {
        std::memcpy(file, initialName.c_str(), (initialName.size() + 1) * sizeof(wchar_t));
    }
    const std::wstring folder = WideFromAnsi(initialFolder);
    const std::wstring title = WideFromCp932(kFileDialogTitle);
    std::wstring filter = WideFromCp932(kAllFilesFilter);
    filter.push_back(L'\0');
    filter += L"*.*";
    filter.push_back(L'\0');  // the string's own terminator ends the list

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = PATH_BUFFER_SIZE;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;  // dumps go to the current directory
    const auto getOpenFileName = comdlg32.Find<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    if (getOpenFileName == nullptr || !getOpenFileName(&dialog)) return 0;

    char chosen[PATH_BUFFER_SIZE];
    if (!AnsiFromWide(file, chosen)) return 0;
    std::memcpy(path, chosen, std::strlen(chosen) + 1);
    return 1;
}

int ChooseFontDialog(LOGFONTA* font, HWND owner) {
    if (font == nullptr) return 0;
    LOGFONTA copy = *font;
    CHOOSEFONTA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &copy;
    dialog.Flags = CF_SCREENFONTS | CF_NOVERTFONTS | CF_INITTOLOGFONTSTRUCT;
    const auto chooseFont = comdlg32.Find<BOOL(WINAPI*)(CHOOSEFONTA*)>("ChooseFontA");
    if (chooseFont == nullptr || !chooseFont(&dialog)) return 0;
    *font = copy;
    return 1;
}

COLORREF ChooseColourDialog(COLORREF colour, HWND owner) {
    COLORREF custom[16] = {};  // black on every call, never kept
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.rgbResult = colour;
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_ANYCOLOR;
    const auto chooseColor = comdlg32.Find<BOOL(WINAPI*)(CHOOSECOLORW*)>("ChooseColorW");
    return chooseColor != nullptr && chooseColor(&dialog) ? dialog.rgbResult : colour;
}

void CopyTextToClipboard(const char* text, HWND owner) {
    if (text == nullptr) return;
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (block == nullptr) return;
    void* data = GlobalLock(block);
    if (data == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(data, text, size);
    GlobalUnlock(block);
    // The block belongs to the clipboard only once it has taken it.
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
    CloseClipboard();
}
