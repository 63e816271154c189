// The simulated desktop's processes: their start and end, their integrity
// levels, the named objects they hold and the COM they use.
#include "sim/model/desktop.h"

#include <utility>

#include "platform/constants.h"

namespace quorvel::sim {

Desktop::Desktop(bool withShell) {
    alive_.insert(kShellPid);
    if (withShell) MakeShellWindows();
}

void Desktop::MakeShellWindows() {
    Window progman;
    progman.title = "Program Manager";
    progman.className = "Progman";
    progman.visible = true;
    progman.taskbarButton = false;
    shell_ = CreateWindow(kShellPid, progman);
    Window taskbar;
    taskbar.className = "Shell_TrayWnd";
    taskbar.visible = true;
    taskbar.taskbarButton = false;
    taskbar.toolWindow = true;
    taskbar.thread = 1;
    taskbar_ = CreateWindow(kShellPid, taskbar);
    // The desktop is behind every other window.
    PlaceInZOrder(taskbar_, platform::HWND_BOTTOM);
    PlaceInZOrder(shell_, platform::HWND_BOTTOM);
}

int Desktop::NewProcess(const std::string&) {
    int pid = nextPid_++;
    alive_.insert(pid);
    foreground.Started(pid, processes.startedInBackground ? 0 : ActivePid());
    if (processes.integrityOfNew == Integrity::High) elevated_.insert(pid);
    return pid;
}

Integrity Desktop::IntegrityOf(int pid) const {
    return elevated_.count(pid) ? Integrity::High : Integrity::Medium;
}

void Desktop::AllowThroughWindowFilter(Hwnd hwnd, std::uint32_t msg) {
    if (Window* w = Find(hwnd)) w->allowedFromLower.insert(msg);
}

bool Desktop::PassesFilter(int from, Hwnd hwnd, std::uint32_t msg) const {
    const Window* w = Find(hwnd);
    if (w == nullptr) return false;
    return IntegrityOf(from) >= IntegrityOf(w->pid) || w->allowedFromLower.count(msg) != 0;
}

bool Desktop::PostFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                       std::uint32_t lParam) {
    if (!PassesFilter(from, hwnd, msg)) return false;
    Post(hwnd, msg, wParam, lParam);
    return true;
}

bool Desktop::SendFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                       std::uint32_t lParam) {
    if (!PassesFilter(from, hwnd, msg)) return false;
    Send(hwnd, msg, wParam, lParam);
    return true;
}

bool Desktop::TakeTurn(int pid) {
    return namedObjects_.Own(pid, "Quorvel.Turn", [this](int holder) { return Alive(holder); });
}

bool Desktop::EndTurn(int pid) {
    return namedObjects_.GiveBack(pid, "Quorvel.Turn");
}

NamedObject Desktop::CreateNamedObject(int pid, const std::string& name) {
    return namedObjects_.Create(pid, name, [this](int holder) { return Alive(holder); });
}

int Desktop::HoldNamedObjectDenyingOthers(const std::string& name) {
    int pid = NewProcess("elevated");
    namedObjects_.HoldDenyingOthers(pid, name);
    return pid;
}

void Desktop::Drive(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProcessEnded& ended) {
        if (depth_[ended.pid] > 0) throw;  // its frames are further out
        Reap(ended.pid);
    }
}

void Desktop::SetQuitHandler(int pid, std::function<void(std::uint32_t)> onQuit) {
    quitHandlers_[pid] = std::move(onQuit);
}

void Desktop::PostQuit(int pid, std::uint32_t exitCode) {
    posted_.push_back([this, pid, exitCode] {
        auto it = quitHandlers_.find(pid);
        if (!Alive(pid) || it == quitHandlers_.end() || !it->second) return;
        auto onQuit = it->second;
        Drive([&] {
            auto running = InProcess(pid);
            onQuit(exitCode);
        });
    });
}

void Desktop::Reap(int pid) {
    // Windows restores the timer resolution of a process that ends.
    clock_.ForgetProcess(pid);
    if (!Alive(pid)) return;
    alive_.erase(pid);
    std::vector<Hwnd> owned;
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid == pid) owned.push_back(hwnd);
    }
    for (Hwnd hwnd : owned) DestroyWindow(hwnd);
    com_.Forget(pid);
    quitHandlers_.erase(pid);
    clock_.KillTimersOf(pid);
    // Its notification-area icons stay until the shell notices, as in Windows.
    if (onProcessReaped) onProcessReaped(pid);
}

int Desktop::MakeShellObject(int pid) {
    if (shell_ == 0) return 0;  // no shell to make it
    return com_.MakeShellObject(pid);
}

bool Desktop::ShellObjectMinimizeAll(int object) {
    ++seen.shellObjectCalls;
    if (!com_.Connected(object)) return false;  // disconnected
    if (!shell.objectWorks || shell_ == 0) return false;
    // It asks the taskbar, which minimises as its keys would.
    if (!shell.objectSilent) Post([this] { MinimiseAll(); });
    return true;
}

}  // namespace quorvel::sim
