// NVMe drives against the strict simulator: the health rules over polls,
// the record's saturation and clamps, the rights the queries need, and the
// queries Windows refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/simulated_drives.h"
#include "common/test_dir.h"
#include "drive/nvmeblocks.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/blockbuilder.h"
#include "sim/simchecks.h"
#include "smart/attributerows.h"
#include "smart/evaluation.h"
#include "smart/healthcauses.h"
#include "smart/limits.h"

namespace {

SimDrive NvmeDrive(int number) {
    SimDrive drive;
    drive.number = number;
    drive.nvme = true;
    drive.nvmeIdentify = BuildNvmeIdentify("NVME UNDER TEST", "SN0001", "FW01", 512110190592ULL);
    drive.nvmeHealth = BuildNvmeHealth({35, 100, 10, 1, 1000, 2000, 3000, 4000, 30, 4000, 5, {35, 40}});
    return drive;
}

SimNvmeChange Change(DWORD poll, DWORD offset, DWORD size, ULONGLONG value) {
    SimNvmeChange c;
    c.fromPoll = poll;
    c.offset = offset;
    c.size = size;
    c.value = value;
    return c;
}

class Nvme : public SimulatedDrives {
protected:
    Nvme() { SetStartValues(settings_); }
    DriveInfo& Refresh(DWORD slot = 0) {
        RefreshDrive(*table_, slot, settings_);
        return table_->slots[slot];
    }
    AppSettings settings_;
};

}  // namespace

TEST_F(Nvme, StatusFollowsTheCriticalWarningSpareAndMediaErrorsOverPolls) {
    SimDrive drive = NvmeDrive(0);
    drive.nvmeChanges = {
        Change(1, kNvmeCriticalWarning, 1, kNvmeWarningTemperature),  // heat alone: still good
        Change(2, kNvmeCriticalWarning, 1, 0),
        Change(2, kNvmeAvailableSpare, 1, 97),  // 3 % used
        Change(3, kNvmeMediaErrors, 16, 2),
        Change(4, kNvmeMediaErrors, 16, 0),
        Change(4, kNvmeAvailableSpare, 1, 100),
    };
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    ASSERT_EQ(1u, table_->driveCount);
    EXPECT_EQ(HealthGood, Refresh().status);

    // With what made each status so, as a worse drive is announced.
    typedef std::vector<std::string> Causes;
    const struct {
        LONG status;
        Causes causes;
    } expected[] = {
        {HealthGood, {}},
        {HealthCaution, {"Spare Used : 3%"}},
        {HealthDanger, {"Spare Used : 3%", "Media and Data Integrity Errors : 2"}},
        {HealthGood, {}},
    };
    for (const auto& want : expected) {
        UpdateDevices(*table_);
        EXPECT_EQ(want.status, Refresh().status) << "poll " << sim_.Poll(0);
        EXPECT_EQ(want.causes, HealthCauses(table_->slots[0], settings_)) << "poll " << sim_.Poll(0);
    }

    // Each of the other warning bits alone is a danger.
    for (BYTE bit : {kNvmeWarningSpare, kNvmeWarningReliability, kNvmeWarningReadOnly, kNvmeWarningBackup,
                     kNvmeWarningPersistent}) {
        sim_.Drive(0)->nvmeChanges = {Change(0, kNvmeCriticalWarning, 1, bit | kNvmeWarningTemperature)};
        UpdateDevices(*table_);
        EXPECT_EQ(HealthDanger, Refresh().status) << "bit " << static_cast<int>(bit);
        char warning[32];
        std::snprintf(warning, sizeof warning, "Critical Warning : 0x%02X", bit | kNvmeWarningTemperature);
        EXPECT_EQ(Causes{warning}, HealthCauses(table_->slots[0], settings_));
    }
}

