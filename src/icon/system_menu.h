#pragma once

namespace quorvel {

class App;

// Form1's window menu (the taskbar button's menu): Close becomes
// "&Configure", still carrying the close command; Move and the separator
// above Close go.
void RewriteSystemMenu(App& app);

}  // namespace quorvel
