#include "platform/foundation/NSTimer.h"

#include <atomic>
#include <cmath>

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"

namespace {

std::atomic<unsigned long long> gSequence{0};

// As the platform does: a repeating timer never runs faster than every 0.1 ms
// (an interval of 0 would otherwise spin a virtual-time loop forever).
constexpr double kMinimumRepeatInterval = 0.0001;

}  // namespace

NSTimer::NSTimer(double seconds, Action action, bool repeats)
    : interval_(std::isfinite(seconds) ? std::max(0.0, seconds) : 0),
      repeats_(repeats),
      action_(std::make_shared<Action>(std::move(action))),
      sequence_(++gSequence) {
    if (repeats_ && interval_ < kMinimumRepeatInterval) interval_ = kMinimumRepeatInterval;
    fireDate_ = Clock::now() + interval_;
}

std::shared_ptr<NSTimer> NSTimer::timerWithTimeInterval(double seconds, std::function<void(NSTimer&)> action,
                                                        bool repeats) {
    return std::make_shared<NSTimer>(seconds, std::move(action), repeats);
}

std::shared_ptr<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double seconds, std::function<void(NSTimer&)> action,
                                                                 bool repeats) {
    auto timer = timerWithTimeInterval(seconds, std::move(action), repeats);
    timer->addToRunLoop();
    return timer;
}

void NSTimer::addToRunLoop() {
    if (isValid()) RunLoop::main().addTimer(shared_from_this());
}

void NSTimer::invalidate() {
    std::shared_ptr<Action> released;  // destroyed after the lock; a running action keeps its own copy
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid_) return;
        valid_ = false;
        released = std::move(action_);
    }
    RunLoop::main().removeTimer(this);
}

bool NSTimer::isValid() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return valid_;
}

double NSTimer::timeInterval() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return interval_;
}

double NSTimer::fireDate() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fireDate_;
}

void NSTimer::setFireDate(double t) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fireDate_ = t;
    }
    RunLoop::main().wake();
}

void NSTimer::fire() {
    auto self = shared_from_this();
    std::shared_ptr<Action> action;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid_ || !action_) return;
        action = action_;
        if (!repeats_) firing_ = true;
    }
    if (*action) (*action)(*this);
    if (!repeats_) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            firing_ = false;
        }
        invalidate();
    }
}

void NSTimer::fireFromLoop(double now) {
    auto self = shared_from_this();  // the loop may let go of it during the action
    std::shared_ptr<Action> action;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid_ || firing_ || fireDate_ > now || !action_) return;
        action = action_;
        if (repeats_) {
            // Next fire date strictly after now, on the timer's own grid: missed fires are skipped.
            double next = fireDate_ + interval_;
            if (next <= now) {
                double missed = std::floor((now - fireDate_) / interval_);
                next = fireDate_ + (missed + 1) * interval_;
                if (next <= now) next = now + interval_;
            }
            fireDate_ = next;
        } else {
            firing_ = true;
        }
    }
    if (*action) (*action)(*this);
    if (!repeats_) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            firing_ = false;
        }
        invalidate();
    }
}
