// The stand-in shell's rules, which the Wine tests judge the program by: its
// options, the keys each of its keyboard views takes, and when a lone
// Windows key or Alt would open the Start menu or the menu bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/standin_keys.h"

namespace standin {
namespace {

constexpr unsigned kM = 'M';
constexpr unsigned kA = 'A';

// --- the lone-key rule, fed the keyboard as a low-level hook sees it ---

struct Stroke {
    unsigned vk;
    bool down;
};
constexpr Stroke Down(unsigned vk) {
    return {vk, true};
}
constexpr Stroke Up(unsigned vk) {
    return {vk, false};
}

struct LoneCase {
    const char* name;
    std::vector<Stroke> strokes;
    std::vector<std::string> lines;
};

const LoneCase kLoneCases[] = {
    {"left Windows key alone", {Down(kLeftWin), Up(kLeftWin)}, {"start-menu"}},
    {"right Windows key alone", {Down(kRightWin), Up(kRightWin)}, {"start-menu"}},
    {"left Alt alone", {Down(kLeftAlt), Up(kLeftAlt)}, {"menu-bar"}},
    {"right Alt alone", {Down(kRightAlt), Up(kRightAlt)}, {"menu-bar"}},
    {"Alt by its common code", {Down(kAlt), Up(kAlt)}, {"menu-bar"}},
    {"left and right Alt are one Alt", {Down(kLeftAlt), Up(kAlt)}, {"menu-bar"}},
    {"held Windows key repeating",
     {Down(kLeftWin), Down(kLeftWin), Down(kLeftWin), Up(kLeftWin)},
     {"start-menu"}},
    {"held Alt repeating", {Down(kLeftAlt), Down(kLeftAlt), Up(kLeftAlt)}, {"menu-bar"}},
    {"Windows key + M", {Down(kLeftWin), Down(kM), Up(kM), Up(kLeftWin)}, {}},
    {"mask key before the Windows key goes up",
     {Down(kLeftWin), Down(kMaskKey), Up(kMaskKey), Up(kLeftWin)},
     {}},
    {"mask key before Alt goes up",
     {Down(kLeftAlt), Down(kMaskKey), Up(kMaskKey), Up(kLeftAlt)},
     {}},
    {"Shift is another key too",
     {Down(kRightWin), Down(kLeftShift), Up(kLeftShift), Up(kRightWin)},
     {}},
    {"another key's going up presses nothing",
     {Down(kA), Down(kLeftWin), Up(kA), Up(kLeftWin)},
     {"start-menu"}},
    {"Alt then the Windows key: the Windows key is the lone one",
     {Down(kLeftAlt), Down(kLeftWin), Up(kLeftWin), Up(kLeftAlt)},
     {"start-menu"}},
    {"the Windows key then Alt: Alt is the lone one",
     {Down(kLeftWin), Down(kLeftAlt), Up(kLeftAlt), Up(kLeftWin)},
     {"menu-bar"}},
    {"left and right Windows keys apart",
     {Down(kLeftWin), Down(kRightWin), Up(kRightWin), Up(kLeftWin)},
     {"start-menu"}},
    {"a key that never went down", {Up(kLeftWin), Up(kRightWin), Up(kLeftAlt)}, {}},
    {"each press once", {Down(kLeftWin), Up(kLeftWin), Up(kLeftWin)}, {"start-menu"}},
    {"lone again after a use",
     {Down(kLeftWin), Down(kM), Up(kM), Up(kLeftWin), Down(kLeftWin), Up(kLeftWin)},
     {"start-menu"}},
    {"Tab, Alt+M as the program sends them",
     {Down(kTab), Up(kTab), Down(kLeftAlt), Down(kM), Up(kM), Up(kLeftAlt)},
     {}},
    {"Windows key + M sent while the user holds Alt, masked",
     {Down(kLeftAlt), Down(kMaskKey), Up(kMaskKey), Up(kLeftAlt), Down(kLeftWin), Down(kM), Up(kM),
      Up(kLeftWin)},
     {}},
};

TEST(StandInLoneKeys, OpensTheStartMenuOrTheMenuBarOnlyForALoneKey) {
    for (const LoneCase& c : kLoneCases) {
        LoneKeys keys;
        std::vector<std::string> lines;
        for (const Stroke& s : c.strokes) {
            if (const char* line = keys.Key(s.vk, s.down)) lines.push_back(line);
        }
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

// --- the command line ---

struct OptionsCase {
    const char* commandLine;
    Options expected;
};

const OptionsCase kOptionsCases[] = {
    {"", {}},
    {"Z:\\logs\\shell.log", {.log = "Z:\\logs\\shell.log"}},
    {"--sync Z:\\s.log", {.sync = true, .log = "Z:\\s.log"}},
    {"--windows Z:\\s.log", {.windows = true, .log = "Z:\\s.log"}},
    {"--windows --sync Z:\\s.log", {.sync = true, .windows = true, .log = "Z:\\s.log"}},
    {"--sync --windows", {.sync = true, .windows = true, .log = ""}},
    {"--layout s.log", {.layout = true, .log = "s.log"}},
    {"--no-alt-m s.log", {.layout = true, .noAltM = true, .log = "s.log"}},
    {"--shell-window s.log", {.shellWindow = true, .log = "s.log"}},
    {"--view-sibling --layout s.log", {.layout = true, .viewSibling = true, .log = "s.log"}},
    {"--layout --view-sibling --shell-window \"Z:\\with space\\s.log\"",
     {.layout = true, .shellWindow = true, .viewSibling = true, .log = "Z:\\with space\\s.log"}},
    {"  --sync   Z:\\s.log  ", {.sync = true, .log = "Z:\\s.log"}},
    // Only before the name: a word after it belongs to it.
    {"Z:\\s.log --sync", {.log = "Z:\\s.log --sync"}},
    {"--unknown s.log", {.log = "--unknown s.log"}},
    {"--synced s.log", {.log = "--synced s.log"}},
};

TEST(StandInOptions, AnyOrderBeforeTheLogFileWhichMayBeQuoted) {
    for (const OptionsCase& c : kOptionsCases) {
        const Options o = ParseOptions(c.commandLine);
        const Options& e = c.expected;
        EXPECT_EQ(o.log, e.log) << c.commandLine;
        EXPECT_EQ(o.sync, e.sync) << c.commandLine;
        EXPECT_EQ(o.windows, e.windows) << c.commandLine;
        EXPECT_EQ(o.layout, e.layout) << c.commandLine;
        EXPECT_EQ(o.noAltM, e.noAltM) << c.commandLine;
        EXPECT_EQ(o.shellWindow, e.shellWindow) << c.commandLine;
        EXPECT_EQ(o.viewSibling, e.viewSibling) << c.commandLine;
    }
}

// --- the keys each view of the shell takes, from its window messages ---

enum class Op { kDown, kSysDown, kUp, kActivated };
struct Step {
    Op op;
    unsigned vk = 0;
    Held held = {};
    Command expected = Command::kNone;
};
constexpr Held kCtrl{true, false, false};
constexpr Held kShiftHeld{false, true, false};
constexpr Held kWin{false, false, true};

struct ViewCase {
    const char* name;
    View::Kind kind;
    std::vector<Step> steps;
};

using K = View::Kind;
using C = Command;

const ViewCase kViewCases[] = {
    // One window for desktop and taskbar: Tab, then Alt+M.
    {"Tab then Alt+M",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kUp, kTab}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM, {}, C::kAltM}}},
    {"Alt+M alone", K::kDesktopAlone, {{Op::kSysDown, kAlt}, {Op::kSysDown, kM}}},
    {"a key between Tab and Alt+M",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kDown, kA}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM}}},
    {"the mask key between Tab and Alt+M",
     K::kDesktopAlone,
     {{Op::kDown, kTab},
      {Op::kDown, kMaskKey},
      {Op::kSysDown, kAlt},
      {Op::kSysDown, kMaskKey},
      {Op::kSysDown, kM, {}, C::kAltM}}},
    {"the mask key with a Windows key held is no modified key",
     K::kDesktopAlone,
     {{Op::kDown, kTab},
      {Op::kDown, kMaskKey, kWin},
      {Op::kSysDown, kAlt},
      {Op::kSysDown, kM, {}, C::kAltM}}},
    {"Tab with Ctrl held",
     K::kDesktopAlone,
     {{Op::kDown, kTab, kCtrl, C::kModifiedKey}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM}}},
    {"M with Ctrl held",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kDown, kAlt, kCtrl}, {Op::kDown, kM, kCtrl, C::kModifiedKey}}},
    {"Alt+M as plain keys (Wine let the key state go)",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kDown, kAlt}, {Op::kDown, kM, {}, C::kAltM}}},
    {"Alt let go before M",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kDown, kAlt}, {Op::kUp, kAlt}, {Op::kDown, kM}}},
    {"a Tab that came as a system key",
     K::kDesktopAlone,
     {{Op::kSysDown, kTab}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM}}},
    {"activated again between Tab and Alt+M",
     K::kDesktopAlone,
     {{Op::kDown, kTab}, {Op::kActivated}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM}}},
    {"once per Tab",
     K::kDesktopAlone,
     {{Op::kDown, kTab},
      {Op::kSysDown, kAlt},
      {Op::kSysDown, kM, {}, C::kAltM},
      {Op::kSysDown, kM}}},

    // The desktop beside a taskbar window: Tab hands over, Alt+M is not its.
    {"Tab hands the keyboard over", K::kDesktop, {{Op::kDown, kTab, {}, C::kToTaskbar}}},
    {"Shift+Tab does not", K::kDesktop, {{Op::kDown, kTab, kShiftHeld, C::kModifiedKey}}},
    {"a system Tab does not", K::kDesktop, {{Op::kSysDown, kTab}}},
    {"Alt+M reaches the desktop",
     K::kDesktop,
     {{Op::kSysDown, kAlt}, {Op::kSysDown, kM, {}, C::kAltM}}},
    {"the mask key", K::kDesktop, {{Op::kDown, kMaskKey}, {Op::kSysDown, kMaskKey}}},
    {"plain keys", K::kDesktop, {{Op::kDown, kA}, {Op::kDown, kM}}},

    // The taskbar window: Alt+M whatever came before.
    {"Alt+M on the taskbar", K::kTaskbar, {{Op::kSysDown, kAlt}, {Op::kSysDown, kM, {}, C::kAltM}}},
    {"Alt+M after other keys",
     K::kTaskbar,
     {{Op::kDown, kA}, {Op::kDown, kTab}, {Op::kSysDown, kAlt}, {Op::kSysDown, kM, {}, C::kAltM}}},
    {"M alone", K::kTaskbar, {{Op::kDown, kM}}},
    {"Tab on the taskbar", K::kTaskbar, {{Op::kDown, kTab}}},
    {"Windows key + M as keys", K::kTaskbar, {{Op::kDown, kM, kWin, C::kModifiedKey}}},
};

