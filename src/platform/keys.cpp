#include "platform/keys.h"

#include <algorithm>
#include <string>

#include "platform/constants.h"
#include "platform/types.h"

namespace quorvel::platform {

const std::array<std::uint8_t, 8> kModifierKeys = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                                                   VK_LMENU,  VK_RMENU,  VK_LWIN,     VK_RWIN};

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
                vk = VK_TAB;
            } else if (name == "ENTER") {
                vk = VK_RETURN;
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

bool OpensMenuWhenAlone(std::uint8_t vk) {
    return vk == VK_LWIN || vk == VK_RWIN || vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
}

std::vector<KeyEvent> KeyBatch(const KeyStroke& stroke, const std::vector<std::uint8_t>& held) {
    std::vector<KeyEvent> batch;
    if (std::any_of(held.begin(), held.end(), OpensMenuWhenAlone)) {
        batch.push_back({kMaskKey, false});
        batch.push_back({kMaskKey, true});
    }
    for (std::uint8_t vk : held) batch.push_back({vk, true});
    if (stroke.win) batch.push_back({VK_LWIN, false});
    if (stroke.alt) batch.push_back({VK_MENU, false});
    batch.push_back({stroke.virtualKey, false});
    batch.push_back({stroke.virtualKey, true});
    if (stroke.alt) batch.push_back({VK_MENU, true});
    if (stroke.win) batch.push_back({VK_LWIN, true});
    return batch;
}

}  // namespace quorvel::platform
