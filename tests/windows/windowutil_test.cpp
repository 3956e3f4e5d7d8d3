#include "base/windowutil.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// ファイルの選択, 全てのファイル
const std::wstring kTitleUtf16{0x30D5, 0x30A1, 0x30A4, 0x30EB, 0x306E, 0x9078, 0x629E};
const std::wstring kFilterUtf16{0x5168, 0x3066, 0x306E, 0x30D5, 0x30A1, 0x30A4, 0x30EB};

// Colour dialog edit boxes (the same ids on Windows and Wine).
const int kRedEdit = 706;
const int kGreenEdit = 707;
const int kBlueEdit = 708;

const DWORD kCaptionStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* PlainClass() {
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WindowUtilTest";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        atom = RegisterClassW(&wc);
    }
    return L"WindowUtilTest";
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Windows stay hidden unless a test needs them shown: without a window
// manager, Wine takes seconds to take a shown window down again.
class TestWindow {
public:
    TestWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr, int id = 0) {
        window_ = CreateWindowExW(0, parent != nullptr ? L"STATIC" : PlainClass(), L"test", style, x, y, width, height,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                  nullptr);
        Pump();
    }
    ~TestWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
        Pump();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)); }

private:
    HWND window_;
};

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

// Where the client area lies on the screen.
RECT ClientOnScreen(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

// Drives the next modal common dialog of this thread: a thread timer, which
// the dialog's own message loop dispatches, finds the dialog and runs the
// action once. The action must close the dialog; if it stays open, it is
// cancelled after a few seconds so that a test never hangs.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> action) : action_(std::move(action)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Acted() const { return acted_; }
    bool GaveUp() const { return gaveUp_; }

private:
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
        wchar_t name[16] = L"";
        GetClassNameW(window, name, 16);
        if (std::wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current_;
        if (self == nullptr) return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) return;
        if (!self->acted_) {
            self->acted_ = true;
            self->action_(dialog);
        } else if (++self->ticksSince_ > 150) {
            self->gaveUp_ = true;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

    static DialogDriver* current_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool acted_ = false;
    bool gaveUp_ = false;
    int ticksSince_ = 0;
};
DialogDriver* DialogDriver::current_ = nullptr;

void Press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::wstring Text(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

// ---- placement and caption ----

// About half the screen, leaving an odd number of pixels beside it.
int OddLeftover(int screen) {
    const int size = screen / 2;
    return (screen - size) % 2 != 0 ? size : size + 1;
}

TEST(CentreWindow, PutsTheWindowInTheMiddleOfThePrimaryScreenKeepingItsSize) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Odd leftovers show the rounding; a window larger than the screen goes
    // negative, where integer division rounds towards zero (-25, not -26).
    struct Case {
        int width, height, left, top;
    };
    const int oddWidth = OddLeftover(screenWidth);
    const int oddHeight = OddLeftover(screenHeight);
    const Case cases[] = {
        {oddWidth, oddHeight, (screenWidth - oddWidth - 1) / 2, (screenHeight - oddHeight - 1) / 2},
        {screenWidth + 51, screenHeight + 31, -25, -15},
    };
    for (const Case& c : cases) {
        TestWindow window(WS_POPUP, 3, 5, c.width, c.height);
        ASSERT_NE(nullptr, window.get());
        ASSERT_EQ(c.width, WindowRect(window.get()).right - WindowRect(window.get()).left);
        CentreWindow(window.get());
        ExpectRect(RECT{c.left, c.top, c.left + c.width, c.top + c.height}, WindowRect(window.get()), "centred");
    }
}

TEST(ShowCaption, RemovesAndRestoresTheCaptionKeepingTheOtherEdges) {
    TestWindow window(WS_POPUP | WS_CLIPCHILDREN | kCaptionStyles, 100, 200, 400, 300);
    ASSERT_NE(nullptr, window.get());
    // As created, with what the system adds to a top-level window.
    const DWORD mainStyle = window.Style();
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const RECT shown = WindowRect(window.get());
    const RECT clientShown = ClientOnScreen(window.get());

    ShowCaption(window.get(), 0);
    const DWORD bare = window.Style();
    EXPECT_EQ(mainStyle & ~kCaptionStyles, bare);
    const RECT removed = WindowRect(window.get());
    ExpectRect(RECT{shown.left, shown.top + caption, shown.right, shown.bottom}, removed, "without caption");
    // The frame was recomputed: no non-client area is left, so the client
    // area is where it was but for the border that went with the caption.
    ExpectRect(removed, ClientOnScreen(window.get()), "client without caption");
    EXPECT_GE(clientShown.top - removed.top, 0);
    EXPECT_LE(clientShown.top - removed.top, GetSystemMetrics(SM_CYDLGFRAME));

    ShowCaption(window.get(), 0);
    EXPECT_EQ(bare, window.Style());
    ExpectRect(removed, WindowRect(window.get()), "removed twice");

    ShowCaption(window.get(), 1);
    EXPECT_EQ(mainStyle, window.Style());
    ExpectRect(shown, WindowRect(window.get()), "caption back");
    ExpectRect(clientShown, ClientOnScreen(window.get()), "client with the caption back");

    ShowCaption(window.get(), 1);
    EXPECT_EQ(mainStyle, window.Style());
    ExpectRect(shown, WindowRect(window.get()), "shown twice");
}

TEST(ShowCaption, AddsTheThreeStylesToAWindowWithoutCaption) {
    TestWindow window(WS_POPUP | WS_BORDER, 50, 300, 200, 100);
    const DWORD style = window.Style();
    const RECT before = WindowRect(window.get());
    ShowCaption(window.get(), 1);
    EXPECT_EQ(style | kCaptionStyles, window.Style());
    ExpectRect(RECT{before.left, before.top - GetSystemMetrics(SM_CYCAPTION), before.right, before.bottom},
               WindowRect(window.get()), "caption added");
}

TEST(ForceForeground, TakesTheForegroundFromAnotherWindowAndComesToTheTop) {
    TestWindow first(WS_POPUP | WS_VISIBLE | WS_CAPTION, 10, 10, 200, 150);
    TestWindow second(WS_POPUP | WS_VISIBLE | WS_CAPTION, 40, 40, 200, 150);
    ASSERT_TRUE(SetForegroundWindow(second.get()));
    Pump();
    ASSERT_EQ(second.get(), GetForegroundWindow());

    ForceForeground(first.get());
    Pump();
    EXPECT_EQ(first.get(), GetForegroundWindow());
    EXPECT_EQ(first.get(), GetActiveWindow());
    bool above = false;
    for (HWND w = GetWindow(first.get(), GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == second.get()) above = true;
    }
    EXPECT_TRUE(above) << "the window is not above the other one";

    ForceForeground(first.get());  // already in front
    EXPECT_EQ(first.get(), GetForegroundWindow());
}

TEST(GetItemRect, GivesTheItemInTheDialogsClientCoordinates) {
    TestWindow dialog(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 70, 90, 300, 200);
    TestWindow item(WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, dialog.get(), 1234);
    ASSERT_NE(nullptr, item.get());

    RECT r = {-1, -1, -1, -1};
    EXPECT_EQ(1, GetItemRect(1234, &r, dialog.get()));
    ExpectRect(RECT{10, 20, 40, 60}, r, "item");

    RECT untouched = {1, 2, 3, 4};
    EXPECT_EQ(0, GetItemRect(999, &untouched, dialog.get()));
    ExpectRect(RECT{1, 2, 3, 4}, untouched, "no such item");
    EXPECT_EQ(0, GetItemRect(1234, nullptr, dialog.get()));
}

// ---- paths ----

struct Split {
    int result;
    std::string directory;
    std::string fileName;
};

Split SplitIn(UINT codePage, const char* path) {
    char directory[PATH_BUFFER_SIZE] = "old directory";
    char fileName[PATH_BUFFER_SIZE] = "old name";
    const int result = SplitPathInCodePage(codePage, path, directory, fileName);
    return Split{result, directory, fileName};
}

void ExpectSplit(const char* path, const char* directory, const char* fileName) {
    char directoryOut[PATH_BUFFER_SIZE] = "old directory";
    char fileNameOut[PATH_BUFFER_SIZE] = "old name";
    EXPECT_EQ(1, SplitPath(path, directoryOut, fileNameOut)) << path;
    EXPECT_STREQ(directory, directoryOut) << path;
    EXPECT_STREQ(fileName, fileNameOut) << path;
}

TEST(SplitPath, SplitsAtTheLastBackslash) {
    ExpectSplit("C:\\skins\\a.png", "C:\\skins", "a.png");
    ExpectSplit("a.png", "", "a.png");
    ExpectSplit("C:\\skins\\", "C:\\skins", "");
    ExpectSplit("C:\\a\\b\\c.d.e", "C:\\a\\b", "c.d.e");
    ExpectSplit("\\a.png", "", "a.png");
    ExpectSplit("C:\\", "C:", "");
    ExpectSplit("C:a.png", "", "C:a.png");
    ExpectSplit("skins/a.png", "", "skins/a.png");
    ExpectSplit("", "", "");
}

TEST(SplitPath, OutputsMayBeNullAndAreClearedEvenOnFailure) {
    char fileName[PATH_BUFFER_SIZE] = "old";
    EXPECT_EQ(1, SplitPath("C:\\skins\\a.png", nullptr, fileName));
    EXPECT_STREQ("a.png", fileName);
    char directory[PATH_BUFFER_SIZE] = "old";
    EXPECT_EQ(1, SplitPath("C:\\skins\\a.png", directory, nullptr));
    EXPECT_STREQ("C:\\skins", directory);
    EXPECT_EQ(1, SplitPath("C:\\skins\\a.png", nullptr, nullptr));

    std::strcpy(directory, "old");
    std::strcpy(fileName, "old");
    EXPECT_EQ(0, SplitPath(nullptr, directory, fileName));
    EXPECT_STREQ("", directory);
    EXPECT_STREQ("", fileName);
    EXPECT_EQ(0, SplitPath(nullptr, nullptr, nullptr));

    // An output may be the path's own buffer.
    char path[PATH_BUFFER_SIZE] = "C:\\skins\\a.png";
    EXPECT_EQ(1, SplitPath(path, path, fileName));
    EXPECT_STREQ("C:\\skins", path);
    EXPECT_STREQ("a.png", fileName);
}

TEST(SplitPath, DoubleByteTrailBytesAreNoSeparators) {
    // 表 is 95 5C in CP932.
    Split split = SplitIn(932, "C:\\skins\\\x95\x5C.png");
    EXPECT_EQ("C:\\skins", split.directory);
    EXPECT_EQ("\x95\x5C.png", split.fileName);
    split = SplitIn(932, "C:\\\x95\x5C");
    EXPECT_EQ("C:", split.directory);
    EXPECT_EQ("\x95\x5C", split.fileName);
    // A single-byte code page reads the same bytes as a separator.
    split = SplitIn(1252, "C:\\skins\\\x95\x5C.png");
    EXPECT_EQ("C:\\skins\\\x95", split.directory);
    EXPECT_EQ(".png", split.fileName);
}

TEST(SplitPath, LongPartsAreCutToTheBufferAtACharacterBoundary) {
    const std::string longName(1500, 'n');
    Split split = SplitIn(1252, ("C:\\" + longName).c_str());
    EXPECT_EQ("C:", split.directory);
    EXPECT_EQ(std::string(1023, 'n'), split.fileName);
    // 1022 bytes and a double-byte character: the lead byte must not stay alone.
    split = SplitIn(932, ("C:\\" + std::string(1022, 'n') + "\x95\x5C").c_str());
    EXPECT_EQ(std::string(1022, 'n'), split.fileName);
    split = SplitIn(932, ("C:\\" + std::string(1021, 'n') + "\x95\x5C").c_str());
    EXPECT_EQ(std::string(1021, 'n') + "\x95\x5C", split.fileName);
}

// ---- common dialogs ----

TEST(ChooseColourDialog, CancelledGivesBackTheColourAndOkTheChosenOne) {
    const COLORREF given = RGB(12, 34, 56);
    std::wstring red, green, blue;
    bool fullOpen = true;
    {
        DialogDriver driver([&](HWND dialog) {
            red = Text(GetDlgItem(dialog, kRedEdit));
            green = Text(GetDlgItem(dialog, kGreenEdit));
            blue = Text(GetDlgItem(dialog, kBlueEdit));
            fullOpen = IsWindowVisible(GetDlgItem(dialog, kRedEdit)) != FALSE;
            Press(dialog, IDCANCEL);
        });
        EXPECT_EQ(given, ChooseColourDialog(given, nullptr));
        EXPECT_TRUE(driver.Acted());
        EXPECT_FALSE(driver.GaveUp());
    }
    EXPECT_EQ(L"12", red);
    EXPECT_EQ(L"34", green);
    EXPECT_EQ(L"56", blue);
    EXPECT_FALSE(fullOpen) << "the dialog opens without its custom colour part";

    TestWindow owner(WS_POPUP | WS_CAPTION, 10, 10, 200, 100);
    DialogDriver driver([](HWND dialog) {
        SetDlgItemTextW(dialog, kRedEdit, L"200");
        SetDlgItemTextW(dialog, kGreenEdit, L"100");
        SetDlgItemTextW(dialog, kBlueEdit, L"50");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(RGB(200, 100, 50), ChooseColourDialog(given, owner.get()));
    EXPECT_FALSE(driver.GaveUp());
}

int CALLBACK AddFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM faces) {
    std::vector<std::string>& list = *reinterpret_cast<std::vector<std::string>*>(faces);
    if (font->lfFaceName[0] != '@' && (list.empty() || list.back() != font->lfFaceName)) {
        list.push_back(font->lfFaceName);
    }
    return 1;
}

// A screen font's face that is not the first one listed, so that the dialog
// shows it only when it starts from the font given.
std::string SomeFace() {
    std::vector<std::string> faces;
    HDC screen = GetDC(nullptr);
    LOGFONTA all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen, &all, AddFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, screen);
    return faces.empty() ? std::string() : faces.back();
}

LOGFONTA TestFont(const std::string& face) {
    LOGFONTA font;
    std::memset(&font, 0x5A, sizeof font);  // every byte counts
    font.lfHeight = -13;
    font.lfWidth = 0;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 0;
    font.lfUnderline = 0;
    font.lfStrikeOut = 0;
    font.lfCharSet = DEFAULT_CHARSET;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::strncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return font;
}

TEST(ChooseFontDialog, CancelledLeavesTheFontAlone) {
    const std::string someFace = SomeFace();
    ASSERT_FALSE(someFace.empty()) << "no screen fonts";
    LOGFONTA font = TestFont(someFace);
    const LOGFONTA before = font;
    std::string face;
    DialogDriver driver([&](HWND dialog) {
        char text[LF_FACESIZE + 8] = "";
        GetWindowTextA(GetDlgItem(dialog, cmb1), text, sizeof text);
        face = text;
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, ChooseFontDialog(&font, nullptr));
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(0, std::memcmp(&before, &font, sizeof font));
    EXPECT_EQ(someFace, face) << "not initialised from the font";
    EXPECT_EQ(0, ChooseFontDialog(nullptr, nullptr));
}

TEST(ChooseFontDialog, OkReplacesTheFontWithTheChosenOne) {
    const std::string someFace = SomeFace();
    ASSERT_FALSE(someFace.empty()) << "no screen fonts";
    LOGFONTA font = TestFont(someFace);
    std::string chosen;
    DialogDriver driver([&](HWND dialog) {
        // Pick the first face that is not the current one.
        HWND list = GetDlgItem(dialog, cmb1);
        const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count && chosen.empty(); ++i) {
            char name[LF_FACESIZE + 8] = "";
            if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) >= LF_FACESIZE) continue;
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            if (someFace == name) continue;
            SendMessageA(list, CB_SETCURSEL, i, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            chosen = name;
        }
        Press(dialog, IDOK);
    });
    EXPECT_EQ(1, ChooseFontDialog(&font, nullptr));
    EXPECT_FALSE(driver.GaveUp());
    ASSERT_FALSE(chosen.empty());
    EXPECT_STREQ(chosen.c_str(), font.lfFaceName);
    EXPECT_NE(0, font.lfHeight);
}

