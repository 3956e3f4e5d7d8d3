#include "net/netlink.h"

#include <atomic>
#include <cstring>
#include <string>

#include "base/msgbox.h"
#include "net/netmessages.h"
#include "net/peerfilter.h"
#include "net/ws32lib.h"
#include "smart/summaries.h"

namespace {

const int kAddressFamily = 2;  // AF_INET
const int kDatagram = 2;       // SOCK_DGRAM
const int kUdp = 17;           // IPPROTO_UDP
const int kBothDirections = 2;

// A stop datagram can be dropped from a full receive buffer: it is sent a
// few times, each time waiting a while for the thread.
const int kStopTries = 4;
const DWORD kStopWaitMilliseconds = 500;
// Then the server's socket is closed under its wait; this long for the
// thread to notice.
const DWORD kClosedSocketWaitMilliseconds = 2000;

struct ServerEndpoint {
    sockaddr_in local;
    sockaddr_in peer;
    int peerLength;
    SOCKET socket;
    long waitSeconds;
    long waitMicroseconds;
};

struct ClientEndpoint {
    sockaddr_in target;
    int targetLength;
    hostent* host;
    char address[16];
    SOCKET socket;
};

HANDLE serverThread = nullptr;
DWORD serverThreadId = 0;
HANDLE serverReady = nullptr;  // set once the server's socket is bound, or failed to be
WSADATA socketLayer;
bool socketLayerStarted = false;
const DriveTable* servedTable = nullptr;
volatile LONG unknownCommandShown = 0;
// Set by StopServer before its first stop datagram: the server ends at its
// next wake-up whatever woke it, and a failed wait is then no error.
volatile LONG stopRequested = 0;
// The running server's socket; whoever takes it out closes it.
std::atomic<SOCKET> serverSocket(INVALID_SOCKET);
// Where the next server binds and whom it answers: set before its thread
// starts, read only by it.
DWORD serverAddress = 0;  // host order; 0 = every local address
PeerFilter serverPeers;
// The malformed texts already reported, so that each is told once.
std::string reportedAddress;
std::string reportedAllow;

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// A malformed value is told once, the first time it is seen.
void ReportOnce(std::string& reported, const std::string& text, const char* message) {
    if (reported == text) return;
    reported = text;
    ShowErrorBox(message);
}

void TakeOptions(const char* address, const char* allow) {
    const std::string addressText = address != nullptr ? address : "";
    serverAddress = 0;
    if (!Blank(addressText) && !ParseIpv4(addressText, &serverAddress)) {
        serverAddress = 0;
        ReportOnce(reportedAddress, addressText, kServerAddressInvalid);
    }
    const std::string allowText = allow != nullptr ? allow : "";
    serverPeers = PeerFilter();
    if (!Blank(allowText) && !serverPeers.Parse(allowText)) ReportOnce(reportedAllow, allowText, kServerAllowInvalid);
}

void CloseSocket(SOCKET s) {
    ws32.shutdown(s, kBothDirections);
    ws32.closesocket(s);
}

void CloseServerSocket() {
    const SOCKET s = serverSocket.exchange(INVALID_SOCKET);
    if (s != INVALID_SOCKET) CloseSocket(s);
}

int OpenServerSocket(ServerEndpoint& endpoint, WORD port) {
    endpoint.socket = ws32.socket(kAddressFamily, kDatagram, kUdp);
    if (endpoint.socket == INVALID_SOCKET) return -1;
    std::memset(&endpoint.local, 0, sizeof endpoint.local);
    endpoint.local.sin_family = kAddressFamily;
    endpoint.local.sin_addr.s_addr = ws32.htonl(serverAddress);
    endpoint.local.sin_port = ws32.htons(port);
    if (ws32.bind(endpoint.socket, reinterpret_cast<const sockaddr*>(&endpoint.local), sizeof endpoint.local) != 0) {
        ws32.closesocket(endpoint.socket);
        endpoint.socket = INVALID_SOCKET;
        return -2;
    }
    return 0;
}

int OpenClientSocket(ClientEndpoint& endpoint, WORD port) {
    endpoint.host = ws32.gethostbyname("127.0.0.1");
    if (endpoint.host == nullptr || endpoint.host->h_addr_list[0] == nullptr) return -1;
    char** last = endpoint.host->h_addr_list;
    while (last[1] != nullptr) ++last;
    in_addr address;
    std::memcpy(&address, *last, sizeof address);
    std::strncpy(endpoint.address, ws32.inet_ntoa(address), sizeof endpoint.address - 1);
    endpoint.address[sizeof endpoint.address - 1] = '\0';
    std::memset(&endpoint.target, 0, sizeof endpoint.target);
    endpoint.target.sin_family = kAddressFamily;
    endpoint.target.sin_addr.s_addr = ws32.inet_addr(endpoint.address);
    // A server bound to one address hears nothing on loopback; its stop
    // goes there, and wakes it to find the stop requested.
    if (serverAddress != 0) endpoint.target.sin_addr.s_addr = ws32.htonl(serverAddress);
    endpoint.target.sin_port = ws32.htons(port);
    endpoint.socket = ws32.socket(kAddressFamily, kDatagram, kUdp);
    return endpoint.socket == INVALID_SOCKET ? -1 : 0;
}

const int kReadable = 1;

// kReadable when the socket is readable, -10 on a time-out, -1 when select
// failed. (Never the socket itself: a handle above INT_MAX would read as
// negative, and the server would spin on a readable socket for ever.)
int WaitReadable(ServerEndpoint& endpoint) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(endpoint.socket, &readable);
    timeval wait = {endpoint.waitSeconds, endpoint.waitMicroseconds};
    const bool unlimited = endpoint.waitSeconds == 0 && endpoint.waitMicroseconds == 0;
    const int ready = ws32.select(0, &readable, nullptr, nullptr, unlimited ? nullptr : &wait);
    if (ready == SOCKET_ERROR) return -1;
    if (ready == 0) return -10;
    if (ws32.__WSAFDIsSet(endpoint.socket, &readable)) return kReadable;
    return -2;
}

