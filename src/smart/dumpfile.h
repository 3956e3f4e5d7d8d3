// Writing a drive's raw IDENTIFY block and attribute table to two files in
// the current directory: "N.model.firmware.serial_ID" (512 bytes) and
// "..._DA" (360 bytes), N being the drive number. An NVMe drive writes its
// identify data ("..._NVME_ID", 4096 bytes) and its health log
// ("..._NVME_LOG", 512 bytes) as received.
#pragma once

#include <string>
#include <vector>

#include "smart/driveinfo.h"

const char kNvmeIdentifySuffix[] = "_NVME_ID";
const char kNvmeHealthSuffix[] = "_NVME_LOG";

// The base name of the two files. Characters that file names cannot hold
// (\ / : * ? " < > | and control characters) become '_'.
std::string DumpBaseName(DWORD driveNumber, const DriveSummary& summary);

// Writes both files of a present drive with data, under the update lock;
// a drive without data writes nothing. Each file is written whole or not
// at all (an earlier file of that name then stays as it was). Returns the
// names of the files that could not be written.
std::vector<std::string> DumpDrive(DriveTable& table, DWORD slot);
