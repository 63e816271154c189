// Small non-copyable owners of Win32 handles, and the scope of one painting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/owned.h"
#include "platform/scope_exit.h"
#include "platform/types.h"

namespace quorvel::win32 {

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

// A device context from GetDC goes back to the window it came from.
struct ReleaseWindowDc {
    HWND window;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
using WindowDc = Owned<HDC, ReleaseWindowDc>;
// GetDC's device context of `window`, the screen's for none.
inline WindowDc WindowDcOf(HWND window) {
    return WindowDc(GetDC(window), ReleaseWindowDc{window});
}

// The drawing of one WM_PAINT: `draw` is given the device context of
// BeginPaint, and EndPaint follows on every way out.
template <typename Draw>
void Paint(HWND window, Draw draw) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const platform::ScopeExit ended([&] { EndPaint(window, &paint); });
    draw(dc);
}

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
