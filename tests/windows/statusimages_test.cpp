// The shared drawing resources: tab icons in state order and their
// external replacements, the status pictures with their per-state
// fallback, the pens and the five fonts; and that rebuilding them any
// number of times gives every object back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/test_dir.h"
#include "settings/appsettings.h"
#include "ui/drawingresources.h"
#include "windows/gui_counts.h"
#include "windows/test_images.h"

namespace {

const COLORREF kExternalColours[kStatusBitmapCount] = {RGB(10, 220, 10), RGB(230, 200, 0), RGB(220, 0, 0),
                                                        RGB(90, 90, 90), RGB(250, 120, 0)};
const char* const kIconFiles[] = {"S_GOOD.ICO", "S_WARN.ICO", "S_DNGR.ICO", "S_ERR.ICO"};
const char* const kBitmapFiles[] = {"S_GOOD.BMP", "S_WARN.BMP", "S_DNGR.BMP", "S_ERR.BMP", "S_TMP.BMP"};

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        SetStartValues(settings_);
        std::strcpy(settings_.Global.Path, dir_.Root().c_str());
        settings_.Icon.Size = 16;
        settings_.Graph.Width = 2;
    }

    void WriteIcons(int count, int size = 16) const {
        for (int i = 0; i < count; ++i) TestDir::WriteAll(dir_.Path(kIconFiles[i]), IcoFile(size, kExternalColours[i]));
    }

    // The 16 x 16 picture of image i of the list, drawn on black.
    static std::string ListPicture(HIMAGELIST list, int i) {
        Canvas canvas(16, 16, RGB(0, 0, 0));
        ImageList_DrawEx(list, i, canvas.Dc(), 0, 0, 16, 16, CLR_NONE, CLR_NONE, ILD_NORMAL);
        std::string pixels;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) pixels += std::to_string(canvas.At(x, y)) + ",";
        }
        return pixels;
    }

    static int Difference(HIMAGELIST a, int i, HIMAGELIST b, int j) {
        Canvas first(16, 16, RGB(0, 0, 0)), second(16, 16, RGB(0, 0, 0));
        ImageList_DrawEx(a, i, first.Dc(), 0, 0, 16, 16, CLR_NONE, CLR_NONE, ILD_NORMAL);
        ImageList_DrawEx(b, j, second.Dc(), 0, 0, 16, 16, CLR_NONE, CLR_NONE, ILD_NORMAL);
        int sum = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const COLORREF p = first.At(x, y), q = second.At(x, y);
                sum += std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q)) +
                       std::abs(GetBValue(p) - GetBValue(q));
            }
        }
        return sum;
    }

    // The program's own tab icons at 16 pixels, one list image each.
    static HIMAGELIST ResourceIcons() {
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
        for (int i = 0; i < kStatusIconCount; ++i) {
            HICON icon = static_cast<HICON>(
                LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(103 + i), IMAGE_ICON, 16, 16, 0));
            ImageList_ReplaceIcon(list, -1, icon);
            DestroyIcon(icon);
        }
        return list;
    }

    static int IconSize(HIMAGELIST list) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        EXPECT_EQ(cx, cy);
        return cx;
    }

    TestDir dir_{"statusimages"};
    AppSettings settings_;
    HINSTANCE instance_ = GetModuleHandleA(nullptr);
};

TEST_F(Resources, TheTabIconsAreTheProgramsFourInStateOrder) {
    DrawingResources resources;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    ASSERT_NE(resources.statusImageList, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(resources.statusImageList), 4);
    EXPECT_EQ(IconSize(resources.statusImageList), 16);
    // Each image is nearest to the program's icon of its own state (103 for
    // good up to 106 for error), and the four differ.
    HIMAGELIST expected = ResourceIcons();
    for (int state = 0; state < kStatusIconCount; ++state) {
        for (int other = 0; other < kStatusIconCount; ++other) {
            if (other == state) continue;
            EXPECT_LT(Difference(resources.statusImageList, state, expected, state),
                      Difference(resources.statusImageList, state, expected, other))
                << "state " << state << " against " << other;
        }
    }
    ImageList_Destroy(expected);

    // Icon.Size counts only while the external icons are on.
    settings_.Icon.Size = 32;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    EXPECT_EQ(IconSize(resources.statusImageList), 16);
    settings_.Icon.Enable = 1;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    EXPECT_EQ(IconSize(resources.statusImageList), 32);
    for (UINT absurd : {0u, 257u, 4000000000u}) {
        settings_.Icon.Size = absurd;
        ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
        EXPECT_EQ(IconSize(resources.statusImageList), 16) << absurd;
    }
}

