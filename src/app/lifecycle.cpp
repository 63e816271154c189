#include "app/app.h"
#include "housekeeping/clean_temp_files.h"
#include "icon/icon_mode.h"
#include "icon/system_menu.h"
#include "ui/form_descriptions.h"
#include "ui/offscreen.h"

namespace quorvel {

App::App(platform::Runtime& runtime)
    : runtime_(runtime),
      secondStart_(runtime.PrevInstance()),
      trayIcon_(runtime, *this, iconMode_),
      reveal_(runtime, *this, iconMode_, secondStart_),
      dialog_(runtime, *this, iconMode_, DialogRequests()) {
    // The shell's taskbar was recreated (the shell restarted): put the icon
    // back, and ask the new taskbar its keys again.
    runtime_.TaskbarCreated = [this] {
        trayIcon_.TaskbarRecreated();
        reveal_.TaskbarRecreated();
        // Started while no shell ran (at log-on, before it), the taskbar form
        // kept the activation, no other window being there to take it: a
        // click on its button would minimise it, not activate it. The new
        // desktop takes it now, and the form comes to rest.
        if (runtime_.shell().Foreground() == TaskbarForm().hWnd()) {
            IconHostForm().Show();
            IconHostForm().Hide();
        }
    };
    // A WM_QUIT from outside: the program's own way out, as Exit's.
    runtime_.QuitReceived = [this] { ExitProgram(); };
}

ConfigureDialog::Requests App::DialogRequests() {
    return {.applyIconMode = [this] { ApplyIconMode(); },
            .showIconMode = [this] { ShowIconMode(*this, trayIcon_, iconMode_); },
            .exitProgram = [this] { ExitProgram(); }};
}

void App::Start() {
    platform::FormEvents events;
    events.Load = [this] { Load(); };
    events.Activate = [this] { reveal_.TaskbarFormActivated(); };
    events.Resize = [this] { MoveOffScreen(runtime_, *this); };
    events.Paint = [this] { MoveOffScreen(runtime_, *this); };
    events.QueryUnload = [this](std::int16_t& cancel, std::int16_t mode) {
        TaskbarFormQueryUnload(cancel, mode);
    };
    taskbarForm_ = runtime_.CreateForm(TaskbarFormDescription(), std::move(events));
    taskbarControls_.emplace(*taskbarForm_);
    cleanup_.emplace(taskbarControls_->fileList, runtime_);
    runtime_.Load(*taskbarForm_);
    runtime_.ActivateStartupForm(*taskbarForm_);
    // Start-up is over: the button shown, the icon asked for, whatever the
    // shell answered. The cleanup now runs from the message loop in short
    // slices, so that a click, a second start's message or a shut-down
    // coming meanwhile is served between two; what it has not reached when
    // the program ends is left for the next start.
    cleanup_->RunWhenIdle();
}

// The start-up sequence: a second start's one reveal, then its cleanup; a
// first start's window menu, icon mode and off-screen position (its cleanup
// comes once the form is shown, see Start).
void App::Load() {
    if (secondStart_) {
        // A second start is a one-time show-desktop command, over once the
        // shell has answered it; it asks at once the way the running
        // instance found to work. Nothing it does not need goes before its
        // keys: its form is never shown, so its window menu stays as it is,
        // and the cleanup waits until the request is answered, before the
        // process ends.
        reveal_.ShowDesktop();
        reveal_.WaitForTheShell();
        cleanup_->RunToEnd();
        runtime_.End();
    }
    RewriteSystemMenu(api(), TaskbarForm().hWnd());
    ApplyIconMode();
    MoveOffScreen(runtime_, *this);
}

void App::ApplyIconMode() {
    quorvel::ApplyIconMode(api(), *this, trayIcon_, iconMode_);
}

void App::TaskbarFormQueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    cancel = 1;  // the taskbar form is never closed
    if (unloadMode == platform::vbFormControlMenu) {
        // The window menu's "&Configure" carries the close command; sent
        // during a reveal, the dialog opens once it is over.
        reveal_.AfterReveal([this] { dialog_.OpenFromWindowMenu(); });
        return;
    }
    ExitProgram();
}

void App::ExitProgram() {
    trayIcon_.RemoveAtExit();
    IconHostForm().Unload();  // its QueryUnload sees vbFormCode and does nothing
    runtime_.End();
}

}  // namespace quorvel
