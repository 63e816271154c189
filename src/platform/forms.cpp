#include "platform/forms.h"

#include <utility>

namespace quorvel::platform {

Control::Control(ControlSpec spec)
    : spec_(std::move(spec)),
      visible_(spec_.visible),
      caption_(spec_.caption),
      interval_(spec_.interval) {}

void Control::Require(ControlKind kind, const char* what) const {
    if (spec_.kind != kind) throw RuntimeError(std::string("Object doesn't support ") + what);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed(Property::Visible);
}

void Control::SetCaption(std::string_view caption) {
    caption_ = caption;
    Changed(Property::Caption);
}

bool Control::Value() const {
    Require(ControlKind::OptionButton, "Value");
    return value_;
}

void Control::SetValue(bool selected) {
    Require(ControlKind::OptionButton, "Value");
    if (selected && form_ != nullptr) {
        form_->SelectOption(*this);
        return;
    }
    value_ = selected;
    Changed(Property::Value);
}

int Control::Interval() const {
    Require(ControlKind::Timer, "Interval");
    return interval_;
}

void Control::SetInterval(int milliseconds) {
    Require(ControlKind::Timer, "Interval");
    if (milliseconds < 0) throw RuntimeError("Invalid property value");
    interval_ = milliseconds;
    Changed(Property::Interval);
}

std::string Control::Path() const {
    Require(ControlKind::FileListBox, "Path");
    return {};
}
void Control::SetPath(const std::string&) {
    Require(ControlKind::FileListBox, "Path");
}
std::int16_t Control::ListCount() const {
    Require(ControlKind::FileListBox, "ListCount");
    return 0;
}
std::string Control::List(int) const {
    Require(ControlKind::FileListBox, "List");
    throw RuntimeError("Invalid property array index");
}
Hicon Control::Picture() const {
    Require(ControlKind::PictureBox, "Picture");
    return 0;
}

Form::Form(FormSpec spec, FormEvents formEvents)
    : events(std::move(formEvents)), spec_(std::move(spec)) {}

Control& Form::Add(std::unique_ptr<Control> control) {
    control->form_ = this;
    controls_.push_back(std::move(control));
    return *controls_.back();
}

Control& Form::control(std::string_view name, int index) {
    for (auto& c : controls_) {
        if (c->spec().name == name && c->spec().index == index) return *c;
    }
    throw RuntimeError("Control not found: " + std::string(name));
}

void Form::SelectOption(Control& option) {
    for (auto& c : controls_) {
        if (c->spec().kind != ControlKind::OptionButton) continue;
        if (c->spec().container != option.spec().container) continue;
        bool selected = c.get() == &option;
        if (c->value_ == selected) continue;
        c->value_ = selected;
        c->Changed(Control::Property::Value);
    }
}

}  // namespace quorvel::platform
