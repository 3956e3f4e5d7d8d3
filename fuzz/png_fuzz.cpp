// The PNG decoder over any stream, read from memory as the skin loader reads
// a file. Whatever it accepts must have the size its header gives, a shape
// within the decoder's limits, and stay within the memory it asked for (an
// allocation of exactly stride * height, so that a line copied past it is
// caught); a destination that gives nothing must make the decode fail.
//
// libpng refuses a chunk whose checksum is wrong before it looks inside,
// and almost every mutation breaks one: most inputs get their checksums
// made right again, so that the damage reaches the chunk's contents.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/pngdecode.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "png_fuzz: %s\n", what);
    std::abort();
}

class Pixels : public PngDestination {
public:
    explicit Pixels(bool refuse) : refuse_(refuse) {}

    unsigned char* Allocate(const PngShape& shape) override {
        Require(++calls_ == 1, "Allocate called twice for one decode");
        Require(shape.bitCount == 24 || shape.bitCount == 32, "bit count neither 24 nor 32");
        Require(shape.width > 0 && shape.height > 0, "empty image accepted");
        Require(static_cast<unsigned>(shape.width) <= kPngMaxSide, "width past the limit");
        Require(static_cast<unsigned>(shape.height) <= kPngMaxSide, "height past the limit");
        Require(shape.stride % 4 == 0, "stride not a multiple of 4");
        const size_t rowBytes = static_cast<size_t>(shape.width) * (shape.bitCount / 8);
        Require(shape.stride >= rowBytes && shape.stride < rowBytes + 4, "stride not the padded line");
        Require(shape.stride * shape.height <= kPngMaxPixelBytes + 3 * static_cast<size_t>(shape.height),
                "pixel memory past the limit");
        shape_ = shape;
        if (refuse_) return nullptr;
        bytes_.assign(shape.stride * shape.height, 0);
        return bytes_.data();
    }

    int Calls() const { return calls_; }
    const PngShape& Shape() const { return shape_; }

private:
    bool refuse_;
    PngShape shape_ = {};
    int calls_ = 0;
    std::vector<unsigned char> bytes_;
};

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at) {
    return (static_cast<uint32_t>(bytes[at]) << 24) | (static_cast<uint32_t>(bytes[at + 1]) << 16) |
           (static_cast<uint32_t>(bytes[at + 2]) << 8) | bytes[at + 3];
}

void FixChecksums(std::vector<uint8_t>& png) {
    size_t at = 8;  // past the signature
    while (at + 12 <= png.size()) {
        const uint32_t length = Get32(png, at);
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, png.data() + at + 4, static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

// What the file's own chunks say, read without libpng.
struct Facts {
    bool header = false;  // an IHDR chunk first, as libpng wants it
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
    uint8_t interlace = 0;
    bool transparency = false;  // a tRNS chunk anywhere
    bool gamma = false;
};

Facts ReadFacts(const std::vector<uint8_t>& png) {
    Facts facts;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = Get32(png, at);
        if (length > png.size() - at - 12) break;
        const uint8_t* type = png.data() + at + 4;
        if (at == 8 && std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
            facts.header = true;
            facts.width = Get32(png, at + 8);
            facts.height = Get32(png, at + 12);
            facts.bitDepth = png[at + 16];
            facts.colourType = png[at + 17];
            facts.interlace = png[at + 20];
        }
        facts.transparency = facts.transparency || std::memcmp(type, "tRNS", 4) == 0;
        facts.gamma = facts.gamma || std::memcmp(type, "gAMA", 4) == 0;
        at += 12 + length;
    }
    return facts;
}

// libpng is Debian's, built without the fuzzer's instrumentation: every
// kind of image takes the same few paths of the decoder's own code. These
// counters tell the fuzzer which kind of image met which end, so that it
// keeps one input of each.
const size_t kKindCounters = 8 * 6 * 3 * 4 * 4 * 3;
__attribute__((used, section("__libfuzzer_extra_counters"))) uint8_t g_kinds[kKindCounters];

size_t Bucket(uint32_t side) {
    if (side == 0) return 0;
    if (side <= 64) return 1;
    if (side <= kPngMaxSide) return 2;
    return 3;
}

void CountKind(const Facts& facts, int end) {
    size_t depth = 5;
    switch (facts.bitDepth) {
        case 1: depth = 0; break;
        case 2: depth = 1; break;
        case 4: depth = 2; break;
        case 8: depth = 3; break;
        case 16: depth = 4; break;
        default: break;
    }
    size_t kind = facts.colourType < 7 ? facts.colourType : 7;
    kind = kind * 6 + depth;
    kind = kind * 3 + (facts.interlace < 2 ? facts.interlace : 2);
    kind = kind * 4 + (facts.transparency ? 2 : 0) + (facts.gamma ? 1 : 0);
    kind = kind * 4 + (facts.header ? std::max(Bucket(facts.width), Bucket(facts.height)) : 0);
    kind = kind * 3 + static_cast<size_t>(end);
    ++g_kinds[kind];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // glibc's fmemopen refuses an empty buffer
    // The last byte as fuzzed (in a whole file, of the end chunk's
    // checksum) chooses: checksums left as they are for one input in 4, a
    // destination that gives nothing for one in 16.
    const uint8_t choice = data[size - 1];
    // fmemopen takes a writable buffer, even to read.
    std::vector<uint8_t> bytes(data, data + size);
    if ((choice & 0x30) != 0x30) FixChecksums(bytes);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    Require(file != nullptr, "fmemopen failed");
    Pixels pixels((choice & 0x0F) == 0x0F);
    const bool decoded = DecodePngStream(file, pixels);
    std::fclose(file);
    if (decoded) Require(pixels.Calls() == 1, "decoded without asking for memory");
    // The destination is asked only for an image read whole; one that gave
    // memory must get it filled.
    if (pixels.Calls() == 1) Require(decoded == ((choice & 0x0F) != 0x0F), "decode result against memory");

    const Facts facts = ReadFacts(bytes);
    if (pixels.Calls() == 1) {
        // The image as its header gives it, with an alpha channel for the
        // colour types that carry one; without any transparency, none.
        // (A tRNS chunk libpng finds out of place or malformed is
        // dropped, so it decides nothing here.)
        const PngShape& shape = pixels.Shape();
        Require(facts.header, "image decoded without a header first");
        Require(static_cast<uint32_t>(shape.width) == facts.width, "width differs from the header");
        Require(static_cast<uint32_t>(shape.height) == facts.height, "height differs from the header");
        if (facts.colourType & 4) Require(shape.bitCount == 32, "alpha channel lost");
        if (!(facts.colourType & 4) && !facts.transparency) Require(shape.bitCount == 24, "alpha made of nothing");
    }
    CountKind(facts, decoded ? 2 : pixels.Calls());
    return 0;
}
