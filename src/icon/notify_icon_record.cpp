#include "icon/notify_icon_record.h"

#include <algorithm>

#include "platform/constants.h"

namespace quorvel {

namespace {

constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP

void Put32(NotifyIconRecord& record, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) record[offset + i] = (value >> (8 * i)) & 0xFF;
}

NotifyIconRecord BuildRecord(platform::Hwnd window, std::uint32_t callbackMessage,
                             platform::Hicon icon) {
    NotifyIconRecord record{};        // afresh from zeros on every call
    Put32(record, 0, record.size());  // cbSize: always the 88-byte form
    Put32(record, 4, window);
    Put32(record, 8, kIconId);
    Put32(record, 12, kFlags);
    Put32(record, 16, callbackMessage);
    Put32(record, 20, icon);
    return record;
}

}  // namespace

NotifyIconRecord BuildAddRecord(platform::Hwnd window, platform::Hicon icon, std::string_view tip) {
    NotifyIconRecord record = BuildRecord(window, platform::WM_MOUSEMOVE, icon);
    // The tip field is a fixed 64-character text: the tip, one NUL, then
    // spaces. A longer tip is cut to 63 characters so the NUL always fits.
    tip = tip.substr(0, kTipFieldSize - 1);
    auto field = record.begin() + 24;
    std::fill(field, field + kTipFieldSize, std::uint8_t{' '});
    std::copy(tip.begin(), tip.end(), field);
    field[tip.size()] = 0;
    return record;
}

NotifyIconRecord BuildDeleteRecord(platform::Hwnd window) {
    // Only hWnd and uID identify the icon; the callback field holds 1.
    return BuildRecord(window, 1, 0);
}

bool AddTrayIcon(platform::WinApi& api, platform::Hwnd window, platform::Hicon icon,
                 std::string_view tip) {
    NotifyIconRecord record = BuildAddRecord(window, icon, tip);
    return api.Shell_NotifyIconA(platform::NIM_ADD, record.data()) != 0;
}

void DeleteTrayIcon(platform::WinApi& api, platform::Hwnd window) {
    NotifyIconRecord record = BuildDeleteRecord(window);
    api.Shell_NotifyIconA(platform::NIM_DELETE, record.data());
}

}  // namespace quorvel
