// The invariants of what the program shows and keeps: the setting and the
// mode in force, its icon and button, rest, the activation given back, the
// captions' colours.
#include <algorithm>
#include <cstdio>

#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "ui/form_controls.h"
#include "unit/random_invariants.h"

namespace quorvel::testing::randomised {

namespace {

Failure Broken(const char* invariant, std::string detail) {
    return {invariant, std::move(detail)};
}

std::string Hex(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", colour);
    return text;
}

bool Stored123(const sim::Desktop& desk) {
    const auto value = desk.registry.Get(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue);
    if (!value || value->type != platform::REG_SZ) return false;
    const std::string text(value->data.begin(), value->data.end());
    return text == std::string("1\0", 2) || text == std::string("2\0", 2) ||
           text == std::string("3\0", 2);
}

}  // namespace

void Invariants::NoteInteraction(const Action& a) {
    World& w = world_;
    switch (a.act) {
        case Act::Tray:
            if (a.args[0] % 4 == 1 && !w.DialogOpen() && !w.desk.KeyDown(platform::VK_MENU)) {
                // The menu goes up; Esc leaves in front what was there
                // where the menu could not take the foreground, else gives
                // it back to the user's window.
                const Hwnd front = w.desk.Active();
                interaction_ = Interaction{userWindow_, false,
                                           w.IsOthers(front) || w.IsShells(front) ? front : 0};
                expectInFront_.reset();
                return;
            }
            break;
        case Act::WindowMenu:
            if (w.WindowMenuChoice(a) == "&Configure") {
                interaction_ = Interaction{userWindow_, false, 0};  // the dialog opens
                expectInFront_.reset();
                return;
            }
            break;
        case Act::MenuEsc:
            if (interaction_ && !interaction_->movedOn) {
                expectInFront_ = *interaction_;
                expectInFront_->reveals = w.RevealsBegun();
                expectInFront_->menusAtEsc = w.desk.seen.popups.size();
                expectInFront_->dueMs = Now() + kHandBackWithinMs;
            }
            interaction_.reset();
            return;
        case Act::MenuAway:
            // The window clicked stays in front.
            expectInFront_ = Interaction{w.Other(a.args[0]), false, 0, Now() + kHandBackWithinMs,
                                         w.RevealsBegun()};
            interaction_.reset();
            return;
        case Act::Item:
            // Configure and About go on into the dialog.
            if (a.args[0] % 4 == 0 || a.args[0] % 4 == 3) interaction_.reset();
            return;
        case Act::AltF4:
            if (w.DialogInFront()) return;  // the dialog closes
            break;
        case Act::Button:
        case Act::Option:
        case Act::DialogKey:
        case Act::Hold:
        case Act::Busy:
        case Act::Slow:
        case Act::TaskbarCreated:
        case Act::Dpi:
        case Act::Colours:
        case Act::HighContrast:
        case Act::HighContrastTheme:
        case Act::Theme:
        case Act::Setting:
        case Act::Plant:
        case Act::Lock:
        case Act::Rest:
            return;  // nothing that moves the user's attention
        default:
            break;
    }
    if (interaction_) interaction_->movedOn = true;
    expectInFront_.reset();
}

std::optional<Failure> Invariants::Setting() {
    const auto& calls = world_.desk.seen.calls;
    bool wrote = false, read = false;
    for (; callsRead_ < calls.size(); ++callsRead_) {
        wrote = wrote || calls[callsRead_].rfind("RegSetValueExA(", 0) == 0;
        // Every read of the setting opens its key; a write creates it.
        read = read || calls[callsRead_].rfind("RegOpenKeyExA(", 0) == 0;
    }
    if (wrote && !Stored123(world_.desk)) {
        return Broken("setting",
                      "the program wrote, and the stored value is no \"1\", \"2\" or \"3\"");
    }
    if (read) modeRead_ = ModeOfStored(world_.desk);
    App* app = world_.Running();
    if (app != nullptr && modeRead_ > 0 && app->IconMode() != modeRead_) {
        return Broken("setting", "mode " + std::to_string(app->IconMode()) +
                                     " in force, the value last read gives " +
                                     std::to_string(modeRead_));
    }
    return std::nullopt;
}

std::optional<Failure> Invariants::Reachable() {
    sim::Desktop& desk = world_.desk;
    // A shell still starting refuses the icon: the program asks again every
    // 2 seconds after each refusal.
    if (world_.shellStarts != shellStartsSeen_) {
        shellStartsSeen_ = world_.shellStarts;
        refusalsLeft_ = world_.shellRefusedAdds;
    }
    if (desk.tray.refuseAdds < refusalsLeft_) iconRetryUntil_ = Now() + 2100;
    refusalsLeft_ = desk.tray.refuseAdds;
    App* app = world_.Running();
    if (app == nullptr || world_.DialogOpen() || world_.ShellAway()) return std::nullopt;
    const std::int16_t mode = app->IconMode();
    const Hwnd host = world_.HostWindow();
    const bool icon = host != 0 && desk.FindTrayIcon(host, 1) != nullptr;
    // A retry due while the program was busy (inside a reveal, or beside a
    // second start, which this desktop runs to its end) comes once it is
    // back in its loop: a timer of its overdue may be that retry.
    if ((mode == TrayOnly || mode == BothIcons) && !icon && Now() >= iconRetryUntil_ &&
        !desk.TimerOverdue(world_.RunningPid())) {
        return Broken("reachable", "mode " + std::to_string(mode) + " and no icon" +
                                       (host == 0 ? " (no icon host form)" : ""));
    }
    if ((mode == TaskbarOnly || mode == BothIcons) &&
        !desk.HasTaskbarButton(app->TaskbarForm().hWnd())) {
        return Broken("reachable", "mode " + std::to_string(mode) + " and no taskbar button");
    }
    return std::nullopt;
}

std::optional<Failure> Invariants::Rest() {
    sim::Desktop& desk = world_.desk;
    if (desk.EffectiveTickUs() < desk.timing.tickUs)
        return Broken("rest", "the finest timer resolution is held");
    App* app = world_.Running();
    if (app == nullptr || world_.LoopOpen() || Now() < quietFrom_) return std::nullopt;
    std::size_t allowed = 0;
    const Hwnd host = world_.HostWindow();
    // The dialog's activation timer polls on once the dialog closed before
    // it found it; the icon is tried again while the shell refused it.
    if (host != 0 && app->IconHostControls().activationTimer.Interval() != 0) ++allowed;
    const std::int16_t mode = app->IconMode();
    if ((mode == TrayOnly || mode == BothIcons) &&
        (host == 0 || desk.FindTrayIcon(host, 1) == nullptr)) {
        ++allowed;
    }
    if (desk.RunningTimers() > allowed) {
        return Broken("rest", std::to_string(desk.RunningTimers()) + " timers run at rest, " +
                                  std::to_string(allowed) + " may");
    }
    return std::nullopt;
}

std::optional<Failure> Invariants::HandBack() {
    const bool dialog = world_.DialogOpen();
    if (dialogWasOpen_ && !dialog && world_.Running() != nullptr && interaction_) {
        // Its close handed the activation on at once.
        if (!interaction_->movedOn)
            expectInFront_ =
                Interaction{interaction_->user, false, 0, Now(), world_.RevealsBegun()};
        interaction_.reset();
    }
    dialogWasOpen_ = dialog;
    // An Esc that reached no menu (another thread took the foreground from
    // its owner, which leaves the menu up under Wine) closed nothing: what
    // closes the menu decides, an item chosen from it among them.
    if (expectInFront_ && expectInFront_->menusAtEsc && world_.MenuOpen() &&
        world_.desk.seen.popups.size() == *expectInFront_->menusAtEsc) {
        interaction_ = Interaction{expectInFront_->user, false, expectInFront_->before};
        expectInFront_.reset();
    }
    if (!expectInFront_ || Now() < expectInFront_->dueMs) return std::nullopt;
    const Interaction expected = *std::exchange(expectInFront_, std::nullopt);
    if (world_.RevealsBegun() > expected.reveals) return std::nullopt;
    const Hwnd user = expected.user;
    if (user == 0 || world_.Running() == nullptr || !world_.TakesActivation(user))
        return std::nullopt;
    const Hwnd front = world_.desk.Active();
    const Hwnd before = expected.before;
    if (front == user ||
        (before != 0 && (front == before || (world_.IsShells(before) && world_.IsShells(front))))) {
        return std::nullopt;
    }
    const sim::Window* w = world_.desk.Find(front);
    return Broken("hand-back", "\"" + world_.desk.Find(user)->title + "\" had been in front, now " +
                                   (w == nullptr ? std::string("none")
                                                 : "\"" + w->title + "\" (" + w->className + ")"));
}

std::optional<Failure> Invariants::ContrastOfCaptions() {
    App* app = world_.Running();
    if (app == nullptr || !app->DialogVisible()) return std::nullopt;
    platform::Form& dialog = *app->ConfigureDialogForm();
    // Painted again once the messages before its WM_PAINT are handled.
    if (world_.desk.colours.Invalid(dialog.hWnd())) return std::nullopt;
    for (const auto& c : dialog.controls()) {
        const platform::ControlDescription& d = c->description();
        const auto drawn = world_.desk.colours.DrawnWith(dialog.hWnd(), d.name, d.index);
        if (!drawn) continue;
        const double ratio = Contrast(drawn->text, drawn->background);
        if (ratio < kReadable) {
            char r[16];
            std::snprintf(r, sizeof r, "%.2f", ratio);
            return Broken("contrast", d.name + "(" + std::to_string(d.index) + ") \"" +
                                          c->Caption() + "\": " + Hex(drawn->text) + " on " +
                                          Hex(drawn->background) + ", " + r + ":1");
        }
    }
    return std::nullopt;
}

}  // namespace quorvel::testing::randomised
