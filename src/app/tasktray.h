// The program's icon in the notification area: there from the main window's
// start to its teardown, whether the window is shown or in the tray.
#pragma once

#include <windows.h>
#include <shellapi.h>

// Shell_NotifyIconA, replaceable so that tests see what the shell is told.
typedef BOOL(WINAPI* TrayNotifier)(DWORD message, PNOTIFYICONDATAA data);
// Null puts back Shell_NotifyIconA; returns the previous one.
TrayNotifier SetTrayNotifier(TrayNotifier notifier);

class TaskTrayIcon {
public:
    TaskTrayIcon();
    virtual ~TaskTrayIcon();
    TaskTrayIcon(const TaskTrayIcon&) = delete;
    TaskTrayIcon& operator=(const TaskTrayIcon&) = delete;

    // A table of one icon entry for the window's icon; false when there is
    // one already or it cannot be had.
    BOOL Create(HINSTANCE instance, HWND window);
    // The window is sent the message for mouse events on the icon; the tip
    // must leave room for its terminator in 128 characters.
    void SetCallback(UINT message, const char* tip);
    // Fills the next entry; an owned icon is destroyed with its entry. A
    // full table ignores the call.
    void AddIcon(HICON icon, BOOL owned);
    // Adds the entry's icon to the notification area.
    void Show(UINT index);
    // After the taskbar was made anew (the shell restarted): the icon again.
    void AddAgain();
    // Removes the icon and frees the table; nothing when there is none.
    void Destroy();

    // The registered "TaskbarCreated" message.
    UINT TaskbarMessage() const { return taskbarMessage_; }
    const NOTIFYICONDATAA& NotifyData() const { return notifyData_; }

private:
    struct IconEntry {
        HICON icon;
        BOOL owned;
    };

    UINT taskbarMessage_;
    UINT capacity_ = 0;
    IconEntry* icons_ = nullptr;
    HINSTANCE instance_ = nullptr;
    NOTIFYICONDATAA notifyData_;
    UINT current_ = 0;
    UINT count_ = 0;
};
