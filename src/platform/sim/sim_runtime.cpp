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
}  // namespace

class SimControl : public Control {
public:
    SimControl(SimRuntime& rt, ControlDescription description)
        : Control(std::move(description)), rt_(rt) {}
    ~SimControl() override { StopTimer(); }

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
        timerId_ = rt_.desk_.SetTimer(rt_.pid_, Interval(), [this] { RaiseTimer(rt_.events); });
    }
    std::vector<std::string> ReadFolder(std::string& path) const override;

private:
    SimRuntime& rt_;
    int timerId_ = 0;
};

std::vector<std::string> SimControl::ReadFolder(std::string& path) const {
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
    return names;
}

class SimForm : public WindowedForm {
public:
    SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents);
    ~SimForm() override;

    Hwnd hWnd() const override { return hwnd_; }
    std::string Caption() const override { return window().title; }
    void SetCaption(std::string_view caption) override { window().title = caption; }

    void UserClick(Control& control) {
        // A click with the mouse puts the focus on what it clicks.
        if (dialog_) dialog_->ClickInto(control);
        Press(control);
    }
    void Press(Control& control) {
        Desktop::InProcess running(rt_.desk_, rt_.pid_);
        if (control.description().kind == ControlKind::OptionButton) control.SetValue(true);
        rt_.events.Raise(control.Click);
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

protected:
    ClientArea WindowArea() const override {
        const Window& w = window();
        return {w.x, w.y, w.width, w.height};
    }
    void PlaceWindow(const ClientArea& area) override;
    bool WindowVisible() const override { return window().visible; }
    bool WindowMinimised() const override { return window().minimised; }
    bool WindowEnabled() const override { return window().enabled; }
    bool IsForeground() const override { return rt_.desk_.Active() == hwnd_; }
    bool IsActive() const override { return IsForeground(); }
    void EnableWindow(bool enabled) override { window().enabled = enabled; }
    void ShowWindow(Showing how) override;
    void DestroyWindow() override { rt_.desk_.DestroyWindow(hwnd_); }
    void Post(Deferred what) override {
        rt_.desk_.Post(hwnd_, kDeferredMessage, static_cast<std::uint32_t>(what));
    }
    void StopControlTimers() override;
    Control* TrackMenu(std::string_view menuName) override;
    void FocusFirstTabStop() override {
        if (dialog_) dialog_->FocusFirstTabStop();
    }
    bool AltDown() const override { return rt_.desk_.KeyDown(kVkMenu); }

private:
    Window& window() const {
        Window* w = rt_.desk_.Find(hwnd_);
        if (w == nullptr) throw RuntimeError("Form not loaded");
        return *w;
    }
    void OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam);

    SimRuntime& rt_;
    Hwnd hwnd_ = 0;

public:
    std::unique_ptr<DialogManager> dialog_;
};

SimForm::SimForm(SimRuntime& rt, const FormDescription& description, FormEvents formEvents)
    : WindowedForm(rt, description, std::move(formEvents)), rt_(rt) {
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
    WindowMade();
    for (const ControlDescription& c : description.controls)
        Add(std::make_unique<SimControl>(rt, c));
    if (description.dialog) {
        dialog_ = std::make_unique<DialogManager>(*this, [this](Control& c) { Press(c); });
        for (const auto& c : controls()) static_cast<SimControl&>(*c).dialog = dialog_.get();
    }
}

SimForm::~SimForm() {
    if (Loaded()) Destroy();
}

void SimForm::PlaceWindow(const ClientArea& area) {
    Window& w = window();
    const bool sized = w.width != area.width || w.height != area.height;
    w.x = area.x;
    w.y = area.y;
    w.width = area.width;
    w.height = area.height;
    // As Windows tells a window that it has a new size.
    if (sized) rt_.desk_.Send(hwnd_, WM_SIZE, SIZE_RESTORED);
}

void SimForm::ShowWindow(Showing how) {
    switch (how) {
        case Showing::NoActivate:
            rt_.desk_.Show(hwnd_, false);
            break;
        case Showing::Activate:
            rt_.desk_.Show(hwnd_, true);
            break;
        case Showing::Hide:
            rt_.desk_.Hide(hwnd_);
            break;
        case Showing::MinimiseNoActivate:
            rt_.desk_.Minimise(hwnd_);
            break;
    }
}

