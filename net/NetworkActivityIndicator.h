#pragma once
// The network activity indicator: visible while any request of a request
// service runs, hidden half a second after the last one has ended (so that a
// run of requests does not make it flicker). Main thread only; the hiding
// waits on a timer of the main loop. The application object shows it
// (isNetworkActivityIndicatorVisible) through the handler set here.
#include <functional>
#include <memory>

class NSTimer;

class NetworkActivityIndicator {
public:
    static NetworkActivityIndicator& shared();

    void requestStarted();
    void requestEnded();
    bool isVisible() const { return visible_; }
    int runningCount() const { return running_; }
    // Called with the new visibility each time it changes.
    void setVisibilityHandler(std::function<void(bool)> handler) { handler_ = std::move(handler); }
    // Tests: back to hidden, no requests, no timer.
    void reset();

    static constexpr double kHideDelay = 0.5;

private:
    void setVisible(bool v);
    int running_ = 0;
    bool visible_ = false;
    std::shared_ptr<NSTimer> hideTimer_;
    std::function<void(bool)> handler_;
};
