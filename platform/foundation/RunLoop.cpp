#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSTimer.h"

namespace {

// Captured during static initialisation, which runs on the process's main thread.
const std::thread::id gProcessMainThread = std::this_thread::get_id();

using Steady = std::chrono::steady_clock;

Steady::time_point steadyAfter(double seconds) {
    // Bounded so the conversion to the clock's ticks cannot overflow.
    seconds = std::clamp(seconds, 0.0, 1e8);
    return Steady::now() + std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(seconds));
}

}  // namespace

RunLoop::RunLoop() {
    owner_ = gProcessMainThread == std::thread::id() ? std::this_thread::get_id() : gProcessMainThread;
}

RunLoop& RunLoop::main() {
    // Never destroyed: threads that post to it or end background work may still run while
    // the program exits, after static objects are gone.
    static RunLoop* loop = new RunLoop;
    return *loop;
}

bool RunLoop::isMainThread() const { return std::this_thread::get_id() == owner_; }

void RunLoop::post(std::function<void()> task) {
    if (!task) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    cv_.notify_all();
}

void RunLoop::wake() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++wakeups_;
    }
    cv_.notify_all();
}

void RunLoop::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        ++wakeups_;
    }
    cv_.notify_all();
}

void RunLoop::beginBackgroundWork() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++background_;
}

void RunLoop::endBackgroundWork() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (background_ > 0) --background_;
        ++wakeups_;
    }
    cv_.notify_all();
}

size_t RunLoop::backgroundWorkCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return background_;
}

RunLoop::BackgroundWork::BackgroundWork() { RunLoop::main().beginBackgroundWork(); }

RunLoop::BackgroundWork::~BackgroundWork() { end(); }

RunLoop::BackgroundWork& RunLoop::BackgroundWork::operator=(BackgroundWork&& o) noexcept {
    if (this != &o) {
        end();
        active_ = o.active_;
        o.active_ = false;
    }
    return *this;
}

void RunLoop::BackgroundWork::end() {
    if (active_) {
        active_ = false;
        RunLoop::main().endBackgroundWork();
    }
}

void RunLoop::addTimer(const std::shared_ptr<NSTimer>& timer) {
    if (!timer) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
        ++wakeups_;
    }
    cv_.notify_all();
}

void RunLoop::removeTimer(const NSTimer* timer) {
    std::shared_ptr<NSTimer> released;  // let go outside the lock: the timer's destructor may run
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const auto& t) { return t.get() == timer; });
    if (it != timers_.end()) {
        released = std::move(*it);
        timers_.erase(it);
    }
    // `released` is destroyed after the lock (declared before it).
}

size_t RunLoop::timerCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return timers_.size();
}

size_t RunLoop::pendingTaskCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

void RunLoop::reset() {
    std::deque<std::function<void()>> tasks;
    std::vector<std::shared_ptr<NSTimer>> timers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks.swap(tasks_);
        timers.swap(timers_);
        stopped_ = false;
    }
    for (auto& t : timers) t->invalidate();
}

std::optional<double> RunLoop::nextTimerFireDate() const {
    double t = 0;
    if (!nextFireDate(t)) return std::nullopt;
    return t;
}

bool RunLoop::nextFireDate(double& out) const {
    std::vector<std::shared_ptr<NSTimer>> timers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        timers = timers_;
    }
    bool found = false;
    for (const auto& t : timers) {
        std::lock_guard<std::mutex> tl(t->mutex_);
        if (!t->valid_ || t->firing_) continue;
        if (!found || t->fireDate_ < out) out = t->fireDate_;
        found = true;
    }
    return found;
}

bool RunLoop::runDueTimers() {
    std::vector<std::shared_ptr<NSTimer>> timers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        timers = timers_;
    }
    const double now = Clock::now();
    struct Due {
        double date;
        unsigned long long seq;
        std::shared_ptr<NSTimer> timer;
    };
    std::vector<Due> due;
    for (auto& t : timers) {
        std::lock_guard<std::mutex> tl(t->mutex_);
        if (t->valid_ && !t->firing_ && t->fireDate_ <= now) due.push_back({t->fireDate_, t->sequence_, t});
    }
    std::sort(due.begin(), due.end(),
              [](const Due& a, const Due& b) { return a.date != b.date ? a.date < b.date : a.seq < b.seq; });
    for (auto& d : due) d.timer->fireFromLoop(now);
    return !due.empty();
}

