// Reads the version resource of an executable file.
#pragma once

#include <windows.h>

class WIN32VER {
public:
    WIN32VER();
    virtual ~WIN32VER();  // frees the name and the block
    WIN32VER(const WIN32VER&) = delete;
    WIN32VER& operator=(const WIN32VER&) = delete;

    // Reads the file's version information. 1 only when it was read and
    // holds exactly one translation entry; otherwise 0, and nothing of an
    // earlier Open is kept.
    int Open(const char* fileName);

    // Text of a string value such as "FileDescription" (the name is cut to
    // 127 characters), in the block's one translation. "(error)" when the
    // value cannot be found or nothing is open; "(null)" when it is empty.
    // The text stays valid until the next Open or the destructor.
    const char* Query(const char* name);

    WORD Language() const { return m_wLanguage; }
    WORD CodePage() const { return m_wCodePage; }
    // Name given to the last Open; null before the first.
    const char* FileName() const { return m_pszFileName; }

private:
    void Free();

    void* m_pBlock;
    WORD m_wLanguage;
    WORD m_wCodePage;
    char* m_pszFileName;
};
