#include "app/application.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/appstate.h"
#include "app/maindialog.h"
#include "app/messages.h"
#include "base/msgbox.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "smart/drivelocks.h"

int RunApplication(HINSTANCE instance) {
    if (!singleInstance.Create()) {
        ShowNoticeBox(kAlreadyRunning);
        return 1;
    }
    updateLock.Create(kUpdateLockName);
    networkLock.Create(kNetworkLockName);

    app = AppState();
    app.instance = instance;
    drives.probeCount = kDriveSlots;
    SetStartValues(appSettings);
    drives.Clear();

    // The system's picture loader, used for skins, needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (SUCCEEDED(com)) CoUninitialize();

    updateLock.Destroy();
    networkLock.Destroy();
    singleInstance.Close();
    return 1;
}
