#include "sim/simdrive.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "drive/nvmeblocks.h"
#include "settings/textprofile.h"

namespace fs = std::filesystem;

namespace {

const size_t kAttributeTable = 2;  // the table follows the 2-byte revision
const size_t kAttributeSize = 12;
const size_t kAttributeCount = 30;

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Items of a comma-separated list, trimmed; an empty text has none.
std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    if (Trim(text).empty()) return items;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        items.push_back(Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}

// Decimal or "0x" hexadecimal, nothing else around it, at most max.
bool ParseNumber(const std::string& text, ULONGLONG max, ULONGLONG* value) {
    std::string digits = Trim(text);
    unsigned base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits = digits.substr(2);
    }
    if (digits.empty()) return false;
    ULONGLONG total = 0;
    for (char c : digits) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (total > (max - digit) / base) return false;
        total = total * base + digit;
    }
    *value = total;
    return true;
}

bool ParseDword(const std::string& text, DWORD max, DWORD* value) {
    ULONGLONG v;
    if (!ParseNumber(text, max, &v)) return false;
    *value = static_cast<DWORD>(v);
    return true;
}

bool ParseByte(const std::string& text, BYTE* value) {
    ULONGLONG v;
    if (!ParseNumber(text, 255, &v)) return false;
    *value = static_cast<BYTE>(v);
    return true;
}

DWORD Word(const SimBlock& block, size_t index) {
    return static_cast<DWORD>(block[2 * index]) | (static_cast<DWORD>(block[2 * index + 1]) << 8);
}

// The first attribute entry with that id, or null.
BYTE* FindEntry(SimBlock& block, BYTE id) {
    for (size_t k = 0; k < kAttributeCount; ++k) {
        BYTE* entry = &block[kAttributeTable + k * kAttributeSize];
        if (entry[0] == id) return entry;
    }
    return nullptr;
}

template <size_t N>
bool ReadBlock(const fs::path& file, std::array<BYTE, N>* block, std::string* error) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        *error = file.filename().string() + " is missing";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        *error = file.filename().string() + " cannot be read";
        return false;
    }
    if (bytes.size() != block->size()) {
        *error = file.filename().string() + " has " + std::to_string(bytes.size()) + " bytes, not " +
                 std::to_string(N);
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), block->begin());
    return true;
}

// The settings of one drive.ini, read key by key through the profile layer.
class DriveIni {
public:
    explicit DriveIni(const std::string& path) : path_(path) {}

    // The value, or empty when the key is missing; false when it does not fit
    // the buffer, which no sensible value does.
    bool Get(const char* section, const char* key, std::string* value) const {
        std::vector<char> buffer(8192);
        const DWORD n =
            textprofile::ReadString(section, key, "", buffer.data(), static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 1 >= buffer.size()) return false;
        *value = Trim(std::string(buffer.data(), n));
        return true;
    }

private:
    std::string path_;
};

class IniReader {
public:
    IniReader(const DriveIni& ini, std::string* error) : ini_(ini), error_(error) {}

    bool Fail(const char* section, const char* key, const std::string& why) {
        *error_ = std::string("drive.ini [") + section + "] " + key + ": " + why;
        return false;
    }

    bool Text(const char* section, const char* key, std::string* value) {
        if (!ini_.Get(section, key, value)) return Fail(section, key, "value too long");
        return true;
    }

    bool Flag(const char* section, const char* key, bool* value) {
        std::string text;
        if (!Text(section, key, &text)) return false;
        if (text.empty()) return true;
        if (text != "0" && text != "1") return Fail(section, key, "needs 0 or 1, not \"" + text + "\"");
        *value = text == "1";
        return true;
    }

    bool Polls(const char* section, const char* key, PollWindows* windows) {
        std::string text;
        if (!Text(section, key, &text)) return false;
        if (!windows->Parse(text)) return Fail(section, key, "bad poll list \"" + text + "\"");
        return true;
    }

private:
    const DriveIni& ini_;
    std::string* error_;
};

