// The values the simulated desktop is made of and answers in: its windows,
// monitors and notification-area icons, the kinds of shell, and what a
// program's calls and the user's actions leave behind.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/types.h"

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

// User Interface Privilege Isolation: each process runs at an integrity
// level, an elevated program at a higher one than the user's others. A
// message posted or sent from a lower level to a window of a higher one is
// dropped (PostMessage fails, ERROR_ACCESS_DENIED) unless the window's filter
// lets that message through (ChangeWindowMessageFilterEx with MSGFLT_ALLOW,
// Windows 7 and later).
enum class Integrity { Medium, High };

// Named kernel objects, as CreateMutexA answers: a handle or none, and the
// error code left (0, ERROR_ALREADY_EXISTS while a live process holds the
// name, ERROR_ACCESS_DENIED when that holder's object refuses others).
struct NamedObject {
    bool handle;
    std::uint32_t lastError;
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
    // WS_EX_TOPMOST, "always on top"; the z-order's band of its own is not
    // modelled: a test puts it in front itself.
    bool topmost = false;
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
    std::string typed;  // what keystrokes reached it (the shell's take theirs as commands)
    std::map<std::string, std::uint32_t> props;  // SetPropA's property list
    // The window procedure: its answer is SendMessage's.
    std::function<std::intptr_t(std::uint32_t, std::uint32_t, std::uint32_t)> proc;
};

// A monitor's rectangle on the virtual screen, in pixels; the primary one
// has its top-left corner at (0, 0).
struct Monitor {
    int x = 0, y = 0, width = 0, height = 0;
    // Its scale, in pixels per inch; 0: the system's (DisplayKnobs::pixelsPerInch).
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

// WM_SYSCOMMAND as its page lays it out: lParam the pointer's place for a
// choice with the mouse, -1 in the high word for a system accelerator, 0 for
// a mnemonic.
enum class MenuChoice { Mouse, Mnemonic, Accelerator };

// A key a program sent as it went out, or one that reached the shell as its
// thread handled it: virtual key and time (microseconds); of a key sent, the
// window in front as it went out.
struct TimedKey {
    std::uint8_t vk;
    bool up;
    std::uint64_t us;
    Hwnd inFront = 0;
};

struct MessageBox {
    std::string prompt;
    int style;
    std::string title;
};

// A key in the keyboard's queue.
struct QueuedKey {
    std::uint8_t vk;
    bool up;
    // Queued while the active window had no keyboard focus: the key goes to
    // the active window as a system key (Tab as WM_SYSKEYDOWN).
    bool system;
    Hwnd to;    // the window active when it was queued
    int batch;  // which batch of keys it came in
};

// A pop-up menu on the screen (TrackPopupMenu). Its loop runs on its owner's
// thread: it takes that thread's keys, which reach it only while the thread
// is in front; a click elsewhere closes it only where its owner was the
// foreground window when it opened ("TrackPopupMenu function", Remarks).
struct PopupMenu {
    std::vector<std::string> items;  // captions, "-" for separators
    Hwnd owner = 0;
    bool ownerInFront = false;
    int chosen = -1;
    bool closed = false;  // left without a choice
};

}  // namespace quorvel::sim
