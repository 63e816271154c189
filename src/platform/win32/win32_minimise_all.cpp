// What the program asks of the shell's minimise-all beyond its keys: which
// windows it minimises, whether they still show, and its automation object.
#include <objbase.h>
#include <shldisp.h>

#include "platform/win32/look_up.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

struct Minimisable {
    Win32Runtime* runtime;
    std::vector<Hwnd> found;
};

BOOL CALLBACK CollectMinimisable(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Minimisable*>(lParam);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    // Windows' own shell spares windows without a minimise button; a window
    // behind its own dialog (disabled) may be spared too.
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd) || !IsWindowEnabled(hwnd) ||
        GetWindow(hwnd, GW_OWNER) != nullptr || !(style & WS_MINIMIZEBOX) ||
        (exStyle & WS_EX_TOOLWINDOW) || search->runtime->IsOurs(hwnd) ||
        search->runtime->IsCloaked(hwnd)) {
        return TRUE;
    }
    search->found.push_back(FromHwnd(hwnd));
    return TRUE;
}

// COM's entry points, from ole32 loaded for this alone: the program needs it
// only where the shell ignored its keys.
struct Ole32 {
    decltype(&CoInitializeEx) initialize = nullptr;
    decltype(&CoUninitialize) uninitialize = nullptr;
    decltype(&CoCreateInstance) create = nullptr;
};

// The shell's automation object ("Shell.Application") and its interface.
constexpr CLSID kShellApplication = {
    0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kShellDispatch = {
    0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // namespace

std::vector<Hwnd> Win32Runtime::MinimisableWindows() {
    Minimisable search{this, {}};
    EnumWindows(CollectMinimisable, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Win32Runtime::StillShown(Hwnd window) {
    HWND hwnd = ToHwnd(window);
    return IsWindow(hwnd) && IsWindowVisible(hwnd) && !IsIconic(hwnd);
}

bool Win32Runtime::ShellMinimizeAll() {
    HMODULE ole32 = LoadSystemLibrary("ole32.dll");
    if (ole32 == nullptr) return false;
    Ole32 com;
    com.initialize = LookUp<decltype(com.initialize)>(ole32, "CoInitializeEx");
    com.uninitialize = LookUp<decltype(com.uninitialize)>(ole32, "CoUninitialize");
    com.create = LookUp<decltype(com.create)>(ole32, "CoCreateInstance");
    if (com.initialize == nullptr || com.uninitialize == nullptr || com.create == nullptr) {
        return false;
    }
    const HRESULT initialized = com.initialize(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT hr = E_FAIL;
    IShellDispatch* shell = nullptr;
    hr = com.create(kShellApplication, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                    kShellDispatch, reinterpret_cast<void**>(&shell));
    if (SUCCEEDED(hr)) {
        hr = shell->MinimizeAll();
        shell->Release();
    }
    if (SUCCEEDED(initialized)) com.uninitialize();
    win32::Trace("shell object's MinimizeAll: 0x%08lX", static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

}  // namespace quorvel::win32
