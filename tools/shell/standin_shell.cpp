// A stand-in for the desktop shell's window in Wine sessions, which have none:
// a window titled "Program Manager" that, while active, takes Tab (the focus
// moves to the taskbar) and then Alt+M (minimise every window), as the shell
// does; with Ctrl, Shift or a Windows key held they are other commands, and
// do neither. By default it is as harsh as some shells: every visible,
// enabled top-level window that is not its own, not the taskbar and not a
// dialog box is minimised, with or without a minimise button, owned or not.
//   standin_shell.exe [--sync | --windows] [log file]
// Minimises with ShowWindowAsync, or with --sync with ShowWindow, which waits
// for each window's thread; with --windows as Windows' own shell does, only
// the windows with a minimise button, with ShowWindowAsync. Given a file
// name, it appends one line per minimise-all:
//   minimise-all <milliseconds since 1970, with microseconds> <count> <handles...>
// with the handles (hexadecimal) of the windows it minimised, and one line
// per key that reached it with a modifier held:
//   modified-key <virtual key> ctrl=<0|1> shift=<0|1> win=<0|1>
// A test and demo aid only; the program never depends on it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string g_log;
bool g_sync = false;
bool g_windows = false;  // only windows with a minimise button
bool g_taskbarFocus = false;
// Alt is followed from its own key messages, not from the key state: Wine's
// X11 driver sets the modifier keys to the physical keyboard's whenever a
// window takes the display's focus, which can let go of an Alt a program has
// sent between it and the next key (M then arrives as WM_KEYDOWN). No Windows
// shell sees that; it is no fault of the program that sent the keys.
bool g_altDown = false;
HWND g_self = nullptr;

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
    if (g_windows && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX)) return TRUE;
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

void Log(const char* line) {
    if (g_log.empty()) return;
    if (FILE* f = std::fopen(g_log.c_str(), "a")) {
        std::fputs(line, f);
        std::fclose(f);
    }
}

bool Held(int vk) {
    return GetKeyState(vk) < 0;
}

bool IsModifier(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
           key == VK_RWIN || (key >= VK_LSHIFT && key <= VK_RMENU);
}

// Ctrl, Shift or a Windows key held with a key: logged, and no command of
// the taskbar's.
bool Modified(WPARAM key) {
    const bool ctrl = Held(VK_CONTROL), shift = Held(VK_SHIFT),
               win = Held(VK_LWIN) || Held(VK_RWIN);
    if (!ctrl && !shift && !win) return false;
    char line[80];
    std::snprintf(line, sizeof line, "modified-key %u ctrl=%d shift=%d win=%d\n",
                  static_cast<unsigned>(key), ctrl, shift, win);
    Log(line);
    return true;
}

void MinimiseAll() {
    double when = NowMs();
    // Collected first: minimising changes the order being walked.
    std::vector<HWND> targets;
    EnumWindows(CollectOne, reinterpret_cast<LPARAM>(&targets));
    for (HWND hwnd : targets) {
        if (g_sync) {
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
    Log((line + "\n").c_str());
}

LRESULT CALLBACK ShellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                g_taskbarFocus = false;  // the focus starts on the desktop
                g_altDown = false;
                SetFocus(hwnd);
            }
            return 0;
        case WM_KEYDOWN:
            // Alt comes as a plain key while Ctrl is held.
            if (wParam == VK_MENU) g_altDown = true;
            if (IsModifier(wParam)) return 0;
            if (Modified(wParam)) {
                g_taskbarFocus = false;
                return 0;
            }
            if (wParam == 'M' && g_altDown && g_taskbarFocus) {
                g_taskbarFocus = false;
                MinimiseAll();
                return 0;
            }
            g_taskbarFocus = wParam == VK_TAB;
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_MENU) {
                g_altDown = true;
                return 0;
            }
            if (IsModifier(wParam)) return 0;
            if (Modified(wParam)) {
                g_taskbarFocus = false;
                return 0;
            }
            if (wParam == 'M' && g_taskbarFocus) {
                g_taskbarFocus = false;
                MinimiseAll();
                return 0;
            }
            // Any other system key, a Tab among them (one that reaches the
            // shell's window before it has the focus comes as one), moves
            // nothing to the taskbar.
            g_taskbarFocus = false;
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (wParam == VK_MENU) g_altDown = false;
            return 0;
        case WM_SYSCHAR:
        case WM_CHAR:
            return 0;  // no beep, no window menu
        case WM_DESTROY:
            if (hwnd == g_self) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void ParseCommandLine(std::string line) {
    for (auto [option, flag] : {std::pair{"--sync", &g_sync}, std::pair{"--windows", &g_windows}}) {
        const std::string name = option;
        if (line.compare(0, name.size(), name) == 0 &&
            (line.size() == name.size() || line[name.size()] == ' ')) {
            *flag = true;
            std::size_t rest = line.find_first_not_of(' ', name.size());
            line = rest == std::string::npos ? std::string() : line.substr(rest);
        }
    }
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
        line = line.substr(1, line.size() - 2);
    }
    g_log = line;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    ParseCommandLine(commandLine);
    WNDCLASSA cls{};
    cls.lpfnWndProc = ShellProc;
    cls.hInstance = instance;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
    cls.lpszClassName = "QuorvelStandInShell";
    RegisterClassA(&cls);
    // Tiny and in the corner: on the screen, so it can be activated, but out
    // of the way; owned by a hidden window, so the taskbar shows no button.
    HWND owner = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
    g_self = CreateWindowExA(WS_EX_TOOLWINDOW, cls.lpszClassName, "Program Manager",
                             WS_POPUP | WS_VISIBLE, 0, 0, 2, 2, owner, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
