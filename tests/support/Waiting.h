#pragma once
// Waiting in the tests of the client: on events and on virtual time, never on
// the wall clock.
//
// waitUntil runs the main loop until the condition holds. A request in flight
// is waited for however long it takes (the run loop counts it as background
// work); timers fire in virtual time, up to the span. Once nothing is left
// that could change anything (no task queued, nothing in flight, no timer
// within the span) the wait ends at once with false: a failing test fails
// now, a slow machine only takes longer. kHangSeconds only ends a reply that
// never comes.
//
// A request's time-out is a timer of the main loop too, and virtual time
// stands still while the request is on its way: passTimeOut moves the clock
// past it once the test knows the reply is held (by the simulator or the
// cutting proxy), and the next wait lets the request fail for its time.
//
// drainTransfers awaits the end of a test's traffic: every transfer the
// network thread still runs (those just cancelled too) has ended and handed
// its result back, and the main loop has run what it was given.
#include <functional>

#include "net/HTTPEngine.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/TestSupport.h"

inline bool waitUntil(const std::function<bool()>& done, double virtualSeconds) {
    RunLoop& loop = RunLoop::main();
    if (!Clock::isFrozen()) return loop.runUntil(done, virtualSeconds, kHangSeconds);
    const double end = Clock::now() + virtualSeconds;
    // Background work first: work that ends posts its answer before it stops counting.
    auto nothingLeft = [&] {
        if (loop.backgroundWorkCount() > 0 || loop.pendingTaskCount() > 0) return false;
        const auto next = loop.nextTimerFireDate();
        return !next || *next > end;
    };
    loop.runUntil([&] { return done() || nothingLeft(); }, virtualSeconds, kHangSeconds);
    return done();
}

inline void passTimeOut(double seconds) { Clock::advance(seconds); }

inline void drainTransfers() {
    RunLoop::main().runUntil(
        [] { return HTTPEngine::shared().activeCount() == 0 && RunLoop::main().pendingTaskCount() == 0; }, 0,
        kHangSeconds);
}
