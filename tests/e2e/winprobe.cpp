// A small Windows program that the end-to-end tests run beside the program
// under test, to look at its windows and talk to them as a user or another
// program would.
//
//   winprobe window TITLE            the top-level window of that title:
//                                    "hwnd visible x y width height style exstyle"
//   winprobe post HWND MSG WP LP     PostMessage (numbers decimal or 0x...)
//   winprobe box CAPTION [dismiss]   the text of a message box of that caption,
//                                    closed with OK when asked
//
// Titles and texts are UTF-8 on the command line and in the output. The exit
// status is 0 on success, 1 when no such window exists, 2 for bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring text(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &text[0], length);
    return text;
}

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], length, nullptr, nullptr);
    return out;
}

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

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

int Box(const char* caption, bool dismiss) {
    HWND box = FindWindowW(L"#32770", Wide(caption).c_str());
    if (box == nullptr) return 1;
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    std::printf("%s\n", Utf8(text).c_str());
    if (dismiss) PostMessageW(box, WM_COMMAND, IDOK, 0);
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
    if (argc >= 3 && std::string(args[1]) == "box") return Box(args[2], argc >= 4 && std::string(args[3]) == "dismiss");
    std::fprintf(stderr, "usage: winprobe window TITLE | post HWND MSG WP LP | box CAPTION [dismiss]\n");
    return 2;
}
