#include "net/NetworkActivityIndicator.h"

#include "platform/foundation/NSTimer.h"

NetworkActivityIndicator& NetworkActivityIndicator::shared() {
    static NetworkActivityIndicator indicator;
    return indicator;
}

void NetworkActivityIndicator::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    if (handler_) handler_(v);
}

void NetworkActivityIndicator::requestStarted() {
    ++running_;
    if (hideTimer_) {
        hideTimer_->invalidate();
        hideTimer_.reset();
    }
    setVisible(true);
}

void NetworkActivityIndicator::requestEnded() {
    if (running_ > 0) --running_;
    if (running_ > 0 || !visible_) return;
    if (hideTimer_) hideTimer_->invalidate();
    hideTimer_ = NSTimer::scheduledTimerWithTimeInterval(
        kHideDelay,
        [this](NSTimer&) {
            hideTimer_.reset();
            if (running_ == 0) setVisible(false);
        },
        false);
}

void NetworkActivityIndicator::reset() {
    running_ = 0;
    if (hideTimer_) hideTimer_->invalidate();
    hideTimer_.reset();
    setVisible(false);
}
