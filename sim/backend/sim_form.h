// A form on the simulated desktop: a window of the desktop's, whose messages
// go to the form, and the tests' driver for what the user does to it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/control_colours.h"
#include "platform/owned.h"
#include "platform/windowed_form.h"
#include "sim/model/desktop.h"
#include "sim/model/focus.h"

namespace quorvel::sim {

class SimRuntime;

// What the user does to the program's own controls, for the tests' driver:
// a click on a control or menu item, and keys in a dialog (see focus.h).
void ClickControl(platform::Form& form, platform::Control& control);
void PressKey(platform::Form& form, std::uint8_t virtualKey, bool shift = false);
void PressAltKey(platform::Form& form, char letter);
// The control of a dialog form that has the focus; null while it is inactive.
platform::Control* FocusedControl(platform::Form& form);
// Where the form put a control's window in its container, in pixels, and the
// height of the font it gave its controls (LOGFONT's lfHeight).
platform::ClientArea ControlPlace(platform::Form& form, std::string_view name, int index = 0);
int ControlFontHeight(platform::Form& form);

// A brush of the simulated desktop's, freed as DeleteObject frees it.
struct DeleteSimBrush {
    Colours* colours = nullptr;
    void operator()(std::uint32_t brush) const { colours->DeleteObject(brush); }
};
using SimBrush = platform::Owned<std::uint32_t, DeleteSimBrush>;

class SimForm : public platform::WindowedForm {
public:
    SimForm(SimRuntime& rt, const platform::FormDescription& description,
            platform::FormEvents formEvents);
    ~SimForm() override;

    Hwnd hWnd() const override { return hwnd_; }
    std::string Caption() const override { return window().title; }
    void SetCaption(std::string_view caption) override { window().title = caption; }

    // The user, for the driver above.
    void UserClick(platform::Control& control);
    void UserKey(std::uint8_t vk, bool shift);
    void UserAltKey(char letter);
    platform::Control* Focused() const;
    platform::ClientArea Placed(const platform::Control& control) const;
    int fontHeight() const { return fontHeight_; }

protected:
    platform::ClientArea WindowArea() const override {
        const Window& w = window();
        return {w.x, w.y, w.width, w.height};
    }
    void PlaceWindow(const platform::ClientArea& area) override;
    bool WindowVisible() const override { return window().visible; }
    bool WindowMinimised() const override { return window().minimised; }
    bool WindowEnabled() const override { return window().enabled; }
    bool IsForeground() const override;
    bool IsActive() const override { return IsForeground(); }
    void EnableWindow(bool enabled) override { desk_.EnableWindow(hwnd_, enabled); }
    void ShowWindow(platform::Showing how) override;
    void DestroyWindow() override;
    void Post(platform::Deferred what) override;
    void StopControlTimers() override;
    platform::Control* TrackMenu(std::string_view menuName) override;
    void FocusFirstTabStop() override {
        if (dialog_) dialog_->FocusFirstTabStop();
    }
    bool AltDown() const override;
    // Its controls as the window system draws them.
    void Draw() override;

private:
    Window& window() const;
    // What a click does to the program: an option button is selected, and
    // the control's Click is raised.
    void Press(platform::Control& control);
    std::intptr_t OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam);
    // The controls' windows and font at the form's density, as the real
    // backend places them.
    void LayOut();
    std::intptr_t DensityChanged(std::uint32_t msg, std::uint32_t wParam);

    SimRuntime& rt_;
    Desktop& desk_;
    Hwnd hwnd_ = 0;
    std::unique_ptr<DialogManager> dialog_;
    std::map<const platform::Control*, platform::ClientArea> places_;
    int fontHeight_ = 0;
    platform::ControlPaint<SimBrush> paint_;
};

}  // namespace quorvel::sim
