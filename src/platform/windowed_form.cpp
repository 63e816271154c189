#include "platform/windowed_form.h"

#include <algorithm>
#include <cmath>

#include "platform/constants.h"
#include "platform/errors.h"
#include "platform/form_runtime.h"
#include "platform/message_words.h"
#include "platform/twips.h"

namespace quorvel::platform {

namespace {
// A form that the shell activated again while it settles hands the
// activation back this long after: once the shell has had the time to act
// on the keys (activated in the middle of them, it would forget the Tab).
constexpr std::uint32_t kHandBackAfterMs = 200;
}  // namespace

WindowedForm::WindowedForm(FormRuntime& runtime, FormDescription description, FormEvents events)
    : Form(std::move(description), std::move(events)),
      runtime_(runtime),
      pixelsPerInch_(runtime.SystemPixelsPerInch()),
      widthTwips_(this->description().client.width),
      heightTwips_(this->description().client.height) {
    runtime_.forms_.push_back(this);
}

WindowedForm::~WindowedForm() {
    // Unloaded, the form has left the run time's forms already; one whose
    // backend could not make it (its window refused) never got that far.
    auto& forms = runtime_.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

EventDispatcher& WindowedForm::dispatcher() const {
    return runtime_.events_;
}

void WindowedForm::RequireLoaded() const {
    if (!loaded_) throw RuntimeError("Form not loaded");
}

int WindowedForm::Pixels(double twips) const {
    return TwipsToPixels(twips, pixelsPerInch_);
}

double WindowedForm::Twips(int pixels) const {
    return PixelsToTwips(pixels, pixelsPerInch_);
}

ClientArea WindowedForm::ControlArea(const ControlDescription& control) const {
    const TwipsRect& r = control.rect;
    const int x = Pixels(r.left);
    const int y = Pixels(r.top);
    return {x, y, Pixels(r.left + r.width) - x, Pixels(r.top + r.height) - y};
}

int WindowedForm::FontHeight() const {
    constexpr int kPoints = 8;
    constexpr int kPointsPerInch = 72;
    return -static_cast<int>(
        std::lround(static_cast<double>(kPoints) * pixelsPerInch_ / kPointsPerInch));
}

ClientArea WindowedForm::DesignArea() const {
    const TwipsRect& c = description().client;
    return {Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height)};
}

void WindowedForm::TakeDensity(int pixelsPerInch) {
    if (pixelsPerInch == pixelsPerInch_) return;
    // Where the design put it at the system's density decided the monitor;
    // there its twips are pixels of that monitor.
    const ClientArea at = WindowArea();
    const double left = Twips(at.x);
    const double top = Twips(at.y);
    pixelsPerInch_ = pixelsPerInch;
    const ClientArea size = ScaledSize(pixelsPerInch);
    PlaceWindow({Pixels(left), Pixels(top), size.width, size.height});
}

ClientArea WindowedForm::ScaledSize(int pixelsPerInch) const {
    return {0, 0, TwipsToPixels(widthTwips_, pixelsPerInch),
            TwipsToPixels(heightTwips_, pixelsPerInch)};
}

std::optional<ClientArea> WindowedForm::SizeAskedFor(std::intptr_t wParam) const {
    constexpr std::intptr_t kMostInAWord = 0xFFFF;
    if (wParam <= 0 || wParam > kMostInAWord) return std::nullopt;
    return ScaledSize(static_cast<int>(wParam));
}

bool WindowedForm::TakeDensityTold(std::uint32_t wParam) {
    const int vertical = HighWord(wParam);
    if (vertical == 0) return false;
    pixelsPerInch_ = vertical;
    return true;
}

ClientArea WindowedForm::Area() const {
    RequireLoaded();
    return WindowArea();
}

void WindowedForm::Place(int ClientArea::*field, double twips) {
    ClientArea area = Area();
    if (Minimised()) throw RuntimeError("Can't move or size a minimized form");
    const int pixels = Pixels(twips);
    if (field == &ClientArea::width) widthTwips_ = twips;
    if (field == &ClientArea::height) heightTwips_ = twips;
    // Already there: under Wine even a move that moves nothing costs round
    // trips to the server, and the forms are put off the screen again on
    // every show, resize and repaint.
    if (area.*field == pixels) return;
    area.*field = pixels;
    PlaceWindow(area);
}

void WindowedForm::ShowAnimatedOnlyIfDialog(Showing how) {
    // The taskbar form rests minimised beyond the screen's top-left corner and every
    // click on its button restores it: with Windows' window animations on,
    // the window manager would animate each restore from the taskbar button
    // to that corner, and each minimise back. The icon host form is shown and hidden
    // after every activation, which it would animate too, off the screen and
    // for nobody. The Configure dialog is the user's window, and opens and
    // closes as every other does. Turned off before a window is first shown,
    // not when it is made: a second start, whose windows are never shown,
    // then never loads the window manager's library (a good part of its
    // start under Wine).
    if (!transitionsOff_ && !description().dialog) {
        transitionsOff_ = true;
        const std::int32_t disabled = 1;  // TRUE
        runtime_.api().DwmSetWindowAttribute(hWnd(), DWMWA_TRANSITIONS_FORCEDISABLED, &disabled,
                                             sizeof disabled);
    }
    ShowWindow(how);
}

void WindowedForm::SetVisible(bool visible) {
    RequireLoaded();
    if (!visible) {
        Hide();
    } else if (!WindowVisible()) {
        // Shown without taking the activation from the user's window: no
        // Activate, and the next click on the taskbar button activates it.
        hiddenByProgram_ = false;
        ShowAnimatedOnlyIfDialog(Showing::NoActivate);
        if (description().taskbarButton) Post(Deferred::MinimiseUnlessActive);
    }
}

void WindowedForm::Show() {
    RequireLoaded();
    hiddenByProgram_ = false;
    ShowAnimatedOnlyIfDialog(Showing::NoActivate);
    // The shown form is the program's current form, so that the next
    // activation of another form is an Activate of that form.
    runtime_.activation_.Shown(this);
}

void WindowedForm::Hide() {
    RequireLoaded();
    hiddenByProgram_ = true;
    // Hiding never leaves the activation with another of the program's forms:
    // activating the taskbar form is what its button's click does.
    if (runtime_.modalForm_ == nullptr) runtime_.HandActivationAway();
    ShowWindow(Showing::Hide);
}

void WindowedForm::ShowModal() {
    RequireLoaded();
    WindowedForm* outer = runtime_.modalForm_;
    std::vector<WindowedForm*> disabled;
    for (WindowedForm* f : runtime_.forms_) {
        if (f != this && f->loaded_ && f->WindowEnabled()) {
            f->EnableWindow(false);
            disabled.push_back(f);
        }
    }
    runtime_.modalForm_ = this;
    hiddenByProgram_ = false;
    runtime_.NoteUserWindow();
    ShowAnimatedOnlyIfDialog(Showing::Activate);
    if (runtime_.activation_.current() != this) {
        runtime_.activation_.Shown(this);
        Raise(events.Activate);
    }
    if (loaded_) FocusFirstTabStop();
    {
        auto outside = runtime_.events_.OutsideInput();
        runtime_.PumpUntil([this] { return !loaded_; });
    }
    runtime_.modalForm_ = outer;
    const auto& forms = runtime_.forms_;
    for (WindowedForm* f : disabled) {
        // Unloaded meanwhile, it is gone.
        if (std::find(forms.begin(), forms.end(), f) == forms.end()) continue;
        f->EnableWindow(true);
        // Its rest waited for the dialog: left restored, Windows' hand-off of
        // the activation (the user's window closing) would read as a click.
        if (f->description().taskbarButton) f->Post(Deferred::MinimiseUnlessActive);
    }
}

void WindowedForm::PopupMenu(std::string_view menuName) {
    RequireLoaded();
    // The hand-back of a menu closed just before is no longer due: run inside
    // this one's loop, it would take the foreground from the menu's owner,
    // and the menu would no longer hear its keys, Esc among them.
    runtime_.ClearTimeout(handBack_);
    handBack_ = 0;
    runtime_.NoteUserWindow(true);  // the icon's menu, for a press
    // The menu's owner is made the foreground window first, or a click
    // elsewhere would not close the menu ("TrackPopupMenu function"), and
    // its keys, Esc among them, would go to the window in front. Refused (a
    // menu served after a reveal, the user gone on to another window since
    // the press), the menu is not shown: nothing would close it.
    if (!runtime_.RequestForeground(hWnd()) && !IsForeground()) {
        runtime_.Trace(*this, "menu", "not shown; the foreground refused");
        return;
    }
    if (Control* item = TrackMenu(menuName)) {
        Raise(item->Click);
        return;
    }
    // Left without a choice (Esc, a click elsewhere): the keyboard would
    // stay with this form, which nobody sees, and Alt+F4 would be its. It
    // goes back to the user's window, once the input that closed the menu
    // has been handled: a timer's message comes after every input message
    // ("GetMessage"), so a click on another window has activated that window
    // by then, and it stays in front.
    runtime_.Trace(*this, "menu", "closed without a choice");
    runtime_.ClearTimeout(handBack_);
    handBack_ = runtime_.SetTimeout(0, [this] { HandBackDue(); });
}

void WindowedForm::Unload() {
    if (loaded_) CloseRequest(vbFormCode);
}

void WindowedForm::CloseRequest(std::int16_t unloadMode) {
    std::int16_t cancel = 0;
    Raise(events.QueryUnload, cancel, unloadMode);
    if (cancel == 0 && loaded_) Destroy();
}

void WindowedForm::Destroy() {
    loaded_ = false;
    StopControlTimers();
    runtime_.ClearTimeout(handBack_);
    // Closing the dialog must not hand the activation to the taskbar form: to
    // the shell that would be a click on its button.
    if (runtime_.modalForm_ == this || runtime_.modalForm_ == nullptr) {
        runtime_.HandActivationAway();
    }
    DestroyWindow();
    runtime_.activation_.Unloaded(this);
    auto& forms = runtime_.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

bool WindowedForm::Message(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam,
                           std::intptr_t& result) {
    result = 0;
    switch (msg) {
        case WM_ACTIVATE:
            if (LowWord(wParam) == WA_INACTIVE) {
                Deactivated();
            } else {
                // lParam: the window deactivated ("WM_ACTIVATE message"). A
                // form in front, the user's window is the one it took the
                // activation from: a taskbar's last step of a click may
                // activate the taskbar form after the user's window came.
                // The shell's window it took it from may be the taskbar a
                // press on the icon made the foreground: the one noted stays.
                runtime_.NoteUserWindow(static_cast<Hwnd>(lParam), true);
                Activated(HighWord(wParam) != 0);
            }
            return true;
        case WM_SIZE:
            Sized(wParam == SIZE_RESTORED    ? Sizing::Restored
                  : wParam == SIZE_MINIMIZED ? Sizing::Minimised
                                             : Sizing::Other);
            return true;
        case WM_MOUSEMOVE:
            // The notification-area callback arrives here too, with the
            // icon's identifier in wParam and the mouse message in lParam.
            MouseMoved(wParam, lParam);
            return true;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return false;
            CloseRequest(vbFormControlMenu);
            return true;
        case WM_CLOSE:
            CloseRequest(vbAppTaskManager);
            return true;
        case WM_QUERYENDSESSION:
            CloseRequest(vbAppWindows);
            result = loaded_ ? 0 : 1;  // a form that stays keeps the session
            return true;
        case WM_PAINT:
            Draw();
            Raise(events.Paint);
            return true;
        case kDeferredMessage:
            if (loaded_) RunDeferred(static_cast<Deferred>(wParam));
            return true;
        default:
            return false;
    }
}

void WindowedForm::Activated(bool minimised) {
    // Which activations raise Activate: see platform/activation.h. A click on
    // the taskbar button of a minimised form counts once it has restored it.
    const std::uint32_t now = runtime_.Now();
    const Decision decision = runtime_.activation_.Activated(
        this, minimised, runtime_.events_.InHandler() || creating_, runtime_.modalForm_, now);
    runtime_.Trace(*this, "activation", decision.why);
    if (decision) {
        // This click has been told, also when it is a restore still under
        // way: Windows activates a restored window before it sends its WM_SIZE.
        restoreCheckPending_ = false;
        restoreTold_ = minimised_;
        if (description().taskbarButton) {
            // Raised once the window system is done with the click. A
            // restore activates the window in the middle of its work and
            // then gives it the focus and activates it again: run inside the
            // first, a reveal would hand the foreground to the shell before
            // the rest of the restore, which takes it back while the shell
            // may still be reading the keys.
            Post(Deferred::Activate);
        } else {
            Raise(events.Activate);
        }
    } else if (!minimised && !runtime_.events_.InHandler() && runtime_.activation_.Settling(now)) {
        // The shell's second step of the click that has just revealed: left
        // in front, the form's next click would minimise it instead of
        // activating it. The activation goes back once the shell has acted.
        runtime_.Trace(*this, "hand-back", "in 200 ms");
        runtime_.ClearTimeout(handBack_);
        handBack_ = runtime_.SetTimeout(kHandBackAfterMs, [this] { HandBackDue(); });
    }
}

void WindowedForm::Deactivated() {
    // Not from inside the deactivation: minimising a window that is still
    // being deactivated would hand the activation on.
    if (description().taskbarButton) Post(Deferred::MinimiseUnlessActive);
}

void WindowedForm::HandBackDue() {
    handBack_ = 0;
    // The window system's doing, not the program's: what the hand-away
    // causes is decided as any activation from outside is.
    auto outside = runtime_.events_.OutsideInput();
    if (IsForeground() && runtime_.modalForm_ == nullptr) {
        runtime_.Trace(*this, "hand-back", "now");
        runtime_.HandActivationAway();
    }
}

void WindowedForm::Sized(Sizing sizing) {
    const bool restored = sizing == Sizing::Restored && minimised_;
    // Back from minimised: looked at once the restore is over (it may still
    // activate the form), and only when the program's own code did not do it.
    if (restored && !restoreTold_ && !runtime_.events_.InHandler() && !creating_) {
        restoreCheckPending_ = true;
        Post(Deferred::RestoreCheck);
    }
    // Restored from outside while another window is active (a shell's "undo
    // minimise all"): back to rest.
    if (restored && description().taskbarButton && !IsForeground())
        Post(Deferred::MinimiseUnlessActive);
    // A WM_SIZE of a form that stays minimised (moved by the program, say)
    // is no end of the restore under way.
    if (!(minimised_ && sizing == Sizing::Minimised)) restoreTold_ = false;
    minimised_ = sizing == Sizing::Minimised;
    if (minimised_) runtime_.activation_.FormMinimised();
    Raise(events.Resize);
}

void WindowedForm::RunDeferred(Deferred what) {
    if (what == Deferred::MinimiseUnlessActive) {
        MinimiseUnlessActive();
        return;
    }
    if (what == Deferred::Activate) {
        Raise(events.Activate);
        return;
    }
    // Only when the restore's own activation has not told the form.
    if (restoreCheckPending_ && loaded_ && !WindowMinimised()) {
        const Decision decision = runtime_.activation_.Restored(
            this, IsActive(), false, runtime_.modalForm_, runtime_.Now());
        runtime_.Trace(*this, "restore", decision.why);
        if (decision) Raise(events.Activate);
    }
    restoreCheckPending_ = false;
}

void WindowedForm::MinimiseUnlessActive() {
    // See "At rest" in platform/activation.h. Without activation: the
    // user's window keeps the keyboard.
    if (!loaded_ ||
        !ActivationModel::ShouldMinimise(WindowVisible(), WindowMinimised(), IsForeground(),
                                         WindowEnabled(), runtime_.modalForm_)) {
        return;
    }
    runtime_.Trace(*this, "rest", "minimised");
    ShowAnimatedOnlyIfDialog(Showing::MinimiseNoActivate);
}

void WindowedForm::MouseMoved(std::uint32_t keys, std::uint32_t position) {
    auto button =
        static_cast<std::int16_t>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                  ((keys & MK_MBUTTON) ? 4 : 0));
    auto shift = static_cast<std::int16_t>(((keys & MK_SHIFT) ? 1 : 0) |
                                           ((keys & MK_CONTROL) ? 2 : 0) | (AltDown() ? 4 : 0));
    float x = static_cast<float>(SignedLowWord(position)) * kTwipsPerPixel;
    float y = static_cast<float>(SignedHighWord(position)) * kTwipsPerPixel;
    // The icon's callbacks tell the user's window: the pointer moves over
    // the icon with it in front, before a press. The callback's mouse
    // message stands where a position would ("NOTIFYICONDATA structure").
    runtime_.NoteUserWindow(LowWord(position) != WM_MOUSEMOVE);
    Raise(events.MouseMove, button, shift, x, y);
}

}  // namespace quorvel::platform
