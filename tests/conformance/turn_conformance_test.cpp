// The turn as Windows' mutexes give it ("CreateMutexA function",
// "WaitForSingleObject function": WAIT_ABANDONED, "ReleaseMutex function"):
// held by one process at a time, owned once however often this process takes
// it, and taken from a process that ended holding it.
#include <gtest/gtest.h>

#include "conformance/turn_target.h"

namespace quorvel::testing {
namespace {

TEST(TurnConformance, OneProcessAtATimeAndOneThatEndedHoldingItGivesItUp) {
    auto turn = MakeTurnTarget();
    ASSERT_TRUE(turn->Take());
    EXPECT_TRUE(turn->Take()) << "held already";
    EXPECT_FALSE(turn->OtherTakes()) << "held by this process";
    turn->OtherEnds();
    turn->End();  // once, for both takes
    EXPECT_TRUE(turn->OtherTakes()) << "given back";
    EXPECT_FALSE(turn->Take()) << "held by the other process";
    turn->OtherEnds();
    EXPECT_TRUE(turn->Take()) << "left abandoned by a process that ended";
    turn->End();
}

}  // namespace
}  // namespace quorvel::testing
