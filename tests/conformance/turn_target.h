// The turn second starts take one at a time, as this process takes it
// through the backend, beside another process: on the host, another process
// of the simulated desktop; under Wine, a helper program.
#pragma once

#include <memory>

namespace quorvel::testing {

class TurnTarget {
public:
    virtual ~TurnTarget() = default;
    // This process, as the backend's TakeTurn and EndTurn.
    virtual bool Take() = 0;
    virtual void End() = 0;
    // Another process takes it at once: whether it got it. It holds what it
    // got until OtherEnds, when it ends without giving it back.
    virtual bool OtherTakes() = 0;
    virtual void OtherEnds() = 0;
};

std::unique_ptr<TurnTarget> MakeTurnTarget();

}  // namespace quorvel::testing
