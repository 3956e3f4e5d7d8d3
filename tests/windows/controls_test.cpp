// The usage gauge drawn into a readable surface, pixel by pixel, and the
// header tooltips as the tooltip control itself reports them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/msgbox.h"
#include "ui/progbar.h"
#include "ui/tooltip.h"
#include "windows/gui_counts.h"
#include "windows/test_images.h"

namespace {

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kBar = RGB(0, 0, 255);
const COLORREF kHighlight = RGB(0, 255, 0);
const COLORREF kShadow = RGB(255, 0, 0);
const COLORREF kText = RGB(0, 0, 0);
const COLORREF kClear = RGB(1, 2, 3);

// A hidden parent of 200 x 60 with a hidden control at (10, 10), 100 x 20:
// the gauge's place.
class Gauge : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 300, 200, 200, 60, nullptr, nullptr, nullptr, nullptr);
        control_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 10, 100, 20, parent_, nullptr, nullptr, nullptr);
        ASSERT_NE(control_, nullptr);
        gauge_.parent = parent_;
        gauge_.control = control_;
        ASSERT_TRUE(gauge_.InitColors());
        gauge_.DeleteTools();
        gauge_.backColour = kBack;
        gauge_.barColour = kBar;
        gauge_.highlightColour = kHighlight;
        gauge_.shadowColour = kShadow;
        gauge_.textColour = kText;
        ASSERT_TRUE(gauge_.CreateTools());
        gauge_.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        gauge_.showText = 0;
    }
    void TearDown() override { DestroyWindow(parent_); }

    void Draw(Canvas& canvas) { gauge_.Draw(canvas.Dc()); }
    int TextPixels(const Canvas& canvas) const {
        int count = 0;
        for (int y = 10; y < 30; ++y) count += canvas.CountInRow(y, kText);
        return count;
    }

    HWND parent_ = nullptr;
    HWND control_ = nullptr;
    CPROGBAR gauge_;
};

TEST_F(Gauge, WithoutFrameHalfwayFillsFortyEightPixelsFromTwoIn) {
    gauge_.frame3D = 0;
    gauge_.SetPos(50);
    Canvas canvas(200, 60, kClear);
    Draw(canvas);
    for (int y : {12, 20, 27}) {
        EXPECT_EQ(canvas.CountInRow(y, kBar), 48) << y;
        EXPECT_EQ(canvas.FirstInRow(y, kBar), 12) << y;
    }
    EXPECT_EQ(canvas.CountInRow(11, kBar), 0);   // two pixels of background above
    EXPECT_EQ(canvas.CountInRow(28, kBar), 0);   // and below
    EXPECT_EQ(canvas.At(10, 20), kBack);
    EXPECT_EQ(canvas.At(109, 20), kBack);
    EXPECT_EQ(canvas.At(110, 20), kClear);      // nothing outside the control
    EXPECT_EQ(canvas.At(50, 30), kClear);

    gauge_.transparent = 1;
    Canvas through(200, 60, kClear);
    gauge_.Draw(through.Dc());
    EXPECT_EQ(through.At(100, 20), kClear);
    EXPECT_EQ(through.CountInRow(20, kBar), 48);
}

TEST_F(Gauge, TheSunkenFrameLinesLandOnTheEdgesAndOneLineBelow) {
    gauge_.SetPos(50);
    Canvas canvas(200, 60, kClear);
    Draw(canvas);
    // The right edge moves in by one: the bar is half of 95 pixels, and
    // reaches one line lower.
    EXPECT_EQ(canvas.CountInRow(20, kBar), 47);
    EXPECT_EQ(canvas.FirstInRow(20, kBar), 12);
    EXPECT_EQ(canvas.At(30, 28), kBar);
    EXPECT_EQ(canvas.At(30, 29), kBack);
    // Shadow: left and top.
    for (int y = 10; y < 30; ++y) EXPECT_EQ(canvas.At(10, y), kShadow) << y;
    for (int x = 10; x < 109; ++x) EXPECT_EQ(canvas.At(x, 10), kShadow) << x;
    // Highlight: right at the moved edge, bottom one line below the control.
    for (int y = 10; y < 30; ++y) EXPECT_EQ(canvas.At(109, y), kHighlight) << y;
    for (int x = 10; x < 110; ++x) EXPECT_EQ(canvas.At(x, 30), kHighlight) << x;
    EXPECT_EQ(canvas.At(110, 20), kClear);
    EXPECT_EQ(canvas.At(110, 30), kClear);
    EXPECT_EQ(canvas.At(10, 31), kClear);
}

