#include "ui/offscreen.h"

#include "platform/constants.h"
#include "platform/errors.h"
#include "platform/twips.h"

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
    // Each form's twips are pixels of its own place: where monitors differ in
    // scale, the two may lie beyond monitors of different density.
    platform::Form& taskbar = forms.TaskbarForm();
    platform::Form& host = forms.IconHostForm();
    // A form that cannot be moved (minimised) fails its own assignments only.
    platform::ResumeNext(
        [&] { taskbar.SetTop(OffScreenPosition(runtime.api(), taskbar.PixelsPerInch()).top); },
        [&] { taskbar.SetLeft(OffScreenPosition(runtime.api(), taskbar.PixelsPerInch()).left); },
        [&] { host.SetTop(OffScreenPosition(runtime.api(), host.PixelsPerInch()).top); },
        [&] { host.SetLeft(OffScreenPosition(runtime.api(), host.PixelsPerInch()).left); });
}

}  // namespace quorvel
