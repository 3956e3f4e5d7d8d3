// The seam between drive access and the kernel: the few operations the probe,
// the polls and the volume mapping need. The Windows build forwards them to
// kernel32; the drive simulator answers them like a strict storage driver.
#pragma once

#include "drive/ddk.h"

class DeviceSystem {
public:
    virtual ~DeviceSystem() = default;

    // CreateFileA: a handle, or INVALID_HANDLE_VALUE.
    virtual HANDLE Open(const char* path, DWORD access, DWORD share, DWORD creation, DWORD flags) = 0;
    // DeviceIoControl.
    virtual BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) = 0;
    virtual BOOL Close(HANDLE device) = 0;
    // GetVersionExA's dwPlatformId; 0 when it cannot be had.
    virtual DWORD PlatformId() = 0;
    // GetLogicalDrives: bit 0 = A.
    virtual DWORD LogicalDrives() = 0;
    // GetDiskFreeSpaceExA (looked up at run time), with critical-error boxes
    // off; false when the function or the volume is not there.
    virtual bool DiskFreeSpace(const char* root, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free) = 0;
    // OutputDebugStringA.
    virtual void DebugOutput(const char* text) = 0;
};

// The device system drive access uses. Until one is installed it is one
// without drives or volumes.
DeviceSystem& Devices();
// Installs a device system (null: none); returns the previous one. The
// caller keeps ownership.
DeviceSystem* InstallDevices(DeviceSystem* devices);
