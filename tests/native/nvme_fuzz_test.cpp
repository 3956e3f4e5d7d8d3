// A bounded random walk over the NVMe path: random identify data and
// health logs in allocations of exactly their size through the evaluation
// and both lists; random answers to the property queries through the
// probe; and random queries to the simulator, which must answer or refuse
// each without touching a byte outside the buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "drive/basiclist.h"
#include "drive/device.h"
#include "drive/nvmeblocks.h"
#include "drive/probe.h"
#include "drive/summaryline.h"
#include "settings/appsettings.h"
#include "sim/blockbuilder.h"
#include "sim/simulator.h"
#include "smart/attributerows.h"
#include "smart/evaluation.h"

namespace {

void ExpectTerminated(const char* text, size_t size) { EXPECT_LT(strnlen(text, size), size); }

std::unique_ptr<BYTE[]> RandomBlock(std::mt19937& random, DWORD size) {
    std::unique_ptr<BYTE[]> block(new BYTE[size]);
    for (DWORD i = 0; i < size; ++i) block[i] = static_cast<BYTE>(random() % 3 ? random() : 0);
    return block;
}

}  // namespace

TEST(NvmeFuzz, RandomBlocksThroughTheEvaluationAndTheLists) {
    std::mt19937 random(5150);
    AppSettings settings;
    SetStartValues(settings);
    for (int round = 0; round < 1000; ++round) {
        std::unique_ptr<BYTE[]> identify = RandomBlock(random, kNvmeIdentifySize);
        std::unique_ptr<BYTE[]> health = RandomBlock(random, kNvmeHealthSize);
        if (random() % 2) health[kNvmeCriticalWarning] &= kNvmeWarningTemperature;
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        DriveInfo& drive = table->slots[0];
        drive.present = 1;
        drive.protocol = ProtocolNvme;
        drive.nvmeIdentifyResult = identify.get();
        drive.nvmeHealthResult = health.get();
        drive.limit05 = static_cast<LONG>(random() % 120);
        drive.limitC6 = static_cast<LONG>(random() % 3);
        RefreshDrive(*table, 0, settings);

        // The rules, read from the bytes.
        const LONG spareUsed = std::max(0, 100 - health[kNvmeAvailableSpare]);
        bool bigErrors = false;
        for (DWORD k = 4; k < kNvmeCounterSize; ++k) bigErrors |= health[kNvmeMediaErrors + k] != 0;
        const ULONGLONG low = NvmeDword(health.get(), kNvmeMediaErrors);
        const LONG errors = bigErrors || low > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(low);
        const bool critical = (health[kNvmeCriticalWarning] & 0x3D) != 0;
        const LONG status = critical || errors > drive.limitC6 ? HealthDanger
                            : spareUsed > drive.limit05     ? HealthCaution
                                                            : HealthGood;
        ASSERT_EQ(spareUsed, drive.summary.raw05);
        ASSERT_EQ(errors, drive.summary.rawC6);
        ASSERT_EQ(status, drive.status);
        ASSERT_EQ(ProtocolNvme, drive.summary.reserved[0]);
        for (const char* text : {drive.texts.summary, drive.texts.counts, drive.texts.powerOnTime}) {
            ExpectTerminated(text, kSummaryLineSize);
        }
        ExpectTerminated(drive.summary.model, sizeof drive.summary.model);
        ExpectTerminated(drive.summary.serial, sizeof drive.summary.serial);
        ExpectTerminated(drive.summary.firmware, sizeof drive.summary.firmware);

        AttributeRow rows[kAttributeEntries];
        DWORD sensors = 0;
        for (DWORD k = 0; k < kNvmeSensorCount; ++k) sensors += NvmeWord(health.get(), kNvmeTemperatureSensors + 2 * k) != 0;
        ASSERT_EQ(17 + sensors, FillAttributeRows(drive, random() & 1, rows));
        for (DWORD k = 0; k < 17 + sensors; ++k) ExpectTerminated(rows[k].raw, sizeof rows[k].raw);
        BasicRow basic[kBasicRows];
        const DWORD count = FillBasicRows(drive, random() & 1, basic);
        ASSERT_GT(count, 0u);
        for (DWORD k = 0; k < count; ++k) ExpectTerminated(basic[k].value, sizeof basic[k].value);
    }
}

