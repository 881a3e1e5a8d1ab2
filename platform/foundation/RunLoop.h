#pragma once
// The main run loop. Everything of the user interface, the request services,
// the screens and all timers runs on it; other threads hand work over with
// post(), which is the only member that may be called from any thread (with
// stop(), wake() and the background-work counter).
//
// Virtual time: while the Clock is frozen, runUntil/runFor never sleep for a
// timer. When nothing is ready they move the frozen clock to the next timer's
// fire date and fire it, up to the given span of virtual time. Work on other
// threads that will post back (operations of NSOperationQueue, or anything
// holding a BackgroundWork token) is waited for in real time, with a condition
// variable, before virtual time moves on, so that a reply is never overtaken
// by a timer only because virtual time is free.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class NSTimer;

class RunLoop {
public:
    static RunLoop& main();

    void post(std::function<void()> task);  // thread-safe; FIFO on the main loop
    void runOnce();                         // runs posted tasks and due timers, no wait
    // Runs until done() is true or the deadline passes. With a frozen Clock, timers fire in
    // order by advancing the frozen clock to each fire date up to `seconds` of virtual time,
    // and the wait for posted tasks (e.g. network replies) is real time up to `realTimeout`.
    // With the real clock, `seconds` is real time and `realTimeout` is not used.
    bool runUntil(const std::function<bool()>& done, double seconds, double realTimeout = 10);
    // Same, until the time has passed. With a frozen Clock it returns as soon as the
    // virtual span is used up (it waits in real time only for tracked background work,
    // up to `realTimeout`).
    void runFor(double seconds, double realTimeout = 10);
    void run();                 // until stop()
    void stop();                // any thread
    bool isMainThread() const;  // the thread that first called main()/run

    // ---- beyond the shared contract ----

    // Wakes a waiting loop (e.g. after a timer's fire date changed).
    void wake();

    // Count of work in progress on other threads that will post back to the loop.
    // In virtual time the loop waits (real time, bounded by realTimeout) for it to
    // reach zero before advancing the frozen clock to the next timer.
    void beginBackgroundWork();
    void endBackgroundWork();
    size_t backgroundWorkCount() const;
    // RAII form of the two calls above; movable, ends the work once.
    class BackgroundWork {
    public:
        BackgroundWork();
        ~BackgroundWork();
        BackgroundWork(BackgroundWork&& o) noexcept : active_(o.active_) { o.active_ = false; }
        BackgroundWork& operator=(BackgroundWork&& o) noexcept;
        BackgroundWork(const BackgroundWork&) = delete;
        BackgroundWork& operator=(const BackgroundWork&) = delete;
        void end();

    private:
        bool active_ = true;
    };

    // Timers scheduled on the loop (NSTimer uses these; the loop keeps valid timers alive).
    void addTimer(const std::shared_ptr<NSTimer>& timer);
    void removeTimer(const NSTimer* timer);
    size_t timerCount() const;
    // Clock seconds of the earliest fire date of a valid timer (one in its own
    // action not counted); nullopt when no timer is waiting. A host that sleeps
    // between events sleeps until then.
    std::optional<double> nextTimerFireDate() const;
    // Number of tasks waiting to run.
    size_t pendingTaskCount() const;
    // Drops every posted task and timer (tests start from a clean loop).
    void reset();

    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

private:
    RunLoop();
    // Runs the tasks queued at entry and the timers due now; answers whether anything ran.
    bool processReady();
    bool runDueTimers();
    // Earliest fire date of a valid timer, or false when there is none.
    bool nextFireDate(double& out) const;
    bool runVirtual(const std::function<bool()>* done, double seconds, double realTimeout, bool waitAfterSpan);
    bool runReal(const std::function<bool()>* done, double seconds);

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::shared_ptr<NSTimer>> timers_;
    size_t background_ = 0;
    bool stopped_ = false;
    unsigned long long wakeups_ = 0;  // bumped by every post/wake, read by waiters
    std::thread::id owner_;
};

// Runs the task now when called on the main thread, else posts it to the main loop.
void performOnMainThread(std::function<void()> task);
