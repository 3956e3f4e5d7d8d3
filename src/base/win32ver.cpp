#include "base/win32ver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <winver.h>

namespace {

const char kError[] = "(error)";
const char kNull[] = "(null)";

}  // namespace

WIN32VER::WIN32VER() : m_pBlock(nullptr), m_wLanguage(0), m_wCodePage(0), m_pszFileName(nullptr) {}

WIN32VER::~WIN32VER() { Free(); }

void WIN32VER::Free() {
    std::free(m_pBlock);
    m_pBlock = nullptr;
    std::free(m_pszFileName);
    m_pszFileName = nullptr;
    m_wLanguage = 0;
    m_wCodePage = 0;
}

int WIN32VER::Open(const char* fileName) {
    Free();
    if (fileName == nullptr) return 0;

    const std::size_t nameSize = std::strlen(fileName) + 1;
    m_pszFileName = static_cast<char*>(std::malloc(nameSize));
    if (m_pszFileName == nullptr) return 0;
    std::memcpy(m_pszFileName, fileName, nameSize);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) return 0;
    void* block = std::malloc(size);
    if (block == nullptr) return 0;
    if (!GetFileVersionInfoA(fileName, 0, size, block)) {
        std::free(block);
        return 0;
    }

    void* translation = nullptr;
    UINT length = 0;
    // Exactly one entry: with more, which language to show is not ours to guess.
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &translation, &length) || translation == nullptr ||
        length != 2 * sizeof(WORD)) {
        std::free(block);
        return 0;
    }

    WORD entry[2];
    std::memcpy(entry, translation, sizeof entry);
    m_wLanguage = entry[0];
    m_wCodePage = entry[1];
    m_pBlock = block;
    return 1;
}

const char* WIN32VER::Query(const char* name) {
    if (m_pBlock == nullptr || name == nullptr) return kError;

    char path[160];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%.127s", static_cast<unsigned>(m_wLanguage),
                  static_cast<unsigned>(m_wCodePage), name);

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(m_pBlock, path, &value, &length)) return kError;
    const char* text = static_cast<const char*>(value);
    if (text == nullptr || length == 0 || text[0] == '\0') return kNull;
    return text;
}
