#include "base/exepath.h"

#include "base/wintypes.h"

#ifndef _WIN32
#include <unistd.h>
#endif

size_t ExecutablePath(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
#ifdef _WIN32
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return length;
#else
    const ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    buffer[length] = '\0';
    return static_cast<size_t>(length);
#endif
}

std::string PathBeside(const char* path, const char* name) {
    size_t directory = 0;
    for (size_t i = 0; path != nullptr && path[i] != '\0'; ++i) {
#ifdef _WIN32
        const bool separator = path[i] == '\\';
#else
        const bool separator = path[i] == '\\' || path[i] == '/';
#endif
        if (separator) directory = i + 1;
    }
    return std::string(path ? path : "", directory) + (name ? name : "");
}
