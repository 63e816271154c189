#include "sim/backend/sim_form.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/constants.h"
#include "platform/errors.h"
#include "platform/message_words.h"
#include "platform/scope_exit.h"
#include "sim/backend/sim_control.h"
#include "sim/backend/sim_runtime.h"

namespace quorvel::sim {

using namespace platform;

SimForm::SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents)
    : WindowedForm(rt, description, std::move(formEvents)), rt_(rt), desk_(rt.desktop()) {
    Window w;
    w.title = description.caption;
    w.className = "ThunderForm";
    w.taskbarButton = description.taskbarButton;
    w.minimiseBox = description.minButton;
    // Forms other than the taskbar button's are owned by the application
    // window, so the shell gives them no button of their own.
    w.owner = description.taskbarButton ? 0 : rt.applicationWindow();
    const ClientArea area = DesignArea();
    w.x = area.x;
    w.y = area.y;
    w.width = area.width;
    w.height = area.height;
    if (description.windowMenu) {
        w.systemMenu = {{SC_RESTORE, "&Restore"},    {SC_MOVE, "&Move"},         {SC_SIZE, "&Size"},
                        {SC_MINIMIZE, "Mi&nimize"},  {SC_MAXIMIZE, "Ma&ximize"}, {0, "", true},
                        {SC_CLOSE, "&Close\tAlt+F4"}};
    }
    w.proc = [this](std::uint32_t msg, std::uint32_t wp, std::uint32_t lp) {
        return OnMessage(msg, wp, lp);
    };
    hwnd_ = desk_.CreateWindow(rt.pid(), std::move(w));
    {
        // Placed again at the density of its monitor: no event yet.
        auto building = platform::HoldAt(creating_, true);
        TakeDensity(window().pixelsPerInch);
    }
    for (const ControlDescription& c : description.controls)
        Add(std::make_unique<SimControl>(rt, dispatcher(), c));
    if (description.dialog) {
        dialog_ = std::make_unique<DialogManager>(*this, [this](Control& c) { Press(c); });
        for (const auto& c : controls()) static_cast<SimControl&>(*c).dialog = dialog_.get();
    }
    LayOut();
}

void SimForm::LayOut() {
    for (const auto& c : controls()) places_[c.get()] = ControlArea(c->description());
    fontHeight_ = FontHeight();
}

ClientArea SimForm::Placed(const Control& control) const {
    auto it = places_.find(&control);
    if (it == places_.end()) throw std::logic_error("no such control");
    return it->second;
}

std::intptr_t SimForm::DensityChanged(std::uint32_t msg, std::uint32_t wParam) {
    Window::Area& suggested = window().suggested;
    if (msg == WM_GETDPISCALEDSIZE) {
        const auto size = SizeAskedFor(static_cast<std::int32_t>(wParam));
        if (!size) return 0;  // FALSE
        suggested.width = size->width;
        suggested.height = size->height;
        return 1;
    }
    if (!TakeDensityTold(wParam)) return 0;
    LayOut();
    if (!window().minimised) {
        PlaceWindow({suggested.x, suggested.y, suggested.width, suggested.height});
    }
    DensityApplied();
    return 0;
}

SimForm::~SimForm() {
    if (Loaded()) Destroy();
}

Window& SimForm::window() const {
    Window* w = desk_.Find(hwnd_);
    if (w == nullptr) throw RuntimeError("Form not loaded");
    return *w;
}

void SimForm::UserClick(Control& control) {
    desk_.foreground.UserInput(rt_.pid());
    // A click with the mouse puts the focus on what it clicks.
    if (dialog_) dialog_->ClickInto(control);
    Press(control);
}

void SimForm::Press(Control& control) {
    auto running = desk_.InProcess(rt_.pid());
    if (control.description().kind == ControlKind::OptionButton) control.SetValue(true);
    dispatcher().Raise(control.Click);
}

void SimForm::UserKey(std::uint8_t vk, bool shift) {
    desk_.foreground.UserInput(rt_.pid());
    if (dialog_) {
        dialog_->Key(vk, shift);
        return;
    }
    for (const auto& c : controls()) {
        if ((vk == VK_RETURN && c->description().isDefault) ||
            (vk == VK_ESCAPE && c->description().isCancel)) {
            UserClick(*c);
            return;
        }
    }
}

void SimForm::UserAltKey(char letter) {
    desk_.foreground.UserInput(rt_.pid());
    if (dialog_) dialog_->AltKey(letter);
}

Control* SimForm::Focused() const {
    return dialog_ ? dialog_->Focused() : nullptr;
}

