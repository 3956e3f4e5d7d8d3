// The drawn header of a page, read back from its back buffer: panels and
// their frames, shadows and gauge, the status picture and its blinking, the
// temperature graph and the skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/test_dir.h"
#include "res/resource.h"
#include "settings/appsettings.h"
#include "ui/header.h"
#include "ui/pages.h"
#include "windows/gui_counts.h"
#include "windows/page_fixture.h"

namespace {

const COLORREF kText = RGB(200, 0, 200);
const COLORREF kShadow = RGB(0, 200, 200);
const COLORREF kFrame = RGB(10, 20, 250);
const COLORREF kBar = RGB(250, 200, 10);
const COLORREF kGrid = RGB(1, 250, 1);
const COLORREF kThreshold = RGB(250, 1, 1);
const COLORREF kCurve = RGB(1, 1, 250);

class Header : public PageWindow {
protected:
    Header() {
        appSettings.Colors.Text = kText;
        appSettings.Colors.Frame = kFrame;
        appSettings.Colors.Bar = kBar;
        appSettings.Colors.Grid = kGrid;
        appSettings.Colors.Threshold = kThreshold;
        appSettings.Colors.Graph = kCurve;
        appSettings.Shadow.Color = kShadow;
        appSettings.View.Shadow = 0;
        CreatePens(drawing, appSettings);
        ApplyAllBarColors(pages);
        DrawAllPages(pages);
    }

    // Rows of the rectangle where at least a quarter of the pixels have the
    // colour (dotted lines have every other one).
    static std::vector<LONG> LinesIn(const Canvas& canvas, const RECT& rect, COLORREF colour) {
        std::vector<LONG> rows;
        for (LONG y = rect.top; y < rect.bottom; ++y) {
            const RECT row = {rect.left, y, rect.right, y + 1};
            if (CountIn(canvas, row, colour) * 4 >= rect.right - rect.left) rows.push_back(y);
        }
        return rows;
    }
};

RECT Inside(const RECT& rect, int by) { return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by}; }

}  // namespace

TEST_F(Header, PanelsAreDrawnWithTheirFramesShadowsAndGauge) {
    std::unique_ptr<Canvas> buffer = Buffer(0);
    const int panels[] = {IDC_SUMMARY, IDC_FIRMWARE, IDC_SERIAL, IDC_TEMPERATURE, IDC_POWER_ON_TIME, IDC_DISK_USAGE};
    for (int id : panels) {
        const RECT rect = Control(0, id);
        EXPECT_EQ(kFrame, buffer->At(rect.left, rect.top)) << id;
        EXPECT_EQ(kFrame, buffer->At(rect.right - 1, rect.bottom - 1)) << id;
        EXPECT_GT(CountIn(*buffer, Inside(rect, 1), kText), 20) << "the text of panel " << id;
        EXPECT_EQ(0, CountIn(*buffer, rect, kShadow)) << id;
    }
    // The gauge fills (width - 4) x 50 / 100 pixels from 2 inside its left.
    const RECT usage = Control(0, IDC_DISK_USAGE);
    const int row = usage.top + 3;
    const int filled = (usage.right - usage.left - 4) * 50 / 100;
    EXPECT_EQ(kBar, buffer->At(usage.left + 2, row));
    EXPECT_EQ(kBar, buffer->At(usage.left + 2 + filled - 1, row));
    EXPECT_NE(kBar, buffer->At(usage.left + 2 + filled, row));

    appSettings.View.FirmwareRevision = 0;
    DrawPage(pages, 0);
    const RECT firmware = Control(0, IDC_FIRMWARE);
    EXPECT_EQ(0, CountIn(*Buffer(0), firmware, kText)) << "switched off";
}

