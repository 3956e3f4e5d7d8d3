// A named critical section with a state word telling whether it was ever
// created. Until Create, Enter and Leave do nothing, so code that takes a
// lock also runs where the lock was never set up (single-threaded tests).
#pragma once

#include "base/wintypes.h"

#ifndef _WIN32
#include <pthread.h>
#endif

class CRITSECT {
public:
    enum State { NotCreated = 0, Created = 1, Entered = 2, Left = 4 };

    CRITSECT();
    ~CRITSECT();
    CRITSECT(const CRITSECT&) = delete;
    CRITSECT& operator=(const CRITSECT&) = delete;

    void Create(const char* name);
    void Enter();
    void Leave();
    void Destroy();

    int State() const { return state_; }
    const char* Name() const { return name_; }

private:
#ifdef _WIN32
    CRITICAL_SECTION section_;
#else
    pthread_mutex_t section_;  // recursive, as a critical section is
#endif
    char name_[MAX_PATH];
    volatile int state_;
};

// Holds a lock for the life of a scope.
class CritSectLock {
public:
    explicit CritSectLock(CRITSECT& lock) : lock_(lock) { lock_.Enter(); }
    ~CritSectLock() { lock_.Leave(); }
    CritSectLock(const CritSectLock&) = delete;
    CritSectLock& operator=(const CritSectLock&) = delete;

private:
    CRITSECT& lock_;
};
