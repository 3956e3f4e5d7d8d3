#include "remote_library.h"

#include <psapi.h>

#include <algorithm>
#include <vector>

#include "remote_buffer.h"

namespace {

const DWORD kLoadTimeoutMs = 10000;

std::wstring BaseName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

}  // namespace

std::wstring BesideProbe(const wchar_t* name) {
    std::wstring dll = ModulePath(nullptr);
    const size_t slash = dll.find_last_of(L"\\/");
    return dll.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + name;
}

RemoteLibrary::RemoteLibrary(DWORD pid, const std::wstring& path) {
    process_ = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                               PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, pid);
    // A copy of our own gives the exports' offsets within the image.
    local_ = LoadLibraryW(path.c_str());
    if (process_ == nullptr || local_ == nullptr) return;

    const SIZE_T bytes = (path.size() + 1) * sizeof(wchar_t);
    RemoteBuffer name(pid, bytes);
    if (!name.Ok() || !name.Write(0, path.c_str(), bytes)) return;
    const void* load = InTarget(reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                                             "LoadLibraryW")));
    DWORD loaded = 0;
    if (load == nullptr || !Run(load, name.At(0), kLoadTimeoutMs, &loaded)) {
        if (stuck_) name.Abandon();
        return;
    }
    // The thread's exit code holds only the low half of a 64-bit handle.
    if (loaded != 0) remote_ = ModuleBase(BaseName(ModulePath(local_)));
}

RemoteLibrary::~RemoteLibrary() {
    if (remote_ != nullptr && !stuck_) {
        const void* unload =
            InTarget(reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "FreeLibrary")));
        DWORD freed = 0;
        if (unload != nullptr) Run(unload, remote_, kLoadTimeoutMs, &freed);
    }
    if (local_ != nullptr) FreeLibrary(local_);
    if (process_ != nullptr) CloseHandle(process_);
}

bool RemoteLibrary::Call(const char* name, void* parameter, DWORD timeout_ms, DWORD* result) {
    const void* local = reinterpret_cast<const void*>(GetProcAddress(local_, name));
    if (remote_ == nullptr || local == nullptr || stuck_) return false;
    return Run(remote_ + (static_cast<const char*>(local) - reinterpret_cast<const char*>(local_)), parameter,
               timeout_ms, result);
}

bool RemoteLibrary::Run(const void* start, void* parameter, DWORD timeout_ms, DWORD* result) {
    HANDLE thread = CreateRemoteThread(process_, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start),
                                       parameter, 0, nullptr);
    if (thread == nullptr) return false;
    const bool ended = WaitForSingleObject(thread, timeout_ms) == WAIT_OBJECT_0;
    if (ended) GetExitCodeThread(thread, result);
    CloseHandle(thread);
    stuck_ = stuck_ || !ended;
    return ended;
}

// The same function in the target: the module that holds it here (a
// forwarded export may live in another DLL than the one named), at that
// module's base there, which need not be ours.
const void* RemoteLibrary::InTarget(const void* local) const {
    HMODULE module = nullptr;
    if (local == nullptr ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(local), &module)) {
        return nullptr;
    }
    char* base = ModuleBase(BaseName(ModulePath(module)));
    if (base == nullptr) return nullptr;
    return base + (static_cast<const char*>(local) - reinterpret_cast<const char*>(module));
}

char* RemoteLibrary::ModuleBase(const std::wstring& name) const {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    if (!EnumProcessModules(process_, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
        return nullptr;
    }
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (HMODULE module : modules) {
        wchar_t base[MAX_PATH] = L"";
        if (GetModuleBaseNameW(process_, module, base, MAX_PATH) && lstrcmpiW(base, name.c_str()) == 0) {
            return reinterpret_cast<char*>(module);
        }
    }
    return nullptr;
}
