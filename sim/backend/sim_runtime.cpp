#include "sim/backend/sim_runtime.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "platform/instance.h"
#include "platform/keys.h"
#include "platform/running_instance.h"
#include "sim/backend/sim_form.h"
#include "sim/model/ansi.h"

namespace quorvel::sim {

using namespace platform;
namespace fs = std::filesystem;

SimRuntime::SimRuntime(Desktop& desktop)
    : desk_(desktop),
      pid_(desktop.NewProcess("quorvel.exe")),
      api_(desktop, pid_),
      facts_(desktop, pid_) {
    NamedObject instance = desk_.CreateNamedObject(pid_, "Quorvel.Instance");
    prevInstance_ = AnotherInstanceHolds(instance.handle, instance.lastError);
    Window app;
    app.title = kApplicationTitle;
    app.className = kApplicationClass;
    app.taskbarButton = false;
    // A second start's is message-only, as on the real backend: no search
    // for the running instance's window finds it.
    app.messageOnly = prevInstance_;
    app.proc = [this](std::uint32_t msg, std::uint32_t wParam, std::uint32_t) {
        if (msg == WM_TASKBARCREATED) TaskbarRecreated();
        if (msg == WM_MINIMISEALLWAY) ToldBySecondStart(wParam);
        return std::intptr_t{0};
    };
    appWindow_ = desk_.CreateWindow(pid_, std::move(app));
    // Every loop of the process takes WM_QUIT as the real backend's do.
    desk_.SetQuitHandler(pid_, [this](std::uint32_t) { Quit(); });
    // As the real backend: run elevated, it hears the shell's broadcast and a
    // second start's message, and no other message of a lower level.
    if (!prevInstance_) {
        desk_.AllowThroughWindowFilter(appWindow_, WM_TASKBARCREATED);
        desk_.AllowThroughWindowFilter(appWindow_, WM_MINIMISEALLWAY);
    }
}

SimRuntime::~SimRuntime() {
    desk_.SetQuitHandler(pid_, nullptr);
}

bool SimRuntime::IsOurs(Hwnd hwnd) const {
    const Window* w = desk_.Find(hwnd);
    return w != nullptr && w->pid == pid_;
}

std::uint32_t SimRuntime::RunningInstanceValue() {
    const Window* running = desk_.Find(RunningInstanceWindow(facts_));
    if (running == nullptr) return 0;
    auto it = running->props.find(kMinimiseAllWayName);
    return it == running->props.end() ? 0 : it->second;
}

void SimRuntime::KeepValueForLaterStarts(std::uint32_t value) {
    auto& props = desk_.Find(appWindow_)->props;
    if (value == 0) {
        props.erase(kMinimiseAllWayName);
    } else {
        props[kMinimiseAllWayName] = value;
    }
}

void SimRuntime::TellRunningInstance(std::uint32_t value, std::uint32_t) {
    // Taken at once, as by a running instance waiting in its loop (one
    // busy elsewhere would take it at its next wait, or not in time).
    if (Hwnd running = RunningInstanceWindow(facts_))
        desk_.SendFrom(pid_, running, WM_MINIMISEALLWAY, value);
}

bool SimRuntime::TakeTurn() {
    return desk_.TakeTurn(pid_);
}

void SimRuntime::EndTurn() {
    if (desk_.EndTurn(pid_)) LogCall(desk_, "ReleaseMutex", "Quorvel.Turn");
}

bool SimRuntime::SetForegroundWindow(Hwnd hwnd) {
    LogCall(desk_, "SetForegroundWindow", Hex(hwnd));
    return desk_.foreground.SetForegroundWindow(pid_, hwnd);
}

void SimRuntime::StopFlashing(Hwnd window) {
    // FLASHWINFO's window, flags, count and rate.
    LogCall(desk_, "FlashWindowEx", Hex(window), Hex(FLASHW_STOP), "0", "0");
    desk_.foreground.FlashWindowEx(window, FLASHW_STOP);
}

std::unique_ptr<Form> SimRuntime::CreateForm(const FormDescription& description,
                                             FormEvents events) {
    return std::make_unique<SimForm>(*this, description, std::move(events));
}

void SimRuntime::Trace(const WindowedForm& form, const char* what, const char* detail) {
    desk_.seen.trace.push_back(std::string(what) + " of " + std::to_string(form.hWnd()) + ": " +
                               detail);
}

Hwnd SimRuntime::ShellWindowTitled(std::string_view title) {
    const Window* shell = desk_.Find(desk_.ShellWindow());
    return shell != nullptr && Lower(shell->title) == Lower(std::string(title)) ? shell->hwnd : 0;
}

Hwnd SimRuntime::WindowOfClass(std::string_view className, std::uint32_t process) {
    for (Hwnd hwnd : desk_.ZOrder()) {
        const Window* w = desk_.Find(hwnd);
        if (w->className == className && static_cast<std::uint32_t>(w->pid) == process) return hwnd;
    }
    return 0;
}

std::uint32_t SimRuntime::ProcessOf(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w == nullptr ? 0 : static_cast<std::uint32_t>(w->pid);
}

void SimRuntime::LetThreadCatchUp(Hwnd, std::uint32_t) {
    // The desktop's threads have nothing queued that a round trip would
    // see handled: the display's focus event of Wine's rule comes with the
    // keys (KeyboardKnobs::stateFollowsFocus).
}

platform::WindowStanding SimRuntime::Standing(Hwnd hwnd) {
    const Window* w = desk_.Find(hwnd);
    if (w == nullptr) return platform::WindowStanding::Destroyed;
    return w->visible && !w->minimised ? platform::WindowStanding::Shown
                                       : platform::WindowStanding::MinimisedOrHidden;
}

bool SimRuntime::WaitUntil(const std::function<bool()>& condition, std::uint32_t boundUs) {
    // As Windows runs a wait that takes sent messages only: the shell's
    // threads run beside it; ours looks at the condition when its timer
    // wakes it (see Desktop::Wait).
    if (condition()) return true;
    const std::uint64_t deadline = desk_.NowUs() + boundUs;
    while (!condition()) {
        if (desk_.NowUs() >= deadline) return false;
        desk_.Wait(pid_, std::min(deadline, desk_.NowUs() + kWaitLookUs));
    }
    return true;
}

std::vector<Hwnd> SimRuntime::MinimisableWindows() {
    desk_.LookAtEveryWindow([&] { return desk_.RunShellStep(); });
    return FormRuntime::MinimisableWindows();
}

void SimRuntime::TraceAppActivate(std::string_view title, Hwnd target, Hwnd inFront) {
    const std::string line = "AppActivate " + std::string(title) + ": ";
    if (target == 0) {
        desk_.seen.trace.push_back(line + "no such window");
    } else {
        desk_.seen.trace.push_back(
            line + std::to_string(target) +
            (desk_.SameThread(inFront, target) ? " ready" : " not in front"));
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
    auto outside = dispatcher().OutsideInput();
    desk_.RunPending();
}

int SimRuntime::MsgBox(std::string_view prompt, int style, std::string_view title) {
    return desk_.ShowMessageBox({std::string(prompt), style, std::string(title)});
}

void SimRuntime::Kill(const std::string& folder, const std::string& name) {
    // As the real backend does it: only a plain name is opened; the name is
    // opened and held, the file it leads to checked against the folder's own
    // name, looked up once, and the held file deleted. The names are in code
    // page 1252, one byte a character.
    desk_.Busy(desk_.files.deleteUs);
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
    ReleaseComAtExit();
    throw ProcessEnded{pid_};
}

}  // namespace quorvel::sim
