// The facts of the simulated desktop's windows, as a process of `pid` asks
// them: what the real backend reads with GetWindowLongA and its kin, from
// the model's windows.
#pragma once

#include "platform/window_facts.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

class SimWindowFacts : public platform::WindowFacts {
public:
    SimWindowFacts(Desktop& desktop, int pid) : desk_(desktop), pid_(pid) {}

    std::vector<Hwnd> TopLevelWindows(std::string_view className = {}) override;
    Hwnd WindowTitled(std::string_view title) override;
    Hwnd ShellWindow() override { return desk_.ShellWindow(); }
    platform::ScreenRect VirtualScreen() override;
    std::uint32_t OwnProcess() override { return static_cast<std::uint32_t>(pid_); }

    bool Exists(Hwnd window) override { return desk_.Find(window) != nullptr; }
    std::uint32_t Style(Hwnd window) override;
    std::uint32_t ExtendedStyle(Hwnd window) override;
    Hwnd Owner(Hwnd window) override;
    std::uint32_t ProcessOf(Hwnd window) override;
    std::uint32_t ThreadOf(Hwnd window) override { return desk_.ThreadOf(window); }
    std::string ClassOf(Hwnd window) override;
    int TitleLength(Hwnd window) override;
    platform::ScreenRect Place(Hwnd window) override;
    bool Cloaked(Hwnd window) override;

private:
    Desktop& desk_;
    int pid_;
};

}  // namespace quorvel::sim