bool ReadDriveSection(IniReader& r, SimDrive* d) {
    if (!r.Flag("Drive", "ATAPI", &d->atapi)) return false;
    std::string access;
    if (!r.Text("Drive", "ReadWrite", &access)) return false;
    if (!access.empty()) {
        if (access != "0" && access != "1") return r.Fail("Drive", "ReadWrite", "needs 0 or 1, not \"" + access + "\"");
        d->readWrite = access == "1";
    }
    std::string text;
    if (!r.Text("Drive", "Miniport", &text)) return false;
    if (!text.empty()) {
        const std::vector<std::string> items = SplitList(text);
        DWORD port, device;
        if (items.size() != 2 || !ParseDword(items[0], 0x7FFF, &port) || !ParseDword(items[1], 0xFFFF, &device))
            return r.Fail("Drive", "Miniport", "needs \"port, device\", not \"" + text + "\"");
        d->miniportPort = static_cast<int>(port);
        d->miniportDevice = static_cast<WORD>(device);
    }
    if (!r.Text("Drive", "DiskSize", &text)) return false;
    if (!text.empty() && !ParseNumber(text, ~0ULL, &d->diskSize))
        return r.Fail("Drive", "DiskSize", "needs a byte count, not \"" + text + "\"");
    return r.Polls("Drive", "PredictFailure", &d->predictFailure);
}

bool ReadFaultSection(IniReader& r, SimFaults* f) {
    return r.Polls("Faults", "Open", &f->open) && r.Polls("Faults", "Version", &f->version) &&
           r.Polls("Faults", "Enable", &f->enable) && r.Polls("Faults", "Identify", &f->identify) &&
           r.Polls("Faults", "Data", &f->data) && r.Polls("Faults", "Thresholds", &f->thresholds);
}

// Temperature ("value" or "poll:value" items) and TemperatureCycle, in
// degrees Celsius: the same keys in the ATA and the NVMe section.
bool ReadTemperatureKeys(IniReader& r, const char* section, SimDrive* d) {
    std::string text;
    if (!r.Text(section, "Temperature", &text)) return false;
    for (const std::string& item : SplitList(text)) {
        SimTemperature t;
        const size_t colon = item.find(':');
        const bool ok = colon == std::string::npos
                            ? ParseByte(item, &t.value)
                            : ParseDword(item.substr(0, colon), PollWindows::kOpenEnd, &t.fromPoll) &&
                                  ParseByte(item.substr(colon + 1), &t.value);
        if (!ok) return r.Fail(section, "Temperature", "bad item \"" + item + "\"");
        d->temperatures.push_back(t);
    }
    if (!r.Text(section, "TemperatureCycle", &text)) return false;
    for (const std::string& item : SplitList(text)) {
        BYTE value;
        if (!ParseByte(item, &value)) return r.Fail(section, "TemperatureCycle", "bad item \"" + item + "\"");
        d->temperatureCycle.push_back(value);
    }
    return true;
}

bool ReadSmartSection(IniReader& r, SimDrive* d) {
    std::string text;
    if (!r.Text("Smart", "TemperatureId", &text)) return false;
    if (!text.empty() && (!ParseByte(text, &d->temperatureId) || d->temperatureId == 0))
        return r.Fail("Smart", "TemperatureId", "needs an attribute id 1-255, not \"" + text + "\"");

    if (!ReadTemperatureKeys(r, "Smart", d)) return false;

    // RawCycle1, RawCycle2, ...: "id, value, value, ...".
    for (int k = 1;; ++k) {
        const std::string key = "RawCycle" + std::to_string(k);
        if (!r.Text("Smart", key.c_str(), &text)) return false;
        if (text.empty()) break;
        const std::vector<std::string> items = SplitList(text);
        SimRawCycle cycle;
        bool ok = items.size() >= 2 && ParseByte(items[0], &cycle.id) && cycle.id != 0;
        for (size_t i = 1; ok && i < items.size(); ++i) {
            ULONGLONG value;
            ok = ParseNumber(items[i], 0xFFFFFFFFFFFFULL, &value);
            cycle.values.push_back(value);
        }
        if (!ok) return r.Fail("Smart", key.c_str(), "needs \"id, raw, raw, ...\", not \"" + text + "\"");
        d->rawCycles.push_back(cycle);
    }

    // Change1, Change2, ... up to the first number that is missing.
    for (int k = 1;; ++k) {
        const std::string key = "Change" + std::to_string(k);
        if (!r.Text("Smart", key.c_str(), &text)) return false;
        if (text.empty()) break;
        const std::vector<std::string> items = SplitList(text);
        SimAttributeChange c;
        ULONGLONG value;
        bool ok = items.size() >= 3 && items.size() <= 5 && ParseDword(items[0], PollWindows::kOpenEnd, &c.fromPoll) &&
                  ParseByte(items[1], &c.id) && c.id != 0 && ParseNumber(items[2], 0xFFFFFFFFFFFFULL, &c.raw);
        if (ok && items.size() >= 4) {
            ok = ParseNumber(items[3], 255, &value);
            c.current = static_cast<int>(value);
        }
        if (ok && items.size() == 5) {
            ok = ParseNumber(items[4], 255, &value);
            c.worst = static_cast<int>(value);
        }
        if (!ok)
            return r.Fail("Smart", key.c_str(), "needs \"poll, id, raw[, current[, worst]]\", not \"" + text + "\"");
        d->changes.push_back(c);
    }
    return true;
}

