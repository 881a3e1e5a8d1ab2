#include "platform/foundation/Clock.h"
#include "platform/foundation/NSTimer.h"
#include "tests/foundation/FoundationTestSupport.h"

using RunLoopNextTimer = VirtualTimeTest;

// The fire date a sleeping host waits for: the earliest valid timer, moving
// as timers fire, are rescheduled or invalidated.
TEST_F(RunLoopNextTimer, AnswersTheEarliestValidTimerAndFollowsItsChanges) {
    RunLoop& loop = RunLoop::main();
    EXPECT_FALSE(loop.nextTimerFireDate());
    const double start = Clock::now();
    int fired = 0;
    auto late = NSTimer::scheduledTimerWithTimeInterval(
        5, [&](NSTimer&) { ++fired; }, false);
    auto early = NSTimer::scheduledTimerWithTimeInterval(
        2, [&](NSTimer&) { ++fired; }, false);
    auto repeating = NSTimer::scheduledTimerWithTimeInterval(
        3, [&](NSTimer&) { ++fired; }, true);
    ASSERT_TRUE(loop.nextTimerFireDate());
    EXPECT_DOUBLE_EQ(*loop.nextTimerFireDate(), start + 2);

    early->setFireDate(start + 4);  // moved later: the repeating one is next
    EXPECT_DOUBLE_EQ(*loop.nextTimerFireDate(), start + 3);
    repeating->invalidate();  // an invalid timer is not waited for
    EXPECT_DOUBLE_EQ(*loop.nextTimerFireDate(), start + 4);

    loop.runFor(4.5);  // the early one fired and is gone
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(*loop.nextTimerFireDate(), start + 5);
    loop.runFor(1);
    EXPECT_EQ(fired, 2);
    EXPECT_FALSE(loop.nextTimerFireDate());
}
