#include "platform/win32/win32_density.h"

#include "platform/win32/handles.h"
#include "platform/win32/look_up.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

namespace {

// shcore.dll, Windows 8.1: GetProcessDpiAwareness's PROCESS_PER_MONITOR_DPI_AWARE
// and GetDpiForMonitor's MDT_EFFECTIVE_DPI, the density the user chose.
constexpr int kPerMonitorAware = 2;
constexpr int kEffectiveDensity = 0;
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// user32.dll, Windows 10 1607.
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

struct Functions {
    GetDpiForMonitorFn forMonitor = nullptr;  // null unless per-monitor aware
    AdjustWindowRectExForDpiFn adjust = nullptr;
};

const Functions& Found() {
    static const Functions found = [] {
        Functions f;
        f.adjust = LookUp<AdjustWindowRectExForDpiFn>(GetModuleHandleA("user32.dll"),
                                                      "AdjustWindowRectExForDpi");
        // The manifest makes the program per-monitor aware on Windows 8.1 and
        // later; asked all the same, as a host may have made it otherwise.
        HMODULE shcore = LoadSystemLibrary("shcore.dll");
        auto awareness = LookUp<GetProcessDpiAwarenessFn>(shcore, "GetProcessDpiAwareness");
        int aware = 0;
        if (awareness != nullptr && SUCCEEDED(awareness(nullptr, &aware)) &&
            aware == kPerMonitorAware) {
            f.forMonitor = LookUp<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor");
        }
        return f;
    }();
    return found;
}

}  // namespace

int SystemDensity() {
    static const int density = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    return density;
}

int MonitorDensity(HMONITOR monitor) {
    UINT x = 0, y = 0;
    const Functions& f = Found();
    if (f.forMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(f.forMonitor(monitor, kEffectiveDensity, &x, &y)) && y != 0) {
        return static_cast<int>(y);
    }
    return SystemDensity();
}

void AddFrame(RECT& r, DWORD style, DWORD exStyle, int pixelsPerInch) {
    const Functions& f = Found();
    if (f.adjust != nullptr &&
        f.adjust(&r, style, FALSE, exStyle, static_cast<UINT>(pixelsPerInch)) != FALSE) {
        return;
    }
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

}  // namespace quorvel::win32
