// The floor of the status-service benchmark: the least a UDP responder can
// do on this platform. It answers every one-byte datagram with a reply of
// the status reply's size, and stops on the byte 0x10, like the service.
//
//   udp_floor PORT
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: udp_floor PORT\n");
        return 2;
    }
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(std::atoi(argv[1])));
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return 1;
    static char reply[3264];
    for (;;) {
        char command = 0;
        sockaddr_in peer;
        int length = sizeof peer;
        if (recvfrom(s, &command, 1, 0, reinterpret_cast<sockaddr*>(&peer), &length) != 1) continue;
        const bool stop = command == 0x10;
        sendto(s, stop ? &command : reply, stop ? 1 : sizeof reply, 0, reinterpret_cast<sockaddr*>(&peer), length);
        if (stop) break;
    }
    closesocket(s);
    WSACleanup();
    return 0;
}
