// The dialog manager the conformance tests run against: the simulated
// desktop's focus model on the host, Windows' (Wine's user32) under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "conformance/layout_check.h"
#include "platform/control_colours.h"
#include "platform/form.h"
#include "platform/runtime.h"

namespace quorvel::testing {

inline constexpr std::uint8_t kTab = 0x09;
inline constexpr std::uint8_t kEnter = 0x0D;
inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kUp = 0x26;
inline constexpr std::uint8_t kDown = 0x28;

class DialogTarget {
public:
    virtual ~DialogTarget() = default;
    virtual platform::Runtime& runtime() = 0;
    // Shows `form` modally; `inside` runs from its modal loop once it is up,
    // and the call returns when the form has been unloaded.
    virtual void RunModal(platform::Form& form, const std::function<void()>& inside) = 0;
    // The control of the modal form that has the focus, or null.
    virtual platform::Control* Focused() = 0;
    // The user: keys into the focused control, a mouse click into a control.
    virtual void Key(std::uint8_t vk, bool shift = false) = 0;
    virtual void AltKey(char letter) = 0;
    virtual void ClickInto(platform::Control& control) = 0;
    // Another program's window becomes the active one.
    virtual void ActivateOtherWindow() = 0;
    // The user comes back to the modal form: with Alt+Tab, or by a click on
    // its title bar.
    virtual void SwitchBack() = 0;
    virtual void ClickTitle() = 0;

    // The modal form's place now has `pixelsPerInch` (its monitor's scale
    // changed, or it went to a monitor of another), told as Windows 10 tells
    // a per-monitor aware window: asked for its size there
    // (WM_GETDPISCALEDSIZE), then given that size at the same place
    // (WM_DPICHANGED). True when it answered with a size of its own (TRUE)
    // and the window then has the size suggested.
    virtual bool ChangeDensity(int pixelsPerInch) = 0;
    // How the modal form shows its controls, and its client area's size.
    virtual LaidOut Shown() = 0;
    virtual platform::ClientArea ClientSize() = 0;

    // The system's colours, and the user setting them (SetSysColors: every
    // top-level window is told, and the visible ones are painted again).
    virtual platform::SystemColours CurrentColours() = 0;
    virtual void SetSystemColours(const platform::SystemColours& colours) = 0;
    // Whether `control` of the modal form, painted to the end, has to be
    // painted again once the form is told `msg` as Windows tells every
    // top-level window.
    virtual bool RepaintAfter(std::uint32_t msg, std::uint32_t wParam,
                              platform::Control& control) = 0;
    // What an option button or text box of the modal form is drawn with
    // now: the text, and the colour of the brush that fills its background.
    virtual platform::DrawnColours DrawnWith(platform::Control& control) = 0;
    // The brushes the modal form holds for its controls.
    virtual std::size_t BrushesHeld() = 0;
};

DialogTarget& Dialogs();

}  // namespace quorvel::testing
