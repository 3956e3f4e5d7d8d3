// The libpng of each build is linked and works: an image written through it
// reads back with the same size, depth and pixels.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "common/test_dir.h"

namespace {

struct ReadCursor {
    const std::string* bytes;
    size_t offset;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

void TakeBytes(png_structp png, png_bytep data, png_size_t length) {
    ReadCursor* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
    if (cursor->offset + length > cursor->bytes->size()) png_error(png, "short PNG data");
    std::memcpy(data, cursor->bytes->data() + cursor->offset, length);
    cursor->offset += length;
}

const int kWidth = 5;
const int kHeight = 3;

std::vector<png_byte> TestPixels() {
    std::vector<png_byte> pixels(kWidth * kHeight * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<png_byte>(i * 17 + 3);
    return pixels;
}

bool EncodePng(const std::vector<png_byte>& pixels, std::string* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendBytes, FlushNothing);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) png_write_row(png, pixels.data() + y * kWidth * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool DecodePng(const std::string& bytes, png_uint_32* width, png_uint_32* height, int* depth,
               std::vector<png_byte>* pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    ReadCursor cursor{&bytes, 0};
    png_set_read_fn(png, &cursor, TakeBytes);
    png_read_info(png, info);
    int colourType = 0;
    png_get_IHDR(png, info, width, height, depth, &colourType, nullptr, nullptr, nullptr);
    pixels->assign(png_get_rowbytes(png, info) * *height, 0);
    for (png_uint_32 y = 0; y < *height; ++y) png_read_row(png, pixels->data() + y * png_get_rowbytes(png, info), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

TEST(LibPng, WrittenFileReadsBackPixelForPixel) {
    const std::vector<png_byte> pixels = TestPixels();
    std::string encoded;
    ASSERT_TRUE(EncodePng(pixels, &encoded));
    ASSERT_EQ(0, png_sig_cmp(reinterpret_cast<png_const_bytep>(encoded.data()), 0, 8));

    TestDir dir("png");
    const std::string path = dir.Path("small.png");
    TestDir::WriteAll(path, encoded);

    png_uint_32 width = 0, height = 0;
    int depth = 0;
    std::vector<png_byte> decoded;
    ASSERT_TRUE(DecodePng(TestDir::ReadAll(path), &width, &height, &depth, &decoded));
    EXPECT_EQ(static_cast<png_uint_32>(kWidth), width);
    EXPECT_EQ(static_cast<png_uint_32>(kHeight), height);
    EXPECT_EQ(8, depth);
    EXPECT_EQ(pixels, decoded);
}

TEST(LibPng, TruncatedDataFailsThroughTheErrorReturn) {
    std::string encoded;
    ASSERT_TRUE(EncodePng(TestPixels(), &encoded));
    png_uint_32 width = 0, height = 0;
    int depth = 0;
    std::vector<png_byte> decoded;
    EXPECT_FALSE(DecodePng(encoded.substr(0, encoded.size() / 2), &width, &height, &depth, &decoded));
}

TEST(LibPng, RuntimeLibraryMatchesTheHeaders) {
    EXPECT_STREQ(PNG_LIBPNG_VER_STRING, png_get_libpng_ver(nullptr));
    EXPECT_EQ(1, PNG_LIBPNG_VER_MAJOR);
    EXPECT_EQ(6, PNG_LIBPNG_VER_MINOR);
}
