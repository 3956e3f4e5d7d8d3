// The ATA pass-through steps for one drive. Each step clears the pointer it
// sets first, so a failed request leaves null until a later success; bytes,
// where given, receives the count the request returned.
#pragma once

#include "drive/driveio.h"

const BYTE kIdentifyDevice = 0xEC;
const BYTE kIdentifyPacketDevice = 0xA1;

// Opens the drive of that number (its own PHYSICALDRIVE device on the NT
// family, the shared SMARTVSD device on the 9x family).
bool OpenDrive(DriveIo& io, BYTE number);
// SMART_GET_VERSION; picks the IDENTIFY command and enables SMART on an ATA
// device.
GETVERSIONINPARAMS* GetSmartVersion(DriveIo& io, DWORD* bytes);
bool EnableSmart(DriveIo& io);
BYTE* IdentifyDrive(DriveIo& io, DWORD* bytes);
// IDENTIFY through the SCSI miniport of port n ("CMD_IDE " request).
BYTE* IdentifyByMiniport(DriveIo& io, WORD port, WORD device, DWORD* bytes);
BYTE* ReadSmartData(DriveIo& io, DWORD* bytes);
// The SMART data block through IOCTL_STORAGE_PREDICT_FAILURE; none when the
// drive predicts a failure.
BYTE* ReadPredictFailure(DriveIo& io, DWORD* bytes);
BYTE* ReadSmartThresholds(DriveIo& io, DWORD* bytes);
// Closes the device and forgets every reply, the NVMe ones too.
void CloseDrive(DriveIo& io);
