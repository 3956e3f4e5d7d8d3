#include "base/mutex.h"

#include <cstring>

MUTEX::MUTEX() : m_hMutex(nullptr) { m_szName[0] = '\0'; }

MUTEX::~MUTEX() { Close(); }

void MUTEX::Close() {
    if (m_hMutex != nullptr) {
        ReleaseMutex(m_hMutex);
        CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
}

int MUTEX::Create(const char* name) {
    if (m_hMutex != nullptr || name == nullptr) return 0;

    char wanted[sizeof m_szName];
    std::strncpy(wanted, name, sizeof wanted - 1);
    wanted[sizeof wanted - 1] = '\0';

    // A mutex that can be opened belongs to an instance that is running.
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, wanted);
    if (existing != nullptr) {
        CloseHandle(existing);
        return 0;
    }

    HANDLE created = CreateMutexA(nullptr, FALSE, wanted);
    if (created == nullptr) return 0;
    // Another instance may have created it since the open failed.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return 0;
    }
    m_hMutex = created;
    std::memcpy(m_szName, wanted, sizeof m_szName);
    return 1;
}
