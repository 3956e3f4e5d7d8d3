// The socket library loader and the status service in-process, with a
// client on the loopback address.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "base/msgbox.h"
#include "net/netlink.h"
#include "net/netmessages.h"
#include "net/ws32lib.h"
#include "smart/drivelocks.h"

namespace {

// A test client of its own, through ws2_32.
class Client {
public:
    explicit Client(WORD port) : socket_(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
        target_.sin_family = AF_INET;
        target_.sin_port = htons(port);
        target_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Client() { closesocket(socket_); }

    void Send(const std::vector<BYTE>& datagram) {
        sendto(socket_, reinterpret_cast<const char*>(datagram.data()), static_cast<int>(datagram.size()), 0,
               reinterpret_cast<const sockaddr*>(&target_), sizeof target_);
    }
    // The reply, or nothing within the time.
    std::vector<BYTE> Receive(int milliseconds = 2000) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait = {milliseconds / 1000, (milliseconds % 1000) * 1000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0) return {};
        std::vector<BYTE> reply(65535);
        const int n = recv(socket_, reinterpret_cast<char*>(reply.data()), static_cast<int>(reply.size()), 0);
        reply.resize(n > 0 ? n : 0);
        return reply;
    }
    std::vector<BYTE> Ask(BYTE command) {
        Send({command});
        return Receive();
    }

private:
    SOCKET socket_;
    sockaddr_in target_ = {};
};

class StatusService : public ::testing::Test {
protected:
    StatusService() : port_(static_cast<WORD>(41000 + GetCurrentProcessId() % 2000)), table_(new DriveTable()) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        networkLock.Create(kNetworkLockName);
        for (int n : {0, 1}) {
            DriveInfo& drive = table_->slots[n];
            drive.present = 1;
            drive.summary.hasData = 1;
            drive.summary.temperature = static_cast<signed char>(30 + n);
            std::strcpy(drive.summary.model, n ? "SECOND" : "FIRST");
        }
        EXPECT_EQ(1, StartNetwork(*table_));
    }
    ~StatusService() override {
        StopServer(port_);
        EndNetwork();
        networkLock.Destroy();
        WSACleanup();
    }

    // Waits for the recorded boxes to reach a count (they come from other threads).
    bool WaitForBoxes(size_t count) {
        for (int i = 0; i < 200 && recorder_.Calls().size() < count; ++i) Sleep(20);
        return recorder_.Calls().size() >= count;
    }

    MessageRecorder recorder_;
    WORD port_;
    std::unique_ptr<DriveTable> table_;
};

}  // namespace

TEST(SocketLibrary, LoadCountAndHandle) {
    ASSERT_EQ(0, WS32LIB_LoadDLL());
    ASSERT_EQ(0, WS32LIB_LoadDLL());
    EXPECT_EQ(2u, WS32LIB_GetLoadCount());
    WS32LIB_UnloadDLL();
    EXPECT_EQ(1, WS32LIB_IsLoadDLL());
    EXPECT_NE(nullptr, WS32LIB_GetDLLHandle());
    EXPECT_NE(nullptr, ws32.recvfrom);
    WS32LIB_UnloadDLL();
    EXPECT_EQ(0, WS32LIB_IsLoadDLL());
    EXPECT_EQ(nullptr, WS32LIB_GetDLLHandle());
    WS32LIB_UnloadDLL();
    EXPECT_EQ(0u, WS32LIB_GetLoadCount());
}

TEST(SocketLibrary, ALibraryWithoutTheNamesDoesNotLoad) {
    WS32LIB_SetLibraryName("version_none.dll");  // a resource-only DLL of the tests
    EXPECT_EQ(-1, WS32LIB_LoadDLL());
    EXPECT_EQ(0, WS32LIB_IsLoadDLL());
    EXPECT_EQ(-1, WS32LIB_LoadDLL());
    WS32LIB_SetLibraryName("NO_SUCH_LIBRARY.DLL");
    WS32LIB_UnloadDLL();
    WS32LIB_SetLibraryName(nullptr);
}

TEST_F(StatusService, EchoStatusAndDatagramsThatAreNoCommand) {
    ASSERT_EQ(1, StartServer(port_));
    EXPECT_EQ(0, StartServer(port_)) << "one server at a time";
    Client client(port_);
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00));

    const std::vector<BYTE> status = client.Ask(0x01);
    ASSERT_EQ(3264u, status.size());
    EXPECT_EQ(0, std::memcmp(status.data(), &table_->slots[0].summary, 204));
    EXPECT_EQ(0, std::memcmp(status.data() + 204, &table_->slots[1].summary, 204));
    EXPECT_STREQ("SECOND", reinterpret_cast<const char*>(status.data() + 204 + 28));
    for (size_t i = 408; i < status.size(); ++i) ASSERT_EQ(0, status[i]) << i;

    client.Send({0x01, 0x00});
    EXPECT_TRUE(client.Receive(300).empty()) << "two bytes are no command";
    client.Send({});
    EXPECT_TRUE(client.Receive(300).empty());
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00)) << "the server serves on";
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(StatusService, UnknownCommandsAreReportedWithoutStoppingTheService) {
    ASSERT_EQ(1, StartServer(port_));
    Client client(port_);
    client.Send({0x55});
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00)) << "answered while the box is up";
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(kUnknownCommand, recorder_.Calls()[0].text);
    EXPECT_EQ(std::string("確認情報"), recorder_.Calls()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND), recorder_.Calls()[0].style);
}

TEST_F(StatusService, StoppingAndStartingAgainBindsThePortAnew) {
    ASSERT_EQ(1, StartServer(port_));
    StopServer(port_);
    EXPECT_FALSE(ServerThreadExists());
    ASSERT_EQ(1, StartServer(port_));
    Client client(port_);
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00));
    StopServer(port_);
    EXPECT_TRUE(recorder_.Calls().empty()) << "switching off shows nothing";
}

TEST_F(StatusService, APeersStopEndsTheServer) {
    ASSERT_EQ(1, StartServer(port_));
    Client client(port_);
    EXPECT_EQ(std::vector<BYTE>({0x10}), client.Ask(0x10));
    EXPECT_TRUE(client.Ask(0x00).empty()) << "nobody serves any more";
    EXPECT_TRUE(ServerThreadExists()) << "the link counts as on until it is switched off";
    StopServer(port_);
    EXPECT_FALSE(ServerThreadExists());
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(StatusService, APortTakenByAnotherProgramIsReported) {
    SOCKET other = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    ASSERT_EQ(0, bind(other, reinterpret_cast<const sockaddr*>(&address), sizeof address));
    ASSERT_EQ(1, StartServer(port_ + 65536u)) << "the port is taken modulo 65536";
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(kServerBindFailed, recorder_.Calls()[0].text);
    EXPECT_EQ(std::string("エラー情報"), recorder_.Calls()[0].caption);
    closesocket(other);
    StopServer(port_);
    EXPECT_FALSE(ServerThreadExists());
}
