#include "icon/icon_mode.h"

#include "app/app.h"
#include "icon/notify_icon.h"
#include "platform/errors.h"
#include "reveal/show_desktop.h"
#include "settings/icon_setting.h"

namespace quorvel {

namespace {

constexpr const char* kTip = "Show Desktop";

void ReplaceTrayIcon(App& app) {
    platform::Form& form2 = app.Form2();
    // Removed first, so that applying the mode again never leaves two.
    platform::ResumeNext([&] { DeleteTrayIcon(app.api(), form2.hWnd()); },
                         [&] {
                             AddTrayIcon(app.api(), form2.hWnd(),
                                         app.Form1().control("Picture1").Picture(), kTip);
                         });
}

}  // namespace

void ApplyIconMode(App& app) {
    if (app.runtime().PrevInstance()) {
        // A second start is a one-time show-desktop command.
        ShowDesktop(app);
        app.runtime().End();
    }
    app.IconMode = ToIconMode(GetIconMode(app.api()));

    platform::ResumeNext([&] { app.Form1().SetWidth(1); }, [&] { app.Form1().SetHeight(1); },
                         [&] { app.Form2().SetWidth(1); }, [&] { app.Form2().SetHeight(1); });
    switch (app.IconMode) {
        case TrayOnly:
            ReplaceTrayIcon(app);
            platform::ResumeNext([&] { app.Form1().SetVisible(false); });
            break;
        case TaskbarOnly:
            platform::ResumeNext([&] { DeleteTrayIcon(app.api(), app.Form2().hWnd()); },
                                 [&] { app.Form1().SetVisible(true); });
            break;
        case BothIcons:
            ReplaceTrayIcon(app);
            platform::ResumeNext([&] { app.Form1().SetVisible(true); });
            break;
        default:
            break;
    }
}

void RestoreTrayIcon(App& app) {
    if (app.IconMode == TrayOnly || app.IconMode == BothIcons) ReplaceTrayIcon(app);
}

}  // namespace quorvel
