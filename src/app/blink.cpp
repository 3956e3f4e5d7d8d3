#include "app/blink.h"

#include "app/appstate.h"
#include "app/messages.h"
#include "base/msgbox.h"
#include "settings/appsettings.h"
#include "ui/header.h"

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
    if (!appSettings.Temperature.Enable) {
        pages.blinkPhase = 0;
        return;
    }
    pages.blinkPhase = !pages.blinkPhase;
    BlinkStatusImage(pages, pages.currentPage);
}
