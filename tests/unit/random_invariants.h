// What must hold after every step of the random test, each with the
// exceptions the user's own actions make:
//   reachable  the icon in modes 1 and 3, the button in 2 and 3, while the
//              shell has its taskbar and no dialog is up;
//   requests   each request served at least once, or traced as unserved by
//              every way; no minimise-all beyond one a request and one for
//              each way asked after the shell's bound;
//   keys       the program's keys reach no window but the shell's; Tab and
//              Alt+M go out only while one is in front (Windows key + M
//              wherever: the shell's hot key takes it);
//   files      nothing outside TEMP changes, nothing in it but *.tmp files
//              directly in it, and only by going;
//   exit       the process ends only through its own exit, its icon removed,
//              and does when asked to;
//   rest       no timer runs at rest but the dialog's activation timer while
//              it polls and the icon's retries, no timer resolution is held;
//   hand-back  after a dismissed menu or a closed dialog the window the user
//              had in front is in front, unless the user moved on;
//   contrast   every caption drawn reads on its background (WCAG 2, 4.5:1);
//   setting    "1", "2" or "3" stored after the program writes it; the mode
//              in force the one last read or chosen.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "unit/random_actions.h"
#include "unit/random_world.h"

namespace quorvel::testing::randomised {

struct Failure {
    std::string invariant;
    std::string detail;
};

// How long a request may take to be served: the longest the program may
// take over one (its activations, the keys, each way's wait) with room to spare.
inline constexpr std::uint64_t kServedWithinMs = 5000;
// How long after a menu or the dialog closed the activation may take to be
// back: a timer's tick or two.
inline constexpr std::uint64_t kHandBackWithinMs = 100;
// How long after the last action the program is at rest.
inline constexpr std::uint64_t kAtRestAfterMs = 3000;

class Invariants {
public:
    explicit Invariants(World& world);

    // Before `action` is done: what it asks of the program, judged in the
    // world as it stands. Whether it can be done now.
    bool Before(const Action& action);
    // Once `action` is done (where Before said it could be).
    void After(const Action& action);
    // What must hold now; the first that does not.
    std::optional<Failure> Check();

private:
    struct Request {
        std::uint64_t atMs;
        // When it is to have been served: the time the program's menu or
        // dialog waits for the user does not count.
        std::uint64_t dueMs;
        // The shell's answers so far, minimise-alls and requests traced as
        // unserved: one more after it serves it, whoever asked (a second
        // start's serves the running instance's beside it).
        int answersBefore;
        bool excused;  // the program or the shell ended meanwhile
        // Owed nothing, allowed its reveal: an activation the window system
        // may or may not give (the taskbar button's window menu's Restore),
        // or a request with nothing to minimise.
        bool maybe;
        // Who asked: the running instance's pid, or a second start's own
        // number. A request made while its process was inside a reveal (the
        // icon pressed during a wait) waits its turn and is served by an
        // answer of its own; others may share an answer (two asked so close
        // together that the shell minimises once for both).
        int asker = 0;
        bool ownAnswer = false;
        // The asker's reveals begun before it: the requests made during one
        // reveal are served by the next together.
        int during = 0;
        bool judged = false;
    };
    struct Taker {
        int asker = 0;  // 0 while the answer serves none
        int during = 0;
    };
    struct Interaction {
        Hwnd user;  // the last window of another program in front; 0 for none
        bool movedOn;
        // Of the icon's menu: the window in front at the press (the shell's,
        // or another program's), which Esc may leave there.
        Hwnd before;
        // Looked at from then on: the program hands the activation back once
        // the input that closed the menu has been handled.
        std::uint64_t dueMs = 0;
        // Of an Esc: the menus shown so far (an Esc that reached no menu
        // leaves that one up, and no other shown since).
        std::optional<std::size_t> menusAtEsc{};
        // The running instance's reveals begun by then: one begun since
        // serves a request made before, which waited for the menu.
        int reveals = 0;
    };
    struct FileEntry {
        int type;
        std::uintmax_t size;
        long long modified;
        std::string target;
        bool operator==(const FileEntry&) const = default;
    };
    using Files = std::map<std::string, FileEntry>;

    std::uint64_t Now() const { return world_.desk.Now(); }
    // The last window of another program in front: the one the activation
    // goes back to.
    void NoteUserInFront();
    void NoteRequest(const Action& a);
    // Reads the trace for requests traced as unserved and ways asked after
    // the bound; the answers so far.
    void ReadTrace();
    int Answers();
    void NoteInteraction(const Action& a);
    bool Ending(const Action& a) const;

    std::optional<Failure> Exit();
    std::optional<Failure> FilesKept();
    std::optional<Failure> Keys();
    std::optional<Failure> Setting();
    std::optional<Failure> Requests();
    std::optional<Failure> Reachable();
    std::optional<Failure> Rest();
    std::optional<Failure> HandBack();
    std::optional<Failure> ContrastOfCaptions();
    Files Snapshot() const;

    World& world_;
    std::optional<Action> last_;
    bool lastDone_ = false;
    std::uint64_t quietFrom_ = 0;
    // exit
    int runningPid_ = 0;
    bool endAsked_ = false;
    // requests
    std::vector<Request> requests_;
    std::vector<Taker> answeredFor_;  // each answer's first request served
    int secondStarts_ = 0;
    int traced_ = 0;                    // requests traced as unserved by every way, or past telling
    std::vector<int> tracedBefore_{0};  // traced_ before each line of the trace
    int escalations_ = 0;               // ways asked after the shell's bound
    std::vector<Hwnd> minimisableBefore_;  // before the user's click on a taskbar button
    std::size_t traceRead_ = 0;
    // keys
    std::size_t keysRead_ = 0;
    bool sentWindowsKey_ = false;
    // files
    Files files_;
    bool replanted_ = false;
    // setting
    std::size_t callsRead_ = 0;
    std::int16_t modeRead_ = -1;
    // reachable: the refusals of a shell still starting
    int shellStartsSeen_ = 0;
    int refusalsLeft_ = 0;
    std::uint64_t iconRetryUntil_ = 0;
    // hand-back
    Hwnd userWindow_ = 0;
    std::size_t activationsRead_ = 0;
    std::optional<Interaction> interaction_;
    std::optional<Interaction> expectInFront_;
    bool dialogWasOpen_ = false;
};

}  // namespace quorvel::testing::randomised
