#include "app/monitor.h"

#include "app/appstate.h"
#include "app/commandids.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "smart/drivelocks.h"

namespace {

struct Monitor {
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    volatile LONG run = 0;
    volatile LONG refreshQueued = 0;
    HANDLE resumed = nullptr;  // manual-reset: signalled while not paused
    HANDLE stop = nullptr;     // manual-reset: signalled by a stop
    HANDLE refreshed = nullptr;  // auto-reset: the window has shown a refresh
    bool started = false;      // resumed once since its suspended start
};

Monitor monitor;
const DWORD kRefreshWaitMs = 100;
MonitorPoster post = PostMessageW;

// Waits the poll interval: in safe mode in one-second steps checking the
// run flag, otherwise in one wait; a stop ends either at once.
//
// Without an interval the thread waits for the window to have shown the
// refresh it posted (at most a moment, so that it cycles on when no window
// takes them). Otherwise the next refresh would be posted while the window
// was still busy with the last one, its queue would never empty, and a
// window painted, timed and shown only when it is empty would never be:
// sixteen drives kept it from ever appearing.
void WaitInterval(bool posted) {
    const UINT seconds = appSettings.Global.Timer;
    if (seconds == 0) {
        HANDLE waits[2] = {monitor.refreshed, monitor.stop};
        if (posted) WaitForMultipleObjects(2, waits, FALSE, kRefreshWaitMs);
        return;
    }
    if (appSettings.Global.Safe) {
        for (UINT i = 0; i < seconds; ++i) {
            if (!monitor.run) return;
            WaitForSingleObject(monitor.stop, 1000);
        }
    } else {
        WaitForSingleObject(monitor.stop, seconds * 1000u);
    }
}

DWORD WINAPI MonitorThread(LPVOID parameter) {
    const HWND window = static_cast<HWND>(parameter);
    while (monitor.run) {
        WaitForSingleObject(monitor.resumed, INFINITE);
        if (!monitor.run) break;
        {
            CritSectLock lock(updateLock);
            UpdateDevices(drives);
        }
        // One refresh in the queue is enough: with a short interval the
        // window would otherwise drown in them.
        // A post that fails (a full queue) queued nothing: the next cycle
        // tries again.
        bool posted = true;
        if (InterlockedExchange(&monitor.refreshQueued, 1) == 0 &&
            !post(window, WM_COMMAND, kCommandRefreshFromMonitor, 0)) {
            InterlockedExchange(&monitor.refreshQueued, 0);
            posted = false;
        }
        WaitInterval(posted);
    }
    return 0;
}

void CloseEvents() {
    if (monitor.resumed) CloseHandle(monitor.resumed);
    if (monitor.stop) CloseHandle(monitor.stop);
    if (monitor.refreshed) CloseHandle(monitor.refreshed);
    monitor.resumed = nullptr;
    monitor.stop = nullptr;
    monitor.refreshed = nullptr;
}

}  // namespace

bool CreateMonitorThread(HWND mainWindow) {
    if (monitor.thread != nullptr) return false;
    monitor.resumed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    monitor.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    monitor.refreshed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (monitor.resumed == nullptr || monitor.stop == nullptr || monitor.refreshed == nullptr) {
        CloseEvents();
        return false;
    }
    monitor.run = 1;
    monitor.refreshQueued = 0;
    monitor.started = false;
    monitor.thread = CreateThread(nullptr, 0, MonitorThread, mainWindow, CREATE_SUSPENDED, &monitor.threadId);
    if (monitor.thread == nullptr) {
        monitor.run = 0;
        CloseEvents();
        return false;
    }
    return true;
}

bool PauseResumeMonitor(int resume) {
    if (monitor.thread == nullptr) return false;
    if (!resume) return ResetEvent(monitor.resumed) != FALSE;
    if (!SetEvent(monitor.resumed)) return false;
    if (!monitor.started) {
        if (ResumeThread(monitor.thread) == static_cast<DWORD>(-1)) return false;
        monitor.started = true;
    }
    return true;
}

void StopMonitorThread() {
    if (monitor.thread == nullptr) return;
    monitor.run = 0;
    SetEvent(monitor.stop);
    SetEvent(monitor.resumed);
    if (!monitor.started) ResumeThread(monitor.thread);
    WaitForSingleObject(monitor.thread, INFINITE);
    CloseHandle(monitor.thread);
    monitor.thread = nullptr;
    monitor.threadId = 0;
    monitor.started = false;
    CloseEvents();
}

bool MonitorThreadExists() { return monitor.thread != nullptr; }

void MonitorRefreshTaken() { InterlockedExchange(&monitor.refreshQueued, 0); }

void MonitorRefreshShown() {
    if (monitor.refreshed) SetEvent(monitor.refreshed);
}

MonitorPoster SetMonitorPoster(MonitorPoster poster) {
    const MonitorPoster previous = post;
    post = poster != nullptr ? poster : PostMessageW;
    return previous;
}
