// The conformance tests' windows under Wine: the real window system.
#include <windows.h>

#include "conformance/window_target.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_api.h"

namespace quorvel::testing {

namespace {
class Win32WindowTarget : public WindowTarget {
public:
    Win32WindowTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QuorvelWindowTest";
        RegisterClassA(&cls);
    }
    platform::WinApi& api() override { return api_; }
    platform::Hwnd NewWindow(bool hidden) override {
        HWND w = CreateWindowExA(0, "QuorvelWindowTest", "window test", WS_OVERLAPPEDWINDOW, 10, 10,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!hidden) ShowWindow(w, SW_SHOWNOACTIVATE);
        return win32::FromHwnd(w);
    }
    bool Visible(platform::Hwnd hwnd) override { return IsWindowVisible(win32::ToHwnd(hwnd)); }
    bool Active(platform::Hwnd hwnd) override { return GetActiveWindow() == win32::ToHwnd(hwnd); }
    int Place(platform::Hwnd hwnd) override {
        // Front to back among this process's top-level windows.
        int place = 0;
        for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId()) continue;
            if (w == win32::ToHwnd(hwnd)) return place;
            ++place;
        }
        return -1;
    }
    void Destroy(platform::Hwnd hwnd) override { DestroyWindow(win32::ToHwnd(hwnd)); }

private:
    win32::Win32Api api_;
};
}  // namespace

WindowTarget& Windows() {
    static Win32WindowTarget target;
    return target;
}

}  // namespace quorvel::testing
