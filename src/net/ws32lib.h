// The socket library, loaded at run time: "WSOCK32.DLL" with the entry
// points the program uses, resolved by name, and a load count so that each
// user loads and unloads on its own.
#pragma once

#include <winsock.h>

struct WS32LIB_Functions {
    int(PASCAL* __WSAFDIsSet)(SOCKET, fd_set*);
    int(PASCAL* WSACleanup)();
    int(PASCAL* WSAStartup)(WORD, LPWSADATA);
    SOCKET(PASCAL* accept)(SOCKET, struct sockaddr*, int*);
    int(PASCAL* bind)(SOCKET, const struct sockaddr*, int);
    int(PASCAL* closesocket)(SOCKET);
    int(PASCAL* connect)(SOCKET, const struct sockaddr*, int);
    int(PASCAL* gethostname)(char*, int);
    struct hostent*(PASCAL* gethostbyaddr)(const char*, int, int);
    struct hostent*(PASCAL* gethostbyname)(const char*);
    u_long(PASCAL* htonl)(u_long);
    u_short(PASCAL* htons)(u_short);
    unsigned long(PASCAL* inet_addr)(const char*);
    char*(PASCAL* inet_ntoa)(struct in_addr);
    int(PASCAL* listen)(SOCKET, int);
    u_long(PASCAL* ntohl)(u_long);
    u_short(PASCAL* ntohs)(u_short);
    int(PASCAL* select)(int, fd_set*, fd_set*, fd_set*, const struct timeval*);
    int(PASCAL* send)(SOCKET, const char*, int, int);
    int(PASCAL* sendto)(SOCKET, const char*, int, int, const struct sockaddr*, int);
    int(PASCAL* setsockopt)(SOCKET, int, int, const char*, int);
    SOCKET(PASCAL* socket)(int, int, int);
    int(PASCAL* shutdown)(SOCKET, int);
    int(PASCAL* recv)(SOCKET, char*, int, int);
    int(PASCAL* recvfrom)(SOCKET, char*, int, int, struct sockaddr*, int*);
    int(PASCAL* ioctlsocket)(SOCKET, long, u_long*);
    int(PASCAL* WSAGetLastError)();
};

// The entry points; valid once WS32LIB_LoadDLL has succeeded.
extern WS32LIB_Functions ws32;

// 0 when the library is loaded (or was already), -1 when it or one of the
// names cannot be had.
int WS32LIB_LoadDLL();
// Drops one load; the library is freed with the last.
void WS32LIB_UnloadDLL();
int WS32LIB_IsLoadDLL();
unsigned long WS32LIB_GetLoadCount();
HMODULE WS32LIB_GetDLLHandle();

// The library file and the module to resolve names in; tests point them at
// libraries that lack names.
void WS32LIB_SetLibraryName(const char* name);
