#include "smart/dumpfile.h"

#include <cstdio>
#include <cstring>

#include "base/cbfile.h"
#include "drive/ddk.h"
#include "drive/nvmeblocks.h"
#include "smart/drivelocks.h"

namespace {

bool Forbidden(unsigned char c) { return c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr; }

void MakeFileNameSafe(std::string& name) {
    for (char& c : name) {
        if (Forbidden(static_cast<unsigned char>(c))) c = '_';
    }
}

}  // namespace

std::string DumpBaseName(DWORD driveNumber, const DriveSummary& summary) {
    char name[sizeof summary.model + sizeof summary.firmware + sizeof summary.serial + 16];
    std::snprintf(name, sizeof name, "%u.%.63s.%.15s.%.31s", static_cast<unsigned>(driveNumber), summary.model,
                  summary.firmware, summary.serial);
    std::string base = name;
    MakeFileNameSafe(base);
    return base;
}

std::vector<std::string> DumpDrive(DriveTable& table, DWORD slot) {
    std::vector<std::string> failed;
    if (slot >= kDriveSlots) return failed;
    DriveInfo& drive = table.slots[slot];
    CritSectLock lock(updateLock);
    if (!drive.present) return failed;
    const std::string base = DumpBaseName(slot, drive.summary);
    auto write = [&failed](const std::string& name, const BYTE* bytes, DWORD size) {
        if (!CBFILE::Replace(name.c_str(), bytes, size)) failed.push_back(name);
    };
    if (drive.protocol == ProtocolNvme) {
        if (drive.nvmeIdentifyResult == nullptr || drive.nvmeHealthResult == nullptr) return failed;
        write(base + kNvmeIdentifySuffix, drive.nvmeIdentifyResult, kNvmeIdentifySize);
        write(base + kNvmeHealthSuffix, drive.nvmeHealthResult, kNvmeHealthSize);
        return failed;
    }
    if (drive.identifyResult == nullptr || drive.dataResult == nullptr) return failed;
    write(base + "_ID", drive.identifyResult, kAtaBlockSize);
    write(base + "_DA", drive.dataResult, kAttributeTableSize);
    return failed;
}
