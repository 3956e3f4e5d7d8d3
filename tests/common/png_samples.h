// PNG files for the decoder's tests: libpng's copy of the PNG test suite,
// what a file's own chunks say it holds, and corrupt files made from good
// ones in the ways the full suite's x*.png files are broken.
#pragma once

#include <string>
#include <vector>

// libpng's contrib folder (pngsuite/, testpngs/), or empty when absent.
std::string PngContribDir();
// Every PNG of contrib/pngsuite and its interlaced/ folder, by name.
std::vector<std::string> PngSuiteFiles();

struct PngFacts {
    unsigned width = 0;
    unsigned height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    bool hasTransparency = false;  // a tRNS chunk
    bool hasGamma = false;         // a gAMA chunk
};

// Read from the chunks themselves, without libpng.
PngFacts ReadPngFacts(const std::string& png);

struct NamedPng {
    std::string name;
    std::string bytes;
};

// Broken copies of a good PNG: wrong signature bytes, line ends converted,
// a bad header checksum, impossible colour types and depths, a bad data
// checksum, no data, a broken compressed stream, no end chunk, cut short.
std::vector<NamedPng> CorruptVariants(const std::string& png);

// A PNG whose header claims width x height (8-bit RGBA) over a tiny data
// stream: valid chunks, absurd size.
std::string PngClaimingSize(unsigned width, unsigned height);
