#include "common/drive_blocks.h"

namespace {

void PutWord(SimBlock& block, size_t word, DWORD value) {
    block[2 * word] = static_cast<BYTE>(value);
    block[2 * word + 1] = static_cast<BYTE>(value >> 8);
}

void PutAtaString(SimBlock& block, size_t word, size_t length, std::string text) {
    text.resize(length, ' ');
    for (size_t k = 0; k < length; k += 2) {
        PutWord(block, word + k / 2, (static_cast<BYTE>(text[k]) << 8) | static_cast<BYTE>(text[k + 1]));
    }
}

}  // namespace

SimBlock TestIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                      DWORD sectors, WORD sataCapabilities) {
    SimBlock block{};
    PutAtaString(block, 10, 20, serial);
    PutAtaString(block, 23, 8, firmware);
    PutAtaString(block, 27, 40, model);
    PutWord(block, 60, sectors & 0xFFFF);
    PutWord(block, 61, sectors >> 16);
    PutWord(block, 76, sataCapabilities);
    return block;
}

SimBlock TestTable(const std::vector<TestAttribute>& entries, BYTE revision) {
    SimBlock block{};
    block[0] = revision;
    for (size_t k = 0; k < entries.size() && k < 30; ++k) {
        BYTE* entry = &block[2 + 12 * k];
        entry[0] = entries[k].id;
        entry[3] = entries[k].current;
        entry[4] = entries[k].worst;
        for (int i = 0; i < 6; ++i) entry[5 + i] = static_cast<BYTE>(entries[k].raw >> (8 * i));
    }
    return block;
}

SimBlock TestThresholds(const std::vector<std::pair<BYTE, BYTE>>& entries) {
    SimBlock block{};
    block[0] = 1;
    for (size_t k = 0; k < entries.size() && k < 30; ++k) {
        block[2 + 12 * k] = entries[k].first;
        block[2 + 12 * k + 1] = entries[k].second;
    }
    return block;
}

SimDrive TestDrive(int number, const std::string& model) {
    SimDrive drive;
    drive.number = number;
    drive.identify = TestIdentify(model, "SN" + std::to_string(number), "FW1", 976773168);
    drive.smart = TestTable({{0x01, 100, 100, 0}, {0x05, 100, 100, static_cast<ULONGLONG>(number)},
                             {0x09, 99, 99, 1234}, {0xC2, 40, 30, 35}});
    drive.thresholds = TestThresholds({{0x01, 6}, {0x05, 36}, {0x09, 0}, {0xC2, 0}});
    return drive;
}
