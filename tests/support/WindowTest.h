#pragma once
// A fresh application with one key window, a frozen clock and a clean main loop
// for each test of views and widgets; helpers to tap a view as a finger would,
// to read pixels of a render; renders for a look by eye go through
// tests/support/Screenshots.h.
#include <string>

#include <gtest/gtest.h>

#include "tests/support/Screenshots.h"
#include "tests/support/TestSupport.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(1700000000);
        RunLoop::main().reset();
        UIApplication::resetSharedApplication();
        window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
        window->setBackgroundColor(UIColor::whiteColor());
        window->makeKeyAndVisible();
        app().launch();
    }
    void TearDown() override {
        UIApplication::resetSharedApplication();
        window.reset();
        RunLoop::main().reset();
        Clock::useSystemTime();
    }
    static UIApplication& app() { return UIApplication::sharedApplication(); }
    static CGPoint onScreen(const UIView& v, CGPoint local) { return v.convertPointToView(local, nullptr); }
    static CGPoint centerOnScreen(const UIView& v) {
        CGRect b = v.bounds();
        return onScreen(v, CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)));
    }
    // Lays the window out first, as the screen would be before a finger lands.
    void tap(const UIView& v) {
        window->layoutIfNeeded();
        app().tapAt(centerOnScreen(v));
    }
    static void run(double seconds) { RunLoop::main().runFor(seconds, kHangSeconds); }
    // Premultiplied ARGB at a point (in points) of an image.
    static uint32_t pixel(const UIImage& img, double x, double y) {
        return img.pixelAt(static_cast<int>(x * img.scale()), static_cast<int>(y * img.scale()));
    }
    static int red(uint32_t p) { return (p >> 16) & 0xff; }
    static int green(uint32_t p) { return (p >> 8) & 0xff; }
    static int blue(uint32_t p) { return p & 0xff; }

    std::shared_ptr<UIWindow> window;
};
