#include "base/cbfile.h"

#include <cstdio>
#include <string>

#include "base/longrange.h"

namespace {

// fseek takes a long, which has 32 bits on Windows: offsets beyond the LONG
// range are refused on every target alike.
// Moves from over to, replacing to: the platform's rename only does that on
// POSIX systems.
bool MoveOver(const char* from, const char* to) {
#ifdef _WIN32
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from, to) == 0;
#endif
}

bool Seek(FILE* file, DWORD offset) {
    return offset <= static_cast<DWORD>(kLongMax) && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

}  // namespace

bool CBFILE::Read(const char* path, DWORD offset, void* buffer, DWORD length) {
    if (path == nullptr || buffer == nullptr) return false;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    bool ok = Seek(file, offset) && std::fread(buffer, 1, length, file) == length;
    std::fclose(file);
    return ok;
}

bool CBFILE::Read(const char* path, void* buffer, DWORD length) { return Read(path, 0, buffer, length); }

bool CBFILE::Write(const char* path, DWORD offset, const void* buffer, DWORD length) {
    if (path == nullptr || buffer == nullptr) return false;
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = Seek(file, offset) && std::fwrite(buffer, 1, length, file) == length;
    // The bytes may still sit in the stream's buffer: a failed flush is a short write.
    if (std::fclose(file) != 0) ok = false;
    return ok;
}

bool CBFILE::Write(const char* path, const void* buffer, DWORD length) { return Write(path, 0, buffer, length); }

bool CBFILE::Replace(const char* path, const void* buffer, DWORD length) {
    if (path == nullptr || buffer == nullptr) return false;
    const std::string temporary = std::string(path) + ".tmp";
    if (Write(temporary.c_str(), buffer, length) && MoveOver(temporary.c_str(), path)) return true;
    std::remove(temporary.c_str());
    return false;
}
