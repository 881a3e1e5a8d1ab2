// Replies held back until the test lets them go: a slow server, as a test
// needs one, without waiting in real time. The server has already done what
// the request asked (its books changed); only the answer waits, on the
// connection's own thread.
//
// A reply to hold takes a ticket when its request is read; release() lets
// every ticket given so far go, whether its reply waits already or is still
// on its way to wait().
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

class SimReplyHold {
public:
    uint64_t take();
    // Blocks until the ticket is released or the hold closed.
    void wait(uint64_t ticket);
    void release();
    // The server stops: every reply goes, and none waits from now on.
    void close();
    // The replies waiting now.
    size_t waiting() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable released_;
    uint64_t given_ = 0;
    uint64_t releasedThrough_ = 0;
    size_t waiting_ = 0;
    bool closed_ = false;
};
