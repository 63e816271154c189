// Letting the shell's broadcasts through to an elevated program.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The window-message filter's functions, looked up at run time: the
// per-window one exists from Windows 7, the per-process one from Vista, and
// neither before.
struct MessageFilter {
    using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
    PerWindow perWindow = nullptr;    // ChangeWindowMessageFilterEx
    PerProcess perProcess = nullptr;  // ChangeWindowMessageFilter
};
MessageFilter LookUpMessageFilter(HMODULE user32);

// Lets `message` reach `window` from programs of a lower integrity level, as
// the shell is when this program runs elevated: per window where possible,
// else for the process. False when the system has no filter (nothing to do)
// or refused.
bool AllowThroughMessageFilter(const MessageFilter& filter, HWND window, UINT message);
// Lets `message` reach `window` alone, where the per-window filter exists
// (Windows 7 and later); never through Vista's per-process one, whose page
// advises against it: there the message stays filtered. False when not let through.
bool AllowThroughWindowFilter(const MessageFilter& filter, HWND window, UINT message);

}  // namespace quorvel::win32
