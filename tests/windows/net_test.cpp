// The socket library loader and the status service in-process, with a
// client on the loopback address.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>
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
    explicit Client(WORD port, u_long target = INADDR_LOOPBACK) : socket_(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
        target_.sin_family = AF_INET;
        target_.sin_port = htons(port);
        target_.sin_addr.s_addr = htonl(target);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    }
    // The port the server sees it send from.
    u_short LocalPort() const {
        sockaddr_in local = {};
        int length = sizeof local;
        getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
        return ntohs(local.sin_port);
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
    std::vector<BYTE> Ask(BYTE command, int milliseconds = 2000) {
        Send({command});
        return Receive(milliseconds);
    }

private:
    SOCKET socket_;
    sockaddr_in target_ = {};
};

// Replaces entries of the socket library's table for one test and puts the
// real ones back at the end.
class TableHooks {
public:
    TableHooks() : saved_(ws32) {}
    ~TableHooks() { ws32 = saved_; }
    static const WS32LIB_Functions& Real() { return real_; }
    void Keep() { real_ = saved_; }

private:
    WS32LIB_Functions saved_;
    static WS32LIB_Functions real_;
};
WS32LIB_Functions TableHooks::real_;

// A network that loses every one-byte stop datagram.
int PASCAL LosingSendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength) {
    if (length == 1 && static_cast<BYTE>(data[0]) == kCommandStop) return 1;
    return TableHooks::Real().sendto(s, data, length, flags, to, toLength);
}

// Datagrams from the client ports listed seem to come from the address
// given (host order), and the replies to those addresses are only written
// down.
std::map<u_short, u_long> forgedPorts;
struct SentReply {
    u_long to;  // host order
    std::vector<BYTE> data;
};
std::vector<SentReply> forgedReplies;
CRITICAL_SECTION forgedLock;

int PASCAL ForgedRecvfrom(SOCKET s, char* data, int length, int flags, sockaddr* from, int* fromLength) {
    const int received = TableHooks::Real().recvfrom(s, data, length, flags, from, fromLength);
    if (received == SOCKET_ERROR) return received;
    sockaddr_in* peer = reinterpret_cast<sockaddr_in*>(from);
    EnterCriticalSection(&forgedLock);
    const auto forged = forgedPorts.find(ntohs(peer->sin_port));
    if (forged != forgedPorts.end()) peer->sin_addr.s_addr = htonl(forged->second);
    LeaveCriticalSection(&forgedLock);
    return received;
}
int PASCAL RecordedSendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength) {
    const u_long target = ntohl(reinterpret_cast<const sockaddr_in*>(to)->sin_addr.s_addr);
    if (target == INADDR_LOOPBACK) return TableHooks::Real().sendto(s, data, length, flags, to, toLength);
    EnterCriticalSection(&forgedLock);
    forgedReplies.push_back({target, std::vector<BYTE>(data, data + length)});
    LeaveCriticalSection(&forgedLock);
    return length;
}

// Sockets that cannot be shut or closed (kept to be closed at the end).
std::set<SOCKET> unclosable;
int PASCAL KeptOpen(SOCKET s, int) {
    unclosable.insert(s);
    return 0;
}
int PASCAL NotClosed(SOCKET s) {
    unclosable.insert(s);
    return 0;
}

