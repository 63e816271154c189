// The notification-area icon's callback. The shell sends it as
// WM_MOUSEMOVE with the mouse message in lParam, so the run time reports it
// to the icon's host form as a pointer move whose X is that message number
// taken for pixels and converted to twips.
#pragma once

#include <cstdint>

namespace quorvel {

enum class IconMouseMessage { LeftDown, RightDown, Other };

// The mouse message an X of the host form's MouseMove stands for.
IconMouseMessage MouseMessageOfX(float x);

// The host form's MouseMove read as the icon's callback. Its button state
// means nothing and is cleared; a Y or a shift state means a real pointer
// move over the hidden form, which is no message of the icon.
IconMouseMessage IconCallbackMessage(std::int16_t& button, std::int16_t shift, float x, float y);

}  // namespace quorvel
