// Which of the program's forms is its current form, and which activations
// of the window system raise a form's Activate. Both backends feed this the
// same facts, so that every click on Form1's taskbar button is one Activate
// and nothing else is:
//
// | What reaches the form                               | Activate | Current form after |
// |-----------------------------------------------------|----------|--------------------|
// | activated from outside, not minimised, not current  | yes      | this form          |
// | activated while minimised (a shell may do this      | no       | unchanged          |
// |   before it restores the window)                    |          |                    |
// | restored from minimised while active, from outside, | yes      | this form          |
// |   not current (a click on a minimised form's button)|          |                    |
// | activated or restored by the program's own handler  | no       | unchanged          |
// |   (SetWindowPos, a message box, a menu's owner)     |          |                    |
// | activated while another form is modal               | yes      | unchanged          |
// | activated again while current (back from elsewhere) | no       | unchanged          |
// | shown modelessly (Form2's show-and-hide)            | no       | the shown form     |
// | unloaded                                            | no       | none, if it was    |
// | the start-up activation, granted or refused         | yes      | the start-up form  |
//
// | activated or restored while the shell settles (see | no       | unchanged          |
// |   below)                                            |          |                    |
//
// Deactivation, hiding, minimising and the activation Windows hands to the
// next window after a minimise change nothing here: the current form stays
// what it was, so only a new activation from outside counts.
//
// The shell settles after the program has sent it keystrokes: until one of
// the program's forms has been minimised (the shell acting on the keys) or
// kSettleMs have passed, activations do not count. A click on a minimised
// window's taskbar button can reach the form as more than one activation:
// the restore activates the window (before its WM_SIZE), and the window is
// activated again afterwards; when the reveal run on the first has handed
// the foreground to the shell, the next, a few milliseconds later, is the
// same click. The window is short, as a shell that acts while the form is
// hidden leaves it unminimised, and the user's next click must count.
#pragma once

#include <cstdint>

namespace quorvel::platform {

class Form;

class ActivationModel {
public:
    // An activation message reached `form`; true when its Activate is to be raised.
    // `now` is a millisecond clock.
    bool Activated(const Form* form, bool minimised, bool ownDoing, const Form* modal,
                   std::uint32_t now) {
        if (ownDoing || minimised || Settling(now)) return false;
        return BecomesCurrent(form, modal);
    }
    // `form` came back from minimised; true when its Activate is to be raised.
    bool Restored(const Form* form, bool active, bool ownDoing, const Form* modal,
                  std::uint32_t now) {
        if (ownDoing || !active || Settling(now)) return false;
        return BecomesCurrent(form, modal);
    }
    // The program sent keystrokes to the shell's window.
    void KeysSent(std::uint32_t now) {
        settling_ = true;
        keysSentAt_ = now;
    }
    // One of the program's forms was minimised: the shell has acted.
    void Minimised() { settling_ = false; }
    bool Settling(std::uint32_t now) const {
        return settling_ && now - keysSentAt_ < kSettleMs;  // wraps as the clock does
    }
    // The run time's own activation of the start-up form: raised once,
    // whether or not the window system let the form take the foreground.
    void StartupActivation(const Form* form) { current_ = form; }
    // A modeless show makes the form current without activating it, so the
    // next activation of another form is a new one.
    void Shown(const Form* form) { current_ = form; }
    void Unloaded(const Form* form) {
        if (current_ == form) current_ = nullptr;
    }
    const Form* current() const { return current_; }

private:
    bool BecomesCurrent(const Form* form, const Form* modal) {
        // While a form is modal the others are disabled; an activation that
        // reaches one anyway (some shells do that for a taskbar button) is
        // told to the form, which ignores it, and leaves the current form
        // alone, so that the next click after the dialog is a new one.
        if (modal != nullptr && form != modal) return true;
        if (current_ == form) return false;
        current_ = form;
        return true;
    }

    // Longer than a shell takes to finish the click that started the keys
    // (under 100 ms on a busy machine), shorter than two clicks 250 ms apart.
    static constexpr std::uint32_t kSettleMs = 200;
    const Form* current_ = nullptr;
    bool settling_ = false;
    std::uint32_t keysSentAt_ = 0;
};

}  // namespace quorvel::platform
