// The notification-area icon: one icon, identifier 1, on the icon's host form's window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/types.h"
#include "platform/winapi.h"

namespace quorvel {

// The first, 88-byte form of NOTIFYICONDATAA, as the shell reads it.
using NotifyIconRecord = std::array<std::uint8_t, 88>;

inline constexpr std::size_t kTipFieldSize = 64;

NotifyIconRecord BuildAddRecord(platform::Hwnd window, platform::Hicon icon, std::string_view tip);
NotifyIconRecord BuildDeleteRecord(platform::Hwnd window);

// Nothing is reported: a refused call is silent. The add tells whether the
// shell took the icon, so that a shell still starting can be asked again.
bool AddTrayIcon(platform::WinApi& api, platform::Hwnd window, platform::Hicon icon,
                 std::string_view tip);
void DeleteTrayIcon(platform::WinApi& api, platform::Hwnd window);

}  // namespace quorvel
