// The image classes on real files: BMP, PNG (libpng's test suite) and JPEG
// (written by the system's own codecs), chosen by their first bytes, and
// broken, missing or odd files that must leave nothing behind.
#include <gtest/gtest.h>
#include <objbase.h>
#include <png.h>

#include <string>
#include <vector>

#include "common/png_samples.h"
#include "common/test_dir.h"
#include "ui/pngfile.h"
#include "ui/winbmp.h"
#include "ui/winimg.h"
#include "ui/winmemdc.h"
#include "windows/gui_counts.h"
#include "windows/test_images.h"

namespace {

class Images : public ::testing::Test {
protected:
    void SetUp() override { com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override {
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    std::string Suite(const char* name) const { return PngContribDir() + "\\pngsuite\\" + name; }
    bool HaveSuite() const { return !PngContribDir().empty(); }

    // A file of the test folder holding the bytes.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = dir_.Path(name);
        TestDir::WriteAll(path, bytes);
        return path;
    }

    void ExpectEmpty(const WINIMG& image) const {
        EXPECT_EQ(image.Dc(), nullptr);
        EXPECT_EQ(image.Bitmap(), nullptr);
        EXPECT_EQ(image.Picture(), nullptr);
        EXPECT_EQ(image.Info().bmWidth, 0);
    }

    TestDir dir_{"images"};
    HRESULT com_ = E_FAIL;
};

// The top-down pixels of a PNG as libpng's simplified reader gives them.
std::vector<unsigned char> ReferenceBgr(const std::string& path, int* width) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_BGR;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    *width = static_cast<int>(image.width);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
}

TEST_F(Images, FilesAreTakenByTheirFirstBytesNotTheirNames) {
    ASSERT_TRUE(HaveSuite()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    WINIMG image;
    // A BMP named .png.
    ASSERT_TRUE(image.LoadImageFile(Write("bitmap.png", BmpFile(7, 5, RGB(10, 200, 30))).c_str()));
    EXPECT_EQ(image.Info().bmWidth, 7);
    EXPECT_EQ(image.Info().bmHeight, 5);
    EXPECT_EQ(GetPixel(image.Dc(), 3, 2), RGB(10, 200, 30));
    EXPECT_EQ(image.Picture(), nullptr);

    // An RGBA PNG named .jpg: decoded by libpng as 32 bits.
    ASSERT_TRUE(image.LoadImageFile(Write("alpha.jpg", TestDir::ReadAll(Suite("basn6a08.png"))).c_str()));
    EXPECT_EQ(image.Info().bmWidth, 32);
    EXPECT_EQ(image.Info().bmBitsPixel, 32);
    EXPECT_EQ(image.Picture(), nullptr);
}

TEST_F(Images, PngFilesBecomeDibSectionsOfTheRightDepthTheRightWayUp) {
    ASSERT_TRUE(HaveSuite()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    const struct {
        const char* file;
        int bits;
    } cases[] = {
        {"basn2c08.png", 24},   // RGB
        {"basn0g16.png", 24},   // 16-bit grey
        {"ftbbn3p08.png", 32},  // palette with tRNS
        {"basn4a08.png", 32},   // grey with alpha
        {"ibasn2c08.png", 24},  // interlaced RGB
    };
    WINIMG image;
    for (const auto& one : cases) {
        SCOPED_TRACE(one.file);
        ASSERT_TRUE(image.LoadImageFile(Suite(one.file).c_str()));
        DIBSECTION section = {};
        ASSERT_EQ(static_cast<int>(sizeof section), GetObjectA(image.Bitmap(), sizeof section, &section));
        EXPECT_EQ(section.dsBm.bmBitsPixel, one.bits);
        EXPECT_EQ(section.dsBmih.biHeight, 32);  // positive: bottom-up
        EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(image.Info().bmBitsPixel, one.bits);
    }
    // The first PNG row is the top line on screen: compare the corners and
    // the middle with libpng's own top-down reading (no gAMA in this file).
    int width = 0;
    const std::vector<unsigned char> expected = ReferenceBgr(Suite("ibasn2c08.png"), &width);
    ASSERT_FALSE(expected.empty());
    for (const POINT& at : {POINT{0, 0}, POINT{31, 0}, POINT{0, 31}, POINT{31, 31}, POINT{16, 7}}) {
        const unsigned char* bgr = &expected[(at.y * width + at.x) * 3];
        EXPECT_EQ(GetPixel(image.Dc(), at.x, at.y), RGB(bgr[2], bgr[1], bgr[0])) << at.x << "," << at.y;
    }
}

TEST_F(Images, AJpegLoadsThroughTheSystemPictureLoaderAndIconsAreRefused) {
    const std::string jpeg = dir_.Path("photo.jpg");
    ASSERT_TRUE(WriteJpegFile(jpeg, 40, 30, RGB(200, 40, 40)));
    WINIMG image;
    ASSERT_TRUE(image.LoadImageFile(jpeg.c_str()));
    EXPECT_NE(image.Picture(), nullptr);
    EXPECT_EQ(image.Info().bmWidth, 40);
    EXPECT_EQ(image.Info().bmHeight, 30);
    const COLORREF middle = GetPixel(image.Dc(), 20, 15);
    EXPECT_NEAR(GetRValue(middle), 200, 8);
    EXPECT_NEAR(GetGValue(middle), 40, 8);
    EXPECT_NEAR(GetBValue(middle), 40, 8);

    // An icon through the same loader is no bitmap to select: refused, and
    // the picture of the JPEG before it is gone too.
    EXPECT_FALSE(image.LoadImageFile(Write("icon.ico", IcoFile(16, RGB(0, 0, 255))).c_str()));
    ExpectEmpty(image);
}

TEST_F(Images, MissingEmptyOddAndBrokenFilesGiveFalseAndHoldNothing) {
    WINIMG image;
    const std::string tooLong = dir_.Path(std::string(MAX_PATH, 'a') + ".png");
    const std::string paths[] = {
        dir_.Path("absent.png"),
        Write("empty.png", ""),  // counts as a BMP by its signature, and is none
        dir_.Root(),
        tooLong,
        Write("text.jpg", "not a picture at all"),
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path.substr(0, 80));
        ASSERT_TRUE(image.LoadImageFile(Write("good.bmp", BmpFile(2, 2, 0)).c_str()));
        EXPECT_FALSE(image.LoadImageFile(path.c_str()));
        ExpectEmpty(image);
    }
    EXPECT_TRUE(FileStartsWith(dir_.Path("empty.png").c_str(), "BM", 2));
    EXPECT_FALSE(FileStartsWith(dir_.Path("absent.png").c_str(), "BM", 2));
    EXPECT_FALSE(FileStartsWith(dir_.Path("text.jpg").c_str(), "BM", 2));

    if (!HaveSuite()) return;
    const std::string good = TestDir::ReadAll(Suite("basn2c08.png"));
    for (const NamedPng& broken : CorruptVariants(good)) {
        SCOPED_TRACE(broken.name);
        // Only files that still carry the PNG signature reach libpng; the
        // others go to the picture loader, which refuses them as well.
        EXPECT_FALSE(image.LoadImageFile(Write("broken.png", broken.bytes).c_str()));
        ExpectEmpty(image);
        EXPECT_EQ(LoadPngFile(dir_.Path("broken.png").c_str()), nullptr);
    }
}

TEST_F(Images, ABitmapResourceAndABmpFileLoadIntoTheirOwnDc) {
    WINBMP bitmap;
    ASSERT_TRUE(bitmap.LoadBitmapImage(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), LR_VGACOLOR));
    EXPECT_EQ(bitmap.Info().bmWidth, 115);
    EXPECT_EQ(bitmap.Info().bmHeight, 115);
    EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_BITMAP), bitmap.Bitmap());

    const std::string file = Write("picture.bmp", BmpFile(9, 4, RGB(90, 80, 70)));
    ASSERT_TRUE(bitmap.LoadBitmapImage(nullptr, file.c_str(), LR_LOADFROMFILE | LR_VGACOLOR));
    EXPECT_EQ(bitmap.Info().bmWidth, 9);
    EXPECT_EQ(GetPixel(bitmap.Dc(), 8, 3), RGB(90, 80, 70));

    EXPECT_FALSE(bitmap.LoadBitmapImage(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(9999), LR_VGACOLOR));
    EXPECT_EQ(bitmap.Dc(), nullptr);
    EXPECT_EQ(bitmap.Bitmap(), nullptr);
    EXPECT_EQ(bitmap.Info().bmWidth, 0);
}