// "value" (from the probe on) or "poll:value" items, each a change of one
// health log field.
bool ReadNvmeList(IniReader& r, const char* key, DWORD offset, DWORD size, ULONGLONG max, SimDrive* d) {
    std::string text;
    if (!r.Text("Nvme", key, &text)) return false;
    for (const std::string& item : SplitList(text)) {
        SimNvmeChange c;
        c.offset = offset;
        c.size = size;
        const size_t colon = item.find(':');
        const bool ok = colon == std::string::npos
                            ? ParseNumber(item, max, &c.value)
                            : ParseDword(item.substr(0, colon), PollWindows::kOpenEnd, &c.fromPoll) &&
                                  ParseNumber(item.substr(colon + 1), max, &c.value);
        if (!ok) return r.Fail("Nvme", key, "bad item \"" + item + "\"");
        d->nvmeChanges.push_back(c);
    }
    return true;
}

bool ReadNvmeSection(IniReader& r, SimDrive* d) {
    std::string text;
    if (!ReadTemperatureKeys(r, "Nvme", d)) return false;
    if (!ReadNvmeList(r, "CriticalWarning", kNvmeCriticalWarning, 1, 255, d) ||
        !ReadNvmeList(r, "Spare", kNvmeAvailableSpare, 1, 255, d) ||
        !ReadNvmeList(r, "MediaErrors", kNvmeMediaErrors, 16, ~0ULL, d))
        return false;
    // Change1, Change2, ...: "poll, offset, size, value" for any field.
    for (int k = 1;; ++k) {
        const std::string key = "Change" + std::to_string(k);
        if (!r.Text("Nvme", key.c_str(), &text)) return false;
        if (text.empty()) break;
        const std::vector<std::string> items = SplitList(text);
        SimNvmeChange c;
        bool ok = items.size() == 4 && ParseDword(items[0], PollWindows::kOpenEnd, &c.fromPoll) &&
                  ParseDword(items[1], kNvmeHealthSize - 1, &c.offset) && ParseDword(items[2], 16, &c.size) &&
                  (c.size == 1 || c.size == 2 || c.size == 4 || c.size == 16) && c.offset + c.size <= kNvmeHealthSize;
        ok = ok && ParseNumber(items[3], c.size >= 8 ? ~0ULL : (1ULL << (8 * c.size)) - 1, &c.value);
        if (!ok) return r.Fail("Nvme", key.c_str(), "needs \"poll, offset, size, value\", not \"" + text + "\"");
        d->nvmeChanges.push_back(c);
    }
    return true;
}

