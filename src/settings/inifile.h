// Typed access to one profile (INI) file through the profile layer: one
// overload per value type, each with its fixed text form, and the parsing of
// the compound values (fonts, colours, rectangles).
#pragma once

#include "base/cstr.h"
#include "base/wintypes.h"

class INIFILE {
public:
    INIFILE();
    INIFILE(const INIFILE& other);
    INIFILE& operator=(const INIFILE& other);
    virtual ~INIFILE();

    // Binds a file name; the file itself is not touched. Returns 1 when the
    // stored name equals the given one (so 0 for an empty name).
    BOOL Open(const char* name);
    // Binds the file of that name beside the running executable; the bare
    // name when the executable's folder cannot be had.
    BOOL OpenLocal(const char* name);
    void Close();
    // Empties the section (its keys are removed).
    BOOL Create(const char* section);

    // Integers: the key's value or the default, low bits as the type holds.
    BOOL Read(const char* section, const char* key, BYTE def, BYTE* out);
    BOOL Read(const char* section, const char* key, short def, short* out);
    BOOL Read(const char* section, const char* key, WORD def, WORD* out);
    BOOL Read(const char* section, const char* key, int def, int* out);
    BOOL Read(const char* section, const char* key, UINT def, UINT* out);
    BOOL Read(const char* section, const char* key, long def, long* out);
    BOOL Read(const char* section, const char* key, DWORD def, DWORD* out);
    // Decimal text with a period; the default when the key is empty.
    BOOL Read(const char* section, const char* key, float def, float* out);
    BOOL Read(const char* section, const char* key, double def, double* out);
    // Text: at most size - 1 characters and a terminator.
    BOOL Read(const char* section, const char* key, const char* def, char* out, DWORD size);
    // Compound values update only what the text gives; 0 for a missing key.
    BOOL Read(const char* section, const char* key, LOGFONT* font);
    BOOL Read(const char* section, const char* key, COLORREF* colour);
    BOOL Read(const char* section, const char* key, RECT* rect);

    BOOL Write(const char* section, const char* key, BYTE value);    // 0x%02x
    BOOL Write(const char* section, const char* key, short value);   // %d
    BOOL Write(const char* section, const char* key, WORD value);    // 0x%04x
    BOOL Write(const char* section, const char* key, int value);     // %d
    BOOL Write(const char* section, const char* key, UINT value);    // %u
    BOOL Write(const char* section, const char* key, long value);    // %ld
    BOOL Write(const char* section, const char* key, DWORD value);   // 0x%08x
    BOOL Write(const char* section, const char* key, float value);   // %lf
    BOOL Write(const char* section, const char* key, double value);  // %lf
    BOOL Write(const char* section, const char* key, const char* format, DWORD value);
    BOOL Write(const char* section, const char* key, const char* text);
    BOOL Write(const char* section, const char* key, const LOGFONT* font);
    BOOL Write(const char* section, const char* key, const COLORREF* colour);
    BOOL Write(const char* section, const char* key, const RECT* rect);

    const char* FileName() const { return fileName.String(0); }

private:
    bool Bound() const { return fileName.Length() != 0; }
    UINT ReadInteger(const char* section, const char* key, int def) const;
    BOOL ReadReal(const char* section, const char* key, double* out) const;
    BOOL WriteText(const char* section, const char* key, const char* text);

    CSTR fileName;
};
