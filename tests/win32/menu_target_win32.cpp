// The conformance tests' menus, keys and sent messages under Wine: the real
// window system, given keys as Windows delivers them to the thread in front
// (a tray menu's loop reads its thread's queue; X11 keys do not reach it).
#include <windows.h>

#include <atomic>
#include <vector>

#include "conformance/menu_target.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_shell_wait.h"
#include "win32/pump.h"

namespace quorvel::testing {

namespace {

constexpr UINT kSent = WM_APP + 5;
// WM_KEYDOWN's flags for a key typed once: repeat count 1, Esc's scan code 1;
// WM_SYSKEYDOWN's for F4 with Alt down: scan code 0x3E, the context code.
constexpr LPARAM kEscapeDown = 0x00010001;
constexpr LPARAM kAltF4Down = 0x203E0001;

std::vector<std::uint32_t> commands;
std::atomic<bool> sentTaken = false;
HWND menuOwner = nullptr;
std::atomic<bool> ownerCancelled = false;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND) {
        // Recorded, not carried out: SC_CLOSE would destroy the window.
        commands.push_back(static_cast<std::uint32_t>(wParam & 0xFFF0));
        return 0;
    }
    if (msg == kSent) sentTaken = true;
    if (msg == WM_CANCELMODE && hwnd == menuOwner) ownerCancelled = true;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool MenuShows() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
}

// Types Esc to the menu's thread once its menu shows (again while it still
// does, every 200 ms); ends once it has gone, 5 s at most.
DWORD WINAPI EscapeOnceTheMenuShows(void* owner) {
    bool typed = false;
    for (int i = 0; i < 100; ++i) {
        const bool shows = MenuShows();
        if (!shows && typed) return 0;
        if (shows && i % 4 == 0) {
            PostMessageA(static_cast<HWND>(owner), WM_KEYDOWN, VK_ESCAPE, kEscapeDown);
            typed = true;
        }
        Sleep(50);
    }
    return 1;
}

// Once the menu shows: a window of this thread's takes the foreground, what
// follows is seen, and Esc ends the menu from its owner's queue.
DWORD WINAPI TakeTheForegroundFromTheMenu(void* seen) {
    auto& s = *static_cast<MenuTarget::ForegroundTakenFromMenu*>(seen);
    for (int i = 0; i < 100 && !MenuShows(); ++i) Sleep(50);
    HWND taker =
        CreateWindowExA(0, "QuorvelMenuTest", "another thread's", WS_OVERLAPPEDWINDOW, 250, 250,
                        300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(taker, SW_SHOW);
    SetForegroundWindow(taker);
    Pump(300);
    // The menu's loop handles what is sent to its thread: once it has
    // answered this, what the loss of the foreground sent it is handled too.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(menuOwner, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    s.taker = win32::FromHwnd(taker);
    s.foreground = win32::FromHwnd(GetForegroundWindow());
    s.menuShown = MenuShows();
    s.ownerCancelled = ownerCancelled;
    for (int i = 0; i < 25 && MenuShows(); ++i) {
        PostMessageA(menuOwner, WM_KEYDOWN, VK_ESCAPE, kEscapeDown);
        Pump(200);
    }
    DestroyWindow(taker);
    return 0;
}

// TrackPopupMenu, ended after 10 s wherever nothing else ended it: its loop
// runs the thread's timers, and a test whose keys went astray fails instead
// of hanging.
void CALLBACK EndMenuAtBound(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

UINT TrackWithinBound(HMENU menu, HWND owner) {
    const UINT_PTR bound = SetTimer(nullptr, 0, 10000, EndMenuAtBound);
    const UINT chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0, owner, nullptr);
    KillTimer(nullptr, bound);
    return chosen;
}

DWORD WINAPI SendSoon(void* window) {
    Sleep(20);
    SendNotifyMessageA(static_cast<HWND>(window), kSent, 0, 0);
    return 0;
}

class Win32MenuTarget : public MenuTarget {
public:
    Win32MenuTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = Proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        cls.lpszClassName = "QuorvelMenuTest";
        RegisterClassA(&cls);
    }
    platform::Hwnd WindowInFront() override {
        HWND w = CreateWindowExA(0, "QuorvelMenuTest", "menu test", WS_OVERLAPPEDWINDOW, 150, 150,
                                 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        for (int i = 0; i < 100 && GetForegroundWindow() != w; ++i) Pump(20);
        return win32::FromHwnd(w);
    }
    platform::Hwnd Foreground() override { return win32::FromHwnd(GetForegroundWindow()); }
    std::uint32_t MenuLeftWithEscape(platform::Hwnd owner) override {
        HWND hwnd = win32::ToHwnd(owner);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "item");
        HANDLE typist = CreateThread(nullptr, 0, EscapeOnceTheMenuShows, hwnd, 0, nullptr);
        const UINT chosen = TrackWithinBound(menu, hwnd);
        PostMessageA(hwnd, WM_NULL, 0, 0);
        WaitForSingleObject(typist, 5000);
        CloseHandle(typist);
        DestroyMenu(menu);
        Pump(100);
        return chosen;
    }
    ForegroundTakenFromMenu MenuWhileAnotherThreadTakesTheForeground(
        platform::Hwnd owner) override {
        ForegroundTakenFromMenu seen;
        menuOwner = win32::ToHwnd(owner);
        ownerCancelled = false;
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "item");
        HANDLE taker = CreateThread(nullptr, 0, TakeTheForegroundFromTheMenu, &seen, 0, nullptr);
        TrackWithinBound(menu, menuOwner);
        WaitForSingleObject(taker, 20000);
        CloseHandle(taker);
        DestroyMenu(menu);
        menuOwner = nullptr;
        Pump(100);
        return seen;
    }
    std::vector<std::uint32_t> CommandsAfterAltF4(platform::Hwnd window) override {
        commands.clear();
        PostMessageA(win32::ToHwnd(window), WM_SYSKEYDOWN, VK_F4, kAltF4Down);
        Pump(200);
        return commands;
    }
    bool WaitTakesAMessageSent(platform::Hwnd window) override {
        sentTaken = false;
        HANDLE sender = CreateThread(nullptr, 0, SendSoon, win32::ToHwnd(window), 0, nullptr);
        const bool took = win32::ShellWait().Until([] { return sentTaken.load(); }, 500'000);
        WaitForSingleObject(sender, 5000);
        CloseHandle(sender);
        return took;
    }
    void Destroy(platform::Hwnd window) override { DestroyWindow(win32::ToHwnd(window)); }
};
}  // namespace

MenuTarget& Menus() {
    static Win32MenuTarget target;
    return target;
}

}  // namespace quorvel::testing
