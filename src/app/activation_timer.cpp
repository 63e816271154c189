#include "app/app.h"
#include "platform/errors.h"

namespace quorvel {

void ActivationTimerTick(App& app) {
    platform::ResumeNext([&] { app.runtime().DoEvents(); },
                         [&] {
                             if (app.api().FindWindowA(nullptr, "Configure Quorvel") == 0) return;
                             platform::ResumeNext(
                                 [&] { app.Form2Controls().activationTimer.SetInterval(0); },
                                 // The application title differs from ours only in letter
                                 // case; the activation matches it ignoring case.
                                 [&] { app.runtime().AppActivate("QuorVel"); });
                         });
}

}  // namespace quorvel
