// A DLL of winprobe's loaded into another process for as long as the object
// lives, for what only code inside that process can do (Wine keeps menus per
// process, for one). The DLL and the target must be of winprobe's own
// architecture.
#pragma once

#include <windows.h>

#include <string>

class RemoteLibrary {
public:
    // Loads `path` into process `pid` (LoadLibraryW on a thread of its own there).
    RemoteLibrary(DWORD pid, const std::wstring& path);
    // Unloads it again, unless a call never ended.
    ~RemoteLibrary();
    RemoteLibrary(const RemoteLibrary&) = delete;
    RemoteLibrary& operator=(const RemoteLibrary&) = delete;

    bool Ok() const { return remote_ != nullptr; }
    // Runs the export `name` (DWORD WINAPI name(void*)) on a new thread of the
    // target; false when it did not start or did not end within `timeout_ms`.
    bool Call(const char* name, void* parameter, DWORD timeout_ms, DWORD* result);
    // Whether some call is still running there (its memory must stay).
    bool Stuck() const { return stuck_; }

private:
    bool Run(const void* start, void* parameter, DWORD timeout_ms, DWORD* result);
    const void* InTarget(const void* local) const;
    char* ModuleBase(const std::wstring& name) const;

    HANDLE process_ = nullptr;
    HMODULE local_ = nullptr;
    char* remote_ = nullptr;
    bool stuck_ = false;
};

// The path of a DLL that lies beside winprobe.exe.
std::wstring BesideProbe(const wchar_t* name);