TEST_F(Nvme, TheLimitsMoveWithTheCurrentValuesAndBack) {
    SimDrive drive = NvmeDrive(0);
    drive.nvmeChanges = {Change(0, kNvmeAvailableSpare, 1, 92), Change(0, kNvmeMediaErrors, 16, 7)};
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    DriveInfo& d = Refresh();
    EXPECT_EQ(HealthDanger, d.status);
    EXPECT_EQ(8, d.summary.raw05);
    EXPECT_EQ(7, d.summary.rawC6);

    SetLimitsToCurrent(*table_, 0);
    EXPECT_EQ(8, d.limit05);
    EXPECT_EQ(7, d.limitC6);
    EXPECT_EQ(HealthGood, Refresh().status);
    sim_.Drive(0)->nvmeChanges.push_back(Change(0, kNvmeAvailableSpare, 1, 91));
    UpdateDevices(*table_);
    EXPECT_EQ(HealthCaution, Refresh().status) << "one more percent of spare used";

    ResetLimits(*table_, 0);
    EXPECT_EQ(HealthDanger, Refresh().status);
}

TEST_F(Nvme, TheRecordSaturatesCountsAndClampsTemperatures) {
    SimDrive drive = NvmeDrive(0);
    drive.nvmeChanges = {
        Change(1, kNvmePowerOnHours, 16, 0x80000000ULL),
        Change(1, kNvmeMediaErrors, 16, ~0ULL),
        Change(1, kNvmeAvailableSpare, 1, 255),     // more than 100 % spare: none used
        Change(1, kNvmeCompositeTemperature, 2, 1000),  // 727 C
        Change(2, kNvmeCompositeTemperature, 2, 100),   // -173 C
        Change(3, kNvmeCompositeTemperature, 2, 0),     // not reported
    };
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    DriveInfo& d = Refresh();
    EXPECT_EQ(35, d.summary.temperature);
    EXPECT_EQ(4000, d.summary.powerOnHours);
    EXPECT_EQ(ProtocolNvme, d.summary.reserved[0]);

    UpdateDevices(*table_);
    Refresh();
    EXPECT_EQ(2147483647, d.summary.powerOnHours);
    EXPECT_EQ(2147483647, d.summary.rawC6);
    EXPECT_EQ(0, d.summary.raw05);
    EXPECT_EQ(127, d.summary.temperature);
    EXPECT_EQ(127, d.summary.maxTemperature);
    UpdateDevices(*table_);
    Refresh();
    EXPECT_EQ(-128, d.summary.temperature);
    UpdateDevices(*table_);
    Refresh();
    EXPECT_EQ(-128, d.summary.temperature) << "a temperature of 0 K keeps the last one";
    EXPECT_EQ(127, d.summary.maxTemperature);

    AttributeRow rows[kAttributeEntries];
    const DWORD count = FillAttributeRows(d, 0, rows);
    ASSERT_EQ(19u, count) << "17 fields and two sensors";
    EXPECT_STREQ("-", rows[1].raw);
    EXPECT_STREQ("18446744073709551615", rows[13].raw);
    EXPECT_STREQ("A0", rows[13].id);
    EXPECT_STREQ("2147483648", rows[11].raw);
    EXPECT_STREQ("C8", rows[17].id);
    EXPECT_STREQ("35", rows[17].raw);
}

TEST(NvmeCounters, AllOneHundredAndTwentyEightBitsInDecimal) {
    BYTE block[kNvmeHealthSize] = {};
    char text[kNvmeCounterTextSize];
    const auto counter = [&](ULONGLONG low, ULONGLONG high) {
        for (int k = 0; k < 8; ++k) {
            block[32 + k] = static_cast<BYTE>(low >> (8 * k));
            block[40 + k] = static_cast<BYTE>(high >> (8 * k));
        }
        return NvmeCounterAt(block, 32);
    };
    NvmeCounterText(counter(0, 0), text);
    EXPECT_STREQ("0", text);
    NvmeCounterText(counter(0, 1), text);
    EXPECT_STREQ("18446744073709551616", text);
    NvmeCounterText(counter(~0ULL, ~0ULL), text);
    EXPECT_STREQ("340282366920938463463374607431768211455", text);
    NvmeCounterText(counter(1000000000000000000ULL, 0x36ULL), text);
    EXPECT_STREQ("997124179980315787264", text) << "0x36 * 2^64 + 10^18";
    EXPECT_EQ(2147483647, NvmeSaturatedCount(counter(5, 1)));
    EXPECT_EQ(~0ULL, NvmeSaturatedBytes(counter(5, 1)));
}

