// The Win32 functions the program names, forwarded to the real ones.
#pragma once

#include "platform/winapi.h"

namespace quorvel::win32 {

class Win32Api : public platform::WinApi {
public:
    std::int32_t SetWindowPos(platform::Hwnd hwnd, platform::Hwnd insertAfter, int x, int y, int cx,
                              int cy, std::uint32_t flags) override;
    platform::Hwnd FindWindowA(const char* className, const char* windowName) override;
    platform::Hmenu GetSystemMenu(platform::Hwnd hwnd, std::int32_t revert) override;
    std::uint32_t GetMenuItemID(platform::Hmenu menu, int position) override;
    std::int32_t ModifyMenuA(platform::Hmenu menu, std::uint32_t position, std::uint32_t flags,
                             std::uint32_t newId, const char* newItem) override;
    std::int32_t DeleteMenu(platform::Hmenu menu, std::uint32_t position,
                            std::uint32_t flags) override;
    platform::Hmonitor MonitorFromPoint(int x, int y, std::uint32_t flags) override;
    int GetSystemMetrics(int index) override;
    std::int32_t Shell_NotifyIconA(std::uint32_t message, const void* record) override;
    std::int32_t RegOpenKeyExA(platform::Hkey root, const char* subKey, std::uint32_t options,
                               std::uint32_t access, platform::Hkey* result) override;
    std::int32_t RegQueryValueExA(platform::Hkey key, const char* valueName,
                                  std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* dataSize) override;
    std::int32_t RegCreateKeyA(platform::Hkey root, const char* subKey,
                               platform::Hkey* result) override;
    std::int32_t RegSetValueExA(platform::Hkey key, const char* valueName, std::uint32_t reserved,
                                std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t dataSize) override;
    std::int32_t RegCloseKey(platform::Hkey key) override;
    std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
    std::int32_t DwmSetWindowAttribute(platform::Hwnd hwnd, std::uint32_t attribute,
                                       const void* value, std::uint32_t size) override;
};

}  // namespace quorvel::win32
