#include "atomicfile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define VK_PID _getpid
#else
#include <unistd.h>
#define VK_PID getpid
#endif

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error) {
    // The same folder, so that the move is a rename; a name of this process
    // alone, so that two writers do not share it.
    const std::string temporary = path + ".tmp." + std::to_string(VK_PID());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot create " + temporary;
        return false;
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temporary, ec);
        *error = "cannot write " + temporary;
        return false;
    }
    // Replaces FILE at once, on Windows too (MoveFileEx with REPLACE_EXISTING).
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        *error = "cannot move the new file over " + path;
        return false;
    }
    return true;
}
