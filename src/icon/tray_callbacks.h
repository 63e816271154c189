#pragma once

#include <cstdint>

namespace quorvel {

class App;

// The icon's callback (icon/icon_message.h): a left press reveals, a right
// press opens the icon's menu.
void Form2MouseMove(App& app, std::int16_t& button, std::int16_t& shift, float& x, float& y);

// Click handlers of the pop-up menu's items.
void BindPopupMenu(App& app);

}  // namespace quorvel
