#include "platform/form.h"

#include <utility>

#include "platform/event_dispatcher.h"
#include "platform/file_pattern.h"
#include "platform/scope_exit.h"

namespace quorvel::platform {

Control::Control(ControlDescription description)
    : description_(std::move(description)),
      visible_(description_.visible),
      caption_(description_.caption),
      interval_(description_.interval) {}

void Control::Require(ControlKind kind) const {
    if (description_.kind != kind)
        throw RuntimeError("Object doesn't support this property or method");
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
    Require(ControlKind::OptionButton);
    return value_;
}

void Control::SetValue(bool selected) {
    Require(ControlKind::OptionButton);
    if (selected && form_ != nullptr) {
        form_->SelectOption(*this);
        return;
    }
    value_ = selected;
    Changed(Property::Value);
}

int Control::Interval() const {
    Require(ControlKind::Timer);
    return interval_;
}

void Control::SetInterval(int milliseconds) {
    Require(ControlKind::Timer);
    if (milliseconds < 0) throw RuntimeError("Invalid property value");
    interval_ = milliseconds;
    Changed(Property::Interval);
}

std::string Control::Path() const {
    Require(ControlKind::FileListBox);
    return path_;
}

void Control::SetPath(const std::string& path) {
    BeginPath(path);
    while (!ReadMore([] { return true; })) {
    }
}

void Control::BeginPath(const std::string& path) {
    Require(ControlKind::FileListBox);
    std::string folder = path;
    std::unique_ptr<FolderReading> reading = OpenFolder(folder);
    path_ = std::move(folder);
    entries_.clear();
    reading_ = std::move(reading);
}

bool Control::ReadMore(const std::function<bool()>& goOn) {
    Require(ControlKind::FileListBox);
    std::string name;
    do {
        // A fuller folder is cleaned of the rest at later starts.
        if (reading_ == nullptr || entries_.size() >= kMaxListCount || !reading_->Next(name)) {
            reading_.reset();  // the folder's listing closed as soon as it is over
            return true;
        }
        if (!name.empty()) entries_.push_back(std::move(name));
    } while (goOn());
    return false;
}

std::int16_t Control::ListCount() const {
    Require(ControlKind::FileListBox);
    return static_cast<std::int16_t>(entries_.size());
}

std::string Control::List(int index) const {
    Require(ControlKind::FileListBox);
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        throw RuntimeError("Invalid property array index");
    }
    return entries_[index];
}

void Control::RaiseTimer(EventDispatcher& events) {
    if (inTick_) return;
    auto ticking = HoldAt(inTick_, true);
    events.Raise(Timer);
}

std::unique_ptr<Control::FolderReading> Control::OpenFolder(std::string&) const {
    throw RuntimeError("Path not found");
}

Hicon Control::Picture() const {
    Require(ControlKind::PictureBox);
    return 0;
}

Form::Form(FormDescription description, FormEvents formEvents)
    : events(std::move(formEvents)), description_(std::move(description)) {}

Control& Form::Add(std::unique_ptr<Control> control) {
    control->form_ = this;
    controls_.push_back(std::move(control));
    return *controls_.back();
}

Control& Form::control(std::string_view name, int index) {
    for (auto& c : controls_) {
        if (c->description().name == name && c->description().index == index) return *c;
    }
    throw RuntimeError("Control not found");
}

void Form::SelectOption(Control& option) {
    for (auto& c : controls_) {
        if (c->description().kind != ControlKind::OptionButton) continue;
        if (c->description().container != option.description().container) continue;
        bool selected = c.get() == &option;
        if (c->value_ == selected) continue;
        c->value_ = selected;
        c->Changed(Control::Property::Value);
    }
}

}  // namespace quorvel::platform
