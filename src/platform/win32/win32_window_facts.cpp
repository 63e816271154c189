#include "platform/win32/win32_window_facts.h"

#include "platform/win32/handles.h"
#include "platform/win32/win32_dwm.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<Hwnd>*>(lParam)->push_back(FromHwnd(hwnd));
    return TRUE;
}

}  // namespace

std::vector<Hwnd> Win32WindowFacts::TopLevelWindows(std::string_view className) {
    std::vector<Hwnd> found;
    if (className.empty()) {
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    // One search in the window system: no look at each window here.
    const std::string name(className);
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, name.c_str(), nullptr)) != nullptr) {
        found.push_back(FromHwnd(window));
    }
    return found;
}

Hwnd Win32WindowFacts::WindowTitled(std::string_view title) {
    return FromHwnd(FindWindowA(nullptr, std::string(title).c_str()));
}

Hwnd Win32WindowFacts::ShellWindow() {
    return FromHwnd(GetShellWindow());
}

ScreenRect Win32WindowFacts::VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Win32WindowFacts::Exists(Hwnd window) {
    return IsWindow(ToHwnd(window)) != FALSE;
}

std::uint32_t Win32WindowFacts::Style(Hwnd window) {
    return static_cast<std::uint32_t>(GetWindowLongA(ToHwnd(window), GWL_STYLE));
}

std::uint32_t Win32WindowFacts::ExtendedStyle(Hwnd window) {
    return static_cast<std::uint32_t>(GetWindowLongA(ToHwnd(window), GWL_EXSTYLE));
}

Hwnd Win32WindowFacts::Owner(Hwnd window) {
    return FromHwnd(GetWindow(ToHwnd(window), GW_OWNER));
}

std::uint32_t Win32WindowFacts::ProcessOf(Hwnd window) {
    DWORD process = 0;
    if (window != 0) GetWindowThreadProcessId(ToHwnd(window), &process);
    return process;
}

std::uint32_t Win32WindowFacts::ThreadOf(Hwnd window) {
    return window == 0 ? 0 : GetWindowThreadProcessId(ToHwnd(window), nullptr);
}

std::string Win32WindowFacts::ClassOf(Hwnd window) {
    // A class name is 256 characters at most ("WNDCLASSA structure").
    char name[257] = {};
    const int length = GetClassNameA(ToHwnd(window), name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

int Win32WindowFacts::TitleLength(Hwnd window) {
    return GetWindowTextLengthA(ToHwnd(window));
}

ScreenRect Win32WindowFacts::Place(Hwnd window) {
    RECT r{};
    GetWindowRect(ToHwnd(window), &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool Win32WindowFacts::Cloaked(Hwnd window) {
    // A window on another virtual desktop, or a suspended app's frame, is
    // visible but cloaked (Windows 8 and later): activating it would switch
    // the user to it. Where DWM has no such attribute, nothing is cloaked.
    constexpr DWORD kDwmwaCloaked = 14;
    DWORD cloaked = 0;
    return SUCCEEDED(
               DwmGetWindowAttribute(ToHwnd(window), kDwmwaCloaked, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}

}  // namespace quorvel::win32
