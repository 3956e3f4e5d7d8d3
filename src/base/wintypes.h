// The Windows types the portable core needs. On Windows they come from the
// platform headers; on native builds (ILP32, like the Windows target) they are
// defined here with the same sizes and layouts.
#pragma once

#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef int BOOL;
typedef unsigned int UINT;
typedef long LONG;
typedef unsigned long ULONG;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef int INT;
typedef DWORD COLORREF;
typedef void* HANDLE;
typedef void* HWND;
typedef char* LPSTR;
typedef const char* LPCSTR;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define LF_FACESIZE 32

#define RGB(r, g, b) \
    ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONTA LOGFONT;
#endif

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4, "Windows integer sizes");
static_assert(sizeof(LONG) == 4 && sizeof(long) == 4 && sizeof(void*) == 4, "ILP32 data model");
static_assert(sizeof(RECT) == 16, "RECT layout");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA layout");
static_assert(offsetof(LOGFONTA, lfItalic) == 20 && offsetof(LOGFONTA, lfFaceName) == 28, "LOGFONTA layout");
