// The show-desktop command and its trigger on the taskbar button. The reveal
// reads top to bottom: desktop_reveal.cpp (ShowDesktop, MinimizeAllWindows),
// shell_keys.* (the shell's readiness for keys, the pacing of the strokes),
// minimise_check.* (the watch, the other ways in their order, what is learnt
// and shared with a second start), bounds.h (every wait's bound).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/runtime.h"
#include "reveal/minimise_check.h"
#include "ui/program_forms.h"

namespace quorvel {

class DesktopReveal {
public:
    // `iconMode` is the mode in force: the taskbar form comes back after a
    // reveal only in the modes with a taskbar button. `secondStart`: this
    // process is a second start, decided at start-up.
    DesktopReveal(platform::Runtime& runtime, Forms& forms, const std::int16_t& iconMode,
                  bool secondStart);
    DesktopReveal(const DesktopReveal&) = delete;
    DesktopReveal& operator=(const DesktopReveal&) = delete;

    // Asks the shell to minimise every window. One request at a time: one
    // made while a reveal runs is served once it is over (see ShowDesktop).
    void ShowDesktop();
    // Runs `request` (the icon's menu, the Configure dialog) now, or after
    // the reveal that runs, in its turn with the other requests made
    // meanwhile. One such request still waiting gives its place to a later
    // one: the user's last press is the menu or dialog wanted.
    void AfterReveal(std::function<void()> request);
    // The taskbar form's Activate: a click on its button.
    void TaskbarFormActivated();
    // Returns once the shell has answered every request (a second start,
    // before it ends): where it ignores its keys, this process is the one to
    // ask it the other way.
    void WaitForTheShell() { minimiseAll_.WaitUntilAnswered(runtime_); }

    // The activation that follows start-up has happened; every one after
    // it is a click.
    bool StartUpActivationSeen() const { return startUpActivationSeen_; }
    // The way the shell's minimise-all was seen to work, asked at once.
    MinimiseAllWay LearntWay() const { return minimiseAll_.LearntWay(); }
    // A request's answer is still being watched for.
    bool Watching() const { return !minimiseAll_.Answered(); }
    void TaskbarRecreated() { minimiseAll_.TaskbarRecreated(runtime_); }

private:
    // The shell's "Program Manager" activated and sent "{tab}%m", with what
    // Windows needs around it.
    void MinimizeAllWindows();
    void Reveal();
    // The requests made during a reveal, in turn: each reveal among them
    // leaves the rest to after itself.
    void ServeWaiting();
    // A request came during the reveal (see ShowDesktop).
    void Disturbed();

    platform::Runtime& runtime_;
    Forms& forms_;
    const std::int16_t& iconMode_;
    const bool secondStart_;
    // Whether the shell acts on the minimise-all keys.
    MinimiseAllCheck minimiseAll_;
    bool startUpActivationSeen_ = false;
    bool revealing_ = false;
    bool keysDisturbed_ = false;  // a request came while this reveal's keys went
    struct Waiting {
        std::function<void()> serve;
        bool menuOrDialog = false;  // asked by AfterReveal
    };
    std::deque<Waiting> waiting_;  // the requests made meanwhile
    int serveTimer_ = 0;
};

}  // namespace quorvel
