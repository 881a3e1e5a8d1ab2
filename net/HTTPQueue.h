#pragma once
// A queue of HTTP requests run as operations, at most `maxConcurrent` at once
// (4 for both queues of the application: the one every request service shares,
// and the service client's own). Used from the main thread only; transfers run
// on the engine's network thread and their completions come back to the main
// loop. While a request is queued or running the main loop counts it as
// background work, so virtual time does not overtake a reply.
//
// A request's time-out (HTTPRequest::timeOutSeconds) is a timer of the main
// loop, started when its transfer starts: it runs on the application's clock
// like every other timer. In virtual time (a frozen clock) it therefore
// passes only when the clock is moved while the reply is awaited, as a test
// does once it knows the reply is held; a slow machine never makes it pass.
#include <deque>
#include <memory>
#include <vector>

#include "net/HTTPRequest.h"

class HTTPQueue {
public:
    explicit HTTPQueue(int maxConcurrent = 4);
    ~HTTPQueue();
    HTTPQueue(const HTTPQueue&) = delete;
    HTTPQueue& operator=(const HTTPQueue&) = delete;

    void addOperation(const std::shared_ptr<HTTPRequest>& request);
    // Cancels every queued and running request; no completion of them runs.
    void cancelAllOperations();
    // Cancels one request of this queue (same as request->cancel(), and frees its slot).
    void cancelOperation(const std::shared_ptr<HTTPRequest>& request);
    size_t operationCount() const;  // queued + running
    size_t runningCount() const;
    int maxConcurrentOperationCount() const { return max_; }
    // Called for every request of this queue whose transfer ended (before its completion).
    void setObserver(std::function<void(HTTPRequest&)> observer) { observer_ = std::move(observer); }

private:
    struct Entry;
    void startWaiting();
    void finished(const std::shared_ptr<HTTPRequest>& request, HTTPRequest::Result result);

    int max_;
    std::deque<std::unique_ptr<Entry>> waiting_;
    std::vector<std::unique_ptr<Entry>> running_;
    std::shared_ptr<bool> alive_;
    std::function<void(HTTPRequest&)> observer_;
};
