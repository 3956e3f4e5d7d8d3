// The tray icon: what the shell is told, the way back from the tray, and
// what it tells of the drives.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/commandids.h"
#include "app/maindialog.h"
#include "base/msgbox.h"
#include "base/widetext.h"
#include "common/drive_blocks.h"
#include "common/scratch_dir.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "sim/blockbuilder.h"
#include "sim/simulator.h"
#include "windows/gui_counts.h"
#include "windows/page_fixture.h"
#include "windows/test_images.h"

namespace {

// The ANSI and the wide calls in the order made; each holds its own data.
struct ShellCall {
    DWORD message;
    bool wide;
    NOTIFYICONDATAA data;
    NOTIFYICONDATAW wideData;
};

std::vector<ShellCall> shellCalls;

BOOL WINAPI RecordShell(DWORD message, PNOTIFYICONDATAA data) {
    shellCalls.push_back({message, false, *data, {}});
    return TRUE;
}

BOOL WINAPI RecordWideShell(DWORD message, PNOTIFYICONDATAW data) {
    shellCalls.push_back({message, true, {}, *data});
    return TRUE;
}

class Tray : public ::testing::Test {
protected:
    Tray() : scratch_("tray") {
        shellCalls.clear();
        previousNotifier_ = SetTrayNotifier(RecordShell);
        previousWideNotifier_ = SetTrayNotifierW(RecordWideShell);
        previousDevices_ = InstallDevices(&sim_);
    }
    ~Tray() override {
        CloseMainWindow(window_);
        InstallDevices(previousDevices_);
        SetTrayNotifier(previousNotifier_);
        SetTrayNotifierW(previousWideNotifier_);
    }
    void Open() {
        window_ = OpenMainWindow();
        Drain();
    }
    void Drain() {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (msg.message != WM_TIMER) DispatchMessageW(&msg);
        }
    }

    ScratchDir scratch_;
    Simulator sim_;
    DeviceSystem* previousDevices_;
    TrayNotifier previousNotifier_;
    TrayNotifierW previousWideNotifier_;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(Tray, StartingInTheTrayShowsOneIconThatBringsTheWindowBack) {
    sim_.AddDrive(TestDrive(0, "TRAY"));
    WritePrivateProfileStringA("Global", "Run", "1", scratch_.SettingsFile().c_str());
    WritePrivateProfileStringA("Global", "TaskTray", "1", scratch_.SettingsFile().c_str());
    Open();
    ASSERT_EQ(1u, shellCalls.size());
    const NOTIFYICONDATAA& added = shellCalls[0].data;
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shellCalls[0].message);
    EXPECT_EQ(window_, added.hWnd);
    EXPECT_EQ(static_cast<UINT>(NIF_ICON | NIF_MESSAGE | NIF_TIP), added.uFlags);
    EXPECT_EQ(kTrayCallback, added.uCallbackMessage);
    EXPECT_STREQ("Veldakor (x86)", added.szTip);
    EXPECT_NE(nullptr, added.hIcon);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V3_SIZE), added.cbSize);
    EXPECT_FALSE(IsWindowVisible(window_)) << "started in the tray";

    // A single click does nothing; a double-click brings the window back.
    SendMessageW(window_, kTrayCallback, added.uID, WM_LBUTTONDOWN);
    SendMessageW(window_, kTrayCallback, added.uID, WM_LBUTTONUP);
    Drain();
    EXPECT_FALSE(IsWindowVisible(window_));
    SendMessageW(window_, kTrayCallback, added.uID, WM_LBUTTONDBLCLK);
    Drain();
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(0, appSettings.Global.TaskTray);
    // And back into the tray the same way.
    SendMessageW(window_, kTrayCallback, added.uID, WM_LBUTTONDBLCLK);
    Drain();
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_EQ(1, appSettings.Global.TaskTray);

    // The shell restarted: the same icon is added again.
    SendMessageW(window_, trayIcon.TaskbarMessage(), 0, 0);
    ASSERT_EQ(2u, shellCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shellCalls[1].message);
    EXPECT_EQ(added.uID, shellCalls[1].data.uID);
    EXPECT_EQ(added.hIcon, shellCalls[1].data.hIcon);

    // Nothing is left in the notification area after the end.
    DestroyWindow(window_);
    window_ = nullptr;
    ASSERT_EQ(3u, shellCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shellCalls[2].message);
    EXPECT_EQ(added.uID, shellCalls[2].data.uID);
    EXPECT_EQ(added.hWnd, shellCalls[2].data.hWnd);
    trayIcon.Destroy();
    EXPECT_EQ(3u, shellCalls.size()) << "a second Destroy tells the shell nothing";
}