DWORD WINAPI UnknownCommandBox(LPVOID) {
    ShowNoticeBox(kUnknownCommand);
    InterlockedExchange(&unknownCommandShown, 0);
    return 0;
}

// Tells the user about an unknown command without holding up the service:
// the box has a thread of its own, and one box at a time is enough.
void ReportUnknownCommand() {
    if (InterlockedExchange(&unknownCommandShown, 1) != 0) return;
    HANDLE box = CreateThread(nullptr, 0, UnknownCommandBox, nullptr, 0, nullptr);
    if (box == nullptr) {
        InterlockedExchange(&unknownCommandShown, 0);
        return;
    }
    CloseHandle(box);
}

void Reply(ServerEndpoint& endpoint, const void* data, int length) {
    ws32.sendto(endpoint.socket, static_cast<const char*>(data), length, 0,
                reinterpret_cast<const sockaddr*>(&endpoint.peer), sizeof endpoint.peer);
}

DWORD WINAPI ServerThread(LPVOID parameter) {
    ServerEndpoint endpoint = {};
    endpoint.peerLength = sizeof endpoint.peer;
    const int opened = OpenServerSocket(endpoint, static_cast<WORD>(reinterpret_cast<UINT_PTR>(parameter)));
    SetEvent(serverReady);
    if (opened != 0) {
        ShowErrorBox(kServerBindFailed);
        return 0;
    }
    serverSocket.store(endpoint.socket);
    // Receive first and wait only when nothing is there: a wait before every
    // datagram costs a round trip through the system per query. Should the
    // socket stay blocking, the receive itself waits, and a stop datagram or
    // the closed socket still wakes it.
    u_long nonBlocking = 1;
    ws32.ioctlsocket(endpoint.socket, static_cast<long>(FIONBIO), &nonBlocking);
    for (;;) {
        if (stopRequested != 0) {
            CloseServerSocket();
            return 0;
        }
        BYTE command = 0;
        endpoint.peerLength = sizeof endpoint.peer;
        // A longer datagram does not fit the one byte and fails; so does an
        // empty one.
        const int received = ws32.recvfrom(endpoint.socket, reinterpret_cast<char*>(&command), 1, 0,
                                           reinterpret_cast<sockaddr*>(&endpoint.peer), &endpoint.peerLength);
        if (received == SOCKET_ERROR) {
            const int error = ws32.WSAGetLastError();
            // A datagram too long, or the echo of an earlier reply that could
            // not be delivered: taken, and more may be waiting.
            if (error == WSAEMSGSIZE || error == WSAECONNRESET) continue;
            // Nothing there, or a socket that failed: the wait tells which.
            if (WaitReadable(endpoint) == -1 && stopRequested == 0) {
                ShowErrorBox(kServerSelectFailed);
                CloseServerSocket();
                return 0;
            }
            continue;
        }
        if (received != 1) continue;
        const DWORD peer = ws32.ntohl(endpoint.peer.sin_addr.s_addr);
        // A stranger gets nothing: no reply to amplify, no box to raise.
        if (!serverPeers.Allows(peer)) continue;
        switch (command) {
            case kCommandEcho:
                Reply(endpoint, &command, 1);
                break;
            case kCommandStatus: {
                BYTE status[kStatusReplySize];
                CopySummaries(*servedTable, status);
                Reply(endpoint, status, sizeof status);
                break;
            }
            case kCommandStop:
                // Only this machine may silence the service.
                if (!IsLoopbackAddress(peer)) break;
                Reply(endpoint, &command, 1);
                CloseServerSocket();
                return 0;
            default:
                ReportUnknownCommand();
                break;
        }
    }
}

}  // namespace