TEST_F(Gauge, PositionsAboveTheMaximumAreIgnoredAndThePeakNeverFalls) {
    gauge_.SetPos(100);
    EXPECT_EQ(gauge_.Value(), 100);
    gauge_.SetPos(101);
    EXPECT_EQ(gauge_.Value(), 100);
    EXPECT_EQ(gauge_.Peak(), 100);

    CPROGBAR fresh;
    fresh.SetPos(80);
    fresh.SetPos(30);
    EXPECT_EQ(fresh.Value(), 30);
    EXPECT_EQ(fresh.Peak(), 80);
    fresh.SetPos(0);
    EXPECT_EQ(fresh.Peak(), 80);
    // A fractional maximum is cut to an integer first.
    fresh.maximum = 99.9;
    fresh.SetPos(99);
    EXPECT_EQ(fresh.Value(), 99);
    fresh.SetPos(100);
    EXPECT_EQ(fresh.Value(), 99);
}

TEST_F(Gauge, EveryTextModeWritesItsTextAndDrawsItOnlyWhenAsked) {
    gauge_.SetPos(80);
    gauge_.SetPos(30);
    const struct {
        int mode;
        int peak;
        const char* text;
    } cases[] = {
        {0, 0, ""},      {0, 1, "80%"},          {1, 0, "30%"},
        {1, 1, "30% (80%)"}, {2, 0, "30/100"}, {2, 1, "30/100 (80)"},
    };
    for (const auto& one : cases) {
        gauge_.textMode = one.mode;
        gauge_.showPeak = one.peak;
        Canvas canvas(200, 60, kClear);
        Draw(canvas);
        EXPECT_STREQ(gauge_.Text(), one.text) << one.mode << "/" << one.peak;
    }
    // Another mode draws the owner's text untouched.
    gauge_.textMode = 7;
    std::strcpy(gauge_.text, "12.3 GB");
    gauge_.showText = 1;
    Canvas shown(200, 60, kClear);
    Draw(shown);
    EXPECT_STREQ(gauge_.Text(), "12.3 GB");
    EXPECT_GT(TextPixels(shown), 10);
    gauge_.showText = 0;
    Canvas hidden(200, 60, kClear);
    Draw(hidden);
    EXPECT_EQ(TextPixels(hidden), 0);
}

TEST_F(Gauge, NoMaximumOrNoControlDrawsNothingWrong) {
    gauge_.maximum = 0;
    gauge_.SetPos(0);
    Canvas canvas(200, 60, kClear);
    Draw(canvas);
    EXPECT_STREQ(gauge_.Text(), "0%");
    EXPECT_EQ(canvas.CountInRow(20, kBar), 0);
    // A maximum lowered under the value keeps the bar inside its frame.
    gauge_.maximum = 100;
    gauge_.SetPos(100);
    gauge_.maximum = 10;
    Canvas over(200, 60, kClear);
    Draw(over);
    EXPECT_EQ(over.CountInRow(20, kBar), 95);

    CPROGBAR unplaced;
    EXPECT_FALSE(unplaced.InitColors());
    Canvas untouched(20, 20, kClear);
    unplaced.Draw(untouched.Dc());
    EXPECT_EQ(untouched.At(5, 5), kClear);
}

// Records the titles the tooltips of this thread are given (the tooltip
// control of some systems cannot be asked for its title).
class TitleRecorder {
public:
    struct Title {
        WPARAM icon;
        std::string text;
    };
    TitleRecorder() {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId());
    }
    ~TitleRecorder() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    const std::vector<Title>& Titles() const { return titles_; }

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->message == TTM_SETTITLEA) {
            current_->titles_.push_back({sent->wParam, reinterpret_cast<const char*>(sent->lParam)});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static TitleRecorder* current_;
    HHOOK hook_;
    std::vector<Title> titles_;
};

TitleRecorder* TitleRecorder::current_ = nullptr;

// A hidden page with one panel, id 1010, at (5, 6), 50 x 20.
class PanelTip : public ::testing::Test {
protected:
    void SetUp() override {
        page_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 5, 6, 50, 20, page_, reinterpret_cast<HMENU>(1010), nullptr,
                        nullptr);
    }
    void TearDown() override { DestroyWindow(page_); }

    HWND page_ = nullptr;
};

