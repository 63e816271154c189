// Small non-copyable owners of Win32 handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/owned.h"
#include "platform/types.h"

namespace quorvel::win32 {

using platform::IsNoHandle;
using platform::Owned;

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
// A COM object's reference (IShellDispatch, say).
struct ReleaseComObject {
    template <typename Interface>
    void operator()(Interface* object) const {
        object->Release();
    }
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
