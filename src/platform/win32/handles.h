// Small non-copyable owners of Win32 handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace quorvel::win32 {

template <typename Handle, typename Closer>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    void Reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Closer{}(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct CloseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DestroyMenuHandle {
    void operator()(HMENU h) const { DestroyMenu(h); }
};

using KernelHandle = Owned<HANDLE, CloseKernelHandle>;
using Font = Owned<HFONT, DeleteGdiObject>;
using Brush = Owned<HBRUSH, DeleteGdiObject>;
using Menu = Owned<HMENU, DestroyMenuHandle>;

// FindFirstFile's handle is INVALID_HANDLE_VALUE, not 0, when it fails.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

inline HWND ToHwnd(std::uint32_t h) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(h));
}
inline std::uint32_t FromHwnd(HWND h) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(h));
}

}  // namespace quorvel::win32
