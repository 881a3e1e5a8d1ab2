// The HTTP engine sends a request that is not repeatable at most once,
// whatever the line does, while other requests keep libcurl's re-sending on
// a dead kept-alive connection (which the first rows show happening).
#include "NetTestSupport.h"

#include "net/HTTPQueue.h"
#include "net/HTTPRequest.h"
#include "tests/support/CuttingProxy.h"

namespace {

using Cut = CuttingProxy::Cut;

struct Sending {
    const char* name;
    Cut cut;
    bool repeatable;
    size_t arrivals;   // times the request reached the proxy
    size_t forwarded;  // ... and the server
    bool answered;     // the owner got the server's reply
};

class OnceOnlyTransportTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        proxy = std::make_unique<CuttingProxy>(sim->port());
        ASSERT_TRUE(proxy->start());
    }
    void TearDown() override {
        queue.cancelAllOperations();
        proxy->stop();
        SimFixture::TearDown();
    }
    // Runs one request through the proxy to its end.
    std::shared_ptr<HTTPRequest> run(std::shared_ptr<HTTPRequest> r) {
        bool done = false;
        r->setTimeOutSeconds(5);
        r->setCompletionBlock([&](HTTPRequest&) { done = true; });
        queue.addOperation(r);
        EXPECT_TRUE(waitFor([&] { return done; }));
        return r;
    }
    std::shared_ptr<HTTPRequest> probe() { return run(HTTPRequest::requestWithURL(proxy->url() + "/vta")); }
    std::shared_ptr<HTTPRequest> order(bool repeatable) {
        auto r = HTTPRequest::requestWithURL(proxy->url() + "/vta");
        r->setPostBody("tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&tc_mfuncno=500&tc_sfuncno=6&TC_SESSION={}");
        r->setRepeatable(repeatable);
        return run(r);
    }

    HTTPQueue queue{4};
    std::unique_ptr<CuttingProxy> proxy;
};

TEST_F(OnceOnlyTransportTest, ARequestThatIsNotRepeatableGoesOnceWhereverTheLineBreaks) {
    const Sending rows[] = {
        // libcurl re-sends on a fresh connection when the kept-alive one died with no reply byte.
        {"answer lost, repeatable", Cut::AfterAnswer, true, 2, 2, true},
        {"never forwarded, repeatable", Cut::BeforeForwarding, true, 2, 1, true},
        {"answer lost", Cut::AfterAnswer, false, 1, 1, false},
        {"never forwarded", Cut::BeforeForwarding, false, 1, 0, false},
        {"reply cut in the middle", Cut::MidReply, false, 1, 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        proxy->clearCuts();
        const size_t before = proxy->received(500, 6), forwardedBefore = proxy->forwarded(500, 6);
        // A kept-alive connection to the proxy, idle in libcurl's pool.
        ASSERT_FALSE(probe()->failed());
        proxy->cut(500, 6, row.cut);
        auto r = order(row.repeatable);
        EXPECT_EQ(proxy->received(500, 6) - before, row.arrivals);
        EXPECT_EQ(proxy->forwarded(500, 6) - forwardedBefore, row.forwarded);
        EXPECT_EQ(!r->failed() && r->responseStatusCode() == 200, row.answered) << r->errorText();
        if (!row.answered) {
            EXPECT_FALSE(r->couldNotConnect()) << "it did leave: its fate is not known";
        }
    }
}

TEST_F(OnceOnlyTransportTest, KeptAliveConnectionsServeRepeatableRequestsOnly) {
    // Quotes share one kept-alive connection; an order opens its own, and the
    // connection an idle server closed is never the one it goes on.
    ASSERT_FALSE(probe()->failed());
    ASSERT_FALSE(probe()->failed());
    EXPECT_EQ(proxy->connections(), 1u);
    EXPECT_FALSE(order(false)->failed());
    EXPECT_FALSE(order(false)->failed());
    EXPECT_EQ(proxy->connections(), 3u);
    ASSERT_FALSE(probe()->failed());
    EXPECT_EQ(proxy->connections(), 3u) << "the orders' connections were not kept";

    proxy->cutAt(1, Cut::CloseAfterReply);
    ASSERT_FALSE(probe()->failed());
    auto r = order(false);
    EXPECT_FALSE(r->failed()) << r->errorText();
    EXPECT_EQ(proxy->received(500, 6), 3u);
}

}  // namespace