namespace {

// Turns down the ATA requests as the NVMe driver does and answers the
// property queries with random bytes, now and then with a well-formed
// header, so that the reply checks are met and missed in every way.
class RandomNvmeDevices : public DeviceSystem {
public:
    explicit RandomNvmeDevices(unsigned seed) : random_(seed) {}

    HANDLE Open(const char*, DWORD, DWORD, DWORD, DWORD) override {
        if (Chance(5)) return INVALID_HANDLE_VALUE;
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(++next_ * 4));
        open_.insert(handle);
        return handle;
    }
    BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) override {
        EXPECT_TRUE(open_.count(device)) << "request on a handle that is not open";
        *returned = 0;
        if (code != IOCTL_STORAGE_QUERY_PROPERTY) return FALSE;
        EXPECT_GE(inSize, 8u);
        // The reply overwrites the query in the same buffer.
        const std::vector<BYTE> query(static_cast<const BYTE*>(in), static_cast<const BYTE*>(in) + inSize);
        DWORD property;
        std::memcpy(&property, query.data(), sizeof property);
        BYTE* bytes = static_cast<BYTE*>(out);
        for (DWORD i = 0; i < outSize; ++i) bytes[i] = static_cast<BYTE>(Next());
        const bool wellFormed = !Chance(4);
        if (property == StorageDeviceProperty && outSize >= sizeof(STORAGE_DEVICE_DESCRIPTOR) && wellFormed) {
            const DWORD bus = Chance(5) ? BusTypeSata : BusTypeNvme;
            std::memcpy(bytes + offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType), &bus, sizeof bus);
        } else if (property != StorageDeviceProperty && outSize >= 48 && inSize >= 48 && wellFormed) {
            const DWORD header[] = {sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR), sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR)};
            std::memcpy(bytes, header, sizeof header);
            std::memcpy(bytes + 8, query.data() + 8, 40);
            if (Chance(3)) bytes[8 + 16 + Next() % 8] ^= static_cast<BYTE>(1 + Next() % 255);
        }
        *returned = Chance(6) ? Next() % (outSize + 1) : outSize;
        return !Chance(8);
    }
    BOOL Close(HANDLE device) override {
        EXPECT_EQ(1u, open_.erase(device)) << "closing a handle twice or one never opened";
        return TRUE;
    }
    DWORD PlatformId() override { return VER_PLATFORM_WIN32_NT; }
    DWORD LogicalDrives() override { return 0; }
    bool DiskFreeSpace(const char*, ULONGLONG*, ULONGLONG*, ULONGLONG*) override { return false; }
    void DebugOutput(const char* text) override { EXPECT_LT(std::strlen(text), 1024u); }

    size_t OpenHandles() const { return open_.size(); }

private:
    unsigned Next() { return static_cast<unsigned>(random_()); }
    bool Chance(unsigned oneIn) { return Next() % oneIn == 0; }

    std::mt19937 random_;
    unsigned next_ = 0;
    std::set<HANDLE> open_;
};

bool Inside(const BYTE* p, const void* buffer, size_t size, size_t length) {
    const BYTE* start = static_cast<const BYTE*>(buffer);
    return p >= start && p + length <= start + size;
}

}  // namespace

