// The NVMe steps for one drive, through IOCTL_STORAGE_QUERY_PROPERTY
// (Windows 10 and later): the bus type of the device, the Identify
// Controller data and the SMART / Health Information log. The queries need
// no access rights to the device, so they work without administrator rights.
#pragma once

#include "drive/driveio.h"

// Opens the drive of that number for reading and writing, or, when that is
// refused, with no access rights: enough for the queries. NT family only.
bool OpenNvmeDrive(DriveIo& io, BYTE number);
// The device property says the drive sits on the NVMe bus.
bool IsNvmeDrive(DriveIo& io);
// Each clears its pointer first and sets it when the reply is whole.
BYTE* ReadNvmeIdentify(DriveIo& io);
BYTE* ReadNvmeHealth(DriveIo& io);