TEST_F(Tray, OneEntryTableOwnedIconsAndLongTips) {
    TaskTrayIcon tray;
    EXPECT_EQ(RegisterWindowMessageA("TaskbarCreated"), tray.TaskbarMessage());
    tray.Destroy();  // never created
    EXPECT_TRUE(shellCalls.empty());
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(tray.Create(GetModuleHandleW(nullptr), window));
    EXPECT_FALSE(tray.Create(GetModuleHandleW(nullptr), window)) << "one table at a time";
    tray.SetCallback(kTrayCallback, std::string(128, 'x').c_str());
    EXPECT_EQ(static_cast<UINT>(NIF_ICON), tray.NotifyData().uFlags) << "a tip that does not fit is not set";
    BYTE andMask[32], xorMask[32] = {};
    std::fill(andMask, andMask + sizeof andMask, 0xFF);
    HICON owned = CreateIcon(nullptr, 16, 16, 1, 1, andMask, xorMask);
    HICON second = CreateIcon(nullptr, 16, 16, 1, 1, andMask, xorMask);
    tray.AddIcon(owned, TRUE);
    tray.AddIcon(second, TRUE);  // the table is full
    tray.Show(0);
    ASSERT_EQ(1u, shellCalls.size());
    EXPECT_EQ(owned, shellCalls[0].data.hIcon);
    tray.Show(1);  // past the table
    EXPECT_EQ(1u, shellCalls.size());
    tray.Destroy();
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(owned, &info)) << "an owned icon goes with its entry";
    EXPECT_TRUE(GetIconInfo(second, &info)) << "an icon never stored is the caller's";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(second);
    DestroyWindow(window);
}

TEST_F(Tray, TipsAndBalloonsAreCutToWholeCharacters) {
    TaskTrayIcon tray;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(tray.Create(GetModuleHandleW(nullptr), window, 2));
    tray.SetCallback(kTrayCallback, "tip");
    tray.AddIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SMALL), IMAGE_ICON,
                                               16, 16, LR_SHARED)),
                 FALSE);
    tray.Show(0);
    tray.Change(1, L"an entry never filled");
    ASSERT_EQ(1u, shellCalls.size()) << "no icon to change to";

    // A character outside the basic plane is two units: where only one
    // fits, neither is taken.
    const std::wstring disk = L"\U0001F4BE";
    tray.Change(0, (std::wstring(126, L't') + disk).c_str());
    tray.Balloon((std::wstring(62, L'h') + disk).c_str(), (std::wstring(254, L'b') + disk).c_str(), NIIF_ERROR);
    ASSERT_EQ(3u, shellCalls.size());
    EXPECT_EQ(std::wstring(126, L't'), shellCalls[1].wideData.szTip);
    EXPECT_EQ(std::wstring(62, L'h'), shellCalls[2].wideData.szInfoTitle);
    EXPECT_EQ(std::wstring(254, L'b'), shellCalls[2].wideData.szInfo);
    tray.Balloon(L"", (std::wstring(253, L'b') + disk).c_str(), NIIF_ERROR);
    EXPECT_EQ(std::wstring(253, L'b') + disk, shellCalls[3].wideData.szInfo) << "a whole pair that fits is kept";
    tray.Destroy();
    DestroyWindow(window);
}

