#include "app/commands.h"

#include "app/appstate.h"
#include "app/commandgroups.h"
#include "app/commandids.h"
#include "base/aboutbox.h"
#include "settings/appsettings.h"
#include "settings/settingsfile.h"

namespace {

// In the tray the window's place is not where it will come back to.
void SaveAllSettings(HWND window) {
    if (!appSettings.Global.TaskTray) {
        RECT rect;
        if (GetWindowRect(window, &rect)) {
            appSettings.Global.X = rect.left;
            appSettings.Global.Y = rect.top;
        }
    }
    SaveSettings(appSettings, drives);
}

}  // namespace

INT_PTR DispatchCommand(HWND window, WORD command) {
    switch (command) {
        case kCommandSaveSettings:
            SaveAllSettings(window);
            return TRUE;
        case kCommandAbout:
            ShowAboutBox(window);
            return TRUE;
        case kCommandExit:
            EndDialog(window, 1);
            return TRUE;
        default:
            return RunDriveCommand(window, command) || RunSwitchCommand(window, command) ||
                           RunLookCommand(window, command)
                       ? TRUE
                       : FALSE;
    }
}