// Socket handles above INT_MAX, as 64-bit Windows may hand out: every call
// takes the program's handle and passes the real one on.
const SOCKET kHighBit = static_cast<SOCKET>(0x80000000u);
SOCKET Real(SOCKET s) { return s == INVALID_SOCKET ? s : s - kHighBit; }
SOCKET PASCAL HighSocket(int family, int type, int protocol) {
    const SOCKET s = TableHooks::Real().socket(family, type, protocol);
    return s == INVALID_SOCKET ? s : s + kHighBit;
}
int PASCAL HighBind(SOCKET s, const sockaddr* name, int length) { return TableHooks::Real().bind(Real(s), name, length); }
int PASCAL HighSelect(int n, fd_set* readable, fd_set* writable, fd_set* failed, const timeval* wait) {
    for (fd_set* set : {readable, writable, failed}) {
        if (set == nullptr) continue;
        for (u_int k = 0; k < set->fd_count; ++k) set->fd_array[k] = Real(set->fd_array[k]);
    }
    return TableHooks::Real().select(n, readable, writable, failed, wait);
}
int PASCAL HighIsSet(SOCKET s, fd_set* set) { return TableHooks::Real().__WSAFDIsSet(Real(s), set); }
int PASCAL HighRecvfrom(SOCKET s, char* data, int length, int flags, sockaddr* from, int* fromLength) {
    return TableHooks::Real().recvfrom(Real(s), data, length, flags, from, fromLength);
}
int PASCAL HighSendto(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength) {
    return TableHooks::Real().sendto(Real(s), data, length, flags, to, toLength);
}
int PASCAL HighShutdown(SOCKET s, int how) { return TableHooks::Real().shutdown(Real(s), how); }
int PASCAL HighClose(SOCKET s) { return TableHooks::Real().closesocket(Real(s)); }

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

    // StopServer on a thread of its own: false when it did not return in
    // time (then the stop is left to the fixture, with the real table).
    bool StopsWithin(DWORD milliseconds) {
        HANDLE stopper = CreateThread(nullptr, 0, Stopper, this, 0, nullptr);
        const bool done = WaitForSingleObject(stopper, milliseconds) == WAIT_OBJECT_0;
        CloseHandle(stopper);
        return done;
    }
    static DWORD WINAPI Stopper(LPVOID self) {
        StopServer(static_cast<StatusService*>(self)->port_);
        return 0;
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

    // A drive that went away keeps its old record, which is not sent.
    DriveInfo& gone = table_->slots[5];
    gone.summary.hasData = 1;
    std::strcpy(gone.summary.model, "GONE");
    const std::vector<BYTE> later = client.Ask(0x01);
    ASSERT_EQ(3264u, later.size());
    for (size_t i = 5 * 204; i < 6 * 204; ++i) ASSERT_EQ(0, later[i]) << i;

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

TEST_F(StatusService, StopsWhenEveryStopDatagramIsLost) {
    ASSERT_EQ(1, StartServer(port_));
    {
        TableHooks hooks;
        hooks.Keep();
        ws32.sendto = LosingSendto;
        ASSERT_TRUE(StopsWithin(15000)) << "StopServer hung";
    }
    EXPECT_FALSE(ServerThreadExists());
    EXPECT_TRUE(recorder_.Calls().empty()) << "the server ended, nothing to report";
    ASSERT_EQ(1, StartServer(port_)) << "the port is free again";
    Client client(port_);
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00));
}

TEST_F(StatusService, AServerThatCannotBeStoppedIsReportedAndKeepsTheLibrary) {
    ASSERT_EQ(1, StartServer(port_));
    {
        TableHooks hooks;
        hooks.Keep();
        ws32.sendto = LosingSendto;
        ws32.shutdown = KeptOpen;
        ws32.closesocket = NotClosed;
        ASSERT_TRUE(StopsWithin(15000)) << "StopServer hung";
    }
    EXPECT_TRUE(ServerThreadExists());
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(kClientSendFailed, recorder_.Calls()[0].text);

    // Its thread may still be inside the library: leaving must not unload it.
    EndNetwork();
    EXPECT_EQ(1, WS32LIB_IsLoadDLL());

    // Once a stop gets through, the thread ends and the library goes.
    StopServer(port_);
    EXPECT_FALSE(ServerThreadExists());
    EndNetwork();
    EXPECT_EQ(0, WS32LIB_IsLoadDLL());
    for (SOCKET s : unclosable) closesocket(s);
    unclosable.clear();
}

TEST_F(StatusService, ServesOnSocketHandlesAboveIntMax) {
    TableHooks hooks;
    hooks.Keep();
    ws32.socket = HighSocket;
    ws32.bind = HighBind;
    ws32.select = HighSelect;
    ws32.__WSAFDIsSet = HighIsSet;
    ws32.recvfrom = HighRecvfrom;
    ws32.sendto = HighSendto;
    ws32.shutdown = HighShutdown;
    ws32.closesocket = HighClose;
    ASSERT_EQ(1, StartServer(port_));
    Client client(port_);
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00));
    EXPECT_EQ(3264u, client.Ask(0x01).size());
    ASSERT_TRUE(StopsWithin(15000)) << "StopServer hung";
    EXPECT_FALSE(ServerThreadExists());
    EXPECT_TRUE(recorder_.Calls().empty());
}

// --- Whom the service answers ---

namespace {

// The server's socket hooks for datagrams that seem to come from elsewhere.
class ForgedPeers {
public:
    ForgedPeers() {
        InitializeCriticalSection(&forgedLock);
        hooks_.Keep();
        ws32.recvfrom = ForgedRecvfrom;
        ws32.sendto = RecordedSendto;
    }
    ~ForgedPeers() {
        forgedPorts.clear();
        forgedReplies.clear();
        DeleteCriticalSection(&forgedLock);
    }
    // The client's datagrams seem to come from that address.
    void Forge(const Client& client, u_long address) {
        EnterCriticalSection(&forgedLock);
        forgedPorts[client.LocalPort()] = address;
        LeaveCriticalSection(&forgedLock);
    }
    // The replies to forged peers so far, once a loopback echo has come
    // back: the server takes datagrams in order, so all before it are done.
    std::vector<SentReply> RepliesAfter(Client& loopback) {
        EXPECT_EQ(std::vector<BYTE>({0x00}), loopback.Ask(0x00)) << "the server serves on";
        EnterCriticalSection(&forgedLock);
        std::vector<SentReply> replies = forgedReplies;
        forgedReplies.clear();
        LeaveCriticalSection(&forgedLock);
        return replies;
    }

private:
    TableHooks hooks_;
};

const u_long kStranger = 0xCB007109;  // 203.0.113.9
const u_long kNeighbour = 0xC0A8010A;  // 192.168.1.10

}  // namespace

