#include "app/presentation.h"

#include "base/windowutil.h"
#include "settings/appsettings.h"

void MoveToTray(HWND window) {
    appSettings.Global.TaskTray = 1;
    ShowWindow(window, SW_HIDE);
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

void ComeBackFromTray(HWND window) {
    appSettings.Global.TaskTray = 0;
    ShowWindow(window, SW_HIDE);
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW);
    ShowWindow(window, SW_SHOW);
    ShowWindow(window, SW_RESTORE);
}

void PlaceWindow(HWND window) {
    if (appSettings.Global.X == -1 && appSettings.Global.Y == -1) {
        CentreWindow(window);
    } else {
        SetWindowPos(window, nullptr, appSettings.Global.X, appSettings.Global.Y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
