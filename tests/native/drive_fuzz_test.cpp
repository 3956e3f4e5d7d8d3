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
#include "settings/appsettings.h"
#include "smart/attributerows.h"
#include "smart/evaluation.h"

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

// Random attribute and threshold tables, with gaps, duplicate ids, garbage
// in empty entries and any temperature id, through the evaluation and the
// attribute rows: every value is what the first entry of its id says.
TEST(DriveFuzz, RandomTablesThroughTheEvaluationAndTheRows) {
    std::mt19937 random(4242);
    const BYTE pool[] = {0x00, 0x00, 0x05, 0x09, 0xBE, 0xC2, 0xC4, 0xC5, 0xC6, 0x01};
    AppSettings settings;
    SetStartValues(settings);
    for (int round = 0; round < 2000; ++round) {
        std::unique_ptr<BYTE[]> identify(new BYTE[kAtaBlockSize]);
        std::unique_ptr<BYTE[]> data(new BYTE[kAtaBlockSize]);
        std::unique_ptr<BYTE[]> thresholds(new BYTE[kAtaBlockSize]);
        for (DWORD i = 0; i < kAtaBlockSize; ++i) {
            identify[i] = static_cast<BYTE>(random());
            data[i] = static_cast<BYTE>(random());
            thresholds[i] = static_cast<BYTE>(random());
        }
        for (DWORD k = 0; k < kAttributeEntries; ++k) {
            data[2 + 12 * k] = random() % 4 ? pool[random() % sizeof pool] : static_cast<BYTE>(random());
            thresholds[2 + 12 * k] = random() % 2 ? data[2 + 12 * ((k + random() % 3) % kAttributeEntries)]
                                                  : pool[random() % sizeof pool];
        }
        std::unique_ptr<DriveTable> table(new DriveTable());
        table->Clear();
        DriveInfo& drive = table->slots[0];
        drive.present = 1;
        drive.identifyResult = identify.get();
        drive.io.pIdentify = identify.get();
        drive.dataResult = data.get() + 2;
        drive.io.pDA = data.get() + 2;
        drive.thresholdResult = random() % 5 ? thresholds.get() + 2 : nullptr;
        drive.io.pAT = drive.thresholdResult;
        drive.io.hDevice = INVALID_HANDLE_VALUE;  // open, but no geometry to ask for
        drive.tempAttrId = random() % 3 ? pool[random() % sizeof pool] : static_cast<BYTE>(random());
        RefreshDrive(*table, 0, settings);

        // The first entry of each id, as the rules read the table.
        auto first = [&](BYTE id, LONG* count, BYTE* low) {
            for (DWORD k = 0; id != 0 && k < kAttributeEntries; ++k) {
                const SmartAttribute a = AttributeAt(drive.dataResult, k);
                if (a.id != id) continue;
                if (count) *count = RawCount(a.raw);
                if (low) *low = a.raw[0];
                return;
            }
        };
        LONG raw05 = 0, rawC4 = 0, rawC5 = 0, rawC6 = 0, hours = 0;
        BYTE temperature = 0;
        first(0x05, &raw05, nullptr);
        first(0xC4, &rawC4, nullptr);
        first(0xC5, &rawC5, nullptr);
        first(0xC6, &rawC6, nullptr);
        first(0x09, &hours, nullptr);
        first(drive.tempAttrId, nullptr, &temperature);
        const DriveSummary& got = drive.summary;
        ASSERT_EQ(raw05, got.raw05);
        ASSERT_EQ(rawC4, got.rawC4);
        ASSERT_EQ(rawC5, got.rawC5);
        ASSERT_EQ(rawC6, got.rawC6);
        ASSERT_EQ(hours, got.powerOnHours);
        ASSERT_EQ(static_cast<signed char>(temperature), got.temperature) << "id " << int(drive.tempAttrId);
        const LONG status = rawC4 > 0 || rawC5 > 0 || rawC6 > 0 ? HealthDanger : raw05 > 0 ? HealthCaution : HealthGood;
        ASSERT_EQ(status, drive.status);
        const PanelTexts& texts = drive.texts;
        ExpectTerminated(texts.summary, sizeof texts.summary);
        ExpectTerminated(texts.counts, sizeof texts.counts);
        ExpectTerminated(texts.powerOnTime, sizeof texts.powerOnTime);
        ExpectTerminated(texts.maxTemperature, sizeof texts.maxTemperature);
        ExpectTerminated(texts.usage, sizeof texts.usage);

        AttributeRow rows[kAttributeEntries];
        const DWORD count = FillAttributeRows(drive, random() & 1, rows);
        DWORD row = 0;
        for (DWORD k = 0; k < kAttributeEntries; ++k) {
            const SmartAttribute a = AttributeAt(drive.dataResult, k);
            if (a.id == 0) continue;
            ASSERT_LT(row, count);
            SmartThreshold t;
            char warn[8] = "-";
            if (FindThreshold(drive.thresholdResult, a.id, &t)) std::snprintf(warn, sizeof warn, "%3d", t.threshold);
            ASSERT_STREQ(warn, rows[row].warn);
            ExpectTerminated(rows[row].raw, sizeof rows[row].raw);
            ++row;
        }
        ASSERT_EQ(row, count);
        drive.io.hDevice = nullptr;
        drive.io.pIdentify = drive.io.pDA = drive.io.pAT = nullptr;
    }
}
