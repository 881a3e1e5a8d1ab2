// The application's clock run from a chosen instant (a client at a chosen
// market time): it reads that instant and runs on in real time; freezing and
// going back to the system's time leave nothing of it behind.
#include "platform/foundation/Clock.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Clock, RunsFromAChosenInstantUntilToldOtherwise) {
    constexpr double kMonday = 1796608800;  // 2026-12-07 10:00 Shanghai
    Clock::runFrom(kMonday);
    EXPECT_FALSE(Clock::isFrozen());
    const double t = Clock::now();
    EXPECT_GE(t, kMonday);
    EXPECT_LT(t, kMonday + 60);
    Clock::freezeAt(kMonday + 3600);
    Clock::advance(30);
    EXPECT_EQ(Clock::now(), kMonday + 3630);
    Clock::useSystemTime();
    EXPECT_LT(std::abs(Clock::now() - Clock::systemNow()), 60);
}
