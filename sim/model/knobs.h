// The settings of the simulated desktop's model of Windows that a test sets
// (`desk.shell.kind = ...`), grouped by the part of Windows each tunes.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "sim/model/desktop_types.h"

namespace quorvel::sim {

struct ProcessKnobs {
    // The level each program started from now on runs at (see Integrity).
    Integrity integrityOfNew = Integrity::Medium;
    // Who starts the programs started from now on: the process in front,
    // as the user does from where they work (the shell, a program's own
    // command), or one in the background (a scheduled task, a tool acting
    // on its own hot key or mouse button, a macro program). Only the first
    // may then take the foreground for being started by it (foreground.h).
    bool startedInBackground = false;
};

struct ActivationKnobs {
    // Windows' rules for who may set the foreground window (foreground.h): a
    // request they refuse activates nothing and flashes the window's taskbar
    // button instead ("SetForegroundWindow function"). False: Wine's, which
    // has none.
    bool foregroundLocked = true;
    // The foreground lock time-out (SPI_GETFOREGROUNDLOCKTIMEOUT): Windows'
    // default, 200 seconds after the user's last input.
    std::uint32_t lockTimeoutMs = 200'000;
};

struct ShellKnobs {
    ShellKind kind = ShellKind::HarshSync;
    // The shell registers its desktop window (GetShellWindow), as Windows'
    // does; the shells we wrote may not.
    bool registersWindow = true;
    // The shell's thread is busy beyond any wait of the program's: it
    // handles the keys only once the program's next messages have run.
    bool busy = false;
    // The desktop window's thread is hung: it handles no activation.
    // Windows moves the foreground to another thread's window only as that
    // thread takes the activation, and until then no window is in front
    // ("GetForegroundWindow function": NULL "when a window is losing
    // activation"). The activation is taken once the thread answers again.
    bool desktopHung = false;
    // The shell's thread runs beside the program's: it may read the keys
    // before the program gets to the messages it has posted itself.
    bool readsKeysFirst = false;
    // Windows key + M does nothing: a replacement taskbar, or Windows' key
    // shortcuts turned off by policy.
    bool hotKeyIgnored = false;
    // The shell's automation object ("Shell.Application"), made through COM
    // in a program's apartment: its MinimizeAll asks the taskbar for the
    // minimise-all; under Wine it is a stub (E_NOTIMPL), as here by default.
    // A silent one answers success and does nothing (a replacement taskbar
    // that ignores the command). One made before the taskbar was recreated
    // does not reach the new one: its calls fail.
    bool objectWorks = false;
    bool objectSilent = false;
};

struct KeyboardKnobs {
    // Wine's rule: a thread whose window takes the focus gets the keys
    // physically held, even those a program let go just before, when it
    // gets to the display's focus event. The event comes late: before the
    // first key of the `stateFollowsFocus`-th batch of keys queued after the
    // focus moved (1: the next), so possibly after a program read the keys
    // held for that batch. 0: Windows, which has no such rule.
    int stateFollowsFocus = 0;
};

// The system's clock, for a program's waits and timers, and what the
// threads beside the program's take of it.
struct TimingKnobs {
    // A wait with a timeout ends on the next tick of the system timer, and a
    // timer fires on a tick; a wait on a high-resolution waitable timer
    // (Windows 10 version 1803 and later) ends at its time. A message or an
    // event the wait listens for ends it at once.
    std::uint64_t tickUs = kWindowsTickUs;
    bool highResolutionTimers = true;
    // What one step of the shell's threads (an activation, a key) takes.
    std::uint64_t shellStepUs = 200;
    // What one look at a top-level window costs a program that lists them:
    // under Wine a round trip to its server for another program's window;
    // on Windows, which maps the window list into every program, next to
    // nothing.
    std::uint64_t windowLookUs = 0;
};

// What the user does that the driver's calls do not say.
struct UserKnobs {
    // Where the mouse pointer is, in screen pixels.
    int pointerX = 600, pointerY = 740;
    // Answers for the next message boxes, in order (1 OK, 2 Cancel).
    std::deque<int> messageBoxAnswers;
};

struct TrayKnobs {
    // The shell refuses every Shell_NotifyIconA call.
    bool refuseCalls = false;
    // A shell still starting: refuses this many adds, then takes them.
    int refuseAdds = 0;
};

struct DisplayKnobs {
    // The system's density (LOGPIXELSY): the main monitor's scale when the
    // user signed in.
    int pixelsPerInch = 96;
    // Windows 8.1 and later give each monitor its scale and a per-monitor
    // aware program's window the density of its place, telling it with
    // WM_DPICHANGED when that changes; earlier Windows (and Wine 8) keep every
    // window at the system's.
    bool perMonitorDensity = true;
    // The primary one first.
    std::vector<Monitor> monitors{{0, 0, 1024, 768}};
};

// The file system on drive C: (see Drive) as Windows and other programs
// leave it for the program.
struct FileKnobs {
    std::string windowsDirectory = "C:\\WINDOWS";  // what GetWindowsDirectoryA reports
    // Lower-case host paths: held open elsewhere, and with those attributes.
    std::set<std::string> locked;
    std::set<std::string> hidden;
    std::set<std::string> system;
    // What the file system costs a program: each name a folder's listing
    // gives, each file deleted (on Windows and under Wine a call into the
    // system a file: tens to hundreds of microseconds). Nothing by default.
    std::uint64_t listEntryUs = 0;
    std::uint64_t deleteUs = 0;
};

}  // namespace quorvel::sim
