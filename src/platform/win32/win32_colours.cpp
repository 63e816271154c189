#include "platform/win32/win32_colours.h"

namespace quorvel::win32 {

namespace {
BOOL CALLBACK TellOfNewColours(HWND child, LPARAM) {
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
}  // namespace

platform::ColourScheme SystemColourScheme() {
    platform::ColourScheme scheme;
    scheme.system = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT),
                     GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    // "HIGHCONTRASTA structure": the flag is HCF_HIGHCONTRASTON of dwFlags;
    // uiParam is the structure's size. A failed call is no high contrast.
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    scheme.highContrast =
        SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return scheme;
}

void RepaintInNewColours(HWND form, UINT msg) {
    // "WM_SYSCOLORCHANGE message": it comes to top-level windows only, and
    // one with common controls on it hands it on to them, or they keep the
    // old colours. The option buttons and the edit control are those of
    // the common controls (the manifest's version 6).
    if (msg == WM_SYSCOLORCHANGE) EnumChildWindows(form, TellOfNewColours, 0);
    // Each control is drawn again, and asks the form for its colours anew.
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace quorvel::win32
