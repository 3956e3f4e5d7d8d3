#include "settings/textprofile.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "settings/profiledoc.h"

namespace {

// A missing or unreadable file reads as an empty one, as on Windows.
ProfileDocument LoadFile(const char* path) {
    std::string bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
        std::fclose(f);
    }
    ProfileDocument document;
    document.Load(bytes);
    return document;
}

BOOL SaveFile(const char* path, const ProfileDocument& document) {
    const std::string bytes = document.Save();
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return FALSE;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0 && written) ? TRUE : FALSE;
}

// Copies a value into the caller's buffer: the text and one terminator,
// nothing else of the buffer is touched. A value enclosed in matching quotes
// loses them; the platform then drops one character more when the buffer is
// exactly as long as the unquoted text, and so does this copy.
void CopyEntry(char* buffer, const char* value, DWORD size) {
    size_t length = std::strlen(value);
    bool quoted = false;
    if ((value[0] == '\'' || value[0] == '"') && value[1] != '\0' && value[length - 1] == value[0]) {
        quoted = true;
        ++value;
        --length;
    }
    size_t copied = length < size - 1 ? length : size - 1;
    if (quoted && size >= length && copied > 0) --copied;
    std::memcpy(buffer, value, copied);
    buffer[copied] = '\0';
}

// Trailing spaces of a default are dropped, but never its first character.
std::string TrimDefault(const char* def) {
    size_t length = std::strlen(def);
    while (length > 1 && def[length - 1] == ' ') --length;
    return std::string(def, length);
}

// Integer text as the platform reads it: blanks and controls skipped, an
// optional sign, then "0x", "0o" or "0b" for bases 16, 8 and 2, else decimal;
// digits up to the first that does not belong to the base, wrapping modulo 2^32.
UINT ParseInteger(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != '\0' && *p <= ' ') ++p;
    bool negative = false;
    if (*p == '+') {
        ++p;
    } else if (*p == '-') {
        negative = true;
        ++p;
    }
    unsigned base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
        base = p[1] == 'x' ? 16 : (p[1] == 'o' ? 8 : 2);
        p += 2;
    }
    UINT total = 0;
    for (; *p != '\0'; ++p) {
        unsigned digit;
        if (*p >= '0' && *p <= '9') {
            digit = *p - '0';
        } else if (*p >= 'A' && *p <= 'Z') {
            digit = *p - 'A' + 10;
        } else if (*p >= 'a' && *p <= 'z') {
            digit = *p - 'a' + 10;
        } else {
            break;
        }
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

BOOL DeleteSection(const char* section, const char* file) {
    ProfileDocument document = LoadFile(file);
    if (document.DeleteSection(section)) SaveFile(file, document);
    return TRUE;
}

}  // namespace

namespace textprofile {

UINT ReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    char buffer[30];
    if (ReadString(section, key, "", buffer, sizeof buffer, file) == 0) return static_cast<UINT>(def);
    return ParseInteger(buffer);
}

DWORD ReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file) {
    if (buffer == nullptr || size == 0) return 0;
    // Listing section or key names is not something the program asks for.
    if (section == nullptr || key == nullptr || file == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    const std::string fallback = TrimDefault(def ? def : "");
    const ProfileDocument document = LoadFile(file);
    const ProfileDocument::Key* found = document.Find(section, key);
    CopyEntry(buffer, (found && found->hasValue) ? found->value.c_str() : fallback.c_str(), size);
    return static_cast<DWORD>(std::strlen(buffer));
}

BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (file == nullptr || section == nullptr) return FALSE;
    if (key == nullptr) return DeleteSection(section, file);
    ProfileDocument document = LoadFile(file);
    const bool changed = value ? document.Set(section, key, value, false) : document.DeleteKey(section, key);
    return changed ? SaveFile(file, document) : TRUE;
}

BOOL WriteSection(LPCSTR section, LPCSTR keys, LPCSTR file) {
    if (file == nullptr || section == nullptr) return FALSE;
    if (keys == nullptr) return DeleteSection(section, file);
    ProfileDocument document = LoadFile(file);
    bool changed = document.DeleteAllKeys(section);
    for (const char* entry = keys; *entry != '\0'; entry += std::strlen(entry) + 1) {
        const char* equals = std::strchr(entry, '=');
        if (equals == nullptr) continue;
        const std::string name(entry, equals);
        changed |= document.Set(section, name.c_str(), equals + 1, true);
    }
    return changed ? SaveFile(file, document) : TRUE;
}

}  // namespace textprofile
