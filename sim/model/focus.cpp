#include "sim/model/focus.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/constants.h"

namespace quorvel::sim {

using platform::Control;
using platform::ControlDescription;
using platform::ControlKind;
using platform::VK_DOWN;
using platform::VK_ESCAPE;
using platform::VK_LEFT;
using platform::VK_RETURN;
using platform::VK_RIGHT;
using platform::VK_TAB;
using platform::VK_UP;

DialogManager::DialogManager(platform::Form& form, std::function<void(Control&)> click)
    : form_(form), click_(std::move(click)) {}

bool DialogManager::Shown(const Control& control) const {
    if (!control.Visible()) return false;
    const std::string& container = control.description().container;
    return container.empty() || Shown(form_.control(container));
}

bool DialogManager::Focusable(const Control& control) const {
    ControlKind kind = control.description().kind;
    return (kind == ControlKind::CommandButton || kind == ControlKind::OptionButton ||
            kind == ControlKind::TextBox) &&
           Shown(control);
}

std::vector<Control*> DialogManager::TabStops() const {
    std::vector<Control*> stops;
    for (const auto& c : form_.controls()) {
        if (c->description().tabIndex < 0 || !Focusable(*c)) continue;
        // An option group is one tab stop: its checked option.
        if (c->description().kind == ControlKind::OptionButton && !c->Value()) continue;
        stops.push_back(c.get());
    }
    std::stable_sort(stops.begin(), stops.end(), [](Control* a, Control* b) {
        return a->description().tabIndex < b->description().tabIndex;
    });
    return stops;
}

std::vector<Control*> DialogManager::Group(const Control& option) const {
    std::vector<Control*> group;
    for (const auto& c : form_.controls()) {
        if (c->description().kind == ControlKind::OptionButton &&
            c->description().container == option.description().container && Shown(*c)) {
            group.push_back(c.get());
        }
    }
    std::stable_sort(group.begin(), group.end(), [](Control* a, Control* b) {
        return a->description().tabIndex < b->description().tabIndex;
    });
    return group;
}

Control* DialogManager::Find(bool (*which)(const ControlDescription&)) const {
    for (const auto& c : form_.controls()) {
        if (which(c->description())) return c.get();
    }
    return nullptr;
}

void DialogManager::SetFocus(Control* control) {
    if (control == nullptr || control == focus_) return;
    focus_ = control;
    // Windows' harshness: an unchecked auto radio button that receives the
    // focus checks itself and reports a click.
    if (control->description().kind == ControlKind::OptionButton && !control->Value()) {
        click_(*control);
    }
}

void DialogManager::Activated() {
    Control* saved = std::exchange(saved_, nullptr);
    if (saved != nullptr && Focusable(*saved)) {
        SetFocus(saved);
        return;
    }
    // Nothing to restore: the first tab stop there is now.
    std::vector<Control*> stops = TabStops();
    if (!stops.empty()) SetFocus(stops.front());
}

void DialogManager::Deactivated() {
    saved_ = std::exchange(focus_, nullptr);
}

void DialogManager::FocusFirstTabStop() {
    std::vector<Control*> stops = TabStops();
    if (!stops.empty()) SetFocus(stops.front());
}

void DialogManager::OptionChecked(Control& option) {
    if (focus_ == nullptr || focus_ == &option) return;
    if (focus_->description().kind != ControlKind::OptionButton) return;
    if (focus_->description().container != option.description().container) return;
    SetFocus(&option);
}

void DialogManager::ClickInto(Control& control) {
    if (Focusable(control)) SetFocus(&control);
}

void DialogManager::Key(std::uint8_t vk, bool shift) {
    if (vk == VK_ESCAPE) {
        if (Control* cancel = Find([](const ControlDescription& d) { return d.isCancel; }))
            click_(*cancel);
        return;
    }
    if (vk == VK_RETURN) {
        // The focused push button is the default one; elsewhere it is OK.
        if (focus_ != nullptr && focus_->description().kind == ControlKind::CommandButton) {
            click_(*focus_);
        } else if (Control* ok = Find([](const ControlDescription& d) { return d.isDefault; })) {
            click_(*ok);
        }
        return;
    }
    if (vk == VK_TAB) {
        std::vector<Control*> stops = TabStops();
        if (stops.empty()) return;
        auto at = std::find(stops.begin(), stops.end(), focus_);
        std::ptrdiff_t i = at == stops.end() ? -1 : at - stops.begin();
        std::ptrdiff_t n = static_cast<std::ptrdiff_t>(stops.size());
        std::ptrdiff_t next = shift ? (i < 0 ? n - 1 : (i + n - 1) % n) : (i + 1) % n;
        SetFocus(stops[static_cast<std::size_t>(next)]);
        return;
    }
    bool arrow = vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN;
    if (!arrow || focus_ == nullptr) return;
    // Arrows move within an option group (a text box keeps them).
    if (focus_->description().kind != ControlKind::OptionButton) return;
    std::vector<Control*> group = Group(*focus_);
    auto at = std::find(group.begin(), group.end(), focus_);
    if (at == group.end()) return;
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(group.size());
    std::ptrdiff_t i = at - group.begin();
    bool back = vk == VK_LEFT || vk == VK_UP;
    SetFocus(group[static_cast<std::size_t>(back ? (i + n - 1) % n : (i + 1) % n)]);
}

void DialogManager::AltKey(char letter) {
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (const auto& c : form_.controls()) {
        ControlKind kind = c->description().kind;
        if (kind != ControlKind::CommandButton && kind != ControlKind::OptionButton) continue;
        if (!Shown(*c)) continue;
        const std::string& caption = c->Caption();
        std::size_t amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
        if (lower(caption[amp + 1]) != lower(letter)) continue;
        // As a click with the mouse: the focus moves there, then it is clicked.
        SetFocus(c.get());
        click_(*c);
        return;
    }
}

}  // namespace quorvel::sim
