#pragma once
// Timers on the main run loop. A scheduled timer is kept alive by the loop
// while it is valid; the loop lets go of it when it is invalidated or when a
// one-shot timer has fired. A repeating timer that fell behind (the loop was
// busy, or a frozen clock jumped) fires once and is rescheduled to its next
// fire date in the future: late fires do not pile up.
#include <functional>
#include <memory>
#include <mutex>

class NSTimer : public std::enable_shared_from_this<NSTimer> {
public:
    using Action = std::function<void(NSTimer&)>;

    static std::shared_ptr<NSTimer> scheduledTimerWithTimeInterval(double seconds, std::function<void(NSTimer&)> action,
                                                                   bool repeats);
    // A timer not yet on the loop; addToRunLoop() schedules it.
    static std::shared_ptr<NSTimer> timerWithTimeInterval(double seconds, std::function<void(NSTimer&)> action,
                                                          bool repeats);
    void addToRunLoop();

    void invalidate();  // safe to call from inside its own action
    bool isValid() const;
    void fire();  // runs the action now; a one-shot timer is then invalid
    double timeInterval() const;
    double fireDate() const;  // Clock seconds
    void setFireDate(double t);
    bool repeats() const { return repeats_; }

    NSTimer(double seconds, Action action, bool repeats);  // use the static factories

private:
    friend class RunLoop;
    // Called by the loop when the fire date has come.
    void fireFromLoop(double now);
    unsigned long long sequence() const { return sequence_; }

    mutable std::mutex mutex_;
    double interval_;
    bool repeats_;
    bool valid_ = true;
    bool firing_ = false;  // a one-shot timer inside its own action (not fired again by a nested loop)
    double fireDate_ = 0;
    std::shared_ptr<Action> action_;
    unsigned long long sequence_ = 0;
};
