#include <atomic>
#include <thread>
#include <vector>

#include "platform/foundation/NSOperationQueue.h"
#include "platform/foundation/NSTimer.h"
#include "tests/foundation/FoundationTestSupport.h"
#include "tests/support/TestSupport.h"

using RunLoopTimers = VirtualTimeTest;
using RunLoopTasks = VirtualTimeTest;

TEST_F(RunLoopTimers, OneShotTimersFireInOrderOfFireDateAtTheirVirtualTime) {
    std::vector<std::pair<int, double>> fired;
    for (int seconds : {3, 1, 2}) {
        NSTimer::scheduledTimerWithTimeInterval(
            seconds, [&fired, seconds](NSTimer&) { fired.emplace_back(seconds, Clock::now()); }, false);
    }
    RunLoop::main().runFor(5);
    ASSERT_EQ(fired.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fired[i].first, i + 1);
        EXPECT_DOUBLE_EQ(fired[i].second, kStart + i + 1);
    }
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 5);
    EXPECT_EQ(RunLoop::main().timerCount(), 0u);
}

TEST_F(RunLoopTimers, TimersDueAtTheSameDateFireInSchedulingOrder) {
    std::vector<int> fired;
    for (int i = 0; i < 5; ++i)
        NSTimer::scheduledTimerWithTimeInterval(
            1, [&fired, i](NSTimer&) { fired.push_back(i); }, false);
    RunLoop::main().runFor(1);
    EXPECT_EQ(fired, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(RunLoopTimers, TimerOutsideTheSpanDoesNotFire) {
    bool fired = false;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        5, [&](NSTimer&) { fired = true; }, false);
    RunLoop::main().runFor(4.999);
    EXPECT_FALSE(fired);
    EXPECT_TRUE(timer->isValid());
    RunLoop::main().runFor(0.001);
    EXPECT_TRUE(fired);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoopTimers, RepeatingTimerFiresOncePerIntervalOverRunFor) {
    std::vector<double> at;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        2, [&](NSTimer&) { at.push_back(Clock::now()); }, true);
    RunLoop::main().runFor(10);
    ASSERT_EQ(at.size(), 5u);
    for (size_t i = 0; i < at.size(); ++i) EXPECT_DOUBLE_EQ(at[i], kStart + 2.0 * (i + 1));
    EXPECT_TRUE(timer->isValid());
    EXPECT_DOUBLE_EQ(timer->fireDate(), kStart + 12);
    timer->invalidate();
}

TEST_F(RunLoopTimers, RepeatingTimerThatFellBehindFiresOnceAndStaysOnItsGrid) {
    int count = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        1, [&](NSTimer&) { ++count; }, true);
    Clock::advance(10.5);  // the loop was busy for ten intervals
    RunLoop::main().runOnce();
    EXPECT_EQ(count, 1);
    EXPECT_DOUBLE_EQ(timer->fireDate(), kStart + 11);
    RunLoop::main().runOnce();
    EXPECT_EQ(count, 1);
    timer->invalidate();
}

TEST_F(RunLoopTimers, InvalidateFromInsideTheActionStopsTheTimerAndReleasesIt) {
    int count = 0;
    std::weak_ptr<NSTimer> weak;
    {
        auto timer = NSTimer::scheduledTimerWithTimeInterval(
            1,
            [&](NSTimer& t) {
                if (++count == 3) t.invalidate();
            },
            true);
        weak = timer;
    }
    EXPECT_FALSE(weak.expired()) << "the loop keeps a valid timer alive";
    RunLoop::main().runFor(10);
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(weak.expired()) << "the loop lets go of an invalidated timer";
}

TEST_F(RunLoopTimers, OneShotTimerIsValidDuringItsActionAndNotAfter) {
    bool validInside = false;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        1, [&](NSTimer& t) { validInside = t.isValid(); }, false);
    RunLoop::main().runFor(1);
    EXPECT_TRUE(validInside);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoopTimers, NestedLoopInsideAnActionDoesNotFireTheSameOneShotAgain) {
    int count = 0;
    NSTimer::scheduledTimerWithTimeInterval(
        1,
        [&](NSTimer&) {
            ++count;
            RunLoop::main().runOnce();
        },
        false);
    RunLoop::main().runFor(2);
    EXPECT_EQ(count, 1);
}

TEST_F(RunLoopTimers, ManualFireKeepsARepeatingTimerAndEndsAOneShot) {
    int repeating = 0, once = 0;
    auto r = NSTimer::scheduledTimerWithTimeInterval(
        5, [&](NSTimer&) { ++repeating; }, true);
    auto o = NSTimer::scheduledTimerWithTimeInterval(
        5, [&](NSTimer&) { ++once; }, false);
    r->fire();
    o->fire();
    o->fire();
    EXPECT_EQ(repeating, 1);
    EXPECT_EQ(once, 1);
    EXPECT_TRUE(r->isValid());
    EXPECT_FALSE(o->isValid());
    EXPECT_DOUBLE_EQ(r->fireDate(), kStart + 5) << "a manual fire does not move the schedule";
    RunLoop::main().runFor(5);
    EXPECT_EQ(repeating, 2);
    EXPECT_EQ(once, 1);
    r->invalidate();
}

TEST_F(RunLoopTimers, SetFireDateMovesTheNextFire) {
    double firedAt = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        10, [&](NSTimer&) { firedAt = Clock::now(); }, false);
    timer->setFireDate(kStart + 3);
    RunLoop::main().runFor(20);
    EXPECT_DOUBLE_EQ(firedAt, kStart + 3);
}

TEST_F(RunLoopTimers, ZeroIntervalRepeatingTimerCannotSpinForever) {
    int count = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        0, [&](NSTimer&) { ++count; }, true);
    RunLoop::main().runFor(0.001);
    EXPECT_GT(count, 0);
    EXPECT_LE(count, 11);
    timer->invalidate();
}

