#include "app/maindialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "app/appstate.h"
#include "app/commandids.h"
#include "app/blink.h"
#include "app/commands.h"
#include "app/contextmenu.h"
#include "app/messages.h"
#include "app/monitor.h"
#include "app/presentation.h"
#include "app/trayalert.h"
#include "base/msgbox.h"
#include "base/widetext.h"
#include "base/windowutil.h"
#include "drive/probe.h"
#include "drive/volumes.h"
#include "net/netlink.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"
#include "ui/pages.h"

namespace {

void SetWindowIcons(HWND window) {
    HICON big = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE | LR_SHARED));
    HICON small = static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(IDI_SMALL), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

// The pages draw from the process's drives, settings and drawing
// resources; a new window starts them afresh.
void AttachPages(HWND window) {
    pages.instance = app.instance;
    pages.mainWindow = window;
    pages.tabControl = GetDlgItem(window, IDC_TAB);
    pages.drives = &drives;
    pages.settings = &appSettings;
    pages.drawing = &drawing;
    pages.currentPage = 0;
    pages.blinkPhase = 0;
    pages.basicListRect = {};
    pages.attributeListRect = {};
    pages.listsRect = {};
}

// A skin or external icons that do not load switch themselves off. The
// skin comes first: its size is the size of every page's buffer.
void LoadDrawingResources() {
    pages.skin.skinLoaded = pages.skin.LoadSkin(pages.tabControl, appSettings);
    if (appSettings.Skin.Enable && !pages.skin.skinLoaded) appSettings.Skin.Enable = 0;
    if (appSettings.Icon.Enable) appSettings.Icon.Enable = LoadExternalIcons(drawing, appSettings, app.instance);
    LoadStatusBitmaps(drawing, appSettings, app.instance, appSettings.Bitmap.Enable);
    BuildStatusImageList(drawing, appSettings, app.instance);
    CreatePens(drawing, appSettings);
    CreateFonts(drawing, appSettings);
    SetTabFont(pages);
}

// The small icon with the window's caption as its tip; without an icon
// table the window runs without a tray icon.
void AddTrayIcon(HWND window) {
    if (!trayIcon.Create(app.instance, window, TrayIconCount())) return;
    trayIcon.SetCallback(kTrayCallback, kWindowCaption);
    AddTrayIcons();
    trayIcon.Show(0);
}

// The menu's WM_NULL wakes the window's queue, so that a menu closed by a
// click elsewhere does not leave the next click swallowed.
void OpenContextMenu(HWND window) {
    ShowContextMenu(window);
    PostMessageW(window, WM_NULL, 0, 0);
}

// A double-click on the icon moves the window into or out of the tray; the
// right button opens the menu there, also while the window is hidden.
void OnTrayCallback(HWND window, LPARAM mouse) {
    if (mouse == WM_LBUTTONDBLCLK) {
        PostMessageW(window, WM_SYSCOMMAND, appSettings.Global.TaskTray ? SC_RESTORE : SC_MINIMIZE, 0);
    } else if (mouse == WM_RBUTTONDOWN) {
        ForceForeground(GetDesktopWindow());
        OpenContextMenu(window);
    } else if (mouse == NIN_BALLOONUSERCLICK) {
        OpenBalloonPage(window);
    }
}

