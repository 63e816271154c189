#include "reveal/show_desktop.h"

#include "app/app.h"
#include "platform/constants.h"

namespace quorvel {

namespace {
constexpr const char* kActivated = "*";  // Form1's tag after its first activation
}

void ShowDesktop(App& app) {
    MinimizeAllWindows(app);
}

void MinimizeAllWindows(App& app) {
    using namespace platform;
    // Hide the taskbar button without moving or sizing the window.
    app.api().SetWindowPos(app.Form1().hWnd(), HWND_NOTOPMOST, 300, 300, 300, 300,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
    // Tab moves the shell's focus from the desktop to the taskbar, and Alt+M
    // there minimises every window. Without the shell's window in front the
    // keys would land in the user's document, so they are sent only then.
    if (app.runtime().AppActivate("Program Manager")) {
        app.minimiseAll.Request(app.runtime(), "{tab}%m");
    }
    if (app.IconMode > TrayOnly) app.Form1().SetVisible(true);
    MoveOffScreen(app);
}

void Form1Activate(App& app) {
    if (app.DialogVisible()) return;
    if (app.Form1().Tag() == kActivated) {
        ShowDesktop(app);
    } else {
        // The activation that follows start-up shows nothing.
        app.Form1().SetTag(kActivated);
    }
    // Making Form2 the current form means the next click on the taskbar
    // button is a new activation of Form1.
    app.Form2().Show();
    app.Form2().Hide();
}

}  // namespace quorvel
