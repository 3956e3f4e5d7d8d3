// The program's own profile (INI) file layer: the four profile operations
// with the behaviour of the Windows ones, over plain files. Native builds use
// it in place of the platform's functions; the Windows build compiles it too
// so that the two can be compared.
#pragma once

#include "base/wintypes.h"

namespace textprofile {

// The key's value as an integer (decimal, or hexadecimal after "0x"), or the
// default when the file, section or key is missing or the value is empty.
UINT ReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file);

// Copies the key's value, or the default, into the buffer: at most size - 1
// characters and a terminator. Returns the number of characters copied.
DWORD ReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file);

// Sets the key, creating file, section and key as needed. A null value
// deletes the key, a null key the whole section.
BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);

// Replaces all keys of the section by the "key=value" entries of a list of
// zero-terminated strings ending with an empty one. A null list deletes the
// section.
BOOL WriteSection(LPCSTR section, LPCSTR keys, LPCSTR file);

}  // namespace textprofile