int StartNetwork(const DriveTable& table) {
    servedTable = &table;
    serverThread = nullptr;
    serverThreadId = 0;
    if (WS32LIB_LoadDLL() != 0) {
        ShowErrorBox(kSocketLibraryLoadFailed);
        return 0;
    }
    if (ws32.WSAStartup(0x0002, &socketLayer) != 0) {
        ShowErrorBox(kSocketLibraryStartFailed);
        return 0;
    }
    socketLayerStarted = true;
    return 1;
}

int StartServer(UINT port, const char* address, const char* allow) {
    if (serverThread != nullptr || !WS32LIB_IsLoadDLL()) return 0;
    TakeOptions(address, allow);
    if (serverReady == nullptr) serverReady = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(serverReady);
    InterlockedExchange(&stopRequested, 0);
    serverThread = CreateThread(nullptr, 0, ServerThread, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(port & 0xFFFF)),
                                0, &serverThreadId);
    if (serverThread == nullptr) {
        ShowErrorBox(kServerThreadFailed);
        return 0;
    }
    // Until the socket is bound a stop datagram would be lost and the stop
    // would wait for ever: the server counts as started once it listens.
    HANDLE waits[2] = {serverReady, serverThread};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return 1;
}

void StopServer(UINT port) {
    if (serverThread == nullptr) return;
    ClientEndpoint endpoint = {};
    endpoint.targetLength = sizeof endpoint.target;
    endpoint.socket = 0;
    if (OpenClientSocket(endpoint, static_cast<WORD>(port & 0xFFFF)) != 0) {
        ShowErrorBox(kClientBindFailed);
    } else {
        InterlockedExchange(&stopRequested, 1);
        bool sent = false;
        bool ended = false;
        for (int tries = 0; tries < kStopTries && !ended; ++tries) {
            const BYTE stop = kCommandStop;
            if (ws32.sendto(endpoint.socket, reinterpret_cast<const char*>(&stop), 1, 0,
                            reinterpret_cast<const sockaddr*>(&endpoint.target), endpoint.targetLength) == 1)
                sent = true;
            ended = WaitForSingleObject(serverThread, kStopWaitMilliseconds) == WAIT_OBJECT_0;
        }
        if (!ended) {
            // No stop got through: take the socket from under its wait.
            CloseServerSocket();
            ended = WaitForSingleObject(serverThread, kClosedSocketWaitMilliseconds) == WAIT_OBJECT_0;
        }
        if (ended) {
            CloseHandle(serverThread);
            serverThread = nullptr;
            serverThreadId = 0;
        }
        // A thread that could not be ended is left running, and said so.
        if (!sent || !ended) ShowErrorBox(kClientSendFailed);
    }
    if (endpoint.socket != 0 && endpoint.socket != INVALID_SOCKET) CloseSocket(endpoint.socket);
}

bool ServerThreadExists() { return serverThread != nullptr; }

void EndNetwork() {
    // A server thread that could not be stopped may still be inside the
    // socket library: unloading it under the thread would crash.
    if (serverThread != nullptr) {
        if (WaitForSingleObject(serverThread, 0) != WAIT_OBJECT_0) return;
        CloseHandle(serverThread);
        serverThread = nullptr;
        serverThreadId = 0;
    }
    if (serverReady != nullptr) CloseHandle(serverReady);
    serverReady = nullptr;
    if (!WS32LIB_IsLoadDLL()) return;
    if (socketLayerStarted) ws32.WSACleanup();
    socketLayerStarted = false;
    WS32LIB_UnloadDLL();
}
