#include "common/drive_blocks.h"

SimDrive TestDrive(int number, const std::string& model) {
    SimDrive drive;
    drive.number = number;
    drive.identify = BuildIdentify(model, "SN" + std::to_string(number), "FW1", 976773168);
    drive.smart = BuildAttributeTable({{0x01, 100, 100, 0}, {0x05, 100, 100, static_cast<ULONGLONG>(number)},
                                       {0x09, 99, 99, 1234}, {0xC2, 40, 30, 35}});
    drive.thresholds = BuildThresholds({{0x01, 6}, {0x05, 36}, {0x09, 0}, {0xC2, 0}});
    return drive;
}
