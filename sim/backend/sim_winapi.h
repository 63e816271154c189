// The Win32 functions, carried out on the simulated desktop for one process.
// Every call is logged in the desktop's call log with its arguments.
#pragma once

#include <string>

#include "platform/constants.h"
#include "platform/winapi.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

// "Function(argument, ...)" in the desktop's call log, each argument already
// as text: a Win32 call a program made.
template <typename... Texts>
void LogCall(Desktop& desk, const char* function, const Texts&... arguments) {
    std::string call = std::string(function) + "(";
    const char* separator = "";
    ((call += separator, call += arguments, separator = ", "), ...);
    desk.seen.calls.push_back(call + ")");
}
std::string Hex(std::uint32_t v);

class SimWinApi : public platform::WinApi {
public:
    SimWinApi(Desktop& desktop, int pid) : desk_(desktop), pid_(pid) {}

    std::int32_t SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) override;
    Hwnd FindWindowA(const char* className, const char* windowName) override;
    platform::Hmenu GetSystemMenu(Hwnd hwnd, std::int32_t revert) override;
    std::uint32_t GetMenuItemID(platform::Hmenu menu, int position) override;
    std::int32_t ModifyMenuA(platform::Hmenu menu, std::uint32_t position, std::uint32_t flags,
                             std::uint32_t newId, const char* newItem) override;
    std::int32_t DeleteMenu(platform::Hmenu menu, std::uint32_t position,
                            std::uint32_t flags) override;
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
    std::int32_t DwmSetWindowAttribute(Hwnd hwnd, std::uint32_t attribute, const void* value,
                                       std::uint32_t size) override;
    platform::Hmonitor MonitorFromPoint(int x, int y, std::uint32_t flags) override;
    int GetSystemMetrics(int index) override;

private:
    template <typename... Texts>
    void Log(const char* function, const Texts&... arguments) {
        LogCall(desk_, function, arguments...);
    }
    Desktop& desk_;
    int pid_;
};

}  // namespace quorvel::sim