void Initialise(HWND window) {
    app.mainWindow = window;
    LoadSettingsAtStart(appSettings, drives);
    AttachPages(window);
    SetWindowTextW(window, WideFromCp932(kWindowCaption).c_str());
    LoadDrawingResources();
    SetWindowIcons(window);
    AddTrayIcon(window);

    CreateDevices(drives);
    AddAllDriveLetters(drives);
    for (DWORD k = 0; k < drives.driveCount; ++k) SumDiskSpace(drives.Shown(k));
    // Each page evaluates its drive as it is made: the status service
    // reports evaluated drives from the start.
    CreatePages(pages);
    StartTrayAlert();

    if (!CreateMonitorThread(window)) {
        ShowErrorBox(kThreadCreationFailed);
    } else if (appSettings.Global.Monitor) {
        PauseResumeMonitor(1);
    }

    if (StartNetwork(drives) && appSettings.Server.Enable) {
        const AppSettings::ServerKeys& server = appSettings.Server;
        appSettings.Server.Enable = StartServer(server.Port, server.Address, server.Allow);
    }

    ShowCaption(window, appSettings.Global.Title);
    PlaceWindow(window);
    ShowLists(pages);
    if (appSettings.Global.TaskTray) {
        ShowWindow(window, SW_MINIMIZE);
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    if (!StartBlinkTimer(window)) ShowErrorBox(kTimerCreationFailed);
}

void Teardown(HWND window) {
    StopBlinkTimer(window);
    StopMonitorThread();
    StopServer(appSettings.Server.Port);
    EndNetwork();
    trayIcon.Destroy();
    DestroyPages(pages);
    CloseDevices(drives);
    FreeDrawingResources(drawing);
    pages.skin.FreeSkin();
}

// The first dropped file becomes the skin file, shown at once while the
// skin is on.
void DropFiles(HDROP drop) {
    char path[sizeof appSettings.Skin.File];
    const bool dropped = DragQueryFileA(drop, 0, path, sizeof path) > 0;
    DragFinish(drop);
    if (!dropped) return;
    std::memcpy(appSettings.Skin.File, path, sizeof path);
    appSettings.Skin.File[sizeof appSettings.Skin.File - 1] = '\0';
    ReloadSkin(pages);
}

INT_PTR OnSize(HWND window, WPARAM kind) {
    if (kind == SIZE_RESTORED && appSettings.Global.TaskTray) {
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if ((kind == SIZE_MINIMIZED && !appSettings.Global.TaskTray) || kind == SIZE_MAXIMIZED) {
        PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    return TRUE;
}

INT_PTR OnSysCommand(HWND window, WPARAM command) {
    // The low four bits carry how the command was given.
    switch (command & 0xFFF0) {
        case SC_MINIMIZE:
            MoveToTray(window);
            return TRUE;
        case SC_RESTORE:
            ComeBackFromTray(window);
            return TRUE;
        case SC_CLOSE:
            EndDialog(window, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            Initialise(window);
            return FALSE;
        case WM_DESTROY:
            Teardown(window);
            return TRUE;
        case WM_SIZE:
            return OnSize(window, wParam);
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == pages.tabControl && header->code == TCN_SELCHANGE) {
                pages.currentPage = static_cast<int>(SendMessageW(pages.tabControl, TCM_GETCURSEL, 0, 0));
                ShowPage(pages, pages.currentPage);
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND: {
            const WORD command = LOWORD(wParam);
            if (command >= kFirstCommand && command <= kLastCommand) return DispatchCommand(window, command);
            return FALSE;  // IDOK and IDCANCEL too: Enter and Escape do nothing
        }
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam);
        case WM_TIMER:
            BlinkStep(window, wParam);
            return TRUE;
        case WM_LBUTTONDOWN:
            // Without a caption, the window is dragged by any point.
            if (!appSettings.Global.Stable && !appSettings.Global.Title) {
                PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            }
            return TRUE;
        case WM_LBUTTONDBLCLK:
            if (!appSettings.Global.Title) PostMessageW(window, WM_COMMAND, kCommandTrayToggle, 0);
            return TRUE;
        case WM_RBUTTONDOWN:
            OpenContextMenu(window);
            return TRUE;
        case WM_DROPFILES:
            DropFiles(reinterpret_cast<HDROP>(wParam));
            return FALSE;
        case kTrayCallback:
            OnTrayCallback(window, lParam);
            return FALSE;
        default:
            // The taskbar was made anew: the shell has forgotten the icon.
            if (message == trayIcon.TaskbarMessage()) trayIcon.AddAgain();
            return FALSE;
    }
}
