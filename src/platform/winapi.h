// The Win32 functions the program calls by name, with 32-bit handles and
// ANSI strings. The Win32 backend forwards each to the real function; the
// simulated desktop carries each out on its own model of Windows.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace quorvel::platform {

// Published constants the program uses.
inline constexpr Hwnd HWND_NOTOPMOST = static_cast<Hwnd>(-2);
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_HIDEWINDOW = 0x80;
inline constexpr std::uint32_t SC_MOVE = 0xF010;
inline constexpr std::uint32_t SC_CLOSE = 0xF060;
inline constexpr std::uint32_t MF_BYCOMMAND = 0;
inline constexpr std::uint32_t MF_STRING = 0;
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x205;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 0x207;
inline constexpr Hkey HKEY_CURRENT_USER = 0x80000001;
inline constexpr Hkey HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 1;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_MORE_DATA = 234;

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

    // shell32: the record is the 88-byte NOTIFYICONDATAA.
    virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, const void* record) = 0;

    // advapi32
    virtual std::int32_t RegOpenKeyExA(Hkey root, const char* subKey, std::uint32_t options,
                                       std::uint32_t access, Hkey* result) = 0;
    virtual std::int32_t RegQueryValueExA(Hkey key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual std::int32_t RegCreateKeyA(Hkey root, const char* subKey, Hkey* result) = 0;
    virtual std::int32_t RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                        std::uint32_t type, const std::uint8_t* data,
                                        std::uint32_t dataSize) = 0;
    virtual std::int32_t RegCloseKey(Hkey key) = 0;

    // kernel32
    virtual std::uint32_t GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;
};

}  // namespace quorvel::platform
