#include "settings/inifile.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/exepath.h"
#include "base/longrange.h"
#include "settings/profile.h"

namespace {

const size_t kFormatSize = 256;     // formatted values
const DWORD kValueTextSize = 256;   // float, double, colour and rectangle texts
const DWORD kFontTextSize = 128;    // font texts
const size_t kExecutablePathSize = 1024;

// Reads comma-separated decimal numbers the way a scanf of "%d,%d,..."
// does: each number may follow blanks and carry a sign; the scan stops at
// the first item that is not a number or is not followed by a comma. A number
// beyond the LONG range reads as its nearest limit.
class NumberList {
public:
    explicit NumberList(const char* text) : p_(text) {}

    bool Next(LONG* value) {
        if (stopped_) return false;
        const char* start = p_;
        while (std::isspace(static_cast<unsigned char>(*start))) ++start;
        const char* digits = (*start == '+' || *start == '-') ? start + 1 : start;
        if (!std::isdigit(static_cast<unsigned char>(*digits))) {
            stopped_ = true;
            return false;
        }
        char* end = nullptr;
        *value = SaturateLong(std::strtoll(start, &end, 10));
        p_ = end;
        if (*p_ == ',') {
            ++p_;
        } else {
            stopped_ = true;
        }
        return true;
    }

private:
    const char* p_;
    bool stopped_ = false;
};

// Decimal floating-point text with a period, whatever the C library would
// also accept (hexadecimal, "inf", locale separators).
double ParseDecimal(const char* text) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    bool digits = false;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        number += *p++;
        digits = true;
    }
    if (*p == '.') {
        number += *p++;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            number += *p++;
            digits = true;
        }
    }
    if (!digits) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (std::isdigit(static_cast<unsigned char>(*q))) {
            number.append(p, q);
            while (std::isdigit(static_cast<unsigned char>(*q))) number += *q++;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace

INIFILE::INIFILE() = default;

INIFILE::INIFILE(const INIFILE& other) : fileName(other.fileName) {}

INIFILE& INIFILE::operator=(const INIFILE& other) {
    fileName = other.fileName;
    return *this;
}

INIFILE::~INIFILE() = default;

BOOL INIFILE::Open(const char* name) {
    fileName = name;
    return (fileName == name) ? 1 : 0;
}

BOOL INIFILE::OpenLocal(const char* name) {
    char executable[kExecutablePathSize];
    ExecutablePath(executable, sizeof executable);
    const std::string path = PathBeside(executable, name);
    return Open(path.c_str());
}

void INIFILE::Close() { fileName.Remove(); }

BOOL INIFILE::Create(const char* section) {
    if (!Bound()) return 0;
    static const char kNoKeys[2] = {'\0', '\0'};
    return ProfileWriteSection(section, kNoKeys, fileName.String(0)) ? 1 : 0;
}

UINT INIFILE::ReadInteger(const char* section, const char* key, int def) const {
    return ProfileReadInt(section, key, def, fileName.String(0));
}

BOOL INIFILE::Read(const char* section, const char* key, BYTE def, BYTE* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = static_cast<BYTE>(ReadInteger(section, key, def));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, short def, short* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = static_cast<short>(ReadInteger(section, key, def));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, WORD def, WORD* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = static_cast<WORD>(ReadInteger(section, key, def));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, int def, int* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = static_cast<int>(ReadInteger(section, key, def));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, UINT def, UINT* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = ReadInteger(section, key, static_cast<int>(def));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, long def, long* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = static_cast<long>(static_cast<int>(ReadInteger(section, key, static_cast<int>(def))));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, DWORD def, DWORD* out) {
    if (!Bound() || out == nullptr) return 0;
    *out = ReadInteger(section, key, static_cast<int>(def));
    return 1;
}

BOOL INIFILE::ReadReal(const char* section, const char* key, double* out) const {
    char text[kValueTextSize];
    ProfileReadString(section, key, "", text, sizeof text, fileName.String(0));
    if (text[0] == '\0') return 0;
    *out = ParseDecimal(text);
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, float def, float* out) {
    if (!Bound() || out == nullptr) return 0;
    double value;
    *out = ReadReal(section, key, &value) ? static_cast<float>(value) : def;
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, double def, double* out) {
    if (!Bound() || out == nullptr) return 0;
    double value;
    *out = ReadReal(section, key, &value) ? value : def;
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, const char* def, char* out, DWORD size) {
    if (!Bound() || out == nullptr || size == 0) return 0;
    ProfileReadString(section, key, def, out, size, fileName.String(0));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, LOGFONT* font) {
    if (!Bound() || font == nullptr) return 0;
    char text[kFontTextSize];
    ProfileReadString(section, key, "", text, sizeof text, fileName.String(0));
    if (text[0] == '\0') return 0;

    LONG* const longs[] = {&font->lfHeight, &font->lfWidth, &font->lfEscapement, &font->lfOrientation,
                           &font->lfWeight};
    BYTE* const bytes[] = {&font->lfItalic,        &font->lfUnderline,    &font->lfStrikeOut,
                           &font->lfCharSet,       &font->lfOutPrecision, &font->lfClipPrecision,
                           &font->lfQuality,       &font->lfPitchAndFamily};
    NumberList numbers(text);
    LONG value;
    for (size_t i = 0; i < 13 && numbers.Next(&value); ++i) {
        if (i < 5) {
            *longs[i] = value;
        } else {
            *bytes[i - 5] = static_cast<BYTE>(value);
        }
    }

    // The face name follows the last comma; a text without a comma names none.
    if (const char* comma = std::strrchr(text, ',')) {
        if (comma[1] != '\0') {
            std::snprintf(font->lfFaceName, sizeof font->lfFaceName, "%s", comma + 1);
        }
    }
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, COLORREF* colour) {
    if (!Bound() || colour == nullptr) return 0;
    char text[kValueTextSize];
    ProfileReadString(section, key, "", text, sizeof text, fileName.String(0));
    if (text[0] == '\0') return 0;

    LONG parts[3] = {GetRValue(*colour), GetGValue(*colour), GetBValue(*colour)};
    NumberList numbers(text);
    for (LONG& part : parts) {
        if (!numbers.Next(&part)) break;
    }
    *colour = static_cast<COLORREF>((parts[0] & 0xFF) | ((parts[1] & 0xFF) << 8) | ((parts[2] & 0xFF) << 16));
    return 1;
}

BOOL INIFILE::Read(const char* section, const char* key, RECT* rect) {
    if (!Bound() || rect == nullptr) return 0;
    char text[kValueTextSize];
    ProfileReadString(section, key, "", text, sizeof text, fileName.String(0));
    if (text[0] == '\0') return 0;

    LONG* const sides[] = {&rect->left, &rect->top, &rect->right, &rect->bottom};
    NumberList numbers(text);
    LONG value;
    for (LONG* side : sides) {
        if (!numbers.Next(&value)) break;
        *side = value;
    }
    return 1;
}

BOOL INIFILE::WriteText(const char* section, const char* key, const char* text) {
    if (!Bound()) return 0;
    ProfileWriteString(section, key, text, fileName.String(0));
    return 1;
}

BOOL INIFILE::Write(const char* section, const char* key, BYTE value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, short value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, WORD value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(value));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, int value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, UINT value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%u", value);
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, long value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%ld", value);
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, DWORD value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, float value) {
    return Write(section, key, static_cast<double>(value));
}

