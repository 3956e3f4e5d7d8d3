// UTF-8 on winprobe's command line and output, UTF-16 for the wide API.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::wstring Wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring text(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &text[0], length);
    return text;
}

inline std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], length, nullptr, nullptr);
    return out;
}

// Numbers decimal or 0x...
inline unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

inline HWND WindowArg(const char* text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text))); }

// Handles as the window command prints them.
inline std::string HandleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}
