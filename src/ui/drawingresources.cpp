#include "ui/drawingresources.h"

#include <cstdio>

DrawingResources::~DrawingResources() { FreeDrawingResources(*this); }

bool ExternalFilePath(const AppSettings& settings, const char* fileName, char* path, size_t size) {
    const int length = std::snprintf(path, size, "%s\\%s", settings.Global.Path, fileName);
    // A cut path could name another file: a Global.Path too long for the
    // buffer loads nothing.
    if (length < 0 || static_cast<size_t>(length) >= size) {
        path[0] = '\0';
        return false;
    }
    return true;
}

void FreeDrawingResources(DrawingResources& resources) {
    DeleteFonts(resources);
    DeletePens(resources);
    DestroyStatusImageList(resources);
    FreeStatusBitmaps(resources);
    FreeExternalIcons(resources);
}
