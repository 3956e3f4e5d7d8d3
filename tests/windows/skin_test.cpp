// The skin rendered at page size: from PNG, BMP and JPEG files, stretched
// and at its own size, and what a missing or broken file leaves behind.
#include <windows.h>

#include <png.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/test_dir.h"
#include "settings/appsettings.h"
#include "ui/skin.h"
#include "windows/gui_counts.h"
#include "windows/test_images.h"

namespace {

const int kWidth = 200;
const int kHeight = 100;

class Skins : public ::testing::Test {
protected:
    Skins() {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        SetStartValues(settings_);
    }
    ~Skins() override {
        skin_.FreeSkin();
        DestroyWindow(window_);
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    bool Load(const std::string& path, int stretch) {
        std::snprintf(settings_.Skin.File, sizeof settings_.Skin.File, "%s", path.c_str());
        settings_.Skin.Stretch = stretch;
        skin_.FreeSkin();
        return skin_.LoadSkin(window_, settings_);
    }
    COLORREF At(int x, int y) const { return GetPixel(skin_.skinBuffer.Dc(), x, y); }

    // Four quadrants: red, green / blue, white.
    std::string QuadrantPng() const {
        const std::string path = dir_.Path("quadrants.png");
        const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = 2;
        image.height = 2;
        image.format = PNG_FORMAT_RGB;
        EXPECT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, nullptr));
        return path;
    }

    static bool Near(COLORREF a, COLORREF b, int by) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= by && std::abs(GetGValue(a) - GetGValue(b)) <= by &&
               std::abs(GetBValue(a) - GetBValue(b)) <= by;
    }

    TestDir dir_{"skins"};
    HRESULT com_ = E_FAIL;
    HWND window_ = nullptr;
    AppSettings settings_;
    Skin skin_;
};

}  // namespace

TEST_F(Skins, PngBmpAndJpegRenderStretchedOrAtTheirOwnSize) {
    // Halftone stretching blends a little across the quadrants' borders.
    ASSERT_TRUE(Load(QuadrantPng(), 1));
    EXPECT_EQ(kWidth, skin_.panelRect.cx);
    EXPECT_EQ(kHeight, skin_.panelRect.cy);
    EXPECT_TRUE(Near(RGB(255, 0, 0), At(2, 2), 24));
    EXPECT_TRUE(Near(RGB(0, 255, 0), At(kWidth - 3, 2), 24));
    EXPECT_TRUE(Near(RGB(0, 0, 255), At(2, kHeight - 3), 24));
    EXPECT_TRUE(Near(RGB(255, 255, 255), At(kWidth - 3, kHeight - 3), 24));

    ASSERT_TRUE(Load(QuadrantPng(), 0));
    EXPECT_EQ(RGB(255, 0, 0), At(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), At(1, 1));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), At(2, 2)) << "the page shows beside a smaller image";
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), At(kWidth - 1, kHeight - 1));

    const std::string bmp = dir_.Path("small.bmp");
    TestDir::WriteAll(bmp, BmpFile(10, 8, RGB(20, 140, 60)));
    ASSERT_TRUE(Load(bmp, 0));
    EXPECT_EQ(RGB(20, 140, 60), At(9, 7));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), At(10, 7));
    ASSERT_TRUE(Load(bmp, 1));
    EXPECT_EQ(RGB(20, 140, 60), At(kWidth - 1, kHeight - 1));

    const std::string jpeg = dir_.Path("large.jpg");
    ASSERT_TRUE(WriteJpegFile(jpeg, 300, 150, RGB(200, 100, 50)));
    ASSERT_TRUE(Load(jpeg, 0));
    EXPECT_TRUE(Near(RGB(200, 100, 50), At(kWidth - 1, kHeight - 1), 12)) << "a larger image is cut";
    ASSERT_TRUE(Load(jpeg, 1));
    EXPECT_TRUE(Near(RGB(200, 100, 50), At(kWidth / 2, kHeight / 2), 12));
}

TEST_F(Skins, MissingAndBrokenFilesHoldNothingAndGiveEverythingBack) {
    const std::string broken = dir_.Path("broken.png");
    std::string bytes = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'x');
    TestDir::WriteAll(broken, bytes);
    const std::string bmp = dir_.Path("good.bmp");
    TestDir::WriteAll(bmp, BmpFile(30, 30, RGB(1, 2, 3)));
    for (const std::string& path : {dir_.Path("absent.png"), broken, dir_.Path("")}) {
        EXPECT_FALSE(Load(path, 1)) << path;
        EXPECT_EQ(nullptr, skin_.skinBuffer.Dc());
        EXPECT_EQ(nullptr, skin_.skinImage.Dc());
        EXPECT_EQ(kWidth, skin_.panelRect.cx) << "the page size is taken all the same";
    }

    Load(bmp, 1);
    skin_.FreeSkin();
    const GuiCounts before = CountGuiObjects();
    for (int i = 0; i < LeakRounds(); ++i) {
        ASSERT_TRUE(Load(bmp, i & 1));
        ASSERT_FALSE(Load(broken, 1));
    }
    skin_.FreeSkin();
    EXPECT_EQ(before, CountGuiObjects());
}
