// A balloon tooltip with one tool: a rectangle of its parent window. Every
// header panel of a drive page has one.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CTOOLTIP {
public:
    CTOOLTIP();
    virtual ~CTOOLTIP();
    CTOOLTIP(const CTOOLTIP&) = delete;
    CTOOLTIP& operator=(const CTOOLTIP&) = delete;

    // Creates the tooltip window and adds the tool (the rectangle of the
    // parent, in its client coordinates). The text is asked from the parent
    // until the first SetText. False when the tooltip exists already or the
    // window cannot be created.
    bool CreateTip(DWORD style, const RECT& rect, HINSTANCE instance, HWND parent, UINT toolFlags);

    // Points the tool at the text, which must live as long as it is shown.
    // Skipped while there is no window.
    void SetText(char* text);

    // Removes the tool, destroys the window and the title icon.
    void Destroy();

    HWND Window() const { return window_; }
    HICON TitleIcon() const { return titleIcon_; }
    const TOOLINFOA& Tool() const { return tool_; }

private:
    friend void SetupPanelTip(HWND page, int controlId, CTOOLTIP& tip, int iconId, const char* title);

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HICON titleIcon_ = nullptr;
    int active_ = 0;
    TOOLINFOA tool_;
};

// The tooltip of one header panel: a balloon over the control's rectangle
// in the page, with the title and the 16-pixel title icon (resource
// iconId) of the program, tip texts wrapping at 512 pixels, shown after
// 0.2 s for 30 s. A failure is reported in an error box; the panel then has
// no tooltip. A title of 100 or more characters is not set.
void SetupPanelTip(HWND page, int controlId, CTOOLTIP& tip, int iconId, const char* title);
