#include "app/tasktray.h"

#include <cstring>
#include <new>

namespace {

TrayNotifier notify = Shell_NotifyIconA;
TrayNotifierW notifyW = Shell_NotifyIconW;

// The size that includes the GUID member, as the shells since Windows XP
// read it.
const DWORD kNotifyDataSize = NOTIFYICONDATAA_V3_SIZE;
const DWORD kWideNotifyDataSize = NOTIFYICONDATAW_V3_SIZE;
// Shells since Vista keep a balloon as long as they choose; older ones and
// Wine take this.
const UINT kBalloonMilliseconds = 10000;

// At most N - 1 characters and the terminator, never half of a surrogate
// pair.
template <size_t N>
void CopyCut(const wchar_t* text, WCHAR (&out)[N]) {
    size_t length = 0;
    while (text[length] != L'\0' && length < N - 1) ++length;
    if (text[length] != L'\0' && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    for (size_t i = 0; i < length; ++i) out[i] = text[i];
    out[length] = L'\0';
}

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

TrayNotifierW SetTrayNotifierW(TrayNotifierW notifier) {
    const TrayNotifierW previous = notifyW;
    notifyW = notifier != nullptr ? notifier : Shell_NotifyIconW;
    return previous;
}

TaskTrayIcon::TaskTrayIcon() : taskbarMessage_(RegisterWindowMessageA("TaskbarCreated")), notifyData_() {}

TaskTrayIcon::~TaskTrayIcon() { Destroy(); }

BOOL TaskTrayIcon::Create(HINSTANCE instance, HWND window, UINT capacity) {
    if (icons_ != nullptr || capacity == 0) return FALSE;
    icons_ = new (std::nothrow) IconEntry[capacity]();
    if (icons_ == nullptr) return FALSE;
    capacity_ = capacity;
    count_ = 0;
    current_ = 0;
    wideTip_.clear();
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

void TaskTrayIcon::Refill() { count_ = 0; }

void TaskTrayIcon::Show(UINT index) {
    if (icons_ == nullptr || index >= capacity_) return;
    notifyData_.hIcon = icons_[index].icon;
    notify(NIM_ADD, &notifyData_);
    current_ = index;
}

void TaskTrayIcon::Change(UINT index, const wchar_t* tip) {
    if (icons_ == nullptr || index >= count_) return;
    notifyData_.hIcon = icons_[index].icon;
    current_ = index;
    wideTip_ = tip != nullptr ? tip : L"";
    if (wideTip_.empty()) {
        notify(NIM_MODIFY, &notifyData_);
    } else {
        NOTIFYICONDATAW data = WideData();
        notifyW(NIM_MODIFY, &data);
    }
}

void TaskTrayIcon::Balloon(const wchar_t* title, const wchar_t* text, DWORD infoFlags) {
    if (icons_ == nullptr) return;
    // Only the balloon: the icon and its tip stay as they are, and a later
    // call never shows the balloon again.
    NOTIFYICONDATAW data = {};
    data.cbSize = kWideNotifyDataSize;
    data.hWnd = notifyData_.hWnd;
    data.uID = notifyData_.uID;
    data.uFlags = NIF_INFO;
    CopyCut(title, data.szInfoTitle);
    CopyCut(text, data.szInfo);
    data.uTimeout = kBalloonMilliseconds;
    data.dwInfoFlags = infoFlags;
    notifyW(NIM_MODIFY, &data);
}

void TaskTrayIcon::AddAgain() {
    if (icons_ == nullptr) return;
    if (wideTip_.empty()) {
        notify(NIM_ADD, &notifyData_);
    } else {
        NOTIFYICONDATAW data = WideData();
        notifyW(NIM_ADD, &data);
    }
}

NOTIFYICONDATAW TaskTrayIcon::WideData() const {
    NOTIFYICONDATAW data = {};
    data.cbSize = kWideNotifyDataSize;
    data.hWnd = notifyData_.hWnd;
    data.uID = notifyData_.uID;
    data.uFlags = notifyData_.uFlags;
    data.uCallbackMessage = notifyData_.uCallbackMessage;
    data.hIcon = notifyData_.hIcon;
    CopyCut(wideTip_.c_str(), data.szTip);
    return data;
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
    wideTip_.clear();
}
