// The turn under Wine: this process's through the real backend's Turn, the
// other's a helper program (quorvel_turn_helper.exe, beside this program).
#include <optional>
#include <string>

#include "conformance/turn_target.h"
#include "platform/win32/win32_turn.h"
#include "win32/helper_process.h"

namespace quorvel::testing {

namespace {

class Win32TurnTarget : public TurnTarget {
public:
    bool Take() override { return turn_.Take(); }
    void End() override { turn_.End(); }
    bool OtherTakes() override {
        other_.emplace("quorvel_turn_helper.exe", "");
        return other_->ReadUntil("ready").rfind('1', 0) == 0;
    }
    void OtherEnds() override { other_.reset(); }

private:
    win32::Turn turn_;
    std::optional<HelperProcess> other_;
};

}  // namespace

std::unique_ptr<TurnTarget> MakeTurnTarget() {
    return std::make_unique<Win32TurnTarget>();
}

}  // namespace quorvel::testing
