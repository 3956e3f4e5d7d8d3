// The evaluation of an NVMe drive: its identity from the Identify
// Controller data, its counts, temperature and health from the health log.
#include <algorithm>
#include <cstdio>

#include "drive/nvmeblocks.h"
#include "drive/summaryline.h"
#include "smart/evaluation.h"
#include "smart/evaluationsteps.h"

LONG NvmeHealthFromLog(BYTE criticalWarning, const DriveSummary& summary, const DriveInfo& limits) {
    if (NvmeWarningIsCritical(criticalWarning) || summary.rawC6 > limits.limitC6) return HealthDanger;
    if (summary.raw05 > limits.limit05) return HealthCaution;
    return HealthGood;
}

void EvaluateNvme(DriveInfo& drive, DriveSummary& next, const AppSettings& settings) {
    const BYTE* identify = drive.nvmeIdentifyResult;
    const BYTE* health = drive.nvmeHealthResult;
    next.reserved[0] = ProtocolNvme;
    NvmeString(identify, kNvmeModel, kNvmeModelLength, next.model);
    NvmeString(identify, kNvmeFirmware, kNvmeFirmwareLength, next.firmware);
    NvmeString(identify, kNvmeSerial, kNvmeSerialLength, next.serial);

    PanelTexts& texts = drive.texts;
    SummaryLine(drive, next.model, texts.summary);
    std::snprintf(texts.firmware, sizeof texts.firmware, "%s", next.firmware);
    std::snprintf(texts.serial, sizeof texts.serial, "%s", next.serial);

    const BYTE warning = health[kNvmeCriticalWarning];
    drive.criticalWarning = warning;
    next.raw05 = NvmeSpareUsed(health);
    next.rawC4 = 0;
    next.rawC5 = 0;
    next.rawC6 = NvmeSaturatedCount(NvmeCounterAt(health, kNvmeMediaErrors));
    drive.status = NvmeHealthFromLog(warning, next, drive);
    next.statusByte = static_cast<BYTE>(drive.status);

    // As for ATA drives the sample is the temperature of the previous
    // evaluation.
    AppendHistory(drive, next.temperature);

    std::snprintf(texts.counts, sizeof texts.counts,
                  "Critical Warning : 0x%02X\r\nSpare Used : %d%%\r\nMedia and Data Integrity Errors : %d", warning,
                  static_cast<int>(next.raw05), static_cast<int>(next.rawC6));

    next.powerOnHours = NvmeSaturatedCount(NvmeCounterAt(health, kNvmePowerOnHours));
    // 0 K is a temperature the drive does not report: the last one stays.
    const WORD kelvin = NvmeWord(health, kNvmeCompositeTemperature);
    if (kelvin != 0) next.temperature = static_cast<signed char>(std::clamp(NvmeCelsius(kelvin), -128, 127));
    FinishEvaluation(drive, next, settings);
}
