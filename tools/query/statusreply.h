// Reading the status service's reply: 16 records of 204 bytes, one per
// drive number, all zero for a drive that is not there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const size_t kRecordSize = 204;
const size_t kRecordCount = 16;
const size_t kReplySize = kRecordSize * kRecordCount;

struct DriveRecord {
    int drive = 0;
    int protocol = 0;  // record byte 5: 0 ATA, 1 NVMe
    int status = 0;  // 0 good, 1 caution, 2 danger, 3 error
    bool hasData = false;
    int temperature = 0;
    int maxTemperature = 0;
    int usedPercent = 0;
    // NVMe: raw05 is the spare used in percent, rawC6 the media and data
    // integrity errors, rawC4 and rawC5 are 0.
    int32_t raw05 = 0, rawC4 = 0, rawC5 = 0, rawC6 = 0;
    int32_t powerOnHours = 0;
    std::string model, firmware, serial, letters;
};

// The records of the drives present, in drive-number order. False when the
// reply is not a status reply (wrong length), with the reason.
bool ParseStatusReply(const std::vector<uint8_t>& reply, std::vector<DriveRecord>* drives, std::string* error);

const char* HealthWord(int status);
// "ata", "nvme", or "unknown" for a protocol byte this client does not know.
const char* ProtocolWord(int protocol);
bool IsNvme(const DriveRecord& drive);

// One line a drive, for people.
std::string DriveLine(const DriveRecord& drive);
// {"drives": [...]} with the same fields by name; an NVMe drive has
// spareUsedPercent and mediaErrors in place of the four ATA counts.
std::string DrivesJson(const std::vector<DriveRecord>& drives);

// The exit status for monitoring systems: the worst health of all drives
// (0 good, 1 caution, 2 danger, 3 error).
int WorstHealth(const std::vector<DriveRecord>& drives);
