#include "ui/progbar.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "ui/dcdrawing.h"

namespace {

// Toward zero, and within int, so that any value and maximum format.
int Truncate(double number) {
    if (!(number > INT_MIN)) return number != number ? 0 : INT_MIN;
    if (number >= INT_MAX) return INT_MAX;
    return static_cast<int>(number);
}

}  // namespace

CPROGBAR::CPROGBAR() = default;

CPROGBAR::~CPROGBAR() {
    if (control != nullptr) {
        DeleteTools();
        parent = nullptr;
        control = nullptr;
    }
}

bool CPROGBAR::InitColors() {
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (control == nullptr) return false;
    DeleteTools();
    textColour = text;
    backColour = face;
    barColour = shadow;
    highlightColour = highlight;
    shadowColour = shadow;
    return CreateTools();
}

bool CPROGBAR::CreateTools() {
    return backBrush_.Reset(CreateSolidBrush(backColour)) && barBrush_.Reset(CreateSolidBrush(barColour)) &&
           highlightPen_.Reset(CreatePen(PS_SOLID, 0, highlightColour)) &&
           shadowPen_.Reset(CreatePen(PS_SOLID, 0, shadowColour));
}

void CPROGBAR::DeleteTools() {
    backBrush_.Delete();
    barBrush_.Delete();
    highlightPen_.Delete();
    shadowPen_.Delete();
}

void CPROGBAR::SetPos(DWORD position) {
    if (position > std::trunc(maximum)) return;
    value_ = position;
    if (value_ > peak_) peak_ = value_;
}

bool CPROGBAR::GetControlRect(RECT* rect) const {
    RECT window;
    if (!GetWindowRect(control, &window)) return false;
    POINT corner = {window.left, window.top};
    ScreenToClient(parent, &corner);
    *rect = {corner.x, corner.y, corner.x + (window.right - window.left), corner.y + (window.bottom - window.top)};
    return true;
}

void CPROGBAR::FormatText() {
    // A gauge without a sound maximum shows nothing filled, never a
    // division by zero.
    const double fraction = maximum > 0 ? value_ / maximum : 0;
    const double peakFraction = maximum > 0 ? peak_ / maximum : 0;
    switch (textMode) {
        case ProgressTextPeak:
            if (showPeak) {
                std::snprintf(text, sizeof text, "%d%%", Truncate(peakFraction * 100));
            } else {
                text[0] = '\0';
            }
            break;
        case ProgressTextPercent:
            if (showPeak) {
                std::snprintf(text, sizeof text, "%d%% (%d%%)", Truncate(fraction * 100), Truncate(peakFraction * 100));
            } else {
                std::snprintf(text, sizeof text, "%d%%", Truncate(fraction * 100));
            }
            break;
        case ProgressTextValue:
            if (showPeak) {
                std::snprintf(text, sizeof text, "%d/%d (%d)", Truncate(value_), Truncate(maximum), Truncate(peak_));
            } else {
                std::snprintf(text, sizeof text, "%d/%d", Truncate(value_), Truncate(maximum));
            }
            break;
        default:
            break;
    }
}

void CPROGBAR::Draw(HDC dc) {
    FormatText();
    RECT rect;
    if (!GetControlRect(&rect)) return;
    if (frame3D) rect.right -= 1;

    const double fraction = maximum > 0 ? value_ / maximum : 0;
    const int room = rect.right - rect.left - 4;
    int filled = Truncate(room * fraction);
    // The maximum may have been lowered below the value since: the bar stays
    // inside its frame.
    if (filled > room) filled = room;
    if (filled < 0) filled = 0;
    const RECT bar = {rect.left + 2, rect.top + 2, rect.left + 2 + filled, rect.bottom - 2 + (frame3D ? 1 : 0)};

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour);
    SetBkColor(dc, backColour);
    // The gauge's objects are deleted while the DC lives on: none stays
    // selected in it.
    DcSelection selectedFont(dc, font);
    if (!transparent && backBrush_.Get() != nullptr) FillRect(dc, &rect, backBrush_.Get());
    if (barBrush_.Get() != nullptr) FillRect(dc, &bar, barBrush_.Get());
    if (showText) DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (frame3D) {
        {
            DcSelection selectedPen(dc, shadowPen_.Get());
            DrawLine(dc, rect.left, rect.top, rect.left, rect.bottom);
            DrawLine(dc, rect.left, rect.top, rect.right, rect.top);
        }
        DcSelection selectedPen(dc, highlightPen_.Get());
        DrawLine(dc, rect.right, rect.top, rect.right, rect.bottom);
        DrawLine(dc, rect.left, rect.bottom, rect.right + 1, rect.bottom);
    }
}
