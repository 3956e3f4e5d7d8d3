// The PNG decoder over libpng's copy of the PNG test suite and over files
// broken in the ways that suite's corrupt files are. A second, independent
// path through libpng (its simplified reader) tells what the pixels are.
#include "ui/pngdecode.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/png_samples.h"
#include "common/test_dir.h"

namespace {

class Pixels : public PngDestination {
public:
    unsigned char* Allocate(const PngShape& given) override {
        ++allocations;
        shape = given;
        bytes.assign(given.stride * given.height, 0);
        return bytes.data();
    }

    int allocations = 0;
    PngShape shape = {};
    std::vector<unsigned char> bytes;
};

bool DecodeFile(const std::string& path, Pixels& pixels) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const bool decoded = DecodePngStream(file, pixels);
    std::fclose(file);
    return decoded;
}

bool DecodeBytes(const TestDir& dir, const std::string& bytes, Pixels& pixels) {
    const std::string path = dir.Path("image.png");
    TestDir::WriteAll(path, bytes);
    return DecodeFile(path, pixels);
}

std::string Name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool HasAlpha(const PngFacts& facts) { return facts.colourType == 4 || facts.colourType == 6 || facts.hasTransparency; }

// The same file through libpng's simplified reader into a bottom-up
// buffer laid out like the DIB: the image as libpng itself would hand it to
// a program, gamma left alone.
std::vector<unsigned char> ReferenceDecode(const std::string& path, const PngShape& shape) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> out(shape.stride * shape.height, 0);
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = shape.bitCount == 32 ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    // A negative stride puts the bottom row first, as in a bottom-up DIB.
    if (!png_image_finish_read(&image, nullptr, out.data(), -static_cast<png_int_32>(shape.stride), nullptr)) {
        png_image_free(&image);
        return {};
    }
    return out;
}

unsigned char GreyAt(const Pixels& pixels, int x) { return pixels.bytes[x * 3]; }

TEST(PngDecode, EverySuiteImageDecodesWithTheSizeAndDepthItsChunksPromise) {
    ASSERT_FALSE(PngContribDir().empty()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    const std::vector<std::string> files = PngSuiteFiles();
    ASSERT_GE(files.size(), 60u);
    int compared = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(Name(path));
        const PngFacts facts = ReadPngFacts(TestDir::ReadAll(path));
        Pixels pixels;
        ASSERT_TRUE(DecodeFile(path, pixels));
        EXPECT_EQ(pixels.shape.width, static_cast<int>(facts.width));
        EXPECT_EQ(pixels.shape.height, static_cast<int>(facts.height));
        // Palette with tRNS, grey or colour with alpha: 32 bits; everything
        // else, 16-bit grey included, 24.
        EXPECT_EQ(pixels.shape.bitCount, HasAlpha(facts) ? 32 : 24);
        EXPECT_EQ(pixels.shape.stride % 4, 0u);
        EXPECT_GE(pixels.shape.stride, static_cast<size_t>(pixels.shape.width) * pixels.shape.bitCount / 8);

        // Without gAMA (1/2.2 assumed: no correction) and with 8-bit samples
        // the pixels must be exactly libpng's own reading: rows flipped,
        // blue first, palettes, low depths and interlacing resolved.
        if (!facts.hasGamma && facts.bitDepth <= 8) {
            const std::vector<unsigned char> expected = ReferenceDecode(path, pixels.shape);
            ASSERT_FALSE(expected.empty());
            const size_t rowBytes = static_cast<size_t>(pixels.shape.width) * pixels.shape.bitCount / 8;
            for (int y = 0; y < pixels.shape.height; ++y) {
                const size_t line = y * pixels.shape.stride;
                ASSERT_EQ(0, std::memcmp(pixels.bytes.data() + line, expected.data() + line, rowBytes)) << "line " << y;
            }
            ++compared;
        }
    }
    EXPECT_GE(compared, 20);
}

