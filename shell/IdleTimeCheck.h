#pragma once
// The application object. It sees every touch before the windows do and
// keeps the idle trade lock: tradeLockIntervalMinutes() after the last touch
// while a trade session exists, the trade session is locked
// (lockTradeSession of shell/TradeSession.h). The timer runs on the main run
// loop, so a frozen Clock drives it in tests.
#include <memory>

#include "platform/uikit/UIApplication.h"

class NSTimer;

class IdleTimeCheck : public UIApplication {
public:
    IdleTimeCheck();
    ~IdleTimeCheck() override;

    // The shared application when it is an IdleTimeCheck, else null.
    static IdleTimeCheck* sharedIdleTimeCheck();

    // Every touch restarts the idle timer (when it runs), then goes on as usual.
    void sendEvent(UIEvent& event) override;

    // Restarts the idle trade-lock timer while a trade session exists and
    // stops it otherwise.
    void resetIdleTimer();
    void stopIdleTimer();
    bool isIdleTimerRunning() const;
    // Clock seconds at which the lock fires; 0 while the timer is stopped.
    double idleTimerFireDate() const;
    // Puts the fire date at `t` (return from the background with a saved
    // fire time); locks at once when `t` has passed. Nothing without a session.
    void resumeIdleTimerUntil(double t);

    // The lock interval in seconds (tradeLockIntervalMinutes of shell/TradeSession.h).
    static double tradeLockIntervalSeconds();

    // What the timer does when it fires: locks the trade session (when one
    // still exists) and stops the timer.
    void idleTimerExceeded();
    int lockCount() const { return lockCount_; }

private:
    std::shared_ptr<NSTimer> timer_;
    int lockCount_ = 0;
};
