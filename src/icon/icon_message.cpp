#include "icon/icon_message.h"

#include "platform/constants.h"
#include "platform/types.h"

namespace quorvel {

namespace {

// The run time converts the pointer's position at 15 twips to the pixel,
// whatever the screen's density, so a message number comes back as that
// many twips: WM_LBUTTONDOWN (513) as 7695.
constexpr float InTwips(std::uint32_t message) {
    return static_cast<float>(message * platform::kTwipsPerPixel);
}

}  // namespace

IconMouseMessage MouseMessageOfX(float x) {
    if (x == InTwips(platform::WM_LBUTTONDOWN)) return IconMouseMessage::LeftDown;
    if (x == InTwips(platform::WM_RBUTTONDOWN)) return IconMouseMessage::RightDown;
    return IconMouseMessage::Other;
}

IconMouseMessage IconCallbackMessage(std::int16_t& button, std::int16_t shift, float x, float y) {
    // wParam is the icon's identifier, 1, which reads as the left-button
    // flag whatever button was used.
    button = 0;
    auto buttons = static_cast<std::int16_t>(button + shift);
    if (static_cast<float>(buttons) + y != 0) return IconMouseMessage::Other;
    return MouseMessageOfX(x);
}

}  // namespace quorvel
