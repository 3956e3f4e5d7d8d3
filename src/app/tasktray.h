// The program's icon in the notification area: there from the main window's
// start to its teardown, whether the window is shown or in the tray.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// Shell_NotifyIconA, replaceable so that tests see what the shell is told.
typedef BOOL(WINAPI* TrayNotifier)(DWORD message, PNOTIFYICONDATAA data);
// Null puts back Shell_NotifyIconA; returns the previous one.
TrayNotifier SetTrayNotifier(TrayNotifier notifier);
// Shell_NotifyIconW, for the tips and balloons that hold the program's
// Japanese texts; replaceable the same way.
typedef BOOL(WINAPI* TrayNotifierW)(DWORD message, PNOTIFYICONDATAW data);
TrayNotifierW SetTrayNotifierW(TrayNotifierW notifier);

class TaskTrayIcon {
public:
    TaskTrayIcon();
    virtual ~TaskTrayIcon();
    TaskTrayIcon(const TaskTrayIcon&) = delete;
    TaskTrayIcon& operator=(const TaskTrayIcon&) = delete;

    // A table of capacity icon entries, one for the window's icon alone;
    // false when there is one already or it cannot be had.
    BOOL Create(HINSTANCE instance, HWND window, UINT capacity = 1);
    // The window is sent the message for mouse events on the icon; the tip
    // must leave room for its terminator in 128 characters.
    void SetCallback(UINT message, const char* tip);
    // Fills the next entry; an owned icon is destroyed with its entry. A
    // full table ignores the call.
    void AddIcon(HICON icon, BOOL owned);
    // The next AddIcon fills the first entry again: icons of a new look.
    void Refill();
    // Adds the entry's icon to the notification area.
    void Show(UINT index);
    // The shown icon becomes the entry's, in place, with that tip; a null
    // or empty tip is the one SetCallback gave.
    void Change(UINT index, const wchar_t* tip);
    // A balloon over the icon with the NIIF_ icon given; the texts are cut
    // to what the shell takes (63 and 255 characters).
    void Balloon(const wchar_t* title, const wchar_t* text, DWORD infoFlags);
    // After the taskbar was made anew (the shell restarted): the icon again,
    // as it was last shown.
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
    // The tip shown through the wide call; empty while it is notifyData_'s.
    std::wstring wideTip_;

    // notifyData_ with the wide tip, for Shell_NotifyIconW.
    NOTIFYICONDATAW WideData() const;
};
