// The invariants' bookkeeping, and those of the user's side: requests, keys,
// files and the end of the process.
#include "unit/random_invariants.h"

#include <algorithm>
#include <filesystem>

#include "platform/constants.h"

namespace quorvel::testing::randomised {

namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& line, const char* text) {
    return line.find(text) != std::string::npos;
}

Failure Broken(const char* invariant, std::string detail) {
    return {invariant, std::move(detail)};
}

}  // namespace

Invariants::Invariants(World& world) : world_(world) {
    files_ = Snapshot();
}

void Invariants::NoteUserInFront() {
    const auto& activated = world_.desk.seen.activations;
    for (; activationsRead_ < activated.size(); ++activationsRead_) {
        if (world_.IsOthers(activated[activationsRead_])) userWindow_ = activated[activationsRead_];
    }
}

bool Invariants::Before(const Action& a) {
    NoteUserInFront();
    const bool doable = world_.CanDo(a);
    last_ = a;
    lastDone_ = doable;
    endAsked_ = false;
    if (a.act != Act::Rest) {
        quietFrom_ = Now() + kAtRestAfterMs;
        if (a.act == Act::Busy) quietFrom_ += a.args[0];
        if (a.act == Act::Slow) quietFrom_ += a.args[1];
        if (a.act == Act::Shell) quietFrom_ += a.args[2];
    }
    if (!doable) return false;
    NoteRequest(a);
    NoteInteraction(a);
    if (Ending(a) || a.act == Act::Shell) {
        // What was under way may go unserved: the user or Windows ended it.
        for (Request& r : requests_) {
            if (r.dueMs > Now()) r.excused = true;
        }
    }
    endAsked_ = world_.Running() != nullptr &&
                (a.act == Act::Quit || a.act == Act::EndSession || a.act == Act::TaskManager ||
                 (a.act == Act::Item && a.args[0] % 4 == 3) ||
                 (a.act == Act::Button && a.args[0] % 5 == 3));
    if (a.act == Act::Plant) replanted_ = true;
    if (a.act == Act::TaskbarButton) {
        minimisableBefore_ = world_.Watching() ? world_.MinimisableWindows(world_.RunningPid())
                                               : std::vector<Hwnd>{};
    }
    return true;
}

void Invariants::After(const Action& a) {
    if (a.act != Act::TaskbarButton) return;
    // The user minimised a window by its button while the program watched
    // for the shell's answer: nothing tells the two apart, and the watch
    // takes it for the shell's. A request still unanswered is excused.
    const std::vector<Hwnd> now = world_.MinimisableWindows(world_.RunningPid());
    const bool minimised =
        std::any_of(minimisableBefore_.begin(), minimisableBefore_.end(), [&](Hwnd h) {
            return std::find(now.begin(), now.end(), h) == now.end() &&
                   world_.desk.Find(h) != nullptr;
        });
    if (!minimised) return;
    const int answers = Answers();
    for (Request& r : requests_) {
        if (!r.judged && r.answersBefore == answers) r.excused = true;
    }
}

void Invariants::NoteRequest(const Action& a) {
    App* app = world_.Running();
    bool request = false, maybe = false;
    switch (a.act) {
        case Act::Click:
            request = !world_.DialogOpen() && app->Reveal().StartUpActivationSeen();
            break;
        case Act::Tray:
            // A press with Alt held is no request: the icon's callback ignores it.
            request = (a.args[0] % 4 == 0 || a.args[0] % 4 == 2) && !world_.DialogOpen() &&
                      !world_.desk.KeyDown(platform::VK_MENU);
            break;
        case Act::Item:
            request = a.args[0] % 4 == 0;
            break;
        case Act::TrayInWait:
            // What follows the press armed: a click, or a left press.
            request = a.args[2] % 3 == 1
                          ? app->Reveal().StartUpActivationSeen()
                          : a.args[2] % 3 == 2 && !world_.desk.KeyDown(platform::VK_MENU);
            break;
        case Act::Start:
            request = app != nullptr;  // a second start
            break;
        case Act::WindowMenu:
            maybe = world_.WindowMenuChoice(a) == "&Restore";
            break;
        default:
            break;
    }
    // With no window the shell would minimise, the desktop shows already:
    // nothing to serve (a shell that ignores its keys then leaves nothing to
    // see either).
    if (request && world_.MinimisableWindows(world_.RunningPid()).empty()) maybe = true;
    if (request || maybe) {
        const int asker = a.act == Act::Start ? -++secondStarts_ : world_.RunningPid();
        requests_.push_back({Now(), Now() + kServedWithinMs, Answers(), false, maybe, asker, false,
                             a.act == Act::Start ? 0 : world_.RevealsBegun()});
    }
}