BOOL INIFILE::Write(const char* section, const char* key, double value) {
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%lf", value);
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, const char* format, DWORD value) {
    if (format == nullptr) return 0;
    char text[kFormatSize];
    // Passed as the unsigned long a DWORD is on Windows, so the formats
    // written for it there (%lu, %lx) work on every target.
    std::snprintf(text, sizeof text, format, static_cast<unsigned long>(value));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, const char* text) {
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, const LOGFONT* font) {
    if (font == nullptr) return 0;
    char text[kFormatSize];
    const int faceLength = static_cast<int>(strnlen(font->lfFaceName, sizeof font->lfFaceName));
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%u,%u,%u,%u,%u,%u,%u,%u,%.*s", static_cast<int>(font->lfHeight),
                  static_cast<int>(font->lfWidth), static_cast<int>(font->lfEscapement),
                  static_cast<int>(font->lfOrientation), static_cast<int>(font->lfWeight),
                  static_cast<unsigned>(font->lfItalic), static_cast<unsigned>(font->lfUnderline),
                  static_cast<unsigned>(font->lfStrikeOut), static_cast<unsigned>(font->lfCharSet),
                  static_cast<unsigned>(font->lfOutPrecision), static_cast<unsigned>(font->lfClipPrecision),
                  static_cast<unsigned>(font->lfQuality), static_cast<unsigned>(font->lfPitchAndFamily),
                  faceLength, font->lfFaceName);
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, const COLORREF* colour) {
    if (colour == nullptr) return 0;
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%d,%d,%d", GetRValue(*colour), GetGValue(*colour), GetBValue(*colour));
    return WriteText(section, key, text);
}

BOOL INIFILE::Write(const char* section, const char* key, const RECT* rect) {
    if (rect == nullptr) return 0;
    char text[kFormatSize];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", static_cast<int>(rect->left), static_cast<int>(rect->top),
                  static_cast<int>(rect->right), static_cast<int>(rect->bottom));
    return WriteText(section, key, text);
}
