// The process-wide state of the application: the objects that live from
// before the entry point to the end of the process, and the state of the
// main window that the rest of the program reads.
#pragma once

#include <windows.h>

#include "app/tasktray.h"
#include "base/mutex.h"
#include "smart/driveinfo.h"
#include "ui/drawingresources.h"
#include "ui/drivepages.h"

const UINT_PTR kBlinkTimerId = 1;
// What the tray icon sends the main window, the mouse message in lParam.
const UINT kTrayCallback = WM_APP + 1;
extern const char kWindowCaption[];

struct AppState {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    UINT_PTR timerId = 0;
};

extern MUTEX singleInstance;
extern TaskTrayIcon trayIcon;
extern DriveTable drives;
// The fonts, status images and pens; beside the drive table rather than in
// it, because the table is portable and these are GDI objects.
extern DrawingResources drawing;
// The drive pages with the skin behind them, and what they draw from.
extern DrivePages pages;
extern AppState app;
