// The conformance tests' menus, keys and sent messages on the host: the
// simulated desktop.
#include "conformance/menu_target.h"
#include "platform/constants.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {
class SimMenuTarget : public MenuTarget {
public:
    platform::Hwnd WindowInFront() override {
        sim::Window w;
        w.title = "menu test";
        w.visible = true;
        w.proc = [this](std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
            if (msg == platform::WM_SYSCOMMAND) {
                commands_.push_back(wParam & 0xFFF0);
                return std::intptr_t{0};
            }
            if (msg == kSent) sentTaken_ = true;
            if (msg == platform::WM_CANCELMODE) cancelled_ = true;
            return desk_.DefWindowProc(window_, msg, wParam, lParam);
        };
        window_ = desk_.CreateWindow(pid_, std::move(w));
        desk_.Activate(window_);
        return window_;
    }
    platform::Hwnd Foreground() override { return desk_.Active(); }
    std::uint32_t MenuLeftWithEscape(platform::Hwnd owner) override {
        desk_.At(1, [this] { desk_.TypeKey(platform::VK_ESCAPE); });
        return static_cast<std::uint32_t>(desk_.TrackPopupMenu(owner, {"item"}) + 1);
    }
    std::vector<std::uint32_t> CommandsAfterAltF4(platform::Hwnd) override {
        commands_.clear();
        desk_.PressAltF4();
        desk_.Run();
        return commands_;
    }
    bool WaitTakesAMessageSent(platform::Hwnd window) override {
        sentTaken_ = false;
        desk_.DuringWait(0, [this, window] { desk_.SendNotify(window, kSent); });
        const std::uint64_t bound = desk_.NowUs() + 500'000;
        while (!sentTaken_ && desk_.NowUs() < bound) desk_.Wait(pid_, desk_.NowUs() + 1000);
        return sentTaken_;
    }
    ForegroundTakenFromMenu MenuWhileAnotherThreadTakesTheForeground(
        platform::Hwnd owner) override {
        ForegroundTakenFromMenu seen;
        cancelled_ = false;
        // Another process's window: a process is a thread here, the shell's aside.
        desk_.At(1, [&] {
            sim::Window w;
            w.title = "another thread's";
            w.visible = true;
            seen.taker = desk_.CreateWindow(otherPid_, std::move(w));
            desk_.Activate(seen.taker);
        });
        desk_.At(2, [&] {
            seen.foreground = desk_.Active();
            seen.menuShown = desk_.MenuOpen();
            seen.ownerCancelled = cancelled_;
            desk_.DismissMenu();
        });
        desk_.TrackPopupMenu(owner, {"item"});
        desk_.DestroyWindow(seen.taker);
        return seen;
    }
    void Destroy(platform::Hwnd window) override { desk_.DestroyWindow(window); }

private:
    static constexpr std::uint32_t kSent = 0x8005;  // WM_APP + 5
    sim::Desktop desk_;
    int pid_ = desk_.NewProcess("tests");
    int otherPid_ = desk_.NewProcess("other");
    platform::Hwnd window_ = 0;
    std::vector<std::uint32_t> commands_;
    bool sentTaken_ = false;
    bool cancelled_ = false;
};
}  // namespace

MenuTarget& Menus() {
    static SimMenuTarget target;
    return target;
}

}  // namespace quorvel::testing
