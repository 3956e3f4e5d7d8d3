// veldakor-query's exchange over real loopback sockets: the reply is the
// datagram from the address and port asked, nothing else that reaches the
// client's port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "udpclient.h"

namespace {

class LoopbackSocket {
public:
    LoopbackSocket() : s_(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s_, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    }
    ~LoopbackSocket() { close(s_); }
    uint16_t Port() const {
        sockaddr_in local = {};
        socklen_t length = sizeof local;
        getsockname(s_, reinterpret_cast<sockaddr*>(&local), &length);
        return ntohs(local.sin_port);
    }
    // Waits for one datagram and says where it came from.
    sockaddr_in Receive() const {
        char buffer[16];
        sockaddr_in from = {};
        socklen_t length = sizeof from;
        recvfrom(s_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        return from;
    }
    void SendTo(const sockaddr_in& to, const std::string& bytes) const {
        sendto(s_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

private:
    int s_;
};

}  // namespace

TEST(QueryExchange, DatagramsFromAnyoneButTheServerAreNotTheReply) {
    LoopbackSocket server, stranger;
    std::thread responder([&] {
        const sockaddr_in client = server.Receive();
        stranger.SendTo(client, "forged");  // another port of the same host
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        server.SendTo(client, "real");
    });
    std::vector<uint8_t> reply;
    std::string error;
    EXPECT_EQ(Exchange::Answered, SendAndReceive("127.0.0.1", server.Port(), {0x01}, 3000, &reply, &error)) << error;
    responder.join();
    EXPECT_EQ("real", std::string(reply.begin(), reply.end()));
}

TEST(QueryExchange, OnlyStrangersWithinTheTimeIsNoAnswer) {
    LoopbackSocket server, stranger;
    std::thread responder([&] {
        const sockaddr_in client = server.Receive();
        for (int k = 0; k < 3; ++k) stranger.SendTo(client, "forged");
    });
    std::vector<uint8_t> reply;
    std::string error;
    EXPECT_EQ(Exchange::TimedOut, SendAndReceive("127.0.0.1", server.Port(), {0x00}, 300, &reply, &error));
    responder.join();
    EXPECT_TRUE(reply.empty());
}
