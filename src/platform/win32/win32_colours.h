// The colour scheme as Windows tells it, and a form painted again in a new
// one (see platform/control_colours.h for what is drawn with it).
#pragma once

#include <windows.h>

#include "platform/control_colours.h"

namespace quorvel::win32 {

// The system's colours (GetSysColor) and the high-contrast flag
// (SystemParametersInfoA with SPI_GETHIGHCONTRAST).
platform::ColourScheme SystemColourScheme();

// After `msg` told the form's window of a new scheme: its controls are told
// too where they must be, and everything on the form is drawn again.
void RepaintInNewColours(HWND form, UINT msg);

}  // namespace quorvel::win32
