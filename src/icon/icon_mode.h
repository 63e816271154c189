// Makes the program's visible presence match the icon mode.
#pragma once

namespace quorvel {

class App;

// A second instance shows the desktop once and ends here.
void ApplyIconMode(App& app);
// After the shell's taskbar was recreated: the icon again, in modes 1 and 3.
void RestoreTrayIcon(App& app);

}  // namespace quorvel
