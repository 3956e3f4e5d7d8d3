// The main window in-process: its message table and the state changes of
// the two presentation states, over simulated drives.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/commandids.h"
#include "app/maindialog.h"
#include "app/messages.h"
#include "base/msgbox.h"
#include "common/drive_blocks.h"
#include "common/scratch_dir.h"
#include "windows/page_fixture.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/drivelocks.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : scratch_("main-window") {
        previous_ = InstallDevices(&sim_);
        sim_.AddDrive(TestDrive(0, "FIRST"));
        sim_.AddDrive(TestDrive(2, "THIRD"));
        window_ = OpenMainWindow();
        Drain();
    }
    ~MainWindow() override {
        CloseMainWindow(window_);
        EXPECT_EQ(0, sim_.OpenHandles()) << "teardown closes the drives";
        InstallDevices(previous_);
    }

    INT_PTR Call(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return MainDialogProc(window_, message, wParam, lParam);
    }
    // The messages posted to the window since the last look.
    std::vector<MSG> Drain() {
        std::vector<MSG> posted;
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageW(&msg, window_, 0, 0, PM_REMOVE); ++i) {
            if (msg.message == WM_PAINT) {
                DispatchMessageW(&msg);  // a paint stays in the queue until it is done
            } else if (msg.message != WM_TIMER) {
                posted.push_back(msg);
            }
        }
        return posted;
    }
    static bool Has(const std::vector<MSG>& posted, UINT message, WPARAM wParam) {
        for (const MSG& m : posted) {
            if (m.message == message && m.wParam == wParam) return true;
        }
        return false;
    }
    LONG ExStyle() const { return GetWindowLongW(window_, GWL_EXSTYLE); }

    ScratchDir scratch_;
    Simulator sim_;
    DeviceSystem* previous_;
    MessageRecorder recorder_;
    HWND window_;
};

}  // namespace

