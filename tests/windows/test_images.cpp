#include "windows/test_images.h"

#include <wincodec.h>

#include <vector>

namespace {

template <typename T>
void Append(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
void Release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

std::string BmpFile(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string bytes;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + stride * height;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    Append(bytes, file);
    Append(bytes, info);
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(colour));
        row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    for (int y = 0; y < height; ++y) bytes += row;
    return bytes;
}

std::string IcoFile(int size, COLORREF colour) {
    const int maskStride = (size + 31) / 32 * 4;
    const DWORD imageSize = sizeof(BITMAPINFOHEADER) + size * size * 4 + maskStride * size;
    std::string bytes;
    Append<WORD>(bytes, 0);
    Append<WORD>(bytes, 1);  // icon
    Append<WORD>(bytes, 1);  // one image
    Append<BYTE>(bytes, static_cast<BYTE>(size));
    Append<BYTE>(bytes, static_cast<BYTE>(size));
    Append<BYTE>(bytes, 0);
    Append<BYTE>(bytes, 0);
    Append<WORD>(bytes, 1);
    Append<WORD>(bytes, 32);
    Append<DWORD>(bytes, imageSize);
    Append<DWORD>(bytes, 6 + 16);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = size;
    info.biHeight = size * 2;  // colour and mask
    info.biPlanes = 1;
    info.biBitCount = 32;
    Append(bytes, info);
    const DWORD pixel = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < size * size; ++i) Append(bytes, pixel);
    bytes.append(maskStride * size, '\0');
    return bytes;
}

bool WriteJpegFile(const std::string& path, int width, int height, COLORREF colour) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    const std::wstring widePath(path.begin(), path.end());
    const UINT stride = (width * 3 + 3) / 4 * 4;
    std::vector<BYTE> pixels(stride * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[y * stride + x * 3] = GetBValue(colour);
            pixels[y * stride + x * 3 + 1] = GetGValue(colour);
            pixels[y * stride + x * 3 + 2] = GetRValue(colour);
        }
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool written =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
        SUCCEEDED(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), pixels.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    Release(options);
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(factory);
    return written;
}

Canvas::Canvas(int width, int height, COLORREF clear) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row y is line y
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const DWORD*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(clear);
    RECT all = {0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    const DWORD pixel = bits_[y * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int Canvas::CountInRow(int y, COLORREF colour) const {
    int count = 0;
    for (int x = 0; x < width_; ++x) count += At(x, y) == colour;
    return count;
}

int Canvas::FirstInRow(int y, COLORREF colour) const {
    for (int x = 0; x < width_; ++x) {
        if (At(x, y) == colour) return x;
    }
    return -1;
}
