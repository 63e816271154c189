#include "platform/sim/sim_runtime.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "platform/instance.h"
#include "platform/keys.h"
#include "platform/sim/ansi.h"

namespace quorvel::sim {

using namespace platform;
namespace fs = std::filesystem;

namespace {
constexpr std::uint32_t kFakeIconBase = 0x7000;
constexpr std::uint8_t kVkMenu = 0x12;  // Alt

}  // namespace

class SimControl : public Control {
public:
    SimControl(SimRuntime& rt, ControlDescription description)
        : Control(std::move(description)), rt_(rt) {}
    ~SimControl() override { StopTimer(); }

    std::string Path() const override {
        Require(ControlKind::FileListBox);
        return path_;
    }
    void SetPath(const std::string& path) override;
    std::int16_t ListCount() const override {
        Require(ControlKind::FileListBox);
        return static_cast<std::int16_t>(entries_.size());
    }
    std::string List(int index) const override {
        Require(ControlKind::FileListBox);
        if (index < 0 || index >= static_cast<int>(entries_.size())) {
            throw RuntimeError("Invalid property array index");
        }
        return entries_[index];
    }
    Hicon Picture() const override {
        Require(ControlKind::PictureBox);
        return kFakeIconBase + description().iconResource;
    }
    void StopTimer() {
        if (timerId_ != 0) rt_.desk_.KillTimer(timerId_);
        timerId_ = 0;
    }

protected:
    void Changed(Property property) override {
        if (property != Property::Interval) return;
        StopTimer();
        if (Interval() == 0) return;
        timerId_ = rt_.desk_.SetTimer(rt_.pid_, Interval(), [this] {
            if (inTick_) return;  // a tick never re-enters its own handler
            ScopedFlag ticking(inTick_);
            rt_.events_.Raise(Timer);
        });
    }

private:
    SimRuntime& rt_;
    std::string path_;
    std::vector<std::string> entries_;
    int timerId_ = 0;
    bool inTick_ = false;
};

void SimControl::SetPath(const std::string& path) {
    Require(ControlKind::FileListBox);
    fs::path folder = rt_.desk_.HostPath(path);
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) throw RuntimeError("Path not found");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        fs::file_status own = entry.symlink_status(ec);
        // Files only: a folder, or a link to one, is a folder entry.
        if (fs::is_directory(own)) continue;
        if (fs::is_symlink(own) && fs::is_directory(entry.status(ec))) continue;
        std::string name = Utf8ToAnsi(entry.path().filename().string());
        if (!MatchesPattern(name, Pattern())) continue;
        std::string key = Lower(entry.path().string());
        if (rt_.desk_.files.hidden.count(key) || rt_.desk_.files.system.count(key)) continue;
        names.push_back(name);
    }
    // Sorted, so that the simulated desktop does not depend on the host's
    // directory order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return FoldCase(x) < FoldCase(y); });
    });
    if (names.size() > 32767) names.resize(32767);
    path_ = path;
    entries_ = std::move(names);
}

class SimForm : public Form {
public:
    SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents);
    ~SimForm() override;

    Hwnd hWnd() const override { return hwnd_; }
    double Left() const override { return window().x * kTwipsPerPixel; }
    double Top() const override { return window().y * kTwipsPerPixel; }
    double Width() const override { return window().width * kTwipsPerPixel; }
    double Height() const override { return window().height * kTwipsPerPixel; }
    void SetLeft(double twips) override { Movable().x = TwipsToPixels(twips); }
    void SetTop(double twips) override { Movable().y = TwipsToPixels(twips); }
    void SetWidth(double twips) override { Resized(Movable().width, TwipsToPixels(twips)); }
    void SetHeight(double twips) override { Resized(Movable().height, TwipsToPixels(twips)); }
    bool Visible() const override { return loaded_ && window().visible; }
    void SetVisible(bool visible) override;
    std::string Caption() const override { return window().title; }
    void SetCaption(std::string_view caption) override { window().title = caption; }
    void Show() override;
    void ShowModal() override;
    void Hide() override;
    void Unload() override;
    bool Loaded() const override { return loaded_; }
    void PopupMenu(std::string_view menuName) override;

    bool hiddenByProgram = false;

    void UserClick(Control& control) {
        Desktop::InProcess running(rt_.desk_, rt_.pid_);
        if (control.description().kind == ControlKind::OptionButton) control.SetValue(true);
        rt_.events_.Raise(control.Click);
    }
    void UserKey(std::uint8_t vk) {
        for (const auto& c : controls()) {
            if ((vk == VK_RETURN && c->description().isDefault) ||
                (vk == VK_ESCAPE && c->description().isCancel)) {
                UserClick(*c);
                return;
            }
        }
    }

