// The turn on the host: this process's through the simulated backend, the
// other's another process of the simulated desktop.
#include "conformance/turn_target.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {

class SimTurnTarget : public TurnTarget {
public:
    bool Take() override { return runtime_.TakeTurn(); }
    void End() override { runtime_.EndTurn(); }
    bool OtherTakes() override {
        other_ = desk_.NewProcess("quorvel.exe");
        return desk_.TakeTurn(other_);
    }
    void OtherEnds() override { desk_.EndProcess(other_); }

private:
    sim::Desktop desk_;
    sim::SimRuntime runtime_{desk_};
    int other_ = 0;
};

}  // namespace

std::unique_ptr<TurnTarget> MakeTurnTarget() {
    return std::make_unique<SimTurnTarget>();
}

}  // namespace quorvel::testing
