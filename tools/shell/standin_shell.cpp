// A stand-in for the desktop shell's windows in Wine sessions, which have
// none: a window titled "Program Manager" that, while active, takes Tab (the
// focus moves to the taskbar) and then Alt+M (minimise every window), as the
// shell does; with Ctrl, Shift or a Windows key held they are other commands,
// and do neither. Windows key + M minimises all too, a hot key, as on Windows. By default it is as harsh as some shells: every visible,
// enabled top-level window that is not its own, not the taskbar and not a
// dialog box is minimised, with or without a minimise button, owned or not.
//
//   standin_shell.exe [options] [log file]
//
// Options, in any order, before the log file's name (which may be quoted):
//   --sync          minimise with ShowWindow, which waits for each window's
//                   thread, instead of ShowWindowAsync
//   --windows       as Windows' own shell: only the windows with a minimise
//                   button
//   --layout        as Windows' shell is laid out: the desktop window on the
//                   main thread, and a taskbar window (class
//                   QuorvelStandInTaskbar, tiny, owned by a hidden window) on
//                   a thread of its own. Tab on the desktop hands the keyboard
//                   to the taskbar (SetForegroundWindow); only the taskbar
//                   takes Alt+M; Alt+M on the desktop does nothing. Windows
//                   key + M minimises all too, a hot key the taskbar
//                   registers as Windows' shell does
//   --no-alt-m      (implies --layout) the taskbar ignores Alt+M: only
//                   Windows key + M minimises all
//   --shell-window  the desktop window registers itself as the shell window
//                   (SetShellWindow)
//   --view-sibling  the desktop's keys go to a sibling top-level window of
//                   its thread (class WorkerW, no title), as when Windows'
//                   desktop icons live in one: "Program Manager" passes its
//                   activation on to it, and it takes Tab and Alt+M
//
// Whatever the options, the 0xE8 key (unassigned; programs press it to make
// the release of a held Windows key or Alt no lone one) means nothing to its windows, and
// a low-level keyboard hook follows Windows' rule that a Windows key let go
// with no other key pressed since it went down opens the Start menu, and a
// lone Alt the menu bar of the window in front.
//
// Given a log file, it appends one line for each of:
//   minimise-all <milliseconds since 1970, with microseconds> <count> <handles...>
//       a minimise-all, with the handles (hexadecimal) of the windows it minimised
//   modified-key <virtual key> ctrl=<0|1> shift=<0|1> win=<0|1>
//       a key that reached one of its windows with a modifier held
//   start-menu      a lone Windows key went up
//   menu-bar        a lone Alt went up
//   ignored-alt-m desktop   Alt+M reached the desktop (--layout)
//   ignored-alt-m taskbar   Alt+M reached the taskbar (--no-alt-m)
//   way hotkey      Windows key + M came as the hot key (--layout); the
//                   minimise-all line follows
//   hotkey-failed <error>   the hot key could not be registered (--layout)
//   shell-window <0|1>      whether SetShellWindow succeeded (--shell-window)
// A test and demo aid only; the program never depends on it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "standin_keys.h"

namespace {

using standin::Command;
using standin::View;

standin::Options g_options;
// Both threads append to the log.
CRITICAL_SECTION g_logLock;
// Only the main thread, which holds the hook, touches it.
standin::LoneKeys g_loneKeys;
// The desktop's keyboard view: "Program Manager" itself, or its sibling.
View g_desktopView{View::Kind::kDesktopAlone};
View g_taskbarView{View::Kind::kTaskbar};  // the taskbar thread's
HWND g_self = nullptr;                     // "Program Manager"
HWND g_sibling = nullptr;
HWND g_taskbar = nullptr;
constexpr int kHotKeyId = 1;

double NowMs() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return (static_cast<double>(t.QuadPart) - 116444736000000000.0) / 10000.0;
}

bool IsClass(HWND hwnd, const char* name) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

