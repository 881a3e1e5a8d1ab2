#pragma once
// The end of a test's network traffic, as an event: every transfer the
// network thread still runs (those just cancelled too) has ended and handed
// its result back, and the main loop has run what it was given.
#include "net/HTTPEngine.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/TestSupport.h"

inline void drainTransfers() {
    RunLoop::main().runUntil(
        [] { return HTTPEngine::shared().activeCount() == 0 && RunLoop::main().pendingTaskCount() == 0; }, 0,
        kHangSeconds);
}
