// The simulated desktop's dialog manager: the focus inside a dialog form,
// saved when the form is deactivated and restored when it is activated, the
// tab order, option groups, and the keys Windows' dialog manager handles.
// As harsh as Windows: an auto radio button that receives the focus checks
// itself and reports a click.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/form.h"

namespace quorvel::sim {

class DialogManager {
public:
    // `click` is what a click on a control does to the program: an option
    // button is selected, and the control's Click is raised.
    DialogManager(platform::Form& form, std::function<void(platform::Control&)> click);

    platform::Control* Focused() const { return focus_; }
    void Activated();
    void Deactivated();
    // The run time's own step after Activate: the focus to the first tab
    // stop, now that the option group has its checked option.
    void FocusFirstTabStop();
    // The run time's own rule: when the program checks an option while the
    // focus is on another one of its group, the focus follows the check.
    void OptionChecked(platform::Control& option);

    // The user: a mouse click into a control, a key, Alt with a letter.
    void ClickInto(platform::Control& control);
    void Key(std::uint8_t vk, bool shift);
    void AltKey(char letter);

private:
    void SetFocus(platform::Control* control);
    bool Shown(const platform::Control& control) const;
    bool Focusable(const platform::Control& control) const;
    std::vector<platform::Control*> TabStops() const;
    std::vector<platform::Control*> Group(const platform::Control& option) const;
    platform::Control* Find(bool (*which)(const platform::ControlDescription&)) const;

    platform::Form& form_;
    std::function<void(platform::Control&)> click_;
    platform::Control* focus_ = nullptr;
    platform::Control* saved_ = nullptr;
};

}  // namespace quorvel::sim
