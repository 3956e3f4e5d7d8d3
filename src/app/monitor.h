// The monitor thread: it re-reads the SMART data of every drive every
// Global.Timer seconds and tells the main window that fresh data are there.
//
// Pausing is a state the thread checks before each update and during its
// wait, so a paused thread never holds the update lock; stopping wakes it
// from any wait, so it never has to be terminated while it holds a lock.
#pragma once

#include <windows.h>

// Creates the thread suspended: it does nothing until the first resume,
// which makes it update at once. False when a thread exists or none could
// be made.
bool CreateMonitorThread(HWND mainWindow);

// 1 resumes, 0 pauses. False when there is no thread.
bool PauseResumeMonitor(int resume);

// Ends the thread and waits for it: at once from a wait or a pause, after
// the current update otherwise. A paused thread ends without updating.
void StopMonitorThread();

bool MonitorThreadExists();

// The main window calls this when it takes the refresh the thread posted,
// so that the thread posts no further one while that is still queued.
void MonitorRefreshTaken();

// And this once it has shown it: without an interval the thread waits for
// that before its next update.
void MonitorRefreshShown();

// How the thread posts its refresh: PostMessageW unless a test installs
// another (null puts PostMessageW back). Returns the one it replaces.
typedef BOOL(WINAPI* MonitorPoster)(HWND, UINT, WPARAM, LPARAM);
MonitorPoster SetMonitorPoster(MonitorPoster poster);