TEST_F(RunLoopTimers, ResetInvalidatesEveryTimer) {
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        1, [](NSTimer&) {}, true);
    RunLoop::main().reset();
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(RunLoop::main().timerCount(), 0u);
}

TEST_F(RunLoopTasks, TasksPostedFromAnotherThreadRunOnMainInOrder) {
    constexpr int kCount = 2000;
    std::vector<int> received;
    bool allOnMain = true;
    std::atomic<bool> posterOnMain{true};
    std::thread poster([&] {
        posterOnMain = RunLoop::main().isMainThread();
        for (int i = 0; i < kCount; ++i)
            RunLoop::main().post([&, i] {
                received.push_back(i);
                allOnMain = allOnMain && RunLoop::main().isMainThread();
            });
    });
    bool done = RunLoop::main().runUntil([&] { return received.size() == kCount; }, 1, kHangSeconds);
    poster.join();
    ASSERT_TRUE(done);
    EXPECT_FALSE(posterOnMain.load());
    EXPECT_TRUE(allOnMain);
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(received[i], i);
    EXPECT_DOUBLE_EQ(Clock::now(), kStart) << "waiting for posts does not use virtual time";
}

TEST_F(RunLoopTasks, TasksPostedFromAnotherThreadArriveWithTheRealClockToo) {
    Clock::useSystemTime();
    std::atomic<int> sum{0};
    std::thread poster([&] {
        for (int i = 1; i <= 100; ++i) RunLoop::main().post([&, i] { sum += i; });
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return sum == 5050; }, kHangSeconds));
    poster.join();
}

TEST_F(RunLoopTasks, RunUntilGivesUpAtTheVirtualDeadline) {
    bool done = RunLoop::main().runUntil([] { return false; }, 5, 0);
    EXPECT_FALSE(done);
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 5);
}

TEST_F(RunLoopTasks, RunUntilStopsAsSoonAsTheConditionHolds) {
    bool flag = false;
    NSTimer::scheduledTimerWithTimeInterval(
        2, [&](NSTimer&) { flag = true; }, false);
    int later = 0;
    NSTimer::scheduledTimerWithTimeInterval(
        3, [&](NSTimer&) { ++later; }, false);
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return flag; }, 60));
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 2);
    EXPECT_EQ(later, 0);
}

TEST_F(RunLoopTasks, VirtualTimeWaitsForBackgroundWorkBeforeMovingOn) {
    // A reply computed on a worker must not be overtaken by a timer only because virtual time is free.
    bool replied = false;
    bool timerSawReply = false;
    NSTimer::scheduledTimerWithTimeInterval(
        1, [&](NSTimer&) { timerSawReply = replied; }, false);
    NSOperationQueue queue(1);
    queue.addOperation([&] {
        int result = 0;
        for (int i = 0; i < 100000; ++i) result += i % 7;
        RunLoop::main().post([&, result] { replied = result > 0; });
    });
    RunLoop::main().runFor(2);
    EXPECT_TRUE(replied);
    EXPECT_TRUE(timerSawReply);
    EXPECT_EQ(RunLoop::main().backgroundWorkCount(), 0u);
}

TEST_F(RunLoopTasks, NestedRunOnceKeepsTheQueueOrder) {
    std::vector<int> order;
    RunLoop::main().post([&] {
        order.push_back(1);
        RunLoop::main().post([&] { order.push_back(4); });
        RunLoop::main().runOnce();  // a nested loop (a modal wait) runs what was queued before it
    });
    RunLoop::main().post([&] { order.push_back(2); });
    RunLoop::main().post([&] { order.push_back(3); });
    RunLoop::main().runFor(0);
    RunLoop::main().runFor(0);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(RunLoopTasks, PerformOnMainThreadRunsAtOnceOnMainAndPostsFromElsewhere) {
    int value = 0;
    performOnMainThread([&] { value = 1; });
    EXPECT_EQ(value, 1);
    std::thread other([&] { performOnMainThread([&] { value = 2; }); });
    other.join();
    EXPECT_EQ(value, 1);
    RunLoop::main().runOnce();
    EXPECT_EQ(value, 2);
}

TEST_F(RunLoopTasks, RunReturnsAfterStop) {
    int ticks = 0;
    NSTimer::scheduledTimerWithTimeInterval(
        1,
        [&](NSTimer&) {
            if (++ticks == 3) RunLoop::main().stop();
        },
        true);
    RunLoop::main().run();
    EXPECT_EQ(ticks, 3);
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 3);

    std::thread stopper([] { RunLoop::main().post([] { RunLoop::main().stop(); }); });
    RunLoop::main().run();
    stopper.join();
}

TEST_F(RunLoopTasks, StopWithoutRunDoesNotDisturbLaterLoops) {
    RunLoop::main().stop();
    bool fired = false;
    NSTimer::scheduledTimerWithTimeInterval(
        1, [&](NSTimer&) { fired = true; }, false);
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return fired; }, 2));
}

TEST(ClockTest, FrozenClockMovesOnlyWhenAdvanced) {
    Clock::freezeAt(1000);
    EXPECT_TRUE(Clock::isFrozen());
    EXPECT_DOUBLE_EQ(Clock::now(), 1000);
    Clock::advance(2.5);
    EXPECT_DOUBLE_EQ(Clock::now(), 1002.5);
    Clock::useSystemTime();
    EXPECT_FALSE(Clock::isFrozen());
    Clock::advance(1e9);  // ignored in real time
    EXPECT_LT(Clock::now(), Clock::systemNow() + 60);
    EXPECT_GT(Clock::now(), 1.6e9);
}
