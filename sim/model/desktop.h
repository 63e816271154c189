// The simulated desktop: a deterministic stand-in for Windows, its shell
// (desktop window "Program Manager", taskbar, notification area), the
// registry and the file system, as the program relies on them. Tests drive it
// as a user or Windows would and inject faults.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/constants.h"
#include "platform/keys.h"
#include "platform/types.h"
#include "sim/model/colours.h"
#include "sim/model/registry_hive.h"

namespace quorvel::sim {

using platform::Hwnd;

inline constexpr std::uint32_t WM_TASKBARCREATED = 0xC100;  // the registered "TaskbarCreated"
// The program's registered message by which a second start tells the running
// instance what it found.
inline constexpr std::uint32_t WM_MINIMISEALLWAY = 0xC101;

// The system timer's tick: Windows' default of 64 a second ("timeBeginPeriod":
// from Windows 10 version 2004 on, another program's request does not shorten
// it for this one), and Wine's clock, where a wait lasts what it asks.
inline constexpr std::uint64_t kWindowsTickUs = 15625;
inline constexpr std::uint64_t kWineTickUs = 1000;

// A process has ended (End, or the end of a second instance). Thrown through
// the ended process's frames; the driver call that started them catches it.
struct ProcessEnded {
    int pid;
};

// No event is scheduled and the awaited condition never came: the test left
// a modal dialog or menu without a way out.
class SimStall : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

struct MenuEntry {
    std::uint32_t id = 0;  // 0 for a separator
    std::string text;
    bool separator = false;
};

struct Window {
    Hwnd hwnd = 0;
    int pid = 0;
    std::string title;
    std::string className;
    bool visible = false;
    bool minimised = false;
    bool enabled = true;
    bool minimiseBox = false;         // WS_MINIMIZEBOX: what Windows' own shell minimises
    bool cloaked = false;             // on another virtual desktop: visible, yet not seen
    bool toolWindow = false;          // WS_EX_TOOLWINDOW
    bool noActivate = false;          // WS_EX_NOACTIVATE: an on-screen keyboard, say
    bool transparent = false;         // WS_EX_TRANSPARENT: a click-through overlay
    int thread = 0;                   // which of its process's threads made it
    bool hidesWhenMinimised = false;  // as programs that go to the notification area
    bool taskbarButton = true;        // visible, unowned windows with a caption get one
    // Made with HWND_MESSAGE as its parent: it receives what is sent or
    // posted to it, but is not top-level, so no search of the top-level
    // windows (EnumWindows, FindWindowEx without a parent) finds it, and it
    // hears no broadcast.
    bool messageOnly = false;
    // What its message filter lets through from a lower integrity level.
    std::set<std::uint32_t> allowedFromLower;
    Hwnd owner = 0;
    int x = 0, y = 0, width = 0, height = 0;  // pixels
    // The density of its place, in pixels per inch (see Desktop::DensityAt).
    int pixelsPerInch = 0;
    // With WM_DPICHANGED: the client area Windows suggests at the new place
    // (this desktop draws no frames). Its size is the window's own answer to
    // WM_GETDPISCALEDSIZE, which may change it, else the old one scaled.
    struct Area {
        int x = 0, y = 0, width = 0, height = 0;
    } suggested;
    // Whether it answered that message TRUE, giving a size of its own.
    bool sizedItself = false;
    std::vector<MenuEntry> systemMenu;
    std::string typed;  // what keystrokes reached a window of another program
    std::map<std::string, std::uint32_t> props;  // SetPropA's property list
    // The window procedure: its answer is SendMessage's.
    std::function<std::intptr_t(std::uint32_t, std::uint32_t, std::uint32_t)> proc;
};

// A monitor's rectangle on the virtual screen, in pixels; the primary one
// has its top-left corner at (0, 0).
struct Monitor {
    int x = 0, y = 0, width = 0, height = 0;
    // Its scale, in pixels per inch; 0: the desktop's `pixelsPerInch`.
    int pixelsPerInch = 0;
};

struct TrayIcon {
    Hwnd hwnd = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::uint32_t icon = 0;
    std::string tip;
    std::vector<std::uint8_t> record;  // the bytes of the add call
};

struct FileFaults {
    std::set<std::string> locked;  // lower-case host paths held open elsewhere
    std::set<std::string> hidden;
    std::set<std::string> system;
};

// The kinds of shell. How the minimise-all treats the windows: Windows' own
// shell minimises only windows with a minimise button, by asynchronous
// requests; others minimise every window, asynchronously or one by one as
// they answer. Where the keys go: in the shells we wrote one window takes
// Tab and Alt+M; in Windows' layout the desktop and the taskbar are windows
// of two threads, Tab on the desktop hands the keyboard to the taskbar, only
// the taskbar takes Alt+M, and the shell's hot key Windows key + M minimises
// all wherever the keyboard is; one such taskbar ignores Alt+M. Tests that
// count reveals run under each.
enum class ShellKind { Windows, Harsh, HarshSync, WindowsLayout, WindowsLayoutWithoutAltM };
inline constexpr ShellKind kShellKinds[] = {ShellKind::Windows, ShellKind::Harsh,
                                            ShellKind::HarshSync, ShellKind::WindowsLayout,
                                            ShellKind::WindowsLayoutWithoutAltM};
const char* ShellKindName(ShellKind kind);

class Desktop {
public:
    // With the shell's window "Program Manager" unless told otherwise.
    explicit Desktop(bool withShell = true);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // --- processes ---
    int NewProcess(const std::string& name);
    // User Interface Privilege Isolation: each process runs at an integrity
    // level, an elevated program at a higher one than the user's others. A
    // message posted or sent from a lower level to a window of a higher one
    // is dropped (PostMessage fails, ERROR_ACCESS_DENIED) unless the window's
    // filter lets that message through (ChangeWindowMessageFilterEx with
    // MSGFLT_ALLOW, Windows 7 and later).
    enum class Integrity { Medium, High };
    Integrity integrityOfNewPrograms = Integrity::Medium;
    Integrity IntegrityOf(int pid) const;
    void AllowThroughWindowFilter(Hwnd hwnd, std::uint32_t msg);
    // A message from process `from`; false where the filter dropped it.
    bool PostFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0,
                  std::uint32_t lParam = 0);
    bool Alive(int pid) const { return alive_.count(pid) != 0; }
    // Named kernel objects, as CreateMutexA answers: a handle or none, and
    // the error code left (0, ERROR_ALREADY_EXISTS while a live process holds
    // the name, ERROR_ACCESS_DENIED when that holder's object refuses others).
    struct NamedObject {
        bool handle;
        std::uint32_t lastError;
    };
    NamedObject CreateNamedObject(int pid, const std::string& name);
    // A process of someone this user may not touch (elevated, or another
    // user in this session) holds the named object; returns its pid.
    int HoldNamedObjectDenyingOthers(const std::string& name);
    // Runs f, a step of the simulation; a process that ends inside it is
    // cleaned up once none of its frames are left on the stack.
    void Drive(const std::function<void()>& f);
    // Depth guard: a process's code is running (see Drive).
    class InProcess {
    public:
        InProcess(Desktop& d, int pid) : d_(d), pid_(pid) { ++d_.depth_[pid_]; }
        ~InProcess() { --d_.depth_[pid_]; }
        InProcess(const InProcess&) = delete;
        InProcess& operator=(const InProcess&) = delete;

