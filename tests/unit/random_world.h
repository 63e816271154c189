// The random test's world: a simulated desktop with other programs' windows,
// the user's documents on drive C:, and the processes of the program it
// starts; and what each action does there. An action that cannot be done in
// the world as it stands (a menu item with no menu up) does nothing, so a
// list with actions taken out still replays.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/minimisable_windows.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"
#include "unit/random_actions.h"

namespace quorvel::testing::randomised {

using platform::Hwnd;

// What another program may store as the icon setting, and the mode the
// program must then put in force: the rule of the stored text (a number at
// its front, read as the run time's Val reads it, blanks skipped; halves to
// the even neighbour; the default 2 for anything outside 1 to 3 or longer
// than 32 bytes), whatever the value's type says.
struct StoredSetting {
    const char* name;
    std::uint32_t type;  // 0: the key deleted
    std::string bytes;
    std::int16_t mode;
};
extern const std::vector<StoredSetting> kStoredSettings;
// The mode the stored value gives, -1 for a value none of the above is.
std::int16_t ModeOfStored(const sim::Desktop& desk);

// A file, folder or link planted in TEMP, by its Windows name under it.
struct Plant {
    enum Kind { File, Folder, Link, HardLink, ReadOnly, Hidden } kind;
    const char* name;
    const char* target;  // of a link, a Windows path
};
extern const std::vector<Plant> kPlants;
// The user's documents, outside TEMP; links planted in TEMP lead to them.
inline constexpr const char* kDocuments = "C:\\Documents";

// The modifiers the user holds (Hold's first argument): keys of the
// keyboard, each of a side (its common code goes down with it).
inline constexpr std::uint8_t kHeldKeys[] = {platform::VK_LCONTROL, platform::VK_LMENU,
                                             platform::VK_LSHIFT, platform::VK_LWIN};

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    sim::Desktop desk;

    // --- the program ---
    // The instance that runs (a first start, not yet ended), null for none.
    App* Running();
    int RunningPid() const { return running_; }
    // The windows a minimise-all would take, as a process of `pid` counts them.
    std::vector<platform::Hwnd> MinimisableWindows(int pid) {
        sim::SimWindowFacts facts(desk, pid);
        return platform::MinimisableWindows(facts);
    }
    // How many reveals the running instance has begun: each hides its
    // taskbar form first (SetWindowPos with SWP_HIDEWINDOW, as logged).
    int RevealsBegun();
    // A second start that has not ended yet.
    bool SecondStartAlive() const;
    // A process of the program watches for the shell's answer to a request.
    bool Watching();
    // The icon's menu is up, the dialog is on the screen.
    bool MenuOpen();
    bool DialogOpen();
    // Something of the program's waits for the user: its menu, its dialog,
    // or a second start for the shell's answer. One at a time: the
    // simulation runs every process on one stack, so a loop of one process
    // started inside another's would end with it.
    bool LoopOpen() { return MenuOpen() || DialogOpen() || SecondStartAlive(); }
    // The program's window in front is the dialog.
    bool DialogInFront();
    // The running instance's icon host form's window, 0 while it has none.
    Hwnd HostWindow() const;

    // --- other programs ---
    // Their windows, in the order they opened (closed ones taken out).
    const std::vector<Hwnd>& Others() const { return others_; }
    Hwnd Other(std::uint32_t index) const;
    bool IsOthers(Hwnd hwnd) const;
    bool IsShells(Hwnd hwnd) const;
    // Whether a window could take the activation: there, shown, not minimised, enabled.
    bool TakesActivation(Hwnd hwnd) const;

    // The entry of the taskbar button's window menu a WindowMenu action
    // picks, "" for none.
    std::string WindowMenuChoice(const Action& action);

    // Whether the action can be done now, and doing it (nothing where it cannot).
    bool CanDo(const Action& action);
    void Do(const Action& action);
    // What the last action done was.
    Act LastAct() const { return lastAct_; }

    // The shell's process is away between its end and its start again.
    bool ShellAway() const { return !desk.ShellRunning(); }
    // What the user typed into a window (the keys the program sends must
    // reach none but the shell's).
    std::size_t UserTyped(Hwnd hwnd) const;
    // The presses of the icon made during a wait of the program's that are
    // requests (TrayInWait), for the invariants to read: when, and the
    // shell's answers and the trace's lines so far.
    struct PressInWait {
        std::uint64_t atMs;
        int minimiseAlls;
        std::size_t traceLines;
        // Nothing to minimise; or Alt held, which the icon's callback
        // reads as the program's thread last saw it, not as at the press.
        bool owedNothing;
        // In a wait of the running instance's own, whose reveal it then
        // waits for; in a second start's, the press is any other click.
        bool inOwnReveal;
        int revealsBegun;
    };
    std::vector<PressInWait> pressesInWaits;
    // How often the shell has started, and the icon adds the last start refuses.
    int shellStarts = 0;
    int shellRefusedAdds = 0;

private:
    struct Instance {
        std::unique_ptr<sim::SimRuntime> runtime;
        std::unique_ptr<App> app;
    };

    void StartProgram(std::uint32_t held, bool inBackground);
    static std::vector<std::uint32_t> Presses(std::uint32_t how);
    void TypeKey(std::uint8_t vk);
    void RestartShell(const Action& action);
    void PlantFile(const Plant& plant);
    void StoreSetting(const StoredSetting& setting);
    void DialogControlClick(const Action& action);
    void DialogKey(const Action& action);
    void CloseInFront();

    std::map<int, Instance> instances_;
    int running_ = 0;
    std::vector<Hwnd> others_;
    int opened_ = 0;
    std::map<Hwnd, std::size_t> userTyped_;
    Act lastAct_ = Act::Rest;
    // RevealsBegun's reading of the calls so far, for the running instance.
    std::size_t callsRead_ = 0;
    int revealsBegun_ = 0;
    int revealsOf_ = 0;
};

}  // namespace quorvel::testing::randomised
