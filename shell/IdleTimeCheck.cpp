#include "shell/IdleTimeCheck.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSTimer.h"
#include "shell/TradeSession.h"

IdleTimeCheck::IdleTimeCheck() = default;

IdleTimeCheck::~IdleTimeCheck() {
    if (timer_) timer_->invalidate();
}

IdleTimeCheck* IdleTimeCheck::sharedIdleTimeCheck() {
    return dynamic_cast<IdleTimeCheck*>(&UIApplication::sharedApplication());
}

void IdleTimeCheck::sendEvent(UIEvent& event) {
    // Only a running timer moves: a touch never starts one without a session.
    if (isIdleTimerRunning()) timer_->setFireDate(Clock::now() + tradeLockIntervalSeconds());
    UIApplication::sendEvent(event);
}

double IdleTimeCheck::tradeLockIntervalSeconds() { return tradeLockIntervalMinutes() * 60.0; }

void IdleTimeCheck::resetIdleTimer() {
    stopIdleTimer();
    if (!hasTradeSession()) return;
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        tradeLockIntervalSeconds(), [this](NSTimer&) { idleTimerExceeded(); }, false);
}

void IdleTimeCheck::stopIdleTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

bool IdleTimeCheck::isIdleTimerRunning() const { return timer_ && timer_->isValid(); }

double IdleTimeCheck::idleTimerFireDate() const { return isIdleTimerRunning() ? timer_->fireDate() : 0; }

void IdleTimeCheck::resumeIdleTimerUntil(double t) {
    if (!hasTradeSession()) {
        stopIdleTimer();
        return;
    }
    if (t <= Clock::now()) {
        idleTimerExceeded();
        return;
    }
    if (!isIdleTimerRunning()) resetIdleTimer();
    if (timer_) timer_->setFireDate(t);
}

void IdleTimeCheck::idleTimerExceeded() {
    stopIdleTimer();
    if (!hasTradeSession()) return;
    ++lockCount_;
    lockTradeSession();
}
