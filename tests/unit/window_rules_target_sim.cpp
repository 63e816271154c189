// The window rules' windows on the host: another process of the simulated
// desktop, and the facts as the test's own process asks them.
#include <map>
#include <memory>

#include "conformance/window_rules_target.h"
#include "platform/running_instance.h"
#include "sim/backend/sim_window_facts.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {

class SimWindowRulesTarget : public WindowRulesTarget {
public:
    platform::WindowFacts& facts() override { return facts_; }
    platform::Hwnd Window(Kind kind) override {
        auto it = made_.find(kind);
        if (it != made_.end()) return it->second;
        return made_[kind] = Make(other_, kind);
    }
    platform::Hwnd OwnWindow(Kind kind) override { return Make(own_, kind); }
    bool ToFront(platform::Hwnd window) override {
        desk_.BringToFront(window);
        return desk_.ZOrder().front() == window || !desk_.Find(window)->visible;
    }

private:
    platform::Hwnd Make(int pid, Kind kind) {
        sim::Window w;
        w.title = "window rules";
        w.className = "QuorvelWindowRules";
        w.visible = true;
        w.minimiseBox = true;
        w.x = 100;
        w.y = 100;
        w.width = 300;
        w.height = 200;
        switch (kind) {
            case Kind::Plain:
                break;
            case Kind::Untitled:
                w.title.clear();
                break;
            case Kind::Tool:
                w.toolWindow = true;
                break;
            case Kind::Owned:
                w.owner = Window(Kind::Hidden);
                break;
            case Kind::Disabled:
                w.enabled = false;
                break;
            case Kind::NoMinimiseBox:
                w.minimiseBox = false;
                break;
            case Kind::Minimised:
                w.minimised = true;
                break;
            case Kind::Hidden:
                w.visible = false;
                break;
            case Kind::Cloaked:
                w.cloaked = true;
                break;
            case Kind::OffScreen:
                w.x = -2000;
                break;
            case Kind::NoActivate:
                w.noActivate = true;
                break;
            case Kind::Transparent:
                w.transparent = true;
                break;
            case Kind::Taskbar:
                w.className = "Shell_TrayWnd";
                break;
            case Kind::Instance:
                w.className = platform::kApplicationClass;
                w.title = "Quorvel";
                w.visible = false;
                w.minimiseBox = false;
                break;
        }
        return desk_.CreateWindow(pid, w);
    }

    sim::Desktop desk_;
    int own_ = desk_.NewProcess("tests");
    int other_ = desk_.NewProcess("another program");
    sim::SimWindowFacts facts_{desk_, own_};
    std::map<Kind, platform::Hwnd> made_;
};

std::unique_ptr<SimWindowRulesTarget> target;

}  // namespace

WindowRulesTarget& WindowRules() {
    if (!target) target = std::make_unique<SimWindowRulesTarget>();
    return *target;
}

void EndWindowRules() {
    target.reset();
}

}  // namespace quorvel::testing
