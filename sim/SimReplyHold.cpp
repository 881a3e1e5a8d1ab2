#include "sim/SimReplyHold.h"

uint64_t SimReplyHold::take() {
    std::lock_guard lock(mutex_);
    return ++given_;
}

void SimReplyHold::wait(uint64_t ticket) {
    std::unique_lock lock(mutex_);
    ++waiting_;
    released_.wait(lock, [&] { return closed_ || ticket <= releasedThrough_; });
    --waiting_;
}

void SimReplyHold::release() {
    {
        std::lock_guard lock(mutex_);
        releasedThrough_ = given_;
    }
    released_.notify_all();
}

void SimReplyHold::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    released_.notify_all();
}

size_t SimReplyHold::waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}
