#include "udpclient.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
typedef int socklen_t;
#else
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
typedef int SOCKET;
const SOCKET INVALID_SOCKET = -1;
#define closesocket close
#endif

namespace {

class SocketLayer {
public:
    SocketLayer() {
#ifdef _WIN32
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
#endif
    }
    ~SocketLayer() {
#ifdef _WIN32
        if (ok_) WSACleanup();
#endif
    }
    bool Ok() const { return ok_; }

private:
    bool ok_ = true;
};

class Socket {
public:
    Socket() : s_(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {}
    ~Socket() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET Get() const { return s_; }

private:
    SOCKET s_;
};

bool WaitReadable(SOCKET s, int timeoutMs) {
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) > 0;
#else
    pollfd p = {s, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
#endif
}

}  // namespace

Exchange SendAndReceive(const std::string& host, uint16_t port, const std::vector<uint8_t>& request, int timeoutMs,
                        std::vector<uint8_t>* reply, std::string* error) {
    SocketLayer layer;
    if (!layer.Ok()) {
        *error = "the socket layer did not start";
        return Exchange::Failed;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        *error = "unknown host " + host;
        return Exchange::Failed;
    }
    sockaddr_in target;
    std::memcpy(&target, found->ai_addr, sizeof target);
    freeaddrinfo(found);
    target.sin_port = htons(port);

    Socket s;
    if (s.Get() == INVALID_SOCKET) {
        *error = "no UDP socket";
        return Exchange::Failed;
    }
    if (sendto(s.Get(), reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
               reinterpret_cast<const sockaddr*>(&target), sizeof target) != static_cast<int>(request.size())) {
        *error = "the request could not be sent";
        return Exchange::Failed;
    }
    // Only a datagram from the address and port asked is the reply; anything
    // else that reaches this port is dropped and the wait goes on.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint8_t> buffer(65535);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || !WaitReadable(s.Get(), static_cast<int>(left))) return Exchange::TimedOut;
        sockaddr_in source = {};
        socklen_t sourceLength = sizeof source;
        const int received = recvfrom(s.Get(), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()),
                                      0, reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (received < 0) {
            *error = "the reply could not be received";
            return Exchange::Failed;
        }
        if (static_cast<size_t>(sourceLength) != sizeof source || source.sin_family != AF_INET ||
            source.sin_addr.s_addr != target.sin_addr.s_addr || source.sin_port != target.sin_port)
            continue;
        buffer.resize(static_cast<size_t>(received));
        *reply = buffer;
        return Exchange::Answered;
    }
}