private:
    Window& window() const {
        Window* w = rt_.desk_.Find(hwnd_);
        if (w == nullptr) throw RuntimeError("Form not loaded");
        return *w;
    }
    Window& Movable() const {
        Window& w = window();
        if (w.minimised) throw RuntimeError("Can't move or size a minimized form");
        return w;
    }
    void Resized(int& field, int pixels) {
        if (field == pixels) return;
        field = pixels;
        rt_.events_.Raise(events.Resize);
    }
    void OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam);
    void CloseRequest(std::int16_t unloadMode);
    void Destroy();

    SimRuntime& rt_;
    Hwnd hwnd_ = 0;
    bool loaded_ = true;
};

SimForm::SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents)
    : Form(description, std::move(formEvents)), rt_(rt) {
    Window w;
    w.title = description.caption;
    w.className = "ThunderForm";
    w.minimisable = description.minButton;
    w.taskbarButton = description.taskbarButton;
    // Forms other than the taskbar button's are owned by the application
    // window, so the shell gives them no button of their own.
    w.owner = description.taskbarButton ? 0 : rt.appWindow_;
    w.x = TwipsToPixels(description.client.left);
    w.y = TwipsToPixels(description.client.top);
    w.width = TwipsToPixels(description.client.width);
    w.height = TwipsToPixels(description.client.height);
    if (description.windowMenu) {
        w.systemMenu = {{SC_RESTORE, "&Restore"},    {SC_MOVE, "&Move"},         {SC_SIZE, "&Size"},
                        {SC_MINIMIZE, "Mi&nimize"},  {SC_MAXIMIZE, "Ma&ximize"}, {0, "", true},
                        {SC_CLOSE, "&Close\tAlt+F4"}};
    }
    w.proc = [this](std::uint32_t msg, std::uint32_t wp, std::uint32_t lp) {
        OnMessage(msg, wp, lp);
    };
    hwnd_ = rt.desk_.CreateWindow(rt.pid_, std::move(w));
    for (const ControlDescription& c : description.controls)
        Add(std::make_unique<SimControl>(rt, c));
    rt.forms_.push_back(this);
}

SimForm::~SimForm() {
    if (loaded_) Destroy();
}

void SimForm::SetVisible(bool visible) {
    if (!visible) {
        Hide();
    } else if (!window().visible) {
        hiddenByProgram = false;
        rt_.desk_.Show(hwnd_, false);
    }
}

void SimForm::Show() {
    hiddenByProgram = false;
    rt_.desk_.Show(hwnd_, false);
    rt_.lastActiveForm_ = this;
}

void SimForm::Hide() {
    hiddenByProgram = true;
    if (rt_.modalForm_ == nullptr) rt_.HandActivationAway();
    rt_.desk_.Hide(hwnd_);
}

void SimForm::ShowModal() {
    SimForm* outer = rt_.modalForm_;
    std::vector<Hwnd> disabled;
    for (SimForm* f : rt_.forms_) {
        Window* w = rt_.desk_.Find(f->hwnd_);
        if (f != this && w != nullptr && w->enabled) {
            w->enabled = false;
            disabled.push_back(f->hwnd_);
        }
    }
    rt_.modalForm_ = this;
    hiddenByProgram = false;
    rt_.desk_.Show(hwnd_, true);
    if (rt_.lastActiveForm_ != this) {
        rt_.lastActiveForm_ = this;
        rt_.events_.Raise(events.Activate);
    }
    {
        EventDispatcher::OutsideInput outside(rt_.events_);
        rt_.desk_.PumpUntil([this] { return !loaded_; });
    }
    rt_.modalForm_ = outer;
    for (Hwnd hwnd : disabled) {
        if (Window* w = rt_.desk_.Find(hwnd)) w->enabled = true;
    }
}

void SimForm::Unload() {
    if (!loaded_) return;
    std::int16_t cancel = 0;
    std::int16_t mode = vbFormCode;
    rt_.events_.Raise(events.QueryUnload, cancel, mode);
    if (cancel == 0) Destroy();
}

