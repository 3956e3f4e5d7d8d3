#include "ui/tooltip.h"

#include <cstring>

#include "base/msgbox.h"
#include "base/windowutil.h"

namespace {

const char kTooltipCreationFailed[] = "ツールチップの生成に失敗しました。";
const size_t kLongestTitle = 99;
const int kTipWidth = 512;
const int kInitialDelay = 200;
const int kShownFor = 30000;

}  // namespace

CTOOLTIP::CTOOLTIP() : tool_() {}

CTOOLTIP::~CTOOLTIP() { Destroy(); }

bool CTOOLTIP::CreateTip(DWORD style, const RECT& rect, HINSTANCE instance, HWND parent, UINT toolFlags) {
    if (window_ != nullptr) return false;
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    if (window_ == nullptr) return false;
    tool_ = TOOLINFOA();
    // The record without lpReserved: what every version of the common
    // controls accepts.
    tool_.cbSize = TTTOOLINFOA_V2_SIZE;
    tool_.uFlags = toolFlags;
    tool_.hwnd = parent;
    tool_.uId = 0;
    tool_.rect = rect;
    tool_.hinst = instance;
    tool_.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool_));
    instance_ = instance;
    return true;
}

void CTOOLTIP::SetText(char* text) {
    if (window_ == nullptr) return;
    tool_.lpszText = text;
    SendMessageA(window_, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool_));
}

void CTOOLTIP::Destroy() {
    if (window_ != nullptr) {
        SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool_));
        DestroyWindow(window_);
    }
    // The title icon was loaded for this tooltip alone.
    if (titleIcon_ != nullptr) DestroyIcon(titleIcon_);
    instance_ = nullptr;
    window_ = nullptr;
    titleIcon_ = nullptr;
    active_ = 0;
}

void SetupPanelTip(HWND page, int controlId, CTOOLTIP& tip, int iconId, const char* title) {
    RECT rect = {};
    GetItemRect(controlId, &rect, page);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!tip.CreateTip(WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON, rect, instance, page, TTF_SUBCLASS)) {
        ShowErrorBox(kTooltipCreationFailed);
        return;
    }
    if (tip.titleIcon_ != nullptr) DestroyIcon(tip.titleIcon_);
    tip.titleIcon_ = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (std::strlen(title) <= kLongestTitle) {
        const WPARAM icon = tip.titleIcon_ != nullptr ? reinterpret_cast<WPARAM>(tip.titleIcon_) : static_cast<WPARAM>(-1);
        SendMessageA(tip.window_, TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(title));
    }
    SendMessageA(tip.window_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    SendMessageA(tip.window_, TTM_SETDELAYTIME, TTDT_INITIAL, kInitialDelay);
    SendMessageA(tip.window_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kShownFor);
    if (tip.active_ != 1) {
        SendMessageA(tip.window_, TTM_ACTIVATE, TRUE, 0);
        tip.active_ = 1;
    }
}
