#include "settings/profile.h"

UINT ProfileReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    return GetPrivateProfileIntA(section, key, def, file);
}

DWORD ProfileReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file) {
    return GetPrivateProfileStringA(section, key, def, buffer, size, file);
}

BOOL ProfileWriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    return WritePrivateProfileStringA(section, key, value, file);
}

BOOL ProfileWriteSection(LPCSTR section, LPCSTR keys, LPCSTR file) {
    return WritePrivateProfileSectionA(section, keys, file);
}
