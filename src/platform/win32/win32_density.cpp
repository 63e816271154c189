#include "platform/win32/win32_density.h"

#include <cstdint>
#include <optional>

#include "platform/win32/handles.h"
#include "platform/win32/look_up.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

using platform::ClientArea;

namespace {

// shcore.dll, Windows 8.1: GetProcessDpiAwareness's PROCESS_PER_MONITOR_DPI_AWARE
// and GetDpiForMonitor's MDT_EFFECTIVE_DPI, the density the user chose.
constexpr int kPerMonitorAware = 2;
constexpr int kEffectiveDensity = 0;
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// user32.dll, Windows 10 1607.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// user32's functions of Windows 10 1607, which need no other library.
struct User32 {
    GetDpiForWindowFn forWindow = nullptr;
    AdjustWindowRectExForDpiFn adjust = nullptr;
};

const User32& FoundInUser32() {
    static const User32 found = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return User32{LookUp<GetDpiForWindowFn>(user32, "GetDpiForWindow"),
                      LookUp<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi")};
    }();
    return found;
}

// A monitor's density on Windows 8.1 and 10 before 1607, from shcore; null
// where the program is not per-monitor aware (the manifest makes it so on
// those; asked all the same, as a host may have made it otherwise).
GetDpiForMonitorFn FoundInShcore() {
    static const GetDpiForMonitorFn found = [] {
        HMODULE shcore = LoadSystemLibrary("shcore.dll");
        auto awareness = LookUp<GetProcessDpiAwarenessFn>(shcore, "GetProcessDpiAwareness");
        int aware = 0;
        if (awareness == nullptr || FAILED(awareness(nullptr, &aware)) ||
            aware != kPerMonitorAware) {
            return GetDpiForMonitorFn{};
        }
        return LookUp<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor");
    }();
    return found;
}

}  // namespace

int SystemDensity() {
    static const int density = GetDeviceCaps(WindowDcOf(nullptr).get(), LOGPIXELSY);
    return density;
}

int WindowDensity(HWND window) {
    if (const auto forWindow = FoundInUser32().forWindow) {
        if (const UINT density = forWindow(window); density != 0) return static_cast<int>(density);
        return SystemDensity();
    }
    // Windows before 1607: shcore is there only from 8.1 on.
    UINT x = 0, y = 0;
    const GetDpiForMonitorFn forMonitor = FoundInShcore();
    if (forMonitor != nullptr &&
        SUCCEEDED(forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDensity,
                             &x, &y)) &&
        y != 0) {
        return static_cast<int>(y);
    }
    return SystemDensity();
}

void AddFrame(RECT& r, DWORD style, DWORD exStyle, int pixelsPerInch) {
    const auto adjust = FoundInUser32().adjust;
    if (adjust != nullptr &&
        adjust(&r, style, FALSE, exStyle, static_cast<UINT>(pixelsPerInch)) != FALSE) {
        return;
    }
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

// --- A form at its density ---

void Win32Form::MakeDialogFont() {
    font_.Reset(CreateFontA(FontHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg"));
}

void Win32Form::LayOut() {
    // The new font is given before the old one goes: a control keeps using
    // the font it was given until it is given another.
    Font old(std::move(font_));
    if (IsDialog()) MakeDialogFont();
    for (Win32Control& c : Win32Controls()) {
        if (c.window() == nullptr) continue;
        const ClientArea at = ControlArea(c.description());
        SetWindowPos(c.window(), nullptr, at.x, at.y, at.width, at.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(c.window(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT Win32Form::DensityChanged(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDPISCALEDSIZE) {
        const std::optional<ClientArea> size = SizeAskedFor(static_cast<std::intptr_t>(wParam));
        if (!size) return FALSE;
        RECT r{0, 0, size->width, size->height};
        AddFrame(r, style_, exStyle_, static_cast<int>(wParam));
        auto* proposed = reinterpret_cast<SIZE*>(lParam);
        proposed->cx = r.right - r.left;
        proposed->cy = r.bottom - r.top;
        return TRUE;
    }
    // "WM_DPICHANGED": the window is laid out at the new density and takes
    // the rectangle Windows suggests, which keeps it on the monitor that
    // gave the new density.
    if (!TakeDensityTold(static_cast<std::uint32_t>(wParam))) return 0;
    LayOut();
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!IsIconic(hwnd_)) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    DensityApplied();
    return 0;
}

}  // namespace quorvel::win32