    private:
        Desktop& d_;
        int pid_;
    };
    // WM_QUIT for a process's thread (PostThreadMessage, or PostQuitMessage
    // of its own): posted to its queue, it is what the loop running there
    // next takes once the messages before it are handled, whichever loop
    // that is (the main one, a modal one, a wait). `onQuit` is what the
    // process's loops do with it.
    void SetQuitHandler(int pid, std::function<void(std::uint32_t exitCode)> onQuit);
    void PostQuit(int pid, std::uint32_t exitCode = 0);
    // Called when a process has ended, to let its owner release it.
    std::function<void(int pid)> onProcessReaped;

    // --- windows ---
    Hwnd CreateWindow(int pid, Window window);
    void DestroyWindow(Hwnd hwnd);
    Window* Find(Hwnd hwnd);
    const Window* Find(Hwnd hwnd) const;
    // Top-level windows, front to back: message-only windows are none.
    const std::vector<Hwnd>& ZOrder() const { return zOrder_; }
    // Ignoring case, a visible one first, then front to back.
    Hwnd FindByTitle(std::string_view title) const;
    Hwnd Active() const { return active_; }
    // The window's answer; 0 where it has no procedure or its process is gone.
    std::intptr_t Send(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0,
                       std::uint32_t lParam = 0);
    void Post(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0, std::uint32_t lParam = 0);
    // Activation as Windows does it: the old window is told first; the high
    // word of WM_ACTIVATE's wParam says whether the window is minimised.
    void Activate(Hwnd hwnd);
    void Show(Hwnd hwnd, bool activate);
    // Minimising, hiding or destroying the active window hands the
    // activation to the next window in the z-order that can take it
    // (visible and enabled, minimised or not, of any program), as Windows
    // and Wine do.
    void Hide(Hwnd hwnd);
    // Hides without deactivating (SetWindowPos with SWP_HIDEWINDOW).
    void HideKeepingActivation(Hwnd hwnd);
    // WM_SIZE as Windows sends it once `hwnd` has been sized (SIZE_RESTORED,
    // SIZE_MINIMIZED).
    void SendSize(Hwnd hwnd, std::uint32_t how);
    // Both tell the window with WM_SIZE, as Windows does.
    void Minimise(Hwnd hwnd);
    void Restore(Hwnd hwnd);
    // To the front of the z-order without activation (SWP_NOACTIVATE).
    void BringToFront(Hwnd hwnd);
    // SetWindowPos's z-order: HWND_TOP, HWND_BOTTOM, HWND_NOTOPMOST (which
    // moves no window that is not topmost, and none is here) or the window
    // to go behind; false for any other value, as Windows refuses it
    // (ERROR_INVALID_WINDOW_HANDLE).
    bool PlaceInZOrder(Hwnd hwnd, Hwnd insertAfter);
    // The window of another program than `pid` that the activation goes
    // back to: `preferred` (the user's, when known) where it still takes the
    // activation, else the front-most that does (visible, not cloaked,
    // enabled, not minimised, on the screen, not a tool window, not one that
    // never takes the activation or lets clicks through); the shell when
    // nothing else is there, or 0.
    Hwnd NextWindowOfOtherProgram(int pid, Hwnd preferred = 0) const;
    bool SameThread(Hwnd a, Hwnd b) const;
    // The id of the thread that made the window (GetWindowThreadProcessId),
    // 0 for none. The shells we wrote make their taskbar on the desktop's
    // thread; Windows' layout on a thread of its own.
    std::uint32_t ThreadOf(Hwnd hwnd) const;
    // The window of `hwnd`'s thread that has the keyboard focus
    // (GetGUIThreadInfo's hwndFocus): only a thread in front has one, and
    // the shell's desktop only once its thread has handled its activation.
    Hwnd FocusOfThread(Hwnd hwnd) const;
    // A window of another program, for the keys to land in.
    Hwnd CreateAppWindow(const std::string& title);