TEST_F(Nvme, QueriesNeedNoRightsToReadAndWrite) {
    SimDrive nvme = NvmeDrive(1);
    nvme.readWrite = false;
    sim_.AddDrive(nvme);
    CreateDevices(*table_);
    ASSERT_EQ(1u, table_->driveCount);
    EXPECT_EQ(HealthGood, Refresh(1).status);
    EXPECT_STREQ("NVME UNDER TEST", table_->slots[1].summary.model);

    // The read-write opens were turned down, the one with no rights taken.
    std::vector<DWORD> accessErrors;
    int ataRequests = 0;
    for (const Simulator::Request& r : sim_.Requests()) {
        if (r.kind == "open" && r.drive == 1) accessErrors.push_back(r.error);
        if (r.kind == "ioctl" && r.ioctl != IOCTL_STORAGE_QUERY_PROPERTY) ++ataRequests;
    }
    ASSERT_FALSE(accessErrors.empty());
    EXPECT_EQ(0u, accessErrors.back());
    accessErrors.pop_back();
    EXPECT_EQ(std::vector<DWORD>(accessErrors.size(), kErrorAccessDenied), accessErrors);
    EXPECT_EQ(0, ataRequests) << "without rights the ATA path stops at the open";
}

TEST_F(Nvme, AnNvmeDriveTurnsDownTheAtaRequestsAndFaultsFailItsPolls) {
    SimDrive drive = NvmeDrive(2);
    drive.faults.data.Add(2, 3);
    sim_.AddDrive(drive);
    CreateDevices(*table_);
    ASSERT_EQ(1u, table_->driveCount);
    bool versionTurnedDown = false;
    for (const Simulator::Request& r : sim_.Requests()) {
        if (r.ioctl == SMART_GET_VERSION)
            versionTurnedDown = r.outcome == Simulator::Outcome::Aborted && r.error == kErrorInvalidFunction;
    }
    EXPECT_TRUE(versionTurnedDown);

    DriveInfo& d = Refresh(2);
    for (int poll = 1; poll <= 4; ++poll) {
        UpdateDevices(*table_);
        EXPECT_EQ(poll < 2 || poll > 3, d.nvmeHealthResult != nullptr) << "poll " << poll;
        Refresh(2);
        EXPECT_EQ(HealthGood, d.status) << "a failed poll keeps the last evaluation";
    }
}

