#include "drive/kernel32devices.h"

namespace {

typedef BOOL(WINAPI* GetDiskFreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

class Kernel32 : public DeviceSystem {
public:
    HANDLE Open(const char* path, DWORD access, DWORD share, DWORD creation, DWORD flags) override {
        return CreateFileA(path, access, share, nullptr, creation, flags, nullptr);
    }

    BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override {
        DWORD bytes = 0;
        const BOOL ok = DeviceIoControl(device, code, in, inSize, out, outSize, &bytes, nullptr);
        if (returned != nullptr) *returned = bytes;
        return ok;
    }

    BOOL Close(HANDLE device) override { return CloseHandle(device); }

    DWORD PlatformId() override {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        return GetVersionExA(&version) ? version.dwPlatformId : 0;
    }

    DWORD LogicalDrives() override { return GetLogicalDrives(); }

    // Looked up at run time: the oldest systems lack it. An empty removable
    // drive must not raise a system box.
    bool DiskFreeSpace(const char* root, ULONGLONG* available, ULONGLONG* total, ULONGLONG* free) override {
        HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
        if (kernel == nullptr) return false;
        const GetDiskFreeSpaceExFunction function = reinterpret_cast<GetDiskFreeSpaceExFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
        bool ok = false;
        if (function != nullptr) {
            ULARGE_INTEGER a = {}, t = {}, f = {};
            const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
            ok = function(root, &a, &t, &f) != FALSE;
            SetErrorMode(previous);
            *available = a.QuadPart;
            *total = t.QuadPart;
            *free = f.QuadPart;
        }
        FreeLibrary(kernel);
        return ok;
    }

    void DebugOutput(const char* text) override { OutputDebugStringA(text); }
};

}  // namespace

DeviceSystem& Kernel32Devices() {
    static Kernel32 devices;
    return devices;
}
