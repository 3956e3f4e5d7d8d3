#include "app/appstate.h"
#include "app/commandgroups.h"
#include "app/commandids.h"
#include "app/monitor.h"
#include "base/windowutil.h"
#include "net/netlink.h"
#include "settings/appsettings.h"
#include "ui/drawingresources.h"
#include "ui/header.h"
#include "ui/pages.h"

namespace {

void Flip(int& setting) { setting = !setting; }

void SwitchNetwork() {
    AppSettings::ServerKeys& server = appSettings.Server;
    Flip(server.Enable);
    if (server.Enable) {
        StartServer(server.Port);
    } else {
        StopServer(server.Port);
    }
    server.Enable = ServerThreadExists();
    // Answers about drives that are never polled would go stale.
    if (server.Enable) {
        appSettings.Global.Monitor = 1;
        PauseResumeMonitor(1);
    }
}

void SwitchExternalIcons() {
    AppSettings::IconKeys& icon = appSettings.Icon;
    Flip(icon.Enable);
    if (icon.Enable) icon.Enable = LoadExternalIcons(drawing, appSettings, app.instance);
    if (!BuildStatusImageList(drawing, appSettings, app.instance)) return;
    SetAllTabImages(pages);
    DrawAllPages(pages);
}

// The panel switches in menu order: model, firmware, serial, temperature,
// power-on time, disk usage.
int& PanelSwitch(WORD command) {
    AppSettings::ViewKeys& view = appSettings.View;
    int* const switches[] = {&view.Model, &view.FirmwareRevision, &view.SerialNumber,
                             &view.Temperature, &view.PowerOnTime, &view.DiskUsage};
    return *switches[command - kCommandShowModel];
}

bool RunDisplaySwitch(WORD command) {
    AppSettings::ViewKeys& view = appSettings.View;
    if (command >= kCommandShowModel && command <= kCommandShowDiskUsage) {
        Flip(PanelSwitch(command));
    } else if (command >= kCommandShadowFirst && command <= kCommandShadowLast) {
        appSettings.Shadow.Type = command - kCommandShadowFirst + 1;
    } else if (command == kCommandShowBasic || command == kCommandShowAttribute) {
        Flip(command == kCommandShowBasic ? view.Basic : view.Attribute);
        ShowLists(pages);
    } else if (command == kCommandDecimal || command == kCommandYears) {
        Flip(command == kCommandDecimal ? view.Decimal : view.Years);
        RefreshAllPages(pages, true);
        return true;
    } else if (command == kCommandExternalIcons) {
        SwitchExternalIcons();
        return true;
    } else if (command == kCommandExternalBitmaps) {
        Flip(appSettings.Bitmap.Enable);
        LoadStatusBitmaps(drawing, appSettings, app.instance, appSettings.Bitmap.Enable);
    } else if (command == kCommandFrame) {
        Flip(view.Frame);
    } else if (command == kCommandShadow) {
        Flip(view.Shadow);
    } else {
        return false;
    }
    DrawAllPages(pages);
    return true;
}

}  // namespace

bool RunSwitchCommand(HWND window, WORD command) {
    AppSettings::GlobalKeys& global = appSettings.Global;
    switch (command) {
        case kCommandTrayToggle:
            PostMessageW(window, WM_SYSCOMMAND, global.TaskTray ? SC_RESTORE : SC_MINIMIZE, 0);
            return true;
        case kCommandTitle:
            Flip(global.Title);
            ShowCaption(window, global.Title);
            return true;
        case kCommandStable:
            Flip(global.Stable);
            return true;
        case kCommandMonitoring:
            Flip(global.Monitor);
            PauseResumeMonitor(global.Monitor);
            return true;
        case kCommandNetwork:
            SwitchNetwork();
            return true;
        case kCommandTemperatureWatch:
            Flip(appSettings.Temperature.Enable);
            BlinkStatusImage(pages, pages.currentPage);
            return true;
        default:
            return RunDisplaySwitch(command);
    }
}
