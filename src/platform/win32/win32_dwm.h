// The desktop window manager's window attributes (Windows Vista and later).
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// DwmGetWindowAttribute and DwmSetWindowAttribute, from dwmapi in the system
// folder, looked up on first need and kept: the program still starts where
// there is no dwmapi (XP), and there each call fails.
HRESULT DwmGetWindowAttribute(HWND hwnd, DWORD attribute, void* value, DWORD size);
HRESULT DwmSetWindowAttribute(HWND hwnd, DWORD attribute, const void* value, DWORD size);

}  // namespace quorvel::win32
