// A healthy simulated drive for the drive-access tests.
#pragma once

#include <string>

#include "sim/blockbuilder.h"

// Attributes 0x01, 0x05 (raw = the drive number), 0x09 (1234 hours) and
// 0xC2 (35 degrees).
SimDrive TestDrive(int number, const std::string& model);
