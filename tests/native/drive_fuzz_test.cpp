// A bounded random walk over drive access and block decoding: a device
// system that answers every request with random success, random byte counts
// and random bytes, and decoders run over random blocks held in allocations
// of exactly their size, so that any read outside a block is caught by the
// address sanitizer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>

#include "drive/atablocks.h"
#include "drive/basiclist.h"
#include "drive/device.h"
#include "drive/probe.h"
#include "drive/summaryline.h"
#include "drive/volumes.h"

namespace {

class RandomDevices : public DeviceSystem {
public:
    explicit RandomDevices(unsigned seed) : random_(seed) {}

    HANDLE Open(const char*, DWORD, DWORD, DWORD, DWORD) override {
        if (Chance(4)) return INVALID_HANDLE_VALUE;
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(++next_ * 4));
        open_.insert(handle);
        return handle;
    }
    BOOL Control(HANDLE device, DWORD, void*, DWORD, void* out, DWORD outSize, DWORD* returned) override {
        EXPECT_TRUE(open_.count(device)) << "request on a handle that is not open";
        BYTE* bytes = static_cast<BYTE*>(out);
        for (DWORD i = 0; i < outSize; ++i) bytes[i] = static_cast<BYTE>(Next() & (Chance(3) ? 0x0F : 0xFF));
        if (returned) *returned = outSize ? Next() % (outSize + 1) : 0;
        return !Chance(5);
    }
    BOOL Close(HANDLE device) override {
        EXPECT_EQ(1u, open_.erase(device)) << "closing a handle twice or one never opened";
        return TRUE;
    }
    DWORD PlatformId() override { return Chance(10) ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT; }
    DWORD LogicalDrives() override { return static_cast<DWORD>(Next()); }
    bool DiskFreeSpace(const char*, ULONGLONG* a, ULONGLONG* t, ULONGLONG* f) override {
        *a = Next();
        *t = (static_cast<ULONGLONG>(Next()) << 32) | Next();
        *f = Next();
        return !Chance(4);
    }
    void DebugOutput(const char* text) override { EXPECT_LT(std::strlen(text), 1024u); }

    size_t OpenHandles() const { return open_.size(); }
    unsigned Next() { return static_cast<unsigned>(random_()); }

private:
    bool Chance(unsigned oneIn) { return Next() % oneIn == 0; }

    std::mt19937 random_;
    unsigned next_ = 0;
    std::set<HANDLE> open_;
};

void ExpectTerminated(const char* text, size_t size) { EXPECT_LT(strnlen(text, size), size); }

}  // namespace

TEST(DriveFuzz, RandomDeviceAnswersNeverBreakTheProbe) {
    RandomDevices devices(20261208);
    DeviceSystem* previous = InstallDevices(&devices);
    for (int round = 0; round < 300; ++round) {
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        for (DriveInfo& drive : table->slots) drive.miniportAddr = devices.Next() % 3 ? 0xFFFFFFFF : devices.Next();
        CreateDevices(*table);
        ASSERT_LE(table->driveCount, kDriveSlots);
        AddAllDriveLetters(*table);
        for (int poll = 0; poll < 3; ++poll) UpdateDevices(*table);
        for (DWORD k = 0; k < table->driveCount; ++k) {
            DriveInfo& drive = table->Shown(k);
            ASSERT_TRUE(drive.present);
            SumDiskSpace(drive);
            ExpectTerminated(drive.summary.driveLetters, sizeof drive.summary.driveLetters);
            char line[kSummaryLineSize];
            SummaryLine(drive, line);
            ExpectTerminated(line, sizeof line);
            BasicRow rows[kBasicRows];
            if (FillBasicRows(drive, devices.Next() & 1, rows) != 0) {
                for (const BasicRow& row : rows) ExpectTerminated(row.value, sizeof row.value);
            }
        }
        CloseDevices(*table);
        EXPECT_EQ(0u, devices.OpenHandles());
    }
    InstallDevices(previous);
}

TEST(DriveFuzz, DecodersStayInsideTheirBlocks) {
    std::mt19937 random(77);
    for (int round = 0; round < 3000; ++round) {
        // Exactly sized copies: a read past a block is a heap overflow.
        std::unique_ptr<BYTE[]> identify(new BYTE[kAtaBlockSize]);
        std::unique_ptr<BYTE[]> data(new BYTE[kAtaBlockSize]);
        std::unique_ptr<BYTE[]> thresholds(new BYTE[kAtaBlockSize]);
        for (DWORD i = 0; i < kAtaBlockSize; ++i) {
            identify[i] = static_cast<BYTE>(random());
            data[i] = static_cast<BYTE>(random() % 4 ? random() : 0x20);
            thresholds[i] = static_cast<BYTE>(random());
        }
        std::unique_ptr<DriveInfo> drive(new DriveInfo());
        GETVERSIONINPARAMS version = {};
        version.bIDEDeviceMap = static_cast<BYTE>(random());
        drive->versionResult = &version;
        drive->identifyResult = identify.get();
        drive->io.pIdentify = identify.get();
        drive->io.pDA = data.get() + 2;
        drive->io.pAT = thresholds.get() + 2;
        drive->io.hDevice = reinterpret_cast<HANDLE>(8);

        BasicRow rows[kBasicRows];
        ASSERT_EQ(kBasicRows, FillBasicRows(*drive, random() & 1, rows));
        for (const BasicRow& row : rows) ExpectTerminated(row.value, sizeof row.value);
        char capacity[32];
        FormatCapacity(drive->io.pIdentify, capacity);
        ExpectTerminated(capacity, sizeof capacity);
        EXPECT_NE(nullptr, TransferModeName(drive->io.pIdentify));
        BYTE raw[6];
        FindAttribute(drive->io.pDA, static_cast<BYTE>(random() | 1), raw);
        for (DWORD k = 0; k < 32; ++k) {
            AttributeAt(drive->io.pDA, k);
            ThresholdAt(drive->io.pAT, k);
        }
        char strings[64] = {};
        SwapAtaString(identify.get() + 54, 40, strings);
        ExpectTerminated(strings, sizeof strings);
        drive->io.hDevice = nullptr;
    }
}
