#include "app/blink.h"

#include "app/appstate.h"
#include "app/messages.h"
#include "base/msgbox.h"
#include "settings/appsettings.h"

bool StartBlinkTimer(HWND window) {
    app.timerId = SetTimer(window, kBlinkTimerId, appSettings.Temperature.Timer, nullptr);
    return app.timerId != 0;
}

void StopBlinkTimer(HWND window) {
    if (app.timerId != 0) KillTimer(window, app.timerId);
    app.timerId = 0;
}

void BlinkStep(HWND /*window*/, WPARAM timerId) {
    if (timerId != app.timerId) {
        ShowErrorBox(kUnknownTimerEvent);
        return;
    }
    // The status picture of the shown page reads the phase when it is
    // drawn; the page redraws it once there are pages.
    app.blinkPhase = appSettings.Temperature.Enable ? !app.blinkPhase : 0;
}
