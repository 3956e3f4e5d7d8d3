// What the tray tells of the drives while [Alert] Enable is set: its icon is
// the worst status over the drives (the program's icon while all are good),
// its tip names the worst drive, and a balloon tells when a drive has got
// worse, or hot, since the evaluation before. With the switch off the tray
// icon is the program's icon alone, as it always was.
#pragma once

#include <windows.h>

// Entries of the tray icon's table: one for the program's icon, or with the
// switch on one for each status, indexed by it, the program's icon for good.
UINT TrayIconCount();
// Fills the tray icon's table: the program's icon, then the status icons
// (the tabs' images: the program's or, while they are on, the external ones).
void AddTrayIcons();
// After the status icons were made anew: the table again, and the shown
// icon in its new image.
void ReloadTrayIcons();

// After the pages' first evaluation: the icon shows the worst drive, and
// what the drives are now is no news.
void StartTrayAlert();
// After an evaluation of fresh data (a poll, the refresh command): one
// balloon for the drives that got worse or hot, then the icon.
void AlertAfterPoll();
// After the threshold commands moved page k's limits: its status now is
// the user's doing, no news; the icon follows.
void AlertAfterLimits(int k);
// After a status set by hand (the debug commands) or drives evaluated
// again from the same data (the identity switch): the icon follows, and
// the next poll is compared with the last one.
void ShowWorstInTray();
// The balloon was clicked: the window comes back with the page of the
// drive it named first.
void OpenBalloonPage(HWND window);
