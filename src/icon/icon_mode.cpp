#include "icon/icon_mode.h"

#include "app/app.h"
#include "icon/notify_icon.h"
#include "platform/errors.h"
#include "reveal/show_desktop.h"
#include "settings/icon_setting.h"

namespace quorvel {

namespace {

constexpr const char* kTip = "Show Desktop";
// At log-on the program can start before the shell takes icons: it is asked
// again every 2 seconds for 2 minutes, then the program gives up quietly.
constexpr std::uint32_t kRetryIntervalMs = 2000;
constexpr int kRetryTries = 60;

// Only an icon this process asked for can be there: at start-up in
// taskbar-only mode there is none, and asking to remove one would need
// Form2's window (made then, and the shell's library loaded for the
// request) before the taskbar button shows.
void DeleteIconOfForm2(App& app) {
    if (!app.trayIconAsked) return;
    DeleteTrayIcon(app.api(), app.Form2().hWnd());
    app.trayIconAsked = false;
}

// True when the shell took the icon.
bool ReplaceTrayIcon(App& app) {
    platform::Form& form2 = app.Form2();
    bool added = false;
    app.trayIconAsked = true;
    // Removed first, so that applying the mode again never leaves two (and a
    // shell that took an icon but answered too late keeps one).
    platform::ResumeNext([&] { DeleteTrayIcon(app.api(), form2.hWnd()); },
                         [&] {
                             added = AddTrayIcon(app.api(), form2.hWnd(),
                                                 app.Form1Controls().picture.Picture(), kTip);
                         });
    return added;
}

void StopTrayRetry(App& app) {
    app.runtime().ClearTimeout(app.trayRetry.timer);
    app.trayRetry = {};
}

void TryTrayIconAgain(App& app) {
    app.trayRetry.timer = 0;
    if (ReplaceTrayIcon(app) || --app.trayRetry.triesLeft <= 0) {
        app.trayRetry = {};
        return;
    }
    app.trayRetry.timer =
        app.runtime().SetTimeout(kRetryIntervalMs, [&app] { TryTrayIconAgain(app); });
}

// The icon now, or, when the shell refuses it, once the shell takes it. The
// retry's timer is one-shot and set only while an icon is missing, so an
// idle program has no timer running.
void PutTrayIcon(App& app) {
    StopTrayRetry(app);
    if (ReplaceTrayIcon(app)) return;
    app.trayRetry.triesLeft = kRetryTries;
    app.trayRetry.timer =
        app.runtime().SetTimeout(kRetryIntervalMs, [&app] { TryTrayIconAgain(app); });
}

}  // namespace

void ApplyIconMode(App& app) {
    if (app.runtime().PrevInstance()) {
        // A second start is a one-time show-desktop command.
        ShowDesktop(app);
        // Not before the shell has acted: where it ignores its keys, this
        // process is the one to ask it the other way.
        app.minimiseAll.Finish(app.runtime());
        app.runtime().End();
    }
    app.IconMode = ToIconMode(GetIconMode(app.api()));

    platform::ResumeNext([&] { app.Form1().SetWidth(1); }, [&] { app.Form1().SetHeight(1); },
                         [&] { app.Form2().SetWidth(1); }, [&] { app.Form2().SetHeight(1); });
    switch (app.IconMode) {
        case TrayOnly:
            PutTrayIcon(app);
            platform::ResumeNext([&] { app.Form1().SetVisible(false); });
            break;
        case TaskbarOnly:
            StopTrayRetry(app);
            platform::ResumeNext([&] { DeleteIconOfForm2(app); },
                                 [&] { app.Form1().SetVisible(true); });
            break;
        case BothIcons:
            PutTrayIcon(app);
            platform::ResumeNext([&] { app.Form1().SetVisible(true); });
            break;
        default:
            break;
    }
}

void RestoreTrayIcon(App& app) {
    if (app.IconMode == TrayOnly || app.IconMode == BothIcons) PutTrayIcon(app);
}

}  // namespace quorvel
