// The form run time on the simulated desktop, for one process of the program.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/form_runtime.h"
#include "sim/backend/sim_winapi.h"
#include "sim/backend/sim_window_facts.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

class SimRuntime : public platform::FormRuntime {
public:
    // Starts a process of the program on the desktop: its hidden application
    // window is titled "Quorvel", as a form run time's application is.
    explicit SimRuntime(Desktop& desktop);
    ~SimRuntime() override;

    int pid() const { return pid_; }
    Desktop& desktop() { return desk_; }
    Hwnd applicationWindow() const { return appWindow_; }

    platform::WinApi& api() override { return api_; }
    int SystemPixelsPerInch() const override { return desk_.display.pixelsPerInch; }
    std::unique_ptr<platform::Form> CreateForm(const platform::FormDescription& description,
                                               platform::FormEvents events) override;
    void DoEvents() override;
    int MsgBox(std::string_view prompt, int style, std::string_view title) override;
    void Kill(const std::string& folder, const std::string& name) override;
    bool PrevInstance() override { return prevInstance_; }
    std::uint32_t Now() const override { return static_cast<std::uint32_t>(desk_.Now()); }
    void PumpUntil(const std::function<bool()>& done) override { desk_.PumpUntil(done); }
    void Trace(const platform::WindowedForm& form, const char* what, const char* detail) override;
    void TraceNote(std::string_view line) override { desk_.seen.trace.emplace_back(line); }
    // The reveal's questions and acts (see platform/runtime.h): each the
    // desktop's model of what Windows answers or does.
    Hwnd Foreground() const override { return desk_.Active(); }
    Hwnd FocusOfThread(Hwnd window) override { return desk_.FocusOfThread(window); }
    Hwnd WindowOfClass(std::string_view className, std::uint32_t process) override;
    std::uint32_t ThreadOf(Hwnd window) override { return desk_.ThreadOf(window); }
    std::uint32_t ProcessOf(Hwnd window) override;
    void LetThreadCatchUp(Hwnd window, std::uint32_t boundMs) override;
    // The shared rule, read in the time Wine's round trips take.
    std::vector<Hwnd> MinimisableWindows() override;
    platform::WindowStanding Standing(Hwnd hwnd) override;
    std::uint32_t RunningInstanceValue() override;
    void KeepValueForLaterStarts(std::uint32_t value) override;
    void TellRunningInstance(std::uint32_t value, std::uint32_t withinMs) override;
    bool TakeTurn() override;
    void EndTurn() override;
    bool WaitUntil(const std::function<bool()>& condition, std::uint32_t boundUs) override;
    std::uint64_t NowUs() const override { return desk_.NowUs(); }

    // For tests: runs inside Kill between the file's check and its deletion,
    // while the file is held.
    std::function<void(const std::string& path)> beforeDeletion;

protected:
    void EndProcess() override;
    Hwnd FindTitled(std::string_view title) override { return desk_.FindByTitle(title); }
    Hwnd ShellWindowTitled(std::string_view title) override;
    bool OwnsWindow(Hwnd hwnd) const override { return IsOurs(hwnd); }
    platform::WindowFacts& windowFacts() override { return facts_; }
    bool RequestForeground(Hwnd target) override { return SetForegroundWindow(target); }
    void StopFlashing(Hwnd window) override;
    void TraceAppActivate(std::string_view title, Hwnd target, Hwnd inFront) override;
    std::vector<std::uint8_t> HeldModifiers() const override;
    void SendKeyEvents(const std::vector<platform::KeyEvent>& keys) override {
        LogCall(desk_, "SendInput", std::to_string(keys.size()));
        desk_.QueueKeys(keys);
    }
    void IdleWorkQueued() override {
        desk_.WhenIdle(pid_, [this] { RunIdleWork(); });
    }
    bool EnterComApartment() override { return desk_.ComInitialise(pid_); }
    void LeaveComApartment() override { desk_.ComUninitialise(pid_); }
    bool MakeShellObject() override {
        shellObject_ = desk_.MakeShellObject(pid_);
        return shellObject_ != 0;
    }
    bool ShellMinimizeAll() override { return desk_.ShellObjectMinimizeAll(shellObject_); }
    void ReleaseShellObject() override { desk_.ReleaseShellObject(std::exchange(shellObject_, 0)); }
    void SetFinestTimerResolution(bool finest) override {
        desk_.HoldFinestTimerResolution(pid_, finest);
    }
    bool StartTimer(int id, std::uint32_t milliseconds) override;
    void StopTimer(int id) override;

private:
    bool IsOurs(Hwnd hwnd) const;
    // As the real backend calls it, logged.
    bool SetForegroundWindow(Hwnd hwnd);
    Desktop& desk_;
    int pid_;
    SimWinApi api_;
    SimWindowFacts facts_;
    Hwnd appWindow_ = 0;
    bool prevInstance_ = false;
    int shellObject_ = 0;
    std::string killFolder_;                // the folder Kill was last given
    std::filesystem::path killFolderHeld_;  // the host's own name of it; empty when unknown
    std::map<int, int> timers_;             // the desktop's id of each timer not yet run
};

}  // namespace quorvel::sim
