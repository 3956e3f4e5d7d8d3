#include "sim/blockbuilder.h"

#include <cstring>

#include "drive/nvmeblocks.h"

namespace {

void PutWord(SimBlock& block, size_t word, DWORD value) {
    block[2 * word] = static_cast<BYTE>(value);
    block[2 * word + 1] = static_cast<BYTE>(value >> 8);
}

// ATA strings hold two characters a word, the first in the high byte.
void PutAtaString(SimBlock& block, size_t word, size_t length, std::string text) {
    text.resize(length, ' ');
    for (size_t k = 0; k < length; k += 2) {
        PutWord(block, word + k / 2, (static_cast<BYTE>(text[k]) << 8) | static_cast<BYTE>(text[k + 1]));
    }
}

template <size_t N>
void PutLittle(std::array<BYTE, N>& block, size_t offset, size_t size, ULONGLONG value) {
    for (size_t k = 0; k < size; ++k) block[offset + k] = k < 8 ? static_cast<BYTE>(value >> (8 * k)) : 0;
}

void PutKelvin(SimBlock& block, size_t offset, int celsius) { PutLittle(block, offset, 2, celsius + 273); }

}  // namespace

SimBlock BuildIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                       ULONGLONG sectors, WORD sataCapabilities) {
    SimBlock block{};
    PutAtaString(block, 10, 20, serial);
    PutAtaString(block, 23, 8, firmware);
    PutAtaString(block, 27, 40, model);
    const DWORD sectors28 = sectors > 0x0FFFFFFF ? 0x0FFFFFFF : static_cast<DWORD>(sectors);
    PutWord(block, 60, sectors28 & 0xFFFF);
    PutWord(block, 61, sectors28 >> 16);
    if (sectors > 0x0FFFFFFF) {
        PutWord(block, 83, 0x0400);  // 48-bit addresses
        PutWord(block, 100, static_cast<DWORD>(sectors) & 0xFFFF);
        PutWord(block, 101, static_cast<DWORD>(sectors) >> 16);
    }
    PutWord(block, 76, sataCapabilities);
    return block;
}

SimBlock BuildAttributeTable(const std::vector<SimAttribute>& entries, BYTE revision) {
    SimBlock block{};
    block[0] = revision;
    for (size_t k = 0; k < entries.size() && k < 30; ++k) {
        BYTE* entry = &block[2 + 12 * k];
        entry[0] = entries[k].id;
        entry[1] = static_cast<BYTE>(entries[k].flags);
        entry[2] = static_cast<BYTE>(entries[k].flags >> 8);
        entry[3] = entries[k].current;
        entry[4] = entries[k].worst;
        for (int i = 0; i < 6; ++i) entry[5 + i] = static_cast<BYTE>(entries[k].raw >> (8 * i));
    }
    return block;
}

SimBlock BuildThresholds(const std::vector<std::pair<BYTE, BYTE>>& entries) {
    SimBlock block{};
    block[0] = 1;
    for (size_t k = 0; k < entries.size() && k < 30; ++k) {
        block[2 + 12 * k] = entries[k].first;
        block[2 + 12 * k + 1] = entries[k].second;
    }
    return block;
}

SimNvmeIdentify BuildNvmeIdentify(const std::string& model, const std::string& serial, const std::string& firmware,
                                  ULONGLONG capacity) {
    SimNvmeIdentify block{};
    const auto put = [&block](DWORD offset, DWORD length, std::string text) {
        text.resize(length, ' ');
        std::memcpy(&block[offset], text.data(), length);
    };
    put(kNvmeSerial, kNvmeSerialLength, serial);
    put(kNvmeModel, kNvmeModelLength, model);
    put(kNvmeFirmware, kNvmeFirmwareLength, firmware);
    PutLittle(block, kNvmeVersion, 4, 0x00010400);
    PutLittle(block, kNvmeTotalCapacity, 16, capacity);
    PutLittle(block, kNvmeNamespaces, 4, 1);
    PutLittle(block, kNvmeWarningThreshold, 2, 84 + 273);
    PutLittle(block, kNvmeCriticalThreshold, 2, 87 + 273);
    return block;
}

SimBlock BuildNvmeHealth(const SimNvmeHealthFacts& facts) {
    SimBlock block{};
    PutKelvin(block, kNvmeCompositeTemperature, facts.celsius);
    block[kNvmeAvailableSpare] = facts.spare;
    block[kNvmeSpareThreshold] = facts.spareThreshold;
    block[kNvmePercentageUsed] = facts.percentageUsed;
    PutLittle(block, kNvmeDataUnitsRead, kNvmeCounterSize, facts.dataUnitsRead);
    PutLittle(block, kNvmeDataUnitsRead + kNvmeCounterSize, kNvmeCounterSize, facts.dataUnitsWritten);
    PutLittle(block, kNvmeDataUnitsRead + 2 * kNvmeCounterSize, kNvmeCounterSize, facts.hostReads);
    PutLittle(block, kNvmeDataUnitsRead + 3 * kNvmeCounterSize, kNvmeCounterSize, facts.hostWrites);
    PutLittle(block, kNvmePowerOnHours - kNvmeCounterSize, kNvmeCounterSize, facts.powerCycles);
    PutLittle(block, kNvmePowerOnHours, kNvmeCounterSize, facts.powerOnHours);
    PutLittle(block, kNvmePowerOnHours + kNvmeCounterSize, kNvmeCounterSize, facts.unsafeShutdowns);
    for (size_t k = 0; k < 2; ++k) PutKelvin(block, kNvmeTemperatureSensors + 2 * k, facts.sensorCelsius[k]);
    return block;
}
