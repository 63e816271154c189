#include "reveal/desktop_reveal.h"

#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "ui/offscreen.h"

namespace quorvel {

DesktopReveal::DesktopReveal(platform::Runtime& runtime, Forms& forms, const std::int16_t& iconMode)
    : runtime_(runtime), forms_(forms), iconMode_(iconMode) {}

void DesktopReveal::ShowDesktop() {
    using namespace platform;
    // Hide the taskbar button without moving or sizing the window.
    runtime_.api().SetWindowPos(forms_.TaskbarForm().hWnd(), HWND_NOTOPMOST, 300, 300, 300, 300,
                                SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
    // Tab moves the shell's focus from the desktop to the taskbar, and Alt+M
    // there minimises every window. Without the shell's window in front the
    // keys would land in the user's document, so they are sent only then.
    // The other ways need no window in front: a click brings the shell's
    // forward all the same, so that no form of ours stays active, but a
    // second start, which shows none, spares itself the wait for the shell's
    // thread. Not where the shell has no window: Windows key + M with no
    // shell to take it would reach the window in front.
    const bool keys = runtime_.LearntMinimiseAllWay() == platform::MinimiseAllWay::Keys;
    if (!keys && runtime_.PrevInstance() ? runtime_.HasWindowTitled("Program Manager")
                                         : runtime_.AppActivate("Program Manager")) {
        minimiseAll_.Request(runtime_, "{tab}%m");
    }
    if (iconMode_ > TrayOnly) forms_.TaskbarForm().SetVisible(true);
    MoveOffScreen(runtime_, forms_);
}

void DesktopReveal::TaskbarFormActivated() {
    if (forms_.DialogVisible()) return;
    if (startUpActivationSeen_) {
        ShowDesktop();
    } else {
        // The activation that follows start-up shows nothing.
        startUpActivationSeen_ = true;
    }
    // Making the icon's host form the current form means the next click on
    // the taskbar button is a new activation of the taskbar form.
    forms_.IconHostForm().Show();
    forms_.IconHostForm().Hide();
}

}  // namespace quorvel
