// The tab icons, their external replacements and the status pictures.
#include "res/resource.h"
#include "ui/drawingresources.h"

namespace {

const char* const kExternalIconFiles[kStatusIconCount] = {"S_GOOD.ICO", "S_WARN.ICO", "S_DNGR.ICO", "S_ERR.ICO"};
const char* const kExternalBitmapFiles[kStatusBitmapCount] = {"S_GOOD.BMP", "S_WARN.BMP", "S_DNGR.BMP", "S_ERR.BMP",
                                                              "S_TMP.BMP"};
const int kDefaultIconSize = 16;
const int kLargestIconSize = 256;

// Hands the tab control its new list (or none) before the old one goes, so
// that it never draws from a destroyed list.
void ReplaceImageList(DrawingResources& resources, HIMAGELIST list) {
    HIMAGELIST old = resources.statusImageList;
    resources.statusImageList = list;
    if (resources.imageListUser != nullptr) {
        SendMessageW(resources.imageListUser, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    }
    if (old != nullptr) ImageList_Destroy(old);
}

}  // namespace

int StatusIconSize(const AppSettings& settings) {
    const UINT size = settings.Icon.Size;
    return size >= 1 && size <= kLargestIconSize ? static_cast<int>(size) : kDefaultIconSize;
}

bool BuildStatusImageList(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance) {
    ReplaceImageList(resources, nullptr);
    const int size = settings.Icon.Enable ? StatusIconSize(settings) : kDefaultIconSize;
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 0, 0);
    if (list == nullptr) return true;
    for (int state = 0; state < kStatusIconCount; ++state) {
        HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_STATUS_FIRST + state));
        if (settings.Icon.Enable && resources.externalIcons[state] != nullptr) icon = resources.externalIcons[state];
        if (ImageList_ReplaceIcon(list, -1, icon) < 0) {
            ImageList_Destroy(list);
            return false;
        }
    }
    ReplaceImageList(resources, list);
    return true;
}

void DestroyStatusImageList(DrawingResources& resources) { ReplaceImageList(resources, nullptr); }

bool LoadExternalIcons(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance) {
    FreeExternalIcons(resources);
    const int size = StatusIconSize(settings);
    bool all = true;
    for (int state = 0; state < kStatusIconCount; ++state) {
        char path[kSettingsPathSize];
        if (ExternalFilePath(settings, kExternalIconFiles[state], path, sizeof path)) {
            resources.externalIcons[state] = static_cast<HICON>(
                LoadImageA(instance, path, IMAGE_ICON, size, size, LR_LOADFROMFILE | LR_VGACOLOR));
        }
        all = all && resources.externalIcons[state] != nullptr;
    }
    return all;
}

void FreeExternalIcons(DrawingResources& resources) {
    for (HICON& icon : resources.externalIcons) {
        if (icon != nullptr) DestroyIcon(icon);
        icon = nullptr;
    }
}

void LoadStatusBitmaps(DrawingResources& resources, const AppSettings& settings, HINSTANCE instance, int useExternal) {
    FreeStatusBitmaps(resources);
    for (int state = 0; state < kStatusBitmapCount; ++state) {
        WINBMP& bitmap = resources.statusBitmaps[state];
        char path[kSettingsPathSize];
        if (useExternal && ExternalFilePath(settings, kExternalBitmapFiles[state], path, sizeof path) &&
            bitmap.LoadBitmapImage(nullptr, path, LR_LOADFROMFILE | LR_VGACOLOR)) {
            continue;
        }
        bitmap.LoadBitmapImage(instance, MAKEINTRESOURCEA(IDB_STATUS_FIRST + state), LR_VGACOLOR);
    }
}

void FreeStatusBitmaps(DrawingResources& resources) {
    for (WINBMP& bitmap : resources.statusBitmaps) bitmap.Reset();
}
