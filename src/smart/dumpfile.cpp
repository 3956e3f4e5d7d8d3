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

void DumpDrive(DriveTable& table, DWORD slot) {
    if (slot >= kDriveSlots) return;
    DriveInfo& drive = table.slots[slot];
    CritSectLock lock(updateLock);
    if (!drive.present || drive.identifyResult == nullptr || drive.dataResult == nullptr) return;
    const std::string base = DumpBaseName(slot, drive.summary);
    CBFILE::Write((base + "_ID").c_str(), 0, drive.identifyResult, kAtaBlockSize);
    CBFILE::Write((base + "_DA").c_str(), 0, drive.dataResult, kAttributeTableSize);
}
