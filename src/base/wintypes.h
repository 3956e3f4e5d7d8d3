// The Windows types the portable core needs. On Windows they come from the
// platform headers; on native builds they are defined here with the sizes and
// layouts they have on Windows, whatever the host's data model.
#pragma once

#include <cstddef>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <cstdint>

// DWORD is 32 bits and a type of its own beside UINT, as on Windows: INIFILE
// writes the two in different forms. Where long has 32 bits the Windows
// definitions fit as they are; on LP64 hosts char32_t is the language's one
// distinct 32-bit unsigned type.
#if ULONG_MAX == 0xFFFFFFFFUL
typedef unsigned long DWORD;
typedef long LONG;
#else
typedef char32_t DWORD;
typedef std::int32_t LONG;
#endif
typedef DWORD ULONG;

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef int BOOL;
typedef unsigned int UINT;
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

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(ULONG) == 4,
              "Windows integer sizes");
static_assert(sizeof(LONG) == 4 && sizeof(UINT) == 4 && sizeof(BOOL) == 4, "Windows integer sizes");
static_assert(static_cast<DWORD>(-1) > 0 && static_cast<LONG>(-1) < 0, "Windows integer signs");
static_assert(sizeof(RECT) == 16, "RECT layout");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA layout");
static_assert(offsetof(LOGFONTA, lfItalic) == 20 && offsetof(LOGFONTA, lfFaceName) == 28, "LOGFONTA layout");