const char* Name(Command c) {
    switch (c) {
        case C::kNone:
            return "none";
        case C::kModifiedKey:
            return "modified-key";
        case C::kToTaskbar:
            return "to-taskbar";
        case C::kAltM:
            return "alt-m";
    }
    return "?";
}

TEST(StandInViews, EachViewOfTheShellTakesItsOwnKeys) {
    for (const ViewCase& c : kViewCases) {
        View view(c.kind);
        view.Activated();
        std::vector<std::string> got, expected;
        for (const Step& s : c.steps) {
            Command command = Command::kNone;
            switch (s.op) {
                case Op::kDown:
                case Op::kSysDown:
                    command = view.KeyDown(s.vk, s.op == Op::kSysDown, s.held);
                    break;
                case Op::kUp:
                    view.KeyUp(s.vk);
                    break;
                case Op::kActivated:
                    view.Activated();
                    break;
            }
            got.push_back(Name(command));
            expected.push_back(Name(s.expected));
        }
        EXPECT_EQ(got, expected) << c.name;
    }
}

TEST(StandInViews, ModifiersAndTheMaskKeyAreNoCommandsAnywhere) {
    for (K kind : {K::kDesktopAlone, K::kDesktop, K::kTaskbar}) {
        for (unsigned vk : {kShift, kControl, kAlt, kLeftWin, kRightWin, kLeftShift, 0xA1u, 0xA2u,
                            0xA3u, kLeftAlt, kRightAlt, kMaskKey}) {
            View view(kind);
            for (Held held : {Held{}, kCtrl, kShiftHeld, kWin}) {
                EXPECT_EQ(view.KeyDown(vk, false, held), C::kNone) << vk;
                EXPECT_EQ(view.KeyDown(vk, true, held), C::kNone) << vk;
            }
        }
    }
}

}  // namespace
}  // namespace standin
