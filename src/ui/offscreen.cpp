#include "ui/offscreen.h"

#include "platform/constants.h"
#include "platform/dispatch.h"
#include "platform/errors.h"

namespace quorvel {

namespace {

constexpr double kOffScreen = -2500;  // twips, left and top of both forms

struct Position {
    double left;
    double top;
};

// -2500 twips is off the screen of a single monitor, but on a monitor placed
// left of or above the primary one, where the forms would show as small
// windows. There they go the same distance beyond the virtual screen's left
// and top edges instead.
Position OffScreenPosition(platform::WinApi& api, int pixelsPerInch) {
    int x = platform::TwipsToPixels(kOffScreen, pixelsPerInch);
    int y = platform::TwipsToPixels(kOffScreen, pixelsPerInch);
    if (api.MonitorFromPoint(x, y, platform::MONITOR_DEFAULTTONULL) == 0) {
        return {kOffScreen, kOffScreen};
    }
    return {
        platform::PixelsToTwips(api.GetSystemMetrics(platform::SM_XVIRTUALSCREEN), pixelsPerInch) +
            kOffScreen,
        platform::PixelsToTwips(api.GetSystemMetrics(platform::SM_YVIRTUALSCREEN), pixelsPerInch) +
            kOffScreen};
}

}  // namespace

void MoveOffScreen(platform::Runtime& runtime, Forms& forms) {
    Position at = OffScreenPosition(runtime.api(), runtime.PixelsPerInch());
    // A form that cannot be moved (minimised) fails its own assignments only.
    platform::ResumeNext([&] { forms.TaskbarForm().SetTop(at.top); },
                         [&] { forms.TaskbarForm().SetLeft(at.left); },
                         [&] { forms.IconHostForm().SetTop(at.top); },
                         [&] { forms.IconHostForm().SetLeft(at.left); });
}

}  // namespace quorvel
