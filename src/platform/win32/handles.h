// Small non-copyable owners of Win32 handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/types.h"

namespace quorvel::win32 {

// Whether a value is no handle at all: 0, and for kernel handles also
// INVALID_HANDLE_VALUE, which CreateFile and FindFirstFile return instead.
template <typename Handle>
bool IsNoHandle(Handle h) {
    return h == Handle{};
}
inline bool IsNoHandle(HANDLE h) {
    return h == nullptr || h == INVALID_HANDLE_VALUE;
}

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
    explicit operator bool() const { return !IsNoHandle(handle_); }
    void Reset(Handle handle = Handle{}) {
        if (!IsNoHandle(handle_)) Closer{}(handle_);
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
struct CloseFind {
    void operator()(HANDLE h) const { FindClose(h); }
};

using KernelHandle = Owned<HANDLE, CloseKernelHandle>;
using Font = Owned<HFONT, DeleteGdiObject>;
using Brush = Owned<HBRUSH, DeleteGdiObject>;
using Menu = Owned<HMENU, DestroyMenuHandle>;
using FindHandle = Owned<HANDLE, CloseFind>;

// A device context from GetDC, released on every path.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The drawing of one WM_PAINT, from BeginPaint to EndPaint.
class Painting {
public:
    explicit Painting(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~Painting() { EndPaint(window_, &ps_); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_;
    HDC dc_;
};

// The program's 32-bit handle values and Windows' own, both ways (see
// platform::WidenHandle).
template <typename Handle>
Handle ToHandle(std::uint32_t h) {
    return reinterpret_cast<Handle>(platform::WidenHandle(h));
}
template <typename Handle>
std::uint32_t FromHandle(Handle h) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(h));
}
inline HWND ToHwnd(std::uint32_t h) {
    return ToHandle<HWND>(h);
}
inline std::uint32_t FromHwnd(HWND h) {
    return FromHandle(h);
}

}  // namespace quorvel::win32
