// The program's own Japanese texts are CP932 bytes (the sources are compiled
// with -fexec-charset=CP932). They are shown through the wide-character API
// so that they read correctly whatever the system's ANSI code page is.
#pragma once

#include <string>

// UTF-16 form of a CP932 (Shift-JIS) byte string. A null or empty text, or
// one that cannot be converted at all, gives an empty string; bytes that are
// not valid CP932 become the system's default character.
std::wstring WideFromCp932(const char* text);
std::wstring WideFromCp932(const std::string& text);

// UTF-16 form of a text in the system's ANSI code page: what drives and the
// settings file give.
std::wstring WideFromAnsi(const char* text);
