// The stand-in shell's rules, apart from the windows they act on, so that
// they can be checked on any machine: its options, the keys its keyboard
// views take, and the rule by which a lone Windows key or Alt opens the Start
// menu or the menu bar. Virtual-key codes are Windows' own numbers; nothing
// here needs <windows.h>.
#pragma once

#include <string>
#include <utility>

namespace standin {

inline constexpr unsigned kTab = 0x09;
inline constexpr unsigned kShift = 0x10;
inline constexpr unsigned kControl = 0x11;
inline constexpr unsigned kAlt = 0x12;  // VK_MENU
inline constexpr unsigned kLeftWin = 0x5B;
inline constexpr unsigned kRightWin = 0x5C;
inline constexpr unsigned kLeftShift = 0xA0;  // VK_LSHIFT .. VK_RMENU
inline constexpr unsigned kLeftAlt = 0xA4;
inline constexpr unsigned kRightAlt = 0xA5;
// Unassigned: a program presses it to make a held Windows key or Alt no
// longer lone before letting go of it. It means nothing to the shell.
inline constexpr unsigned kMaskKey = 0xE8;

struct Options {
    bool sync = false;         // ShowWindow, which waits for each window's thread
    bool windows = false;      // only windows with a minimise button
    bool layout = false;       // a taskbar window on a thread of its own takes Alt+M
    bool noAltM = false;       // the taskbar takes Windows key + M, not Alt+M
    bool shellWindow = false;  // SetShellWindow on the desktop window
    bool viewSibling = false;  // the desktop's keys go to a WorkerW beside it
    std::string log;           // empty: no log
};

// Options in any order, then the log file's name, which may be quoted and
// may hold spaces. The first word that is no option starts the name.
inline Options ParseOptions(const std::string& commandLine) {
    Options o;
    const std::pair<const char*, bool*> names[] = {{"--sync", &o.sync},
                                                   {"--windows", &o.windows},
                                                   {"--layout", &o.layout},
                                                   {"--no-alt-m", &o.noAltM},
                                                   {"--shell-window", &o.shellWindow},
                                                   {"--view-sibling", &o.viewSibling}};
    std::size_t at = commandLine.find_first_not_of(' ');
    while (at != std::string::npos) {
        std::size_t end = commandLine.find(' ', at);
        const std::string word =
            commandLine.substr(at, end == std::string::npos ? std::string::npos : end - at);
        bool* flag = nullptr;
        for (const auto& [name, target] : names) {
            if (word == name) flag = target;
        }
        if (flag == nullptr) break;
        *flag = true;
        at = end == std::string::npos ? end : commandLine.find_first_not_of(' ', end);
    }
    if (at != std::string::npos) {
        std::string name = commandLine.substr(at);
        name.erase(name.find_last_not_of(' ') + 1);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
        }
        o.log = name;
    }
    // Windows' shell takes Windows key + M at its taskbar.
    if (o.noAltM) o.layout = true;
    return o;
}

inline bool IsModifier(unsigned vk) {
    return vk == kShift || vk == kControl || vk == kAlt || vk == kLeftWin || vk == kRightWin ||
           (vk >= kLeftShift && vk <= kRightAlt);
}

// Windows opens its Start menu when a Windows key goes up with no other key
// pressed since it went down, and a lone Alt puts the window in front into
// its menu bar; a program that sends keys while the user holds one of them
// has to press another key first. Fed every key of the keyboard in order
// (a low-level hook's view), it tells which of the two would happen.
class LoneKeys {
public:
    // The line to log for this key, or nullptr.
    const char* Key(unsigned vk, bool down) {
        const int slot = SlotOf(vk);
        if (down) {
            // A key held down repeats; that presses no other key.
            if (slot >= 0 && held_[slot]) return nullptr;
            for (bool& lone : lone_) lone = false;
            if (slot >= 0) held_[slot] = lone_[slot] = true;
            return nullptr;
        }
        if (slot < 0 || !held_[slot]) return nullptr;
        const bool lone = lone_[slot];
        held_[slot] = lone_[slot] = false;
        if (!lone) return nullptr;
        return slot == kAltSlot ? "menu-bar" : "start-menu";
    }

private:
    enum { kLeftWinSlot, kRightWinSlot, kAltSlot, kSlots };
    static int SlotOf(unsigned vk) {
        if (vk == kLeftWin) return kLeftWinSlot;
        if (vk == kRightWin) return kRightWinSlot;
        if (vk == kAlt || vk == kLeftAlt || vk == kRightAlt) return kAltSlot;
        return -1;
    }
    bool held_[kSlots] = {};
    bool lone_[kSlots] = {};
};

struct Held {
    bool ctrl = false, shift = false, win = false;
    bool Any() const { return ctrl || shift || win; }
};

// What a key that reached one of the shell's windows asks for. The window
// acts on it: it logs a modified key, hands the keyboard to the taskbar, and
// minimises all windows or ignores Alt+M, as its kind of view and the options say.
enum class Command { kNone, kModifiedKey, kToTaskbar, kAltM };

// The keys of one keyboard view of the shell, from its window messages.
class View {
public:
    enum class Kind {
        kDesktopAlone,  // desktop and taskbar in one: Tab, then Alt+M
        kDesktop,       // the desktop beside a taskbar window: Tab hands over
        kTaskbar,       // the taskbar window: Alt+M
    };
    explicit View(Kind kind) : kind_(kind) {}
    Kind kind() const { return kind_; }

    void Activated() {
        taskbarFocus_ = false;  // the focus starts on the desktop
        altDown_ = false;
    }

    // A WM_KEYDOWN (sys false) or WM_SYSKEYDOWN (sys true).
    Command KeyDown(unsigned vk, bool sys, Held held) {
        // Alt comes as a plain key while Ctrl is held.
        if (vk == kAlt) altDown_ = true;
        if (IsModifier(vk) || vk == kMaskKey) return Command::kNone;
        if (held.Any()) {
            taskbarFocus_ = false;
            return Command::kModifiedKey;
        }
        const bool altM = vk == 'M' && (sys || altDown_);
        switch (kind_) {
            case Kind::kDesktopAlone:
                if (altM && taskbarFocus_) {
                    taskbarFocus_ = false;
                    return Command::kAltM;
                }
                // Any system key, a Tab among them (one that reaches the
                // shell's window before it has the focus comes as one),
                // moves nothing to the taskbar.
                taskbarFocus_ = !sys && vk == kTab;
                return Command::kNone;
            case Kind::kDesktop:
                if (altM) return Command::kAltM;
                return !sys && vk == kTab ? Command::kToTaskbar : Command::kNone;
            case Kind::kTaskbar:
                return altM ? Command::kAltM : Command::kNone;
        }
        return Command::kNone;
    }

    // A WM_KEYUP or WM_SYSKEYUP.
    void KeyUp(unsigned vk) {
        if (vk == kAlt) altDown_ = false;
    }

private:
    Kind kind_;
    bool taskbarFocus_ = false;
    // Alt is followed from its own key messages, not from the key state:
    // Wine's X11 driver sets the modifier keys to the physical keyboard's
    // whenever a window takes the display's focus, which can let go of an
    // Alt a program has sent between it and the next key (M then arrives as
    // WM_KEYDOWN). No Windows shell sees that; it is no fault of the program
    // that sent the keys.
    bool altDown_ = false;
};

}  // namespace standin
