// Where the running program lies, and files beside it.
#pragma once

#include <cstddef>
#include <string>

// Full path of the running executable, at most size - 1 characters; 0 when
// it cannot be had.
size_t ExecutablePath(char* buffer, size_t size);

// The directory part of a path (everything up to and including its last
// directory separator) followed by name; just name when the path has no
// separator. The separator is the backslash, and on native builds the slash
// as well.
std::string PathBeside(const char* path, const char* name);
