#include "ui/pngdecode.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace {

const double kScreenGamma = 2.2;
const double kDefaultFileGamma = 0.45455;
// libpng's own defaults, stated here so that they hold whatever the build
// of libpng chose.
const png_alloc_size_t kChunkMemoryMax = 8000000;
const png_uint_32 kChunkCacheMax = 1000;

// Everything the decode holds. It lives in the caller of ReadImage, the
// function that sets the error return point, so that its values stay sound
// when libpng jumps back there.
struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytepp rows = nullptr;
    png_uint_32 rowCount = 0;
};

void Release(PngRead& read) {
    if (read.rows != nullptr) {
        for (png_uint_32 i = 0; i < read.rowCount; ++i) png_free(read.png, read.rows[i]);
        std::free(read.rows);
    }
    png_destroy_read_struct(&read.png, &read.info, nullptr);
}

// Reads the image into read.rows. False when libpng gave up (any error
// comes back to the setjmp below) or the image is past the limits.
bool ReadImage(FILE* file, PngRead& read, PngShape& shape) {
    if (setjmp(png_jmpbuf(read.png))) return false;

    png_set_user_limits(read.png, kPngMaxSide, kPngMaxSide);
    png_set_chunk_malloc_max(read.png, kChunkMemoryMax);
    png_set_chunk_cache_max(read.png, kChunkCacheMax);
    png_init_io(read.png, file);
    png_read_info(read.png, read.info);

    png_set_strip_16(read.png);
    png_set_gray_to_rgb(read.png);
    png_set_expand(read.png);
    png_set_bgr(read.png);
    png_set_packing(read.png);
    double fileGamma = kDefaultFileGamma;
    if (!png_get_gAMA(read.png, read.info, &fileGamma)) fileGamma = kDefaultFileGamma;
    png_set_gamma(read.png, kScreenGamma, fileGamma);
    // Interlaced files need every pass combined into the rows; said before
    // the update, as libpng asks (it otherwise guesses late, with a warning).
    png_set_interlace_handling(read.png);
    png_read_update_info(read.png, read.info);

    const png_uint_32 width = png_get_image_width(read.png, read.info);
    const png_uint_32 height = png_get_image_height(read.png, read.info);
    const int bitCount = png_get_channels(read.png, read.info) * png_get_bit_depth(read.png, read.info);
    const size_t rowBytes = png_get_rowbytes(read.png, read.info);
    if (bitCount != 24 && bitCount != 32) return false;
    if (rowBytes != width * static_cast<size_t>(bitCount / 8)) return false;
    if (rowBytes > kPngMaxPixelBytes / height) return false;

    read.rows = static_cast<png_bytepp>(std::calloc(height, sizeof(png_bytep)));
    if (read.rows == nullptr) return false;
    read.rowCount = height;
    for (png_uint_32 i = 0; i < height; ++i) read.rows[i] = static_cast<png_bytep>(png_malloc(read.png, rowBytes));

    png_read_image(read.png, read.rows);
    png_read_end(read.png, nullptr);

    shape.width = static_cast<int>(width);
    shape.height = static_cast<int>(height);
    shape.bitCount = bitCount;
    shape.stride = (static_cast<size_t>(bitCount) * width + 31) / 32 * 4;
    return true;
}

}  // namespace

bool DecodePngStream(FILE* file, PngDestination& destination) {
    PngRead read;
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (read.png != nullptr) read.info = png_create_info_struct(read.png);
    if (read.info == nullptr) {
        Release(read);
        return false;
    }

    PngShape shape = {};
    bool decoded = ReadImage(file, read, shape);
    if (decoded) {
        unsigned char* bits = destination.Allocate(shape);
        decoded = bits != nullptr;
        const size_t rowBytes = static_cast<size_t>(shape.width) * (shape.bitCount / 8);
        // The first PNG row is the top line, the last line of a bottom-up DIB.
        for (int k = 0; decoded && k < shape.height; ++k) {
            std::memcpy(bits + k * shape.stride, read.rows[shape.height - 1 - k], rowBytes);
        }
    }
    Release(read);
    return decoded;
}
