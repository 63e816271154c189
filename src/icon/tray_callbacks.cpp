#include "icon/tray_callbacks.h"

#include "app/app.h"
#include "reveal/show_desktop.h"

namespace quorvel {

namespace {
constexpr float kLeftButtonDown = 7695;   // WM_LBUTTONDOWN (513) x 15
constexpr float kRightButtonDown = 7740;  // WM_RBUTTONDOWN (516) x 15
}  // namespace

void Form2MouseMove(App& app, std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    // wParam is the icon's identifier, 1, which reads as the left-button
    // flag whatever button was used: the button state means nothing here.
    button = 0;
    if (app.DialogVisible()) return;
    auto buttons = static_cast<std::int16_t>(button + shift);
    if (static_cast<float>(buttons) + y != 0) return;
    float message = x;
    if (message == kLeftButtonDown) {
        ShowDesktop(app);
    } else if (message == kRightButtonDown) {
        app.Form2().PopupMenu(app.Form2Controls().popupMenu.description().name);
    }
}

void BindPopupMenu(App& app) {
    const IconHostFormControls& form2 = app.Form2Controls();
    form2.showDesktopItem.Click = [&app] { ShowDesktop(app); };
    form2.configureItem.Click = [&app] { app.ShowConfigureDialog(); };
    form2.aboutItem.Click = [&app] {
        platform::Control& about = app.Form2Controls().aboutItem;
        // The dialog finds the tag when it activates and opens its About view.
        about.SetTag("*");
        app.ShowConfigureDialog();
        about.SetTag("");
    };
    form2.exitItem.Click = [&app] { ExitProgram(app); };
}

}  // namespace quorvel
