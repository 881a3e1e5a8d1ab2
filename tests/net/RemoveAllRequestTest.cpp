#include "tests/net/NetTestSupport.h"

#include "net/HTTPQueue.h"

namespace {

const char* kQuote = "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2|000001.2&field=3|1|4";

using RemoveAllRequestTest = SimFixture;

// The shared queue is emptied while a silent re-login runs: the shared queue's
// waiting request is dropped without a callback, the other queue's waiting
// request ends with a network error, and the session is not left waiting for
// a login that will never answer.
TEST_F(RemoveAllRequestTest, DuringASilentLoginEndsTheWaitingRequestsAndUnblocksTheNextLogin) {
    login();
    sim->expireAllSessions();
    // The login's answer is held, so that both requests are parked behind it.
    sim->holdReply(100, 1);
    HTTPQueue own(4);
    Recorder shared, other;
    QZNetworkService a;
    QZNetworkService x(own);
    a.setDelegate(&shared);
    x.setDelegate(&other);
    a.requestStr(kQuote, 3, 1);
    x.requestStr(kQuote, 3, 2);
    ASSERT_TRUE(waitFor([] { return ServiceSession::shared().waitingCount() == 2; }));
    ASSERT_TRUE(ServiceSession::shared().isLoggingIn());

    NetworkManager::manager().removeAllRequest();
    sim->releaseHeldReplies();
    EXPECT_FALSE(ServiceSession::shared().isLoggingIn());
    EXPECT_EQ(ServiceSession::shared().waitingCount(), 0u);
    EXPECT_EQ(a.pendingCount(), 0u);
    EXPECT_TRUE(other.events.empty());  // not from inside removeAllRequest
    ASSERT_TRUE(waitFor([&] { return !other.events.empty(); }));
    EXPECT_EQ(other.events[0].kind, "network");
    EXPECT_EQ(other.events[0].code, ServiceErrors::kCancelled);
    EXPECT_EQ(other.events[0].tag, 2);
    EXPECT_EQ(x.pendingCount(), 0u);

    // The next time-out logs in again and its request is replayed.
    sim->expireAllSessions();
    a.requestStr(kQuote, 3, 3);
    ASSERT_TRUE(waitFor([&] { return !shared.events.empty(); }));
    ASSERT_EQ(shared.events.size(), 1u);  // the dropped request never calls back
    EXPECT_EQ(shared.events[0].kind, "data");
    EXPECT_EQ(shared.events[0].tag, 3);
    EXPECT_EQ(ServiceSession::shared().silentLoginCount(), 2);
    EXPECT_FALSE(ServiceSession::shared().isLoggingIn());
    EXPECT_EQ(other.events.size(), 1u);
}

// removeAllRequest empties the shared queue only: a service on another queue
// keeps its request in flight and gets its reply.
TEST_F(RemoveAllRequestTest, LeavesTheRequestsOfAnotherQueueRunning) {
    login();
    sim->holdReply(31000, 4, 2);
    HTTPQueue own(4);
    Recorder shared, other;
    QZNetworkService a;
    QZNetworkService x(own);
    a.setDelegate(&shared);
    x.setDelegate(&other);
    a.requestStr(kQuote, 3, 1);
    x.requestStr(kQuote, 3, 2);
    NetworkManager::manager().removeAllRequest();
    EXPECT_EQ(a.pendingCount(), 0u);
    EXPECT_EQ(x.pendingCount(), 1u);
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !other.events.empty(); }));
    EXPECT_EQ(other.events[0].kind, "data");
    EXPECT_EQ(other.events[0].tag, 2);
    EXPECT_TRUE(shared.events.empty());
    EXPECT_EQ(NetworkActivityIndicator::shared().runningCount(), 0);
}

}  // namespace