namespace {

// The health log query laid out by hand, as a program that gets it wrong
// would; the reply's descriptor overlays the first two fields.
struct HealthQuery {
    DWORD propertyId;
    DWORD queryType;
    STORAGE_PROTOCOL_SPECIFIC_DATA protocol;
    BYTE data[kNvmeHealthSize];
};
static_assert(offsetof(HealthQuery, protocol) == 8 && sizeof(HealthQuery) == 560, "the documented layout");

class NvmeQueries : public ::testing::Test {
protected:
    NvmeQueries() {
        sim_.AddDrive(NvmeDrive(0));
        device_ = sim_.Open("\\\\.\\PHYSICALDRIVE0", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    }
    ~NvmeQueries() override { sim_.Close(device_); }

    // As Microsoft documents it.
    static HealthQuery Health() {
        HealthQuery q;
        std::memset(&q, 0, sizeof q);
        q.propertyId = StorageDeviceProtocolSpecificProperty;
        q.queryType = PropertyStandardQuery;
        q.protocol.ProtocolType = ProtocolTypeNvme;
        q.protocol.DataType = NVMeDataTypeLogPage;
        q.protocol.ProtocolDataRequestValue = 2;
        q.protocol.ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
        q.protocol.ProtocolDataLength = kNvmeHealthSize;
        return q;
    }
    // The error the query ends with, 0 when answered.
    DWORD Ask(HealthQuery& q, DWORD inSize = sizeof(HealthQuery), DWORD outSize = sizeof(HealthQuery)) {
        DWORD returned = 0;
        const BOOL ok = sim_.Control(device_, IOCTL_STORAGE_QUERY_PROPERTY, &q, inSize, &q, outSize, &returned);
        const Simulator::Request last = sim_.Requests().back();
        EXPECT_EQ(ok != FALSE, last.error == 0);
        return last.error;
    }

    Simulator sim_;
    HANDLE device_;
};

}  // namespace

TEST_F(NvmeQueries, AreRefusedAsWindowsRefusesThem) {
    HealthQuery q = Health();
    ASSERT_EQ(0u, Ask(q));
    EXPECT_EQ(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR), q.queryType) << "the descriptor's size";
    EXPECT_EQ(kNvmeHealthSize, q.protocol.ProtocolDataLength);
    EXPECT_EQ(sim_.Drive(0)->nvmeHealth[kNvmeCompositeTemperature], q.data[kNvmeCompositeTemperature]);

    struct Case {
        const char* what;
        void (*spoil)(HealthQuery&);
        DWORD error;
    };
    const Case cases[] = {
        {"a property no one asks", [](HealthQuery& q) { q.propertyId = 1; /* the adapter property */ },
         kErrorNotSupported},
        {"an exists query", [](HealthQuery& q) { q.queryType = PropertyExistsQuery; },
         kErrorInvalidParameter},
        {"the ATA protocol", [](HealthQuery& q) { q.protocol.ProtocolType = static_cast<STORAGE_PROTOCOL_TYPE>(2); },
         kErrorInvalidParameter},
        {"identify data from the device property",
         [](HealthQuery& q) { q.protocol.DataType = NVMeDataTypeIdentify; }, kErrorInvalidParameter},
        {"another log page", [](HealthQuery& q) { q.protocol.ProtocolDataRequestValue = 1; },
         kErrorInvalidParameter},
        {"a sub-value", [](HealthQuery& q) { q.protocol.ProtocolDataRequestSubValue = 4; },
         kErrorInvalidParameter},
        {"data inside the protocol block", [](HealthQuery& q) { q.protocol.ProtocolDataOffset = 16; },
         kErrorInvalidParameter},
        {"a short data length", [](HealthQuery& q) { q.protocol.ProtocolDataLength = 511; },
         kErrorInvalidParameter},
        {"data beyond the buffer", [](HealthQuery& q) { q.protocol.ProtocolDataOffset = 41; },
         kErrorInsufficientBuffer},
    };
    for (const Case& c : cases) {
        HealthQuery spoiled = Health();
        c.spoil(spoiled);
        EXPECT_EQ(c.error, Ask(spoiled)) << c.what;
    }
    HealthQuery whole = Health();
    EXPECT_EQ(kErrorInvalidParameter, Ask(whole, 11)) << "an input shorter than the query";
    EXPECT_EQ(kErrorInvalidParameter, Ask(whole, 47)) << "no room for the protocol block";
    EXPECT_EQ(kErrorInsufficientBuffer, Ask(whole, sizeof whole, sizeof whole - 1)) << "an output one byte short";
    EXPECT_EQ(kErrorAccessDenied, [&] {
        DWORD returned = 0;
        BYTE out[24];
        sim_.Control(device_, SMART_GET_VERSION, nullptr, 0, out, sizeof out, &returned);
        return sim_.Requests().back().error;
    }()) << "the ATA requests need rights the query handle lacks";
}

