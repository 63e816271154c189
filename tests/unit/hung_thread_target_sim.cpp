// The hung thread on the host: the simulated desktop's desktop window, its
// shell's desktop hung.
#include <memory>

#include "conformance/hung_thread_target.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {

class SimHungThreadTarget : public HungThreadTarget {
public:
    platform::Hwnd HangingWindow() override { return desk_.Shell(); }
    platform::Hwnd OtherWindow() override { return other_; }
    void Hang(bool hung) override { desk_.shell.desktopHung = hung; }
    void SetForeground(platform::Hwnd window) override { desk_.Activate(window); }
    platform::Hwnd Foreground() override {
        desk_.Run(100);
        return desk_.Active();
    }

private:
    sim::Desktop desk_;
    platform::Hwnd other_ = desk_.CreateAppWindow("Untitled - Notepad");
};

std::unique_ptr<SimHungThreadTarget> target;

}  // namespace

HungThreadTarget& HungThreads() {
    if (!target) target = std::make_unique<SimHungThreadTarget>();
    return *target;
}

void EndHungThreads() {
    target.reset();
}

}  // namespace quorvel::testing