TEST_F(MainWindow, InitialisationFindsAndEvaluatesTheDrives) {
    ASSERT_NE(nullptr, window_);
    EXPECT_EQ(2u, drives.driveCount);
    EXPECT_EQ(1, drives.slots[2].summary.hasData) << "evaluated before any page exists";
    EXPECT_STREQ("THIRD", drives.slots[2].summary.model);
    EXPECT_EQ(1, appSettings.Global.Run);
    EXPECT_TRUE(TestDir::Exists(scratch_.SettingsFile())) << "the first start writes the settings file";
    wchar_t caption[64];
    GetWindowTextW(window_, caption, 64);
    EXPECT_STREQ(L"Veldakor (x86)", caption);
    EXPECT_NE(0u, app.timerId);
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(MainWindow, EnterEscapeAndForeignCommandsDoNothing) {
    EXPECT_EQ(FALSE, Call(WM_COMMAND, IDOK));
    EXPECT_EQ(FALSE, Call(WM_COMMAND, IDCANCEL));
    EXPECT_EQ(FALSE, Call(WM_COMMAND, 32931));
    EXPECT_EQ(FALSE, Call(WM_COMMAND, 32769));
    EXPECT_EQ(FALSE, Call(WM_SYSCOMMAND, SC_MOVE));
    EXPECT_EQ(FALSE, Call(WM_MOUSEWHEEL));
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindow, TrayAndBackAgain) {
    EXPECT_EQ(TRUE, Call(WM_SYSCOMMAND, SC_MINIMIZE));
    EXPECT_EQ(1, appSettings.Global.TaskTray);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(ExStyle() & WS_EX_TOOLWINDOW) << "no taskbar button in the tray";
    Drain();
    EXPECT_EQ(TRUE, Call(WM_SIZE, SIZE_RESTORED));
    EXPECT_TRUE(Has(Drain(), WM_SYSCOMMAND, SC_MINIMIZE)) << "a restored window in the tray goes back";

    EXPECT_EQ(TRUE, Call(WM_SYSCOMMAND, SC_RESTORE | 2));
    EXPECT_EQ(0, appSettings.Global.TaskTray);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_FALSE(ExStyle() & WS_EX_TOOLWINDOW);
    Drain();
    Call(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_TRUE(Has(Drain(), WM_SYSCOMMAND, SC_RESTORE)) << "never left minimised while shown";
    Call(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_TRUE(Has(Drain(), WM_SYSCOMMAND, SC_RESTORE)) << "never left maximised";

    Call(WM_COMMAND, kCommandTrayToggle);
    EXPECT_TRUE(Has(Drain(), WM_SYSCOMMAND, SC_MINIMIZE));
}

TEST_F(MainWindow, DraggingAndDoubleClicksWithoutCaption) {
    appSettings.Global.Title = 1;
    Call(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    Call(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Drain().empty()) << "with a caption the window is dragged by it";

    appSettings.Global.Title = 0;
    appSettings.Global.Stable = 0;
    EXPECT_EQ(TRUE, Call(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10)));
    EXPECT_TRUE(Has(Drain(), WM_NCLBUTTONDOWN, HTCAPTION));
    Call(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(Has(Drain(), WM_COMMAND, kCommandTrayToggle));
    appSettings.Global.Stable = 1;
    Call(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(Has(Drain(), WM_NCLBUTTONDOWN, HTCAPTION)) << "a fixed window is not dragged";
}

TEST_F(MainWindow, BlinkTicksAndForeignTimers) {
    appSettings.Temperature.Enable = 1;
    Call(WM_TIMER, app.timerId);
    EXPECT_EQ(1, pages.blinkPhase);
    Call(WM_TIMER, app.timerId);
    EXPECT_EQ(0, pages.blinkPhase);
    Call(WM_TIMER, app.timerId);
    appSettings.Temperature.Enable = 0;
    Call(WM_TIMER, app.timerId);
    EXPECT_EQ(0, pages.blinkPhase) << "the phase falls back with watching off";
    EXPECT_TRUE(recorder_.Calls().empty());

    EXPECT_EQ(TRUE, Call(WM_TIMER, 77));
    ASSERT_EQ(1u, recorder_.Calls().size());
    EXPECT_EQ(kUnknownTimerEvent, recorder_.Calls()[0].text);
    EXPECT_EQ(std::string("エラー情報"), recorder_.Calls()[0].caption);
}

TEST_F(MainWindow, DroppedFilesSetTheSkinFile) {
    const char files[] = "C:\\skins\\first.png\0C:\\skins\\second.png\0";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof files + 1);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files, sizeof files);
    GlobalUnlock(block);
    appSettings.Skin.Enable = 0;
    EXPECT_EQ(FALSE, Call(WM_DROPFILES, reinterpret_cast<WPARAM>(block)));
    EXPECT_STREQ("C:\\skins\\first.png", appSettings.Skin.File);
    EXPECT_EQ(0, appSettings.Skin.Enable) << "a drop does not switch the skin on";
}

TEST_F(MainWindow, MonitoringSwitchAndManualRefresh) {
    EXPECT_EQ(0, appSettings.Global.Monitor);
    EXPECT_EQ(TRUE, Call(WM_COMMAND, kCommandMonitoring));
    EXPECT_EQ(1, appSettings.Global.Monitor);
    Call(WM_COMMAND, kCommandMonitoring);
    EXPECT_EQ(0, appSettings.Global.Monitor);

    sim_.Drive(2)->changes.push_back({1, 0x05, 9, -1, -1});
    EXPECT_EQ(TRUE, Call(WM_COMMAND, kCommandRefresh));
    EXPECT_EQ(9, drives.slots[2].summary.raw05) << "read and evaluated at once";
    EXPECT_EQ(HealthCaution, drives.slots[2].status);
}

TEST_F(MainWindow, TheDrawingResourcesLiveWithTheWindow) {
    ASSERT_NE(nullptr, drawing.statusImageList);
    EXPECT_EQ(4, ImageList_GetImageCount(drawing.statusImageList));
    for (const WINBMP& bitmap : drawing.statusBitmaps) EXPECT_EQ(115, bitmap.Info().bmWidth);
    EXPECT_NE(nullptr, drawing.gridPen.Get());
    EXPECT_NE(nullptr, drawing.graphPen.Get());
    EXPECT_NE(nullptr, drawing.thresholdPen.Get());
    EXPECT_NE(nullptr, drawing.tabFont.Handle());
    EXPECT_NE(nullptr, drawing.graphFont.Handle());
    EXPECT_EQ(-21, drawing.largeFont.LogFont().lfHeight);

    DestroyWindow(window_);
    EXPECT_EQ(nullptr, drawing.statusImageList);
    EXPECT_EQ(nullptr, drawing.statusBitmaps[0].Dc());
    EXPECT_EQ(nullptr, drawing.gridPen.Get());
    EXPECT_EQ(nullptr, drawing.tabFont.Handle());

    // External icons asked for but absent from Global.Path: the switch goes
    // off at start and the program's icons are used.
    const std::string ini = scratch_.SettingsFile();
    WritePrivateProfileStringA("Icon", "Enable", "1", ini.c_str());
    WritePrivateProfileStringA("Global", "Path", scratch_.Dir().Root().c_str(), ini.c_str());
    SetStartValues(appSettings);
    window_ = CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    Drain();
    EXPECT_EQ(0, appSettings.Icon.Enable);
    EXPECT_EQ(4, ImageList_GetImageCount(drawing.statusImageList));
}
