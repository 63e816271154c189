// The Configure dialog opened from the taskbar button's window menu.
#include "platform/errors.h"
#include "ui/configure_dialog.h"

namespace quorvel {

void ConfigureDialog::OpenFromWindowMenu() {
    // The timer brings the dialog to the front once its window exists.
    forms_.IconHostControls().activationTimer.SetInterval(100);
    Open();
}

void ConfigureDialog::ActivationTimerTick() {
    platform::WinApi& api = runtime_.api();
    platform::ResumeNext([&] { runtime_.DoEvents(); },
                         [&] {
                             if (api.FindWindowA(nullptr, "Configure Quorvel") == 0) return;
                             platform::ResumeNext(
                                 [&] { forms_.IconHostControls().activationTimer.SetInterval(0); },
                                 // The application title differs from ours only in letter
                                 // case; the activation matches it ignoring case.
                                 [&] { runtime_.AppActivate("QuorVel"); });
                         });
}

}  // namespace quorvel
