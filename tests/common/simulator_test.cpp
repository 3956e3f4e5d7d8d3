// The drive simulator through the device seam, with requests built by hand:
// what a strict storage driver answers, refuses and scripts.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/test_dir.h"
#include "sim/simulator.h"

namespace fs = std::filesystem;

namespace {

const DWORD kRW = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareRW = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct Attr {
    BYTE id, current, worst;
    ULONGLONG raw;
};

void PutWord(SimBlock& b, size_t word, DWORD v) {
    b[2 * word] = static_cast<BYTE>(v);
    b[2 * word + 1] = static_cast<BYTE>(v >> 8);
}

// An IDENTIFY block with a model and 28-bit sectors, or 48-bit ones (word 83 bit 10).
SimBlock Identify(const std::string& model, DWORD sectors, DWORD sectors48 = 0) {
    SimBlock b{};
    std::string text = model;
    text.resize(40, ' ');
    for (size_t k = 0; k < 40; k += 2) PutWord(b, 27 + k / 2, (BYTE(text[k]) << 8) | BYTE(text[k + 1]));
    PutWord(b, 60, sectors & 0xFFFF);
    PutWord(b, 61, sectors >> 16);
    if (sectors48 != 0) {
        PutWord(b, 83, 0x0400);
        PutWord(b, 100, sectors48 & 0xFFFF);
        PutWord(b, 101, sectors48 >> 16);
    }
    return b;
}

SimBlock Table(const std::vector<Attr>& attrs, BYTE revision = 16) {
    SimBlock b{};
    b[0] = revision;
    for (size_t k = 0; k < attrs.size(); ++k) {
        BYTE* e = &b[2 + 12 * k];
        e[0] = attrs[k].id;
        e[3] = attrs[k].current;
        e[4] = attrs[k].worst;
        for (int i = 0; i < 6; ++i) e[5 + i] = BYTE(attrs[k].raw >> (8 * i));
    }
    return b;
}

const SimBlock kSmart = Table({{1, 100, 100, 0}, {5, 100, 100, 3}, {0xC2, 40, 30, 0x0000001E0028ULL}});
const SimBlock kThresholds = Table({{1, 6, 0, 0}, {5, 36, 0, 0}}, 1);

SENDCMDINPARAMS Cmd(BYTE drive, BYTE features, BYTE command, DWORD bufferSize) {
    SENDCMDINPARAMS c;
    std::memset(&c, 0, sizeof c);
    c.cBufferSize = bufferSize;
    c.irDriveRegs.bFeaturesReg = features;
    c.irDriveRegs.bSectorCountReg = 1;
    c.irDriveRegs.bSectorNumberReg = 1;
    if (command == 0xB0) {
        c.irDriveRegs.bCylLowReg = 0x4F;
        c.irDriveRegs.bCylHighReg = 0xC2;
    }
    c.irDriveRegs.bDriveHeadReg = BYTE(0xA0 | ((drive & 1) << 4));
    c.irDriveRegs.bCommandReg = command;
    c.bDriveNumber = drive;
    return c;
}
SENDCMDINPARAMS IdentifyCmd(BYTE d, BYTE command = 0xEC) { return Cmd(d, 0, command, 512); }
SENDCMDINPARAMS ReadData(BYTE d) { return Cmd(d, 0xD0, 0xB0, 512); }
SENDCMDINPARAMS ReadThresholds(BYTE d) { return Cmd(d, 0xD1, 0xB0, 512); }
SENDCMDINPARAMS Enable(BYTE d) { return Cmd(d, 0xD8, 0xB0, 0); }

struct Reply {
    BOOL ok;
    DWORD returned;
    std::vector<BYTE> bytes;
    std::vector<BYTE> Block(size_t offset) const {
        return std::vector<BYTE>(bytes.begin() + offset, bytes.begin() + offset + 512);
    }
};

std::vector<BYTE> Bytes(const SimBlock& b) { return std::vector<BYTE>(b.begin(), b.end()); }

DWORD Get32(const std::vector<BYTE>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (DWORD(b[at + 3]) << 24);
}
ULONGLONG Get64(const std::vector<BYTE>& b, size_t at) { return Get32(b, at) | (ULONGLONG(Get32(b, at + 4)) << 32); }

// The 564-byte "CMD_IDE " IDENTIFY request for a miniport device.
std::vector<BYTE> MiniportRequest(WORD device) {
    std::vector<BYTE> b(564, 0);
    const DWORD header[] = {28, 0, 0, 5, 0x00042008, 0xFFFFFFFFUL, 536};
    for (int k : {0, 3, 4, 5, 6}) std::memcpy(&b[4 * k], &header[k], 4);
    std::memcpy(&b[4], "CMD_IDE ", 8);
    b[28] = BYTE(device);
    b[29] = BYTE(device >> 8);
    b[30] = 1;
    return b;
}

class SimulatorTest : public ::testing::Test {
protected:
    SimulatorTest() {
        sim.AddDrive(0, Identify("DRIVE ZERO", 2000000), kSmart, kThresholds);
        sim.AddDrive(1, Identify("DRIVE ONE", 1000, 976773168), kSmart, kThresholds);
        sim.AddDrive(2, Identify("CD DRIVE", 0), SimBlock{}, SimBlock{});
        sim.Drive(2)->atapi = true;
    }

    HANDLE OpenDrive(int n) {
        return sim.Open(("\\\\.\\PHYSICALDRIVE" + std::to_string(n)).c_str(), kRW, kShareRW, OPEN_EXISTING, 0);
    }

