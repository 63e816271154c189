// Another program's windows for the window rules' conformance test: one of
// each kind, made at start, their handles written to standard output a line
// each ("KIND HANDLE", 0 for a kind this window system cannot make), then
// "ready"; they live until the standard input ends.
#include <windows.h>

#include <cstdio>
#include <initializer_list>

namespace {

// The order of tests/conformance/window_rules_target.h's Kind.
enum Kind {
    Plain,
    Untitled,
    Tool,
    Owned,
    Disabled,
    NoMinimiseBox,
    Minimised,
    Hidden,
    Cloaked,
    OffScreen,
    NoActivate,
    Transparent,
    Taskbar,
    Instance,
    KindCount
};

HWND Make(const char* cls, const char* title, DWORD style, DWORD exStyle, int x,
          HWND owner = nullptr) {
    return CreateWindowExA(exStyle, cls, title, style, x, 100, 300, 200, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// DWMWA_CLOAK (Windows 8 and later): false where the window system has no
// cloaking, or answers that the window is not cloaked after it.
bool Cloak(HWND window) {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    if (dwm == nullptr) return false;
    using Set = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    using Get = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    auto set = reinterpret_cast<Set>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
    auto get = reinterpret_cast<Get>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
    constexpr DWORD kCloak = 13, kCloaked = 14;
    BOOL on = TRUE;
    DWORD cloaked = 0;
    return set != nullptr && get != nullptr && SUCCEEDED(set(window, kCloak, &on, sizeof on)) &&
           SUCCEEDED(get(window, kCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

DWORD WINAPI WatchInput(LPVOID mainThread) {
    char c;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read > 0) {
    }
    PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread)), WM_QUIT, 0, 0);
    return 0;
}

}  // namespace

int main() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    for (const char* name : {"QuorvelWindowRules", "Shell_TrayWnd", "QuorvelApplication"}) {
        cls.lpszClassName = name;
        RegisterClassA(&cls);
    }
    const char* rules = "QuorvelWindowRules";
    const DWORD plain = WS_OVERLAPPEDWINDOW;
    HWND made[KindCount] = {};
    made[Plain] = Make(rules, "window rules", plain, 0, 100);
    made[Untitled] = Make(rules, "", plain, 0, 100);
    made[Tool] = Make(rules, "window rules", plain, WS_EX_TOOLWINDOW, 100);
    made[Disabled] = Make(rules, "window rules", plain | WS_DISABLED, 0, 100);
    made[NoMinimiseBox] =
        Make(rules, "window rules", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 100);
    made[Minimised] = Make(rules, "window rules", plain, 0, 100);
    made[Hidden] = Make(rules, "window rules", plain, 0, 100);
    // Owned by a window never shown: no owned window comes to the front with the Plain one.
    made[Owned] = Make(rules, "window rules", plain, 0, 100, made[Hidden]);
    made[Cloaked] = Make(rules, "window rules", plain, 0, 100);
    made[OffScreen] =
        Make(rules, "window rules", plain, 0, GetSystemMetrics(SM_XVIRTUALSCREEN) - 2000);
    made[NoActivate] = Make(rules, "window rules", plain, WS_EX_NOACTIVATE, 100);
    made[Transparent] = Make(rules, "window rules", plain, WS_EX_TRANSPARENT, 100);
    made[Taskbar] = Make("Shell_TrayWnd", "window rules", plain, 0, 100);
    made[Instance] = Make("QuorvelApplication", "Quorvel", WS_POPUP, 0, 0);
    for (int kind = 0; kind < KindCount; ++kind) {
        if (kind == Hidden || kind == Instance) continue;
        ShowWindow(made[kind], kind == Minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
    }
    if (!Cloak(made[Cloaked])) {
        DestroyWindow(made[Cloaked]);
        made[Cloaked] = nullptr;
    }
    for (int kind = 0; kind < KindCount; ++kind) {
        std::printf("%d %lu\n", kind,
                    static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(made[kind])));
    }
    std::puts("ready");
    std::fflush(stdout);
    CreateThread(nullptr, 0, WatchInput,
                 reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
