// Writing a file so that a reader sees the old one or the new one whole,
// never a part: a temporary file beside it, moved over it.
#pragma once

#include <string>

// False, with the reason, when the file could not be written; FILE is then
// as it was and no temporary file is left.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error);
