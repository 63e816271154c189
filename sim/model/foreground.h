// Who may set the foreground window, as Windows decides it: the Remarks of
// the "SetForegroundWindow function" page, with the "AllowSetForegroundWindow
// function" and "LockSetForegroundWindow function" pages. A process may
// only if all of these hold:
//   - it belongs to a desktop application (every program here does);
//   - the foreground process has not disabled the calls with
//     LockSetForegroundWindow;
//   - no menus are active;
// and at least one of these:
//   - the foreground lock time-out (SPI_GETFOREGROUNDLOCKTIMEOUT) has
//     expired since the user's last input;
//   - it is the foreground process;
//   - it was started by the foreground process;
//   - there is no foreground window;
//   - it received the last input event;
//   - a process that may set the foreground handed it the right
//     (AllowSetForegroundWindow), which it loses at the user's next input
//     not directed at it, or at the next such call for another process.
// Where the foreground or the calling process is being debugged it may too;
// no program here is, and that case is left out.
//
// The renderings of the page differ on the time-out: one lists it among the
// conditions that must all hold, another among those of which one suffices.
// The second is modelled. Read the first way, the program in front could not
// set the foreground within 200 seconds (Windows' default time-out) of each
// keystroke, which no program sees; what the time-out is for is the time
// after the user's input during which another program may not take the
// foreground from the window in use.
#pragma once

#include <cstdint>
#include <map>
#include <set>

#include "platform/types.h"

namespace quorvel::sim {

class Desktop;
using platform::Hwnd;

// AllowSetForegroundWindow's ASFW_ANY: every process.
inline constexpr std::uint32_t ASFW_ANY = 0xFFFFFFFF;
// LockSetForegroundWindow's codes.
inline constexpr std::uint32_t LSFW_LOCK = 1;
inline constexpr std::uint32_t LSFW_UNLOCK = 2;
// FlashWindowEx's flags ("FLASHWINFO structure"): 0 stops a flash.
inline constexpr std::uint32_t FLASHW_STOP = 0;
inline constexpr std::uint32_t FLASHW_TRAY = 2;

class Foreground {
public:
    explicit Foreground(Desktop& desk) : desk_(desk) {}

    // --- a program's calls, by its process `pid` ---
    // SetForegroundWindow: refused, nothing is activated and the window's
    // taskbar button flashes instead, where it has one ("An application
    // cannot force a window to the foreground while the user is working
    // with another window. Instead, Windows flashes the taskbar button").
    bool SetForegroundWindow(int pid, Hwnd hwnd);
    // Whether `pid` may set the foreground window now.
    bool MaySet(int pid) const;
    // AllowSetForegroundWindow(`process`, or ASFW_ANY): fails where the
    // caller may not set the foreground itself.
    bool AllowSetForegroundWindow(int pid, std::uint32_t process);
    // LockSetForegroundWindow: only the foreground process may call it.
    bool LockSetForegroundWindow(int pid, std::uint32_t code);
    // FlashWindowEx: FLASHW_STOP stops the window's flashing, any other
    // flags start it. Whether the window was active before the call.
    bool FlashWindowEx(Hwnd hwnd, std::uint32_t flags);

    // --- what the user and the desktop do ---
    // Process `pid` was started by `parent` (0: by none of the desktop's).
    void Started(int pid, int parent) { parents_[pid] = parent; }
    // The user's input, directed at a window of process `pid`.
    void UserInput(int pid);
    // "The system automatically enables calls to SetForegroundWindow if the
    // user presses the ALT key or takes some action that causes the system
    // itself to change the foreground window (for example, clicking a
    // background window)."
    void SystemUnlocks() { lockedBy_ = 0; }
    // The user clicks a window: the input its process's, the window
    // activated by the system.
    void ClickWindow(Hwnd hwnd);
    // The user opens a menu of the window `hwnd` (its menu bar's), and it
    // stays open until closed: a menu active.
    void OpenMenu(Hwnd hwnd);
    void CloseMenu() { menuOf_ = 0; }

    // --- what a test reads ---
    bool Flashing(Hwnd hwnd) const;
    // A window activated stops flashing: the user has seen it.
    void Activated(Hwnd hwnd);

private:
    Desktop& desk_;
    std::map<int, int> parents_;
    int lastInput_ = 0;  // the process that received the last input event
    std::uint64_t lastInputUs_ = 0;
    std::uint32_t granted_ = 0;  // AllowSetForegroundWindow's process, 0 for none
    int lockedBy_ = 0;           // the process that called LockSetForegroundWindow
    Hwnd menuOf_ = 0;            // the window whose menu the user opened
    std::set<Hwnd> flashing_;
};

}  // namespace quorvel::sim
