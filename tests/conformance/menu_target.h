// Pop-up menus, keys and sent messages as a window system handles them, for
// the conformance tests: the simulated desktop's on the host, Wine's under
// Wine.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace quorvel::testing {

class MenuTarget {
public:
    virtual ~MenuTarget() = default;
    // A new top-level window of this process, shown and made the foreground
    // window.
    virtual platform::Hwnd WindowInFront() = 0;
    virtual platform::Hwnd Foreground() = 0;
    // A pop-up menu of one item on `owner` (TrackPopupMenu, TPM_RETURNCMD),
    // with Esc typed while it is open: the command chosen, 0 for none.
    virtual std::uint32_t MenuLeftWithEscape(platform::Hwnd owner) = 0;
    // Alt+F4 typed with `window` active and no focus in it, then what the
    // window was sent or posted handled: the window commands it received
    // (WM_SYSCOMMAND's wParam, Windows' four bits masked off).
    virtual std::vector<std::uint32_t> CommandsAfterAltF4(platform::Hwnd window) = 0;
    // While this thread waits for sent messages only (DesktopShell::WaitUntil's
    // wait), another thread sends `window` a message with SendNotifyMessage,
    // as the notification area sends the icon's callback: whether the wait
    // took it before its bound.
    virtual bool WaitTakesAMessageSent(platform::Hwnd window) = 0;
    // A pop-up menu of one item on `owner` (TrackPopupMenu, TPM_RETURNCMD);
    // while it is open, a window of another thread takes the foreground.
    // What was seen then, before the menu is ended from its own thread's
    // queue.
    struct ForegroundTakenFromMenu {
        platform::Hwnd taker = 0;       // the other thread's window
        platform::Hwnd foreground = 0;  // the window in front after
        bool menuShown = false;         // the menu still up
        bool ownerCancelled = false;    // its owner sent WM_CANCELMODE
    };
    virtual ForegroundTakenFromMenu MenuWhileAnotherThreadTakesTheForeground(
        platform::Hwnd owner) = 0;
    virtual void Destroy(platform::Hwnd window) = 0;
};

MenuTarget& Menus();

}  // namespace quorvel::testing
