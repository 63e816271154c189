#include "app/app.h"
#include "housekeeping/clean_temp_files.h"
#include "icon/icon_mode.h"
#include "icon/notify_icon.h"
#include "icon/system_menu.h"
#include "icon/tray_callbacks.h"
#include "reveal/show_desktop.h"
#include "ui/configure_dialog.h"
#include "ui/form_descriptions.h"

namespace quorvel {

App::App(platform::Runtime& runtime) : runtime_(runtime) {
    // The shell's taskbar was recreated (the shell restarted): put the icon back.
    runtime_.TaskbarCreated = [this] { RestoreTrayIcon(*this); };
}

void App::BindForm1Events(platform::FormEvents& events) {
    events.Load = [this] {
        RewriteSystemMenu(api(), Form1().hWnd());
        CleanTempFiles(Form1Controls().fileList, runtime_);
        ApplyIconMode(*this);
        MoveOffScreen(*this);
    };
    events.Activate = [this] { Form1Activate(*this); };
    events.Resize = [this] { MoveOffScreen(*this); };
    events.Paint = [this] { MoveOffScreen(*this); };
    events.QueryUnload = [this](std::int16_t& cancel, std::int16_t mode) {
        Form1QueryUnload(*this, cancel, mode);
    };
}

void App::Start() {
    platform::FormEvents events;
    BindForm1Events(events);
    form1_ = runtime_.CreateForm(TaskbarFormDescription(), std::move(events));
    form1Controls_.emplace(*form1_);
    runtime_.Load(*form1_);
    runtime_.ActivateStartupForm(*form1_);
}

platform::Form& App::Form2() {
    // Loaded when referenced, also after an unload from outside (a close
    // request that reached it): its icon comes back with the next
    // application of the icon mode.
    if (!form2_ || !form2_->Loaded()) {
        platform::FormEvents events;
        events.Resize = [this] { MoveOffScreen(*this); };
        events.Paint = [this] { MoveOffScreen(*this); };
        events.QueryUnload = [this](std::int16_t&, std::int16_t mode) {
            SecondaryFormQueryUnload(*this, mode);
        };
        events.MouseMove = [this](std::int16_t& button, std::int16_t& shift, float& x, float& y) {
            Form2MouseMove(*this, button, shift, x, y);
        };
        form2Controls_.reset();
        form2_ = runtime_.CreateForm(IconHostFormDescription(), std::move(events));
        form2Controls_.emplace(*form2_);
        BindPopupMenu(*this);
        form2Controls_->activationTimer.Timer = [this] { ActivationTimerTick(*this); };
    }
    return *form2_;
}

const IconHostFormControls& App::Form2Controls() {
    Form2();
    return *form2Controls_;
}

void App::ShowConfigureDialog() {
    if (DialogVisible()) {
        // Already open (from the other menu): bring it to the front, no second one.
        runtime_.AppActivate(form3_->Caption());
        return;
    }
    platform::FormEvents events;
    BindConfigureDialogEvents(*this, events);
    form3_ = runtime_.CreateForm(ConfigureDialogDescription(), std::move(events));
    form3Controls_.emplace(*form3_);
    BindConfigureDialogControls(*this, *form3_, *form3Controls_);
    form3_->ShowModal();
    form3Controls_.reset();
    form3_.reset();
}

void Form1QueryUnload(App& app, std::int16_t& cancel, std::int16_t unloadMode) {
    cancel = 1;  // Form1 is never closed
    if (unloadMode == platform::vbFormControlMenu) {
        // The window menu's "&Configure" carries the close command. The timer
        // brings the dialog to the front once its window exists.
        app.Form2Controls().activationTimer.SetInterval(100);
        app.ShowConfigureDialog();
        return;
    }
    ExitProgram(app);
}

void SecondaryFormQueryUnload(App& app, std::int16_t unloadMode) {
    if (unloadMode > platform::vbFormCode) ExitProgram(app);
}

void ExitProgram(App& app) {
    DeleteTrayIcon(app.api(), app.Form2().hWnd());
    app.Form2().Unload();  // its QueryUnload sees vbFormCode and does nothing
    app.runtime().End();
}

}  // namespace quorvel
