// Which of the program's forms is its current form, and which activations
// of the window system raise a form's Activate. Both backends feed this the
// same facts, so that every click on the taskbar form's button is one Activate
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
// | shown modelessly (the icon host's show-and-hide)    | no       | the shown form     |
// | unloaded                                            | no       | none, if it was    |
// | the start-up activation, granted or refused         | yes      | the start-up form  |
// | activated or restored while the shell settles (see  | no       | unchanged          |
// |   below)                                            |          |                    |
//
// Deactivation, hiding, minimising and the activation Windows hands to the
// next window after a minimise change nothing here: the current form stays
// what it was, so only a new activation from outside counts.
//
// At rest: the taskbar button's form is minimised whenever it is not the
// active window (and no dialog is up). When the user's window is closed,
// minimised or hidden, Windows hands the activation to the next window in
// the z-order, which may be this form: off the screen but restored (Windows'
// own shell minimises only windows with a minimise button, and this form has
// none), that hand-off would look like a click on its button and reveal.
// Minimised, the hand-off finds it minimised and counts for nothing; a click
// on its button restores it, which counts, whatever the shell.
//
// The shell settles after the program has asked it to minimise (its keys, or
// another way): until one of the program's forms has been minimised (the
// shell acting on the request) or kSettleMs have passed, activations do not
// count. A click on a minimised window's taskbar button can reach the form as
// more than one activation: the restore activates the window (before its
// WM_SIZE), and activates it again once it is over. The reveal waits for the
// end of the restore (see WindowedForm::Activated), but a shell's own steps
// may still come after the keys, a few milliseconds later, and they are the
// same click. The window is short, as a shell that acts while the form is
// hidden leaves it unminimised, and the user's next click must count.
#pragma once

#include <cstdint>

namespace quorvel::platform {

class Form;

// Whether an activation raises Activate, and why, for the program's trace.
struct Decision {
    bool raise;
    const char* why;
    explicit operator bool() const { return raise; }
};

class ActivationModel {
public:
    // An activation message reached `form`; true when its Activate is to be raised.
    // `now` is a millisecond clock.
    Decision Activated(const Form* form, bool minimised, bool ownDoing, const Form* modal,
                       std::uint32_t now) {
        if (ownDoing) return {false, "own doing"};
        if (minimised) return {false, "minimised"};
        if (Settling(now)) return {false, "shell settling"};
        return BecomesCurrent(form, modal);
    }
    // `form` came back from minimised; true when its Activate is to be raised.
    Decision Restored(const Form* form, bool active, bool ownDoing, const Form* modal,
                      std::uint32_t now) {
        if (ownDoing) return {false, "own doing"};
        if (!active) return {false, "not active"};
        if (Settling(now)) return {false, "shell settling"};
        return BecomesCurrent(form, modal);
    }
    // The program asked the shell's minimise-all: its keys sent, or its
    // automation object asked. The click that started the request can still
    // reach a form only when one was restored; a reveal from the
    // notification area or a second start leaves the taskbar button's form
    // minimised at rest, and nothing to settle.
    void ShellAsked(std::uint32_t now, bool aFormRestored) {
        settling_ = aFormRestored;
        askedAt_ = now;
    }
    // One of the program's forms was minimised: the shell has acted.
    void FormMinimised() { settling_ = false; }
    bool Settling(std::uint32_t now) const {
        return settling_ && now - askedAt_ < kSettleMs;  // wraps as the clock does
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

    // Whether the taskbar button's form, left restored while another window
    // is active, is to be minimised now (see "At rest" above).
    static bool ShouldMinimise(bool visible, bool minimised, bool active, bool enabled,
                               const Form* modal) {
        return visible && !minimised && !active && enabled && modal == nullptr;
    }

private:
    Decision BecomesCurrent(const Form* form, const Form* modal) {
        // While a form is modal the others are disabled; an activation that
        // reaches one anyway (some shells do that for a taskbar button) is
        // told to the form, which ignores it, and leaves the current form
        // alone, so that the next click after the dialog is a new one.
        if (modal != nullptr && form != modal) return {true, "counted, behind the dialog"};
        if (current_ == form) return {false, "already current"};
        current_ = form;
        return {true, "counted"};
    }

    // Longer than a shell takes to finish the click that started the keys
    // (under 100 ms on a busy machine), shorter than two clicks 250 ms apart.
    static constexpr std::uint32_t kSettleMs = 200;
    const Form* current_ = nullptr;
    bool settling_ = false;
    std::uint32_t askedAt_ = 0;
};

}  // namespace quorvel::platform