    // The reply buffer starts filled with 0xEE so that untouched bytes show.
    Reply Ioctl(HANDLE h, DWORD code, const void* in, DWORD inSize, DWORD outSize) {
        std::vector<BYTE> input(static_cast<const BYTE*>(in), static_cast<const BYTE*>(in) + inSize);
        Reply r{FALSE, 0xDEAD, std::vector<BYTE>(outSize + 1, 0xEE)};
        r.ok = sim.Control(h, code, inSize ? input.data() : nullptr, inSize, outSize ? r.bytes.data() : nullptr,
                           outSize, &r.returned);
        return r;
    }
    Reply Ata(HANDLE h, DWORD code, SENDCMDINPARAMS c, DWORD outSize, DWORD inSize = 32) {
        return Ioctl(h, code, &c, inSize, outSize);
    }
    Reply Rcv(HANDLE h, const SENDCMDINPARAMS& c, DWORD outSize = 528) {
        return Ata(h, SMART_RCV_DRIVE_DATA, c, outSize);
    }
    Reply Predict(HANDLE h) {
        std::vector<BYTE> in(516, 0);
        return Ioctl(h, IOCTL_STORAGE_PREDICT_FAILURE, in.data(), 516, 516);
    }
    Simulator::Outcome Last() { return sim.Requests().back().outcome; }

    Simulator sim;
};

}  // namespace

// --- The ATA pass-through requests ---

TEST_F(SimulatorTest, AnswersVersionIdentifyDataThresholdsAndEnable) {
    HANDLE h = OpenDrive(1);
    Reply v = Ioctl(h, SMART_GET_VERSION, nullptr, 0, 24);
    ASSERT_TRUE(v.ok);
    EXPECT_EQ(24u, v.returned);
    EXPECT_EQ(std::vector<BYTE>({1, 1, 0, 0x43, 7, 0, 0, 0}), std::vector<BYTE>(v.bytes.begin(), v.bytes.begin() + 8));
    EXPECT_EQ(0xEE, v.bytes[24]);  // ATA 0 and 1, ATAPI 2; nothing past the structure

    Reply e = Ata(h, SMART_SEND_DRIVE_COMMAND, Enable(1), 16);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(16u, e.returned);
    EXPECT_EQ(std::vector<BYTE>(16, 0), std::vector<BYTE>(e.bytes.begin(), e.bytes.begin() + 16));

    const SimBlock* blocks[] = {&sim.Drive(1)->identify, &kSmart, &kThresholds};
    const SENDCMDINPARAMS cmds[] = {IdentifyCmd(1), ReadData(1), ReadThresholds(1)};
    for (int k = 0; k < 3; ++k) {
        Reply r = Rcv(h, cmds[k]);
        ASSERT_TRUE(r.ok) << k;
        EXPECT_EQ(528u, r.returned);
        EXPECT_EQ(512u, Get32(r.bytes, 0));
        EXPECT_EQ(std::vector<BYTE>(12, 0), std::vector<BYTE>(r.bytes.begin() + 4, r.bytes.begin() + 16));
        EXPECT_EQ(Bytes(*blocks[k]), r.Block(16)) << k;
        EXPECT_EQ(0xEE, r.bytes[528]);
    }
    const Simulator::Request last = sim.Requests().back();
    EXPECT_EQ(1, last.drive);
    EXPECT_EQ(SMART_RCV_DRIVE_DATA, last.ioctl);
    EXPECT_EQ(0xB0, last.command);
    EXPECT_EQ(0xD1, last.features);
    EXPECT_TRUE(last.Accepted());
    EXPECT_TRUE(sim.Refusals().empty());

    BYTE junk[4] = {};
    EXPECT_FALSE(Ioctl(h, SMART_GET_VERSION, junk, 4, 24).ok);
    Reply shortOut = Ioctl(h, SMART_GET_VERSION, nullptr, 0, 23);
    EXPECT_FALSE(shortOut.ok);
    EXPECT_EQ(0u, shortOut.returned);
    EXPECT_EQ(2u, sim.Refusals().size());
}

