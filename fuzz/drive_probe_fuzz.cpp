// The probe, the polls, the volume mapping and the evaluation over a device
// system whose every answer comes from the input: success or failure, byte
// counts and the reply bytes. Handles must balance, texts stay terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "drive/basiclist.h"
#include "drive/device.h"
#include "drive/probe.h"
#include "drive/summaryline.h"
#include "drive/volumes.h"
#include "smart/evaluation.h"
#include "start_settings.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Reads the input as a stream; past its end every byte is zero, so that
// short inputs answer as devices that are not there.
class InputDevices : public DeviceSystem {
public:
    InputDevices(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    HANDLE Open(const char*, DWORD, DWORD, DWORD, DWORD) override {
        if (!(Byte() & 1)) return INVALID_HANDLE_VALUE;
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(++next_ * 4));
        open_.insert(handle);
        return handle;
    }
    BOOL Control(HANDLE device, DWORD, void*, DWORD, void* out, DWORD outSize, DWORD* returned) override {
        Require(open_.count(device) == 1);
        const BYTE how = Byte();
        BYTE* bytes = static_cast<BYTE*>(out);
        // Either the reply bytes from the input, or a pattern over the whole
        // reply that inputs of a few bytes can set.
        for (DWORD i = 0; i < outSize; ++i) bytes[i] = (how & 2) ? Byte() : static_cast<BYTE>(how * (i + 1));
        if (returned) *returned = outSize ? Word() % (outSize + 1) : 0;
        return how & 1;
    }
    BOOL Close(HANDLE device) override {
        Require(open_.erase(device) == 1);
        return TRUE;
    }
    DWORD PlatformId() override { return (Byte() & 7) == 7 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT; }
    DWORD LogicalDrives() override { return Word() | (static_cast<DWORD>(Word()) << 16); }
    bool DiskFreeSpace(const char*, ULONGLONG* a, ULONGLONG* t, ULONGLONG* f) override {
        *a = Word();
        *t = (static_cast<ULONGLONG>(Word()) << 32) | Word();
        *f = Word();
        return Byte() & 1;
    }
    void DebugOutput(const char* text) override { Require(std::strlen(text) < 1024); }

    size_t OpenHandles() const { return open_.size(); }
    BYTE Byte() { return at_ < size_ ? data_[at_++] : 0; }
    DWORD Word() { return Byte() | (Byte() << 8); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    unsigned next_ = 0;
    std::set<HANDLE> open_;
};

void RequireTerminated(const char* text, size_t size) { Require(strnlen(text, size) < size); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const AppSettings& settings = StartSettings();
    InputDevices devices(data, size);
    DeviceSystem* previous = InstallDevices(&devices);
    std::unique_ptr<DriveTable> table(new DriveTable());
    table->Clear();
    for (DriveInfo& drive : table->slots) drive.miniportAddr = (devices.Byte() & 3) ? 0xFFFFFFFF : devices.Word();
    CreateDevices(*table);
    Require(table->driveCount <= kDriveSlots);
    AddAllDriveLetters(*table);
    for (int poll = 0; poll < 2; ++poll) {
        UpdateDevices(*table);
        for (DWORD k = 0; k < table->driveCount; ++k) {
            DriveInfo& drive = table->Shown(k);
            Require(drive.present);
            SumDiskSpace(drive);
            RefreshDrive(*table, table->shown[k], settings);
            RequireTerminated(drive.summary.driveLetters, sizeof drive.summary.driveLetters);
            char line[kSummaryLineSize];
            SummaryLine(drive, line);
            RequireTerminated(line, sizeof line);
            BasicRow rows[kBasicRows];
            if (FillBasicRows(drive, poll, rows) != 0) {
                for (const BasicRow& row : rows) RequireTerminated(row.value, sizeof row.value);
            }
        }
    }
    CloseDevices(*table);
    Require(devices.OpenHandles() == 0);
    InstallDevices(previous);
    return 0;
}
