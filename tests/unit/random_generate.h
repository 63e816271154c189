// What the random test does next: actions drawn by weight among those the
// world allows now, with their arguments and waits drawn at random.
#pragma once

#include <optional>

#include "unit/random_actions.h"
#include "unit/random_world.h"

namespace quorvel::testing::randomised {

// The first actions of a run: the shell, what another program stored, the
// user's windows, the program's first start.
Actions Preamble(Rng& rng);
// The next action: what the user would do with the program's menu or
// dialog up is mostly about them; otherwise clicks, keys, other programs'
// windows and what Windows does.
Action Generate(Rng& rng, World& world);
// A closing action while a menu, the dialog or a second start is still
// under way once the list is done; none when nothing is.
std::optional<Action> WindDown(World& world);

}  // namespace quorvel::testing::randomised
