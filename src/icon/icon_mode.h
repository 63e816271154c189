// Makes the program's visible presence match the stored icon mode.
#pragma once

#include <cstdint>

#include "icon/tray_icon.h"
#include "platform/winapi.h"
#include "ui/program_forms.h"

namespace quorvel {

// Reads the stored mode into `iconMode`, the mode in force, and shows the
// taskbar button, the notification-area icon or both.
void ApplyIconMode(platform::WinApi& api, Forms& forms, TrayIcon& trayIcon, std::int16_t& iconMode);
// Shows what `iconMode` says, reading nothing.
void ShowIconMode(Forms& forms, TrayIcon& trayIcon, std::int16_t iconMode);

}  // namespace quorvel
