// The named system mutex behind the single-instance test at start-up.
#pragma once

#include <windows.h>

// Name of the program's single-instance mutex.
#define MUTEX_NAME "$VELDAKOR_MUTEX"

class MUTEX {
public:
    MUTEX();
    virtual ~MUTEX();  // releases and closes the held mutex
    MUTEX(const MUTEX&) = delete;
    MUTEX& operator=(const MUTEX&) = delete;

    // 1 when this object now holds a newly created mutex of that name; 0 when
    // it already holds one, when a mutex of that name exists (another
    // instance runs), or when creation fails. The name is cut to 259
    // characters; the program always uses the default.
    int Create(const char* name = MUTEX_NAME);

    // Releases and closes the held mutex, if any.
    void Close();

    HANDLE Handle() const { return m_hMutex; }
    // Name of the held mutex; empty before a successful Create.
    const char* Name() const { return m_szName; }

private:
    HANDLE m_hMutex;
    char m_szName[MAX_PATH];
};
