#include "platform/win32/win32_runtime.h"

#include <commctrl.h>
#include <shldisp.h>

#include <string>

#include "platform/errors.h"
#include "platform/keys.h"
#include "platform/running_instance.h"
#include "platform/win32/bound_window.h"
#include "platform/win32/look_up.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_density.h"
#include "platform/win32/win32_dwm.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_instance.h"
#include "platform/win32/win32_message_filter.h"
#include "platform/win32/win32_shell_wait.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

// A copy of `s` for the ANSI functions, which read up to a NUL.
std::string NulTerminated(std::string_view s) {
    return std::string(s);
}

}  // namespace

Win32Runtime::Win32Runtime(HINSTANCE instance) : instance_(instance) {
    prevInstance_ = ClaimInstance("Local\\Quorvel.Instance", instanceMutex_);

    Win32Form::RegisterClasses(instance_);
}

int Win32Runtime::SystemPixelsPerInch() const {
    return SystemDensity();
}

HWND Win32Runtime::applicationWindow() {
    // The hidden application window owns the forms that have no taskbar
    // button of their own, hears the shell's broadcasts and carries the
    // timeouts. It is made with the first of those forms (and so with the
    // notification-area icon's), or the first timeout. A second start shows
    // no form; it needs one only for the timer that watches what its request
    // minimised, and makes it message-only: a search of the top-level
    // windows, the one that finds the running instance's (see
    // RunningInstanceWindow), never finds it, so another second start at the
    // same moment reads and tells the running instance, never this one.
    if (appWindow_ != nullptr) return appWindow_;
    WNDCLASSA app{};
    app.lpfnWndProc = BoundWindowProc<Win32Runtime, &Win32Runtime::ApplicationProc>;
    app.hInstance = instance_;
    app.hIcon = Icon(kAppIconResource, 32);
    app.lpszClassName = kApplicationClass;
    RegisterWindowClass(app);
    // Without it no form without a taskbar button, no timeout and no message
    // box can be had: an error for the need that asked, and the next need
    // tries again.
    appWindow_ = CreateWindowExA(0, kApplicationClass, kApplicationTitle.data(),
                                 prevInstance_ ? 0 : WS_POPUP, 0, 0, 0, 0,
                                 prevInstance_ ? HWND_MESSAGE : nullptr, nullptr, instance_, this);
    RequireMade(appWindow_);
    minimiseAllWayMessage_ = RegisterWindowMessageA(kMinimiseAllWayName);
    if (prevInstance_) return appWindow_;
    taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
    // Run elevated, the program would not hear the shell (a lower level) say
    // that it restarted, and the icon would not come back; nor a second
    // start (not elevated) tell what it learnt, which only ever chooses among
    // the program's own ways: that one on this window alone, where Windows
    // has a filter per window.
    const MessageFilter filter = LookUpMessageFilter(GetModuleHandleA("user32.dll"));
    AllowThroughMessageFilter(filter, appWindow_, taskbarCreatedMessage_);
    AllowThroughWindowFilter(filter, appWindow_, minimiseAllWayMessage_);
    return appWindow_;
}

Win32Runtime::~Win32Runtime() {
    ReleaseComAtExit();
    if (appWindow_ != nullptr) DestroyWindow(appWindow_);
}

