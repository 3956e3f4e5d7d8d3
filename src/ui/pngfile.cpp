#include "ui/pngfile.h"

#include <cstdio>

#include "ui/pngdecode.h"

namespace {

class DibSection : public PngDestination {
public:
    unsigned char* Allocate(const PngShape& shape) override {
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = shape.width;
        header.biHeight = shape.height;  // positive: bottom-up
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(shape.bitCount);
        header.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
        return bitmap_ != nullptr ? static_cast<unsigned char*>(bits) : nullptr;
    }

    HBITMAP Bitmap() const { return bitmap_; }

private:
    HBITMAP bitmap_ = nullptr;
};

}  // namespace

HBITMAP LoadPngFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return nullptr;
    DibSection section;
    const bool decoded = DecodePngStream(file, section);
    std::fclose(file);
    // The section is only handed out once every line is in it.
    if (!decoded && section.Bitmap() != nullptr) DeleteObject(section.Bitmap());
    return decoded ? section.Bitmap() : nullptr;
}
