#include "base/latelibrary.h"

#include <string>

FARPROC LateLibrary::Address(const char* name) {
    if (module_ == nullptr) {
        // The full path: a library of that name beside the program or in the
        // current folder is never taken instead.
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, length) + L"\\" + fileName_;
        module_ = LoadLibraryW(path.c_str());
        if (module_ == nullptr) return nullptr;
    }
    return GetProcAddress(module_, name);
}
