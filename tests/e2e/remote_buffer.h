// Memory in another process, for the control messages whose structures the
// system does not carry across processes and for what winprobe hands to code
// it runs there.
#pragma once

#include <windows.h>

class RemoteBuffer {
public:
    RemoteBuffer(DWORD pid, SIZE_T size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    RemoteBuffer(HWND window, SIZE_T size) : RemoteBuffer(ProcessOf(window), size) {}
    ~RemoteBuffer() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return WriteProcessMemory(process_, At(offset), data, size, nullptr) != 0;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return ReadProcessMemory(process_, At(offset), data, size, nullptr) != 0;
    }
    // Left to the other process: a thread there that never ended may still
    // write into it.
    void Abandon() { address_ = nullptr; }

private:
    static DWORD ProcessOf(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        return pid;
    }

    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};