    // --- the shell ---
    Hwnd Shell() const { return shell_; }
    std::vector<Hwnd> TaskbarButtons() const;
    bool HasTaskbarButton(Hwnd hwnd) const;
    int MinimiseAllCount() const { return minimiseAll_; }
    ShellKind shellKind = ShellKind::HarshSync;
    bool WindowsShell() const;  // Windows' own minimising rule and taskbar clicks
    bool TwoThreads() const;    // Windows' layout
    // The shell's automation object ("Shell.Application"), made through COM
    // in a program's apartment: its MinimizeAll asks the taskbar for the
    // minimise-all; under Wine it is a stub (E_NOTIMPL), as here by default.
    // A silent one answers success and does nothing (a replacement taskbar
    // that ignores the command). One made before the taskbar was recreated
    // does not reach the new one: its calls fail.
    bool shellObjectWorks = false;
    bool shellObjectSilent = false;
    // CoInitializeEx and CoUninitialize for a program's thread: leaving the
    // apartment unloads the libraries COM loaded for it (CoUninitialize's
    // documentation). CoCreateInstance of the object: its id, 0 for none.
    bool ComInitialise(int pid);
    void ComUninitialise(int pid);
    int MakeShellObject(int pid);
    bool ShellObjectMinimizeAll(int object);
    void ReleaseShellObject(int object);
    int shellObjectCalls = 0;
    int shellObjectsMade = 0;
    int shellObjectsHeld = 0;  // made and not yet released
    // Every load of a library into a program's process (its own of ole32,
    // COM's of shell32), by name.
    std::map<std::string, int> libraryLoads;
    // Windows key + M does nothing: a replacement taskbar, or Windows' key
    // shortcuts turned off by policy.
    bool hotKeyIgnored = false;
    int winMPresses = 0;   // Windows key + M, whoever takes it (Windows' shell does)
    int ignoredAltMs = 0;  // Alt+M that reached a window of the shell and did nothing
    // What Windows does with a lone Windows key (the Start menu opens) and a
    // lone Alt (the window in front enters its menu bar): a key that goes up
    // with no other key pressed since it went down.
    int startMenus = 0;
    int menuBars = 0;
    // The shell's thread is busy beyond any wait of the program's: it
    // handles the keys only once the program's next messages have run.
    bool shellBusy = false;
    // The windows the shell's minimise-all minimises (see Runtime; enabled
    // too: a window behind its own dialog may be spared), for a
    // program of `pid`; whether a window still shows.
    std::vector<Hwnd> MinimisableWindows(int pid) const;
    bool StillShown(Hwnd hwnd) const;
    // Lets the shell's threads handle one step: an activation or a key.
    // False when there is nothing, or the shell is busy.
    bool RunShellStep();
    // Windows' foreground lock: a program in the background may neither take
    // the activation from the user's window (not even at its start) nor hand
    // it to another program.
    bool foregroundLocked = false;
    // Each request the lock refused: Windows flashes the window's taskbar
    // button instead (SetForegroundWindow's documentation).
    std::vector<Hwnd> flashes;
    // The shell registers its desktop window (GetShellWindow), as Windows'
    // does; the shells we wrote may not.
    bool shellRegistersWindow = true;
    Hwnd ShellWindow() const { return shellRegistersWindow ? shell_ : 0; }
    // Under the lock, a program may take or hand on the foreground only
    // while one of its windows has it, or no window does.
    bool MayTakeForeground(int pid) const;
    // The system's density (LOGPIXELSY): the main monitor's scale when the
    // user signed in.
    int pixelsPerInch = 96;
    // Windows 8.1 and later give each monitor its scale and a per-monitor
    // aware program's window the density of its place, telling it with
    // WM_DPICHANGED when that changes; earlier Windows (and Wine 8) keep every
    // window at the system's.
    bool perMonitorDensity = true;
    // The density of a window of this client area: that of the monitor it
    // overlaps most, else of the nearest (as MonitorFromRect).
    int DensityAt(int x, int y, int width, int height) const;
    // The user drags a window by its title: its client area's top-left to (x, y).
    void DragWindow(Hwnd hwnd, int x, int y);
    // The user changes a monitor's scale, without signing out.
    void SetMonitorDensity(std::size_t monitor, int pixelsPerInch);
    // After a window has moved or changed its size: a window now at a place
    // of another density is told, as Windows tells it.
    void CheckDensity(Hwnd hwnd);