BOOL CALLBACK CollectOne(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId()) return TRUE;
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || IsIconic(hwnd)) return TRUE;
    if (IsClass(hwnd, "Shell_TrayWnd") || IsClass(hwnd, "#32770")) return TRUE;
    if (g_options.windows && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX)) return TRUE;
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

void Log(const std::string& line) {
    if (g_options.log.empty()) return;
    EnterCriticalSection(&g_logLock);
    if (FILE* f = std::fopen(g_options.log.c_str(), "a")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
    LeaveCriticalSection(&g_logLock);
}

bool Held(int vk) {
    return GetKeyState(vk) < 0;
}

standin::Held HeldNow() {
    return {Held(VK_CONTROL), Held(VK_SHIFT), Held(VK_LWIN) || Held(VK_RWIN)};
}

void MinimiseAll() {
    double when = NowMs();
    // Collected first: minimising changes the order being walked.
    std::vector<HWND> targets;
    EnumWindows(CollectOne, reinterpret_cast<LPARAM>(&targets));
    for (HWND hwnd : targets) {
        if (g_options.sync) {
            ShowWindow(hwnd, SW_MINIMIZE);
        } else {
            ShowWindowAsync(hwnd, SW_MINIMIZE);
        }
    }
    std::string line(64, '\0');
    line.resize(std::snprintf(line.data(), line.size(), "minimise-all %.3f %d", when,
                              static_cast<int>(targets.size())));
    for (HWND hwnd : targets) {
        char handle[24];
        std::snprintf(handle, sizeof handle, " 0x%lX",
                      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)));
        line += handle;
    }
    Log(line);
}

// Sees every key before any window does, injected or typed.
LRESULT CALLBACK LowLevelKeys(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        if (const char* line = g_loneKeys.Key(key->vkCode, down)) Log(line);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Act(const View& view, Command command, WPARAM key, standin::Held held) {
    switch (command) {
        case Command::kNone:
            return;
        case Command::kModifiedKey: {
            char line[80];
            std::snprintf(line, sizeof line, "modified-key %u ctrl=%d shift=%d win=%d",
                          static_cast<unsigned>(key), held.ctrl, held.shift, held.win);
            Log(line);
            return;
        }
        case Command::kToTaskbar:
            // The taskbar's thread takes the focus when it is activated.
            SetForegroundWindow(g_taskbar);
            return;
        case Command::kAltM:
            if (view.kind() == View::Kind::kDesktop) {
                Log("ignored-alt-m desktop");
            } else if (view.kind() == View::Kind::kTaskbar && g_options.noAltM) {
                Log("ignored-alt-m taskbar");
            } else {
                MinimiseAll();
            }
            return;
    }
}

// The key messages of a keyboard view; false for any other message.
bool HandleKey(View& view, UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const standin::Held held = HeldNow();
            Act(view, view.KeyDown(static_cast<unsigned>(wParam), msg == WM_SYSKEYDOWN, held),
                wParam, held);
            return true;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            view.KeyUp(static_cast<unsigned>(wParam));
            return true;
        case WM_SYSCHAR:
        case WM_CHAR:
            return true;  // no beep, no window menu
        default:
            return false;
    }
}

// "Program Manager", and the hidden owner of the main thread's windows.
LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE) {
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (g_sibling != nullptr) {
                // The keyboard view beside it is what the user types into.
                SetForegroundWindow(g_sibling);
                SetFocus(g_sibling);
            } else {
                g_desktopView.Activated();
                SetFocus(hwnd);
            }
        }
        return 0;
    }
    if (msg == WM_DESTROY) {
        if (hwnd == g_self) PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_HOTKEY && wParam == kHotKeyId) {
        Log("way hotkey");
        MinimiseAll();
        return 0;
    }
    if (g_sibling == nullptr) {
        if (HandleKey(g_desktopView, msg, wParam)) return 0;
    } else if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
        return 0;  // its sibling takes the keys: none for the menu, no beep
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The desktop's keyboard view under --view-sibling (class WorkerW).
LRESULT CALLBACK SiblingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE) {
        if (LOWORD(wParam) != WA_INACTIVE) {
            g_desktopView.Activated();
            SetFocus(hwnd);
        }
        return 0;
    }
    if (HandleKey(g_desktopView, msg, wParam)) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The taskbar window under --layout, and its hidden owner.
