#pragma once
// The simulated server's HTTP side: cpp-httplib's server with its own
// connection road, so that a few slow or hostile clients cannot exhaust it.
//  - A request must arrive whole (request line, headers and body) within
//    `readTimeout` of its first byte: a client sending a byte a second is cut
//    off, however patient each single read would be.
//  - Connections are served by a pool that grows on demand up to
//    `maxConnections` threads (beyond that they wait their turn), so slow
//    connections hold threads only for their read timeout and many more are
//    served beside them.
//  - An idle kept-alive connection is closed after `keepAlive` seconds, and
//    at once when the server stops.
// Handlers are httplib's; a handler that leaves the stream out of step (a
// body refused half-read) calls closeAfterReply().
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct SimHttpLimits {
    double readTimeout = 2;   // seconds for one whole request
    double writeTimeout = 5;  // seconds for each write of a reply
    double keepAlive = 5;     // seconds an idle connection is kept
    size_t maxConnections = 256;
    size_t keepAliveMaxCount = 1000;  // requests on one connection
};

class SimHttpServer : public httplib::Server {
public:
    explicit SimHttpServer(SimHttpLimits limits);
    // The connection this thread serves is closed after the reply being made.
    static void closeAfterReply();
    // After binding: room for many connections waiting to be accepted (the
    // library listens with a queue of 5, and a burst beyond has its
    // connection attempts dropped and retried a second later).
    void widenBacklog(int backlog = 1024);

private:
    bool process_and_close_socket(socket_t sock) override;
    bool stopping() const { return svr_sock_ == INVALID_SOCKET; }

    SimHttpLimits limits_;
};

// A pool of threads made on demand, up to a maximum, kept until shutdown.
class SimConnectionPool : public httplib::TaskQueue {
public:
    explicit SimConnectionPool(size_t maxThreads);
    ~SimConnectionPool() override;
    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

private:
    void work();

    const size_t max_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    size_t idle_ = 0;
    bool shutdown_ = false;
};
