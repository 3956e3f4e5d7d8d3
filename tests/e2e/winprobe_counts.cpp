// winprobe counts HWND: the usage figures of the program that owns the
// window, counted inside it by usagecount.dll.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "remote_buffer.h"
#include "remote_library.h"
#include "usagecount.h"
#include "winprobe_commands.h"

namespace {

const DWORD kCountTimeoutMs = 20000;

}  // namespace

int CountsCommand(const char* window_arg) {
    const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(window_arg, nullptr, 0)));
    DWORD pid = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &pid) == 0) return 1;
    RemoteLibrary counter(pid, BesideProbe(L"usagecount.dll"));
    RemoteBuffer block(pid, sizeof(UsageCounts));
    DWORD counted = 0;
    if (!counter.Ok() || !block.Ok() || !counter.Call("CountUsage", block.At(0), kCountTimeoutMs, &counted)) {
        if (counter.Stuck()) block.Abandon();
        std::fprintf(stderr, "winprobe: usagecount.dll could not count in the program\n");
        return 1;
    }
    UsageCounts counts = {};
    if (counted != 1 || !block.Read(0, &counts, sizeof counts)) return 1;
    std::printf("private %llu working %llu handles %u threads %u gdi %u user %u\n",
                static_cast<unsigned long long>(counts.privateBytes),
                static_cast<unsigned long long>(counts.workingSet), counts.handles, counts.threads, counts.gdi,
                counts.user);
    return 0;
}