void SimForm::StopControlTimers() {
    for (const auto& c : controls()) static_cast<SimControl&>(*c).StopTimer();
}

Control* SimForm::TrackMenu(std::string_view menuName) {
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
    return chosen >= 0 && items[chosen]->Caption() != "-" ? items[chosen] : nullptr;
}

void SimForm::OnMessage(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    // The dialog manager saves or restores the focus before Activate.
    if (msg == WM_ACTIVATE && dialog_) {
        // The low word says how; the high word, whether it is minimised.
        if ((wParam & 0xFFFF) == 0) dialog_->Deactivated();
        if ((wParam & 0xFFFF) != 0) dialog_->Activated();
    }
    std::intptr_t result = 0;
    if (Message(msg, wParam, lParam, result) || msg != WM_SYSCOMMAND) return;
    // What the system's default window procedure does.
    if (wParam == SC_MINIMIZE) rt_.desk_.Minimise(hwnd_);
    if (wParam == SC_RESTORE) rt_.desk_.Restore(hwnd_);
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
    app.title = kApplicationTitle;
    app.className = "ThunderMain";
    app.taskbarButton = false;
    app.proc = [this](std::uint32_t msg, std::uint32_t, std::uint32_t) {
        if (msg == WM_TASKBARCREATED) events.Raise(TaskbarCreated);
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
    Hwnd next = desk_.NextWindowOfOtherProgram(pid_, userWindow);
    if (next != 0) desk_.Activate(next);
}

std::unique_ptr<Form> SimRuntime::CreateForm(const FormDescription& description,
                                             FormEvents events) {
    return std::make_unique<SimForm>(*this, description, std::move(events));
}

void SimRuntime::Trace(const WindowedForm& form, const char* what, const char* detail) {
    desk_.trace.push_back(std::string(what) + " of " + std::to_string(form.hWnd()) + ": " + detail);
}

Hwnd SimRuntime::ShellWindowTitled(std::string_view title) {
    const Window* shell = desk_.Find(desk_.ShellWindow());
    return shell != nullptr && Lower(shell->title) == Lower(std::string(title)) ? shell->hwnd : 0;
}

bool SimRuntime::RequestForeground(Hwnd target) {
    if (!desk_.MayTakeForeground(pid_)) {
        desk_.flashes.push_back(target);
        return false;
    }
    desk_.Activate(target);
    return true;
}

bool SimRuntime::WaitUntilReadyForKeys(Hwnd target) {
    // In front is not yet ready for keys: the window's thread gives it the
    // keyboard focus when it handles the activation (see the real backend).
    while (!desk_.HasKeyboardFocus(target) && desk_.RunOneActivation()) {
    }
    return desk_.Active() == target;
}

void SimRuntime::TraceAppActivate(std::string_view title, Hwnd target, Hwnd inFront) {
    const std::string line = "AppActivate " + std::string(title) + ": ";
    if (target == 0) {
        desk_.trace.push_back(line + "no such window");
    } else {
        desk_.trace.push_back(line + std::to_string(target) +
                              (inFront == target ? " ready" : " not in front"));
    }
}

std::vector<std::uint8_t> SimRuntime::HeldModifiers() const {
    std::vector<std::uint8_t> held;
    for (std::uint8_t vk : kModifierKeys) {
        if (desk_.KeyDown(vk)) held.push_back(vk);
    }
    return held;
}

void SimRuntime::DoEvents() {
    EventDispatcher::OutsideInput outside(events);
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

bool SimRuntime::StartTimer(int id, std::uint32_t milliseconds) {
    timers_[id] = desk_.SetTimer(pid_, milliseconds, [this, id] { TimeoutDue(id); });
    return true;
}

void SimRuntime::StopTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    desk_.KillTimer(it->second);
    timers_.erase(it);
}

void SimRuntime::EndProcess() {
    throw ProcessEnded{pid_};
}

}  // namespace quorvel::sim
