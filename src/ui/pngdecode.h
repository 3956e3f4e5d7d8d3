// Decoding of PNG files into the pixel layout of a bottom-up Windows DIB:
// BGR or BGRA, 8 bits a channel, lines padded to four bytes, the first PNG
// row last. Portable, so that the decoder is tested and fuzzed natively; the
// Windows side gives it a DIB section to decode into.
#pragma once

#include <cstddef>
#include <cstdio>

// Images larger than this are refused before any pixel memory is taken: a
// skin is drawn on a window of a few hundred pixels, and a hostile file may
// claim any size.
const unsigned kPngMaxSide = 16384;
const size_t kPngMaxPixelBytes = 64u * 1024 * 1024;

struct PngShape {
    int width;
    int height;
    int bitCount;    // 24 or 32
    size_t stride;   // bytes per line of the destination, a multiple of 4
};

// Gives the memory the decoded lines go to: stride * height bytes, or null
// to give up.
class PngDestination {
public:
    virtual unsigned char* Allocate(const PngShape& shape) = 0;

protected:
    ~PngDestination() = default;
};

// Decodes the whole PNG stream: every colour type and depth, interlaced or
// not, transparency as an alpha channel, gamma-corrected for a 2.2 screen
// (a file without gAMA counts as 1/2.2, so it is not changed). True when
// the destination was filled; false for anything libpng rejects, an image
// past the limits above, or a destination that gave nothing. Nothing is
// held afterwards either way; the stream stays open.
bool DecodePngStream(FILE* file, PngDestination& destination);
