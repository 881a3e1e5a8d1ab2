#include "platform/foundation/NSOperationQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/foundation/RunLoop.h"

struct NSOperationQueue::State : std::enable_shared_from_this<NSOperationQueue::State> {
    struct Op {
        std::function<void()> fn;
        bool tracked;
    };
    mutable std::mutex mutex;
    std::condition_variable workAvailable;
    std::condition_variable allDone;
    std::deque<Op> pending;
    std::vector<std::thread> threads;
    size_t running = 0;
    size_t idle = 0;
    int maxConcurrent = 1;
    bool tracks = true;
    bool stopping = false;

    void worker();
    // Starts threads (up to the limit) for waiting work that no idle thread will take.
    void startThreadsLocked() {
        size_t starting = 0;
        while (threads.size() < static_cast<size_t>(maxConcurrent) && pending.size() > idle + starting) {
            auto keep = shared_from_this();
            threads.emplace_back([keep] { keep->worker(); });
            ++starting;
        }
    }
};

namespace {

thread_local const NSOperationQueue::State* tCurrentQueue = nullptr;

}  // namespace

void NSOperationQueue::State::worker() {
    tCurrentQueue = this;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        ++idle;
        workAvailable.wait(lock, [&] {
            return (!pending.empty() && running < static_cast<size_t>(maxConcurrent)) || (stopping && pending.empty());
        });
        --idle;
        if (pending.empty()) break;  // stopping, nothing left
        Op op = std::move(pending.front());
        pending.pop_front();
        ++running;
        lock.unlock();
        op.fn();
        op.fn = nullptr;  // release what the operation captured before it counts as finished
        if (op.tracked) RunLoop::main().endBackgroundWork();
        lock.lock();
        --running;
        if (pending.empty() && running == 0) allDone.notify_all();
        workAvailable.notify_all();  // a slot became free (the limit may have been lowered)
    }
}

NSOperationQueue::NSOperationQueue(int maxConcurrent) : state_(std::make_shared<State>()) {
    state_->maxConcurrent = std::max(1, maxConcurrent);
}

NSOperationQueue::~NSOperationQueue() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->stopping = true;
        threads.swap(state_->threads);
    }
    state_->workAvailable.notify_all();
    for (auto& t : threads) {
        if (t.get_id() == std::this_thread::get_id()) {
            // Destroyed from inside one of its own operations: that thread ends by itself.
            // It keeps the shared state alive through the lambda it runs.
            t.detach();
        } else {
            t.join();
        }
    }
}

void NSOperationQueue::addOperation(std::function<void()> op) {
    if (!op) return;
    auto& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.stopping) return;
    if (s.tracks) RunLoop::main().beginBackgroundWork();
    s.pending.push_back({std::move(op), s.tracks});
    s.startThreadsLocked();
    s.workAvailable.notify_one();
}

void NSOperationQueue::cancelAllOperations() {
    std::deque<State::Op> dropped;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        dropped.swap(state_->pending);
        if (state_->running == 0) state_->allDone.notify_all();
    }
    for (auto& op : dropped) {
        op.fn = nullptr;
        if (op.tracked) RunLoop::main().endBackgroundWork();
    }
}

void NSOperationQueue::waitUntilAllOperationsAreFinished() {
    if (tCurrentQueue == state_.get()) return;
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->allDone.wait(lock, [&] { return state_->pending.empty() && state_->running == 0; });
}

size_t NSOperationQueue::operationCount() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->pending.size() + state_->running;
}

int NSOperationQueue::maxConcurrentOperationCount() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->maxConcurrent;
}

void NSOperationQueue::setMaxConcurrentOperationCount(int n) {
    auto& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    s.maxConcurrent = std::max(1, n);
    s.startThreadsLocked();
    s.workAvailable.notify_all();
}

void NSOperationQueue::setTracksMainLoopWork(bool on) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->tracks = on;
}
