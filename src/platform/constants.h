// Published Win32 constants the program uses, by their published names.
// Not to be included together with <windows.h>, which defines them as macros.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace quorvel::platform {

// Published constants the program uses.
inline constexpr Hwnd HWND_TOP = 0;
inline constexpr Hwnd HWND_BOTTOM = 1;
inline constexpr Hwnd HWND_NOTOPMOST = static_cast<Hwnd>(-2);
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_NOZORDER = 0x4;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;
inline constexpr std::uint32_t SWP_HIDEWINDOW = 0x80;
inline constexpr std::uint32_t SC_SIZE = 0xF000;
inline constexpr std::uint32_t SC_MOVE = 0xF010;
inline constexpr std::uint32_t SC_MINIMIZE = 0xF020;
inline constexpr std::uint32_t SC_MAXIMIZE = 0xF030;
inline constexpr std::uint32_t SC_CLOSE = 0xF060;
inline constexpr std::uint32_t SC_RESTORE = 0xF120;
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006;
inline constexpr std::uint32_t WA_INACTIVE = 0;
inline constexpr std::uint32_t WA_ACTIVE = 1;
inline constexpr std::uint32_t SIZE_RESTORED = 0;
inline constexpr std::uint32_t SIZE_MINIMIZED = 1;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUERYENDSESSION = 0x0011;
inline constexpr std::uint32_t WM_CANCELMODE = 0x001F;
inline constexpr std::uint32_t WM_ENDSESSION = 0x0016;
// The system's colours, a system setting (which one: wParam), the visual
// style have changed.
inline constexpr std::uint32_t WM_SYSCOLORCHANGE = 0x0015;
inline constexpr std::uint32_t WM_SETTINGCHANGE = 0x001A;
inline constexpr std::uint32_t WM_THEMECHANGED = 0x031A;
inline constexpr std::uint32_t SPI_SETHIGHCONTRAST = 0x0043;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
// A window of a per-monitor aware program has come to a place of another
// density (its monitor's scale, or the scale itself, changed); the message
// before it asks the window its size there (Windows 10 1703 and later).
inline constexpr std::uint32_t WM_DPICHANGED = 0x02E0;
inline constexpr std::uint32_t WM_GETDPISCALEDSIZE = 0x02E4;
inline constexpr std::uint32_t MF_BYCOMMAND = 0;
inline constexpr std::uint32_t MF_STRING = 0;
inline constexpr std::uint32_t MF_BYPOSITION = 0x400;
inline constexpr std::uint32_t MF_SEPARATOR = 0x800;
inline constexpr std::uint32_t MONITOR_DEFAULTTONULL = 0;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 0x1;
inline constexpr std::uint32_t NIF_ICON = 0x2;
inline constexpr std::uint32_t NIF_TIP = 0x4;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x205;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x206;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 0x207;
inline constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x209;
inline constexpr std::uint32_t MK_LBUTTON = 0x01;
inline constexpr std::uint32_t MK_RBUTTON = 0x02;
inline constexpr std::uint32_t MK_SHIFT = 0x04;
inline constexpr std::uint32_t MK_CONTROL = 0x08;
inline constexpr std::uint32_t MK_MBUTTON = 0x10;
inline constexpr std::uint8_t VK_TAB = 0x09;
inline constexpr std::uint8_t VK_RETURN = 0x0D;
inline constexpr std::uint8_t VK_SHIFT = 0x10;
inline constexpr std::uint8_t VK_CONTROL = 0x11;
inline constexpr std::uint8_t VK_MENU = 0x12;
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;
inline constexpr std::uint8_t VK_LEFT = 0x25;
inline constexpr std::uint8_t VK_UP = 0x26;
inline constexpr std::uint8_t VK_RIGHT = 0x27;
inline constexpr std::uint8_t VK_DOWN = 0x28;
inline constexpr std::uint8_t VK_LWIN = 0x5B;
inline constexpr std::uint8_t VK_RWIN = 0x5C;
inline constexpr std::uint8_t VK_F4 = 0x73;
inline constexpr std::uint8_t VK_LSHIFT = 0xA0;
inline constexpr std::uint8_t VK_RSHIFT = 0xA1;
inline constexpr std::uint8_t VK_LCONTROL = 0xA2;
inline constexpr std::uint8_t VK_RCONTROL = 0xA3;
inline constexpr std::uint8_t VK_LMENU = 0xA4;
inline constexpr std::uint8_t VK_RMENU = 0xA5;
inline constexpr std::uint32_t DWMWA_TRANSITIONS_FORCEDISABLED = 3;
inline constexpr Hkey HKEY_CURRENT_USER = 0x80000001;
inline constexpr Hkey HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 1;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::int32_t ERROR_ALREADY_EXISTS = 183;
inline constexpr std::int32_t ERROR_MORE_DATA = 234;
inline constexpr std::int32_t E_HANDLE = static_cast<std::int32_t>(0x80070006);

// Window styles ("Window Styles", "Extended Window Styles").
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_NOACTIVATE = 0x08000000;

}  // namespace quorvel::platform