namespace {

// An NVMe drive folder with the blocks of NvmeDrive() and a drive.ini.
void WriteNvmeFolder(const TestDir& dir, const std::string& name, const std::string& ini) {
    const SimDrive drive = NvmeDrive(0);
    std::filesystem::create_directories(dir.Path(name));
    TestDir::WriteAll(dir.Path(name + "/nvme-identify.bin"),
                      std::string(reinterpret_cast<const char*>(drive.nvmeIdentify.data()), kNvmeIdentifySize));
    TestDir::WriteAll(dir.Path(name + "/nvme-health.bin"),
                      std::string(reinterpret_cast<const char*>(drive.nvmeHealth.data()), kNvmeHealthSize));
    if (!ini.empty()) TestDir::WriteAll(dir.Path(name + "/drive.ini"), ini);
}

}  // namespace

TEST(NvmeFolders, DriveIniScriptsTheLogAndTurnsDownWhatAnNvmeDriveCannotHave) {
    TestDir dir("simnvme");
    WriteNvmeFolder(dir, "03",
                    "[Drive]\nReadWrite=0\n[Nvme]\nTemperature=50, 2:60\nSpare=1:90\nMediaErrors=3:4\n"
                    "CriticalWarning=4:0x08\nChange1=5, 128, 16, 99999\n[Faults]\nData=6\n");
    Simulator sim;
    ASSERT_EQ(std::vector<int>({3}), sim.LoadFolder(dir.Root()).drives);
    const SimDrive& d = *sim.Drive(3);
    EXPECT_TRUE(d.nvme);
    EXPECT_FALSE(d.readWrite);
    EXPECT_TRUE(d.faults.data.Contains(6));
    struct Read {
        DWORD poll;
        WORD kelvin;
        BYTE spare, warning;
        ULONGLONG mediaErrors, hours;
    };
    for (const Read& want : {Read{0, 323, 100, 0, 0, 4000}, Read{2, 333, 90, 0, 0, 4000}, Read{3, 333, 90, 0, 4, 4000},
                             Read{5, 333, 90, 0x08, 4, 99999}}) {
        const SimBlock log = d.NvmeHealth(want.poll);
        EXPECT_EQ(want.kelvin, NvmeWord(log.data(), kNvmeCompositeTemperature)) << "poll " << want.poll;
        EXPECT_EQ(want.spare, log[kNvmeAvailableSpare]) << "poll " << want.poll;
        EXPECT_EQ(want.warning, log[kNvmeCriticalWarning]) << "poll " << want.poll;
        EXPECT_EQ(want.mediaErrors, NvmeCounterAt(log.data(), kNvmeMediaErrors).low) << "poll " << want.poll;
        EXPECT_EQ(want.hours, NvmeCounterAt(log.data(), kNvmePowerOnHours).low) << "poll " << want.poll;
    }

    for (const char* bad : {"[Nvme]\nSpare=256\n", "[Nvme]\nChange1=1, 511, 2, 0\n", "[Nvme]\nChange1=1, 0, 3, 0\n",
                            "[Nvme]\nTemperature=hot\n", "[Drive]\nATAPI=1\n", "[Smart]\nChange1=1, 5, 3\n",
                            "[Drive]\nReadWrite=yes\n"}) {
        WriteNvmeFolder(dir, "03", bad);
        Simulator refused;
        const Simulator::LoadReport report = refused.LoadFolder(dir.Root());
        EXPECT_TRUE(report.drives.empty()) << bad;
        ASSERT_EQ(1u, report.skipped.size()) << bad;
        EXPECT_EQ(0u, report.skipped[0].find("03: drive.ini")) << report.skipped[0];
    }
    std::filesystem::remove(dir.Path("03/drive.ini"));
    TestDir::WriteAll(dir.Path("03/smart.bin"), std::string(512, '\0'));
    Simulator both;
    const Simulator::LoadReport report = both.LoadFolder(dir.Root());
    EXPECT_TRUE(report.drives.empty());
    ASSERT_EQ(1u, report.skipped.size());
    EXPECT_EQ("03: both ATA and NVMe blocks", report.skipped[0]);
}
