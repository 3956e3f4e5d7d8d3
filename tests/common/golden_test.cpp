// The bytes other programs and files depend on, the same on every target:
// the real drives of the fixtures as one drive set (fixture k, in the order
// of their names, as drive number k) answer with the golden status reply
// that the Windows programs also give for that set, and their dumps are the
// drives' own blocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/fixture_reader.h"
#include "common/scratch_dir.h"
#include "common/test_dir.h"
#include "drive/probe.h"
#include "settings/appsettings.h"
#include "sim/simulator.h"
#include "smart/dumpfile.h"
#include "smart/evaluation.h"
#include "smart/summaries.h"

namespace fs = std::filesystem;

namespace {

const char kGoldenReply[] = "fixture_drives_reply.bin";

// Where the bytes first differ, for a readable failure.
std::string FirstDifference(const std::string& got, const std::string& want) {
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size()) + ", first difference at byte " +
           std::to_string(at) + " (record " + std::to_string(at / sizeof(DriveSummary)) + ", offset " +
           std::to_string(at % sizeof(DriveSummary)) + ")";
}

}  // namespace

TEST(GoldenBytes, FixtureDrivesReplyAndDumps) {
    ASSERT_FALSE(FixturesDir().empty()) << "no drive fixtures (VELDAKOR_FIXTURES)";
    const std::vector<fs::path> folders = DriveFolders();
    ASSERT_GE(folders.size(), 2u);
    ASSERT_LE(folders.size(), kDriveSlots);

    TestDir set("golden-set");
    for (size_t k = 0; k < folders.size(); ++k) {
        const std::string drive = set.Path((k < 10 ? "0" : "") + std::to_string(k));
        fs::create_directories(drive);
        for (const char* name : {"identify.bin", "smart.bin", "thresholds.bin"}) {
            TestDir::WriteAll((fs::path(drive) / name).string(), TestDir::ReadAll((folders[k] / name).string()));
        }
    }
    Simulator sim;
    ASSERT_EQ(folders.size(), sim.LoadFolder(set.Root()).drives.size());
    DeviceSystem* previous = InstallDevices(&sim);
    std::unique_ptr<DriveTable> table(new DriveTable());
    table->Clear();
    AppSettings settings;
    SetStartValues(settings);
    CreateDevices(*table);
    ASSERT_EQ(folders.size(), table->driveCount);
    for (DWORD k = 0; k < table->driveCount; ++k) RefreshDrive(*table, table->shown[k], settings);

    BYTE reply[kStatusReplySize];
    CopySummaries(*table, reply);
    const std::string got(reinterpret_cast<const char*>(reply), sizeof reply);
    const std::string want = TestDir::ReadAll((fs::path(GoldenDir()) / kGoldenReply).string());
    EXPECT_TRUE(got == want) << FirstDifference(got, want);

    {
        ScratchDir scratch("golden-dumps");
        for (DWORD k = 0; k < table->driveCount; ++k) {
            SCOPED_TRACE(folders[k].filename().string());
            DumpDrive(*table, k);
            const std::string base = DumpBaseName(k, table->slots[k].summary);
            EXPECT_TRUE(TestDir::ReadAll(scratch.Dir().Path(base + "_ID")) ==
                        TestDir::ReadAll((folders[k] / "identify.bin").string()));
            EXPECT_TRUE(TestDir::ReadAll(scratch.Dir().Path(base + "_DA")) ==
                        TestDir::ReadAll((folders[k] / "smart.bin").string()).substr(2, kAttributeTableSize));
        }
    }

    CloseDevices(*table);
    table.reset();
    InstallDevices(previous);
}
