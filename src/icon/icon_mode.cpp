#include "icon/icon_mode.h"

#include "platform/errors.h"
#include "settings/icon_setting.h"

namespace quorvel {

void ApplyIconMode(platform::WinApi& api, Forms& forms, TrayIcon& trayIcon,
                   std::int16_t& iconMode) {
    iconMode = ToIconMode(GetIconMode(api));
    ShowIconMode(forms, trayIcon, iconMode);
}

void ShowIconMode(Forms& forms, TrayIcon& trayIcon, std::int16_t iconMode) {
    platform::Form& taskbarForm = forms.TaskbarForm();
    platform::ResumeNext([&] { taskbarForm.SetWidth(1); }, [&] { taskbarForm.SetHeight(1); },
                         [&] { forms.IconHostForm().SetWidth(1); },
                         [&] { forms.IconHostForm().SetHeight(1); });
    switch (iconMode) {
        case TrayOnly:
            trayIcon.Put();
            platform::ResumeNext([&] { taskbarForm.SetVisible(false); });
            break;
        case TaskbarOnly:
            platform::ResumeNext([&] { trayIcon.Remove(); }, [&] { taskbarForm.SetVisible(true); });
            break;
        case BothIcons:
            trayIcon.Put();
            platform::ResumeNext([&] { taskbarForm.SetVisible(true); });
            break;
        default:
            break;
    }
}

}  // namespace quorvel
