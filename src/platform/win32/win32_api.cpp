#include "platform/win32/win32_api.h"

#include <cstring>

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/handles.h"
#include "platform/win32/look_up.h"
#include "platform/win32/win32_dwm.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

namespace {

// The shell's library is loaded when the notification area is first used.
// Linked, it would be loaded with the libraries it needs at every start,
// also by a second start and in taskbar-only mode, which never use it. From
// the system folder, as every library the program loads itself: Windows
// would take its own copy of a known DLL anyway, but one rule is easier to
// keep than a list of the names it spares.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
    using Function = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
    static const auto function =
        LookUp<Function>(LoadSystemLibrary("shell32.dll"), "Shell_NotifyIconA");
    return function != nullptr && function(message, data);
}
}  // namespace

std::int32_t Win32Api::SetWindowPos(platform::Hwnd hwnd, platform::Hwnd insertAfter, int x, int y,
                                    int cx, int cy, std::uint32_t flags) {
    return ::SetWindowPos(ToHwnd(hwnd), ToHwnd(insertAfter), x, y, cx, cy, flags);
}

platform::Hwnd Win32Api::FindWindowA(const char* className, const char* windowName) {
    return FromHwnd(::FindWindowA(className, windowName));
}

platform::Hmenu Win32Api::GetSystemMenu(platform::Hwnd hwnd, std::int32_t revert) {
    return FromHandle(::GetSystemMenu(ToHwnd(hwnd), revert));
}

std::uint32_t Win32Api::GetMenuItemID(platform::Hmenu menu, int position) {
    return ::GetMenuItemID(ToHandle<HMENU>(menu), position);
}

std::int32_t Win32Api::ModifyMenuA(platform::Hmenu menu, std::uint32_t position,
                                   std::uint32_t flags, std::uint32_t newId, const char* newItem) {
    return ::ModifyMenuA(ToHandle<HMENU>(menu), position, flags, newId, newItem);
}

std::int32_t Win32Api::DeleteMenu(platform::Hmenu menu, std::uint32_t position,
                                  std::uint32_t flags) {
    return ::DeleteMenu(ToHandle<HMENU>(menu), position, flags);
}

platform::Hmonitor Win32Api::MonitorFromPoint(int x, int y, std::uint32_t flags) {
    return FromHandle(::MonitorFromPoint(POINT{x, y}, flags));
}

int Win32Api::GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

std::int32_t Win32Api::Shell_NotifyIconA(std::uint32_t message, const void* record) {
#ifdef _WIN64
    // The program builds the 88-byte record of 32-bit Windows, whose handles
    // are 32-bit fields; a 64-bit build (used for testing under 64-bit Wine)
    // hands the same values to the shell in its own layout.
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    auto field = [bytes](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, bytes + at, sizeof v);
        return v;
    };
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = ToHwnd(field(4));
    data.uID = field(8);
    data.uFlags = field(12);
    data.uCallbackMessage = field(16);
    data.hIcon = ToHandle<HICON>(field(20));
    std::memcpy(data.szTip, bytes + 24, 64);
    data.szTip[63] = '\0';
    return NotifyIcon(message, &data);
#else
    // The 88-byte first form of the record, which every shell accepts.
    return NotifyIcon(message,
                      const_cast<NOTIFYICONDATAA*>(static_cast<const NOTIFYICONDATAA*>(record)));
#endif
}

std::int32_t Win32Api::RegOpenKeyExA(platform::Hkey root, const char* subKey, std::uint32_t options,
                                     std::uint32_t access, platform::Hkey* result) {
    HKEY key = nullptr;
    LONG rc = ::RegOpenKeyExA(ToHandle<HKEY>(root), subKey, options, access, &key);
    if (rc == ERROR_SUCCESS) *result = FromHandle(key);
    return rc;
}

std::int32_t Win32Api::RegQueryValueExA(platform::Hkey key, const char* valueName,
                                        std::uint32_t* reserved, std::uint32_t* type,
                                        std::uint8_t* data, std::uint32_t* dataSize) {
    static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
    return ::RegQueryValueExA(ToHandle<HKEY>(key), valueName, reinterpret_cast<LPDWORD>(reserved),
                              reinterpret_cast<LPDWORD>(type), data,
                              reinterpret_cast<LPDWORD>(dataSize));
}

std::int32_t Win32Api::RegCreateKeyA(platform::Hkey root, const char* subKey,
                                     platform::Hkey* result) {
    HKEY key = nullptr;
    LONG rc = ::RegCreateKeyA(ToHandle<HKEY>(root), subKey, &key);
    if (rc == ERROR_SUCCESS) *result = FromHandle(key);
    return rc;
}

std::int32_t Win32Api::RegSetValueExA(platform::Hkey key, const char* valueName,
                                      std::uint32_t reserved, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t dataSize) {
    return ::RegSetValueExA(ToHandle<HKEY>(key), valueName, reserved, type, data, dataSize);
}

std::int32_t Win32Api::RegCloseKey(platform::Hkey key) {
    return ::RegCloseKey(ToHandle<HKEY>(key));
}

std::uint32_t Win32Api::GetWindowsDirectoryA(char* buffer, std::uint32_t size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

std::int32_t Win32Api::DwmSetWindowAttribute(platform::Hwnd hwnd, std::uint32_t attribute,
                                             const void* value, std::uint32_t size) {
    return win32::DwmSetWindowAttribute(ToHwnd(hwnd), attribute, value, size);
}

}  // namespace quorvel::win32
