#include "net/HTTPQueue.h"

#include <cassert>

#include <algorithm>

#include "net/HTTPEngine.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/RunLoop.h"

struct HTTPQueue::Entry {
    std::shared_ptr<HTTPRequest> request;
    RunLoop::BackgroundWork work;
    std::shared_ptr<NSTimer> deadline;  // the time-out of a running transfer
    ~Entry() {
        if (deadline) deadline->invalidate();
    }
};

HTTPQueue::HTTPQueue(int maxConcurrent) : max_(std::max(1, maxConcurrent)), alive_(std::make_shared<bool>(true)) {
    // The engine (and the main loop) are made before any queue, so that they
    // outlive the queues that are static objects.
    HTTPEngine::shared();
}

HTTPQueue::~HTTPQueue() {
    *alive_ = false;
    cancelAllOperations();
}

void HTTPQueue::addOperation(const std::shared_ptr<HTTPRequest>& request) {
    assert(RunLoop::main().isMainThread());
    if (!request) return;
    auto e = std::make_unique<Entry>();
    e->request = request;
    waiting_.push_back(std::move(e));
    startWaiting();
}

void HTTPQueue::startWaiting() {
    while (static_cast<int>(running_.size()) < max_ && !waiting_.empty()) {
        auto e = std::move(waiting_.front());
        waiting_.pop_front();
        if (e->request->isCancelled()) continue;
        auto request = e->request;
        std::weak_ptr<bool> alive = alive_;
        running_.push_back(std::move(e));
        HTTPEngine::shared().start(request, [this, alive, request](HTTPRequest::Result r) {
            if (alive.expired()) return;
            finished(request, std::move(r));
        });
        // The engine answers through `finished`, with the failure or the reply that came first.
        if (request->timeOutSeconds() > 0) {
            std::weak_ptr<HTTPRequest> weak = request;
            running_.back()->deadline = NSTimer::scheduledTimerWithTimeInterval(
                request->timeOutSeconds(),
                [weak](NSTimer&) {
                    if (auto r = weak.lock()) HTTPEngine::shared().timeOut(r.get());
                },
                false);
        }
    }
}

void HTTPQueue::finished(const std::shared_ptr<HTTPRequest>& request, HTTPRequest::Result result) {
    auto it = std::find_if(running_.begin(), running_.end(), [&](const auto& e) { return e->request == request; });
    if (it == running_.end()) return;  // cancelled through the queue meanwhile
    auto entry = std::move(*it);
    running_.erase(it);
    if (request->isCancelled()) {  // cancelled directly: only the slot is freed
        startWaiting();
        return;
    }
    request->applyResult(std::move(result));
    startWaiting();
    if (observer_) observer_(*request);
    request->runCompletion();
    // entry (and its background-work token) ends here, after the completion ran.
}

void HTTPQueue::cancelOperation(const std::shared_ptr<HTTPRequest>& request) {
    assert(RunLoop::main().isMainThread());
    if (!request) return;
    request->cancel();
    auto match = [&](const auto& e) { return e->request == request; };
    waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(), match), waiting_.end());
    auto it = std::find_if(running_.begin(), running_.end(), match);
    if (it != running_.end()) {
        running_.erase(it);
        startWaiting();
    }
}

void HTTPQueue::cancelAllOperations() {
    assert(RunLoop::main().isMainThread());
    auto waiting = std::move(waiting_);
    auto running = std::move(running_);
    waiting_.clear();
    running_.clear();
    for (auto& e : waiting) e->request->cancel();
    for (auto& e : running) e->request->cancel();
}

size_t HTTPQueue::operationCount() const { return waiting_.size() + running_.size(); }
size_t HTTPQueue::runningCount() const { return running_.size(); }