TEST_F(StatusService, StrangersGetNothingAndNeighboursCannotStopIt) {
    ForgedPeers peers;
    ASSERT_EQ(1, StartServer(port_));
    Client client(port_), stranger(port_), neighbour(port_);
    peers.Forge(stranger, kStranger);
    peers.Forge(neighbour, kNeighbour);
    for (BYTE command : {0x00, 0x01, 0x10, 0x55}) stranger.Send({command});
    EXPECT_TRUE(peers.RepliesAfter(client).empty()) << "a stranger was answered";

    for (BYTE command : {0x10, 0x01}) neighbour.Send({command});
    const std::vector<SentReply> replies = peers.RepliesAfter(client);
    ASSERT_EQ(1u, replies.size()) << "a neighbour's stop is ignored, its status answered";
    EXPECT_EQ(kNeighbour, replies[0].to);
    EXPECT_EQ(3264u, replies[0].data.size());
    Sleep(200);
    EXPECT_TRUE(recorder_.Calls().empty()) << "a stranger's unknown command raised a box";

    EXPECT_EQ(std::vector<BYTE>({0x10}), client.Ask(0x10)) << "this machine may stop it";
    EXPECT_TRUE(client.Ask(0x00, 300).empty());
}

TEST_F(StatusService, TheAllowListDecidesWhoIsAnswered) {
    ForgedPeers peers;
    ASSERT_EQ(1, StartServer(port_, "", "192.0.2.0/24, 127.0.0.1"));
    Client client(port_), inside(port_), neighbour(port_), outside(port_);
    peers.Forge(inside, 0xC00002FE);   // 192.0.2.254
    peers.Forge(neighbour, kNeighbour);
    peers.Forge(outside, 0xC0000301);  // 192.0.3.1
    for (Client* peer : {&inside, &neighbour, &outside}) peer->Send({0x00});
    const std::vector<SentReply> replies = peers.RepliesAfter(client);
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(0xC00002FEUL, replies[0].to);
    StopServer(port_);

    ASSERT_EQ(1, StartServer(port_, "", "*"));
    Client stranger(port_);
    peers.Forge(stranger, kStranger);
    stranger.Send({0x00});
    EXPECT_EQ(1u, peers.RepliesAfter(client).size()) << "* answers everyone, as before";
    StopServer(port_);

    // Without loopback in the list the program can still stop its server.
    ASSERT_EQ(1, StartServer(port_, "", "10.0.0.0/8"));
    EXPECT_TRUE(client.Ask(0x00, 300).empty());
    ASSERT_TRUE(StopsWithin(15000)) << "StopServer hung";
    EXPECT_FALSE(ServerThreadExists());
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(StatusService, TheAddressBindsWhereItSays) {
    ASSERT_EQ(1, StartServer(port_, "127.0.0.1"));
    Client other(port_, 0x7F000002);  // 127.0.0.2: loopback, another address
    Client client(port_);
    EXPECT_TRUE(other.Ask(0x00, 300).empty()) << "answered on an address it was not bound to";
    EXPECT_EQ(std::vector<BYTE>({0x00}), client.Ask(0x00));
    StopServer(port_);
    ASSERT_EQ(1, StartServer(port_, "0.0.0.0"));
    EXPECT_EQ(std::vector<BYTE>({0x00}), other.Ask(0x00)) << "every address";
    StopServer(port_);
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(StatusService, MalformedValuesAreToldOnceAndTheDefaultsServe) {
    ASSERT_EQ(1, StartServer(port_, "127.0.0", "10.0.0.0/33"));
    ASSERT_EQ(2u, recorder_.Calls().size());
    EXPECT_EQ(kServerAddressInvalid, recorder_.Calls()[0].text);
    EXPECT_EQ(kServerAllowInvalid, recorder_.Calls()[1].text);
    Client other(port_, 0x7F000002);
    EXPECT_EQ(std::vector<BYTE>({0x00}), other.Ask(0x00)) << "bound to every address, loopback answered";
    StopServer(port_);

    ASSERT_EQ(1, StartServer(port_, "127.0.0", "10.0.0.0/33"));
    StopServer(port_);
    EXPECT_EQ(2u, recorder_.Calls().size()) << "the same values are not told again";
    ASSERT_EQ(1, StartServer(port_, "localhost", " "));
    EXPECT_EQ(3u, recorder_.Calls().size()) << "a new bad address is; a blank list is the default";
    StopServer(port_);
}
