#include "platform/sim/sim_runtime.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "platform/instance.h"
#include "platform/keys.h"
#include "platform/sim/ansi.h"
#include "platform/sim/focus.h"

namespace quorvel::sim {

using namespace platform;
namespace fs = std::filesystem;

namespace {
constexpr std::uint32_t kFakeIconBase = 0x7000;
constexpr std::uint8_t kVkMenu = 0x12;  // Alt
// Posted to the taskbar button's form once it is no longer the active
// window (see "At rest" in platform/activation.h).
constexpr std::uint32_t kRestMessage = 0x8002;

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

    DialogManager* dialog = nullptr;  // of its form, when that is a dialog

protected:
    void Changed(Property property) override {
        if (property == Property::Value && dialog != nullptr && Value()) {
            dialog->OptionChecked(*this);
        }
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
    // ListCount is a 16-bit whole number, so the list holds at most 32,767
    // names; a fuller folder is cleaned of the rest at later starts.
    if (names.size() > kMaxListCount) names.resize(kMaxListCount);
    path_ = path;
    entries_ = std::move(names);
}

class SimForm : public Form {
public:
    SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents);
    ~SimForm() override;

    Hwnd hWnd() const override { return hwnd_; }
    double Left() const override { return Twips(window().x); }
    double Top() const override { return Twips(window().y); }
    double Width() const override { return Twips(window().width); }
    double Height() const override { return Twips(window().height); }
    void SetLeft(double twips) override { Movable().x = Pixels(twips); }
    void SetTop(double twips) override { Movable().y = Pixels(twips); }
    void SetWidth(double twips) override { Resized(Movable().width, Pixels(twips)); }
    void SetHeight(double twips) override { Resized(Movable().height, Pixels(twips)); }
    int Pixels(double twips) const { return TwipsToPixels(twips, rt_.desk_.pixelsPerInch); }
    double Twips(int pixels) const { return PixelsToTwips(pixels, rt_.desk_.pixelsPerInch); }
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
        // A click with the mouse puts the focus on what it clicks.
        if (dialog_) dialog_->ClickInto(control);
        Press(control);
    }
    void Press(Control& control) {
        Desktop::InProcess running(rt_.desk_, rt_.pid_);
        if (control.description().kind == ControlKind::OptionButton) control.SetValue(true);
        rt_.events_.Raise(control.Click);
    }
    void UserKey(std::uint8_t vk, bool shift) {
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

private:
    Window& window() const {
        Window* w = rt_.desk_.Find(hwnd_);
        if (w == nullptr) throw RuntimeError("Form not loaded");
        return *w;
    }
    void Require() const {
        if (!loaded_) throw RuntimeError("Form not loaded");
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
    void Rest();
    void CloseRequest(std::int16_t unloadMode);
    void Destroy();

    SimRuntime& rt_;
    Hwnd hwnd_ = 0;
    bool loaded_ = true;

public:
    std::unique_ptr<DialogManager> dialog_;
};

SimForm::SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents)
    : Form(description, std::move(formEvents)), rt_(rt) {
    Window w;
    w.title = description.caption;
    w.className = "ThunderForm";
    w.taskbarButton = description.taskbarButton;
    w.minimiseBox = description.minButton;
    // Forms other than the taskbar button's are owned by the application
    // window, so the shell gives them no button of their own.
    w.owner = description.taskbarButton ? 0 : rt.appWindow_;
    w.x = Pixels(description.client.left);
    w.y = Pixels(description.client.top);
    w.width = Pixels(description.client.width);
    w.height = Pixels(description.client.height);
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
    if (description.dialog) {
        dialog_ = std::make_unique<DialogManager>(*this, [this](Control& c) { Press(c); });
        for (const auto& c : controls()) static_cast<SimControl&>(*c).dialog = dialog_.get();
    }
    rt.forms_.push_back(this);
}

SimForm::~SimForm() {
    if (loaded_) Destroy();
}

void SimForm::SetVisible(bool visible) {
    Require();
    if (!visible) {
        Hide();
    } else if (!window().visible) {
        hiddenByProgram = false;
        rt_.desk_.Show(hwnd_, false);
        if (description().taskbarButton) rt_.desk_.Post(hwnd_, kRestMessage);
    }
}

void SimForm::Rest() {
    const Window& w = window();
    if (ActivationModel::ToRest(w.visible, w.minimised, rt_.desk_.Active() == hwnd_, w.enabled,
                                rt_.modalForm_)) {
        rt_.desk_.Minimise(hwnd_);
    }
}

void SimForm::Show() {
    Require();
    hiddenByProgram = false;
    rt_.desk_.Show(hwnd_, false);
    rt_.activation_.Shown(this);
}

void SimForm::Hide() {
    Require();
    hiddenByProgram = true;
    if (rt_.modalForm_ == nullptr) rt_.HandActivationAway();
    rt_.desk_.Hide(hwnd_);
}

void SimForm::ShowModal() {
    Require();
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
    if (rt_.activation_.current() != this) {
        rt_.activation_.Shown(this);
        rt_.events_.Raise(events.Activate);
    }
    if (dialog_ && loaded_) dialog_->FocusFirstTabStop();
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
    rt_.activation_.Unloaded(this);
    rt_.forms_.erase(std::remove(rt_.forms_.begin(), rt_.forms_.end(), this), rt_.forms_.end());
}

void SimForm::PopupMenu(std::string_view menuName) {
    Require();
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
            if (dialog_ && wParam == 0) dialog_->Deactivated();
            if (dialog_ && wParam != 0) dialog_->Activated();
            if (wParam == 0 && description().taskbarButton) rt_.desk_.Post(hwnd_, kRestMessage);
            // Which activations raise Activate: see platform/activation.h.
            if ((wParam & 0xFFFF) != 0 &&
                rt_.activation_.Activated(this, (wParam >> 16) != 0, rt_.events_.InHandler(),
                                          rt_.modalForm_, rt_.Clock())) {
                rt_.events_.Raise(events.Activate);
            }
            break;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED &&
                rt_.activation_.Restored(this, rt_.desk_.Active() == hwnd_, rt_.events_.InHandler(),
                                         rt_.modalForm_, rt_.Clock())) {
                rt_.events_.Raise(events.Activate);
            }
            if (wParam == SIZE_MINIMIZED) rt_.activation_.Minimised();
            // Restored from outside while another window is active (a shell's
            // "undo minimise all"): back to rest.
            if (wParam == SIZE_RESTORED && description().taskbarButton &&
                rt_.desk_.Active() != hwnd_) {
                rt_.desk_.Post(hwnd_, kRestMessage);
            }
            rt_.events_.Raise(events.Resize);
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
        case kRestMessage:
            if (loaded_) Rest();
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

void PressKey(Form& form, std::uint8_t virtualKey, bool shift) {
    static_cast<SimForm&>(form).UserKey(virtualKey, shift);
}

void PressAltKey(Form& form, char letter) {
    auto& f = static_cast<SimForm&>(form);
    if (f.dialog_) f.dialog_->AltKey(letter);
}

Control* FocusedControl(Form& form) {
    auto& f = static_cast<SimForm&>(form);
    return f.dialog_ ? f.dialog_->Focused() : nullptr;
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
    // Windows refuses the foreground to a program started while another is
    // in front. The activation is the run time's own; its Activate is raised
    // below, granted or not, so that the first click after it reveals.
    {
        EventDispatcher::OwnDoing own(events_);
        if (!desk_.foregroundLocked || desk_.Active() == 0 || IsOurs(desk_.Active())) {
            desk_.Activate(f.hWnd());
        }
    }
    activation_.StartupActivation(&f);
    events_.Raise(f.events.Activate);
}

bool SimRuntime::AppActivate(std::string_view title) {
    Hwnd target = 0;
    if (Lower(std::string(title)) == Lower(desk_.Find(appWindow_)->title)) {
        // Our own application, never another program's window of that
        // title: its dialog comes to the front.
        if (modalForm_ == nullptr) return false;
        target = modalForm_->hWnd();
    } else {
        target = desk_.FindByTitle(std::string(title));
    }
    if (target == 0) return false;
    if (desk_.foregroundLocked && !IsOurs(target)) return false;
    desk_.Activate(target);
    // In front is not yet ready for keys: wait until the window's thread has
    // given it the keyboard focus too (see the real backend).
    while (!desk_.HasKeyboardFocus(target) && desk_.RunOneActivation()) {
    }
    return desk_.Active() == target;
}

void SimRuntime::SendKeys(std::string_view keys) {
    std::vector<std::uint8_t> held;
    for (std::uint8_t vk : kModifierKeys) {
        if (desk_.KeyDown(vk)) held.push_back(vk);
    }
    desk_.QueueKeys(KeyEvents(ParseKeys(keys), held));
    bool restored = false;
    for (const SimForm* f : forms_) {
        const Window* w = desk_.Find(f->hWnd());
        restored = restored || (f->description().taskbarButton && w != nullptr && !w->minimised);
    }
    activation_.KeysSent(Clock(), restored);
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

void SimRuntime::Kill(const std::string& folder, const std::string& name) {
    // As the real backend does it: only a plain name is opened; the name is
    // opened and held, the file it leads to checked against the folder's own
    // name, looked up once, and the held file deleted. The names are in code
    // page 1252, one byte a character.
    if (!IsPlainFileName(std::string_view(name))) throw RuntimeError("Bad file name or number");
    if (folder != killFolder_ || killFolderHeld_.empty()) {
        std::error_code ec;
        killFolder_ = folder;
        killFolderHeld_ = fs::canonical(desk_.HostPath(folder), ec);
        if (ec) killFolderHeld_.clear();
    }
    if (killFolderHeld_.empty()) throw RuntimeError("Path not found");
    const std::string path = folder + "\\" + name;
    fs::path file = desk_.HostPath(path);
    std::error_code ec;
    fs::file_status own = fs::symlink_status(file, ec);
    if (file.empty() || !fs::exists(own)) throw RuntimeError("File not found");
    if (fs::is_directory(own)) throw RuntimeError("Path/File access error");
    const std::string key = Lower(file.string());
    if (desk_.files.locked.count(key)) throw RuntimeError("Permission denied");
    // Nor a hidden or system file, which the list leaves out but a name that
    // maps to its name in 1252 leads to.
    if (desk_.files.hidden.count(key) || desk_.files.system.count(key))
        throw RuntimeError("Permission denied");
    // Like Wine, the simulated file system resolves a link when it is opened:
    // the held file is the link's target, which must be the listed name in
    // the listed folder. A dangling link cannot be opened. The name compared
    // is the file's own: one that only maps to the listed name in 1252 is
    // another.
    fs::path held = fs::canonical(file, ec);
    if (ec) throw RuntimeError("File not found");
    if (held.parent_path() != killFolderHeld_ ||
        Lower(held.filename().string()) != Lower(AnsiToUtf8(name))) {
        throw RuntimeError("Permission denied");
    }
    // A file without its write permission stands for a read-only one.
    fs::file_status status = fs::status(held, ec);
    if (!fs::is_regular_file(status) ||
        (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        throw RuntimeError("Permission denied");
    }
    // Held without sharing: nobody else can open, rename or replace it now.
    desk_.files.locked.insert(key);
    try {
        if (beforeDeletion) beforeDeletion(path);
    } catch (...) {
        desk_.files.locked.erase(key);
        throw;
    }
    desk_.files.locked.erase(key);
    // Deleted through the hold: the name goes, never what it might lead to.
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
