// Looks at the desktop from outside the program, for the Wine tests:
// windows, taskbar buttons, notification icons, and sends what Windows or a
// user would (close requests, end of session, icon callbacks). One command
// per run; the answer goes to standard output.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// qvprobe_layout.cpp
int PrintLayout(HWND dialog);
int PrintFocus(HWND window);
void PrintScreenRects(HWND parent);

namespace {

HWND Hwnd(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(text, nullptr, 0)));
}
unsigned long Num(const char* text) {
    return std::strtoul(text, nullptr, 0);
}

std::string Title(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char text[128] = {};
    GetClassNameA(hwnd, text, sizeof text);
    return text;
}

void PrintWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("0x%lX %lu %d %d %d %ld %ld %ld %ld 0x%lX %s|%s\n",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)), pid,
                IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0,
                IsWindowEnabled(hwnd) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetWindow(hwnd, GW_OWNER))),
                ClassOf(hwnd).c_str(), Title(hwnd).c_str());
}

BOOL CALLBACK EachWindow(HWND hwnd, LPARAM) {
    PrintWindow(hwnd);
    return TRUE;
}

BOOL CALLBACK EachButton(HWND hwnd, LPARAM) {
    if (ClassOf(hwnd) != "Button" || !IsWindowVisible(hwnd)) return TRUE;
    RECT r{};
    GetWindowRect(hwnd, &r);
    // Wine's taskbar: each button's control ID is the handle of its window.
    std::printf("0x%lX %ld %ld %ld %ld %s\n",
                static_cast<unsigned long>(GetWindowLongPtrA(hwnd, GWLP_ID)), r.left, r.top,
                r.right - r.left, r.bottom - r.top, Title(hwnd).c_str());
    return TRUE;
}

// GDI objects of another process. This Wine answers 0 to GetGuiResources
// for every process, but keeps each process's GDI handles in a table of its
// own that its PEB points to (GdiSharedHandleTable, at 0x94 in a 32-bit
// PEB, 0xF8 in a 64-bit one; the probe is built like the program it looks
// at): 24-byte entries whose byte 14 is the object type, 0 when free.
unsigned long GdiObjects(HANDLE process) {
    if (unsigned long reported = GetGuiResources(process, GR_GDIOBJECTS)) return reported;
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query == nullptr ||
        query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return 0;
    }
    UINT_PTR table = 0;
    SIZE_T read = 0;
    auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    constexpr std::size_t kTableAt = sizeof(void*) == 8 ? 0xF8 : 0x94;
    if (!ReadProcessMemory(process, peb + kTableAt, &table, sizeof table, &read) || table == 0)
        return 0;
    constexpr std::size_t kEntry = 24, kEntries = 0x10000;
    std::vector<BYTE> entries(kEntry * kEntries);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size(),
                           &read)) {
        return 0;
    }
    unsigned long used = 0;
    for (std::size_t at = 14; at < read; at += kEntry) used += entries[at] != 0;
    return used;
}

// USER objects of another process, as far as they can be seen from outside:
// its windows, top-level and child.
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<unsigned long*>(count);
    return TRUE;
}
struct WindowCount {
    DWORD pid;
    unsigned long count;
};
BOOL CALLBACK CountWindow(HWND hwnd, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->pid) {
        ++c->count;
        EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&c->count));
    }
    return TRUE;
}

