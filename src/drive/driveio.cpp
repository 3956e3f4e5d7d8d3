#include "drive/driveio.h"

#include "drive/device.h"

DriveIo::~DriveIo() {
    if (hDevice != nullptr && hDevice != INVALID_HANDLE_VALUE) Devices().Close(hDevice);
}