// Each shadow type against the same panel drawn by hand: the copies in the
// shadow colour at the type's offsets, then the text over them. One offset
// with a wrong sign, or a missing copy, changes pixels.
TEST_F(Header, EveryShadowTypePutsItsCopiesWhereItsOffsetsSay) {
    const int d = 3;
    const struct {
        int type;
        std::vector<POINT> copies;
    } types[] = {
        {0, {}},
        {1, {{-d, -d}}},
        {2, {{d, -d}}},
        {3, {{-d, d}}},
        {4, {{d, d}}},
        {5, {{0, -d}, {0, d}, {-d, 0}, {d, 0}}},
        {9, {{0, 0}}},
    };
    appSettings.View.Shadow = 1;
    appSettings.View.Frame = 0;
    appSettings.Shadow.Offset = d;
    // The serial panel alone, so that nothing else reaches its surroundings.
    appSettings.View.Model = appSettings.View.FirmwareRevision = appSettings.View.Temperature = 0;
    appSettings.View.PowerOnTime = appSettings.View.DiskUsage = 0;
    const RECT serial = Control(0, IDC_SERIAL);
    const RECT around = Inside(serial, -d - 1);
    const char* const text = drives.Shown(0).summary.serial;
    ASSERT_STRNE("", text);
    const HFONT font = drawing.middleFont.Handle();

    WINMEMDC expected;
    const PanelRect& panel = pages.skin.panelRect;
    ASSERT_TRUE(expected.CreateBuffer(Page(0), panel.cx, panel.cy));
    const HDC dc = expected.Dc();
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ previous = SelectObject(dc, font);
    for (const auto& shadow : types) {
        appSettings.Shadow.Type = shadow.type;
        DrawPage(pages, 0);
        SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
        FillRect(dc, &around, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetTextColor(dc, kShadow);
        for (const POINT& copy : shadow.copies) {
            RECT moved = serial;
            OffsetRect(&moved, copy.x, copy.y);
            DrawTextA(dc, text, -1, &moved, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        }
        SetTextColor(dc, kText);
        RECT place = serial;
        DrawTextA(dc, text, -1, &place, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);

        const std::unique_ptr<Canvas> buffer = Buffer(0);
        Canvas want(panel.cx, panel.cy);
        BitBlt(want.Dc(), 0, 0, panel.cx, panel.cy, dc, 0, 0, SRCCOPY);
        int differing = 0;
        for (LONG y = around.top; y < around.bottom; ++y) {
            for (LONG x = around.left; x < around.right; ++x) differing += buffer->At(x, y) != want.At(x, y) ? 1 : 0;
        }
        EXPECT_EQ(0, differing) << "shadow type " << shadow.type;
        if (!shadow.copies.empty() && shadow.type != 9) {
            EXPECT_GT(CountIn(*buffer, around, kShadow), 10) << "shadow type " << shadow.type;
        }
    }
    SelectObject(dc, previous);
}

TEST_F(Header, TheStatusPictureAlternatesWithTheHotOneWhileHotter) {
    const RECT place = Control(0, IDC_STATUS_IMAGE);
    // Bitmap.X and Y of -1: picture pixel (i, j) lands at place + (i + 1, j + 1).
    auto showing = [&](int picture) {
        std::unique_ptr<Canvas> buffer = Buffer(0);
        for (int i : {10, 40, 60}) {
            const COLORREF want = GetPixel(drawing.statusBitmaps[picture].Dc(), i, i);
            if (buffer->At(place.left + i + 1, place.top + i + 1) != want) return false;
        }
        return true;
    };
    ASSERT_NE(GetPixel(drawing.statusBitmaps[HealthGood].Dc(), 40, 40),
              GetPixel(drawing.statusBitmaps[HealthHot].Dc(), 40, 40));
    EXPECT_TRUE(showing(HealthGood));

    // The drives are at 35 degrees.
    appSettings.Temperature.Enable = 1;
    appSettings.Temperature.Threshold = 34;
    Call(WM_TIMER, app.timerId);
    EXPECT_TRUE(showing(HealthHot));
    Call(WM_TIMER, app.timerId);
    EXPECT_TRUE(showing(HealthGood));
    Call(WM_TIMER, app.timerId);
    EXPECT_TRUE(showing(HealthHot));

    appSettings.Temperature.Threshold = 35;
    for (int tick = 0; tick < 2; ++tick) {
        Call(WM_TIMER, app.timerId);
        EXPECT_TRUE(showing(HealthGood)) << "as hot as the threshold is not hotter";
    }
}

TEST_F(Header, TheGraphTakesThePlaceOfTheHiddenList) {
    appSettings.Global.Monitor = 1;
    appSettings.Graph.Limit = 80;
    appSettings.Temperature.Threshold = 45;
    appSettings.View.Basic = 0;
    for (int i = 0; i < 5; ++i) RefreshAllPages(pages, false);  // a history of 35 degrees
    std::unique_ptr<Canvas> buffer = Buffer(0);
    const RECT area = pages.basicListRect;
    const float height = static_cast<float>(area.bottom - area.top);
    const float step = height / 8;
    std::vector<LONG> grid;
    for (int k = 1; k < 8; ++k) grid.push_back(static_cast<LONG>(area.top + (height - k * step)));
    std::vector<LONG> found = LinesIn(*buffer, area, kGrid);
    EXPECT_EQ(std::vector<LONG>(grid.rbegin(), grid.rend()), found) << "seven grid lines, none on the edges";
    const LONG threshold = static_cast<LONG>(area.top + (height - 45 * (step / 10)));
    EXPECT_EQ(std::vector<LONG>{threshold}, LinesIn(*buffer, area, kThreshold));
    EXPECT_EQ(kFrame, buffer->At(area.left, area.top));
    EXPECT_EQ(kFrame, buffer->At(area.right - 1, area.bottom - 1));
    // The curve: 35 degrees, from the left edge over one sample step each.
    const LONG curveRow = static_cast<LONG>(area.top + height - 35 * (step / 10));
    const RECT curve = {area.left, curveRow - 1, area.left + 6, curveRow + 2};
    EXPECT_GT(CountIn(*buffer, curve, kCurve), 0);

    // A label sits centred on each of its lines: 10 to 70, not 0 or 80.
    for (int k = 0; k <= 8; ++k) {
        const LONG middle = static_cast<LONG>(area.top + (height - k * step));
        const RECT label = {area.left + 1, middle - 5, area.left + 30, middle + 5};
        const int ink = CountIn(*buffer, label, kText);
        if (k >= 1 && k <= 7) {
            EXPECT_GT(ink, 5) << "label " << k * 10;
        } else {
            EXPECT_EQ(0, ink) << "label " << k * 10;
        }
    }

    appSettings.View.Basic = 1;
    DrawPage(pages, 0);
    buffer = Buffer(0);
    EXPECT_EQ(0, CountIn(*buffer, pages.listsRect, kGrid)) << "no graph while both lists show";

    appSettings.View.Basic = 0;
    appSettings.View.Attribute = 0;
    DrawPage(pages, 0);
    buffer = Buffer(0);
    const RECT all = pages.listsRect;
    ASSERT_GT(all.bottom - all.top, area.bottom - area.top + 100);
    const std::vector<LONG> lines = LinesIn(*buffer, all, kGrid);
    ASSERT_EQ(7u, lines.size()) << "the graph covers both lists";
    EXPECT_LT(lines.front(), pages.basicListRect.bottom);
    EXPECT_GT(lines.back(), pages.attributeListRect.top);
}

// Temperatures and a threshold above the scale, scales from none to far
// past any reading, a pen and label offsets wider than the page: whatever
// the values, the graph ends and nothing of it lies outside its area.
TEST_F(Header, TheGraphStaysInsideItsAreaWhateverTheScaleAndValues) {
    appSettings.Global.Monitor = 1;
    appSettings.View.Basic = 0;
    sim_.Drive(0)->temperatureCycle = {110};
    for (int i = 0; i < 5; ++i) Refresh();
    appSettings.Temperature.Threshold = 120;
    const RECT area = pages.basicListRect;
    auto outside = [&](const Canvas& canvas, COLORREF colour) {
        const PanelRect& panel = pages.skin.panelRect;
        return CountIn(canvas, {0, 0, panel.cx, panel.cy}, colour) - CountIn(canvas, area, colour);
    };
    const struct {
        UINT limit;
        UINT width;
        int offset;
    } cases[] = {
        {80, 2, 0},      {0, 2, 0},          {9, 1000000, 0x7FFFFFFF}, {10, 0xFFFFFFFFu, -0x7FFFFFFF - 1},
        {200, 40, -500}, {0xFFFFFFFFu, 3, 2000},
    };
    for (const auto& graph : cases) {
        appSettings.Graph.Limit = graph.limit;
        appSettings.Graph.Width = graph.width;
        appSettings.Graph.Offset = graph.offset;
        CreatePens(drawing, appSettings);
        DrawPage(pages, 0);
        const std::unique_ptr<Canvas> buffer = Buffer(0);
        for (COLORREF colour : {kCurve, kThreshold, kGrid}) {
            EXPECT_EQ(0, outside(*buffer, colour)) << graph.limit << " " << graph.width << " " << colour;
        }
        EXPECT_EQ(kFrame, buffer->At(area.left, area.top)) << graph.limit;
        const size_t lines = LinesIn(*buffer, area, kGrid).size();
        if (graph.limit < 20) {
            EXPECT_EQ(0u, lines) << "one band of ten degrees at most: no line inside";
        } else {
            EXPECT_GT(lines, 0u) << graph.limit;
        }
    }
    // 200 degrees: the 110-degree curve and the 120-degree threshold inside.
    appSettings.Graph.Limit = 200;
    appSettings.Graph.Width = 2;
    CreatePens(drawing, appSettings);
    DrawPage(pages, 0);
    EXPECT_EQ(1u, LinesIn(*Buffer(0), area, kThreshold).size());
    EXPECT_GT(CountIn(*Buffer(0), area, kCurve), 10);
}

TEST_F(Header, ObjectCountsStayFlatOverRefreshesOfFourDrives) {
    appSettings.Global.Timer = 0;
    appSettings.Global.Monitor = 1;
    appSettings.View.Attribute = 0;
    sim_.Drive(1)->temperatureCycle = {30, 40, 50, 45};
    for (int i = 0; i < 300; ++i) Refresh();  // the history fills
    Drain();
    const GuiCounts before = CountGuiObjects();
    for (int i = 0; i < LeakRounds(); ++i) {
        Refresh();
        if (i % 100 == 0) Drain();
    }
    Drain();
    const GuiCounts after = CountGuiObjects();
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
    EXPECT_EQ(256u, drives.Shown(1).tempHistoryCount);
}

TEST_F(Header, ADroppedFileBecomesTheSkinAndABadOneLeavesThePlainBackground) {
    const TestDir& dir = scratch_.Dir();
    const std::string good = dir.Path("skin.bmp");
    TestDir::WriteAll(good, BmpFile(40, 30, RGB(90, 60, 30)));
    const std::string bad = dir.Path("broken.png");
    TestDir::WriteAll(bad, std::string("\x89PNG\r\n\x1a\n", 8) + "cut short");
    auto drop = [&](const std::string& path) { Call(WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(path))); };
    appSettings.Skin.Enable = 1;
    appSettings.Skin.Stretch = 1;
    drop(good);
    EXPECT_EQ(1, appSettings.Skin.Enable);
    // Under the lists the buffer shows the background alone.
    const PanelRect& panel = pages.skin.panelRect;
    EXPECT_EQ(RGB(90, 60, 30), Buffer(0)->At(panel.cx - 3, panel.cy - 3)) << "stretched over the whole page";
    EXPECT_EQ(RGB(90, 60, 30), Buffer(3)->At(panel.cx - 3, panel.cy - 3)) << "every page is redrawn";

    drop(bad);
    EXPECT_EQ(0, appSettings.Skin.Enable);
    EXPECT_FALSE(pages.skin.skinLoaded);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Buffer(0)->At(panel.cx - 3, panel.cy - 3));
    EXPECT_GT(CountIn(*Buffer(0), Control(0, IDC_SUMMARY), kText), 20) << "the panels are still drawn";
}
