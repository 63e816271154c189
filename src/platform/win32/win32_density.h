// The density of a monitor and a window's frame at a density (a form's
// layout at its density is in win32_density.cpp too): where Windows
// gives each monitor its own scale (8.1 and later) and where it has one for
// the whole system (before 8.1, and whenever the program is not per-monitor
// aware). Every function for this came with a later Windows than the
// program's oldest, so each is looked up (see look_up.h), none imported.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// The system's density: the main monitor's scale when the user signed in.
int SystemDensity();

// The density Windows gave `window`: the scale of the monitor it overlaps
// most where the program is per-monitor aware, else the system's.
int WindowDensity(HWND window);

// Widens the client area `r` by the frame of a window of these styles at
// `pixelsPerInch`: Windows draws a per-monitor aware window's frame at its
// monitor's density (Windows 10 1607 and later), else at the system's.
void AddFrame(RECT& r, DWORD style, DWORD exStyle, int pixelsPerInch);

}  // namespace quorvel::win32
