#include "smart/evaluation.h"

#include <cstdio>
#include <cstring>

#include "drive/atablocks.h"
#include "drive/summaryline.h"
#include "smart/drivelocks.h"
#include "smart/evaluationsteps.h"
#include "smart/summaries.h"

namespace {

const BYTE kReallocatedSectors = 0x05;
const BYTE kPowerOnHours = 0x09;
const BYTE kReallocationEvents = 0xC4;
const BYTE kPendingSectors = 0xC5;
const BYTE kUncorrectableSectors = 0xC6;

const DWORD kModelOffset = 27 * 2;
const DWORD kFirmwareOffset = 23 * 2;
const DWORD kSerialOffset = 10 * 2;

// An identity field of IDENTIFY: swapped from ATA byte order unless the
// drive's "Reverse" key says it is stored the other way.
template <size_t N>
void IdentityString(const BYTE* identify, DWORD offset, DWORD length, bool reverse, char (&out)[N]) {
    std::memset(out, 0, N);
    if (reverse) {
        std::memcpy(out, identify + offset, length);
        TrimAtaString(out, length);
    } else {
        SwapAtaString(identify + offset, length, out);
    }
}

// Only an open device's attribute table counts.
void CountIfReported(const DriveIo& io, BYTE id, LONG* count) {
    BYTE raw[6];
    if (io.hDevice != nullptr && FindAttribute(io.pDA, id, raw)) *count = RawCount(raw);
}

// Steps of an evaluation of an ATA drive that the blocks allow; the caller
// holds the update lock.
void Evaluate(DriveInfo& drive, DriveSummary& next, const AppSettings& settings) {
    const bool reverse = drive.reverseStrings != 0;
    IdentityString(drive.identifyResult, kModelOffset, 40, reverse, next.model);
    IdentityString(drive.identifyResult, kFirmwareOffset, 8, reverse, next.firmware);
    IdentityString(drive.identifyResult, kSerialOffset, 20, reverse, next.serial);

    PanelTexts& texts = drive.texts;
    SummaryLine(drive, next.model, texts.summary);
    std::snprintf(texts.firmware, sizeof texts.firmware, "%s", next.firmware);
    std::snprintf(texts.serial, sizeof texts.serial, "%s", next.serial);

    CountIfReported(drive.io, kReallocatedSectors, &next.raw05);
    CountIfReported(drive.io, kReallocationEvents, &next.rawC4);
    CountIfReported(drive.io, kPendingSectors, &next.rawC5);
    CountIfReported(drive.io, kUncorrectableSectors, &next.rawC6);
    drive.status = HealthFromCounts(next, drive);
    next.statusByte = static_cast<BYTE>(drive.status);

    // The sample is the temperature of the previous evaluation: the history
    // lags one refresh behind, and its first sample is 0.
    AppendHistory(drive, next.temperature);

    std::snprintf(texts.counts, sizeof texts.counts, "%s : %d\r\n%s : %d\r\n%s : %d\r\n%s : %d",
                  settings.Labels.A05, static_cast<int>(next.raw05), settings.Labels.AC4, static_cast<int>(next.rawC4),
                  settings.Labels.AC5, static_cast<int>(next.rawC5), settings.Labels.AC6,
                  static_cast<int>(next.rawC6));

    const bool open = drive.io.hDevice != nullptr && drive.io.pDA != nullptr;
    if (open) CountIfReported(drive.io, kPowerOnHours, &next.powerOnHours);

    BYTE raw[6];
    if (open && FindAttribute(drive.io.pDA, drive.tempAttrId, raw)) next.temperature = static_cast<signed char>(raw[0]);
    FinishEvaluation(drive, next, settings);
}

}  // namespace

LONG HealthFromCounts(const DriveSummary& summary, const DriveInfo& limits) {
    LONG status = HealthGood;
    if (summary.raw05 > limits.limit05) status = HealthCaution;
    if (summary.rawC4 > limits.limitC4) status = HealthDanger;
    if (summary.rawC5 > limits.limitC5) status = HealthDanger;
    if (summary.rawC6 > limits.limitC6) status = HealthDanger;
    return status;
}

LONG DisplayedStatus(const DriveInfo& drive, const AppSettings& settings, int blinkPhase) {
    if (settings.Temperature.Enable && blinkPhase && drive.summary.temperature > settings.Temperature.Threshold) {
        return HealthHot;
    }
    return drive.status;
}

double GaugeAfter(double gauge, int used) {
    return static_cast<unsigned>(used) > 100u ? gauge : static_cast<double>(used);
}

void RefreshDrive(DriveTable& table, DWORD slot, const AppSettings& settings) {
    if (slot >= kDriveSlots) return;
    DriveInfo& drive = table.slots[slot];
    DriveSummary next = drive.summary;
    {
        CritSectLock lock(updateLock);
        if (!drive.present) {
            drive.status = HealthError;
            next.hasData = 0;
            next.statusByte = HealthError;
        } else {
            next.hasData = 1;
            if (drive.protocol == ProtocolNvme) {
                if (drive.nvmeIdentifyResult != nullptr && drive.nvmeHealthResult != nullptr) {
                    EvaluateNvme(drive, next, settings);
                }
            } else if (drive.identifyResult != nullptr && drive.dataResult != nullptr) {
                Evaluate(drive, next, settings);
            }
        }
    }
    PublishSummary(drive, next);
}