TEST_F(Resources, ExternalIconsReplaceTheTabIconsOnlyAllFourTogether) {
    DrawingResources resources;
    WriteIcons(3);
    EXPECT_FALSE(LoadExternalIcons(resources, settings_, instance_));
    EXPECT_NE(resources.externalIcons[0], nullptr);  // the loaded ones stay
    EXPECT_EQ(resources.externalIcons[3], nullptr);
    // The caller clears Icon.Enable then: the program's icons are shown.
    settings_.Icon.Enable = 0;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    const std::string builtIn = ListPicture(resources.statusImageList, 0);

    WriteIcons(4);
    ASSERT_TRUE(LoadExternalIcons(resources, settings_, instance_));
    settings_.Icon.Enable = 1;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    for (int state = 0; state < kStatusIconCount; ++state) {
        Canvas canvas(16, 16, RGB(0, 0, 0));
        ImageList_Draw(resources.statusImageList, state, canvas.Dc(), 0, 0, ILD_NORMAL);
        EXPECT_EQ(canvas.At(8, 8), kExternalColours[state]) << state;
    }
    EXPECT_NE(ListPicture(resources.statusImageList, 0), builtIn);

    // Loaded but switched off: not used.
    settings_.Icon.Enable = 0;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    EXPECT_EQ(ListPicture(resources.statusImageList, 0), builtIn);
}

TEST_F(Resources, APathTooLongForTheBufferLoadsNoExternalFile) {
    std::memset(settings_.Global.Path, 'p', 1015);
    settings_.Global.Path[1015] = '\0';
    char path[kSettingsPathSize];
    EXPECT_FALSE(ExternalFilePath(settings_, "S_GOOD.ICO", path, sizeof path));
    EXPECT_STREQ(path, "");
    DrawingResources resources;
    EXPECT_FALSE(LoadExternalIcons(resources, settings_, instance_));
    LoadStatusBitmaps(resources, settings_, instance_, 1);
    EXPECT_EQ(resources.statusBitmaps[4].Info().bmWidth, 115);
}

TEST_F(Resources, StatusPicturesFallBackOnTheirOwn) {
    DrawingResources resources;
    LoadStatusBitmaps(resources, settings_, instance_, 0);
    for (const WINBMP& bitmap : resources.statusBitmaps) {
        EXPECT_NE(bitmap.Dc(), nullptr);
        EXPECT_EQ(bitmap.Info().bmWidth, 115);
        EXPECT_EQ(bitmap.Info().bmHeight, 115);
    }
    // Only the hot picture is there: it alone is replaced.
    TestDir::WriteAll(dir_.Path(kBitmapFiles[4]), BmpFile(20, 20, kExternalColours[4]));
    LoadStatusBitmaps(resources, settings_, instance_, 1);
    for (int state = 0; state < 4; ++state) EXPECT_EQ(resources.statusBitmaps[state].Info().bmWidth, 115);
    EXPECT_EQ(resources.statusBitmaps[4].Info().bmWidth, 20);
    EXPECT_EQ(GetPixel(resources.statusBitmaps[4].Dc(), 10, 10), kExternalColours[4]);
    // A drive in danger shows picture 152.
    WINBMP danger;
    ASSERT_TRUE(danger.LoadBitmapImage(instance_, MAKEINTRESOURCEA(152), LR_VGACOLOR));
    for (int y = 0; y < 115; y += 9) {
        for (int x = 0; x < 115; x += 9) {
            ASSERT_EQ(GetPixel(resources.statusBitmaps[2].Dc(), x, y), GetPixel(danger.Dc(), x, y));
        }
    }
    // External files unused while the switch is off.
    LoadStatusBitmaps(resources, settings_, instance_, 0);
    EXPECT_EQ(resources.statusBitmaps[4].Info().bmWidth, 115);
    FreeStatusBitmaps(resources);
    EXPECT_EQ(resources.statusBitmaps[0].Dc(), nullptr);
}

TEST_F(Resources, TheTabControlIsNeverLeftWithADestroyedList) {
    HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    DrawingResources resources;
    resources.imageListUser = tab;
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tab, TCM_GETIMAGELIST, 0, 0)), resources.statusImageList);
    ASSERT_TRUE(BuildStatusImageList(resources, settings_, instance_));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tab, TCM_GETIMAGELIST, 0, 0)), resources.statusImageList);
    DestroyStatusImageList(resources);
    EXPECT_EQ(SendMessageA(tab, TCM_GETIMAGELIST, 0, 0), 0);
    DestroyWindow(tab);
}

