// The disk-usage gauge. It is not a window: it takes the rectangle of a
// (hidden) control, in its parent's client coordinates, and draws itself
// into any DC, with an optional sunken frame and a text.
#pragma once

#include <windows.h>

#include "ui/gdihandles.h"

// What the gauge writes over itself.
enum ProgressTextMode {
    ProgressTextPeak = 0,      // the peak percentage (only with showPeak)
    ProgressTextPercent = 1,   // "50%", with showPeak "50% (80%)"
    ProgressTextValue = 2,     // "50/100", with showPeak "50/100 (80)"
    // any other mode: the text set by the owner, drawn as it is
};

class CPROGBAR {
public:
    CPROGBAR();
    virtual ~CPROGBAR();
    CPROGBAR(const CPROGBAR&) = delete;
    CPROGBAR& operator=(const CPROGBAR&) = delete;

    // Takes the button colours of the system for text, background, bar and
    // frame, and makes the brushes and pens. False (nothing changed) while
    // there is no control.
    bool InitColors();
    // Makes the two brushes and two pens from the colours, deleting the old
    // ones; false at the first that cannot be made.
    bool CreateTools();
    void DeleteTools();

    // Values above the maximum are ignored; the peak never falls.
    void SetPos(DWORD position);
    // The control's rectangle in the parent's client coordinates.
    bool GetControlRect(RECT* rect) const;
    // Draws the gauge at the control's place; nothing when the control's
    // rectangle cannot be read.
    void Draw(HDC dc);

    double Value() const { return value_; }
    double Peak() const { return peak_; }
    const char* Text() const { return text; }

    HWND parent = nullptr;
    HWND control = nullptr;
    double maximum = 100.0;
    HFONT font = nullptr;
    COLORREF textColour = 0;
    COLORREF backColour = 0;
    COLORREF barColour = 0;
    COLORREF highlightColour = 0;
    COLORREF shadowColour = 0;
    int showText = 1;
    int showPeak = 0;
    int frame3D = 1;
    int transparent = 0;
    int textMode = ProgressTextPercent;
    char text[256] = {};

private:
    void FormatText();

    double value_ = 0;
    double peak_ = 0;
    WINBRUSH backBrush_;
    WINBRUSH barBrush_;
    WINPEN highlightPen_;
    WINPEN shadowPen_;
};