int Invariants::Answers() {
    ReadTrace();
    return world_.desk.seen.minimiseAlls + traced_;
}

bool Invariants::Ending(const Action& a) const {
    switch (a.act) {
        case Act::Quit:
        case Act::EndSession:
        case Act::TaskManager:
            return true;
        case Act::Item:
            return a.args[0] % 4 == 3;
        case Act::Button:
            return a.args[0] % 5 == 3;
        case Act::DialogKey:
            // Enter on a focused Exit, or its letter; the message box's OK.
            return a.args[1] != 2 && (a.args[0] % 12 == 1 || a.args[0] % 12 == 7);
        default:
            return false;
    }
}

std::optional<Failure> Invariants::Check() {
    NoteUserInFront();
    for (auto check : {&Invariants::Exit, &Invariants::FilesKept, &Invariants::Keys,
                       &Invariants::Setting, &Invariants::Requests, &Invariants::Reachable,
                       &Invariants::Rest, &Invariants::HandBack, &Invariants::ContrastOfCaptions}) {
        if (auto failure = (this->*check)()) return failure;
    }
    return std::nullopt;
}

std::optional<Failure> Invariants::Exit() {
    const int pid = runningPid_;
    runningPid_ = world_.RunningPid();
    if (pid == 0) return std::nullopt;
    if (world_.desk.Alive(pid)) {
        if (endAsked_) return Broken("exit", "asked to end by " + ToText(*last_) + ", it runs on");
        return std::nullopt;
    }
    if (!last_ || !lastDone_ || !Ending(*last_)) {
        return Broken("exit",
                      "it ended after " + (last_ ? ToText(*last_) : std::string("nothing")));
    }
    if (world_.desk.TrayIconCount() != 0) return Broken("exit", "it ended, its icon stays");
    return std::nullopt;
}

Invariants::Files Invariants::Snapshot() const {
    Files files;
    const fs::path root = world_.desk.DriveC();
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        const fs::file_status status = fs::symlink_status(p, ec);
        FileEntry entry{static_cast<int>(status.type()), 0, 0, {}};
        if (fs::is_symlink(status)) {
            entry.target = fs::read_symlink(p, ec).string();
        } else if (fs::is_regular_file(status)) {
            entry.size = fs::file_size(p, ec);
            entry.modified = fs::last_write_time(p, ec).time_since_epoch().count();
        }
        files[fs::relative(p, root, ec).generic_string()] = entry;
    }
    return files;
}

std::optional<Failure> Invariants::FilesKept() {
    Files now = Snapshot();
    if (std::exchange(replanted_, false)) {
        files_ = std::move(now);
        return std::nullopt;
    }
    Files before = std::exchange(files_, now);
    for (const auto& [path, entry] : before) {
        auto it = now.find(path);
        if (it == now.end()) {
            // A *.tmp file (or a link's name) directly in TEMP may go.
            const fs::path p(path);
            std::string name = p.filename().string();
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            const bool deletable = p.parent_path() == "WINDOWS/TEMP" && name.size() > 4 &&
                                   name.ends_with(".tmp") &&
                                   entry.type != static_cast<int>(fs::file_type::directory);
            if (!deletable) return Broken("files", "gone: C:/" + path);
        } else if (!(it->second == entry)) {
            return Broken("files", "changed: C:/" + path);
        }
    }
    for (const auto& [path, entry] : now) {
        if (before.count(path) == 0) return Broken("files", "made: C:/" + path);
    }
    return std::nullopt;
}

