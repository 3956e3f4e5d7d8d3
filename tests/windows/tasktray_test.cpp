// The tray icon: what the shell is told, and the way back from the tray.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/maindialog.h"
#include "common/drive_blocks.h"
#include "common/scratch_dir.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "windows/page_fixture.h"

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};

std::vector<ShellCall> shellCalls;

BOOL WINAPI RecordShell(DWORD message, PNOTIFYICONDATAA data) {
    shellCalls.push_back({message, *data});
    return TRUE;
}

class Tray : public ::testing::Test {
protected:
    Tray() : scratch_("tray") {
        shellCalls.clear();
        previousNotifier_ = SetTrayNotifier(RecordShell);
        previousDevices_ = InstallDevices(&sim_);
        sim_.AddDrive(TestDrive(0, "TRAY"));
    }
    ~Tray() override {
        CloseMainWindow(window_);
        InstallDevices(previousDevices_);
        SetTrayNotifier(previousNotifier_);
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
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(Tray, StartingInTheTrayShowsOneIconThatBringsTheWindowBack) {
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