    // --- keyboard state ---
    // The keyboard twice, as Windows keeps it: the keys the user holds (the
    // physical keys), and the state programs see, which sent keys change
    // too. A key the user presses or lets go changes both: the state that
    // GetAsyncKeyState reads at once; a program's thread sees the change
    // (GetKeyState) only while one of its windows is active, so a key
    // released over another program's window stays down for it. A left or
    // right modifier (VK_LCONTROL...) moves its common code (VK_CONTROL) too.
    void HoldKey(std::uint8_t vk, bool down);
    bool KeyDown(std::uint8_t vk) const { return keysDown_.count(vk) != 0; }
    bool PhysicallyDown(std::uint8_t vk) const { return physical_.count(vk) != 0; }
    bool ThreadKeyDown(int pid, std::uint8_t vk) const;
    // Wine's rule: a thread whose window takes the focus gets the keys
    // physically held, even those a program let go just before, when it
    // gets to the display's focus event. The event comes late: before the
    // first key of the `keyStateFollowsFocus`-th batch of keys queued after
    // the focus moved (1: the next), so possibly after a program read the
    // keys held for that batch. 0: Windows, which has no such rule.
    int keyStateFollowsFocus = 0;
    // Once, between the next two batches of keys a program sends (after the
    // first has been handled as far as the shell gets to it): a user letting
    // go of a key or pressing one during the keys.
    // It acts once the shell's thread has handled the first of them.
    void BetweenKeyBatches(std::function<void()> user) {
        betweenKeyBatches_ = std::move(user);
        betweenArmedAt_ = keyBatches_;
    }
    // The keys that reached the shell's windows, with the modifiers down as
    // it read them ("Tab", "Alt+M", "Ctrl+Alt+M").
    std::vector<std::string> shellKeys;

