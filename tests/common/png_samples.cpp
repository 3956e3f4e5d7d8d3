#include "common/png_samples.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "common/test_dir.h"

namespace fs = std::filesystem;

namespace {

const char kSignature[] = "\x89PNG\r\n\x1a\n";
const size_t kSignatureSize = 8;

uint32_t Get32(const std::string& bytes, size_t at) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

std::string Be32(uint32_t value) {
    std::string bytes(4, '\0');
    Put32(bytes, 0, value);
    return bytes;
}

struct Chunk {
    size_t at;  // offset of the length field
    uint32_t length;
    std::string type;
};

std::vector<Chunk> Chunks(const std::string& png) {
    std::vector<Chunk> chunks;
    size_t at = kSignatureSize;
    while (at + 12 <= png.size()) {
        const uint32_t length = Get32(png, at);
        if (length > png.size() - at - 12) break;
        chunks.push_back({at, length, png.substr(at + 4, 4)});
        at += 12 + length;
    }
    return chunks;
}

// Recomputes the checksum of the chunk at `at`, so that only the meant
// fault remains.
void FixCrc(std::string& png, size_t at) {
    const uint32_t length = Get32(png, at);
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), static_cast<uInt>(length + 4)));
    Put32(png, at + 8 + length, crc);
}

std::string MakeChunk(const std::string& type, const std::string& body) {
    std::string chunk = Be32(static_cast<uint32_t>(body.size())) + type + body + Be32(0);
    FixCrc(chunk, 0);
    return chunk;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::string PngContribDir() {
    const char* value = std::getenv("VELDAKOR_PNGTESTS");
    if (value == nullptr) return std::string();
    std::string dir = value;
#ifdef _WIN32
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + ReplaceAll(dir, "/", "\\");
#endif
    return fs::is_directory(fs::path(dir) / "pngsuite") ? dir : std::string();
}

std::vector<std::string> PngSuiteFiles() {
    std::vector<std::string> files;
    const fs::path suite = fs::path(PngContribDir()) / "pngsuite";
    for (const fs::path& dir : {suite, suite / "interlaced"}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().extension() == ".png") files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

PngFacts ReadPngFacts(const std::string& png) {
    PngFacts facts;
    for (const Chunk& chunk : Chunks(png)) {
        if (chunk.type == "IHDR" && chunk.length == 13) {
            facts.width = Get32(png, chunk.at + 8);
            facts.height = Get32(png, chunk.at + 12);
            facts.bitDepth = static_cast<unsigned char>(png[chunk.at + 16]);
            facts.colourType = static_cast<unsigned char>(png[chunk.at + 17]);
            facts.interlace = static_cast<unsigned char>(png[chunk.at + 20]);
        }
        facts.hasTransparency = facts.hasTransparency || chunk.type == "tRNS";
        facts.hasGamma = facts.hasGamma || chunk.type == "gAMA";
    }
    return facts;
}

std::vector<NamedPng> CorruptVariants(const std::string& png) {
    std::vector<NamedPng> variants;
    const std::vector<Chunk> chunks = Chunks(png);
    const Chunk& header = chunks.front();  // IHDR comes first in every good file

    std::string bytes = png;
    bytes[1] = 'Q';
    variants.push_back({"signature byte 1", bytes});
    variants.push_back({"signature CR LF turned LF", ReplaceAll(png.substr(0, kSignatureSize), "\r\n", "\n") +
                                                        png.substr(kSignatureSize)});
    variants.push_back({"signature LF turned CR LF", ReplaceAll(png.substr(0, kSignatureSize), "\n", "\r\n") +
                                                        png.substr(kSignatureSize)});

    bytes = png;
    bytes[header.at + 8 + header.length] ^= 0x55;
    variants.push_back({"header checksum", bytes});

    const struct {
        const char* name;
        size_t field;  // offset in the IHDR body
        char value;
    } headerFaults[] = {
        {"colour type 1", 9, 1}, {"colour type 9", 9, 9},   {"bit depth 0", 8, 0},
        {"bit depth 3", 8, 3},   {"bit depth 99", 8, 99},   {"interlace 2", 12, 2},
        {"width 0", 0, 0},       {"compression 1", 10, 1},  {"filter 1", 11, 1},
    };
    for (const auto& fault : headerFaults) {
        bytes = png;
        if (std::string(fault.name) == "width 0") {
            Put32(bytes, header.at + 8, 0);
        } else {
            bytes[header.at + 8 + fault.field] = fault.value;
        }
        FixCrc(bytes, header.at);
        variants.push_back({fault.name, bytes});
    }

    std::string withoutData = png.substr(0, kSignatureSize);
    for (const Chunk& chunk : chunks) {
        if (chunk.type != "IDAT") withoutData += png.substr(chunk.at, 12 + chunk.length);
    }
    variants.push_back({"no data chunk", withoutData});

    for (const Chunk& chunk : chunks) {
        if (chunk.type != "IDAT") continue;
        bytes = png;
        bytes[chunk.at + 8 + chunk.length] ^= 0x01;
        variants.push_back({"data checksum", bytes});
        bytes = png;
        bytes[chunk.at + 8] = 0x07;  // no zlib stream starts so
        FixCrc(bytes, chunk.at);
        variants.push_back({"compressed stream header", bytes});
        break;
    }

    const Chunk& end = chunks.back();
    if (end.type == "IEND") variants.push_back({"no end chunk", png.substr(0, end.at)});
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") variants.push_back({"cut in the data", png.substr(0, chunk.at + 8 + chunk.length / 2)});
    }
    return variants;
}

std::string PngClaimingSize(unsigned width, unsigned height) {
    std::string header = Be32(width) + Be32(height) + std::string("\x08\x06\x00\x00\x00", 5);
    // One empty row's worth of compressed data: far too little for the image.
    const unsigned char row[5] = {0, 0, 0, 0, 0};
    unsigned char compressed[64];
    uLongf size = sizeof compressed;
    compress(compressed, &size, row, sizeof row);
    return std::string(kSignature, kSignatureSize) + MakeChunk("IHDR", header) +
           MakeChunk("IDAT", std::string(reinterpret_cast<char*>(compressed), size)) + MakeChunk("IEND", "");
}
