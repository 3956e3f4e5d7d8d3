// The query client's reading of status replies, against records the
// program's own code assembles.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "smart/summaries.h"
#include "statusreply.h"

namespace {

std::vector<uint8_t> Reply(DriveTable& table) {
    std::vector<uint8_t> reply(kStatusReplySize);
    CopySummaries(table, reply.data());
    return reply;
}

DriveInfo& Present(DriveTable& table, int n, const char* model, BYTE status) {
    DriveInfo& drive = table.slots[n];
    drive.present = 1;
    drive.summary.hasData = 1;
    drive.summary.statusByte = status;
    std::strcpy(drive.summary.model, model);
    return drive;
}

}  // namespace

TEST(StatusReply, RecordsOfPresentDrivesByNumber) {
    std::unique_ptr<DriveTable> table(new DriveTable());
    DriveInfo& first = Present(*table, 0, "FIRST", 0);
    first.summary.temperature = -5;
    first.summary.maxTemperature = 47;
    first.summary.usedPercent = 75;
    first.summary.raw05 = -1;
    first.summary.powerOnHours = 8784;
    first.summary.rawC4 = 2;
    first.summary.rawC5 = 3;
    first.summary.rawC6 = 0x7FFFFFFF;
    std::strcpy(first.summary.firmware, "FW1");
    std::memset(first.summary.serial, 'S', sizeof first.summary.serial);  // no terminator in the field
    std::strcpy(first.summary.driveLetters, "C: D:");
    Present(*table, 5, "SIXTH", 2);

    std::vector<DriveRecord> drives;
    std::string error;
    ASSERT_TRUE(ParseStatusReply(Reply(*table), &drives, &error)) << error;
    ASSERT_EQ(2u, drives.size());
    const DriveRecord& d = drives[0];
    EXPECT_EQ(0, d.drive);
    EXPECT_TRUE(d.hasData);
    EXPECT_EQ(-5, d.temperature);
    EXPECT_EQ(47, d.maxTemperature);
    EXPECT_EQ(75, d.usedPercent);
    EXPECT_EQ(-1, d.raw05);
    EXPECT_EQ(8784, d.powerOnHours);
    EXPECT_EQ(2, d.rawC4);
    EXPECT_EQ(3, d.rawC5);
    EXPECT_EQ(0x7FFFFFFF, d.rawC6);
    EXPECT_EQ("FIRST", d.model);
    EXPECT_EQ("FW1", d.firmware);
    EXPECT_EQ(std::string(32, 'S'), d.serial);
    EXPECT_EQ("C: D:", d.letters);
    EXPECT_EQ(5, drives[1].drive);
    EXPECT_EQ(2, WorstHealth(drives));
}

TEST(StatusReply, ShortLongAndEmptyReplies) {
    std::vector<DriveRecord> drives;
    std::string error;
    EXPECT_FALSE(ParseStatusReply(std::vector<uint8_t>(3263), &drives, &error));
    EXPECT_NE(std::string::npos, error.find("3263"));
    EXPECT_FALSE(ParseStatusReply(std::vector<uint8_t>(3265), &drives, &error));
    EXPECT_FALSE(ParseStatusReply({0x01}, &drives, &error));
    ASSERT_TRUE(ParseStatusReply(std::vector<uint8_t>(3264), &drives, &error));
    EXPECT_TRUE(drives.empty());
    EXPECT_EQ(0, WorstHealth(drives));
}

TEST(StatusReply, HealthWordsExitStatusAndJson) {
    std::vector<DriveRecord> drives(3);
    drives[0].status = 1;
    drives[1].status = 0;
    drives[2].status = 9;  // no known status: counts as an error
    EXPECT_EQ(3, WorstHealth(drives));
    drives.pop_back();
    EXPECT_EQ(1, WorstHealth(drives));
    EXPECT_STREQ("danger", HealthWord(2));
    EXPECT_STREQ("error", HealthWord(3));

    DriveRecord d;
    d.drive = 3;
    d.model = "A \"quoted\\\" \xB0" "C\x01";
    const std::string json = DrivesJson({d});
    EXPECT_NE(std::string::npos, json.find("\"drive\": 3"));
    EXPECT_NE(std::string::npos, json.find("\"health\": \"good\""));
    EXPECT_NE(std::string::npos, json.find("\"model\": \"A \\\"quoted\\\\\\\" \\u00b0C\\u0001\""));
    EXPECT_EQ("{\"drives\": []}", DrivesJson({}));
    EXPECT_NE(std::string::npos, DriveLine(d).find("drive 3: ata, good"));
}

// Byte 5 of a record names the protocol; an NVMe drive's counts are its
// spare used and its media errors, and nothing else is said of them.
TEST(StatusReply, NvmeRecordsCarryTheirOwnCounts) {
    std::vector<uint8_t> reply(kReplySize, 0);
    uint8_t* nvme = reply.data() + 1 * kRecordSize;
    nvme[0] = 1;
    nvme[3] = 2;
    nvme[5] = 1;
    nvme[8] = 7;                                      // raw05: 7 % of the spare used
    nvme[24] = 0x39;                                  // rawC6: 0x139 = 313 media errors
    nvme[25] = 0x01;
    std::memcpy(nvme + 28, "Samsung SSD 980 500GB", 21);
    uint8_t* ata = reply.data() + 4 * kRecordSize;
    ata[0] = 1;
    ata[8] = 3;
    std::vector<DriveRecord> drives;
    std::string error;
    ASSERT_TRUE(ParseStatusReply(reply, &drives, &error)) << error;
    ASSERT_EQ(2u, drives.size());
    EXPECT_TRUE(IsNvme(drives[0]));
    EXPECT_FALSE(IsNvme(drives[1]));
    const std::string json = DrivesJson(drives);
    const size_t second = json.find("{\"drive\": 4");
    ASSERT_NE(std::string::npos, second);
    const std::string first = json.substr(0, second);
    EXPECT_NE(std::string::npos, first.find("\"protocol\": \"nvme\""));
    EXPECT_NE(std::string::npos, first.find("\"spareUsedPercent\": 7, \"mediaErrors\": 313"));
    EXPECT_EQ(std::string::npos, first.find("reallocated")) << first;
    EXPECT_NE(std::string::npos, json.find("\"protocol\": \"ata\", \"health\": \"good\"", second));
    EXPECT_NE(std::string::npos, json.find("\"reallocated\": 3", second));
    EXPECT_EQ("drive 1: nvme, danger, 0 C (max 0 C), 0% used, spare used 7%, media errors 313, 0 hours, "
              "model \"Samsung SSD 980 500GB\", firmware \"\", serial \"\", letters \"\"",
              DriveLine(drives[0]));
    EXPECT_STREQ("unknown", ProtocolWord(2));
}