TEST_F(Images, ABufferMatchesItsWindowAndItsSize) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    WINMEMDC buffer;
    ASSERT_TRUE(buffer.CreateBuffer(window, 123, 45));
    BITMAP info = {};
    GetObjectA(buffer.Bitmap(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 123);
    EXPECT_EQ(info.bmHeight, 45);
    EXPECT_EQ(buffer.Width(), 123);
    EXPECT_EQ(GetCurrentObject(buffer.Dc(), OBJ_BITMAP), buffer.Bitmap());
    DestroyWindow(window);
    EXPECT_FALSE(buffer.CreateBuffer(window, 10, 10));  // the window is gone
    EXPECT_EQ(buffer.Dc(), nullptr);
    EXPECT_EQ(buffer.Bitmap(), nullptr);
}

TEST_F(Images, ThousandsOfLoadsGoodAndBadGiveEveryObjectBack) {
    ASSERT_TRUE(HaveSuite()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    const std::string jpeg = dir_.Path("photo.jpg");
    ASSERT_TRUE(WriteJpegFile(jpeg, 16, 16, RGB(0, 128, 0)));
    const std::string bmp = Write("plain.bmp", BmpFile(16, 16, RGB(5, 6, 7)));
    const std::string png = Suite("ftbbn3p08.png");
    std::vector<std::string> broken;
    for (const NamedPng& variant : CorruptVariants(TestDir::ReadAll(Suite("basn6a08.png")))) {
        broken.push_back(Write("broken" + std::to_string(broken.size()) + ".png", variant.bytes));
    }
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    auto cycle = [&](int round) {
        WINIMG image;
        EXPECT_TRUE(image.LoadImageFile(png.c_str()));
        EXPECT_TRUE(image.LoadImageFile(bmp.c_str()));
        EXPECT_TRUE(image.LoadImageFile(jpeg.c_str()));
        EXPECT_FALSE(image.LoadImageFile(broken[round % broken.size()].c_str()));
        WINBMP resource;
        EXPECT_TRUE(resource.LoadBitmapImage(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(154), LR_VGACOLOR));
        WINMEMDC buffer;
        EXPECT_TRUE(buffer.CreateBuffer(window, 64, 64));
        image.LoadImageFile(jpeg.c_str());  // left loaded: the destructor releases it
    };
    cycle(0);  // first use fills the system's caches
    const GuiCounts before = CountGuiObjects();
    for (int round = 1; round <= LeakRounds() && !HasFailure(); ++round) cycle(round);
    for (int round = 0; round < LeakRounds(); ++round) {
        WINIMG image;
        image.LoadImageFile(broken[round % broken.size()].c_str());
    }
    const GuiCounts after = CountGuiObjects();
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
    DestroyWindow(window);
}

}  // namespace
