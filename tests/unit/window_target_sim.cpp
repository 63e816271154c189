// The conformance tests' windows on the host: the simulated desktop.
#include <algorithm>

#include "conformance/window_target.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {
class SimWindowTarget : public WindowTarget {
public:
    platform::WinApi& api() override { return api_; }
    platform::Hwnd NewWindow(bool hidden) override {
        sim::Window w;
        w.title = "window test";
        w.visible = !hidden;
        return desk_.CreateWindow(pid_, w);
    }
    bool Visible(platform::Hwnd hwnd) override { return desk_.Find(hwnd)->visible; }
    bool Active(platform::Hwnd hwnd) override { return desk_.Active() == hwnd; }
    int Place(platform::Hwnd hwnd) override {
        const auto& z = desk_.ZOrder();
        return static_cast<int>(std::find(z.begin(), z.end(), hwnd) - z.begin());
    }
    void Destroy(platform::Hwnd hwnd) override { desk_.DestroyWindow(hwnd); }

private:
    sim::Desktop desk_;
    int pid_ = desk_.NewProcess("tests");
    sim::SimWinApi api_{desk_, pid_};
};
}  // namespace

WindowTarget& Windows() {
    static SimWindowTarget target;
    return target;
}

}  // namespace quorvel::testing
