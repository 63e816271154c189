#include "icon/tray_callbacks.h"

#include "app/app.h"
#include "icon/icon_message.h"
#include "reveal/show_desktop.h"

namespace quorvel {

void Form2MouseMove(App& app, std::int16_t& button, std::int16_t& shift, float& x, float& y) {
    const IconMouseMessage message = IconCallbackMessage(button, shift, x, y);
    if (app.DialogVisible()) return;
    if (message == IconMouseMessage::LeftDown) {
        ShowDesktop(app);
    } else if (message == IconMouseMessage::RightDown) {
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