void SimForm::Destroy() {
    loaded_ = false;
    for (const auto& c : controls()) static_cast<SimControl&>(*c).StopTimer();
    if (rt_.IsOurs(rt_.desk_.Active())) {
        // Closing the dialog must not activate Form1 (that would be a click).
        SimForm* outer = rt_.modalForm_ == this ? nullptr : rt_.modalForm_;
        if (outer == nullptr) rt_.HandActivationAway();
    }
    rt_.desk_.DestroyWindow(hwnd_);
    if (rt_.lastActiveForm_ == this) rt_.lastActiveForm_ = nullptr;
    rt_.forms_.erase(std::remove(rt_.forms_.begin(), rt_.forms_.end(), this), rt_.forms_.end());
}

void SimForm::PopupMenu(std::string_view menuName) {
    std::vector<Control*> items;
    Desktop::PopupMenu menu;
    menu.pid = rt_.pid_;
    for (const auto& c : controls()) {
        if (c->description().kind == ControlKind::MenuItem &&
            c->description().container == menuName) {
            items.push_back(c.get());
            menu.items.push_back(c->Caption());
        }
    }
    Desktop& desk = rt_.desk_;
    desk.popupsShown.push_back(menu.items);
    desk.popup = menu;
    // The menu is modal: it stays until an item is chosen or it is dismissed.
    int chosen = -1;
    desk.PumpUntil([&] {
        if (desk.popup && desk.popup->chosen < 0) return false;
        if (desk.popup) chosen = desk.popup->chosen;
        desk.popup.reset();
        return true;
    });
    if (chosen >= 0 && items[chosen]->Caption() != "-") rt_.events_.Raise(items[chosen]->Click);
}

void SimForm::CloseRequest(std::int16_t unloadMode) {
    std::int16_t cancel = 0;
    rt_.events_.Raise(events.QueryUnload, cancel, unloadMode);
    if (cancel == 0 && loaded_) Destroy();
}

void SimForm::OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            // Activate is raised when the form becomes the program's current
            // form, not when the user comes back to it from another program.
            if (wParam != 0 && !rt_.events_.InHandler() && rt_.lastActiveForm_ != this) {
                rt_.lastActiveForm_ = this;
                rt_.events_.Raise(events.Activate);
            }
            break;
        case WM_MOUSEMOVE: {
            auto button = static_cast<std::int16_t>(
                ((wParam & 1) ? 1 : 0) | ((wParam & 2) ? 2 : 0) | ((wParam & 0x10) ? 4 : 0));
            // Alt is not in wParam: it is read from the keyboard now, not
            // from the thread's last-seen state, which can be stale.
            auto shift = static_cast<std::int16_t>(((wParam & 4) ? 1 : 0) | ((wParam & 8) ? 2 : 0) |
                                                   (rt_.desk_.KeyDown(kVkMenu) ? 4 : 0));
            float x =
                static_cast<float>(static_cast<std::int16_t>(lParam & 0xFFFF)) * kTwipsPerPixel;
            float y = static_cast<float>(static_cast<std::int16_t>(lParam >> 16)) * kTwipsPerPixel;
            rt_.events_.Raise(events.MouseMove, button, shift, x, y);
            break;
        }
        case WM_SYSCOMMAND:
            if (wParam == SC_CLOSE) CloseRequest(vbFormControlMenu);
            if (wParam == SC_MINIMIZE) rt_.desk_.Minimise(hwnd_);
            if (wParam == SC_RESTORE) rt_.desk_.Restore(hwnd_);
            break;
        case WM_CLOSE:
            CloseRequest(vbAppTaskManager);
            break;
        case WM_QUERYENDSESSION:
            CloseRequest(vbAppWindows);
            break;
        case WM_PAINT:
            rt_.events_.Raise(events.Paint);
            break;
        default:
            break;
    }
}

void ClickControl(Form& form, std::string_view name, int index) {
    auto& f = static_cast<SimForm&>(form);
    if (!f.Loaded() || !f.Visible()) throw std::logic_error("the form is not on the screen");
    f.UserClick(f.control(name, index));
}

void PressKey(Form& form, std::uint8_t virtualKey) {
    static_cast<SimForm&>(form).UserKey(virtualKey);
}

// --- the run time ---

