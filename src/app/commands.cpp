#include "app/commands.h"

#include "app/appstate.h"
#include "app/monitor.h"
#include "drive/probe.h"
#include "net/netlink.h"
#include "settings/appsettings.h"
#include "smart/drivelocks.h"
#include "ui/pages.h"

INT_PTR DispatchCommand(HWND window, WORD command) {
    switch (command) {
        case kCommandRefreshFromMonitor:
            MonitorRefreshTaken();
            RefreshAllPages(pages, false);
            return TRUE;
        case kCommandRefresh: {
            {
                CritSectLock lock(updateLock);
                UpdateDevices(drives);
            }
            RefreshAllPages(pages, false);
            return TRUE;
        }
        case kCommandMonitoring:
            appSettings.Global.Monitor = !appSettings.Global.Monitor;
            PauseResumeMonitor(appSettings.Global.Monitor);
            return TRUE;
        case kCommandNetwork:
            appSettings.Server.Enable = !appSettings.Server.Enable;
            if (appSettings.Server.Enable) {
                StartServer(appSettings.Server.Port);
            } else {
                StopServer(appSettings.Server.Port);
            }
            appSettings.Server.Enable = ServerThreadExists();
            if (appSettings.Server.Enable) {
                appSettings.Global.Monitor = 1;
                PauseResumeMonitor(1);
            }
            return TRUE;
        case kCommandExit:
            EndDialog(window, 1);
            return TRUE;
        case kCommandTrayToggle:
            PostMessageW(window, WM_SYSCOMMAND, appSettings.Global.TaskTray ? SC_RESTORE : SC_MINIMIZE, 0);
            return TRUE;
        default:
            return FALSE;
    }
}
