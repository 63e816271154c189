#include "reveal/desktop_reveal.h"

#include <algorithm>

#include "platform/constants.h"
#include "platform/scope_exit.h"
#include "reveal/bounds.h"
#include "reveal/shell_keys.h"
#include "settings/icon_setting.h"
#include "ui/offscreen.h"

namespace quorvel {

namespace {
// A request made during a reveal is served this long after it: once the
// shell has had the time to read its keys, which a menu taking the
// foreground would lose (see FormRuntime::SendKeyBatches), as the form's
// hand-back waits for them (WindowedForm::Activated).
constexpr std::uint32_t kAfterRevealMs = 200;
}  // namespace

DesktopReveal::DesktopReveal(platform::Runtime& runtime, Forms& forms, const std::int16_t& iconMode,
                             bool secondStart)
    : runtime_(runtime),
      forms_(forms),
      iconMode_(iconMode),
      secondStart_(secondStart),
      minimiseAll_(secondStart) {
    runtime_.SecondStartTold = [this](std::uint32_t value) {
        minimiseAll_.ToldBySecondStart(runtime_, value);
    };
}

void DesktopReveal::ShowDesktop() {
    using namespace platform;
    // The reveal's waits take the messages sent to the program, and the
    // notification area sends the icon's callback ("NOTIFYICONDATA
    // structure"): a press of the icon there would run a reveal inside this
    // one, whose end lets go of what this one holds, or open the menu and
    // its dialog between Tab and Alt+M. It waits its turn.
    if (revealing_ || !waiting_.empty()) {
        Disturbed();
        // One reveal after this one serves every press made during it: the
        // desktop it shows is what each asked for, and a user clicking again
        // at a slow shell would otherwise pay for every click in turn.
        const bool joined = std::any_of(waiting_.begin(), waiting_.end(),
                                        [](const Waiting& w) { return !w.menuOrDialog; });
        runtime_.TraceNote(joined ? "reveal: a request during a reveal, joining the one waiting"
                                  : "reveal: a request during a reveal, served after it");
        if (!joined) waiting_.push_back({[this] { Reveal(); }});
        return;
    }
    Reveal();
}

void DesktopReveal::Disturbed() {
    // The press came through the taskbar, which took the foreground from the
    // shell's window for it: keys sent meanwhile had no fair try.
    if (revealing_) keysDisturbed_ = true;
}

void DesktopReveal::Reveal() {
    using namespace platform;
    {
        auto running = HoldAt(revealing_, true);
        keysDisturbed_ = false;
        // A second start takes its turn first (see MinimiseAllCheck::WayToAsk):
        // the hiding SetWindowPos below activates its form, which would take
        // the foreground from another start's keys.
        if (secondStart_) minimiseAll_.WayToAsk(runtime_);
        // Hide the taskbar button without moving or sizing the window.
        runtime_.api().SetWindowPos(forms_.TaskbarForm().hWnd(), HWND_NOTOPMOST, 300, 300, 300, 300,
                                    SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
        MinimizeAllWindows();
        if (iconMode_ > TrayOnly) forms_.TaskbarForm().SetVisible(true);
        MoveOffScreen(runtime_, forms_);
    }
    if (!waiting_.empty() && serveTimer_ == 0) {
        serveTimer_ = runtime_.SetTimeout(kAfterRevealMs, [this] { ServeWaiting(); });
    }
}

void DesktopReveal::AfterReveal(std::function<void()> request) {
    if (revealing_ || !waiting_.empty()) {
        // Served one after the other, each press's menu would come up again
        // as the last is dismissed; on an idle program a press on the icon
        // closes the menu that is up and opens its own, and one is left.
        Disturbed();
        std::erase_if(waiting_, [](const Waiting& w) { return w.menuOrDialog; });
        waiting_.push_back({std::move(request), true});
    } else {
        request();
    }
}

void DesktopReveal::ServeWaiting() {
    serveTimer_ = 0;
    while (!waiting_.empty() && serveTimer_ == 0) {
        if (!waiting_.front().menuOrDialog && !minimiseAll_.Answered()) {
            // Not before the shell has answered the last reveal: a shell slow
            // to read its keys would read this one's among them and act once
            // for both, and this request is owed an answer of its own.
            serveTimer_ = runtime_.SetTimeout(kWatchPollMs, [this] { ServeWaiting(); });
            return;
        }
        std::function<void()> next = std::move(waiting_.front().serve);
        waiting_.pop_front();
        next();
    }
}

void DesktopReveal::MinimizeAllWindows() {
    // Tab moves the shell's focus from the desktop to the taskbar, and Alt+M
    // there minimises every window. Without the shell's window in front the
    // keys would land in the user's document, so they are sent only then.
    const MinimiseAllWay learnt = minimiseAll_.WayToAsk(runtime_);
    if (learnt != MinimiseAllWay::Keys) {
        // The other ways need no window in front, and go before the shell's
        // window is brought forward: under Wine the shell's thread takes the
        // display's focus event a moment after its activation, setting the
        // key state to the keys physically held, which can let go of the
        // Windows key between it and its M. Not where the shell has no
        // window: Windows key + M with no shell to take it would reach the
        // window in front.
        if (!runtime_.HasWindowTitled(kShellTitle)) {
            runtime_.TraceNote("reveal: not served; no shell's window to ask the way seen to work");
            return;
        }
        minimiseAll_.AskLearntWay(runtime_, learnt, runtime_.shell().MinimisableWindows());
        // A click then hands the activation to the shell's window, so that
        // no form of ours stays active and the next click is a new
        // activation; a second start shows no form and spares the wait.
        if (!secondStart_) runtime_.AppActivate(kShellTitle);
        return;
    }
    // The system timer at its finest from the shell's activation to the last
    // stroke, where the waits need it (see bounds.h), and restored at once.
    auto fine = platform::Scoped([&] { runtime_.shell().HoldFineTimer(true); },
                                 [&] { runtime_.shell().HoldFineTimer(false); });
    ShellKeys keys(runtime_);
    const platform::ActivateOutcome activated =
        runtime_.AppActivate(kShellTitle, [&](platform::Hwnd t) { return keys.ReadyForKeys(t); });
    // No shell at all: nothing would take the other ways either.
    if (activated == platform::ActivateOutcome::NoWindow) return;
    if (activated != platform::ActivateOutcome::Ready) {
        // Not the keys, then, which would land in the window in front; the
        // other ways need none.
        minimiseAll_.ShellNotInFront(runtime_, activated, runtime_.shell().MinimisableWindows());
        return;
    }
    const bool altM = runtime_.SendKeys(
        "{tab}%m", [&](platform::Hwnd took) { return keys.BeforeNextStroke(took); });
    minimiseAll_.KeysSent(runtime_, keys.TakeWindowsToWatch(), altM,
                          keys.HadFairTry() && !keysDisturbed_);
}

void DesktopReveal::TaskbarFormActivated() {
    if (forms_.DialogVisible()) return;
    if (startUpActivationSeen_) {
        ShowDesktop();
    } else {
        // The activation that follows start-up shows nothing.
        startUpActivationSeen_ = true;
    }
    // Making the icon's host form the current form means the next click on
    // the taskbar button is a new activation of the taskbar form.
    forms_.IconHostForm().Show();
    forms_.IconHostForm().Hide();
}

}  // namespace quorvel
