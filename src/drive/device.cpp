#include "drive/device.h"

namespace {

// What a platform without drive access offers: nothing.
class NoDevices : public DeviceSystem {
public:
    HANDLE Open(const char*, DWORD, DWORD, DWORD, DWORD) override { return INVALID_HANDLE_VALUE; }
    BOOL Control(HANDLE, DWORD, void*, DWORD, void*, DWORD, DWORD* returned) override {
        if (returned != nullptr) *returned = 0;
        return FALSE;
    }
    BOOL Close(HANDLE) override { return FALSE; }
    DWORD PlatformId() override { return 0; }
    DWORD LogicalDrives() override { return 0; }
    bool DiskFreeSpace(const char*, ULONGLONG*, ULONGLONG*, ULONGLONG*) override { return false; }
    void DebugOutput(const char*) override {}
};

NoDevices noDevices;
DeviceSystem* installed = &noDevices;

}  // namespace

DeviceSystem& Devices() { return *installed; }

DeviceSystem* InstallDevices(DeviceSystem* devices) {
    DeviceSystem* previous = installed == &noDevices ? nullptr : installed;
    installed = devices != nullptr ? devices : &noDevices;
    return previous;
}
