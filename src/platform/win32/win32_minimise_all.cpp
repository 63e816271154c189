// What the program asks of the shell's minimise-all beyond its keys: whether
// the windows it would minimise still show, its automation object, and
// the way found to work, kept for later starts.
#include <objbase.h>
#include <shldisp.h>

#include "platform/running_instance.h"
#include "platform/win32/look_up.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

// The shell's automation object ("Shell.Application") and its interface.
constexpr CLSID kShellApplication = {
    0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShellDispatch = {
    0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // namespace

WindowStanding Win32Runtime::Standing(Hwnd window) {
    HWND hwnd = ToHwnd(window);
    if (!IsWindow(hwnd)) return WindowStanding::Destroyed;
    return IsWindowVisible(hwnd) && !IsIconic(hwnd) ? WindowStanding::Shown
                                                    : WindowStanding::MinimisedOrHidden;
}

// COM comes from ole32, loaded from the system folder for this alone: the
// program needs it only where the shell ignored its keys. The apartment is
// entered once and kept: CoUninitialize "unloads all DLLs loaded by the
// thread", which every later request would load again.
bool Win32Runtime::EnterComApartment() {
    ole32_ = LoadSystemLibrary("ole32.dll");
    auto initialize = LookUp<decltype(&CoInitializeEx)>(ole32_, "CoInitializeEx");
    // S_FALSE (entered already) is a success to balance as well.
    return initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
}

void Win32Runtime::LeaveComApartment() {
    if (auto uninitialize = LookUp<decltype(&CoUninitialize)>(ole32_, "CoUninitialize"))
        uninitialize();
}

bool Win32Runtime::MakeShellObject() {
    auto create = LookUp<decltype(&CoCreateInstance)>(ole32_, "CoCreateInstance");
    if (create == nullptr) return false;
    IShellDispatch* made = nullptr;
    const HRESULT hr =
        create(kShellApplication, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
               kShellDispatch, reinterpret_cast<void**>(&made));
    win32::Trace("shell object made: 0x%08lX", static_cast<unsigned long>(hr));
    shellObject_.Reset(SUCCEEDED(hr) ? made : nullptr);
    return static_cast<bool>(shellObject_);
}

bool Win32Runtime::ShellMinimizeAll() {
    // No result is documented for MinimizeAll; success means only that the
    // taskbar was asked, which is why the windows are watched after it.
    const HRESULT hr = shellObject_.get()->MinimizeAll();
    win32::Trace("shell object's MinimizeAll: 0x%08lX", static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

void Win32Runtime::ReleaseShellObject() {
    shellObject_.Reset();
}

HWND Win32Runtime::RunningInstanceWindow() {
    return ToHwnd(platform::RunningInstanceWindow(facts_));
}

std::uint32_t Win32Runtime::RunningInstanceValue() {
    HWND running = RunningInstanceWindow();
    if (running == nullptr) return 0;
    return static_cast<std::uint32_t>(
        reinterpret_cast<UINT_PTR>(GetPropA(running, kMinimiseAllWayName)));
}

void Win32Runtime::KeepValueForLaterStarts(std::uint32_t value) {
    // A property of the application window: nothing to make or free while
    // the shell takes its keys, and gone with the instance.
    if (value == 0) {
        RemovePropA(applicationWindow(), kMinimiseAllWayName);
    } else {
        SetPropA(applicationWindow(), kMinimiseAllWayName,
                 reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(value)));
    }
}

void Win32Runtime::TellRunningInstance(std::uint32_t value, std::uint32_t withinMs) {
    // Sent, so that the running instance has it before the next start, whose
    // turn comes after this one's, reads it; a hung instance costs this start
    // the bound, and only what it learnt.
    if (HWND running = RunningInstanceWindow())
        SendMessageTimeoutA(running, RegisterWindowMessageA(kMinimiseAllWayName), value, 0,
                            SMTO_ABORTIFHUNG, withinMs, nullptr);
}

bool Win32Runtime::TakeTurn() {
    return turn_.Take();
}

void Win32Runtime::EndTurn() {
    turn_.End();
}

}  // namespace quorvel::win32