TEST_F(SimulatorTest, RefusesEveryWrongRegisterLengthOrCode) {
    HANDLE h = OpenDrive(1);
    typedef std::function<void(SENDCMDINPARAMS&)> Change;
    const std::vector<std::pair<const char*, Change>> wrong = {
        {"features", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bFeaturesReg = 0xD2; }},
        {"sector count", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bSectorCountReg = 0; }},
        {"sector number", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bSectorNumberReg = 0; }},
        {"cylinder low", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bCylLowReg = 0; }},
        {"cylinder high", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bCylHighReg = 0x2C; }},
        {"drive/head of an even drive", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bDriveHeadReg = 0xA0; }},
        {"command", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bCommandReg = 0xB1; }},
        {"buffer size", [](SENDCMDINPARAMS& c) { c.cBufferSize = 528; }},
        {"drive number of another drive",
         [](SENDCMDINPARAMS& c) {
             c.bDriveNumber = 0;
             c.irDriveRegs.bDriveHeadReg = 0xA0;
         }},
        {"register reserved byte", [](SENDCMDINPARAMS& c) { c.irDriveRegs.bReserved = 1; }},
        {"reserved dword", [](SENDCMDINPARAMS& c) { c.dwReserved[3] = 1; }},
    };
    for (const auto& w : wrong) {
        SENDCMDINPARAMS c = ReadData(1);
        w.second(c);
        Reply r = Rcv(h, c);
        EXPECT_FALSE(r.ok) << w.first;
        EXPECT_EQ(0u, r.returned) << w.first;
        EXPECT_EQ(std::vector<BYTE>(529, 0xEE), r.bytes) << w.first;
        EXPECT_EQ(Simulator::Outcome::Refused, Last()) << w.first;
    }
    EXPECT_FALSE(Rcv(h, ReadData(1), 512).ok);
    EXPECT_FALSE(Ata(h, SMART_RCV_DRIVE_DATA, ReadData(1), 528, 33).ok);
    EXPECT_FALSE(Ata(h, SMART_SEND_DRIVE_COMMAND, ReadData(1), 528).ok);  // data read sent as a command
    EXPECT_FALSE(Ata(h, SMART_SEND_DRIVE_COMMAND, Enable(1), 528).ok);    // enable with a data reply
    EXPECT_FALSE(Ata(h, SMART_SEND_DRIVE_COMMAND, Cmd(1, 0xD8, 0xB0, 512), 16).ok);
    EXPECT_FALSE(Rcv(h, Enable(1)).ok);
    EXPECT_FALSE(Ata(h, 0x0007C08CUL, ReadData(1), 528).ok);
    EXPECT_EQ(wrong.size() + 7, sim.Refusals().size());
    EXPECT_EQ(0, sim.Poll(1));  // no refused read counts as a poll
    EXPECT_TRUE(Rcv(h, ReadData(1)).ok);
}

TEST_F(SimulatorTest, AtapiAnswersOnlyPacketIdentifyAndHasNoSmart) {
    HANDLE cd = OpenDrive(2);
    EXPECT_FALSE(Rcv(cd, IdentifyCmd(2, 0xEC)).ok);
    EXPECT_EQ(Simulator::Outcome::Refused, Last());
    Reply id = Rcv(cd, IdentifyCmd(2, 0xA1));
    EXPECT_TRUE(id.ok);
    EXPECT_EQ(Bytes(sim.Drive(2)->identify), id.Block(16));
    EXPECT_FALSE(Ata(cd, SMART_SEND_DRIVE_COMMAND, Enable(2), 16).ok);
    EXPECT_EQ(Simulator::Outcome::Refused, Last());  // the enable must never reach it
    EXPECT_NE(std::string::npos, sim.Refusals().back().reason.find("ATAPI"));
    EXPECT_FALSE(Rcv(cd, ReadData(2)).ok);
    EXPECT_EQ(Simulator::Outcome::Aborted, Last());  // the probe may ask; the device says no
    EXPECT_FALSE(Predict(cd).ok);
    EXPECT_EQ(Simulator::Outcome::Aborted, Last());

    EXPECT_FALSE(Rcv(OpenDrive(0), IdentifyCmd(0, 0xA1)).ok);
    EXPECT_EQ(Simulator::Outcome::Refused, Last());
    EXPECT_EQ(3u, sim.Refusals().size());

    // Beyond drive 3 the version reply cannot mark it, so trying 0xEC is fair.
    sim.AddDrive(5, SimBlock{}, SimBlock{}, SimBlock{});
    sim.Drive(5)->atapi = true;
    HANDLE five = OpenDrive(5);
    EXPECT_EQ(0x43, Ioctl(five, SMART_GET_VERSION, nullptr, 0, 24).bytes[3]);
    EXPECT_FALSE(Rcv(five, IdentifyCmd(5, 0xEC)).ok);
    EXPECT_EQ(Simulator::Outcome::Aborted, Last());
    EXPECT_FALSE(Ata(five, SMART_SEND_DRIVE_COMMAND, Enable(5), 16).ok);
    EXPECT_EQ(Simulator::Outcome::Aborted, Last());
    EXPECT_TRUE(Rcv(five, IdentifyCmd(5, 0xA1)).ok);
    EXPECT_EQ(3u, sim.Refusals().size());
}

// --- Paths ---

