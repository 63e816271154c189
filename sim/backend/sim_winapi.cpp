#include "sim/backend/sim_winapi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quorvel::sim {

std::string Hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}

namespace {

std::string Quote(const char* s) {
    return s == nullptr ? "NULL" : "\"" + std::string(s) + "\"";
}

std::string Decimal(std::int64_t v) {
    return std::to_string(v);
}

constexpr platform::Hmonitor kMonitorBase = 0x10001;

// The entry a menu call addresses: by position, or the first with that command.
std::vector<MenuEntry>::iterator Addressed(std::vector<MenuEntry>& menu, std::uint32_t position,
                                           std::uint32_t flags) {
    if (flags & platform::MF_BYPOSITION) {
        return position < menu.size() ? menu.begin() + position : menu.end();
    }
    return std::find_if(menu.begin(), menu.end(),
                        [&](const MenuEntry& e) { return e.id == position; });
}

}  // namespace

std::int32_t SimWinApi::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                                     std::uint32_t flags) {
    Log("SetWindowPos", Hex(hwnd), Decimal(static_cast<std::int32_t>(insertAfter)), Decimal(x),
        Decimal(y), Decimal(cx), Decimal(cy), Hex(flags));
    Window* w = desk_.Find(hwnd);
    if (w == nullptr) return 0;
    if (!(flags & platform::SWP_NOZORDER) && !desk_.PlaceInZOrder(hwnd, insertAfter)) return 0;
    if (!(flags & platform::SWP_NOMOVE)) {
        w->x = x;
        w->y = y;
    }
    if (!(flags & platform::SWP_NOSIZE)) {
        w->width = cx;
        w->height = cy;
    }
    // Hiding this way neither deactivates the window nor activates it (only
    // WM_WINDOWPOSCHANGED is sent); otherwise, without SWP_NOACTIVATE, the
    // call activates it ("the window is activated"), a window not shown
    // too: it has nothing to hide, and Wine drops SWP_HIDEWINDOW for it (the
    // window conformance test shows it there).
    if ((flags & platform::SWP_HIDEWINDOW) && w->visible) {
        desk_.HideKeepingActivation(hwnd);
        return 1;
    }
    if (flags & platform::SWP_SHOWWINDOW) desk_.Show(hwnd, false);
    if (!(flags & platform::SWP_NOACTIVATE) && desk_.foreground.MaySet(pid_)) desk_.Activate(hwnd);
    return 1;
}

Hwnd SimWinApi::FindWindowA(const char* className, const char* windowName) {
    Log("FindWindowA", Quote(className), Quote(windowName));
    for (Hwnd hwnd : desk_.ZOrder()) {
        const Window* w = desk_.Find(hwnd);
        if (windowName != nullptr && Lower(w->title) != Lower(windowName)) continue;
        if (className != nullptr && Lower(w->className) != Lower(className)) continue;
        return hwnd;
    }
    return 0;
}

platform::Hmenu SimWinApi::GetSystemMenu(Hwnd hwnd, std::int32_t revert) {
    Log("GetSystemMenu", Hex(hwnd), Decimal(revert));
    Window* w = desk_.Find(hwnd);
    if (w == nullptr || w->systemMenu.empty()) return 0;
    return desk_.MenuHandle(hwnd);
}

std::uint32_t SimWinApi::GetMenuItemID(platform::Hmenu menu, int position) {
    Log("GetMenuItemID", Hex(menu), Decimal(position));
    Window* w = desk_.MenuOwner(menu);
    if (w == nullptr || position < 0 || position >= static_cast<int>(w->systemMenu.size())) {
        return 0xFFFFFFFF;
    }
    return w->systemMenu[position].id;
}

std::int32_t SimWinApi::ModifyMenuA(platform::Hmenu menu, std::uint32_t position,
                                    std::uint32_t flags, std::uint32_t newId, const char* newItem) {
    Log("ModifyMenuA", Hex(menu), Hex(position), Decimal(flags), Hex(newId), Quote(newItem));
    Window* w = desk_.MenuOwner(menu);
    if (w == nullptr) return 0;
    auto entry = Addressed(w->systemMenu, position, flags);
    if (entry == w->systemMenu.end()) return 0;
    entry->separator = (flags & platform::MF_SEPARATOR) != 0;
    entry->id = entry->separator ? 0 : newId;
    entry->text = entry->separator || newItem == nullptr ? "" : newItem;
    return 1;
}

std::int32_t SimWinApi::DeleteMenu(platform::Hmenu menu, std::uint32_t position,
                                   std::uint32_t flags) {
    Log("DeleteMenu", Hex(menu), Hex(position), Decimal(flags));
    Window* w = desk_.MenuOwner(menu);
    if (w == nullptr) return 0;
    auto entry = Addressed(w->systemMenu, position, flags);
    if (entry == w->systemMenu.end()) return 0;
    w->systemMenu.erase(entry);
    return 1;
}

