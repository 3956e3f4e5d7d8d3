// The skin image: a WINBMP that loads BMP, PNG and whatever the system's
// picture loader reads (JPEG, GIF).
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "ui/winbmp.h"

class WINIMG : public WINBMP {
public:
    WINIMG() = default;
    ~WINIMG() override;

    // Loads by the file's first bytes, not its name: "BM" as a BMP, the PNG
    // signature through libpng, anything else through the OLE picture loader.
    // Begins with a reset; false when nothing loaded, and then the object
    // holds nothing. Paths of MAX_PATH characters or more are refused.
    bool LoadImageFile(const char* path);

    // Releases the DC, then the bitmap or the picture that owns it.
    void Reset();

    // A picture-owned bitmap must not be deleted on its own, so the plain
    // bitmap load of the base is not offered here.
    bool LoadBitmapImage(HINSTANCE, LPCSTR, UINT) = delete;

    IPicture* Picture() const { return picture_; }

private:
    friend HBITMAP LoadPictureFile(WINIMG& image, const char* path);

    IPicture* picture_ = nullptr;
};

// True when the file's first bytes equal the signature, compared over the
// bytes it has (so an empty file matches anything); false when the file
// cannot be opened or read.
bool FileStartsWith(const char* path, const void* signature, DWORD length);

// The bitmap of a picture the system's OLE loader reads from the file, kept
// alive by the picture stored in the image; null for a file it cannot read
// and for pictures that are not bitmaps (icons, metafiles). The path is in
// the ANSI code page. Needs COM on the calling thread.
HBITMAP LoadPictureFile(WINIMG& image, const char* path);