    // --- input ---
    // Keys go to the window that is active when they are queued, as under
    // Wine, and are lost when another window has taken the foreground before
    // that window's thread read them. Each changes the keyboard's state as it
    // is processed, and a key that goes down is read with the modifiers then
    // held, the user's as well as the sent ones.
    void QueueKeys(const std::vector<platform::KeyEvent>& keys);
    // Whether `hwnd` is active and its thread has given it the keyboard focus.
    // The shell's window takes the focus only when its own thread handles
    // its activation, a step after the foreground changed.
    bool HasKeyboardFocus(Hwnd hwnd) const;
    // Lets another program's thread handle one activation; false when none
    // is waiting (what a program waiting for another's window sees happen).
    bool RunOneActivation();
    // Once, when the shell's window is next activated: `hwnd`, another
    // program's window, takes the foreground back before the shell's thread
    // has handled that activation (under Wine, when its thread gets to a
    // focus event the display sent it just before: the window a hand-off
    // activated, say).
    void TakeForegroundFromShell(Hwnd hwnd) { lateFocus_ = hwnd; }
    // The shell's thread runs beside the program's: it may read the keys
    // before the program gets to the messages it has posted itself.
    bool shellReadsKeysFirst = false;
    // Once, right after the shell has acted on the keys: a late step of its
    // own (activating the window whose button was clicked, say).
    std::function<void()> afterMinimiseAll;
    // Once, right after the shell's thread has handled the next key: another
    // program's step meanwhile (a window taking the foreground, say).
    std::function<void()> afterShellKey;

    // --- scheduling ---
    // The clock in milliseconds, and in microseconds.
    std::uint64_t Now() const { return now_ / 1000; }
    std::uint64_t NowUs() const { return now_; }
    void Post(std::function<void()> f) { posted_.push_back(std::move(f)); }
    // A user action (or any step) at a later time of the simulated clock.
    void At(std::uint64_t delayMs, std::function<void()> f);
    // Processes posted messages and queued keys without advancing the clock.
    void RunPending();
    // Runs pending work, then advances the clock by `ms`, firing timers and
    // scheduled actions on the way.
    void Run(std::uint64_t ms = 0);
    // A nested loop (modal dialog, menu): runs and advances the clock until
    // `done` holds; SimStall when nothing is left that could make it hold.
    void PumpUntil(const std::function<bool()>& done);
    int SetTimer(int pid, std::uint32_t intervalMs, std::function<void()> tick);
    void KillTimer(int timerId);
    std::size_t RunningTimers() const { return timers_.size(); }
    // How often a timer of a program has fired: each is the program woken.
    int timerFires = 0;

    // --- the system's clock, for a program's waits and timers ---
    // A wait with a timeout ends on the next tick of the system timer, and a
    // timer fires on a tick; a wait on a high-resolution waitable timer
    // (Windows 10 version 1803 and later) ends at its time. A message or an
    // event the wait listens for ends it at once.
    std::uint64_t tickUs = kWindowsTickUs;
    bool highResolutionTimers = true;
    // What one step of the shell's threads (an activation, a key) takes.
    std::uint64_t shellStepUs = 200;
    // A program's thread waits for sent messages only, until `untilUs`: the
    // shell's threads run meanwhile (RunShellStep). Nothing the shell does
    // wakes it (no Microsoft page says an out-of-context win event wakes
    // such a wait); its timer ends it, at `untilUs` on a high-resolution
    // one, else on the tick after.
    void Wait(int pid, std::uint64_t untilUs);
    // timeBeginPeriod and timeEndPeriod with the finest period (1 ms), by a
    // program: while any holds it, the system's tick is that fine (before
    // Windows 10 version 2004, for every program).
    void HoldFinestTimerResolution(int pid, bool hold);
    // The system timer's tick as it runs now.
    std::uint64_t EffectiveTickUs() const;
    // A wait that listens to nothing but its timer.
    void Sleep(std::uint64_t untilUs);
    // What one look at a top-level window costs a program that lists them:
    // under Wine a round trip to its server for another program's window;
    // on Windows, which maps the window list into every program, next to
    // nothing. The shell's threads run `step` meanwhile.
    std::uint64_t windowLookUs = 0;
    void LookAtEveryWindow(const std::function<bool()>& step);
    // Each key a program sent as it went out, and each key that reached the
    // shell as its thread handled it: virtual key and time (microseconds).
    struct TimedKey {
        std::uint8_t vk;
        bool up;
        std::uint64_t us;
    };
    std::vector<TimedKey> keysSent;
    std::vector<TimedKey> keysHandledByShell;

