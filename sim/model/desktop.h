// The simulated desktop: a deterministic stand-in for Windows, its shell
// (desktop window "Program Manager", taskbar, notification area), the
// registry and the file system, as the program relies on them. Tests drive it
// as a user or Windows would, set its knobs (knobs.h) and read what it saw
// (seen.h).
//
// One class, as windows, activation, the keyboard's queue and the shell are
// intertwined, implemented a file a seam: desktop.cpp (processes, COM),
// desktop_windows.cpp, desktop_shell.cpp, desktop_keys.cpp, desktop_clock.cpp
// (the message queue and the waits), desktop_user.cpp (what a user or Windows
// does), desktop_density.cpp, shell_restart.cpp. The parts with state of
// their own are classes it holds (clock.h, notification_area.h,
// named_objects.h, com.h, keyboard_state.h, file_system.h, registry_hive.h,
// foreground.h).
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/keys.h"
#include "platform/scope_exit.h"
#include "platform/types.h"
#include "sim/model/clock.h"
#include "sim/model/colours.h"
#include "sim/model/com.h"
#include "sim/model/desktop_types.h"
#include "sim/model/file_system.h"
#include "sim/model/foreground.h"
#include "sim/model/keyboard_state.h"
#include "sim/model/knobs.h"
#include "sim/model/named_objects.h"
#include "sim/model/notification_area.h"
#include "sim/model/registry_hive.h"
#include "sim/model/seen.h"

namespace quorvel::sim {

class Desktop {
public:
    // With the shell's window "Program Manager" unless told otherwise.
    explicit Desktop(bool withShell = true);
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // --- what a test sets, and what it reads ---
    ProcessKnobs processes;
    ActivationKnobs activation;
    ShellKnobs shell;
    KeyboardKnobs keyboard;
    TimingKnobs timing;
    UserKnobs user;
    TrayKnobs tray;
    DisplayKnobs display;
    FileKnobs files;
    RegistryHive registry;
    Seen seen;

