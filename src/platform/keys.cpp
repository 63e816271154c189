#include "platform/keys.h"

#include <string>

#include "platform/types.h"

namespace quorvel::platform {

namespace {
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
}  // namespace

std::vector<KeyStroke> ParseKeys(std::string_view keys) {
    std::vector<KeyStroke> strokes;
    bool alt = false;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        char c = keys[i];
        if (c == '%') {
            alt = true;
            continue;
        }
        std::uint8_t vk = 0;
        if (c == '{') {
            std::size_t close = keys.find('}', i);
            if (close == std::string_view::npos) throw RuntimeError("Invalid procedure call");
            std::string name;
            for (char n : keys.substr(i + 1, close - i - 1)) name += Upper(n);
            if (name == "TAB") {
                vk = 0x09;
            } else if (name == "ENTER") {
                vk = 0x0D;
            } else {
                throw RuntimeError("Invalid procedure call");
            }
            i = close;
        } else if (IsAlnum(c)) {
            vk = static_cast<std::uint8_t>(Upper(c));
        } else {
            throw RuntimeError("Invalid procedure call");
        }
        strokes.push_back({vk, alt});
        alt = false;
    }
    return strokes;
}

std::vector<KeyEvent> KeyEvents(const std::vector<KeyStroke>& strokes,
                                const std::vector<std::uint8_t>& held) {
    constexpr std::uint8_t kAlt = 0x12;
    std::vector<KeyEvent> events;
    for (std::uint8_t vk : held) events.push_back({vk, true});
    for (const KeyStroke& stroke : strokes) {
        if (stroke.alt) events.push_back({kAlt, false});
        events.push_back({stroke.virtualKey, false});
        events.push_back({stroke.virtualKey, true});
        if (stroke.alt) events.push_back({kAlt, true});
    }
    for (std::uint8_t vk : held) events.push_back({vk, false});
    return events;
}

}  // namespace quorvel::platform