// A new scratch folder in the Windows temp folder, with empty files in it.
// Each has its own name, so that no folder the dialog remembers from an
// earlier run can pass for the one asked for. A chosen file makes its folder
// the current one: the old one is put back.
class ScratchFolder {
public:
    ScratchFolder() {
        static int count = 0;
        GetCurrentDirectoryA(MAX_PATH, previous_);
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        char longTemp[MAX_PATH] = "";
        if (GetLongPathNameA(temp, longTemp, MAX_PATH) == 0) std::strcpy(longTemp, temp);
        path_ = std::string(longTemp) + "windowutil_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(GetTickCount()) + "_" + std::to_string(++count);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        SetCurrentDirectoryA(previous_);
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string Add(const std::string& name) {
        const std::string file = path_ + "\\" + name;
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        files_.push_back(file);
        return file;
    }

private:
    char previous_[MAX_PATH] = "";
    std::string path_;
    std::vector<std::string> files_;
};

std::wstring Wide(const std::string& ansi) {
    wchar_t text[PATH_BUFFER_SIZE] = L"";
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, PATH_BUFFER_SIZE);
    return text;
}

struct FileDialogView {
    std::wstring title;
    std::wstring folder;
    std::wstring fileName;
    int filters = -1;
    std::wstring filter;
    bool readOnlyShown = true;
};

