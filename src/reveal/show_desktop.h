// The show-desktop command and its trigger on the taskbar button.
#pragma once

namespace quorvel {

class App;

void ShowDesktop(App& app);
void MinimizeAllWindows(App& app);
void Form1Activate(App& app);

}  // namespace quorvel
