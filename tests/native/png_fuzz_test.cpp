// A bounded random walk over the PNG decoder: mutations of the test suite's
// images (flipped bits, overwritten and inserted bytes, cut files, chunks
// with checksums made right again so the damage reaches past the checksum
// test) decoded from memory under the sanitizers. Whatever the decoder
// accepts must be a sound image; everything else must be refused cleanly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/png_samples.h"
#include "common/test_dir.h"
#include "ui/pngdecode.h"

namespace {

const int kRounds = 50000;

class Pixels : public PngDestination {
public:
    unsigned char* Allocate(const PngShape& shape) override {
        EXPECT_TRUE(shape.bitCount == 24 || shape.bitCount == 32);
        EXPECT_GT(shape.width, 0);
        EXPECT_GT(shape.height, 0);
        EXPECT_LE(static_cast<unsigned>(shape.width), kPngMaxSide);
        EXPECT_LE(static_cast<unsigned>(shape.height), kPngMaxSide);
        EXPECT_LE(shape.stride * shape.height, kPngMaxPixelBytes + 3 * static_cast<size_t>(shape.height));
        bytes.assign(shape.stride * shape.height, 0);
        return bytes.data();
    }
    std::vector<unsigned char> bytes;
};

// Makes every chunk's checksum right again, so that the mutation is judged
// by what it did to the chunk's contents.
void FixAllChecksums(std::string& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t length = (static_cast<size_t>(static_cast<unsigned char>(png[at])) << 24) |
                              (static_cast<unsigned char>(png[at + 1]) << 16) |
                              (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

std::string Mutate(std::string png, std::mt19937& random) {
    const int edits = 1 + random() % 8;
    for (int i = 0; i < edits && !png.empty(); ++i) {
        const size_t at = random() % png.size();
        switch (random() % 5) {
            case 0: png[at] = static_cast<char>(png[at] ^ (1 << (random() % 8))); break;
            case 1: png[at] = static_cast<char>(random()); break;
            case 2: png.insert(at, 1 + random() % 16, static_cast<char>(random())); break;
            case 3: png.erase(at, 1 + random() % 16); break;
            default: png.resize(at); break;
        }
    }
    if (random() % 2) FixAllChecksums(png);
    return png;
}

TEST(PngFuzz, MutatedSuiteImagesAreDecodedSoundlyOrRefused) {
    ASSERT_FALSE(PngContribDir().empty()) << "no libpng test images (VELDAKOR_PNGTESTS): run scripts/setup";
    std::vector<std::string> seeds;
    for (const std::string& path : PngSuiteFiles()) seeds.push_back(TestDir::ReadAll(path));
    ASSERT_FALSE(seeds.empty());

    std::mt19937 random(20261208);
    int decoded = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::string png = Mutate(seeds[random() % seeds.size()], random);
        FILE* file = fmemopen(png.empty() ? nullptr : &png[0], png.size(), "rb");
        if (file == nullptr) continue;  // glibc refuses an empty buffer
        Pixels pixels;
        if (DecodePngStream(file, pixels)) ++decoded;
        std::fclose(file);
    }
    // Some mutations land in places that do not matter; most do.
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, kRounds);
}

}  // namespace