LRESULT CALLBACK TaskbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == g_taskbar) {
        if (msg == WM_ACTIVATE) {
            if (LOWORD(wParam) != WA_INACTIVE) {
                g_taskbarView.Activated();
                SetFocus(hwnd);
            }
            return 0;
        }
        if (msg == WM_HOTKEY && wParam == kHotKeyId) {
            Log("way hotkey");
            MinimiseAll();
            return 0;
        }
        if (HandleKey(g_taskbarView, msg, wParam)) return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct TaskbarStart {
    HINSTANCE instance;
    HANDLE ready;
};

DWORD WINAPI TaskbarThread(void* param) {
    const auto* start = static_cast<const TaskbarStart*>(param);
    const char* cls = "QuorvelStandInTaskbar";
    // Owned by a hidden window, so Wine's taskbar shows no button for it.
    HWND owner = CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 start->instance, nullptr);
    g_taskbar = CreateWindowExA(WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_VISIBLE, 4, 0, 2, 2, owner,
                                nullptr, start->instance, nullptr);
    if (!RegisterHotKey(g_taskbar, kHotKeyId, MOD_WIN, 'M')) {
        Log("hotkey-failed " + std::to_string(GetLastError()));
    }
    SetEvent(start->ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void AddClass(HINSTANCE instance, const char* name, WNDPROC proc) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = proc;
    cls.hInstance = instance;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
    cls.lpszClassName = name;
    RegisterClassA(&cls);
}

// Not declared by every SDK's headers; user32 has it on every Windows.
bool RegisterShellWindow(HWND hwnd) {
    using SetShellWindowFn = BOOL(WINAPI*)(HWND);
    auto set = reinterpret_cast<SetShellWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
    return set != nullptr && set(hwnd);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_options = standin::ParseOptions(commandLine);
    InitializeCriticalSection(&g_logLock);
    if (g_options.layout) g_desktopView = View(View::Kind::kDesktop);
    // The hook is called on this thread, which pumps messages for as long as
    // the shell runs.
    SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeys, instance, 0);
    AddClass(instance, "QuorvelStandInShell", DesktopProc);
    AddClass(instance, "WorkerW", SiblingProc);
    AddClass(instance, "QuorvelStandInTaskbar", TaskbarProc);

    if (g_options.layout) {
        TaskbarStart start{instance, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        HANDLE thread = CreateThread(nullptr, 0, TaskbarThread, &start, 0, nullptr);
        WaitForSingleObject(start.ready, INFINITE);
        CloseHandle(thread);
        CloseHandle(start.ready);
    }
    // Tiny and in the corner: on the screen, so it can be activated, but out
    // of the way; owned by a hidden window, so the taskbar shows no button.
    HWND owner = CreateWindowExA(0, "QuorvelStandInShell", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
    if (g_options.viewSibling) {
        // Made first: "Program Manager" hands its activation, its first
        // included, to it.
        g_sibling = CreateWindowExA(WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_VISIBLE, 2, 0, 2,
                                    2, owner, nullptr, instance, nullptr);
    }
    g_self = CreateWindowExA(WS_EX_TOOLWINDOW, "QuorvelStandInShell", "Program Manager",
                             WS_POPUP | WS_VISIBLE, 0, 0, 2, 2, owner, nullptr, instance, nullptr);
    if (g_options.shellWindow) {
        Log(RegisterShellWindow(g_self) ? "shell-window 1" : "shell-window 0");
    }
    // Windows key + M minimises all wherever the keyboard is, as on
    // Windows, whose shell always takes it; under --layout the taskbar's
    // thread has it.
    if (!g_options.layout && !RegisterHotKey(g_self, kHotKeyId, MOD_WIN, 'M')) {
        Log("hotkey-failed " + std::to_string(GetLastError()));
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