LRESULT CALLBACK HidesWhenMinimised(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        // Minimised as usual, which hides it (above); hidden here as well
        // should anything have kept the minimise from happening.
        LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
        if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
        return result;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Restores itself, without taking the activation, a moment after it was
// minimised: a window for every minimise-all of a long run of reveals.
LRESULT CALLBACK ComesBack(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED) {
        SetTimer(hwnd, 1, 100, nullptr);
    } else if (msg == WM_TIMER && wParam == 1) {
        KillTimer(hwnd, 1);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Asks a window for its size at another density as Windows 10 asks a
// per-monitor aware window before it moves it there ("WM_GETDPISCALEDSIZE",
// Windows 10 1703): wParam the density, lParam a SIZE holding the window's
// size scaled linearly, which the window may change. The SIZE lives in the
// window's own process: Wine passes the value of a message it does not send
// itself unchanged. Prints the answer and the SIZE after it.
int AskScaledSize(HWND window, long pixelsPerInch) {
    constexpr UINT kGetDpiScaledSize = 0x02E4;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return 1;
    void* remote =
        VirtualAllocEx(process, nullptr, sizeof(SIZE), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) {
        CloseHandle(process);
        return 1;
    }
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    const int now = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    SIZE size{MulDiv(r.right - r.left, pixelsPerInch, now),
              MulDiv(r.bottom - r.top, pixelsPerInch, now)};
    WriteProcessMemory(process, remote, &size, sizeof size, nullptr);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, kGetDpiScaledSize, static_cast<WPARAM>(pixelsPerInch),
                        reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000, &answer);
    ReadProcessMemory(process, remote, &size, sizeof size, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::printf("%lu %ld %ld\n", static_cast<unsigned long>(answer), size.cx, size.cy);
    return 0;
}

int Usage() {
    std::fputs(
        "qvprobe windows | taskbar | fg | menu | find TITLE | tray HWND ID | text HWND |\n"
        "        childtext HWND CLASS | post HWND MSG WPARAM LPARAM | close HWND |\n"
        "        endsession HWND | gui PID | modules PID | cursor | window TITLE |\n"
        "        window-hides TITLE | window-overlay TITLE | window-returns TITLE |\n"
        "        activate HWND | move HWND X Y | shellwindow |\n"
        "        hold PATH | layout HWND | rects HWND | focus HWND | dpisize HWND DPI\n",
        stderr);
    return 2;
}

// Holds a file open as an editor would, without delete sharing, until the
// standard input ends; says "held" once it has it.
int HoldOpen(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    char c;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The last line of every run that reached its end: the tests tell a run
    // that answered nothing from one that never ran (a start Wine failed).
    std::atexit([] { std::puts("qvprobe: done"); });
    if (argc < 2) return Usage();
    // Screen pixels as they are, at any density: the program declares itself
    // aware of the density, and the probe measures it in the same pixels.
    SetProcessDPIAware();
    std::string cmd = argv[1];
    if (cmd == "hold" && argc >= 3) return HoldOpen(argv[2]);
    if (cmd == "windows") {
        EnumWindows(EachWindow, 0);
    } else if (cmd == "taskbar") {
        HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
        if (tray == nullptr) return 1;
        EnumChildWindows(tray, EachButton, 0);
    } else if (cmd == "fg") {
        HWND fg = GetForegroundWindow();
        if (fg != nullptr) PrintWindow(fg);
    } else if (cmd == "menu") {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu)) return 1;
        PrintWindow(menu);
    } else if (cmd == "find" && argc >= 3) {
        HWND hwnd = FindWindowA(nullptr, argv[2]);
        if (hwnd == nullptr) return 1;
        PrintWindow(hwnd);
    } else if (cmd == "tray" && argc >= 4) {
        // NIM_MODIFY with no flags succeeds exactly while that icon exists.
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = Hwnd(argv[2]);
        data.uID = Num(argv[3]);
        std::printf("%d\n", Shell_NotifyIconA(NIM_MODIFY, &data) ? 1 : 0);
    } else if (cmd == "text" && argc >= 3) {
        char text[4096] = {};
        SendMessageTimeoutA(Hwnd(argv[2]), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        std::printf("%s\n", text);
    } else if (cmd == "childtext" && argc >= 4) {
        HWND child = FindWindowExA(Hwnd(argv[2]), nullptr, argv[3], nullptr);
        if (child == nullptr) return 1;
        char text[4096] = {};
        SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        std::printf("%s\n", text);
    } else if (cmd == "post" && argc >= 6) {
        return PostMessageA(Hwnd(argv[2]), Num(argv[3]), Num(argv[4]), Num(argv[5])) ? 0 : 1;
    } else if (cmd == "shellwindow") {
        // The window registered as the desktop shell's, if any.
        HWND shell = GetShellWindow();
        if (shell == nullptr) return 1;
        PrintWindow(shell);
    } else if (cmd == "activate" && argc >= 3) {
        // Brings a window to the front as another program would (this Wine
        // keeps no foreground lock); what is in front after it may differ.
        return SetForegroundWindow(Hwnd(argv[2])) ? 0 : 1;
    } else if (cmd == "move" && argc >= 5) {
        // Moves a window as the user would drag it, without activating it.
        return SetWindowPos(Hwnd(argv[2]), nullptr, std::strtol(argv[3], nullptr, 0),
                            std::strtol(argv[4], nullptr, 0), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    } else if (cmd == "close" && argc >= 3) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(Hwnd(argv[2]), WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 3000, &result);
    } else if (cmd == "endsession" && argc >= 3) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(Hwnd(argv[2]), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 3000,
                            &result);
    } else if (cmd == "gui" && argc >= 3) {
        HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, Num(argv[2]));
        if (process == nullptr) return 1;
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory);
        WindowCount windows{Num(argv[2]), 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
        unsigned long user = GetGuiResources(process, GR_USEROBJECTS);
        std::printf("user %lu gdi %lu private %lu windows %lu\n", user, GdiObjects(process),
                    static_cast<unsigned long>(memory.PrivateUsage), windows.count);
        CloseHandle(process);
    } else if (cmd == "client" && argc >= 3) {
        RECT r{};
        GetClientRect(Hwnd(argv[2]), &r);
        MapWindowPoints(Hwnd(argv[2]), nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (cmd == "checked" && argc >= 4) {
        // The state of a dialog's option button, by its caption.
        HWND child = FindWindowExA(Hwnd(argv[2]), nullptr, nullptr, nullptr);
        std::string wanted = argv[3];
        bool found = false;
        std::function<void(HWND)> search = [&](HWND parent) {
            for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr && !found;
                 c = GetWindow(c, GW_HWNDNEXT)) {
                if (Title(c) == wanted) {
                    std::printf("%d\n", SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
                    found = true;
                    return;
                }
                search(c);
            }
        };
        (void)child;
        search(Hwnd(argv[2]));
        if (!found) return 1;
    } else if (cmd == "traydel" && argc >= 4) {
        // Takes an icon away as a restarting shell would.
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = Hwnd(argv[2]);
        data.uID = Num(argv[3]);
        return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
    } else if (cmd == "broadcast" && argc >= 3) {
        // A registered message to every top-level window ("TaskbarCreated").
        UINT msg = RegisterWindowMessageA(argv[2]);
        return PostMessageA(HWND_BROADCAST, msg, 0, 0) ? 0 : 1;
    } else if ((cmd == "launch-exit" || cmd == "launch-ready") && argc >= 3) {
        // Times a start on one clock, in milliseconds: to the process's end,
        // or until a window titled argv[3] has a taskbar button or an icon
        // host window exists (argv[4] == "tray": a window titled argv[3] and
        // the icon on the program's captionless form).
        std::string commandLine = std::string("\"") + argv[2] + "\"";
        // launch-exit hands its further words to the program.
        for (int i = 3; cmd == "launch-exit" && i < argc; ++i) {
            commandLine += std::string(" ") + argv[i];
        }
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        // The launch on the stand-in shell's clock too (milliseconds since
        // 1970), for a time from the launch to a line of its log.
        FILETIME launched;
        GetSystemTimePreciseAsFileTime(&launched);
        QueryPerformanceCounter(&start);
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            return 1;
        }
        if (cmd == "launch-exit") {
            WaitForSingleObject(pi.hProcess, 30000);
        } else {
            for (;;) {
                HWND target = argc >= 4 ? FindWindowA(nullptr, argv[3]) : nullptr;
                if (target != nullptr && IsWindowVisible(target)) {
                    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
                    bool found = false;
                    for (HWND b = FindWindowExA(tray, nullptr, "Button", nullptr); b && !found;
                         b = FindWindowExA(tray, b, "Button", nullptr)) {
                        found = reinterpret_cast<HWND>(GetWindowLongPtrA(b, GWLP_ID)) == target;
                    }
                    if (found) break;
                }
                QueryPerformanceCounter(&now);
                if (now.QuadPart - start.QuadPart > frequency.QuadPart * 30) return 1;
                Sleep(1);
            }
        }
        QueryPerformanceCounter(&now);
        std::printf("%.3f\n", 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart);
        ULARGE_INTEGER at;
        at.LowPart = launched.dwLowDateTime;
        at.HighPart = launched.dwHighDateTime;
        std::printf("launched %.3f\n",
                    (static_cast<double>(at.QuadPart) - 116444736000000000.0) / 10000.0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else if (cmd == "modules" && argc >= 3) {
        // The files of the modules loaded in a process, one per line.
        HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, Num(argv[2]));
        if (process == nullptr) return 1;
        HMODULE modules[512];
        DWORD bytes = 0;
        EnumProcessModules(process, modules, sizeof modules, &bytes);
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            char name[MAX_PATH] = {};
            GetModuleFileNameExA(process, modules[i], name, sizeof name);
            std::printf("%s\n", name);
        }
        CloseHandle(process);
    } else if ((cmd == "window" || cmd == "window-hides" || cmd == "window-overlay" ||
                cmd == "window-returns") &&
               argc >= 3) {
        // Another program's ordinary window with the given title, put in
        // front; runs until the window is closed. "window-hides": one that
        // hides itself when it is minimised, as programs that go to the
        // notification area do. "window-overlay": one kept on top that never
        // takes the activation, as an on-screen keyboard, shown without
        // taking it. "window-returns": one that restores itself, without
        // taking the activation, 100 ms after it was minimised.
        const bool overlay = cmd == "window-overlay";
        WNDCLASSA cls{};
        cls.lpfnWndProc = cmd == "window-hides"     ? HidesWhenMinimised
                          : cmd == "window-returns" ? ComesBack
                                                    : DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        cls.lpszClassName = "QvProbeWindow";
        RegisterClassA(&cls);
        HWND window = CreateWindowExA(
            overlay ? WS_EX_TOPMOST | WS_EX_NOACTIVATE : 0, cls.lpszClassName, argv[2],
            WS_OVERLAPPEDWINDOW, overlay ? 600 : 200, overlay ? 450 : 150, overlay ? 300 : 400,
            overlay ? 150 : 300, nullptr, nullptr, cls.hInstance, nullptr);
        ::ShowWindow(window, overlay ? SW_SHOWNOACTIVATE : SW_SHOW);
        if (!overlay) SetForegroundWindow(window);
        MSG msg;
        while (IsWindow(window) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } else if (cmd == "layout" && argc >= 3) {
        return PrintLayout(Hwnd(argv[2]));
    } else if (cmd == "rects" && argc >= 3) {
        PrintScreenRects(Hwnd(argv[2]));
    } else if (cmd == "focus" && argc >= 3) {
        return PrintFocus(Hwnd(argv[2]));
    } else if (cmd == "dpisize" && argc >= 4) {
        return AskScaledSize(Hwnd(argv[2]), std::strtol(argv[3], nullptr, 0));
    } else if (cmd == "cursor") {
        POINT p;
        GetCursorPos(&p);
        std::printf("%ld %ld\n", p.x, p.y);
    } else {
        return Usage();
    }
    return 0;
}