TEST_F(SimulatorTest, ChecksTheOpenArgumentsOfEveryPath) {
    const char* drive = "\\\\.\\PHYSICALDRIVE0";
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open(drive, GENERIC_READ, kShareRW, OPEN_EXISTING, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open(drive, kRW, 0, OPEN_EXISTING, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open(drive, kRW, kShareRW, CREATE_NEW, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open(drive, kRW, kShareRW, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\PHYSICALDRIVE00", kRW, kShareRW, OPEN_EXISTING, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("PHYSICALDRIVE0", kRW, kShareRW, OPEN_EXISTING, 0));
    EXPECT_EQ(6u, sim.Refusals().size());
    EXPECT_NE(INVALID_HANDLE_VALUE, sim.Open(drive, kRW, kShareRW, OPEN_EXISTING, 0));

    // Probing drive numbers without a device is no fault of the caller.
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDrive(5));
    EXPECT_EQ(Simulator::Outcome::Absent, Last());
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\SMARTVSD", 0, 0, CREATE_NEW, 0));
    EXPECT_EQ(Simulator::Outcome::Absent, Last());
    EXPECT_EQ(6u, sim.Refusals().size());
    EXPECT_EQ(1, sim.OpenHandles());
}

TEST_F(SimulatorTest, SmartVsdAddressesEachDriveByItsNumber) {
    sim.SetPlatform(VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(DWORD(VER_PLATFORM_WIN32_WINDOWS), sim.PlatformId());
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDrive(0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\SMARTVSD", GENERIC_READ, 0, CREATE_NEW, 0));
    EXPECT_EQ(Simulator::Outcome::Refused, Last());
    HANDLE a = sim.Open("\\\\.\\SMARTVSD", 0, 0, CREATE_NEW, 0);
    HANDLE b = sim.Open("\\\\.\\SMARTVSD", 0, 0, CREATE_NEW, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, a);
    EXPECT_NE(a, b);
    EXPECT_EQ(0x43, Ioctl(a, SMART_GET_VERSION, nullptr, 0, 24).bytes[3]);
    EXPECT_EQ(Bytes(sim.Drive(0)->identify), Rcv(a, IdentifyCmd(0)).Block(16));
    EXPECT_EQ(Bytes(sim.Drive(1)->identify), Rcv(a, IdentifyCmd(1)).Block(16));
    EXPECT_FALSE(Rcv(a, IdentifyCmd(3)).ok);
    EXPECT_EQ(Simulator::Outcome::Absent, Last());
    EXPECT_FALSE(Predict(a).ok);  // no storage requests on that driver
    EXPECT_EQ(Simulator::Outcome::Refused, Last());

    sim.Drive(1)->faults.open.Add(0);
    EXPECT_FALSE(Rcv(b, ReadData(1)).ok);
    EXPECT_EQ(Simulator::Outcome::Faulted, Last());

    sim.SetPlatform(VER_PLATFORM_WIN32s);
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\SMARTVSD", 0, 0, CREATE_NEW, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDrive(0));
}

TEST_F(SimulatorTest, MiniportDriveAnswersIdentifyOnItsScsiPort) {
    SimDrive* d = sim.Drive(0);
    d->miniportPort = 1;
    d->miniportDevice = 2;
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\SCSI0:", kRW, kShareRW, OPEN_EXISTING, 0));
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\SCSI1:", GENERIC_READ, kShareRW, OPEN_EXISTING, 0));
    HANDLE port = sim.Open("\\\\.\\SCSI1:", kRW, kShareRW, OPEN_EXISTING, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, port);

    std::vector<BYTE> req = MiniportRequest(2);
    std::vector<BYTE> buffer = req;
    DWORD returned = 0;
    ASSERT_TRUE(sim.Control(port, IOCTL_SCSI_MINIPORT, buffer.data(), 564, buffer.data(), 564, &returned));
    EXPECT_EQ(564u, returned);
    EXPECT_EQ(std::vector<BYTE>(req.begin(), req.begin() + 20), std::vector<BYTE>(buffer.begin(), buffer.begin() + 20));
    EXPECT_EQ(0u, Get32(buffer, 20));
    EXPECT_EQ(Bytes(d->identify), std::vector<BYTE>(buffer.begin() + 52, buffer.end()));

    for (size_t at : {0, 4, 11, 12, 16, 20, 24, 30, 40}) {
        std::vector<BYTE> bad = req;
        bad[at] ^= 0x01;
        EXPECT_FALSE(Ioctl(port, IOCTL_SCSI_MINIPORT, bad.data(), 564, 564).ok) << at;
        EXPECT_EQ(Simulator::Outcome::Refused, Last()) << at;
    }
    EXPECT_FALSE(Ioctl(port, IOCTL_SCSI_MINIPORT, req.data(), 564, 528).ok);
    EXPECT_FALSE(Ioctl(port, IOCTL_SCSI_MINIPORT, MiniportRequest(0).data(), 564, 564).ok);
    EXPECT_EQ(Simulator::Outcome::Absent, Last());

    // Its own device keeps the version and thresholds, not IDENTIFY or data.
    HANDLE h = OpenDrive(0);
    EXPECT_FALSE(Rcv(h, IdentifyCmd(0)).ok);
    EXPECT_FALSE(Rcv(h, ReadData(0)).ok);
    EXPECT_EQ(Simulator::Outcome::Refused, Last());
    EXPECT_TRUE(Rcv(h, ReadThresholds(0)).ok);
    EXPECT_TRUE(Ioctl(h, SMART_GET_VERSION, nullptr, 0, 24).ok);
}

TEST_F(SimulatorTest, PredictFailureCarriesTheFlagAndTheDataBlock) {
    sim.Drive(0)->predictFailure.Add(1);
    HANDLE h = OpenDrive(0);
    Reply first = Predict(h);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(516u, first.returned);
    EXPECT_EQ(0u, Get32(first.bytes, 0));
    EXPECT_EQ(Bytes(kSmart), first.Block(4));
    Reply second = Predict(h);
    EXPECT_TRUE(second.ok);
    EXPECT_EQ(1u, Get32(second.bytes, 0));
    EXPECT_EQ(1, sim.Poll(0));

    std::vector<BYTE> dirty(516, 0);
    dirty[100] = 1;
    EXPECT_FALSE(Ioctl(h, IOCTL_STORAGE_PREDICT_FAILURE, dirty.data(), 516, 516).ok);
    EXPECT_FALSE(Ioctl(h, IOCTL_STORAGE_PREDICT_FAILURE, std::vector<BYTE>(516).data(), 516, 512).ok);
    EXPECT_EQ(2u, sim.Refusals().size());
}

TEST_F(SimulatorTest, GeometryGivesTheDiskSize) {
    sim.Drive(2)->diskSize = 650000000;
    const ULONGLONG sizes[] = {2000000ULL * 512, 976773168ULL * 512, 650000000};
    for (int n = 0; n < 3; ++n) {
        Reply r = Ioctl(OpenDrive(n), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, 40);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(40u, r.returned);
        EXPECT_EQ(sizes[n], Get64(r.bytes, 24)) << n;
        EXPECT_EQ(512u, Get32(r.bytes, 20));
    }
    EXPECT_FALSE(Ioctl(OpenDrive(0), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, 32).ok);
    BYTE junk[4] = {};
    EXPECT_FALSE(Ioctl(OpenDrive(0), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, junk, 4, 40).ok);
}

// --- Scripts over polls ---

TEST(SimulatorPollWindows, ParseRangesAndOpenEnds) {
    PollWindows w;
    ASSERT_TRUE(w.Parse("1-2, 5"));
    EXPECT_FALSE(w.Contains(0));
    EXPECT_TRUE(w.Contains(1));
    EXPECT_TRUE(w.Contains(2));
    EXPECT_FALSE(w.Contains(4));
    EXPECT_TRUE(w.Contains(5));
    EXPECT_TRUE(w.Contains(100000));
    for (const char* bad : {"3-1", "x", "3-", "-3", "1,,2", "0x"}) {
        PollWindows v;
        v.Add(7, 7);
        EXPECT_FALSE(v.Parse(bad)) << bad;
        EXPECT_TRUE(v.Contains(7)) << bad;
        EXPECT_FALSE(v.Contains(8)) << bad;
    }
    PollWindows none;
    EXPECT_TRUE(none.Parse(""));
    EXPECT_FALSE(none.Contains(0));
}

TEST_F(SimulatorTest, FaultWindowsFailReadsThenLetThemRecover) {
    sim.Drive(0)->faults.data.Add(1, 2);
    sim.Drive(0)->faults.thresholds.Add(2, 2);
    HANDLE h = OpenDrive(0);
    const bool dataOk[] = {true, false, false, true, true};
    const bool thresholdOk[] = {true, true, false, true, true};
    for (int poll = 0; poll < 5; ++poll) {
        Reply d = Rcv(h, ReadData(0));
        EXPECT_EQ(dataOk[poll], d.ok != FALSE) << poll;
        EXPECT_EQ(dataOk[poll] ? Simulator::Outcome::Answered : Simulator::Outcome::Faulted, Last());
        EXPECT_EQ(poll, sim.Poll(0));
        EXPECT_EQ(thresholdOk[poll], Rcv(h, ReadThresholds(0)).ok != FALSE) << poll;
    }
    EXPECT_TRUE(sim.Refusals().empty());

    sim.Drive(1)->faults.version.Add(0);
    sim.Drive(1)->faults.identify.Add(0);
    EXPECT_FALSE(Ioctl(OpenDrive(1), SMART_GET_VERSION, nullptr, 0, 24).ok);
    EXPECT_FALSE(Rcv(OpenDrive(1), IdentifyCmd(1)).ok);
    sim.Drive(1)->faults.open.Add(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDrive(1));
    EXPECT_EQ(Simulator::Outcome::Faulted, Last());
}

TEST_F(SimulatorTest, ChangesAndTemperaturesFollowThePoll) {
    SimDrive* d = sim.Drive(0);
    d->changes.push_back({2, 5, 10, -1, -1});
    d->changes.push_back({4, 5, 0x060504030201ULL, 90, 80});
    d->changes.push_back({1, 0xBB, 99, -1, -1});  // not in the table: nothing happens
    d->temperatures = {{0, 41}, {3, 45}};
    HANDLE h = OpenDrive(0);
    const std::vector<BYTE> raw5[] = {
        {3, 0, 0, 0, 0, 0}, {3, 0, 0, 0, 0, 0}, {10, 0, 0, 0, 0, 0}, {10, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}};
    const BYTE temperature[] = {41, 41, 41, 45, 45};
    for (int poll = 0; poll < 5; ++poll) {
        std::vector<BYTE> b = Rcv(h, ReadData(0)).Block(16);
        const BYTE* e5 = &b[2 + 12];
        EXPECT_EQ(raw5[poll], std::vector<BYTE>(e5 + 5, e5 + 11)) << poll;
        EXPECT_EQ(poll < 4 ? 100 : 90, e5[3]);
        EXPECT_EQ(poll < 4 ? 100 : 80, e5[4]);
        EXPECT_EQ(temperature[poll], b[2 + 24 + 5]) << poll;
        EXPECT_EQ(0x1E, b[2 + 24 + 7]);  // only the low raw byte is the temperature
        EXPECT_EQ(std::vector<BYTE>(kSmart.begin() + 38, kSmart.end()), std::vector<BYTE>(b.begin() + 38, b.end()));
    }

    d = sim.Drive(1);
    d->temperatureCycle = {30, 31, 32};
    d->temperatureId = 1;
    HANDLE one = OpenDrive(1);
    for (int poll = 0; poll < 7; ++poll) {
        Reply r = poll % 2 ? Predict(one) : Rcv(one, ReadData(1));  // both count as data reads
        EXPECT_EQ(30 + poll % 3, r.bytes[(poll % 2 ? 4 : 16) + 2 + 5]) << poll;
        EXPECT_EQ(0x28, r.bytes[(poll % 2 ? 4 : 16) + 2 + 24 + 5]);
    }
}

// --- Volumes ---

TEST_F(SimulatorTest, VolumesGiveExtentsAndFreeSpace) {
    sim.AddVolume({'C', 500000, 125000, {0}, true});
    sim.AddVolume({'d', 3000000, 0, {1, 0}, true});
    sim.AddVolume({'E', 1000, 10, {7}, true});
    sim.AddVolume({'F', 0, 0, {}, false});
    EXPECT_FALSE(sim.AddVolume({'1', 1, 1, {0}, true}));
    EXPECT_EQ(DWORD((1 << 2) | (1 << 3) | (1 << 4) | (1 << 5)), sim.LogicalDrives());

    auto open = [&](const char* path) {
        return sim.Open(path, GENERIC_READ, kShareRW, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    };
    Reply c = Ioctl(open("\\\\.\\C:"), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 2048);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(32u, c.returned);
    EXPECT_EQ(1u, Get32(c.bytes, 0));
    EXPECT_EQ(0u, Get32(c.bytes, 8));
    EXPECT_EQ(500000u, Get64(c.bytes, 24));
    HANDLE d = open("\\\\.\\D:");
    Reply span = Ioctl(d, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 2048);
    EXPECT_EQ(56u, span.returned);
    EXPECT_EQ(2u, Get32(span.bytes, 0));
    EXPECT_EQ(1u, Get32(span.bytes, 8));
    EXPECT_EQ(0u, Get32(span.bytes, 32));
    Reply tight = Ioctl(d, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 32);
    EXPECT_FALSE(tight.ok);  // more data: the count and the first extent only
    EXPECT_EQ(2u, Get32(tight.bytes, 0));
    EXPECT_EQ(1u, Get32(tight.bytes, 8));
    EXPECT_EQ(7u, Get32(Ioctl(open("\\\\.\\E:"), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 2048).bytes, 8));
    EXPECT_EQ(0u, sim.Refusals().size());

    EXPECT_FALSE(Ioctl(d, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 24).ok);
    EXPECT_FALSE(Ioctl(d, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, 40).ok);
    EXPECT_EQ(INVALID_HANDLE_VALUE, sim.Open("\\\\.\\C:", kRW, kShareRW, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(3u, sim.Refusals().size());
    EXPECT_EQ(INVALID_HANDLE_VALUE, open("\\\\.\\F:"));  // listed, but no medium
    EXPECT_EQ(INVALID_HANDLE_VALUE, open("\\\\.\\G:"));

    ULONGLONG space[3] = {};
    ASSERT_TRUE(sim.DiskFreeSpace("C:", &space[0], &space[1], &space[2]));
    EXPECT_EQ(std::vector<ULONGLONG>({125000, 500000, 125000}), std::vector<ULONGLONG>(space, space + 3));
    EXPECT_TRUE(sim.DiskFreeSpace("D:\\", nullptr, &space[1], nullptr));
    EXPECT_EQ(3000000u, space[1]);
    EXPECT_FALSE(sim.DiskFreeSpace("F:", &space[0], &space[1], &space[2]));
    EXPECT_FALSE(sim.DiskFreeSpace("G:", &space[0], &space[1], &space[2]));
}

// --- Handles and logs ---

TEST_F(SimulatorTest, EveryHandleClosesExactlyOnce) {
    std::vector<HANDLE> handles = {OpenDrive(0), OpenDrive(0), OpenDrive(1)};
    for (size_t k = 0; k < handles.size(); ++k) {
        EXPECT_NE(nullptr, handles[k]);
        EXPECT_NE(INVALID_HANDLE_VALUE, handles[k]);
        for (size_t j = 0; j < k; ++j) EXPECT_NE(handles[j], handles[k]);
    }
    EXPECT_EQ(3, sim.OpenHandles());
    EXPECT_TRUE(sim.Close(handles[1]));
    EXPECT_EQ(2, sim.OpenHandles());
    EXPECT_FALSE(sim.Close(handles[1]));
    EXPECT_FALSE(sim.Close(reinterpret_cast<HANDLE>(0x1234)));
    EXPECT_FALSE(sim.Close(INVALID_HANDLE_VALUE));
    EXPECT_EQ(3u, sim.HandleFaults().size());
    EXPECT_EQ(2, sim.OpenHandles());
    EXPECT_FALSE(Ioctl(handles[1], SMART_GET_VERSION, nullptr, 0, 24).ok);
    EXPECT_EQ(Simulator::Outcome::Refused, Last());
    DWORD returned = 7;
    GETVERSIONINPARAMS v;
    EXPECT_FALSE(sim.Control(handles[0], SMART_GET_VERSION, nullptr, 0, &v, 24, nullptr));
    EXPECT_FALSE(sim.Control(handles[0], SMART_GET_VERSION, nullptr, 0, nullptr, 24, &returned));
    EXPECT_EQ(0u, returned);

    sim.Clear();
    EXPECT_EQ(0, sim.OpenHandles());
    EXPECT_FALSE(sim.Close(handles[0]));  // forgotten, never reused
    sim.AddDrive(0, SimBlock{}, SimBlock{}, SimBlock{});
    HANDLE fresh = OpenDrive(0);
    for (HANDLE old : handles) EXPECT_NE(old, fresh);
}

TEST_F(SimulatorTest, CapturesDebugLinesAndKeepsTheNewestLogEntries) {
    sim.SetLogLimit(2);
    for (const char* line : {"CREATE DEV[0] pDA:0x1 pAT:0x2\r\n", "UPDATE DEV[0] pDA:0x0 pAT:0x0\r\n", "3\r\n"})
        sim.DebugOutput(line);
    EXPECT_EQ(std::vector<std::string>({"UPDATE DEV[0] pDA:0x0 pAT:0x0\r\n", "3\r\n"}), sim.DebugLines());
    for (int n = 0; n < 4; ++n) OpenDrive(n);
    const std::vector<Simulator::Request> log = sim.Requests();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("\\\\.\\PHYSICALDRIVE3", log[1].path);
    EXPECT_EQ(Simulator::Outcome::Absent, log[1].outcome);
    sim.ClearLog();
    EXPECT_TRUE(sim.Requests().empty() && sim.DebugLines().empty());
}

// --- Drive set folders ---

namespace {

void WriteDrive(const TestDir& dir, const std::string& name, const std::string& ini = "",
                const SimBlock& identify = Identify("FOLDER DRIVE", 4096)) {
    const fs::path folder = fs::path(dir.Root()) / name;
    fs::create_directories(folder);
    auto write = [&](const char* file, const SimBlock& b) {
        TestDir::WriteAll((folder / file).string(), std::string(b.begin(), b.end()));
    };
    write("identify.bin", identify);
    write("smart.bin", kSmart);
    write("thresholds.bin", kThresholds);
    if (!ini.empty()) TestDir::WriteAll((folder / "drive.ini").string(), ini);
}

bool Mentions(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST_F(SimulatorTest, LoadsDriveFoldersWithTheirSettings) {
    sim.Clear();
    TestDir dir("simset");
    WriteDrive(dir, "00-plain");
    WriteDrive(dir, "01-cd", "[Drive]\r\nATAPI=1\r\n[Volumes]\r\nC=500,100\r\n");
    WriteDrive(dir, "03-mini",
               "[Drive]\nMiniport = 2, 1\nDiskSize=0x1000000\nPredictFailure=2\n"
               "[Faults]\nThresholds=1-1\n"
               "[Smart]\nTemperature=35, 2:50\nChange1=1, 5, 7\nChange2=2, 1, 0, 77\nChange4=0, 1, 1, 50\n"
               "[Volumes]\nC=1,1\nD=2000000, 0, 1, 3\nE=offline\n");
    Simulator::LoadReport report = sim.LoadFolder(dir.Root());
    EXPECT_TRUE(report.folderRead);
    EXPECT_EQ(std::vector<int>({0, 1, 3}), report.drives);
    EXPECT_EQ(std::vector<char>({'C', 'D', 'E'}), report.volumes);
    EXPECT_EQ("loaded drives 00, 01, 03; volumes C:, D:, E:; skipped 03-mini: volume C: already listed by 01-cd",
              report.Text());

    EXPECT_EQ(0x29, Ioctl(OpenDrive(0), SMART_GET_VERSION, nullptr, 0, 24).bytes[3]);
    HANDLE port = sim.Open("\\\\.\\SCSI2:", kRW, kShareRW, OPEN_EXISTING, 0);
    Reply id = Ioctl(port, IOCTL_SCSI_MINIPORT, MiniportRequest(1).data(), 564, 564);
    EXPECT_TRUE(id.ok);
    EXPECT_EQ(3, sim.Requests().back().drive);
    HANDLE h = OpenDrive(3);
    EXPECT_EQ(0x1000000u, Get64(Ioctl(h, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, 40).bytes, 24));
    const DWORD flag[] = {0, 0, 1};
    const BYTE raw5[] = {3, 7, 7}, temperature[] = {35, 35, 50};
    const bool thresholdsOk[] = {true, false, true};
    for (int poll = 0; poll < 3; ++poll) {
        Reply r = Predict(h);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(flag[poll], Get32(r.bytes, 0));
        EXPECT_EQ(raw5[poll], r.bytes[4 + 2 + 12 + 5]);
        EXPECT_EQ(temperature[poll], r.bytes[4 + 2 + 24 + 5]);
        EXPECT_EQ(poll < 2 ? 100 : 77, r.bytes[4 + 2 + 3]);  // Change4 is past the gap at Change3
        EXPECT_EQ(thresholdsOk[poll], Rcv(h, ReadThresholds(3)).ok != FALSE) << poll;
    }
    EXPECT_EQ(2u, Get32(Ioctl(sim.Open("\\\\.\\D:", GENERIC_READ, kShareRW, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL),
                              IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, 2048)
                            .bytes,
                        0));
    ULONGLONG total = 0;
    EXPECT_TRUE(sim.DiskFreeSpace("C:", nullptr, &total, nullptr));
    EXPECT_EQ(500u, total);
    EXPECT_EQ(DWORD(0x1C), sim.LogicalDrives());
}

TEST(SimulatorFolder, SkipsBadFoldersAndSaysWhy) {
    TestDir dir("simbad");
    WriteDrive(dir, "04");
    WriteDrive(dir, "04b");
    WriteDrive(dir, "1x");
    WriteDrive(dir, "16");
    WriteDrive(dir, "100");
    WriteDrive(dir, "02-nosmart");
    fs::remove(fs::path(dir.Root()) / "02-nosmart" / "smart.bin");
    WriteDrive(dir, "05-short");
    TestDir::WriteAll((fs::path(dir.Root()) / "05-short" / "thresholds.bin").string(), std::string(511, '\0'));
    WriteDrive(dir, "06-inidir");
    fs::create_directories(fs::path(dir.Root()) / "06-inidir" / "drive.ini");
    for (const char* bad : {"[Smart]\nTemperature=hot\n", "[Drive]\nATAPI=yes\n", "[Drive]\nMiniport=1\n",
                            "[Faults]\nData=4-2\n", "[Smart]\nChange1=1, 5\n", "[Volumes]\nC=10,20\n",
                            "[Smart]\nRawCycle1=5\n", "[Smart]\nRawCycle1=0, 1, 2\n"}) {
        WriteDrive(dir, "07-badini", bad);
        Simulator sim;
        Simulator::LoadReport report = sim.LoadFolder(dir.Root());
        EXPECT_EQ(std::vector<int>({4}), report.drives) << bad;
        EXPECT_TRUE(Mentions(report.skipped, "07-badini: drive.ini [")) << bad;
        EXPECT_TRUE(Mentions(report.skipped, "04b: drive 4 already loaded from 04"));
        EXPECT_TRUE(Mentions(report.skipped, "1x: not a drive number"));
        EXPECT_TRUE(Mentions(report.skipped, "16: not a drive number"));
        EXPECT_TRUE(Mentions(report.skipped, "100: not a drive number"));
        EXPECT_TRUE(Mentions(report.skipped, "02-nosmart: smart.bin is missing"));
        EXPECT_TRUE(Mentions(report.skipped, "05-short: thresholds.bin has 511 bytes"));
        EXPECT_TRUE(Mentions(report.skipped, "06-inidir: drive.ini cannot be read"));
        EXPECT_EQ(8u, report.skipped.size());
    }
    Simulator sim;
    EXPECT_FALSE(sim.LoadFolder(dir.Path("missing")).folderRead);
}

TEST(SimulatorFolder, ServesRealDrivesBlocks) {
    const std::string fixtures = FixturesDir();
    ASSERT_FALSE(fixtures.empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    Simulator sim;
    // The fixture folders are named after the drives, not numbered.
    EXPECT_TRUE(sim.LoadFolder(fixtures + "/drives").drives.empty());
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(fixtures) / "drives")) {
        SimDrive drive;
        std::vector<SimVolume> volumes;
        std::string error;
        ASSERT_TRUE(LoadSimDrive(entry.path().string(), count % 16, &drive, &volumes, &error)) << error;
        EXPECT_TRUE(volumes.empty());
        ASSERT_TRUE(sim.AddDrive(drive));
        HANDLE h =
            sim.Open(("\\\\.\\PHYSICALDRIVE" + std::to_string(count % 16)).c_str(), kRW, kShareRW, OPEN_EXISTING, 0);
        SENDCMDINPARAMS id = IdentifyCmd(BYTE(count % 16)), data = ReadData(BYTE(count % 16));
        std::vector<BYTE> reply(528);
        DWORD returned = 0;
        ASSERT_TRUE(sim.Control(h, SMART_RCV_DRIVE_DATA, &id, 32, reply.data(), 528, &returned));
        // The model as the independent parser read it, from the bytes served.
        std::string model;
        for (size_t k = 0; k < 40; k += 2) model += {char(reply[16 + 54 + k + 1]), char(reply[16 + 54 + k])};
        model.erase(model.find_last_not_of(' ') + 1);
        model.erase(0, model.find_first_not_of(' '));
        const std::string expected = TestDir::ReadAll((entry.path() / "expected.txt").string());
        EXPECT_EQ(0u, expected.find("Model: [" + model + "]")) << entry.path();
        ASSERT_TRUE(sim.Control(h, SMART_RCV_DRIVE_DATA, &data, 32, reply.data(), 528, &returned));
        EXPECT_EQ(TestDir::ReadAll((entry.path() / "smart.bin").string()),
                  std::string(reply.begin() + 16, reply.end()));
        EXPECT_TRUE(sim.Close(h));
        ++count;
    }
    EXPECT_GT(count, 0);
    EXPECT_TRUE(sim.Refusals().empty());
}

TEST(SimulatorFolder, RawCyclesFromDriveIni) {
    TestDir dir("simcycle");
    WriteDrive(dir, "02", "[Smart]\nRawCycle1 = 5, 10, 20, 30\nRawCycle2 = 0xC2, 40\n");
    Simulator sim;
    ASSERT_EQ(std::vector<int>({2}), sim.LoadFolder(dir.Root()).drives);
    const SimDrive* drive = sim.Drive(2);
    ASSERT_EQ(2u, drive->rawCycles.size());
    EXPECT_EQ(0x05, drive->rawCycles[0].id);
    EXPECT_EQ(std::vector<ULONGLONG>({10, 20, 30}), drive->rawCycles[0].values);
    EXPECT_EQ(0xC2, drive->rawCycles[1].id);
    EXPECT_EQ(std::vector<ULONGLONG>({40}), drive->rawCycles[1].values);
}

TEST(SimulatorScript, RawCyclesRepeatOverThePolls) {
    SimDrive drive;
    drive.smart[2] = 0xC5;
    drive.smart[14] = 0x05;
    drive.rawCycles.push_back({0xC5, {7, 8, 9}});
    drive.rawCycles.push_back({0x05, {1, 0x010203040506ULL}});
    for (DWORD poll = 0; poll < 7; ++poll) {
        const SimBlock block = drive.SmartData(poll);
        EXPECT_EQ(7 + poll % 3, block[2 + 5]) << poll;
        EXPECT_EQ(poll % 2 ? 0x06 : 0x01, block[14 + 5]) << poll;
        EXPECT_EQ(poll % 2 ? 0x01 : 0x00, block[14 + 10]) << poll;
    }
}
