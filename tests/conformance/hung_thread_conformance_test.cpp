// What a reveal on a hung desktop relies on, checked on the simulated desktop
// and under Wine alike: the foreground moves at SetForegroundWindow's call,
// to no window while the thread asked does not read its messages, and a
// window activated meanwhile keeps the foreground when that thread reads
// them again.
#include <gtest/gtest.h>

#include "conformance/hung_thread_target.h"

namespace quorvel::testing {
namespace {

class HungThreadConformance : public ::testing::Test {
protected:
    static void TearDownTestSuite() { EndHungThreads(); }
};

TEST_F(HungThreadConformance, ItsActivationTakesNoForegroundMovedOnSince) {
    HungThreadTarget& t = HungThreads();
    const platform::Hwnd hanging = t.HangingWindow();
    const platform::Hwnd other = t.OtherWindow();
    t.SetForeground(other);
    ASSERT_EQ(t.Foreground(), other);

    t.Hang(true);
    t.SetForeground(hanging);
    EXPECT_EQ(t.Foreground(), 0u);
    t.SetForeground(other);
    t.Hang(false);
    EXPECT_EQ(t.Foreground(), other);

    t.SetForeground(hanging);
    EXPECT_EQ(t.Foreground(), hanging);
}

}  // namespace
}  // namespace quorvel::testing
