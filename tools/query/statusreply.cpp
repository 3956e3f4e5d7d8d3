#include "statusreply.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t Int32At(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

// A text field: up to its first NUL, never past its end.
std::string TextAt(const uint8_t* p, size_t size) {
    size_t length = 0;
    while (length < size && p[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(p), length);
}

bool AllZero(const uint8_t* p, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

// JSON string of bytes from the program's ANSI texts: ASCII as it is, the
// other bytes as the Latin-1 characters of the same value.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

bool ParseStatusReply(const std::vector<uint8_t>& reply, std::vector<DriveRecord>* drives, std::string* error) {
    drives->clear();
    if (reply.size() != kReplySize) {
        *error = "reply of " + std::to_string(reply.size()) + " bytes, a status reply has " + std::to_string(kReplySize);
        return false;
    }
    for (size_t i = 0; i < kRecordCount; ++i) {
        const uint8_t* r = reply.data() + i * kRecordSize;
        if (AllZero(r, kRecordSize)) continue;
        DriveRecord d;
        d.drive = static_cast<int>(i);
        d.hasData = r[0] != 0;
        d.protocol = r[5];
        d.temperature = static_cast<int8_t>(r[1]);
        d.maxTemperature = static_cast<int8_t>(r[2]);
        d.status = r[3];
        d.usedPercent = r[4];
        d.raw05 = Int32At(r + 8);
        d.powerOnHours = Int32At(r + 12);
        d.rawC4 = Int32At(r + 16);
        d.rawC5 = Int32At(r + 20);
        d.rawC6 = Int32At(r + 24);
        d.model = TextAt(r + 28, 64);
        d.firmware = TextAt(r + 92, 16);
        d.serial = TextAt(r + 108, 32);
        d.letters = TextAt(r + 140, 64);
        drives->push_back(d);
    }
    return true;
}

const char* HealthWord(int status) {
    switch (status) {
        case 0: return "good";
        case 1: return "caution";
        case 2: return "danger";
        default: return "error";
    }
}

const char* ProtocolWord(int protocol) {
    switch (protocol) {
        case 0: return "ata";
        case 1: return "nvme";
        default: return "unknown";
    }
}

bool IsNvme(const DriveRecord& drive) { return drive.protocol == 1; }

std::string DriveLine(const DriveRecord& d) {
    char counts[160];
    if (IsNvme(d)) {
        std::snprintf(counts, sizeof counts, "spare used %ld%%, media errors %ld", static_cast<long>(d.raw05),
                      static_cast<long>(d.rawC6));
    } else {
        std::snprintf(counts, sizeof counts, "reallocated %ld, events %ld, pending %ld, uncorrectable %ld",
                      static_cast<long>(d.raw05), static_cast<long>(d.rawC4), static_cast<long>(d.rawC5),
                      static_cast<long>(d.rawC6));
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "drive %d: %s, %s, %d C (max %d C), %d%% used, %s, %ld hours, model \"%s\", firmware \"%s\", "
                  "serial \"%s\", letters \"%s\"",
                  d.drive, ProtocolWord(d.protocol), HealthWord(d.status), d.temperature, d.maxTemperature,
                  d.usedPercent, counts, static_cast<long>(d.powerOnHours), d.model.c_str(), d.firmware.c_str(),
                  d.serial.c_str(), d.letters.c_str());
    return line;
}

std::string DrivesJson(const std::vector<DriveRecord>& drives) {
    std::string out = "{\"drives\": [";
    for (size_t i = 0; i < drives.size(); ++i) {
        const DriveRecord& d = drives[i];
        char counts[160];
        if (IsNvme(d)) {
            std::snprintf(counts, sizeof counts, "\"spareUsedPercent\": %ld, \"mediaErrors\": %ld",
                          static_cast<long>(d.raw05), static_cast<long>(d.rawC6));
        } else {
            std::snprintf(counts, sizeof counts,
                          "\"reallocated\": %ld, \"reallocationEvents\": %ld, \"pending\": %ld, \"uncorrectable\": %ld",
                          static_cast<long>(d.raw05), static_cast<long>(d.rawC4), static_cast<long>(d.rawC5),
                          static_cast<long>(d.rawC6));
        }
        char numbers[400];
        std::snprintf(numbers, sizeof numbers,
                      "{\"drive\": %d, \"protocol\": \"%s\", \"health\": \"%s\", \"status\": %d, \"hasData\": %s, "
                      "\"temperature\": %d, \"maxTemperature\": %d, \"usedPercent\": %d, %s, \"powerOnHours\": %ld, ",
                      d.drive, ProtocolWord(d.protocol), HealthWord(d.status), d.status, d.hasData ? "true" : "false",
                      d.temperature, d.maxTemperature, d.usedPercent, counts, static_cast<long>(d.powerOnHours));
        out += (i ? ", " : "") + std::string(numbers) + "\"model\": " + JsonString(d.model) +
               ", \"firmware\": " + JsonString(d.firmware) + ", \"serial\": " + JsonString(d.serial) +
               ", \"letters\": " + JsonString(d.letters) + "}";
    }
    return out + "]}";
}

int WorstHealth(const std::vector<DriveRecord>& drives) {
    int worst = 0;
    for (const DriveRecord& d : drives) {
        const int health = d.status >= 0 && d.status <= 2 ? d.status : 3;
        if (health > worst) worst = health;
    }
    return worst;
}
