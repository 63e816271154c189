#include "unit/random_run.h"

#include <functional>
#include <sstream>

#include "unit/random_generate.h"

namespace quorvel::testing::randomised {

namespace {

// Ends a run at the first failure, from wherever in the program's loops the
// step that saw it runs; nothing of the program catches it.
struct Halt {};

// The most closing actions a run may take once its list is done.
constexpr int kMostWindDownSteps = 50;
// What the explanation shows of the trace: the lines of the last actions.
constexpr std::size_t kTraceLines = 60;
// Shrinking gives up after this many replays, keeping what it has.
constexpr std::size_t kMostReplays = 4000;

class Driver {
public:
    using Next = std::function<std::optional<Action>(World&)>;
    explicit Driver(Next next) : next_(std::move(next)) {}

    Outcome Run() {
        world_.desk.At(0, [this] { Step(); });
        try {
            while (!stopped_) world_.desk.Run(1000);
        } catch (const Halt&) {
        } catch (const sim::SimStall& stall) {
            Fail({"stall", stall.what()});
        } catch (const std::exception& e) {
            Fail({"driver", e.what()});
        } catch (...) {
            Fail({"driver", "an exception of another kind"});
        }
        Merge();
        return std::move(outcome_);
    }

private:
    void Fail(Failure failure) {
        outcome_.failure = std::move(failure);
        outcome_.failedAfter = outcome_.actions.size();
    }

    void Step() {
        if (auto failure = checks_.Check()) {
            Fail(std::move(*failure));
            throw Halt{};
        }
        std::optional<Action> action;
        if (!listDone_) {
            action = next_(world_);
            listDone_ = !action;
            if (action) outcome_.actions.push_back(*action);
        }
        if (listDone_) {
            action = WindDown(world_);
            if (!action && lastRest_) {
                stopped_ = true;  // the last look was this one
                return;
            }
            if (action) {
                lastRest_ = false;  // a rest again once everything is closed
            } else {
                action = Action{Act::Rest, {}, 2 * kServedWithinMs};
                lastRest_ = true;
            }
            if (++windDown_ > kMostWindDownSteps) {
                Fail({"stall", "the program's loops never closed"});
                throw Halt{};
            }
        }
        marks_.emplace_back(
            world_.desk.seen.trace.size(),
            "-- " + std::to_string(world_.desk.Now()) + " ms, action " +
                (listDone_ ? std::string("(closing)") : std::to_string(outcome_.actions.size())) +
                ": " + ToText(*action) + "  [" + Situation() + "]");
        // The next one is due whatever this one starts, even a loop.
        world_.desk.At(action->waitMs, [this] { Step(); });
        if (checks_.Before(*action)) {
            world_.Do(*action);
            checks_.After(*action);
        }
    }

    // What the trace does not say: the window in front, the shell's answers so far.
    std::string Situation() const {
        const sim::Desktop& desk = world_.desk;
        const sim::Window* front = desk.Find(desk.Active());
        return "in front: " +
               (front == nullptr ? std::string("none") : "\"" + front->title + "\"") +
               "; minimise-alls: " + std::to_string(desk.seen.minimiseAlls);
    }

    void Merge() {
        const auto& trace = world_.desk.seen.trace;
        std::size_t mark = 0;
        for (std::size_t i = 0; i <= trace.size(); ++i) {
            while (mark < marks_.size() && marks_[mark].first == i)
                outcome_.trace.push_back(marks_[mark++].second);
            if (i < trace.size()) outcome_.trace.push_back("   " + trace[i]);
        }
    }

    World world_;
    Invariants checks_{world_};
    Next next_;
    Outcome outcome_;
    std::vector<std::pair<std::size_t, std::string>> marks_;
    bool listDone_ = false;
    bool lastRest_ = false;
    bool stopped_ = false;
    int windDown_ = 0;
};

bool StillFails(const Actions& actions, const std::string& invariant, std::size_t& replays) {
    ++replays;
    const Outcome outcome = Replay(actions);
    return outcome.failure && outcome.failure->invariant == invariant;
}

}  // namespace

Outcome RunSeed(std::uint64_t seed, std::size_t steps) {
    Rng rng(seed);
    const Actions preamble = Preamble(rng);
    std::size_t done = 0;
    Driver driver([&](World& world) -> std::optional<Action> {
        if (done < preamble.size()) return preamble[done++];
        if (done++ < preamble.size() + steps) return Generate(rng, world);
        return std::nullopt;
    });
    return driver.Run();
}

Outcome Replay(const Actions& actions) {
    std::size_t done = 0;
    Driver driver([&](World&) -> std::optional<Action> {
        if (done < actions.size()) return actions[done++];
        return std::nullopt;
    });
    return driver.Run();
}

Actions Shrink(Actions actions, const std::string& invariant, std::size_t* replaysOut) {
    std::size_t replays = 0;
    // Chunks first, halving them (delta debugging), then one action at a
    // time until a whole pass takes none out.
    for (std::size_t chunk = actions.size() / 2; chunk >= 1 && replays < kMostReplays; chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= actions.size() && replays < kMostReplays;) {
            Actions fewer = actions;
            fewer.erase(fewer.begin() + static_cast<long>(at),
                        fewer.begin() + static_cast<long>(at + chunk));
            if (StillFails(fewer, invariant, replays)) {
                actions = std::move(fewer);
            } else {
                at += chunk;
            }
        }
    }
    for (bool removed = true; removed && replays < kMostReplays;) {
        removed = false;
        for (std::size_t at = actions.size(); at-- > 0 && replays < kMostReplays;) {
            Actions fewer = actions;
            fewer.erase(fewer.begin() + static_cast<long>(at));
            if (StillFails(fewer, invariant, replays)) {
                actions = std::move(fewer);
                removed = true;
            }
        }
    }
    if (replaysOut != nullptr) *replaysOut = replays;
    return actions;
}

std::string Explain(std::optional<std::uint64_t> seed, const Outcome& failed) {
    std::ostringstream out;
    const Failure& failure = *failed.failure;
    if (seed) out << "seed 0x" << std::hex << *seed << std::dec << ": ";
    out << "\"" << failure.invariant << "\" broke after action " << failed.failedAfter << ": "
        << failure.detail << "\n";
    const Actions done(failed.actions.begin(),
                       failed.actions.begin() + static_cast<long>(failed.failedAfter));
    std::size_t replays = 0;
    const Actions shrunk = Shrink(done, failure.invariant, &replays);
    const Outcome again = Replay(shrunk);
    out << "shrunk from " << done.size() << " actions to " << shrunk.size() << " (" << replays
        << " replays";
    if (replays >= kMostReplays) out << ", stopped there";
    out << "); it breaks after action " << again.failedAfter << ": "
        << (again.failure ? again.failure->detail : "(no longer)") << "\n";
    out << "replay: ExpectHolds(\"" << ToText(shrunk) << "\");\n";
    out << "the program's trace of the last actions:\n";
    const auto& trace = again.failure ? again.trace : failed.trace;
    const std::size_t from = trace.size() > kTraceLines ? trace.size() - kTraceLines : 0;
    for (std::size_t i = from; i < trace.size(); ++i) out << trace[i] << "\n";
    return out.str();
}

}  // namespace quorvel::testing::randomised
