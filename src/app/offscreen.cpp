#include "app/app.h"
#include "platform/errors.h"

namespace quorvel {

namespace {
constexpr double kOffScreen = -2500;  // twips, left and top of both forms
}

void MoveOffScreen(App& app) {
    // A form that cannot be moved (minimised) fails its own assignments only.
    platform::ResumeNext(
        [&] { app.Form1().SetTop(kOffScreen); }, [&] { app.Form1().SetLeft(kOffScreen); },
        [&] { app.Form2().SetTop(kOffScreen); }, [&] { app.Form2().SetLeft(kOffScreen); });
}

}  // namespace quorvel
