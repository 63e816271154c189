#pragma once

#include <cstdint>

namespace quorvel {

class App;

// The icon's callback arrives as WM_MOUSEMOVE with the mouse message in
// lParam, so the run time reports it as a pointer move whose X is that
// message number times 15 twips.
void Form2MouseMove(App& app, std::int16_t& button, std::int16_t& shift, float& x, float& y);

// Click handlers of the pop-up menu's items.
void BindPopupMenu(App& app);

}  // namespace quorvel