FileDialogView Look(HWND dialog) {
    FileDialogView view;
    view.title = Text(dialog);
    wchar_t text[PATH_BUFFER_SIZE] = L"";
    if (SendMessageW(dialog, CDM_GETFOLDERPATH, PATH_BUFFER_SIZE, reinterpret_cast<LPARAM>(text)) > 0) view.folder = text;
    text[0] = L'\0';
    if (SendMessageW(dialog, CDM_GETSPEC, PATH_BUFFER_SIZE, reinterpret_cast<LPARAM>(text)) > 0) view.fileName = text;
    HWND types = GetDlgItem(dialog, cmb1);
    view.filters = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
    if (view.filters > 0 && SendMessageW(types, CB_GETLBTEXTLEN, 0, 0) < PATH_BUFFER_SIZE) {
        text[0] = L'\0';
        SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
        view.filter = text;
    }
    HWND readOnly = GetDlgItem(dialog, chx1);
    view.readOnlyShown = readOnly != nullptr && IsWindowVisible(readOnly);
    return view;
}

TEST(ShowOpenFileDialog, ShowsItsJapaneseTitleAndFilterAndCancelLeavesTheBuffer) {
    ScratchFolder folder;
    char path[PATH_BUFFER_SIZE];
    std::memset(path, 'z', sizeof path);
    std::strcpy(path, "C:\\elsewhere\\skin.png");
    char before[PATH_BUFFER_SIZE];
    std::memcpy(before, path, sizeof path);

    FileDialogView view;
    DialogDriver driver([&](HWND dialog) {
        view = Look(dialog);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, ShowOpenFileDialog(path, nullptr, folder.path().c_str()));
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(0, std::memcmp(before, path, sizeof path));

    EXPECT_EQ(kTitleUtf16, view.title);
    EXPECT_EQ(1, view.filters);
    EXPECT_EQ(kFilterUtf16, view.filter);
    EXPECT_FALSE(view.readOnlyShown);
    // The folder given, not the one in the path; the path's file name.
    EXPECT_EQ(Wide(folder.path()), view.folder);
    EXPECT_EQ(L"skin.png", view.fileName);
}

TEST(ChooseFileInFolder, StartsInThePathsFolderAndReturnsTheChosenPath) {
    ScratchFolder folder;
    const std::string current = folder.Add("current.png");
    const std::string other = folder.Add("other.png");
    char path[PATH_BUFFER_SIZE];
    std::strcpy(path, current.c_str());

    FileDialogView view;
    DialogDriver driver([&](HWND dialog) {
        view = Look(dialog);
        // A bare name is taken relative to the dialog's folder.
        SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(L"other.png"));
        SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(L"other.png"));
        Press(dialog, IDOK);
    });
    EXPECT_EQ(1, ChooseFileInFolder(nullptr, path));
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(Wide(folder.path()), view.folder);
    EXPECT_EQ(L"current.png", view.fileName);
    EXPECT_EQ(kTitleUtf16, view.title);
    EXPECT_STRCASEEQ(other.c_str(), path);
}

