// One pen or one brush, deleted with its owner.
#pragma once

#include <windows.h>

template <typename Handle>
class GdiHandle {
public:
    GdiHandle() = default;
    virtual ~GdiHandle() { Delete(); }
    GdiHandle(const GdiHandle&) = delete;
    GdiHandle& operator=(const GdiHandle&) = delete;

    // Takes a handle the caller created, deleting the one held before.
    // Returns whether there now is one.
    bool Reset(Handle handle) {
        Delete();
        handle_ = handle;
        return handle_ != nullptr;
    }
    void Delete() {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = nullptr;
    }
    Handle Get() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

using WINPEN = GdiHandle<HPEN>;
using WINBRUSH = GdiHandle<HBRUSH>;