namespace {

// Four drives (0-3 on volumes C: to F:) whose counts are all 0 until a test
// changes them from a poll on; the refresh command is a poll.
class TrayAlert : public Tray {
protected:
    TrayAlert() : recorder_(IDYES) {
        for (int number = 0; number < 4; ++number) {
            SimDrive drive;
            drive.number = number;
            drive.identify = BuildIdentify("MODEL " + std::to_string(number), "SN", "FW1", 976773168);
            drive.smart = BuildAttributeTable(
                {{0x05, 100, 100, 0}, {0x09, 99, 99, 1234}, {0xC2, 40, 30, 35}, {0xC5, 100, 100, 0}});
            drive.thresholds = BuildThresholds({{0x05, 36}, {0x09, 0}, {0xC2, 0}, {0xC5, 0}});
            drives_[number] = drive;
            sim_.AddVolume(SimVolumeOnDisk(static_cast<char>('C' + number), 1000000000ULL, 500000000ULL, number));
        }
    }
    void Set(const char* section, const char* key, const std::string& value) {
        WritePrivateProfileStringA(section, key, value.c_str(), scratch_.SettingsFile().c_str());
    }
    // From that poll on the attribute's raw value reads so.
    void At(int drive, DWORD poll, BYTE id, ULONGLONG raw) {
        SimAttributeChange change;
        change.fromPoll = poll;
        change.id = id;
        change.raw = raw;
        drives_[drive].changes.push_back(change);
    }
    void Start() {
        Set("Global", "Run", "1");
        for (const SimDrive& drive : drives_) sim_.AddDrive(drive);
        Open();
    }
    void Poll() { SendMessageW(window_, WM_COMMAND, kCommandRefresh, 0); }
    void OnPage(int k, WORD command) {
        pages.currentPage = k;
        SendMessageW(window_, WM_COMMAND, command, 0);
    }

    // The icon and tip the shell shows after the calls so far.
    HICON ShownIcon() const {
        for (auto call = shellCalls.rbegin(); call != shellCalls.rend(); ++call) {
            if (IsIconCall(*call)) return call->wide ? call->wideData.hIcon : call->data.hIcon;
        }
        return nullptr;
    }
    std::wstring ShownTip() const {
        for (auto call = shellCalls.rbegin(); call != shellCalls.rend(); ++call) {
            if (IsIconCall(*call)) return call->wide ? call->wideData.szTip : WideFromCp932(call->data.szTip);
        }
        return L"";
    }
    // Adds and changes of the icon, then balloons, from call `from` on.
    size_t IconCalls(size_t from = 0) const {
        size_t count = 0;
        for (size_t i = from; i < shellCalls.size(); ++i) count += IsIconCall(shellCalls[i]) ? 1 : 0;
        return count;
    }
    std::vector<NOTIFYICONDATAW> Balloons() const {
        std::vector<NOTIFYICONDATAW> balloons;
        for (const ShellCall& call : shellCalls) {
            if (call.wide && (call.wideData.uFlags & NIF_INFO)) balloons.push_back(call.wideData);
        }
        return balloons;
    }
    static bool IsIconCall(const ShellCall& call) {
        const UINT flags = call.wide ? call.wideData.uFlags : call.data.uFlags;
        return call.message != NIM_DELETE && (flags & NIF_ICON);
    }

    // An icon's pixels as the tray draws it.
    static std::vector<COLORREF> Pixels(HICON icon) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        Canvas canvas(size, size);
        DrawIconEx(canvas.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) pixels.push_back(canvas.At(x, y));
        }
        return pixels;
    }
    static HICON ResourceIcon(int id) {
        return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                             LR_SHARED));
    }
    // The tab's image of that status, or the program's icon for good.
    void ExpectShown(LONG status, const std::wstring& tip) {
        const int id = status == HealthGood ? IDI_SMALL : IDI_STATUS_FIRST + static_cast<int>(status);
        EXPECT_EQ(Pixels(ResourceIcon(id)), Pixels(ShownIcon())) << "status " << status;
        EXPECT_EQ(tip, ShownTip());
    }

    SimDrive drives_[4];
    MessageRecorder recorder_;
};

const std::wstring kCaption = L"Veldakor (x86)\n";

}  // namespace

