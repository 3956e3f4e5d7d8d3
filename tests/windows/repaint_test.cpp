// What the screen shows after a command, against what a forced repaint of
// the whole window shows: a command that leaves stale pixels differs.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/choosers.h"
#include "app/commandids.h"
#include "settings/appsettings.h"
#include "windows/page_fixture.h"

namespace {

LONG chosenHeight = 0;

int ChooseHeight(LOGFONTA* font, HWND) {
    font->lfHeight = chosenHeight;
    return 1;
}

class Repaint : public PageWindow {
protected:
    Repaint() {
        choosers.font = ChooseHeight;
        // Nothing of the pointer's, no tooltip, over the window.
        SetCursorPos(0, 0);
        SetWindowPos(window_, HWND_TOP, 200, 150, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        Settle();
    }
    ~Repaint() override { choosers = kStandardChoosers; }

    void Settle() {
        UpdateWindow(window_);
        for (int i = 0; i < 5; ++i) {
            Drain();
            Sleep(20);
        }
    }

    // The window as the screen shows it now.
    std::unique_ptr<Canvas> Screen() const {
        RECT rect;
        GetWindowRect(window_, &rect);
        std::unique_ptr<Canvas> canvas(new Canvas(rect.right - rect.left, rect.bottom - rect.top));
        const HDC screen = GetDC(nullptr);
        BitBlt(canvas->Dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top,
               SRCCOPY);
        ReleaseDC(nullptr, screen);
        return canvas;
    }

    // Pixels that differ between the screen now and after every window of
    // the main window has been painted anew.
    int StalePixels() {
        Settle();
        const std::unique_ptr<Canvas> shown = Screen();
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        const std::unique_ptr<Canvas> repainted = Screen();
        RECT rect;
        GetWindowRect(window_, &rect);
        int stale = 0;
        for (LONG y = 0; y < rect.bottom - rect.top; ++y) {
            for (LONG x = 0; x < rect.right - rect.left; ++x) stale += shown->At(x, y) != repainted->At(x, y);
        }
        return stale;
    }

    void Run(WORD command) {
        Call(WM_COMMAND, command);
        Drain();
    }
};

}  // namespace

TEST_F(Repaint, TheScreenNeedsNoRepaintToBeRight) {
    ASSERT_EQ(0, StalePixels()) << "the window as it starts";
    chosenHeight = -20;
    Run(kCommandFontSmall);
    EXPECT_EQ(0, StalePixels()) << "both lists take the small font at once";
    chosenHeight = -30;
    Run(kCommandFontTab);
    EXPECT_EQ(0, StalePixels()) << "the tabs and the pages moved under them";
    chosenHeight = -9;
    Run(kCommandFontTab);
    EXPECT_EQ(0, StalePixels()) << "smaller tabs";
}