    // --- processes ---
    int NewProcess(const std::string& name);
    void AllowThroughWindowFilter(Hwnd hwnd, std::uint32_t msg);
    // A message from process `from`; false where the filter dropped it (see
    // Integrity).
    bool PostFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0,
                  std::uint32_t lParam = 0);
    // The same, sent: an idle receiver's procedure runs at once (the one
    // case this single-threaded desktop can show: a receiver busy elsewhere
    // would take it at its next wait that takes sent messages).
    bool SendFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0,
                  std::uint32_t lParam = 0);
    bool Alive(int pid) const { return alive_.count(pid) != 0; }
    NamedObject CreateNamedObject(int pid, const std::string& name);
    // A process of someone this user may not touch (elevated, or another
    // user in this session) holds the named object; returns its pid.
    int HoldNamedObjectDenyingOthers(const std::string& name);
    // The mutex the starts take turns by (WaitForSingleObject with no wait,
    // ReleaseMutex): whether `pid` owns it now; one that a process left
    // owned when it ended is taken as abandoned.
    bool TakeTurn(int pid);
    bool EndTurn(int pid);  // whether `pid` owned it
    // A process with none of its code running ends (a test's other program).
    void EndProcess(int pid) { Reap(pid); }
    // Runs f, a step of the simulation; a process that ends inside it is
    // cleaned up once none of its frames are left on the stack.
    void Drive(const std::function<void()>& f);
    // While the guard it returns lives, a process's code is running (see Drive).
    [[nodiscard]] auto InProcess(int pid) {
        int& depth = depth_[pid];
        return platform::Scoped([&depth] { ++depth; }, [&depth] { --depth; });
    }
    // WM_QUIT for a process's thread (PostThreadMessage, PostQuitMessage):
    // taken by whichever loop runs there next, after the messages before it;
    // `onQuit` is what the process's loops do with it.
    void SetQuitHandler(int pid, std::function<void(std::uint32_t exitCode)> onQuit);
    void PostQuit(int pid, std::uint32_t exitCode = 0);
    // Called when a process has ended, to let its owner release it.
    std::function<void(int pid)> onProcessReaped;
    // CoInitializeEx, CoUninitialize and the shell's object (see Com and
    // ShellKnobs): CoCreateInstance's id, 0 for none.
    bool ComInitialise(int pid) { return com_.Initialise(pid); }
    void ComUninitialise(int pid) { com_.Uninitialise(pid); }
    int MakeShellObject(int pid);
    bool ShellObjectMinimizeAll(int object);
    void ReleaseShellObject(int object) { com_.Release(object); }

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
    // activation to the next visible, enabled window in the z-order.
    void Hide(Hwnd hwnd);
    // Hides without deactivating (SetWindowPos with SWP_HIDEWINDOW).
    void HideKeepingActivation(Hwnd hwnd);
    // WM_SIZE as Windows sends it once `hwnd` was sized (SIZE_RESTORED, _MINIMIZED).
    void SendSize(Hwnd hwnd, std::uint32_t how);
    // Both tell the window with WM_SIZE, as Windows does.
    void Minimise(Hwnd hwnd);
    void Restore(Hwnd hwnd);
    // To the front of the z-order without activation (SWP_NOACTIVATE).
    void BringToFront(Hwnd hwnd);
    // SetWindowPos's z-order: HWND_TOP, HWND_BOTTOM, HWND_NOTOPMOST (no window
    // is topmost here) or the window to go behind; false for any other value
    // (ERROR_INVALID_WINDOW_HANDLE).
    bool PlaceInZOrder(Hwnd hwnd, Hwnd insertAfter);
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
    // A window's system menu (GetSystemMenu), and the window of a menu.
    std::uint32_t MenuHandle(Hwnd hwnd) const { return hwnd | 0x40000000u; }
    Window* MenuOwner(std::uint32_t menu);
    // "DefWindowProc": the window menu's minimise and restore; Alt+F4
    // (WM_SYSKEYDOWN VK_F4 with the Alt bit) posts SC_CLOSE to the window.
    std::intptr_t DefWindowProc(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                                std::uint32_t lParam);
    // EnableWindow: a window disabled is sent WM_CANCELMODE first.
    void EnableWindow(Hwnd hwnd, bool enabled);

    // --- the shell ---
    Hwnd Shell() const { return shell_; }
    // GetShellWindow: the shell's desktop, where the shell registered it.
    Hwnd ShellWindow() const { return shell.registersWindow ? shell_ : 0; }
    Hwnd Taskbar() const { return taskbar_; }  // its Shell_TrayWnd
    std::vector<Hwnd> TaskbarButtons() const;
    bool HasTaskbarButton(Hwnd hwnd) const;
    bool TwoThreads() const;  // Windows' layout
    // Whether a window still shows.
    bool StillShown(Hwnd hwnd) const;
    // Lets the shell's threads handle one step: an activation or a key.
    // False when there is nothing, or the shell is busy.
    bool RunShellStep();
    // The shell's process ends, its windows, icons and objects with it, and
    // starts again as `shell` says (shell_restart.cpp).
    void EndShell();
    void StartShell();
    bool ShellRunning() const { return shell_ != 0 && !shellEnded_; }

    // --- monitors and their densities ---
    // The user drags a window by its title: its client area's top-left to (x, y).
    void DragWindow(Hwnd hwnd, int x, int y);
    // The user changes a monitor's scale, without signing out.
    void SetMonitorDensity(std::size_t monitor, int pixelsPerInch);
    // After a window has moved or changed its size: a window now at a place
    // of another density is told, as Windows tells it.
    void CheckDensity(Hwnd hwnd);

    // --- the keyboard (see KeyboardState) ---
    void HoldKey(std::uint8_t vk, bool down);
    bool KeyDown(std::uint8_t vk) const { return keyboardState_.Down(vk); }
    bool PhysicallyDown(std::uint8_t vk) const { return keyboardState_.PhysicallyDown(vk); }
    bool ThreadKeyDown(int pid, std::uint8_t vk) const {
        return keyboardState_.ThreadDown(pid, vk);
    }
    // Keys go to the window active when they are queued, as under Wine, and
    // are lost when another has taken the foreground before its thread read
    // them. A key down is read with the modifiers then held, the user's too.
    void QueueKeys(const std::vector<platform::KeyEvent>& keys);
    // Whether `hwnd` is active and its thread has given it the keyboard focus.
    // The shell's window takes the focus only when its own thread handles
    // its activation, a step after the foreground changed.
    bool HasKeyboardFocus(Hwnd hwnd) const;

    // --- what happens meanwhile: once, at a moment a test chooses ---
    // Between the next two batches of keys a program sends, once the shell's
    // thread has handled the first: a user letting go of a key, pressing one.
    void BetweenKeyBatches(std::function<void()> user) {
        betweenKeyBatches_ = std::move(user);
        betweenArmedAt_ = keyBatches_;
    }
    // When the shell's window is next activated: `hwnd`, another program's,
    // takes the foreground back before the shell's thread has handled it
    // (under Wine, a focus event the display sent it just before).
    void TakeForegroundFromShell(Hwnd hwnd) { lateFocus_ = hwnd; }
    // Right after the shell has acted on the keys: a late step of its own
    // (activating the window whose button was clicked, say).
    void AfterMinimiseAll(std::function<void()> f) { afterMinimiseAll_ = std::move(f); }
    // Right after the shell's thread has handled the next key: another
    // program's step meanwhile (a window taking the foreground, say).
    void AfterShellKey(std::function<void()> f) { afterShellKey_ = std::move(f); }
    // The process inside a wait that takes sent messages, 0 for none.
    int WaitingPid() const { return waitingPid_; }
    // At the start of the `nth` wait of a program from now (0: the next): a
    // step of the user's while it waits (a press of the icon, say).
    void DuringWait(int nth, std::function<void()> f) {
        duringWait_ = std::move(f);
        waitsToGo_ = nth;
    }

    // --- the message queue, the clock, timers and waits ---
    // The clock in milliseconds, and in microseconds.
    std::uint64_t Now() const { return clock_.NowUs() / 1000; }
    std::uint64_t NowUs() const { return clock_.NowUs(); }
    void Post(std::function<void()> f) { posted_.push_back(std::move(f)); }
    // SendNotifyMessage from another thread: taken before any posted
    // message, also by a wait for sent messages, which it wakes.
    void SendNotify(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam = 0,
                    std::uint32_t lParam = 0);
    // A user action (or any step) at a later time of the simulated clock.
    void At(std::uint64_t delayMs, std::function<void()> f) { clock_.At(delayMs, std::move(f)); }
    // Processes posted messages and queued keys without advancing the clock.
    void RunPending();
    // Runs pending work, then advances the clock by `ms`, firing timers and
    // scheduled actions on the way.
    void Run(std::uint64_t ms = 0);
    // A nested loop (modal dialog, menu): runs and advances the clock until
    // `done` holds; SimStall when nothing is left that could make it hold.
    void PumpUntil(const std::function<bool()>& done);
    // A program's loop found nothing to take: `f` runs then, once no message
    // is pending and nothing is due on the clock (a due timer's WM_TIMER
    // comes first). Run and PumpUntil run one piece a time they find the
    // desktop idle, before the clock moves on.
    void WhenIdle(int pid, std::function<void()> f) { idle_.emplace_back(pid, std::move(f)); }
    int SetTimer(int pid, std::uint32_t intervalMs, std::function<void()> tick) {
        return clock_.SetTimer(pid, intervalMs, std::move(tick));
    }
    void KillTimer(int timerId) { clock_.KillTimer(timerId); }
    std::size_t RunningTimers() const { return clock_.RunningTimers(); }
    bool TimerOverdue(int pid) const { return clock_.TimerOverdue(pid); }
    // A program's thread waits for sent messages only, until `untilUs`,
    // while the shell's threads run (RunShellStep): a message sent to it
    // wakes it, which it takes; nothing the shell does (no Microsoft page
    // says an out-of-context win event does); its timer ends it, at `untilUs`
    // on a high-resolution one, else on the tick after.
    void Wait(int pid, std::uint64_t untilUs);
    void HoldFinestTimerResolution(int pid, bool hold) {
        if (hold) ++seen.timerResolutionRaises;
        clock_.HoldFinestResolution(pid, hold);
    }
    std::uint64_t EffectiveTickUs() const { return clock_.EffectiveTickUs(); }
    // A program looks at every top-level window (TimingKnobs::windowLookUs
    // each); the shell's threads run `step` meanwhile.
    void LookAtEveryWindow(const std::function<bool()>& step);
    // A program busy for `us` (reading a folder, deleting a file: the knobs
    // of FileKnobs), the shell's threads running meanwhile; nothing the
    // program would take is taken.
    void Busy(std::uint64_t us);

    // --- what a user or Windows does ---
    void StartProgram(const std::function<void()>& start) { Drive(start); }
    void ClickTaskbarButton(Hwnd hwnd);
    // WM_SYSCOMMAND as its page lays it out: wParam the entry's command,
    // whose four low bits Windows keeps for its own use (`systemBits`, which
    // a program must mask off); lParam as MenuChoice says, the pointer's
    // place at UserKnobs' pointer.
    void ChooseWindowMenu(Hwnd hwnd, const std::string& text, MenuChoice how = MenuChoice::Mouse,
                          std::uint32_t systemBits = 0);
    // The close key combination, Alt+F4: SC_CLOSE by the system accelerator.
    void PressClose(Hwnd hwnd);
    // Alt+F4 typed to the active window, which has no focus: WM_SYSKEYDOWN
    // VK_F4, lParam 0x203E0001 ("WM_SYSKEYDOWN message", "Keystroke Message
    // Flags").
    void PressAltF4();
    // A key typed: an open pop-up menu of the thread in front takes it (Esc
    // closes it, its owner left in front), else the active window.
    void TypeKey(std::uint8_t vk);
    // A click on a window: it closes an open pop-up menu whose owner was in
    // front, and activates the window once its thread takes it.
    void ClickWindow(Hwnd hwnd);
    void CloseFromTaskManager(Hwnd hwnd);
    // Shut-down: each window asked (WM_QUERYENDSESSION, lParam 0), then each
    // still there told whether the session ends (WM_ENDSESSION, wParam TRUE
    // only when every one agreed). Processes are left to end themselves.
    void ShutDown();
    // Mouse activity over a notification-area icon: a press activates the
    // taskbar first; each callback is sent ("NOTIFYICONDATA structure";
    // Wine's notification area uses SendNotifyMessage).
    void MouseOverTrayIcon(Hwnd hwnd, std::uint32_t id, const std::vector<std::uint32_t>& messages);
    void ClickTrayIcon(Hwnd hwnd, std::uint32_t id, bool right = false);
    void RecreateTaskbar();

    // --- the notification area (see NotificationArea) ---
    std::int32_t NotifyIcon(std::uint32_t message, const std::uint8_t* record);
    const TrayIcon* FindTrayIcon(Hwnd hwnd, std::uint32_t id) const {
        return notificationArea_.Find(hwnd, id);
    }
    std::size_t TrayIconCount() const { return notificationArea_.Count(); }

    // --- message boxes and pop-up menus ---
    // MessageBoxA: the next of the user's answers (UserKnobs); SimStall
    // where none is left.
    int ShowMessageBox(const MessageBox& box);
    // TrackPopupMenu of `owner`: modal until a scheduled action chooses an
    // item or closes the menu (see PopupMenu); the index chosen, -1 for none.
    int TrackPopupMenu(Hwnd owner, const std::vector<std::string>& items);
    void ChooseMenuItem(const std::string& caption);
    void DismissMenu() {
        if (popup_) popup_->closed = true;
    }
    bool MenuOpen() const { return popup_.has_value() && !popup_->closed; }

    // --- files ---
    // The host folder standing for drive C:, and a path of it on the host.
    const std::filesystem::path& DriveC() const { return fileSystem_.root(); }
    std::filesystem::path HostPath(const std::string& windowsPath) const {
        return fileSystem_.HostPath(windowsPath);
    }

    // --- the system's colours, high contrast, brushes and painting (colours.h) ---
    Colours colours{*this};
    // --- who may set the foreground window, and the buttons that flash (foreground.h) ---
    Foreground foreground{*this};

