#include "app/tasktray.h"

#include <cstring>
#include <new>

namespace {

TrayNotifier notify = Shell_NotifyIconA;

// The size that includes the GUID member, as the shells since Windows XP
// read it.
const DWORD kNotifyDataSize = NOTIFYICONDATAA_V3_SIZE;

// A fresh icon id from the time of day, waited for so that two quick
// starts do not get the same one.
UINT FreshIconId() {
    Sleep(100);
    SYSTEMTIME now;
    GetSystemTime(&now);
    return ((static_cast<UINT>(now.wHour) * 256u + now.wMinute) * 256u + now.wSecond) * 4096u + now.wMilliseconds;
}

}  // namespace

TrayNotifier SetTrayNotifier(TrayNotifier notifier) {
    const TrayNotifier previous = notify;
    notify = notifier != nullptr ? notifier : Shell_NotifyIconA;
    return previous;
}

TaskTrayIcon::TaskTrayIcon() : taskbarMessage_(RegisterWindowMessageA("TaskbarCreated")), notifyData_() {}

TaskTrayIcon::~TaskTrayIcon() { Destroy(); }

BOOL TaskTrayIcon::Create(HINSTANCE instance, HWND window) {
    if (icons_ != nullptr) return FALSE;
    icons_ = new (std::nothrow) IconEntry[1]();
    if (icons_ == nullptr) return FALSE;
    capacity_ = 1;
    count_ = 0;
    current_ = 0;
    instance_ = instance;
    std::memset(&notifyData_, 0, sizeof notifyData_);
    notifyData_.cbSize = kNotifyDataSize;
    notifyData_.hWnd = window;
    notifyData_.uFlags = NIF_ICON;
    notifyData_.uID = FreshIconId();
    return TRUE;
}

void TaskTrayIcon::SetCallback(UINT message, const char* tip) {
    if (icons_ == nullptr || tip == nullptr || std::strlen(tip) >= sizeof notifyData_.szTip) return;
    notifyData_.uFlags |= NIF_MESSAGE | NIF_TIP;
    notifyData_.uCallbackMessage = message;
    std::strcpy(notifyData_.szTip, tip);
}

void TaskTrayIcon::AddIcon(HICON icon, BOOL owned) {
    if (icons_ == nullptr || count_ >= capacity_) return;
    IconEntry& entry = icons_[count_];
    if (entry.owned && entry.icon != nullptr) DestroyIcon(entry.icon);
    entry = {icon, owned};
    ++count_;
}

void TaskTrayIcon::Show(UINT index) {
    if (icons_ == nullptr || index >= capacity_) return;
    notifyData_.hIcon = icons_[index].icon;
    notify(NIM_ADD, &notifyData_);
    current_ = index;
}

void TaskTrayIcon::AddAgain() {
    if (icons_ != nullptr) notify(NIM_ADD, &notifyData_);
}

void TaskTrayIcon::Destroy() {
    if (icons_ == nullptr) return;
    notifyData_.hIcon = nullptr;
    notify(NIM_DELETE, &notifyData_);
    std::memset(&notifyData_, 0, sizeof notifyData_);
    for (UINT i = 0; i < capacity_; ++i) {
        if (icons_[i].owned && icons_[i].icon != nullptr) DestroyIcon(icons_[i].icon);
    }
    delete[] icons_;
    icons_ = nullptr;
    capacity_ = 0;
    count_ = 0;
}
