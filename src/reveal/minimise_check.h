// Whether the shell acted on a minimise-all request, the other ways of asking
// it when it did not, and what is learnt: a taskbar may ignore Alt+M
// (remapped, filtered, or a version that does not take it), and a
// replacement taskbar may ignore the automation object's call as well,
// silently. The way learnt is shared with later starts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/runtime.h"

namespace quorvel {

// The ways of asking the shell's minimise-all, in the order they are tried:
// its keys (Tab, then Alt+M, to the shell's window in front), its automation
// object's MinimizeAll, its hot key Windows key + M.
// The title of the shell's window, which takes its keys.
inline constexpr std::string_view kShellTitle = "Program Manager";

enum class MinimiseAllWay : std::uint8_t { Keys, ShellObject, WindowsKeyM };

// What a request's keys had of a try: a fair one, an unfair one (see
// ShellKeys::HadFairTry), or none: the shell's window was never in front
// for them.
enum class KeysTry : std::uint8_t { Fair, Unfair, None };

class MinimiseAllCheck {
public:
    using Way = MinimiseAllWay;

    // `secondStart`: this process is a second start, which reads the running
    // instance's way and tells it what it learns.
    explicit MinimiseAllCheck(bool secondStart) : secondStart_(secondStart) {}

    // The way to ask a request by: the way learnt, Keys until another was
    // seen to work; a second start begins with the running instance's, read
    // on this first need once it has the turn of the second starts (waiting
    // for another's to end), which another program may set, so it only ever
    // chooses among the program's own ways.
    Way WayToAsk(platform::Runtime& runtime);
    // The way learnt so far, without reading the running instance's.
    Way LearntWay() const { return learnt_; }
    // The keys have gone (`altM`: Alt+M too), `shown` listed while the shell
    // took Tab; `fair`: see ShellKeys::HadFairTry. Watched; where nothing was
    // minimised within the wait, or Alt+M never went, the next way.
    void KeysSent(platform::Runtime& runtime, std::vector<platform::Hwnd> shown, bool altM,
                  bool fair);
    // The shell's window could not be brought forward for the keys (`why`):
    // the request is asked the other ways at once, `shown` listed for the
    // watch. No try of the keys: it teaches nothing, and counts toward no
    // unfair try.
    void ShellNotInFront(platform::Runtime& runtime, platform::ActivateOutcome why,
                         std::vector<platform::Hwnd> shown);
    // Asks at once by `way`, the way learnt, and watches what it minimises.
    void AskLearntWay(platform::Runtime& runtime, Way way, std::vector<platform::Hwnd> shown);
    // Whether the shell has answered every request: none is being watched.
    bool Answered() const { return watches_.empty(); }
    // Waits until no request is being watched (a second start, before it
    // ends), and gives the turn a second start took on its first need.
    void WaitUntilAnswered(platform::Runtime& runtime);
    // A recreated taskbar may be another shell's: asked its keys again.
    void TaskbarRecreated(platform::Runtime& runtime) { LearnAndShare(runtime, Way::Keys); }
    // A second start told this instance what it learnt.
    void ToldBySecondStart(platform::Runtime& runtime, std::uint32_t value);

private:
    // The windows one request is to minimise, the way last asked, when, and
    // what try its keys had.
    struct Watch {
        std::vector<platform::Hwnd> shown;
        std::uint32_t since;
        Way way;
        KeysTry keys;
    };
    // Asks by `way`, else by the ways after it, and watches what it
    // minimises; past the last way the request was served by none.
    void AskWatched(platform::Runtime& runtime, Way way, std::vector<platform::Hwnd> shown,
                    KeysTry keys);
    void StartWatching(platform::Runtime& runtime, Watch watch);
    // One timer looks at every request still watched.
    void Poll(platform::Runtime& runtime);
    // A request was served by `way`: what that teaches.
    void RequestServed(platform::Runtime& runtime, Way way, KeysTry keys);
    // `way` seen to work (Keys where none did) becomes the way learnt, and is
    // shared: the running instance keeps it for later starts; a second start
    // tells the running instance.
    void LearnAndShare(platform::Runtime& runtime, Way way);

    const bool secondStart_;
    std::vector<Watch> watches_;
    int timer_ = 0;
    Way learnt_ = Way::Keys;
    bool learntRead_ = false;  // a second start reads the running instance's once
    // The last request judged had no fair try of its keys.
    bool lastUnfair_ = false;
};

}  // namespace quorvel
