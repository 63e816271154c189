// The conformance tests' notification area on the host: the simulated shell.
#include "conformance/tray_target.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {
class SimTrayTarget : public TrayTarget {
public:
    SimTrayTarget() {
        sim::Window w;
        w.title = "tray test";
        window_ = desk_.CreateWindow(pid_, w);
    }
    platform::WinApi& api() override { return api_; }
    platform::Hwnd Window() override { return window_; }
    platform::Hicon Icon() override { return 0x7001; }

private:
    sim::Desktop desk_;
    int pid_ = desk_.NewProcess("tests");
    sim::SimWinApi api_{desk_, pid_};
    platform::Hwnd window_ = 0;
};
}  // namespace

TrayTarget& Tray() {
    static SimTrayTarget target;
    return target;
}

}  // namespace quorvel::testing
