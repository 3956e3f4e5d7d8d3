#include "settings/profile.h"

#include "settings/textprofile.h"

UINT ProfileReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    return textprofile::ReadInt(section, key, def, file);
}

DWORD ProfileReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file) {
    return textprofile::ReadString(section, key, def, buffer, size, file);
}

BOOL ProfileWriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    return textprofile::WriteString(section, key, value, file);
}

BOOL ProfileWriteSection(LPCSTR section, LPCSTR keys, LPCSTR file) {
    return textprofile::WriteSection(section, keys, file);
}
