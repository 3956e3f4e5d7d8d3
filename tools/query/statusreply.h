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
    int status = 0;  // 0 good, 1 caution, 2 danger, 3 error
    bool hasData = false;
    int temperature = 0;
    int maxTemperature = 0;
    int usedPercent = 0;
    int32_t raw05 = 0, rawC4 = 0, rawC5 = 0, rawC6 = 0;
    int32_t powerOnHours = 0;
    std::string model, firmware, serial, letters;
};

// The records of the drives present, in drive-number order. False when the
// reply is not a status reply (wrong length), with the reason.
bool ParseStatusReply(const std::vector<uint8_t>& reply, std::vector<DriveRecord>* drives, std::string* error);

const char* HealthWord(int status);

// One line a drive, for people.
std::string DriveLine(const DriveRecord& drive);
// {"drives": [...]} with the same fields by name.
std::string DrivesJson(const std::vector<DriveRecord>& drives);

// The exit status for monitoring systems: the worst health of all drives
// (0 good, 1 caution, 2 danger, 3 error).
int WorstHealth(const std::vector<DriveRecord>& drives);
