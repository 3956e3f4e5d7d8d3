#include "app/appstate.h"

// Constructed before the entry point, in this order, and destroyed in the
// reverse order at exit. The two drive locks live with the drive record.
MUTEX singleInstance;
TaskTrayIcon trayIcon;
DriveTable drives;
DrawingResources drawing;
DrivePages pages;
AppState app;

const char kWindowCaption[] = "Veldakor (x86)";