bool ReadVolumeSection(IniReader& r, int number, std::vector<SimVolume>* volumes) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const char key[2] = {letter, '\0'};
        std::string text;
        if (!r.Text("Volumes", key, &text)) return false;
        if (text.empty()) continue;
        SimVolume v;
        v.letter = letter;
        if (text == "offline") {
            v.opens = false;
            v.disks.push_back(static_cast<DWORD>(number));
            volumes->push_back(v);
            continue;
        }
        const std::vector<std::string> items = SplitList(text);
        bool ok = items.size() >= 2 && ParseNumber(items[0], ~0ULL, &v.totalBytes) &&
                  ParseNumber(items[1], ~0ULL, &v.freeBytes) && v.freeBytes <= v.totalBytes;
        for (size_t k = 2; ok && k < items.size(); ++k) {
            DWORD disk;
            ok = ParseDword(items[k], 0xFFFFFFFEUL, &disk);
            v.disks.push_back(disk);
        }
        if (!ok) return r.Fail("Volumes", key, "needs \"total, free[, disk...]\" or \"offline\", not \"" + text + "\"");
        if (v.disks.empty()) v.disks.push_back(static_cast<DWORD>(number));
        volumes->push_back(v);
    }
    return true;
}

}  // namespace

void PollWindows::Add(DWORD from, DWORD to) { ranges_.push_back(Range{from, to < from ? from : to}); }

bool PollWindows::Contains(DWORD poll) const {
    for (const Range& r : ranges_)
        if (poll >= r.from && poll <= r.to) return true;
    return false;
}

bool PollWindows::Parse(const std::string& text) {
    std::vector<Range> parsed;
    for (const std::string& item : SplitList(text)) {
        const size_t dash = item.find('-');
        Range r;
        if (dash == std::string::npos) {
            if (!ParseDword(item, kOpenEnd - 1, &r.from)) return false;
            r.to = kOpenEnd;
        } else if (!ParseDword(item.substr(0, dash), kOpenEnd - 1, &r.from) ||
                   !ParseDword(item.substr(dash + 1), kOpenEnd - 1, &r.to) || r.to < r.from) {
            return false;
        }
        parsed.push_back(r);
    }
    ranges_.insert(ranges_.end(), parsed.begin(), parsed.end());
    return true;
}

ULONGLONG SimDrive::DiskSize() const {
    if (diskSize != 0) return diskSize;
    if (nvme) return NvmeSaturatedBytes(NvmeCounterAt(nvmeIdentify.data(), kNvmeTotalCapacity));
    const bool lba48 = (Word(identify, 83) & 0x0400) != 0;
    const ULONGLONG sectors =
        lba48 ? (Word(identify, 100) | (Word(identify, 101) << 16)) : (Word(identify, 60) | (Word(identify, 61) << 16));
    return sectors * 512;
}

SimBlock SimDrive::SmartData(DWORD poll) const {
    SimBlock block = smart;

    // Changes due by this poll, earliest first; of two due on the same poll
    // the one listed later wins.
    std::vector<const SimAttributeChange*> due;
    for (const SimAttributeChange& c : changes)
        if (c.fromPoll <= poll) due.push_back(&c);
    std::stable_sort(due.begin(), due.end(), [](const SimAttributeChange* a, const SimAttributeChange* b) {
        return a->fromPoll < b->fromPoll;
    });
    for (const SimAttributeChange* c : due) {
        BYTE* entry = FindEntry(block, c->id);
        if (entry == nullptr) continue;
        if (c->current >= 0) entry[3] = static_cast<BYTE>(c->current);
        if (c->worst >= 0) entry[4] = static_cast<BYTE>(c->worst);
        for (int k = 0; k < 6; ++k) entry[5 + k] = static_cast<BYTE>(c->raw >> (8 * k));
    }

    for (const SimRawCycle& cycle : rawCycles) {
        BYTE* entry = FindEntry(block, cycle.id);
        if (entry == nullptr) continue;
        const ULONGLONG raw = cycle.values[poll % cycle.values.size()];
        for (int k = 0; k < 6; ++k) entry[5 + k] = static_cast<BYTE>(raw >> (8 * k));
    }

    BYTE temperature;
    if (TemperatureAt(poll, &temperature)) {
        if (BYTE* entry = FindEntry(block, temperatureId)) entry[5] = temperature;
    }
    return block;
}

bool SimDrive::TemperatureAt(DWORD poll, BYTE* celsius) const {
    if (!temperatureCycle.empty()) {
        *celsius = temperatureCycle[poll % temperatureCycle.size()];
        return true;
    }
    bool found = false;
    DWORD latest = 0;
    for (const SimTemperature& t : temperatures) {
        if (t.fromPoll <= poll && (!found || t.fromPoll >= latest)) {
            found = true;
            latest = t.fromPoll;
            *celsius = t.value;
        }
    }
    return found;
}

