// The icon-mode setting: value "Icon" (REG_SZ, "1", "2" or "3") of
// HKEY_LOCAL_MACHINE\SOFTWARE\Orbrix\Quorvel.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

namespace quorvel {

// Where the program shows its icon; equals the index of the matching option
// button of the Configure dialog.
enum IconModeValue : std::int16_t { TrayOnly = 1, TaskbarOnly = 2, BothIcons = 3 };

inline constexpr const char* kSettingsKey = "SOFTWARE\\Orbrix\\Quorvel";
inline constexpr const char* kIconValue = "Icon";
inline constexpr std::int16_t kDefaultIconMode = TaskbarOnly;

// The stored number as read; the default 2 is stored and returned when no
// value can be read.
double GetIconMode(platform::WinApi& api);
void SaveIconMode(platform::WinApi& api, std::int16_t mode);

// The mode to put in force for a stored number: the number rounded to a
// whole one (halves to even), and the default for anything that is not a
// mode, so the program always keeps a taskbar button or an icon.
std::int16_t ToIconMode(double stored);

}  // namespace quorvel
