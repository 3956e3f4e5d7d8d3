// What winprobe reads with usagecount.dll inside the program under test: its
// memory, kernel handles, threads and GDI and USER objects, counted from
// within because Wine answers such questions only for the asking process.
#pragma once

#include <windows.h>

struct UsageCounts {
    UINT64 privateBytes;
    UINT64 workingSet;
    UINT32 handles;
    UINT32 threads;  // without the one that counts
    UINT32 gdi;
    UINT32 user;
};

// Export, run on a thread of its own in the target:
//   DWORD WINAPI CountUsage(UsageCounts*)   1 when everything was counted
