// A cancel names one request, never another that came after it: a request
// cancelled just after its transfer ended is gone by the time the network
// thread reads the cancel, and a new request may by then live at the same
// address (a restart's first login did, and failed with "网络连接失败").
#include "tests/net/NetTestSupport.h"

#include "net/HTTPEngine.h"
#include "net/HTTPRequest.h"

namespace {

using StaleCancelTest = SimFixture;

TEST_F(StaleCancelTest, ACancelOfARequestAlreadyGoneNeverEndsTheNextOne) {
    const std::string url = sim->url() + "/vta";
    const std::string body = "tc_service=300&TC_ENCRYPT=0&tc_mfuncno=100&tc_sfuncno=2";
    // What earlier tests left going (an image cache's write, say) ends first:
    // from here on only this test's answers come to the main loop.
    RunLoop& loop = RunLoop::main();
    ASSERT_TRUE(loop.runUntil(
        [&] {
            return loop.backgroundWorkCount() == 0 && loop.pendingTaskCount() == 0 &&
                   HTTPEngine::shared().activeCount() == 0;
        },
        0, kHangSeconds));
    for (int round = 0; round < 40; ++round) {
        auto before = HTTPRequest::requestWithURL(url);
        before->setPostBody(body);
        HTTPEngine::shared().start(before, [](HTTPRequest::Result) {});
        // Its transfer has ended and its answer waits on the main loop ...
        ASSERT_TRUE(pollUntil([&] { return loop.pendingTaskCount() > 0; }));
        // (still counted until the loop has taken it: a wait for the end of
        // the traffic must not end between the transfer and its answer)
        ASSERT_EQ(HTTPEngine::shared().activeCount(), 1u);
        // ... when the customer leaves: cancelled, then let go with the answer,
        // so that the next request may take its place in memory.
        before->cancel();
        before.reset();
        loop.reset();
        ASSERT_EQ(HTTPEngine::shared().activeCount(), 0u) << "an answer dropped unrun counts no more";

        auto next = HTTPRequest::requestWithURL(url);
        next->setPostBody(body);
        std::optional<HTTPRequest::Result> answer;
        HTTPEngine::shared().start(next, [&](HTTPRequest::Result r) { answer = std::move(r); });
        // Straight on the network thread, not on a queue: the loop does not count it as work in flight.
        ASSERT_TRUE(loop.runUntil([&] { return answer.has_value(); }, 0, kHangSeconds));
        EXPECT_EQ(answer->error, "") << "round " << round;
        EXPECT_EQ(answer->status, 200) << "round " << round;
    }
}

}  // namespace