void SimForm::PlaceWindow(const ClientArea& area) {
    Window& w = window();
    const bool sized = w.width != area.width || w.height != area.height;
    w.x = area.x;
    w.y = area.y;
    w.width = area.width;
    w.height = area.height;
    // As Windows tells a window that it has a new size, and of a new
    // density where it now is.
    if (sized) desk_.SendSize(hwnd_, SIZE_RESTORED);
    desk_.CheckDensity(hwnd_);
}

bool SimForm::IsForeground() const {
    return desk_.Active() == hwnd_;
}

void SimForm::ShowWindow(Showing how) {
    switch (how) {
        case Showing::NoActivate:
            desk_.Show(hwnd_, false);
            break;
        case Showing::Activate:
            desk_.Show(hwnd_, true);
            break;
        case Showing::Hide:
            desk_.Hide(hwnd_);
            break;
        case Showing::MinimiseNoActivate:
            desk_.Minimise(hwnd_);
            break;
    }
}

void SimForm::DestroyWindow() {
    desk_.DestroyWindow(hwnd_);
}

void SimForm::Post(Deferred what) {
    desk_.Post(hwnd_, kDeferredMessage, static_cast<std::uint32_t>(what));
}

void SimForm::StopControlTimers() {
    for (const auto& c : controls()) static_cast<SimControl&>(*c).StopTimer();
}

bool SimForm::AltDown() const {
    return desk_.KeyDown(VK_MENU);
}

Control* SimForm::TrackMenu(std::string_view menuName) {
    std::vector<Control*> items;
    std::vector<std::string> captions;
    for (const auto& c : controls()) {
        if (c->description().kind == ControlKind::MenuItem &&
            c->description().container == menuName) {
            items.push_back(c.get());
            captions.push_back(c->Caption());
        }
    }
    const int chosen = desk_.TrackPopupMenu(hwnd_, captions);
    return chosen >= 0 && items[chosen]->Caption() != "-" ? items[chosen] : nullptr;
}

std::intptr_t SimForm::OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    if (paint_.Told(msg, wParam)) desk_.colours.RedrawWindow(hwnd_);
    if (msg == WM_GETDPISCALEDSIZE || msg == WM_DPICHANGED) return DensityChanged(msg, wParam);
    // The dialog manager saves or restores the focus before Activate.
    if (msg == WM_ACTIVATE && dialog_) {
        // The low word says how; the high word, whether it is minimised.
        if (LowWord(wParam) == WA_INACTIVE) dialog_->Deactivated();
        if (LowWord(wParam) != WA_INACTIVE) dialog_->Activated();
    }
    std::intptr_t result = 0;
    if (Message(msg, wParam, lParam, result)) return result;
    return desk_.DefWindowProc(hwnd_, msg, wParam, lParam);
}

void SimForm::Draw() {
    // Option buttons and text boxes ask their form for their colours before
    // they are drawn (WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT), as the real
    // backend's controls do, and are drawn on the brush it answers; push
    // buttons are drawn in the system's colours whatever their form would
    // answer ("WM_CTLCOLORBTN message").
    Colours& model = desk_.colours;
    const auto scheme = [&model] {
        return platform::ColourScheme{model.system(), model.highContrast()};
    };
    const auto brush = [&model](platform::Colour colour) {
        return SimBrush(model.CreateSolidBrush(colour), DeleteSimBrush{&model});
    };
    for (const auto& c : controls()) {
        const ControlDescription& d = c->description();
        platform::DrawnColours drawn{model.system().buttonText, model.system().buttonFace};
        if (d.kind == ControlKind::OptionButton || d.kind == ControlKind::TextBox) {
            const auto [colours, answered] = paint_.For(d, scheme, brush);
            drawn.text = colours.text;
            // A control fills its background with the brush it was given:
            // one deleted, or none, is no colour at all here.
            drawn.background = model.BrushColour(answered).value_or(kDefaultColour);
        } else if (d.kind != ControlKind::CommandButton) {
            continue;
        }
        model.Drew(hwnd_, d.name, d.index, drawn);
    }
}

// --- the user, for the tests' driver ---

void ClickControl(Form& form, Control& control) {
    auto& f = static_cast<SimForm&>(form);
    if (!f.Loaded() || !f.Visible()) throw std::logic_error("the form is not on the screen");
    f.UserClick(control);
}

void PressKey(Form& form, std::uint8_t virtualKey, bool shift) {
    static_cast<SimForm&>(form).UserKey(virtualKey, shift);
}

void PressAltKey(Form& form, char letter) {
    static_cast<SimForm&>(form).UserAltKey(letter);
}

Control* FocusedControl(Form& form) {
    return static_cast<SimForm&>(form).Focused();
}

ClientArea ControlPlace(Form& form, std::string_view name, int index) {
    return static_cast<SimForm&>(form).Placed(form.control(name, index));
}

int ControlFontHeight(Form& form) {
    return static_cast<SimForm&>(form).fontHeight();
}

}  // namespace quorvel::sim