LRESULT Win32Runtime::ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Both messages are registered once the window is made; until then no
    // message is either.
    if (msg == taskbarCreatedMessage_ && msg != 0) {
        TaskbarRecreated();
        return 0;
    }
    if (msg == minimiseAllWayMessage_ && msg != 0) {
        ToldBySecondStart(static_cast<std::uint32_t>(wParam));
        return 0;
    }
    // A window's properties are removed before it is gone (SetProp's documentation).
    if (msg == WM_NCDESTROY) RemovePropA(hwnd, kMinimiseAllWayName);
    if (msg == WM_TIMER) {
        TimeoutDue(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HICON Win32Runtime::Icon(int resource, int size) const {
    return static_cast<HICON>(
        LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_ICON, size, size, LR_SHARED));
}

std::unique_ptr<Form> Win32Runtime::CreateForm(const FormDescription& description,
                                               FormEvents events) {
    return std::make_unique<Win32Form>(*this, description, std::move(events));
}

Win32Form* Win32Runtime::modal() const {
    return static_cast<Win32Form*>(modalForm());
}

void Win32Runtime::Trace(const WindowedForm& form, const char* what, const char* detail) {
    win32::Trace(*detail != '\0' ? "%s of %p: %s" : "%s of %p", what,
                 static_cast<void*>(static_cast<const Win32Form&>(form).windowIfMade()), detail);
}

void Win32Runtime::TraceNote(std::string_view line) {
    win32::Trace("%s", NulTerminated(line).c_str());
}

bool Win32Runtime::PumpStep(bool wait) {
    MSG msg;
    if (wait && !IdleWorkWaits()) {
        // -1: the loop can take no message at all ("If there is an error,
        // the return value is -1"); looping on would spin, so it ends the
        // program as WM_QUIT would, with exit code 0.
        if (GetMessageA(&msg, nullptr, 0, 0) == -1) {
            msg.message = WM_QUIT;
            msg.wParam = 0;
        }
    } else if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Nothing to take (PeekMessage has handled what other threads sent,
        // and would have made a due timer's WM_TIMER): the loop is idle.
        if (!wait) return false;
        RunIdleWork();
        return true;
    }
    if (msg.message == WM_QUIT) Quit();
    if (!TranslateDialogMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void Win32Runtime::PumpUntil(const std::function<bool()>& done) {
    while (!done()) PumpStep(true);
}

bool Win32Runtime::IsOurs(HWND hwnd) const {
    if (hwnd == nullptr) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid == GetCurrentProcessId();
}

bool Win32Runtime::TranslateDialogMessage(MSG& msg) {
    return modal() != nullptr && IsWindow(modal()->RealisedWindow()) &&
           IsDialogMessageA(modal()->RealisedWindow(), &msg);
}

namespace {
struct TitleSearch {
    const char* title;
    HWND visible = nullptr;
    HWND any = nullptr;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (lstrcmpiA(text, search->title) != 0) return TRUE;
    if (search->any == nullptr) search->any = hwnd;
    if (IsWindowVisible(hwnd)) {
        search->visible = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void Win32Runtime::UseCommonControls() {
    if (commonControlsLoaded_) return;
    commonControlsLoaded_ = true;
    // Loaded by name, not imported: a start that shows no button (the second
    // start, the tray and taskbar alone) then never loads the library and
    // the theming it brings, which under Wine is a good part of a start.
    // The library stays loaded for the life of the process. By its bare
    // name, unlike every other library the program loads: the manifest's
    // activation context redirects that name to version 6 of the common
    // controls among the side-by-side assemblies, and a full name in the
    // system folder would bypass that and give version 5. The name is safe:
    // the redirection comes before any folder is searched ("Dynamic-Link
    // Library Search Order"), and the program's own folder is out of the
    // search from its start where Windows allows (see win32_system_library.h).
    HMODULE library = LoadLibraryA("comctl32.dll");
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = LookUp<Init>(library, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    if (init != nullptr) init(&controls);
}

Hwnd Win32Runtime::FindTitled(std::string_view title) {
    std::string wanted = NulTerminated(title);
    TitleSearch search{wanted.c_str()};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return FromHwnd(search.visible != nullptr ? search.visible : search.any);
}

Hwnd Win32Runtime::ShellWindowTitled(std::string_view title) {
    HWND shell = GetShellWindow();
    if (shell == nullptr) return 0;
    char text[256] = {};
    GetWindowTextA(shell, text, sizeof text);
    return lstrcmpiA(text, NulTerminated(title).c_str()) == 0 ? FromHwnd(shell) : 0;
}

Hwnd Win32Runtime::Foreground() const {
    return FromHwnd(GetForegroundWindow());
}

bool Win32Runtime::RequestForeground(Hwnd target) {
    // Asked at once, also for a click on our taskbar button: its Activate
    // comes once the restore it started is over (see WindowedForm::Activated),
    // and a last step of it that takes the foreground back before the keys
    // is undone by AppActivate, which asks again.
    return SetForegroundWindow(ToHwnd(target)) != FALSE;
}

void Win32Runtime::StopFlashing(Hwnd window) {
    // "FLASHWINFO structure": FLASHW_STOP, and "the system restores the
    // window to its original state"; the count and the rate mean nothing then.
    FLASHWINFO stop{sizeof stop, ToHwnd(window), FLASHW_STOP, 0, 0};
    FlashWindowEx(&stop);
}

void Win32Runtime::TraceAppActivate(std::string_view title, Hwnd target, Hwnd inFront) {
    std::string wanted = NulTerminated(title);
    if (target == 0) {
        win32::Trace("AppActivate %s: no such window", wanted.c_str());
    } else if (SameThread(inFront, target)) {
        win32::Trace("AppActivate %s: %p ready (%p in front)", wanted.c_str(), ToHwnd(target),
                     ToHwnd(inFront));
    } else {
        // Whose window came to the front instead tells which race lost the keys.
        char cls[64] = {};
        GetClassNameA(ToHwnd(inFront), cls, sizeof cls);
        const char* whose = inFront == 0              ? "no window"
                            : IsOurs(ToHwnd(inFront)) ? "ours"
                                                      : "another program's";
        win32::Trace("AppActivate %s: %p not in front; in front: %p, class %s, %s", wanted.c_str(),
                     ToHwnd(target), ToHwnd(inFront), cls, whose);
    }
}

bool Win32Runtime::WaitUntil(const std::function<bool()>& condition, std::uint32_t boundUs) {
    // Most often there is nothing to wait for, and no timer to make.
    if (condition()) return true;
    return ShellWait().Until(condition, boundUs);
}

std::uint64_t Win32Runtime::NowUs() const {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart / frequency.QuadPart * 1'000'000 +
                                      now.QuadPart % frequency.QuadPart * 1'000'000 /
                                          frequency.QuadPart);
}

void Win32Runtime::LetThreadCatchUp(Hwnd window, std::uint32_t boundMs) {
    // Wine's (see reveal/bounds.h, kCatchUpMs): the thread answers once it is
    // back in its message loop, having handled what came before.
    SendMessageTimeoutA(ToHwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, boundMs, nullptr);
}

Hwnd Win32Runtime::FocusOfThread(Hwnd window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(ToHwnd(window), nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, &info) ? FromHwnd(info.hwndFocus) : 0;
}

Hwnd Win32Runtime::WindowOfClass(std::string_view className, std::uint32_t process) {
    const std::string name = NulTerminated(className);
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, name.c_str(), nullptr)) != nullptr) {
        if (ProcessOf(FromHwnd(found)) == process) return FromHwnd(found);
    }
    return 0;
}

std::uint32_t Win32Runtime::ThreadOf(Hwnd window) {
    return facts_.ThreadOf(window);
}

std::uint32_t Win32Runtime::ProcessOf(Hwnd window) {
    return facts_.ProcessOf(window);
}

std::vector<std::uint8_t> Win32Runtime::HeldModifiers() const {
    std::vector<std::uint8_t> held;
    for (std::uint8_t vk : kModifierKeys) {
        if (GetAsyncKeyState(vk) < 0) held.push_back(vk);
    }
    // A Shift, Ctrl or Alt known only by its common code (some keyboard
    // drivers report no side) is let go by that code.
    for (std::uint8_t common : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        const std::uint8_t left = static_cast<std::uint8_t>(VK_LSHIFT + 2 * (common - VK_SHIFT));
        if (GetAsyncKeyState(common) < 0 && GetAsyncKeyState(left) >= 0 &&
            GetAsyncKeyState(left + 1) >= 0) {
            held.push_back(common);
        }
    }
    return held;
}

void Win32Runtime::SendKeyEvents(const std::vector<KeyEvent>& keys) {
    std::vector<INPUT> inputs;
    for (const KeyEvent& e : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = e.virtualKey;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(e.virtualKey, MAPVK_VK_TO_VSC));
        // The right-hand Ctrl and Alt and the Windows keys are extended keys.
        const bool extended = e.virtualKey == VK_RCONTROL || e.virtualKey == VK_RMENU ||
                              e.virtualKey == VK_LWIN || e.virtualKey == VK_RWIN;
        in.ki.dwFlags = (e.up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
        win32::Trace("key %02X %s", e.virtualKey, e.up ? "up" : "down");
    }
    // Windows blocks input to a window of a higher integrity level (an
    // elevated program in front) and on the secure desktop, without a word:
    // whether the shell acted tells in the end.
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        win32::Trace("SendInput blocked: %u of %u keys, error %lu", sent,
                     static_cast<unsigned>(inputs.size()), GetLastError());
    }
    win32::Trace("keys sent to %p", static_cast<void*>(GetForegroundWindow()));
}

bool Win32Runtime::StartTimer(int id, std::uint32_t milliseconds) {
    return SetTimer(applicationWindow(), static_cast<UINT_PTR>(id), milliseconds, nullptr) != 0;
}

void Win32Runtime::StopTimer(int id) {
    if (appWindow_ != nullptr) KillTimer(appWindow_, static_cast<UINT_PTR>(id));
}

void Win32Runtime::DoEvents() {
    auto outside = dispatcher().OutsideInput();
    while (PumpStep(false)) {
    }
}

int Win32Runtime::MsgBox(std::string_view prompt, int style, std::string_view title) {
    HWND owner = modal() != nullptr ? modal()->RealisedWindow() : applicationWindow();
    return MessageBoxA(owner, NulTerminated(prompt).c_str(), NulTerminated(title).c_str(),
                       static_cast<UINT>(style));
}

void Win32Runtime::Kill(const std::string& folder, const std::string& name) {
    if (!deleter_.Delete(folder, name, beforeDeletion)) throw RuntimeError("Permission denied");
}

void Win32Runtime::EndProcess() {
    ReleaseComAtExit();
    ExitProcess(0);
}

void Win32Runtime::RunMessageLoop() {
    for (;;) PumpStep(true);
}

}  // namespace quorvel::win32