    // --- driver: what a user or Windows does ---
    void StartProgram(const std::function<void()>& start) { Drive(start); }
    void ClickTaskbarButton(Hwnd hwnd);
    // WM_SYSCOMMAND as its page lays it out: wParam the entry's command,
    // whose four low bits Windows keeps for its own use (`systemBits`, which
    // a program must mask off); lParam the pointer's place for a choice with
    // the mouse, -1 in the high word for a system accelerator, 0 for a
    // mnemonic.
    enum class MenuChoice { Mouse, Mnemonic, Accelerator };
    void ChooseWindowMenu(Hwnd hwnd, const std::string& text, MenuChoice how = MenuChoice::Mouse,
                          std::uint32_t systemBits = 0);
    // The close key combination, Alt+F4: SC_CLOSE by the system accelerator.
    void PressClose(Hwnd hwnd);
    // Where the mouse pointer is, in screen pixels.
    int pointerX = 600, pointerY = 740;
    void CloseFromTaskManager(Hwnd hwnd);
    // The user shuts Windows down: each window is asked (WM_QUERYENDSESSION,
    // lParam 0 for a shut-down), then each still there is told whether the
    // session ends (WM_ENDSESSION, wParam TRUE only when every one agreed).
    // Processes are left to end themselves.
    void ShutDown();
    // Mouse activity over a notification-area icon: the messages the shell posts.
    void MouseOverTrayIcon(Hwnd hwnd, std::uint32_t id, const std::vector<std::uint32_t>& messages);
    void ClickTrayIcon(Hwnd hwnd, std::uint32_t id, bool right = false);
    void RecreateTaskbar();

    // --- message boxes and pop-up menus ---
    // Answers for the next message boxes, in order (1 OK, 2 Cancel).
    std::deque<int> messageBoxAnswers;
    struct MessageBox {
        std::string prompt;
        int style;
        std::string title;
    };
    std::vector<MessageBox> messageBoxes;  // every one shown
    struct PopupMenu {
        int pid = 0;
        std::vector<std::string> items;  // captions, "-" for separators
        int chosen = -1;
    };
    // The pop-up menu on screen, if any; a scheduled action chooses or dismisses it.
    std::optional<PopupMenu> popup;
    std::vector<std::vector<std::string>> popupsShown;
    void ChooseMenuItem(const std::string& caption);
    void DismissMenu() { popup.reset(); }

    // --- notification area ---
    std::int32_t NotifyIcon(std::uint32_t message, const std::uint8_t* record);
    const TrayIcon* FindTrayIcon(Hwnd hwnd, std::uint32_t id) const;
    std::size_t TrayIconCount() const { return tray_.size(); }
    bool refuseTrayCalls = false;
    // A shell still starting: refuses this many adds, then takes them.
    int refuseTrayAdds = 0;

    // --- system menus ---
    std::uint32_t MenuHandle(Hwnd hwnd) const { return hwnd | 0x40000000u; }
    Window* MenuOwner(std::uint32_t menu);

    // --- monitors: the primary one first ---
    std::vector<Monitor> monitors{{0, 0, 1024, 768}};

    // --- registry and files ---
    RegistryHive registry;
    std::string windowsDirectory = "C:\\WINDOWS";  // what GetWindowsDirectoryA reports
    std::filesystem::path driveC;                  // the host folder standing for drive C:
    std::filesystem::path HostPath(const std::string& windowsPath) const;
    FileFaults files;