SimBlock SimDrive::NvmeHealth(DWORD poll) const {
    SimBlock block = nvmeHealth;
    std::vector<const SimNvmeChange*> due;
    for (const SimNvmeChange& c : nvmeChanges)
        if (c.fromPoll <= poll) due.push_back(&c);
    std::stable_sort(due.begin(), due.end(),
                     [](const SimNvmeChange* a, const SimNvmeChange* b) { return a->fromPoll < b->fromPoll; });
    for (const SimNvmeChange* c : due) {
        for (DWORD k = 0; k < c->size; ++k) block[c->offset + k] = k < 8 ? static_cast<BYTE>(c->value >> (8 * k)) : 0;
    }
    BYTE celsius;
    if (TemperatureAt(poll, &celsius)) {
        const int kelvin = celsius + 273;
        block[kNvmeCompositeTemperature] = static_cast<BYTE>(kelvin);
        block[kNvmeCompositeTemperature + 1] = static_cast<BYTE>(kelvin >> 8);
    }
    return block;
}

int SimDriveNumber(const std::string& name) {
    if (name.size() < 2 || name[0] < '0' || name[0] > '9' || name[1] < '0' || name[1] > '9') return -1;
    if (name.size() > 2 && name[2] >= '0' && name[2] <= '9') return -1;
    const int number = (name[0] - '0') * 10 + (name[1] - '0');
    return number < kSimMaxDrives ? number : -1;
}

bool LoadSimDrive(const std::string& folder, int number, SimDrive* drive, std::vector<SimVolume>* volumes,
                  std::string* error) {
    const fs::path root(folder);
    SimDrive d;
    d.number = number;
    std::error_code ec;
    d.nvme = fs::exists(root / "nvme-identify.bin", ec) || fs::exists(root / "nvme-health.bin", ec);
    if (d.nvme) {
        if (fs::exists(root / "identify.bin", ec) || fs::exists(root / "smart.bin", ec) ||
            fs::exists(root / "thresholds.bin", ec)) {
            *error = "both ATA and NVMe blocks";
            return false;
        }
        if (!ReadBlock(root / "nvme-identify.bin", &d.nvmeIdentify, error) ||
            !ReadBlock(root / "nvme-health.bin", &d.nvmeHealth, error))
            return false;
    } else if (!ReadBlock(root / "identify.bin", &d.identify, error) ||
               !ReadBlock(root / "smart.bin", &d.smart, error) ||
               !ReadBlock(root / "thresholds.bin", &d.thresholds, error)) {
        return false;
    }

    std::vector<SimVolume> found;
    const fs::path iniPath = root / "drive.ini";
    if (fs::exists(iniPath, ec)) {
        // The profile layer reads an unreadable file as an empty one; a
        // drive set author wants to hear about it instead.
        std::ifstream probe(iniPath, std::ios::binary);
        if (!fs::is_regular_file(iniPath, ec) || !probe.is_open()) {
            *error = "drive.ini cannot be read";
            return false;
        }
        probe.close();
        const DriveIni ini(iniPath.string());
        IniReader reader(ini, error);
        if (!ReadDriveSection(reader, &d) || !ReadFaultSection(reader, &d.faults) || !ReadSmartSection(reader, &d) ||
            !ReadNvmeSection(reader, &d) || !ReadVolumeSection(reader, number, &found))
            return false;
        if (d.nvme && (d.atapi || d.OnMiniport() || !d.predictFailure.Empty() || !d.changes.empty() ||
                       !d.rawCycles.empty())) {
            *error = "drive.ini: ATA keys for an NVMe drive";
            return false;
        }
    }
    *drive = d;
    volumes->insert(volumes->end(), found.begin(), found.end());
    return true;
}

SimVolume SimVolumeOnDisk(char letter, ULONGLONG totalBytes, ULONGLONG freeBytes, DWORD disk) {
    SimVolume volume;
    volume.letter = letter;
    volume.totalBytes = totalBytes;
    volume.freeBytes = freeBytes;
    volume.disks = {disk};
    return volume;
}
