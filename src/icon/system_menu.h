#pragma once

#include "platform/winapi.h"

namespace quorvel {

// The taskbar form's window menu (the taskbar button's menu): Close becomes
// "&Configure", still carrying the close command; Move and the separator
// above Close go.
void RewriteSystemMenu(platform::WinApi& api, platform::Hwnd taskbarForm);

}  // namespace quorvel