TEST_F(TrayAlert, TheIconIsTheWorstDriveAndItsTipNamesIt) {
    At(2, 1, 0x05, 3);  // caution from poll 1
    At(2, 5, 0x05, 0);  // good again from poll 5
    At(3, 2, 0xC5, 1);  // danger from poll 2
    Start();
    ASSERT_EQ(1u, shellCalls.size()) << "all good: the program's icon as ever";

    Poll();
    ExpectShown(HealthCaution, kCaption + L"02 (E:) " + WideFromCp932("注意"));
    Poll();
    ExpectShown(HealthDanger, kCaption + L"03 (F:) " + WideFromCp932("危険"));
    size_t calls = shellCalls.size();
    Poll();
    EXPECT_EQ(calls, shellCalls.size()) << "no change, no call";

    // The debug states and the threshold commands move it as a change would.
    OnPage(0, kCommandDebugError);
    ExpectShown(HealthError, kCaption + L"00 (C:) " + WideFromCp932("異常"));
    OnPage(0, kCommandDebugGood);
    ExpectShown(HealthDanger, kCaption + L"03 (F:) " + WideFromCp932("危険"));
    OnPage(3, kCommandLimitsToCurrent);
    ExpectShown(HealthCaution, kCaption + L"02 (E:) " + WideFromCp932("注意"));
    for (const ShellCall& call : shellCalls) {
        EXPECT_NE(static_cast<DWORD>(NIM_DELETE), call.message) << "changed in place";
        if (call.message == NIM_MODIFY && call.wide) {
            EXPECT_EQ(window_, call.wideData.hWnd);
            EXPECT_EQ(shellCalls[0].data.uID, call.wideData.uID);
        }
    }

    // The shell restarted: the icon that is shown comes back.
    calls = shellCalls.size();
    SendMessageW(window_, trayIcon.TaskbarMessage(), 0, 0);
    ASSERT_EQ(calls + 1, shellCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shellCalls.back().message);
    ExpectShown(HealthCaution, kCaption + L"02 (E:) " + WideFromCp932("注意"));
    EXPECT_EQ(static_cast<UINT>(NIF_ICON | NIF_MESSAGE | NIF_TIP), shellCalls.back().wideData.uFlags);
    EXPECT_EQ(kTrayCallback, shellCalls.back().wideData.uCallbackMessage);

    Poll();
    Poll();  // poll 5: all good
    ExpectShown(HealthGood, L"Veldakor (x86)");
    EXPECT_FALSE(shellCalls.back().wide) << "the program's icon and tip as at start";
    EXPECT_EQ(2u, Balloons().size()) << "polls 1 and 2 only";
}