TEST(PngDecode, GammaCorrectsForATwoPointTwoScreenAndLeavesFilesWithoutGamaAlone) {
    ASSERT_FALSE(PngContribDir().empty()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    // The four files hold the same 256 grey samples; only their gamma differs.
    const std::string dir = PngContribDir() + "/testpngs/";
    Pixels none, linear, gamma18;
    ASSERT_TRUE(DecodeFile(dir + "gray-8.png", none));
    ASSERT_TRUE(DecodeFile(dir + "gray-8-linear.png", linear));
    ASSERT_TRUE(DecodeFile(dir + "gray-8-1.8.png", gamma18));
    const std::vector<unsigned char> raw = ReferenceDecode(dir + "gray-8.png", none.shape);
    int brighter = 0;
    for (int x = 0; x < 256; ++x) {
        SCOPED_TRACE(x);
        const double sample = GreyAt(none, x) / 255.0;
        EXPECT_EQ(GreyAt(none, x), raw[x * 3]);
        EXPECT_NEAR(GreyAt(linear, x), 255 * std::pow(sample, 1 / 2.2), 1.0);
        EXPECT_NEAR(GreyAt(gamma18, x), 255 * std::pow(sample, 1 / (0.65909 * 2.2)), 1.0);
        if (GreyAt(linear, x) > GreyAt(none, x)) ++brighter;
    }
    EXPECT_GT(brighter, 200);
}

TEST(PngDecode, BrokenFilesGiveNothingAndNeverAskForPixelMemory) {
    ASSERT_FALSE(PngContribDir().empty()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    TestDir dir("pngbroken");
    int variants = 0;
    for (const char* name : {"basn0g01", "basn2c16", "basn3p04", "basn6a08", "ftbrn2c08"}) {
        const std::string good = TestDir::ReadAll(PngContribDir() + "/pngsuite/" + name + ".png");
        for (const NamedPng& broken : CorruptVariants(good)) {
            SCOPED_TRACE(std::string(name) + ": " + broken.name);
            Pixels pixels;
            EXPECT_FALSE(DecodeBytes(dir, broken.bytes, pixels));
            EXPECT_EQ(0, pixels.allocations);
            ++variants;
        }
        // Every shorter file is broken too; none may hang or crash.
        for (size_t length = 0; length < good.size(); length += 7) {
            Pixels pixels;
            EXPECT_FALSE(DecodeBytes(dir, good.substr(0, length), pixels)) << name << " cut to " << length;
        }
    }
    EXPECT_GE(variants, 5 * 16);
    for (const char* name : {"badadler.png", "badcrc.png"}) {
        SCOPED_TRACE(name);
        Pixels pixels;
        EXPECT_FALSE(DecodeFile(PngContribDir() + "/testpngs/crashers/" + name, pixels));
    }
}

TEST(PngDecode, ImagesPastTheSizeLimitsAreRefusedBeforeAnyPixelMemory) {
    TestDir dir("pnglimits");
    for (const auto& size : {std::make_pair(kPngMaxSide + 1, 1u), std::make_pair(1u, kPngMaxSide + 1),
                             std::make_pair(4097u, 4096u), std::make_pair(kPngMaxSide, kPngMaxSide)}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        Pixels pixels;
        EXPECT_FALSE(DecodeBytes(dir, PngClaimingSize(size.first, size.second), pixels));
        EXPECT_EQ(0, pixels.allocations);
    }
    // Within the limits, the same tiny stream is simply too short.
    Pixels pixels;
    EXPECT_FALSE(DecodeBytes(dir, PngClaimingSize(64, 64), pixels));
}

TEST(PngDecode, ADestinationThatGivesNothingFailsTheDecode) {
    ASSERT_FALSE(PngContribDir().empty()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    class NoMemory : public PngDestination {
    public:
        unsigned char* Allocate(const PngShape&) override { return nullptr; }
    } none;
    FILE* file = std::fopen((PngContribDir() + "/pngsuite/basn2c08.png").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(DecodePngStream(file, none));
    std::fclose(file);
}

}  // namespace
