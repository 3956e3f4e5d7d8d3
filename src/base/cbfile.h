// CBFILE: reads or writes one block of bytes at an offset of a file, opening
// and closing the file on every call. Failures show only in the result; a
// short read or write is a failure.
#pragma once

#include "base/wintypes.h"

// No state: copying or assigning an object does nothing.
class CBFILE {
public:
    static bool Read(const char* path, DWORD offset, void* buffer, DWORD length);
    static bool Read(const char* path, void* buffer, DWORD length);
    // The file is created or truncated first, so bytes before a non-zero
    // offset are not kept (they read as zeros).
    static bool Write(const char* path, DWORD offset, const void* buffer, DWORD length);
    static bool Write(const char* path, const void* buffer, DWORD length);
    // Writes the bytes to "path.tmp" and moves that over the path only once
    // all were written, so the path holds either what it held before or all
    // of the new bytes, never a part. The temporary file does not outlive a
    // failure.
    static bool Replace(const char* path, const void* buffer, DWORD length);
};