TEST_F(TrayAlert, OneBalloonForEachWorseningAndNoneAtStart) {
    At(0, 0, 0xC5, 1);  // bad from the start
    At(1, 2, 0xC5, 1);
    At(1, 4, 0xC5, 0);
    At(1, 6, 0xC5, 1);
    At(2, 3, 0x05, 2);
    At(2, 5, 0xC5, 1);
    for (const SimTemperature t : {SimTemperature{2, 50}, SimTemperature{3, 45}, SimTemperature{4, 50},
                                   SimTemperature{5, 40}, SimTemperature{7, 50}}) {
        drives_[3].temperatures.push_back(t);
    }
    Set("Temperature", "Enable", "1");
    Set("Units", "Temperature", "C");
    Set("Global", "TaskTray", "1");
    Start();
    EXPECT_TRUE(Balloons().empty()) << "a drive bad at start is no news";
    ExpectShown(HealthDanger, kCaption + L"00 (C:) " + WideFromCp932("危険"));

    const std::wstring danger = WideFromCp932("危険");
    const std::wstring worse = WideFromCp932("ドライブの状態が悪化しました。");
    struct Expected {
        DWORD poll;
        DWORD icon;
        std::wstring title;
        std::wstring text;
    };
    const Expected expected[] = {
        {2, NIIF_ERROR, worse,
         L"01 (D:) " + danger + L" : MODEL 1\nCurrent pending sector count : 1\n03 (F:) " + WideFromCp932("高温") +
             L" : MODEL 3\nTemperature : 50C"},
        {3, NIIF_WARNING, worse, L"02 (E:) " + WideFromCp932("注意") + L" : MODEL 2\nReallocated sector count : 2"},
        {5, NIIF_ERROR, worse,
         L"02 (E:) " + danger + L" : MODEL 2\nReallocated sector count : 2\nCurrent pending sector count : 1"},
        {6, NIIF_ERROR, worse, L"01 (D:) " + danger + L" : MODEL 1\nCurrent pending sector count : 1"},
        {7, NIIF_WARNING, WideFromCp932("ドライブの温度が閾値を超えました。"),
         L"03 (F:) " + WideFromCp932("高温") + L" : MODEL 3\nTemperature : 50C"},
    };
    size_t seen = 0;
    for (DWORD poll = 1; poll <= 7; ++poll) {
        Poll();
        const std::vector<NOTIFYICONDATAW> balloons = Balloons();
        const bool due = seen < 5 && expected[seen].poll == poll;
        ASSERT_EQ(seen + (due ? 1 : 0), balloons.size()) << "after poll " << poll;
        if (!due) continue;
        const NOTIFYICONDATAW& balloon = balloons.back();
        EXPECT_EQ(static_cast<UINT>(NIF_INFO), balloon.uFlags) << "the balloon alone, poll " << poll;
        EXPECT_EQ(expected[seen].icon, balloon.dwInfoFlags) << "poll " << poll;
        EXPECT_EQ(expected[seen].title, balloon.szInfoTitle) << "poll " << poll;
        EXPECT_EQ(expected[seen].text, balloon.szInfo) << "poll " << poll;
        ++seen;
    }

    // A click on the balloon brings the window back on the hot drive's page.
    EXPECT_FALSE(IsWindowVisible(window_));
    SendMessageW(window_, kTrayCallback, shellCalls[0].data.uID, NIN_BALLOONUSERCLICK);
    Drain();
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(3, pages.currentPage);
    EXPECT_EQ(3, SendMessageW(pages.tabControl, TCM_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowVisible(pages.pages[3].hPage));
    EXPECT_FALSE(IsWindowVisible(pages.pages[0].hPage));
}

TEST_F(TrayAlert, WithTheSwitchOffTheTrayIsAsItWasWhateverTheDrivesDo) {
    At(0, 0, 0xC5, 1);
    At(1, 1, 0xC5, 1);
    Set("Alert", "Enable", "0");
    Start();
    Poll();
    OnPage(2, kCommandDebugError);
    SendMessageW(window_, trayIcon.TaskbarMessage(), 0, 0);
    SendMessageW(window_, kTrayCallback, shellCalls[0].data.uID, NIN_BALLOONUSERCLICK);
    Drain();
    EXPECT_EQ(2, pages.currentPage) << "no balloon, no page to open";

    NOTIFYICONDATAA today;
    std::memset(&today, 0, sizeof today);
    today.cbSize = NOTIFYICONDATAA_V3_SIZE;
    today.hWnd = window_;
    today.uID = shellCalls[0].data.uID;
    today.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    today.uCallbackMessage = kTrayCallback;
    today.hIcon = ResourceIcon(IDI_SMALL);
    std::strcpy(today.szTip, "Veldakor (x86)");
    ASSERT_EQ(2u, shellCalls.size()) << "added at start and after the shell restarted, nothing else";
    for (const ShellCall& call : shellCalls) {
        EXPECT_FALSE(call.wide);
        EXPECT_EQ(static_cast<DWORD>(NIM_ADD), call.message);
        EXPECT_EQ(0, std::memcmp(&today, &call.data, sizeof today));
    }
}

TEST_F(TrayAlert, TheTrayTakesTheExternalIconsWhileTheyAreOn) {
    At(0, 0, 0xC5, 1);
    const COLORREF colours[] = {RGB(10, 200, 10), RGB(200, 200, 10), RGB(200, 10, 10), RGB(90, 90, 90)};
    const char* const names[] = {"S_GOOD.ICO", "S_WARN.ICO", "S_DNGR.ICO", "S_ERR.ICO"};
    for (int k = 0; k < 4; ++k) TestDir::WriteAll(scratch_.Dir().Path(names[k]), IcoFile(16, colours[k]));
    Set("Global", "Path", scratch_.Dir().Root());
    Set("Icon", "Enable", "1");
    Start();
    const std::vector<COLORREF> external(GetSystemMetrics(SM_CXSMICON) * GetSystemMetrics(SM_CYSMICON),
                                         colours[HealthDanger]);
    EXPECT_EQ(external, Pixels(ShownIcon()));

    const std::wstring tip = kCaption + L"00 (C:) " + WideFromCp932("危険");
    const GuiCounts before = CountGuiObjects();
    // Ten rounds: a copy kept each round would show as ten icons.
    for (int round = 0; round < 10; ++round) {
        SendMessageW(window_, WM_COMMAND, kCommandExternalIcons, 0);
        ExpectShown(HealthDanger, tip);  // the program's own again
        SendMessageW(window_, WM_COMMAND, kCommandExternalIcons, 0);
        ASSERT_EQ(external, Pixels(ShownIcon())) << "round " << round;
    }
    EXPECT_EQ(before, CountGuiObjects()) << "the tray's copies go with the icons they replace";
}
