#pragma once
// A fresh application with one key window, a frozen clock and a clean main
// loop for each test, driven through the headless host.
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/UIImage.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIWindow.h"

#include <gtest/gtest.h>

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(1700000000);
        RunLoop::main().reset();
        UIApplication::resetSharedApplication();
        window = HeadlessHost::makeKeyWindow();
        UIApplication::sharedApplication().launch();
        host.setRealTimeLimit(0);  // nothing here replies from another thread
    }
    void TearDown() override {
        UIApplication::resetSharedApplication();
        window.reset();
        RunLoop::main().reset();
        Clock::useSystemTime();
    }
    static UIApplication& app() { return UIApplication::sharedApplication(); }
    static int red(uint32_t p) { return (p >> 16) & 0xff; }
    static int green(uint32_t p) { return (p >> 8) & 0xff; }
    static int blue(uint32_t p) { return p & 0xff; }

    HeadlessHost host;
    std::shared_ptr<UIWindow> window;
};
