// The random test's vocabulary: what a user, Windows and other programs do
// on the simulated desktop, each action with its arguments and the time the
// world then waits before the next, written as text so that a failing list
// can be printed and replayed ("Tray(1)+40 MenuEsc+0 ...").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::testing::randomised {

enum class Act : std::uint8_t {
    // The shell starts or restarts: kind, flags (see ShellFlag), how long it is
    // gone (ms), how many icon adds the new one refuses.
    Shell,
    // A start of the program, the keys of a hot key held: 0 none, 1 Ctrl+Alt,
    // 2 the Windows key; 1 when started by no program in front (a scheduled
    // task, a tool's own hot key, a macro program). A second start when one runs.
    Start,
    // --- the user ---
    Click,  // the program's taskbar button
    Tray,   // the icon: 0 left press, 1 right press, 2 double press, 3 the pointer over it
    // The same at the start of the program's nth wait (0..5) from now, and
    // then right away: 0 nothing, 1 a click on the taskbar button, 2 a left
    // press of the icon.
    TrayInWait,
    Item,           // the icon's menu: 0 Show Desktop, 1 Configure, 2 About, 3 Exit
    MenuEsc,        // Esc, typed while the icon's menu is up
    MenuAway,       // a click on another program's window (by index) while the menu is up
    WindowMenu,     // the taskbar button's window menu: entry, 0 by mouse / 1 by Alt+Space
    AltF4,          // on whatever is in front
    Button,         // the dialog's: 0 view, 1 OK, 2 Cancel, 3 Exit then OK, 4 Exit then Cancel
    Option,         // the dialog's option of mode 1..3
    DialogKey,      // 0 Esc, 1 Enter, 2 Tab, 3 Shift+Tab, 4.. Alt+letter; the message box's answer
    Hold,           // a modifier (index), down or up, 0 now / 1 between the program's strokes
    Open,           // another program's window opens
    Close,          // another program's window (by index) closes
    Front,          // one (by index) is clicked in front, 0 now / 1 between Tab and Alt+M
    TaskbarButton,  // another program's taskbar button (by index)
    // --- Windows and other programs ---
    Lock,  // Windows' rules for who may take the foreground: on (Windows) or off (Wine)
    Busy,  // the shell busy for a while (ms): 0 its thread (the keys wait), 1 its desktop hung
    Slow,  // for a while (ms), each step of the shell's threads takes this long (us)
    TaskbarCreated,
    Dpi,                // the main monitor's scale, in pixels per inch
    Colours,            // SetSysColors: face, text, window, window text (0x00BBGGRR)
    HighContrast,       // the flag alone, on or off
    HighContrastTheme,  // on or off, with its face and text colours
    Theme,              // a new visual style
    Setting,            // another program stores the icon setting (see kStoredSettings)
    Plant,              // a file or link planted in TEMP (see kPlants)
    Quit,               // WM_QUIT to the running instance
    EndSession,         // a shut-down, or a log-off
    TaskManager,        // the task manager closes a form: 0 taskbar, 1 icon host, 2 dialog
    // Another program's close command (WM_SYSCOMMAND SC_CLOSE, as tools that
    // close every window send it) to a form: 0 taskbar, 1 icon host, 2 dialog.
    CloseCommand,
    Rest,  // nothing
};

// The shell's properties beside its kind, as Action::args[1] of Shell.
enum ShellFlag : std::uint32_t {
    kRegistersWindow = 1,
    kObjectWorks = 2,
    kObjectSilent = 4,
    kHotKeyIgnored = 8,
    kReadsKeysFirst = 16,
};

struct Action {
    Act act = Act::Rest;
    std::array<std::uint32_t, 4> args{};
    std::uint32_t waitMs = 0;  // before the next action
    bool operator==(const Action&) const = default;
};

using Actions = std::vector<Action>;

const char* NameOf(Act act);
std::string ToText(const Action& action);
// Space-separated, as ParseActions reads it.
std::string ToText(const Actions& actions);
// The list as ToText wrote it; std::invalid_argument for anything else.
Actions ParseActions(std::string_view text);

// WCAG 2's contrast ratio of two colours (0x00BBGGRR), 1 to 21: the test's
// own measure of what it asks of every caption.
double Contrast(std::uint32_t a, std::uint32_t b);
inline constexpr double kReadable = 4.5;

// A small deterministic generator (SplitMix64): the same seed gives the same
// sequence on every compiler, which the standard distributions do not.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // 0 to n - 1.
    std::uint32_t Below(std::uint32_t n) { return n == 0 ? 0 : Next() % n; }
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return low + Below(high - low + 1);
    }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

private:
    std::uint64_t state_;
};

}  // namespace quorvel::testing::randomised
