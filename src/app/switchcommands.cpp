#include "app/appstate.h"
#include "app/commandgroups.h"
#include "app/commandids.h"
#include "app/monitor.h"
#include "app/trayalert.h"
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
        StartServer(server.Port, server.Address, server.Allow);
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
    ReloadTrayIcons();
}

// The switch a display command flips, or null for the others.
int* DisplaySwitch(WORD command) {
    AppSettings::ViewKeys& view = appSettings.View;
    switch (command) {
        case kCommandShowModel: return &view.Model;
        case kCommandShowFirmware: return &view.FirmwareRevision;
        case kCommandShowSerial: return &view.SerialNumber;
        case kCommandShowTemperature: return &view.Temperature;
        case kCommandShowPowerOnTime: return &view.PowerOnTime;
        case kCommandShowDiskUsage: return &view.DiskUsage;
        case kCommandFrame: return &view.Frame;
        case kCommandShadow: return &view.Shadow;
        default: return nullptr;
    }
}

// The Shadow.Type a position command sets, or 0 for the others.
int ShadowTypeOf(WORD command) {
    switch (command) {
        case kCommandShadowUpLeft: return 1;
        case kCommandShadowUpRight: return 2;
        case kCommandShadowDownLeft: return 3;
        case kCommandShadowDownRight: return 4;
        case kCommandShadowOutline: return 5;
        default: return 0;
    }
}

bool RunDisplaySwitch(WORD command) {
    AppSettings::ViewKeys& view = appSettings.View;
    if (int* const shown = DisplaySwitch(command)) {
        Flip(*shown);
    } else if (const int type = ShadowTypeOf(command)) {
        appSettings.Shadow.Type = type;
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
            // The graph comes and goes with monitoring; without it no poll
            // would ever redraw the pages.
            DrawAllPages(pages);
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
