#pragma once

#include <windows.h>

// A system library that most runs never need, loaded from the system folder
// at the first call of one of its functions rather than at start. Once
// loaded it stays for the rest of the run, as an imported library would:
// what it made (a picture, a dialog's state) may outlive any caller. Used
// from the user-interface thread only.
class LateLibrary {
public:
    explicit constexpr LateLibrary(const wchar_t* fileName) : fileName_(fileName) {}
    LateLibrary(const LateLibrary&) = delete;
    LateLibrary& operator=(const LateLibrary&) = delete;

    // The named function, or null when the library or the function is
    // missing; a failed load is tried again on the next call.
    template <typename Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Address(name)));
    }

private:
    FARPROC Address(const char* name);

    const wchar_t* fileName_;
    HMODULE module_ = nullptr;
};
