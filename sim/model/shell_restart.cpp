// The shell's process ending and starting again, as when it crashes and
// Windows restarts it: every window of its process goes with it, and the new
// process makes its desktop and taskbar anew ("Taskbar Creation
// Notification": a program that added icons adds them again when it hears
// "TaskbarCreated").
#include "sim/model/desktop.h"

namespace quorvel::sim {

void Desktop::EndShell() {
    if (!ShellRunning()) return;
    Drive([&] {
        // The activation goes on from a window that goes, as from any other.
        for (Hwnd hwnd : {taskbar_, shell_}) DestroyWindow(hwnd);
        shell_ = taskbar_ = 0;
        shellFocus_ = shellTaskbarFocus_ = false;
        shellEnded_ = true;
        notificationArea_.Clear();
        // Its objects reach nothing now; a new shell's are new objects.
        com_.TaskbarRecreated();
        RunPending();
    });
}

void Desktop::StartShell() {
    if (ShellRunning()) return;
    if (shell_ == 0) MakeShellWindows();
    shellEnded_ = false;
    RecreateTaskbar();
}

}  // namespace quorvel::sim
