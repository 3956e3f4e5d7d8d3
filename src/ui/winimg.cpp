#include "ui/winimg.h"

#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "base/latelibrary.h"
#include "ui/pngfile.h"

namespace {

const char kBmpSignature[] = {'B', 'M'};
const unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G'};

// The picture loader's library brings urlmon and wininet along: it loads
// with the first skin that is neither BMP nor PNG.
LateLibrary oleaut32(L"oleaut32.dll");

}  // namespace

WINIMG::~WINIMG() { Reset(); }

void WINIMG::Reset() {
    if (picture_ == nullptr) {
        WINBMP::Reset();
        return;
    }
    DeleteDc();
    // The picture owns its bitmap: releasing it frees both.
    picture_->Release();
    picture_ = nullptr;
    ForgetBitmap();
}

bool WINIMG::LoadImageFile(const char* path) {
    Reset();
    if (path == nullptr || std::strlen(path) >= MAX_PATH) return false;
    if (!CreateDc()) return false;
    HBITMAP bitmap;
    if (FileStartsWith(path, kBmpSignature, sizeof kBmpSignature)) {
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_VGACOLOR));
    } else if (FileStartsWith(path, kPngSignature, sizeof kPngSignature)) {
        bitmap = LoadPngFile(path);
    } else {
        bitmap = LoadPictureFile(*this, path);
    }
    if (bitmap == nullptr) {
        DeleteDc();
        return false;
    }
    Select(bitmap);
    return true;
}

bool FileStartsWith(const char* path, const void* signature, DWORD length) {
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<unsigned char> head(length);
    DWORD read = 0;
    const bool matches = ReadFile(file, head.data(), length, &read, nullptr) &&
                         std::memcmp(head.data(), signature, read) == 0;
    CloseHandle(file);
    return matches;
}

HBITMAP LoadPictureFile(WINIMG& image, const char* path) {
    // A path that names neither a file nor a URL gives the picture loader
    // nothing to load; the default skin file is missing on most starts, and
    // its library stays out of those runs.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && !PathIsURLA(path)) return nullptr;
    // The path came through the ANSI functions, so it is converted with the
    // ANSI code page, not the OEM one.
    const int wideLength = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, nullptr, 0);
    if (wideLength <= 0) return nullptr;
    std::vector<wchar_t> widePath(wideLength);
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, widePath.data(), wideLength);

    const auto loadPicturePath =
        oleaut32.Find<HRESULT(WINAPI*)(LPOLESTR, LPUNKNOWN, DWORD, OLE_COLOR, REFIID, LPVOID*)>("OleLoadPicturePath");
    if (loadPicturePath == nullptr) return nullptr;
    IPicture* picture = nullptr;
    if (loadPicturePath(widePath.data(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&picture)) != S_OK ||
        picture == nullptr) {
        return nullptr;
    }
    // Icons and metafiles cannot be selected into a DC as a skin; they are
    // refused rather than converted.
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (picture->get_Type(&type) != S_OK || type != PICTYPE_BITMAP || picture->get_Handle(&handle) != S_OK ||
        handle == 0) {
        picture->Release();
        return nullptr;
    }
    image.picture_ = picture;
    return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}
