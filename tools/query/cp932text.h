// The program's texts are CP932 (Shift_JIS as Windows has it); the
// exposition format wants UTF-8.
#pragma once

#include <string>

// A byte sequence that is no character becomes a replacement character.
std::string Utf8FromCp932(const std::string& text);
