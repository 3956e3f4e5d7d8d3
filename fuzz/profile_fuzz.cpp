// The profile (INI) parser and every typed reader of INIFILE over any file:
// the input is the file, read under a few section and key names (some taken
// from the input, some the settings' own) by each reader kind. Beyond what
// the sanitizers watch, the readers must keep their buffer and default
// contracts, and a clean key written into a file without NUL bytes must
// read back.
//
// Each input costs one file write and about a dozen parses of it (the
// layer reads the file again on every call, so nothing is cached across
// inputs); the whole settings load per input would be far too slow.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/inifile.h"
#include "settings/textprofile.h"

namespace {

std::string g_dir;
std::string g_file;

void Require(bool condition, const char* what, const std::string& section, const std::string& key) {
    if (condition) return;
    std::fprintf(stderr, "profile_fuzz: %s (section \"%s\", key \"%s\")\n", what, section.c_str(), key.c_str());
    std::abort();
}

void RemoveScratch() {
    if (!g_file.empty()) std::remove(g_file.c_str());
    if (!g_dir.empty()) rmdir(g_dir.c_str());
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(g_file.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

struct Names {
    std::string section;
    std::string key;
};

// The first header of the input and the first key after it, cut as a
// reader would name them, so that lookups often find something.
Names FirstHeaderAndKey(const std::string& text) {
    Names names;
    const size_t open = text.find('[');
    if (open == std::string::npos) return names;
    const size_t close = text.find_first_of("]\r\n", open + 1);
    if (close == std::string::npos || text[close] != ']') return names;
    names.section = text.substr(open + 1, close - open - 1);
    const size_t equals = text.find('=', close);
    if (equals == std::string::npos) return names;
    const size_t lineStart = text.find_last_of("\r\n", equals);
    const size_t keyStart = (lineStart == std::string::npos || lineStart < close) ? close + 1 : lineStart + 1;
    names.key = text.substr(keyStart, equals - keyStart);
    return names;
}

// Raw bytes of the input as names: the first byte gives both lengths.
Names LeadingBytes(const std::string& text) {
    Names names;
    if (text.empty()) return names;
    const size_t sectionLength = static_cast<unsigned char>(text[0]) & 0x0F;
    const size_t keyLength = static_cast<unsigned char>(text[0]) >> 4;
    names.section = text.substr(1, sectionLength);
    if (1 + sectionLength < text.size()) names.key = text.substr(1 + sectionLength, keyLength);
    return names;
}

// A name or value the file can hold exactly: letters, digits, underscores.
std::string Clean(const std::string& text, const char* fallback) {
    std::string clean;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') clean += c;
    }
    return clean.empty() ? fallback : clean;
}

// The raw string read: the count matches the text, the text ends within
// the buffer, and nothing past the buffer is touched.
std::string CheckedReadString(const Names& n, const char* def, DWORD size) {
    std::vector<char> buffer(size + 8, '\x7F');
    const DWORD count = textprofile::ReadString(n.section.c_str(), n.key.c_str(), def, buffer.data(), size,
                                                g_file.c_str());
    Require(count < size, "ReadString count not below the buffer size", n.section, n.key);
    Require(std::memchr(buffer.data(), '\0', size) != nullptr, "ReadString text not terminated", n.section, n.key);
    Require(std::strlen(buffer.data()) == count, "ReadString count differs from the text", n.section, n.key);
    for (size_t i = size; i < buffer.size(); ++i) {
        Require(buffer[i] == '\x7F', "ReadString wrote past the buffer", n.section, n.key);
    }
    return std::string(buffer.data(), count);
}

// One integer reader of the seven, chosen by `kind`: a missing or empty
// key gives the default, cut to the type.
void ReadInteger(INIFILE& ini, const Names& n, unsigned kind, bool empty) {
    const char* s = n.section.c_str();
    const char* k = n.key.c_str();
    BOOL ok = 0;
    bool isDefault = false;
    switch (kind % 7) {
        case 0: { BYTE v = 0; ok = ini.Read(s, k, static_cast<BYTE>(0xA5), &v); isDefault = v == 0xA5; break; }
        case 1: { short v = 0; ok = ini.Read(s, k, static_cast<short>(-12345), &v); isDefault = v == -12345; break; }
        case 2: { WORD v = 0; ok = ini.Read(s, k, static_cast<WORD>(0xBEEF), &v); isDefault = v == 0xBEEF; break; }
        case 3: { int v = 0; ok = ini.Read(s, k, -987654321, &v); isDefault = v == -987654321; break; }
        case 4: { UINT v = 0; ok = ini.Read(s, k, 3000000000u, &v); isDefault = v == 3000000000u; break; }
        case 5: { long v = 0; ok = ini.Read(s, k, -77L, &v); isDefault = v == -77L; break; }
        default: {
            DWORD v = 0;
            ok = ini.Read(s, k, static_cast<DWORD>(0xFFFFFFFF), &v);
            isDefault = v == static_cast<DWORD>(0xFFFFFFFF);
            break;
        }
    }
    Require(ok == 1, "integer read of a bound file failed", n.section, n.key);
    if (empty) Require(isDefault, "empty key did not give the integer default", n.section, n.key);
}

// Text through INIFILE with room to spare: terminated, nothing past the
// buffer touched. Whether it is empty is all the other readers' checks need
// of the value (their own buffers hold 128 or 256 bytes).
std::string ReadText(INIFILE& ini, const Names& n) {
    const DWORD size = 300;
    std::vector<char> text(size + 8, '\x7F');
    Require(ini.Read(n.section.c_str(), n.key.c_str(), "", text.data(), size) == 1, "text read failed", n.section,
            n.key);
    Require(std::memchr(text.data(), '\0', size) != nullptr, "text read not terminated", n.section, n.key);
    for (size_t i = size; i < text.size(); ++i) {
        Require(text[i] == '\x7F', "text read wrote past the buffer", n.section, n.key);
    }
    return text.data();
}

void ReadReal(INIFILE& ini, const Names& n, unsigned choice, bool empty) {
    if (choice & 1) {
        double real = -1.5;
        Require(ini.Read(n.section.c_str(), n.key.c_str(), 2.25, &real) == 1, "double read failed", n.section, n.key);
        if (empty) Require(real == 2.25, "empty key did not give the double default", n.section, n.key);
    } else {
        float real = -1.5f;
        Require(ini.Read(n.section.c_str(), n.key.c_str(), 2.25f, &real) == 1, "float read failed", n.section, n.key);
        if (empty) Require(real == 2.25f, "empty key did not give the float default", n.section, n.key);
    }
}

// Compound readers: 1 for a present key, 0 and nothing changed for an
// empty one.
void ReadFont(INIFILE& ini, const Names& n, bool empty) {
    LOGFONT font;
    std::memset(&font, 0x5A, sizeof font);
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    const LOGFONT before = font;
    const BOOL read = ini.Read(n.section.c_str(), n.key.c_str(), &font);
    Require(strnlen(font.lfFaceName, LF_FACESIZE) < LF_FACESIZE, "font face not terminated", n.section, n.key);
    Require(empty ? (read == 0 && std::memcmp(&font, &before, sizeof font) == 0) : read == 1,
            "font read against its key", n.section, n.key);
}

void ReadColour(INIFILE& ini, const Names& n, bool empty) {
    COLORREF colour = 0x00336699;
    const BOOL read = ini.Read(n.section.c_str(), n.key.c_str(), &colour);
    Require((colour >> 24) == 0, "colour with bits above blue", n.section, n.key);
    Require(empty ? (read == 0 && colour == 0x00336699) : read == 1, "colour read against its key", n.section, n.key);
}

void ReadRect(INIFILE& ini, const Names& n, bool empty) {
    RECT rect = {-1, -2, -3, -4};
    const BOOL read = ini.Read(n.section.c_str(), n.key.c_str(), &rect);
    const bool unchanged = rect.left == -1 && rect.top == -2 && rect.right == -3 && rect.bottom == -4;
    Require(empty ? (read == 0 && unchanged) : read == 1, "rectangle read against its key", n.section, n.key);
}

const unsigned kValueKinds = 5;

// One reader kind of the value types; `choice` varies the integer type and
// the real type.
void ReadKind(INIFILE& ini, const Names& n, unsigned kind, unsigned choice, bool empty) {
    switch (kind % kValueKinds) {
        case 0: ReadInteger(ini, n, choice, empty); break;
        case 1: ReadReal(ini, n, choice, empty); break;
        case 2: ReadFont(ini, n, empty); break;
        case 3: ReadColour(ini, n, empty); break;
        default: ReadRect(ini, n, empty); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed when there is such a folder: every input is written
    // and opened a dozen times, which on a disk file system costs more
    // than the parsing.
    const char* tmp = std::getenv("TMPDIR");
    if (tmp == nullptr || *tmp == '\0') tmp = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(tmp) + "/vk-profile-fuzz.XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror("profile_fuzz: mkdtemp");
        std::exit(1);
    }
    g_dir = pattern;
    g_file = g_dir + "/fuzz.ini";
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) {
        std::perror("profile_fuzz: writing the input file");
        std::abort();
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    INIFILE ini;
    Require(ini.Open(g_file.c_str()) == 1, "Open failed", "", "");

    // The settings' own names, of each value kind, and the keys before the
    // first header (section ""); one of them per input.
    static const Names kReal[] = {
        {"Global", "Timer"}, {"Colors", "Bar"},           {"Fonts", "Tab"},
        {"Labels", "Model"}, {"Drive00", "SiliconImage"}, {"", "Run"},
    };
    const unsigned choice = size != 0 ? data[size - 1] : 0;
    const Names header = FirstHeaderAndKey(text);
    const Names leading = LeadingBytes(text);

    // Every reader kind on the first key of the file; one on a real key;
    // the raw names, which mostly miss, only through the raw text read
    // into a short buffer.
    const std::string whole = ReadText(ini, header);
    for (unsigned kind = 0; kind < kValueKinds; ++kind) ReadKind(ini, header, kind, choice, whole.empty());
    // The same text read raw into a short buffer is a prefix of it.
    const std::string cut = CheckedReadString(header, "", 1 + (choice >> 1) % 40);
    Require(whole.compare(0, cut.size(), cut) == 0, "short read is no prefix of the whole text", header.section,
            header.key);
    const Names& real = kReal[choice % (sizeof kReal / sizeof kReal[0])];
    ReadKind(ini, real, choice >> 3, choice, ReadText(ini, real).empty());
    CheckedReadString(leading, " dflt  ", 1 + (choice >> 2) % 40);

    // Whatever the file holds, a clean key written reads back. Not with NUL
    // bytes in it: a name cut at a NUL keeps the blanks before it, and so
    // cannot be looked up, as on Windows; once saved and read again it is
    // trimmed like any other, and may then stand before the key written.
    if (std::memchr(data, '\0', size) != nullptr) return 0;
    const Names written = {Clean(header.section, "Fuzz"), Clean(header.key, "Key")};
    const std::string value = Clean(leading.section + leading.key, "v") + "_1";
    Require(ini.Write(written.section.c_str(), written.key.c_str(), value.c_str()) == 1, "text write failed",
            written.section, written.key);
    Require(CheckedReadString(written, "", 64) == value, "written key does not read back", written.section,
            written.key);
    return 0;
}