bool RunLoop::processReady() {
    size_t count;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        count = tasks_.size();
    }
    bool ran = false;
    // Only the tasks present at entry: a task that keeps posting cannot starve the timers.
    // One at a time, so that a nested loop (inside a task) keeps the queue's order.
    for (size_t i = 0; i < count; ++i) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (tasks_.empty()) break;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ran = true;
    }
    if (runDueTimers()) ran = true;
    return ran;
}

void RunLoop::runOnce() { processReady(); }

bool RunLoop::runVirtual(const std::function<bool()>* done, double seconds, double realTimeout, bool waitAfterSpan) {
    const bool unbounded = !std::isfinite(seconds);
    const double endV = unbounded ? 0 : Clock::now() + std::max(0.0, seconds);
    const bool realUnbounded = !std::isfinite(realTimeout);
    const auto realDeadline = steadyAfter(realUnbounded ? 0 : realTimeout);
    auto realTimeLeft = [&] { return realUnbounded || Steady::now() < realDeadline; };
    // Waits for a post, a wake-up or the end of background work, up to the real deadline.
    auto waitReal = [&](bool forBackground) {
        std::unique_lock<std::mutex> lock(mutex_);
        const unsigned long long seen = wakeups_;
        auto ready = [&] { return !tasks_.empty() || wakeups_ != seen || (forBackground && background_ == 0); };
        if (realUnbounded)
            cv_.wait(lock, ready);
        else
            cv_.wait_until(lock, realDeadline, ready);
    };

    for (;;) {
        if (done && (*done)()) return true;
        if (processReady()) continue;
        if (!Clock::isFrozen()) {
            // The clock was given back to real time by a task: go on in real time.
            double left = unbounded ? std::numeric_limits<double>::infinity() : endV - Clock::now();
            return runReal(done, left);
        }
        if (backgroundWorkCount() > 0 && realTimeLeft()) {
            waitReal(true);
            continue;
        }
        const double now = Clock::now();
        double next = 0;
        if (nextFireDate(next) && (unbounded || next <= endV)) {
            if (next > now) Clock::freezeAt(next);
            continue;
        }
        // No timer left in the span. Posts from other threads are waited for at the
        // current virtual time; only when giving up does the clock reach the span's end.
        if (waitAfterSpan && realTimeLeft()) {
            waitReal(false);
            continue;
        }
        if (!unbounded && now < endV) Clock::freezeAt(endV);
        return done ? (*done)() : true;
    }
}

bool RunLoop::runReal(const std::function<bool()>* done, double seconds) {
    const bool unbounded = !std::isfinite(seconds);
    const double deadline = unbounded ? 0 : Clock::now() + std::max(0.0, seconds);
    for (;;) {
        if (done && (*done)()) return true;
        if (processReady()) continue;
        if (Clock::isFrozen()) {
            // The clock was frozen by a task: go on in virtual time.
            double left = unbounded ? std::numeric_limits<double>::infinity() : deadline - Clock::now();
            return runVirtual(done, left, unbounded ? std::numeric_limits<double>::infinity() : 10, done != nullptr);
        }
        const double now = Clock::now();
        if (!unbounded && now >= deadline) return done ? (*done)() : true;
        double waitUntil = unbounded ? now + 3600 : deadline;
        double next = 0;
        if (nextFireDate(next)) waitUntil = std::min(waitUntil, next);
        std::unique_lock<std::mutex> lock(mutex_);
        const unsigned long long seen = wakeups_;
        cv_.wait_until(lock, steadyAfter(waitUntil - now), [&] { return !tasks_.empty() || wakeups_ != seen; });
    }
}

bool RunLoop::runUntil(const std::function<bool()>& done, double seconds, double realTimeout) {
    if (Clock::isFrozen()) return runVirtual(&done, seconds, realTimeout, true);
    return runReal(&done, seconds);
}

void RunLoop::runFor(double seconds, double realTimeout) {
    if (Clock::isFrozen())
        runVirtual(nullptr, seconds, realTimeout, false);
    else
        runReal(nullptr, seconds);
}

void RunLoop::run() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = false;
    }
    const std::function<bool()> stoppedNow = [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        return stopped_;
    };
    const double forever = std::numeric_limits<double>::infinity();
    if (Clock::isFrozen())
        runVirtual(&stoppedNow, forever, forever, true);
    else
        runReal(&stoppedNow, forever);
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = false;
}

void performOnMainThread(std::function<void()> task) {
    if (!task) return;
    RunLoop& loop = RunLoop::main();
    if (loop.isMainThread())
        task();
    else
        loop.post(std::move(task));
}
