// The conformance tests' notification area under Wine: the real shell.
#include <windows.h>

#include "conformance/tray_target.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_api.h"

namespace quorvel::testing {

namespace {
class Win32TrayTarget : public TrayTarget {
public:
    Win32TrayTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QuorvelTrayTest";
        RegisterClassA(&cls);
        window_ = CreateWindowExA(0, cls.lpszClassName, "tray test", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, cls.hInstance, nullptr);
    }
    ~Win32TrayTarget() override { DestroyWindow(window_); }
    platform::WinApi& api() override { return api_; }
    platform::Hwnd Window() override { return win32::FromHwnd(window_); }
    platform::Hicon Icon() override {
        return static_cast<platform::Hicon>(
            reinterpret_cast<UINT_PTR>(LoadIcon(nullptr, IDI_APPLICATION)));
    }

private:
    win32::Win32Api api_;
    HWND window_ = nullptr;
};
}  // namespace

TrayTarget& Tray() {
    static Win32TrayTarget target;
    return target;
}

}  // namespace quorvel::testing
