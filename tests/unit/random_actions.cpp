#include "unit/random_actions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace quorvel::testing::randomised {

namespace {

struct Spelling {
    Act act;
    const char* name;
    int arity;
};

constexpr Spelling kSpellings[] = {
    {Act::Shell, "Shell", 4},
    {Act::Start, "Start", 2},
    {Act::Click, "Click", 0},
    {Act::Tray, "Tray", 1},
    {Act::TrayInWait, "TrayInWait", 3},
    {Act::Item, "Item", 1},
    {Act::MenuEsc, "MenuEsc", 0},
    {Act::MenuAway, "MenuAway", 1},
    {Act::WindowMenu, "WindowMenu", 2},
    {Act::AltF4, "AltF4", 0},
    {Act::Button, "Button", 1},
    {Act::Option, "Option", 1},
    {Act::DialogKey, "DialogKey", 2},
    {Act::Hold, "Hold", 3},
    {Act::Open, "Open", 0},
    {Act::Close, "Close", 1},
    {Act::Front, "Front", 2},
    {Act::TaskbarButton, "TaskbarButton", 1},
    {Act::Lock, "Lock", 1},
    {Act::Busy, "Busy", 2},
    {Act::Slow, "Slow", 2},
    {Act::TaskbarCreated, "TaskbarCreated", 0},
    {Act::Dpi, "Dpi", 1},
    {Act::Colours, "Colours", 4},
    {Act::HighContrast, "HighContrast", 1},
    {Act::HighContrastTheme, "HighContrastTheme", 3},
    {Act::Theme, "Theme", 0},
    {Act::Setting, "Setting", 1},
    {Act::Plant, "Plant", 1},
    {Act::Quit, "Quit", 0},
    {Act::EndSession, "EndSession", 1},
    {Act::TaskManager, "TaskManager", 1},
    {Act::CloseCommand, "CloseCommand", 1},
    {Act::Rest, "Rest", 0},
};

const Spelling& SpellingOf(Act act) {
    for (const Spelling& s : kSpellings) {
        if (s.act == act) return s;
    }
    throw std::logic_error("an action without a name");
}

// Colours read best in hexadecimal.
bool Hexadecimal(Act act) {
    return act == Act::Colours || act == Act::HighContrastTheme;
}

std::uint32_t Number(std::string_view text) {
    const std::string digits(text);
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits.c_str(), &end, 0);
    if (digits.empty() || end != digits.c_str() + digits.size())
        throw std::invalid_argument("not a number: " + digits);
    return static_cast<std::uint32_t>(value);
}

Action ParseOne(std::string_view word) {
    const std::size_t plus = word.rfind('+');
    if (plus == std::string_view::npos)
        throw std::invalid_argument("no wait: " + std::string(word));
    Action action;
    action.waitMs = Number(word.substr(plus + 1));
    std::string_view call = word.substr(0, plus);
    std::string_view name = call;
    std::vector<std::string_view> args;
    if (const std::size_t open = call.find('('); open != std::string_view::npos) {
        if (call.back() != ')') throw std::invalid_argument("unclosed: " + std::string(word));
        name = call.substr(0, open);
        std::string_view inside = call.substr(open + 1, call.size() - open - 2);
        while (!inside.empty()) {
            const std::size_t comma = inside.find(',');
            args.push_back(inside.substr(0, comma));
            inside =
                comma == std::string_view::npos ? std::string_view{} : inside.substr(comma + 1);
        }
    }
    for (const Spelling& s : kSpellings) {
        if (name != s.name) continue;
        // Arguments left out at the end are 0: a list printed before an
        // action had them still reads.
        if (static_cast<int>(args.size()) > s.arity)
            throw std::invalid_argument("arguments of " + std::string(word));
        action.act = s.act;
        for (std::size_t i = 0; i < args.size(); ++i) action.args[i] = Number(args[i]);
        return action;
    }
    throw std::invalid_argument("no such action: " + std::string(name));
}

}  // namespace

const char* NameOf(Act act) {
    return SpellingOf(act).name;
}

std::string ToText(const Action& action) {
    const Spelling& s = SpellingOf(action.act);
    std::string text = s.name;
    for (int i = 0; i < s.arity; ++i) {
        text += i == 0 ? "(" : ",";
        if (Hexadecimal(action.act) && action.args[i] > 1) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%06X", action.args[i]);
            text += hex;
        } else {
            text += std::to_string(action.args[i]);
        }
    }
    if (s.arity > 0) text += ")";
    return text + "+" + std::to_string(action.waitMs);
}

std::string ToText(const Actions& actions) {
    std::string text;
    for (const Action& a : actions) {
        if (!text.empty()) text += ' ';
        text += ToText(a);
    }
    return text;
}

Actions ParseActions(std::string_view text) {
    Actions actions;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(" \n\t");
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        const std::size_t end = text.find_first_of(" \n\t");
        actions.push_back(ParseOne(text.substr(0, end)));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end);
    }
    return actions;
}

double Contrast(std::uint32_t a, std::uint32_t b) {
    // "Relative luminance" and "contrast ratio" as WCAG 2.x defines them.
    const auto luminance = [](std::uint32_t colour) {
        const auto channel = [](std::uint32_t value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel(colour >> 8 & 0xFF) +
               0.0722 * channel(colour >> 16 & 0xFF);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::uint64_t Rng::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

}  // namespace quorvel::testing::randomised