TEST(NvmeFuzz, RandomQueryAnswersNeverBreakTheProbe) {
    RandomNvmeDevices devices(1809);
    DeviceSystem* previous = InstallDevices(&devices);
    AppSettings settings;
    SetStartValues(settings);
    int nvme = 0;
    for (int round = 0; round < 200; ++round) {
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        CreateDevices(*table);
        for (int poll = 0; poll < 3; ++poll) {
            UpdateDevices(*table);
            for (DWORD k = 0; k < table->driveCount; ++k) {
                DriveInfo& drive = table->Shown(k);
                ASSERT_EQ(ProtocolNvme, drive.protocol);
                ASSERT_TRUE(Inside(drive.nvmeIdentifyResult, &drive.io.identifyQuery, sizeof drive.io.identifyQuery,
                                   kNvmeIdentifySize));
                ASSERT_TRUE(drive.nvmeHealthResult == nullptr ||
                            Inside(drive.nvmeHealthResult, &drive.io.healthQuery, sizeof drive.io.healthQuery,
                                   kNvmeHealthSize));
                RefreshDrive(*table, table->shown[k], settings);
                char line[kSummaryLineSize];
                SummaryLine(drive, line);
                ExpectTerminated(line, sizeof line);
            }
        }
        nvme += table->driveCount;
        CloseDevices(*table);
        ASSERT_EQ(0u, devices.OpenHandles());
    }
    EXPECT_GT(nvme, 100) << "the walk reaches NVMe drives";
    InstallDevices(previous);
}

TEST(NvmeFuzz, TheSimulatorAnswersOrRefusesAnyQuery) {
    Simulator sim;
    SimDrive drive;
    drive.number = 0;
    drive.nvme = true;
    drive.nvmeIdentify = BuildNvmeIdentify("FUZZED NVME", "S1", "F1", 1ULL << 40);
    drive.nvmeHealth = BuildNvmeHealth({40, 100, 10, 0, 1, 2, 3, 4, 5, 6, 7, {40, 41}});
    sim.AddDrive(drive);
    sim.SetLogLimit(16);
    HANDLE device = sim.Open("\\\\.\\PHYSICALDRIVE0", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    std::mt19937 random(1903);
    const DWORD known[] = {0, 1, 2, 3, 40, 48, 49, 50, 512, 4096};
    const std::set<DWORD> errors = {1, 2, 5, 31, 50, 87, 122};
    int answered = 0;
    for (int round = 0; round < 5000; ++round) {
        // A query as the program builds it (the device property, the
        // identify data or the health log), then a field or a size spoiled.
        const DWORD kind = random() % 3;
        const DWORD dataSize = kind == 1 ? kNvmeIdentifySize : kNvmeHealthSize;
        DWORD fields[12] = {kind == 0 ? 0u : kind == 1 ? 49u : 50u, 0, 3, kind == 1 ? 1u : 2u, kind == 1 ? 1u : 2u,
                            0, 40, dataSize};
        DWORD inSize = kind == 0 ? 12 : 48;
        DWORD outSize = kind == 0 ? 1024 : 48 + dataSize;
        switch (random() % 4) {
            case 0: break;
            case 1: fields[random() % 12] = random() % 2 ? known[random() % (sizeof known / sizeof known[0])] : random(); break;
            case 2: inSize = random() % 64; break;
            default: outSize = random() % 2 ? outSize - 1 - random() % 48 : random() % 5000; break;
        }
        std::vector<BYTE> in(std::max<DWORD>(inSize, 1));
        std::memcpy(in.data(), fields, std::min<size_t>(inSize, sizeof fields));
        // Exactly sized: a write past the output is a heap overflow.
        std::unique_ptr<BYTE[]> out(new BYTE[outSize ? outSize : 1]);
        DWORD returned = 0xDEAD;
        const BOOL ok = sim.Control(device, IOCTL_STORAGE_QUERY_PROPERTY, inSize ? in.data() : nullptr, inSize,
                                    outSize ? out.get() : nullptr, outSize, &returned);
        const Simulator::Request last = sim.Requests().back();
        if (ok) {
            ++answered;
            ASSERT_LE(returned, outSize);
            ASSERT_EQ(0u, last.error);
        } else {
            ASSERT_TRUE(errors.count(last.error)) << "error " << last.error << ": " << last.reason;
            ASSERT_FALSE(last.reason.empty());
        }
    }
    EXPECT_GT(answered, 50) << "the walk reaches answered queries";
    sim.Close(device);
    EXPECT_EQ(0, sim.OpenHandles());
}
