// The device seam of the Windows build: the kernel's own functions.
#pragma once

#include "drive/device.h"

DeviceSystem& Kernel32Devices();
