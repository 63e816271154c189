// Runs of the random test: a list of actions generated from a seed as the
// world goes, or one given, each action scheduled on the simulated clock so
// that it also comes while the program is inside a loop of its own (its
// menu, its dialog, a second start's wait), and what must hold checked before
// each. A failure is shrunk to a list from which no single action can be
// taken out, and explained with the program's trace.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unit/random_actions.h"
#include "unit/random_invariants.h"

namespace quorvel::testing::randomised {

struct Outcome {
    std::optional<Failure> failure;
    Actions actions;  // done: those generated, or the list given
    // How many of them were done when what must hold broke.
    std::size_t failedAfter = 0;
    // The program's trace, with a line before each action's.
    std::vector<std::string> trace;
};

Outcome RunSeed(std::uint64_t seed, std::size_t steps);
Outcome Replay(const Actions& actions);
// The failing actions with every one taken out that can be while the same
// invariant still breaks, until none can; `replays` counts the runs it took.
Actions Shrink(Actions actions, const std::string& invariant, std::size_t* replays = nullptr);
// The seed (if any), what broke, the list shrunk, the line that replays it
// and the program's trace of its last steps.
std::string Explain(std::optional<std::uint64_t> seed, const Outcome& failed);

// The test of a printed list: one line, `ExpectHolds("Shell(0,1,0,0)+0 ...")`.
inline void ExpectHolds(std::string_view list) {
    const Outcome outcome = Replay(ParseActions(list));
    if (outcome.failure) ADD_FAILURE() << Explain(std::nullopt, outcome);
}

}  // namespace quorvel::testing::randomised
