#include "unit/random_generate.h"

#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "sim/model/desktop_types.h"

namespace quorvel::testing::randomised {

namespace {

using Weights = std::vector<std::pair<Act, std::uint32_t>>;

// Mostly the quick succession of a user's clicks, sometimes a pause, now and
// then long enough for the program to come to rest.
std::uint32_t Wait(Rng& rng) {
    const std::uint32_t r = rng.Below(100);
    if (r < 45) return rng.Between(0, 30);
    if (r < 75) return rng.Between(30, 300);
    if (r < 93) return rng.Between(300, 1500);
    return rng.Between(1500, 4000);
}

// One of `choices` by the weight beside it.
std::uint32_t Pick(Rng& rng, std::initializer_list<std::uint32_t> weights) {
    std::uint32_t total = 0;
    for (std::uint32_t w : weights) total += w;
    std::uint32_t r = rng.Below(total);
    std::uint32_t i = 0;
    for (std::uint32_t w : weights) {
        if (r < w) return i;
        r -= w;
        ++i;
    }
    return 0;
}

std::uint32_t RandomColour(Rng& rng, bool dark) {
    const std::uint32_t top = dark ? 90 : 255;
    return rng.Between(0, top) | rng.Between(0, top) << 8 | rng.Between(0, top) << 16;
}

// A colour that reads on `background`: the random schemes are made of pairs
// that contrast themselves.
std::uint32_t ReadableOn(Rng& rng, std::uint32_t background) {
    for (;;) {
        const std::uint32_t text = RandomColour(rng, false);
        if (Contrast(text, background) >= kReadable) return text;
    }
}

std::uint32_t ShellFlags(Rng& rng) {
    std::uint32_t flags = 0;
    if (rng.Chance(85)) flags |= kRegistersWindow;
    if (rng.Chance(40)) flags |= kObjectWorks;
    if ((flags & kObjectWorks) && rng.Chance(15)) flags |= kObjectSilent;
    if (rng.Chance(10)) flags |= kHotKeyIgnored;
    if (rng.Chance(20)) flags |= kReadsKeysFirst;
    return flags;
}

Action Make(Act act, Rng& rng, World& world) {
    Action a;
    a.act = act;
    a.waitMs = Wait(rng);
    auto& args = a.args;
    const std::uint32_t others = static_cast<std::uint32_t>(world.Others().size());
    switch (act) {
        case Act::Shell:
            args = {rng.Below(std::size(sim::kShellKinds)), ShellFlags(rng),
                    rng.Chance(50) ? 0 : rng.Between(50, 3000),
                    rng.Chance(70) ? 0 : rng.Between(1, 3)};
            break;
        case Act::Start:
            args = {Pick(rng, {70, 15, 15}), rng.Chance(25) ? 1u : 0u};
            break;
        case Act::Tray:
            args[0] = Pick(rng, {45, 30, 17, 8});
            break;
        case Act::TrayInWait:
            args = {Pick(rng, {45, 30, 15, 10}), rng.Below(6), Pick(rng, {20, 45, 35})};
            break;
        case Act::Item:
            args[0] = Pick(rng, {30, 30, 25, 15});
            break;
        case Act::MenuAway:
        case Act::Close:
        case Act::TaskbarButton:
            args[0] = rng.Below(others);
            break;
        case Act::WindowMenu:
            // "&Configure" is the last entry the program leaves.
            args = {rng.Chance(60) ? 4 : rng.Below(5), rng.Below(2)};
            break;
        case Act::Button:
            args[0] = Pick(rng, {20, 30, 30, 8, 12});
            break;
        case Act::Option:
            args[0] = rng.Below(3);
            break;
        case Act::DialogKey:
            // Esc, Enter, Tab, Shift+Tab, or Alt with one of the dialog's letters.
            args = {Pick(rng, {25, 20, 10, 5, 40}), rng.Chance(80) ? 1u : 2u};
            if (args[0] == 4) args[0] += rng.Below(8);
            break;
        case Act::Hold: {
            const std::uint32_t key = rng.Below(4);
            const bool held = world.desk.PhysicallyDown(kHeldKeys[key]);
            args = {key, rng.Chance(held ? 20 : 70) ? 1u : 0u, rng.Below(2)};
            break;
        }
        case Act::Front:
            args = {rng.Below(others), rng.Chance(70) ? 0u : 1u};
            break;
        case Act::Lock:
        case Act::HighContrast:
            args[0] = rng.Below(2);
            break;
        case Act::Busy:
            args = {rng.Between(50, 1500), rng.Chance(30) ? 1u : 0u};
            break;
        case Act::Slow:
            args = {rng.Between(500, 30000), rng.Between(100, 5000)};
            break;
        case Act::Dpi: {
            static constexpr std::uint32_t kDensities[] = {96, 120, 144, 168, 192};
            args[0] = kDensities[rng.Below(5)];
            break;
        }
        case Act::Colours: {
            const bool dark = rng.Chance(50);
            const std::uint32_t face = RandomColour(rng, dark);
            const std::uint32_t window = RandomColour(rng, dark);
            args = {face, ReadableOn(rng, face), window, ReadableOn(rng, window)};
            break;
        }
        case Act::HighContrastTheme: {
            const std::uint32_t face = rng.Chance(50) ? 0 : RandomColour(rng, rng.Chance(60));
            args = {rng.Chance(75) ? 1u : 0u, face, ReadableOn(rng, face)};
            break;
        }
        case Act::Setting:
            args[0] = rng.Below(static_cast<std::uint32_t>(kStoredSettings.size()));
            break;
        case Act::Plant:
            args[0] = rng.Below(static_cast<std::uint32_t>(kPlants.size()));
            break;
        case Act::EndSession:
            args[0] = rng.Below(2);
            break;
        case Act::TaskManager:
        case Act::CloseCommand:
            args[0] = rng.Below(3);
            break;
        case Act::Rest:
            a.waitMs = rng.Between(2500, 6000);
            break;
        default:
            break;
    }
    return a;
}

// What is likely now, by what is on the screen.
Weights WeightsNow(World& world) {
    if (world.Running() == nullptr && !world.SecondStartAlive()) {
        return {{Act::Start, 400},  {Act::Open, 30},  {Act::Close, 10}, {Act::Front, 30},
                {Act::Setting, 60}, {Act::Plant, 80}, {Act::Shell, 20}, {Act::Colours, 10},
                {Act::Hold, 20},    {Act::Dpi, 10},   {Act::Rest, 30}};
    }
    if (world.MenuOpen()) {
        return {{Act::Item, 120},       {Act::MenuEsc, 80}, {Act::MenuAway, 40},
                {Act::Hold, 10},        {Act::Colours, 10}, {Act::HighContrast, 10},
                {Act::Setting, 10},     {Act::Busy, 10},    {Act::TaskbarCreated, 5},
                {Act::Dpi, 5},          {Act::Quit, 3},     {Act::EndSession, 2},
                {Act::CloseCommand, 5}, {Act::Rest, 10}};
    }
    if (world.DialogOpen()) {
        return {{Act::Button, 100},    {Act::Option, 80},        {Act::DialogKey, 80},
                {Act::AltF4, 30},      {Act::Click, 20},         {Act::Tray, 20},
                {Act::Front, 20},      {Act::TaskbarButton, 10}, {Act::Open, 10},
                {Act::Colours, 40},    {Act::HighContrast, 20},  {Act::HighContrastTheme, 30},
                {Act::Theme, 10},      {Act::Dpi, 20},           {Act::Setting, 30},
                {Act::Hold, 20},       {Act::Rest, 20},          {Act::TaskbarCreated, 10},
                {Act::Shell, 5},       {Act::Quit, 3},           {Act::EndSession, 3},
                {Act::TaskManager, 3}, {Act::CloseCommand, 5}};
    }
    return {{Act::Click, 120},
            {Act::Tray, 140},
            {Act::WindowMenu, 50},
            {Act::AltF4, 20},
            {Act::Hold, 40},
            {Act::Open, 40},
            {Act::Close, 15},
            {Act::Front, 60},
            {Act::TaskbarButton, 110},
            {Act::Start, 50},
            {Act::Busy, 20},
            {Act::Slow, 20},
            {Act::TrayInWait, 40},
            {Act::Lock, 15},
            {Act::Shell, 15},
            {Act::TaskbarCreated, 10},
            {Act::Dpi, 10},
            {Act::Colours, 15},
            {Act::HighContrast, 10},
            {Act::HighContrastTheme, 10},
            {Act::Theme, 5},
            {Act::Setting, 30},
            {Act::Plant, 20},
            {Act::Quit, 5},
            {Act::EndSession, 3},
            {Act::TaskManager, 5},
            {Act::CloseCommand, 10},
            {Act::Rest, 30}};
}

}  // namespace

Actions Preamble(Rng& rng) {
    Actions actions;
    Action shell{Act::Shell,
                 {rng.Below(std::size(sim::kShellKinds)), ShellFlags(rng), 0,
                  rng.Chance(80) ? 0 : rng.Between(1, 2)}};
    actions.push_back(shell);
    if (rng.Chance(60)) {
        actions.push_back(
            {Act::Setting, {rng.Below(static_cast<std::uint32_t>(kStoredSettings.size()))}});
    }
    // Windows' rules for the foreground, or Wine's none.
    if (rng.Chance(25)) actions.push_back({Act::Lock, {0}});
    for (std::uint32_t i = rng.Below(4); i > 0; --i) actions.push_back({Act::Open});
    actions.push_back({Act::Start, {}, Wait(rng)});
    return actions;
}

Action Generate(Rng& rng, World& world) {
    Weights weights = WeightsNow(world);
    // A user who closed the menu with Esc often goes on with Alt+F4 to close
    // whatever is in front, at once.
    if (world.LastAct() == Act::MenuEsc && rng.Chance(30)) {
        Action altF4{Act::AltF4, {}, rng.Between(0, 30)};
        if (world.CanDo(altF4)) return altF4;
    }
    std::uint32_t total = 0;
    for (const auto& [act, weight] : weights) total += weight;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::uint32_t r = rng.Below(total);
        Act act = Act::Rest;
        for (const auto& [candidate, weight] : weights) {
            if (r < weight) {
                act = candidate;
                break;
            }
            r -= weight;
        }
        const Action action = Make(act, rng, world);
        if (world.CanDo(action)) return action;
    }
    return Make(Act::Rest, rng, world);
}

std::optional<Action> WindDown(World& world) {
    if (world.MenuOpen()) return Action{Act::MenuEsc, {}, 50};
    if (world.DialogOpen()) return Action{Act::Button, {2}, 50};
    if (world.SecondStartAlive()) return Action{Act::Rest, {}, 200};
    return std::nullopt;
}

}  // namespace quorvel::testing::randomised