TEST_F(PanelTip, ABalloonOverThePanelWithTitleDelaysAndWidth) {
    TitleRecorder titles;
    CTOOLTIP tip;
    SetupPanelTip(page_, 1010, tip, 110, "Model");
    ASSERT_NE(tip.Window(), nullptr);
    EXPECT_TRUE(GetWindowLongA(tip.Window(), GWL_STYLE) & TTS_BALLOON);
    EXPECT_EQ(SendMessageA(tip.Window(), TTM_GETTOOLCOUNT, 0, 0), 1);
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    ASSERT_TRUE(SendMessageA(tip.Window(), TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, page_);
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    EXPECT_EQ(tool.rect.left, 5);
    EXPECT_EQ(tool.rect.top, 6);
    EXPECT_EQ(tool.rect.right, 55);
    EXPECT_EQ(tool.rect.bottom, 26);
    EXPECT_EQ(SendMessageA(tip.Window(), TTM_GETMAXTIPWIDTH, 0, 0), 512);
    EXPECT_EQ(SendMessageA(tip.Window(), TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
    EXPECT_EQ(SendMessageA(tip.Window(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
    ASSERT_EQ(titles.Titles().size(), 1u);
    EXPECT_EQ(titles.Titles()[0].text, "Model");
    EXPECT_NE(tip.TitleIcon(), nullptr);
    EXPECT_EQ(titles.Titles()[0].icon, reinterpret_cast<WPARAM>(tip.TitleIcon()));

    char text[] = "Disk model\r\nsecond line";
    tip.SetText(text);
    char shown[64] = {};
    TOOLINFOA asked = {};
    asked.cbSize = TTTOOLINFOA_V2_SIZE;
    asked.hwnd = page_;
    asked.lpszText = shown;
    SendMessageA(tip.Window(), TTM_GETTEXTA, sizeof shown, reinterpret_cast<LPARAM>(&asked));
    EXPECT_STREQ(shown, text);

    RECT rect = {0, 0, 1, 1};
    EXPECT_FALSE(tip.CreateTip(WS_POPUP, rect, nullptr, page_, 0));  // one tooltip per panel
    HWND window = tip.Window();
    tip.Destroy();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(tip.Window(), nullptr);
    tip.SetText(text);  // no window: nothing happens
}

TEST_F(PanelTip, ATitleOfAHundredCharactersIsLeftOutAndTheTipStillWorks) {
    TitleRecorder titles;
    CTOOLTIP shortTitle, longTitle;
    SetupPanelTip(page_, 1010, shortTitle, 111, std::string(99, 'x').c_str());
    SetupPanelTip(page_, 1010, longTitle, 111, std::string(100, 'x').c_str());
    ASSERT_EQ(titles.Titles().size(), 1u);
    EXPECT_EQ(titles.Titles()[0].text, std::string(99, 'x'));
    EXPECT_NE(longTitle.TitleIcon(), nullptr);
    EXPECT_EQ(SendMessageA(longTitle.Window(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(PanelTip, AFailedCreationIsReportedAndLeavesNoTooltip) {
    MessageRecorder boxes;
    CTOOLTIP tip;
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    SetupPanelTip(gone, 1010, tip, 110, "Model");
    EXPECT_EQ(tip.Window(), nullptr);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "ツールチップの生成に失敗しました。");
    EXPECT_EQ(boxes.Calls()[0].caption, "エラー情報");
    EXPECT_EQ(boxes.Calls()[0].style, ERROR_BOX_STYLE);
    EXPECT_EQ(boxes.Calls()[0].owner, nullptr);
}

TEST_F(PanelTip, AThousandTooltipsAndGaugesGiveEveryObjectBack) {
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 80, 16, page_, nullptr, nullptr, nullptr);
    Canvas canvas(200, 100);
    // Wine's tooltip keeps a copy of a title icon it was given after its
    // window is gone (Windows frees it), so these tips have a title too
    // long to be set; the program's own title icon is loaded all the same.
    const std::string untitled(100, 't');
    auto cycle = [&] {
        CTOOLTIP tip;
        SetupPanelTip(page_, 1010, tip, 112, untitled.c_str());
        CPROGBAR gauge;
        gauge.parent = page_;
        gauge.control = control;
        gauge.InitColors();
        gauge.SetPos(40);
        gauge.Draw(canvas.Dc());
        gauge.InitColors();  // a colour change rebuilds the tools
    };
    cycle();
    const GuiCounts before = CountGuiObjects();
    for (int round = 0; round < LeakRounds(); ++round) cycle();
    const GuiCounts after = CountGuiObjects();
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
}

}  // namespace
