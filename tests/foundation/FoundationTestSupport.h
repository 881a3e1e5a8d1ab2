#pragma once
// A clean main loop and a frozen clock for each test of the foundation layer.
#include <gtest/gtest.h>

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"

class VirtualTimeTest : public ::testing::Test {
protected:
    // 2024-03-15 01:30 UTC: any fixed instant will do.
    static constexpr double kStart = 1710466200.0;

    void SetUp() override {
        RunLoop::main().reset();
        Clock::freezeAt(kStart);
    }
    void TearDown() override {
        RunLoop::main().reset();
        Clock::useSystemTime();
    }
};