private:
    static constexpr int kShellPid = 1;  // the shell's windows' process

    using Key = QueuedKey;

    // processes
    Integrity IntegrityOf(int pid) const;
    // User Interface Privilege Isolation: a lower level's message reaches a
    // window only where its filter lets that message through.
    bool PassesFilter(int from, Hwnd hwnd, std::uint32_t msg) const;
    bool CloseMenuAtClickOn(Hwnd hwnd);  // a click on `hwnd`: whether it closed a menu
    void Reap(int pid);
    // windows and activation
    void HandOff(Hwnd gone);
    int ActivePid() const;
    // The density of a window of this client area: that of the monitor it
    // overlaps most, else of the nearest (as MonitorFromRect).
    int DensityAt(int x, int y, int width, int height) const;
    // the shell
    void MakeShellWindows();
    bool WindowsShell() const;  // Windows' own minimising rule and taskbar clicks
    void MinimiseAll();
    void ShellKey(const Key& key, bool alt, bool others);
    // Lets another program's thread handle one activation; false when none
    // is waiting (what a program waiting for another's window sees happen).
    bool RunOneActivation();
    // the keyboard's queue
    bool ProcessNextKey();
    void ProcessKey(const Key& key);
    // The window's thread has taken the keyboard focus; under Wine's rule
    // the display's focus event follows (TakeFocusEvent).
    void FocusTaken(Hwnd hwnd);
    void TakeFocusEvent();
    // the queue and the clock
    bool RunOne();
    // Advances the clock to the earliest timer tick or scheduled action due
    // at or before `limit` and runs it; false when there is none.
    bool FireDue(std::uint64_t limit);
    // The shell's threads run `step` until `endUs` or until it has nothing to do.
    void RunShellUntil(std::uint64_t endUs, const std::function<bool()>& step);

    FileSystem fileSystem_;
    Clock clock_{timing};
    NotificationArea notificationArea_{tray};
    NamedObjects namedObjects_;
    Com com_{seen};
    KeyboardState keyboardState_{seen};

    // processes
    std::set<int> alive_;
    std::set<int> elevated_;
    std::map<int, std::function<void(std::uint32_t)>> quitHandlers_;
    std::map<int, int> depth_;
    int nextPid_ = 100;
    // windows and activation
    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> zOrder_;
    Hwnd active_ = 0;
    Hwnd nextHwnd_ = 0x10010;
    std::deque<std::function<void()>> activations_;  // for the threads beside the program's
    Hwnd lateFocus_ = 0;
    bool shellActivationWaits_ = false;  // for a hung desktop (ShellKnobs::desktopHung)
    std::set<Hwnd> densityChanging_;     // windows being told of a new density
    // the shell
    Hwnd shell_ = 0;
    Hwnd taskbar_ = 0;
    bool shellEnded_ = false;  // ended, and not started again
    bool shellTaskbarFocus_ = false;
    bool shellFocus_ = false;            // the shell's thread has taken its activation
    std::uint64_t shellProgressUs_ = 0;  // of a step not yet done
    std::function<void()> afterMinimiseAll_;
    std::function<void()> afterShellKey_;
    // the keyboard's queue
    std::deque<Key> keys_;
    Hwnd focusEventPending_ = 0;
    int focusEventBatch_ = 0;  // the batch of keys it comes before
    int keyBatches_ = 0;       // batches of keys queued so far
    std::function<void()> betweenKeyBatches_;
    int betweenArmedAt_ = 0;
    // the message queue: posted, and sent from other threads (by process)
    std::deque<std::function<void()>> posted_;
    std::deque<std::pair<int, std::function<void()>>> sent_;
    std::deque<std::pair<int, std::function<void()>>> idle_;  // by process, in turn
    // One piece of idle work, unless the clock is past `limit`; false for none.
    bool RunIdle(std::uint64_t limit);
    bool TakeSent(int pid);  // false where nothing was sent to `pid`
    int waitingPid_ = 0;     // the program in a wait, 0 for none
    std::function<void()> duringWait_;
    int waitsToGo_ = 0;
    // the pop-up menu on screen, if any
    std::optional<PopupMenu> popup_;
};

}  // namespace quorvel::sim