TEST_F(Resources, FontsAndPensAreMadeAsTheSettingsDescribe) {
    WINFONT unused;
    EXPECT_EQ(unused.Handle(), nullptr);
    EXPECT_EQ(unused.LogFont().lfWeight, FW_NORMAL);
    EXPECT_STREQ(unused.LogFont().lfFaceName, "System");

    DrawingResources resources;
    CreateFonts(resources, settings_);
    const struct {
        const WINFONT& font;
        LONG height;
        const char* face;
    } fonts[] = {
        {resources.tabFont, -17, "Arial Narrow"}, {resources.largeFont, -21, "Arial Narrow"},
        {resources.middleFont, -17, "Arial Narrow"}, {resources.smallFont, -11, "Arial"},
        {resources.graphFont, -13, "Arial"},
    };
    for (const auto& one : fonts) {
        SCOPED_TRACE(one.height);
        ASSERT_NE(one.font.Handle(), nullptr);
        LOGFONTA made = {};
        ASSERT_EQ(static_cast<int>(sizeof made), GetObjectA(one.font.Handle(), sizeof made, &made));
        EXPECT_EQ(made.lfHeight, one.height);
        EXPECT_EQ(made.lfWeight, 700);
        EXPECT_STREQ(made.lfFaceName, one.face);
        EXPECT_EQ(made.lfWidth, 0);
        EXPECT_EQ(made.lfItalic, 0);
        EXPECT_EQ(made.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(0, std::memcmp(&one.font.LogFont(), &made, sizeof made));
    }

    settings_.Colors.Grid = RGB(1, 2, 3);
    settings_.Colors.Threshold = RGB(127, 0, 0);
    CreatePens(resources, settings_);
    for (const auto& dotted : {std::make_pair(resources.gridPen.Get(), RGB(1, 2, 3)),
                               std::make_pair(resources.thresholdPen.Get(), RGB(127, 0, 0))}) {
        EXTLOGPEN pen = {};
        ASSERT_GT(GetObjectA(dotted.first, sizeof pen, &pen), 0);
        EXPECT_EQ(pen.elpPenStyle, static_cast<DWORD>(PS_COSMETIC | PS_ALTERNATE));
        EXPECT_EQ(pen.elpWidth, 1u);
        EXPECT_EQ(pen.elpBrushStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(pen.elpColor, dotted.second);
        // Every other pixel of a line is set.
        Canvas canvas(40, 3, RGB(255, 255, 255));
        SelectObject(canvas.Dc(), dotted.first);
        MoveToEx(canvas.Dc(), 0, 1, nullptr);
        LineTo(canvas.Dc(), 40, 1);
        SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
        EXPECT_EQ(canvas.CountInRow(1, dotted.second), 20);
        EXPECT_NE(canvas.At(0, 1), canvas.At(1, 1));
    }
    LOGPEN graph = {};
    ASSERT_GT(GetObjectA(resources.graphPen.Get(), sizeof graph, &graph), 0);
    EXPECT_EQ(graph.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(graph.lopnWidth.x, 2);
    EXPECT_EQ(graph.lopnColor, RGB(255, 0, 0));

    FreeDrawingResources(resources);
    EXPECT_EQ(resources.tabFont.Handle(), nullptr);
    EXPECT_EQ(resources.gridPen.Get(), nullptr);
}

TEST_F(Resources, AThousandRebuildsOfEverythingGiveEveryObjectBack) {
    WriteIcons(4);
    for (const char* file : kBitmapFiles) TestDir::WriteAll(dir_.Path(file), BmpFile(30, 30, RGB(5, 5, 5)));
    HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    settings_.Icon.Enable = 1;
    auto cycle = [&](int round) {
        DrawingResources resources;
        resources.imageListUser = tab;
        EXPECT_TRUE(LoadExternalIcons(resources, settings_, instance_));
        LoadStatusBitmaps(resources, settings_, instance_, round % 2);
        EXPECT_TRUE(BuildStatusImageList(resources, settings_, instance_));
        CreatePens(resources, settings_);
        CreateFonts(resources, settings_);
        // Every rebuild frees what it replaces.
        LoadStatusBitmaps(resources, settings_, instance_, 1);
        EXPECT_TRUE(BuildStatusImageList(resources, settings_, instance_));
        CreatePens(resources, settings_);
        CreateFonts(resources, settings_);
        if (round % 2) FreeDrawingResources(resources);  // else the destructor does it
    };
    cycle(0);
    const GuiCounts before = CountGuiObjects();
    for (int round = 1; round <= LeakRounds() && !HasFailure(); ++round) cycle(round);
    const GuiCounts after = CountGuiObjects();
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
    DestroyWindow(tab);
}

}  // namespace