std::optional<Failure> Invariants::Keys() {
    const sim::Desktop& desk = world_.desk;
    for (Hwnd hwnd : desk.ZOrder()) {
        const sim::Window& w = *desk.Find(hwnd);
        if (w.typed.size() > world_.UserTyped(hwnd) && !world_.IsShells(hwnd))
            return Broken("keys",
                          "typed into \"" + w.title + "\" (" + w.className + "): " + w.typed);
    }
    // Each Tab and M the program sent went out while a window of the shell
    // was in front, but Windows key + M's, which the shell's hot key takes
    // wherever it lands. (One the user took the foreground from before the
    // shell read it reaches nobody.)
    const auto& sent = desk.seen.keysSent;
    for (; keysRead_ < sent.size(); ++keysRead_) {
        const sim::TimedKey& key = sent[keysRead_];
        if (key.vk == platform::VK_LWIN || key.vk == platform::VK_RWIN) {
            sentWindowsKey_ = !key.up;
        } else if (!key.up && (key.vk == platform::VK_TAB || (key.vk == 'M' && !sentWindowsKey_)) &&
                   !world_.IsShells(key.inFront)) {
            const sim::Window* w = desk.Find(key.inFront);
            return Broken("keys",
                          std::string(key.vk == 'M' ? "M" : "Tab") + " sent with " +
                              (w == nullptr ? std::string("no window")
                                            : "\"" + w->title + "\" (" + w->className + ")") +
                              " in front");
        }
    }
    return std::nullopt;
}

void Invariants::ReadTrace() {
    const auto& trace = world_.desk.seen.trace;
    for (; traceRead_ < trace.size(); ++traceRead_) {
        const std::string& line = trace[traceRead_];
        if (line.rfind("reveal: not served", 0) == 0 ||
            Contains(line, "every window watched was destroyed") ||
            line.rfind("AppActivate Program Manager: no such window", 0) == 0 ||
            // Past telling: nothing left to minimise, the desktop shows (as
            // the world sees it, not only as the program says).
            (Contains(line, "; no window to minimise") &&
             world_.MinimisableWindows(world_.RunningPid()).empty())) {
            ++traced_;
        }
        if (Contains(line, "the shell ignored its keys") ||
            Contains(line, "the shell ignored the other way")) {
            ++escalations_;
        }
        tracedBefore_.push_back(traced_);
    }
}

std::optional<Failure> Invariants::Requests() {
    const int answers = Answers();
    // The icon pressed while the program waited: a request then.
    for (const World::PressInWait& press : world_.pressesInWaits) {
        requests_.push_back({press.atMs, press.atMs + kServedWithinMs,
                             press.minimiseAlls + tracedBefore_[press.traceLines], false,
                             press.owedNothing, world_.RunningPid(), press.inOwnReveal,
                             press.revealsBegun});
    }
    world_.pressesInWaits.clear();
    // A request queued behind the program's menu waits for the user.
    if (world_.MenuOpen() || world_.DialogOpen()) {
        for (Request& r : requests_) r.dueMs = std::max(r.dueMs, Now() + kServedWithinMs);
    }
    // A request owed an answer of its own takes the first answer after it
    // that serves none yet; where none is left, it shares one, but only with
    // another process's request or one made during the same reveal. Any
    // other request shares an answer already taken where it can, leaving the
    // free ones to those.
    std::vector<Request*> due;
    for (Request& r : requests_) {
        if (!r.judged && !r.excused && !r.maybe && r.dueMs <= Now()) due.push_back(&r);
    }
    std::stable_sort(due.begin(), due.end(), [](const Request* a, const Request* b) {
        return a->answersBefore < b->answersBefore;
    });
    answeredFor_.resize(static_cast<std::size_t>(answers));
    for (Request* r : due) {
        r->judged = true;
        bool served = false;
        for (int k = r->answersBefore; k < answers && !served && !r->ownAnswer; ++k) {
            served = answeredFor_[k].asker != 0;
        }
        for (int k = r->answersBefore; k < answers && !served; ++k) {
            if (answeredFor_[k].asker == 0) {
                answeredFor_[k] = {r->asker, r->during};
                served = true;
            }
        }
        for (int k = r->answersBefore; k < answers && !served; ++k) {
            const Taker& taker = answeredFor_[k];
            served = !r->ownAnswer || taker.asker != r->asker || taker.during == r->during;
        }
        if (!served) {
            return Broken(
                "requests",
                "a request of " + std::to_string(r->atMs) + " ms unserved, not traced as unserved" +
                    (answers > r->answersBefore ? " (what came after served its own)" : ""));
        }
    }
    const int minimised = world_.desk.seen.minimiseAlls;
    const int allowed = static_cast<int>(requests_.size()) + escalations_;
    if (minimised > allowed) {
        return Broken("requests", std::to_string(minimised) + " minimise-alls for " +
                                      std::to_string(requests_.size()) + " requests and " +
                                      std::to_string(escalations_) + " ways asked after the bound");
    }
    return std::nullopt;
}

}  // namespace quorvel::testing::randomised
