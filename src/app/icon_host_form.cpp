// The icon's host form: its events, the icon's callback and the icon's menu.
#include "app/app.h"
#include "icon/icon_message.h"
#include "ui/form_descriptions.h"
#include "ui/offscreen.h"

namespace quorvel {

platform::Form& App::IconHostForm() {
    // Loaded when referenced, again after the program's own unload of it
    // (its exit's); a close request from outside never unloads it.
    if (!iconHostForm_ || !iconHostForm_->Loaded()) {
        iconHostControls_.reset();
        iconHostForm_ = runtime_.CreateForm(IconHostFormDescription(), IconHostFormEvents());
        iconHostControls_.emplace(*iconHostForm_);
        BindIconMenu(*iconHostControls_);
        iconHostControls_->activationTimer.Timer = [this] { dialog_.ActivationTimerTick(); };
    }
    return *iconHostForm_;
}

const IconHostFormControls& App::IconHostControls() {
    IconHostForm();
    return *iconHostControls_;
}

platform::FormEvents App::IconHostFormEvents() {
    platform::FormEvents events;
    events.Resize = [this] { MoveOffScreen(runtime_, *this); };
    events.Paint = [this] { MoveOffScreen(runtime_, *this); };
    events.QueryUnload = [this](std::int16_t& cancel, std::int16_t mode) {
        // The icon is the program's only way in where it has no button: a
        // close command (Alt+F4 while this form is in front, another
        // program's SC_CLOSE) is no request of the user's, and taking the
        // icon away would leave nothing to click until the shell restarts.
        if (mode == platform::vbFormControlMenu) cancel = 1;
        if (EndsTheProgram(mode)) ExitProgram();
    };
    events.MouseMove = [this](std::int16_t& button, std::int16_t& shift, float& x, float& y) {
        IconCallback(button, shift, x, y);
    };
    return events;
}

void App::IconCallback(std::int16_t& button, std::int16_t shift, float x, float y) {
    const IconMouseMessage message = IconCallbackMessage(button, shift, x, y);
    if (DialogVisible()) return;
    if (message == IconMouseMessage::LeftDown) {
        reveal_.ShowDesktop();
    } else if (message == IconMouseMessage::RightDown) {
        reveal_.AfterReveal(
            [this] { IconHostForm().PopupMenu(IconHostControls().popupMenu.description().name); });
    }
}

void App::BindIconMenu(const IconHostFormControls& controls) {
    controls.showDesktopItem.Click = [this] { reveal_.ShowDesktop(); };
    controls.configureItem.Click = [this] { dialog_.Open(); };
    controls.aboutItem.Click = [this] { dialog_.OpenAbout(); };
    controls.exitItem.Click = [this] { ExitProgram(); };
}

}  // namespace quorvel
