// The window rules' windows under Wine: real windows of a helper process
// (quorvel_window_rules_helper.exe, beside this program), and the facts as
// the real backend asks them.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "conformance/window_rules_target.h"
#include "platform/running_instance.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_window_facts.h"
#include "win32/helper_process.h"

namespace quorvel::testing {

namespace {

class Win32WindowRulesTarget : public WindowRulesTarget {
public:
    Win32WindowRulesTarget() {
        WNDCLASSA cls{};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        for (const char* name : {"QuorvelWindowRulesOwn", platform::kApplicationClass}) {
            cls.lpszClassName = name;
            RegisterClassA(&cls);
        }
        Start();
    }
    platform::WindowFacts& facts() override { return facts_; }
    platform::Hwnd Window(Kind kind) override {
        auto it = made_.find(static_cast<int>(kind));
        return it == made_.end() ? 0 : it->second;
    }
    platform::Hwnd OwnWindow(Kind kind) override {
        const bool instance = kind == Kind::Instance;
        HWND w = CreateWindowExA(
            0, instance ? platform::kApplicationClass : "QuorvelWindowRulesOwn",
            instance ? "Quorvel" : "window rules", instance ? WS_POPUP : WS_OVERLAPPEDWINDOW, 100,
            100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!instance) ShowWindow(w, SW_SHOWNOACTIVATE);
        return win32::FromHwnd(w);
    }
    // In front, and still there when the rules are asked. Once in CI another
    // window was in front of the one just moved: under Wine an event the
    // other program reads late (a focus change of the X server's, say) can
    // activate, and so raise, a window of its after the move. So the move is
    // made again, once the other program has read what it had pending, until
    // the window, if shown, is the first shown top-level window below the
    // topmost ones.
    bool ToFront(platform::Hwnd window) override {
        const HWND w = win32::ToHwnd(window);
        for (int tries = 0; tries < 20; ++tries) {
            SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
            if (!IsWindowVisible(w) || FrontMost() == w) return true;
            Sleep(50);
        }
        return false;
    }

private:
    static HWND FrontMost() {
        for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            if (IsWindowVisible(w) && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) {
                return w;
            }
        }
        return nullptr;
    }

    void Start() {
        helper_.emplace("quorvel_window_rules_helper.exe", "");
        const std::string out = helper_->ReadUntil("ready");
        std::istringstream lines(out);
        int kind = 0;
        unsigned long handle = 0;
        while (lines >> kind >> handle) made_[kind] = static_cast<platform::Hwnd>(handle);
    }

    win32::Win32WindowFacts facts_;
    // The other program: it ends, its windows with it, when this target does.
    std::optional<HelperProcess> helper_;
    std::map<int, platform::Hwnd> made_;
};

std::unique_ptr<Win32WindowRulesTarget> target;

}  // namespace

WindowRulesTarget& WindowRules() {
    if (!target) target = std::make_unique<Win32WindowRulesTarget>();
    return *target;
}

void EndWindowRules() {
    target.reset();
}

}  // namespace quorvel::testing
