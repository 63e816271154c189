// The Win32 functions the program calls by name, with 32-bit handles and
// ANSI strings (the constants they take are in platform/constants.h, apart
// so that the Win32 backend can include <windows.h> beside this). The Win32 backend forwards each
// to the real function; the simulated desktop carries each out on its own model of Windows.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace quorvel::platform {

class WinApi {
public:
    virtual ~WinApi() = default;

    // user32
    virtual std::int32_t SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                                      std::uint32_t flags) = 0;
    virtual Hwnd FindWindowA(const char* className, const char* windowName) = 0;
    virtual Hmenu GetSystemMenu(Hwnd hwnd, std::int32_t revert) = 0;
    virtual std::uint32_t GetMenuItemID(Hmenu menu, int position) = 0;
    virtual std::int32_t ModifyMenuA(Hmenu menu, std::uint32_t position, std::uint32_t flags,
                                     std::uint32_t newId, const char* newItem) = 0;
    virtual std::int32_t DeleteMenu(Hmenu menu, std::uint32_t position, std::uint32_t flags) = 0;
    // Monitors: the one holding a point (0 for none with MONITOR_DEFAULTTONULL),
    // and the virtual screen's extent among the system metrics.
    virtual Hmonitor MonitorFromPoint(int x, int y, std::uint32_t flags) = 0;
    virtual int GetSystemMetrics(int index) = 0;

    // shell32: the record is the 88-byte NOTIFYICONDATAA.
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, const void* record) = 0;

    // advapi32
    virtual std::int32_t RegOpenKeyExA(Hkey root, const char* subKey, std::uint32_t options,
                                       std::uint32_t access, Hkey* result) = 0;
    virtual std::int32_t RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                                          std::uint32_t* type, std::uint8_t* data,
                                          std::uint32_t* dataSize) = 0;
    virtual std::int32_t RegCreateKeyA(Hkey root, const char* subKey, Hkey* result) = 0;
    virtual std::int32_t RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t dataSize) = 0;
    virtual std::int32_t RegCloseKey(Hkey key) = 0;

    // kernel32
    virtual std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;

    // dwmapi, Windows Vista and later: where there is none, the call fails.
    virtual std::int32_t DwmSetWindowAttribute(Hwnd hwnd, std::uint32_t attribute,
                                               const void* value, std::uint32_t size) = 0;
};

}  // namespace quorvel::platform