std::int32_t SimWinApi::Shell_NotifyIconA(std::uint32_t message, const void* record) {
    const char* names[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE"};
    Log("Shell_NotifyIconA", message < 3 ? names[message] : "?");
    return desk_.NotifyIcon(message, static_cast<const std::uint8_t*>(record));
}

std::int32_t SimWinApi::RegOpenKeyExA(platform::Hkey root, const char* subKey,
                                      std::uint32_t options, std::uint32_t access,
                                      platform::Hkey* result) {
    Log("RegOpenKeyExA", Hex(root), Quote(subKey), Decimal(options), Decimal(access));
    return desk_.registry.Open(root, subKey == nullptr ? "" : subKey, result);
}

std::int32_t SimWinApi::RegQueryValueExA(platform::Hkey key, const char* valueName,
                                         std::uint32_t* reserved, std::uint32_t* type,
                                         std::uint8_t* data, std::uint32_t* dataSize) {
    Log("RegQueryValueExA", Hex(key), Quote(valueName), dataSize ? Decimal(*dataSize) : "NULL");
    if (reserved != nullptr) return platform::ERROR_INVALID_PARAMETER;
    return desk_.registry.Query(key, valueName == nullptr ? "" : valueName, type, data, dataSize);
}

std::int32_t SimWinApi::RegCreateKeyA(platform::Hkey root, const char* subKey,
                                      platform::Hkey* result) {
    Log("RegCreateKeyA", Hex(root), Quote(subKey));
    return desk_.registry.Create(root, subKey == nullptr ? "" : subKey, result);
}

std::int32_t SimWinApi::RegSetValueExA(platform::Hkey key, const char* valueName,
                                       std::uint32_t reserved, std::uint32_t type,
                                       const std::uint8_t* data, std::uint32_t dataSize) {
    Log("RegSetValueExA", Hex(key), Quote(valueName), Decimal(reserved), Decimal(type),
        Decimal(dataSize));
    return desk_.registry.SetValue(key, valueName == nullptr ? "" : valueName, type, data,
                                   dataSize);
}

std::int32_t SimWinApi::RegCloseKey(platform::Hkey key) {
    Log("RegCloseKey", Hex(key));
    return desk_.registry.Close(key);
}

platform::Hmonitor SimWinApi::MonitorFromPoint(int x, int y, std::uint32_t flags) {
    Log("MonitorFromPoint", Decimal(x), Decimal(y), Decimal(flags));
    const auto& monitors = desk_.display.monitors;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        if (x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height) {
            return kMonitorBase + static_cast<platform::Hmonitor>(i);
        }
    }
    // MONITOR_DEFAULTTOPRIMARY (1) and MONITOR_DEFAULTTONEAREST (2) never say none.
    return flags == platform::MONITOR_DEFAULTTONULL ? 0 : kMonitorBase;
}

int SimWinApi::GetSystemMetrics(int index) {
    Log("GetSystemMetrics", Decimal(index));
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const Monitor& m : desk_.display.monitors) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        right = std::max(right, m.x + m.width);
        bottom = std::max(bottom, m.y + m.height);
    }
    switch (index) {
        case platform::SM_XVIRTUALSCREEN:
            return left;
        case platform::SM_YVIRTUALSCREEN:
            return top;
        case platform::SM_CXVIRTUALSCREEN:
            return right - left;
        case platform::SM_CYVIRTUALSCREEN:
            return bottom - top;
        default:
            return 0;
    }
}

std::uint32_t SimWinApi::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    Log("GetWindowsDirectoryA", Decimal(size));
    const std::string& folder = desk_.files.windowsDirectory;
    if (folder.empty()) return 0;
    // Too small a buffer: the size needed, NUL included.
    if (folder.size() + 1 > size) return static_cast<std::uint32_t>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<std::uint32_t>(folder.size());
}

std::int32_t SimWinApi::DwmSetWindowAttribute(Hwnd hwnd, std::uint32_t attribute, const void* value,
                                              std::uint32_t size) {
    // The value as the number it is for the attributes the program sets (a
    // BOOL or a DWORD).
    std::uint32_t number = 0;
    if (value != nullptr && size == sizeof number) std::memcpy(&number, value, sizeof number);
    Log("DwmSetWindowAttribute", Hex(hwnd), Decimal(attribute), Decimal(number), Decimal(size));
    return desk_.Find(hwnd) != nullptr ? 0 : platform::E_HANDLE;
}

}  // namespace quorvel::sim
