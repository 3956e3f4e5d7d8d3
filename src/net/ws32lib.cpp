#include "net/ws32lib.h"

WS32LIB_Functions ws32 = {};

namespace {

const char kDefaultLibrary[] = "WSOCK32.DLL";

HMODULE module = nullptr;
unsigned long loadCount = 0;
const char* libraryName = kDefaultLibrary;

// The table is filled in its own order, which is the order of the names.
bool Resolve() {
    FARPROC* table = reinterpret_cast<FARPROC*>(&ws32);
    static const char* const kNames[] = {
        "__WSAFDIsSet", "WSACleanup", "WSAStartup", "accept",     "bind",      "closesocket", "connect",
        "gethostname",  "gethostbyaddr", "gethostbyname", "htonl", "htons",    "inet_addr",   "inet_ntoa",
        "listen",       "ntohl",      "ntohs",      "select",     "send",      "sendto",      "setsockopt",
        "socket",       "shutdown",   "recv",       "recvfrom",  "ioctlsocket", "WSAGetLastError"};
    static_assert(sizeof kNames / sizeof kNames[0] == sizeof(WS32LIB_Functions) / sizeof(FARPROC),
                  "one name for every entry point");
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        table[i] = GetProcAddress(module, kNames[i]);
        if (table[i] == nullptr) return false;
    }
    return true;
}

}  // namespace

int WS32LIB_LoadDLL() {
    if (loadCount != 0) {
        ++loadCount;
        return 0;
    }
    // A library that lacked a name stayed loaded; this try starts afresh
    // without holding it twice.
    if (module != nullptr) FreeLibrary(module);
    module = LoadLibraryA(libraryName);
    if (module == nullptr) return -1;
    if (!Resolve()) return -1;
    loadCount = 1;
    return 0;
}

void WS32LIB_UnloadDLL() {
    if (loadCount == 0) return;
    if (loadCount == 1) {
        FreeLibrary(module);
        module = nullptr;
    }
    --loadCount;
}

int WS32LIB_IsLoadDLL() { return loadCount != 0 ? 1 : 0; }

unsigned long WS32LIB_GetLoadCount() { return loadCount; }

HMODULE WS32LIB_GetDLLHandle() { return module; }

void WS32LIB_SetLibraryName(const char* name) { libraryName = name != nullptr ? name : kDefaultLibrary; }
