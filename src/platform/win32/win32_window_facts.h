// The facts of windows as Windows answers them, for the program's rules
// about other programs' windows (see platform/window_facts.h).
#pragma once

#include <windows.h>

#include "platform/window_facts.h"

namespace quorvel::win32 {

class Win32WindowFacts : public platform::WindowFacts {
public:
    std::vector<platform::Hwnd> TopLevelWindows(std::string_view className = {}) override;
    platform::Hwnd WindowTitled(std::string_view title) override;
    platform::Hwnd ShellWindow() override;
    platform::ScreenRect VirtualScreen() override;
    std::uint32_t OwnProcess() override { return GetCurrentProcessId(); }

    bool Exists(platform::Hwnd window) override;
    std::uint32_t Style(platform::Hwnd window) override;
    std::uint32_t ExtendedStyle(platform::Hwnd window) override;
    platform::Hwnd Owner(platform::Hwnd window) override;
    std::uint32_t ProcessOf(platform::Hwnd window) override;
    std::uint32_t ThreadOf(platform::Hwnd window) override;
    std::string ClassOf(platform::Hwnd window) override;
    int TitleLength(platform::Hwnd window) override;
    platform::ScreenRect Place(platform::Hwnd window) override;
    bool Cloaked(platform::Hwnd window) override;
};

}  // namespace quorvel::win32