SimRuntime::SimRuntime(Desktop& desktop)
    : desk_(desktop), pid_(desktop.NewProcess("quorvel.exe")), api_(desktop, pid_) {
    Desktop::NamedObject instance = desk_.CreateNamedObject(pid_, "Quorvel.Instance");
    prevInstance_ = AnotherInstanceHolds(instance.handle, instance.lastError);
    Window app;
    app.title = "Quorvel";
    app.className = "ThunderMain";
    app.taskbarButton = false;
    app.proc = [this](std::uint32_t msg, std::uint32_t, std::uint32_t) {
        if (msg == WM_TASKBARCREATED) events_.Raise(TaskbarCreated);
    };
    appWindow_ = desk_.CreateWindow(pid_, std::move(app));
}

SimRuntime::~SimRuntime() = default;

bool SimRuntime::IsOurs(Hwnd hwnd) const {
    const Window* w = desk_.Find(hwnd);
    return w != nullptr && w->pid == pid_;
}

void SimRuntime::HandActivationAway() {
    if (!IsOurs(desk_.Active())) return;
    Hwnd next = desk_.NextWindowOfOtherProgram(pid_);
    if (next != 0) desk_.Activate(next);
}

std::unique_ptr<Form> SimRuntime::CreateForm(const FormDescription& description,
                                             FormEvents events) {
    return std::make_unique<SimForm>(*this, description, std::move(events));
}

void SimRuntime::ActivateStartupForm(Form& form) {
    auto& f = static_cast<SimForm&>(form);
    if (!f.Loaded()) return;
    if (!f.hiddenByProgram) desk_.Show(f.hWnd(), false);
    desk_.Activate(f.hWnd());
}

bool SimRuntime::AppActivate(std::string_view title) {
    Hwnd target = desk_.FindByTitle(std::string(title));
    if (target == 0) return false;
    if (target == appWindow_) {
        // Our own application: its dialog comes to the front.
        if (modalForm_ == nullptr) return false;
        target = modalForm_->hWnd();
    }
    if (desk_.foregroundLocked && !IsOurs(target)) return false;
    desk_.Activate(target);
    return desk_.Active() == target;
}

void SimRuntime::SendKeys(std::string_view keys) {
    std::vector<Desktop::Key> queued;
    for (const KeyStroke& k : ParseKeys(keys)) queued.push_back({k.virtualKey, k.alt});
    desk_.QueueKeys(queued);
}

void SimRuntime::DoEvents() {
    EventDispatcher::OutsideInput outside(events_);
    desk_.RunPending();
}

int SimRuntime::MsgBox(std::string_view prompt, int style, std::string_view title) {
    desk_.messageBoxes.push_back({std::string(prompt), style, std::string(title)});
    if (desk_.messageBoxAnswers.empty()) throw SimStall("a message box nobody answers");
    int answer = desk_.messageBoxAnswers.front();
    desk_.messageBoxAnswers.pop_front();
    return answer;
}

void SimRuntime::Kill(const std::string& path) {
    fs::path file = desk_.HostPath(path);
    std::error_code ec;
    fs::file_status own = fs::symlink_status(file, ec);
    if (file.empty() || !fs::exists(own)) throw RuntimeError("File not found");
    if (fs::is_directory(own)) throw RuntimeError("Path/File access error");
    if (desk_.files.locked.count(Lower(file.string()))) throw RuntimeError("Permission denied");
    // A file without its write permission stands for a read-only one.
    if (fs::is_regular_file(own) &&
        (own.permissions() & fs::perms::owner_write) == fs::perms::none) {
        throw RuntimeError("Permission denied");
    }
    if (!fs::remove(file, ec) || ec) throw RuntimeError("Permission denied");
}

int SimRuntime::SetTimeout(std::uint32_t milliseconds, std::function<void()> f) {
    auto id = std::make_shared<int>(0);
    *id = desk_.SetTimer(pid_, milliseconds, [this, id, f = std::move(f)] {
        // One shot: the timer is stopped before its handler runs.
        ClearTimeout(*id);
        events_.Raise(f);
    });
    timeouts_.insert(*id);
    return *id;
}

void SimRuntime::ClearTimeout(int id) {
    if (timeouts_.erase(id) != 0) desk_.KillTimer(id);
}

void SimRuntime::EndProcess() {
    throw ProcessEnded{pid_};
}

}  // namespace quorvel::sim
