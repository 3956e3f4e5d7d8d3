// What winprobe hands to menudump.dll inside the program under test: the
// menu to read and room for the lines written back. winprobe, the DLL and
// the program are of one architecture, so both sides see one layout.
#pragma once

#include <windows.h>

#include <cstddef>

struct MenuDump {
    UINT64 menu;      // the HMENU, as its popup window answered MN_GETHMENU
    UINT32 capacity;  // bytes of room in text
    UINT32 length;    // bytes written, without a terminator
    char text[1];     // UTF-8 lines "DEPTH\tKIND\tID\tCHECKED\tTEXT\tGREYED\n"
};

const size_t kMenuDumpText = offsetof(MenuDump, text);

// Exports, each run on a thread of its own in the target:
//   DWORD WINAPI DumpMenu(MenuDump*)   1 when the whole tree fitted, else 0
//   DWORD WINAPI CloseMenu(void*)      EndMenu; 1 when a menu was being tracked
