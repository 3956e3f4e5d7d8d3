// usagecount.dll: winprobe loads it into the program under test for the
// figures a soak compares over time (see usagecount.h).
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include "usagecount.h"
#include "windows/gui_counts.h"

namespace {

bool CountThreads(UINT32* count) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    const DWORD self = GetCurrentProcessId();
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    UINT32 found = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) ++found;
    }
    CloseHandle(snapshot);
    *count = found > 0 ? found - 1 : 0;
    return found > 0;
}

// Committed private memory, region by region: what Windows calls private
// bytes, where the system does not say (Wine answers 0).
UINT64 WalkPrivateBytes() {
    UINT64 total = 0;
    const char* address = nullptr;
    MEMORY_BASIC_INFORMATION region;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

// Every handle value the process's table answers for, where the system does
// not count them (Wine answers 0).
UINT32 ProbeHandles() {
    const UINT_PTR kHandleValues = 0x40000;
    UINT32 count = 0;
    for (UINT_PTR value = 4; value < kHandleValues; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI CountUsage(UsageCounts* counts) {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    DWORD handles = 0;
    // The snapshot's own handle is closed before the handles are counted.
    if (!CountThreads(&counts->threads) ||
        !GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                              sizeof memory) ||
        !GetProcessHandleCount(GetCurrentProcess(), &handles)) {
        return 0;
    }
    const GuiCounts gui = CountGuiObjects();
    counts->privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : WalkPrivateBytes();
    counts->workingSet = memory.WorkingSetSize;
    counts->handles = handles != 0 ? handles : ProbeHandles();
    counts->gdi = gui.gdi;
    counts->user = gui.user;
    return 1;
}
