#pragma once

#include "platform/winapi.h"

namespace quorvel {

// Form1's window menu (the taskbar button's menu): Close becomes
// "&Configure", still carrying the close command; Move and the separator
// above Close go.
void RewriteSystemMenu(platform::WinApi& api, platform::Hwnd form1);

}  // namespace quorvel
