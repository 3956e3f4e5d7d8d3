#include "base/critsect.h"

#include <cstdio>

CRITSECT::CRITSECT() : state_(NotCreated) { name_[0] = '\0'; }

CRITSECT::~CRITSECT() { Destroy(); }

void CRITSECT::Create(const char* name) {
    if (state_ != NotCreated) return;
#ifdef _WIN32
    InitializeCriticalSection(&section_);
#else
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&section_, &attributes);
    pthread_mutexattr_destroy(&attributes);
#endif
    std::snprintf(name_, sizeof name_, "%s", name ? name : "");
    state_ = Created;
}

void CRITSECT::Enter() {
    if (state_ == NotCreated) return;
#ifdef _WIN32
    EnterCriticalSection(&section_);
#else
    pthread_mutex_lock(&section_);
#endif
    state_ = Entered;
}

void CRITSECT::Leave() {
    if (state_ == NotCreated) return;
    state_ = Left;
#ifdef _WIN32
    LeaveCriticalSection(&section_);
#else
    pthread_mutex_unlock(&section_);
#endif
}

void CRITSECT::Destroy() {
    if (state_ == NotCreated) return;
#ifdef _WIN32
    DeleteCriticalSection(&section_);
#else
    pthread_mutex_destroy(&section_);
#endif
    name_[0] = '\0';
    state_ = NotCreated;
}
