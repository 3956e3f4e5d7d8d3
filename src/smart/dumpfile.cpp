#include "smart/dumpfile.h"

#include <cstdio>
#include <cstring>

#include "base/cbfile.h"
#include "drive/ddk.h"
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
    if (!drive.present || drive.identifyResult == nullptr || drive.dataResult == nullptr) return failed;
    const std::string base = DumpBaseName(slot, drive.summary);
    const std::string identify = base + "_ID";
    const std::string attributes = base + "_DA";
    if (!CBFILE::Replace(identify.c_str(), drive.identifyResult, kAtaBlockSize)) failed.push_back(identify);
    if (!CBFILE::Replace(attributes.c_str(), drive.dataResult, kAttributeTableSize)) failed.push_back(attributes);
    return failed;
}