    // --- the log of every Win32 call made by a program ---
    std::vector<std::string> calls;
    // The program's trace of its activation decisions, a line each.
    std::vector<std::string> trace;
    std::size_t CountCalls(const std::string& prefix) const;

    // --- the system's colours, high contrast, brushes and painting (colours.h) ---
    Colours colours{*this};

private:
    struct Key {
        std::uint8_t vk;
        bool up;
        // Queued while the active window had no keyboard focus: the key goes
        // to the active window as a system key (Tab as WM_SYSKEYDOWN).
        bool system;
        Hwnd to;    // the window active when it was queued
        int batch;  // which batch of keys it came in
    };
    void ProcessKey(const Key& key);
    void ShellKey(const Key& key, bool alt, bool others);
    void NoteForMenus(std::uint8_t vk, bool down);
    // A key event as the state programs see takes it.
    void ApplyKey(std::uint8_t vk, bool down);
    // The window's thread has taken the keyboard focus; under Wine's rule
    // the display's focus event follows (TakeFocusEvent).
    void FocusTaken(Hwnd hwnd);
    void TakeFocusEvent();
    Hwnd focusEventPending_ = 0;
    int focusEventBatch_ = 0;  // the batch of keys it comes before
    int keyBatches_ = 0;       // batches of keys queued so far
    std::function<void()> betweenKeyBatches_;
    int betweenArmedAt_ = 0;
    std::string WithModifiers(std::uint8_t vk) const;
    bool ProcessNextKey();
    void MinimiseAll();
    void HandOff(Hwnd gone);
    bool AnyDown(std::initializer_list<std::uint8_t> vks) const;
    void Reap(int pid);
    bool RunOne();
    // Advances the clock to the earliest timer tick or scheduled action due
    // at or before `limit` and runs it; false when there is none.
    bool FireDue(std::uint64_t limit);
    // When a timer set for `us` fires, or a wait on one ends: the next tick.
    std::uint64_t OnTick(std::uint64_t us) const;
    // The shell's threads run `step` until `endUs` or until it has nothing to do.
    void RunShellUntil(std::uint64_t endUs, const std::function<bool()>& step);
    std::uint64_t shellProgressUs_ = 0;  // of a step not yet done
    struct Timer {
        int pid;
        std::uint32_t interval;
        std::uint64_t due;
        std::function<void()> tick;
    };
    struct Scheduled {
        std::uint64_t due;
        std::uint64_t seq;
        std::function<void()> f;
    };

    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> zOrder_;
    Hwnd active_ = 0;
    Hwnd shell_ = 0;
    Hwnd taskbar_ = 0;
    std::set<std::uint8_t> lone_;  // a Windows key or Alt down with no key since
    Hwnd nextHwnd_ = 0x10010;
    bool shellTaskbarFocus_ = false;
    bool shellFocus_ = false;  // the shell's thread has taken its activation
    std::deque<std::function<void()>> activations_;
    Hwnd lateFocus_ = 0;
    int minimiseAll_ = 0;
    std::deque<Key> keys_;
    std::set<std::uint8_t> keysDown_;
    std::set<std::uint8_t> physical_;
    std::map<int, std::set<std::uint8_t>> threadKeysDown_;
    std::deque<std::function<void()>> posted_;
    std::uint64_t now_ = 0;  // microseconds
    std::uint64_t seq_ = 0;
    std::map<int, Timer> timers_;
    int nextTimer_ = 1;
    std::vector<Scheduled> scheduled_;
    std::vector<TrayIcon> tray_;
    std::set<int> alive_;
    std::set<int> elevated_;
    std::map<int, std::function<void(std::uint32_t)>> quitHandlers_;
    std::map<int, int> depth_;
    std::map<std::string, int> namedObjects_;
    std::map<int, std::set<std::string>> comLibraries_;  // by pid, for an apartment entered
    std::set<int> finestTimer_;        // the programs holding the finest timer resolution
    std::map<int, int> shellObjects_;  // each live object's taskbar
    int taskbars_ = 1;                 // how many the shell has made
    int lastShellObject_ = 0;
    std::set<int> denyingHolders_;
    std::set<Hwnd> densityChanging_;  // windows being told of a new density
    int nextPid_ = 100;
};

}  // namespace quorvel::sim