TEST(ChooseFileInFolder, NonAsciiNamesGoThroughTheAnsiCodePage) {
    // A name the ANSI code page holds beyond ASCII: é in single-byte code
    // pages, あ in double-byte ones, whichever converts without loss.
    std::string name;
    std::wstring wideName;
    for (const wchar_t* candidate : {L"\x00E9t\x00E9.png", L"\x3042.png"}) {
        char ansi[64] = "";
        BOOL lossy = FALSE;
        const bool utf8 = GetACP() == CP_UTF8;
        if (WideCharToMultiByte(CP_ACP, 0, candidate, -1, ansi, 64, nullptr, utf8 ? nullptr : &lossy) > 0 &&
            !lossy) {
            name = ansi;
            wideName = candidate;
            break;
        }
    }
    ASSERT_FALSE(name.empty()) << "the ANSI code page " << GetACP() << " holds neither test name";

    ScratchFolder folder;
    const std::string file = folder.Add(name);
    char path[PATH_BUFFER_SIZE];
    std::strcpy(path, file.c_str());
    FileDialogView view;
    DialogDriver driver([&](HWND dialog) {
        view = Look(dialog);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(1, ChooseFileInFolder(nullptr, path));
    EXPECT_FALSE(driver.GaveUp());
    EXPECT_EQ(wideName, view.fileName);
    EXPECT_EQ(file, std::string(path));
}

// ---- clipboard ----

std::string ClipboardText() {
    std::string text = "(none)";
    if (!OpenClipboard(nullptr)) return "(not opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        const char* p = static_cast<const char*>(GlobalLock(data));
        if (p != nullptr) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(CopyTextToClipboard, PutsTheTextOnTheClipboardForTheWindow) {
    TestWindow window(WS_POPUP, 0, 0, 10, 10);
    for (const char* text : {"ST3500418AS", "Serial 5VM1\x95\x5C 9", ""}) {
        CopyTextToClipboard(text, window.get());
        EXPECT_EQ(text, ClipboardText());
        EXPECT_EQ(window.get(), GetClipboardOwner());
    }
}

struct HeldClipboard {
    HANDLE opened;
    HANDLE release;
};

DWORD WINAPI HoldClipboard(void* context) {
    HeldClipboard* held = static_cast<HeldClipboard*>(context);
    const BOOL ok = OpenClipboard(nullptr);
    SetEvent(held->opened);
    WaitForSingleObject(held->release, 10000);
    if (ok) CloseClipboard();
    return ok ? 0 : 1;
}

TEST(CopyTextToClipboard, CopiesNothingWhileAnotherThreadHoldsTheClipboard) {
    TestWindow window(WS_POPUP, 0, 0, 10, 10);
    CopyTextToClipboard("before", window.get());
    ASSERT_EQ("before", ClipboardText());

    HeldClipboard held = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &held, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(held.opened, 10000);
    CopyTextToClipboard("while held", window.get());
    SetEvent(held.release);
    WaitForSingleObject(thread, 10000);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    CloseHandle(held.opened);
    CloseHandle(held.release);
    ASSERT_EQ(0u, code) << "the other thread could not open the clipboard";

    EXPECT_EQ("before", ClipboardText());
    CopyTextToClipboard(nullptr, window.get());
    EXPECT_EQ("before", ClipboardText());
}

}  // namespace
