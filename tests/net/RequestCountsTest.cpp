// How many times a request reaches the server, and how many answers come back:
// one retry of a type-2 request after a transport failure and never more, no
// retry of any other failure; every pending answer of a cancelled delegate
// dropped, however many it has.
#include "tests/net/NetTestSupport.h"

#include "net/XXNetworkManager.h"

namespace {

const char* kSnapshot = "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2&field=3|1|4";

using RequestCountsTest = SimFixture;

TEST_F(RequestCountsTest, OnlyATypeTwoRequestIsRetriedAndOnlyOnceAfterATransportFailure) {
    login();
    struct Case {
        int type;
        int drops;            // connections dropped without an answer
        SimFault fault;       // or an answer that is a failure
        const char* outcome;  // what the delegate hears, once
        size_t sent;          // requests the server saw
    };
    for (const Case& c : std::vector<Case>{{2, 1, SimFault::None, "data", 2},
                                           {2, 2, SimFault::None, "network", 2},
                                           {2, 3, SimFault::None, "network", 2},
                                           {0, 1, SimFault::None, "network", 1},
                                           {3, 1, SimFault::None, "network", 1},
                                           {4, 1, SimFault::None, "network", 1},
                                           {2, 0, SimFault::Refuse, "service", 1},
                                           {2, 0, SimFault::NoEtag, "service", 1}}) {
        SCOPED_TRACE("type " + std::to_string(c.type) + ", drops " + std::to_string(c.drops));
        sim->clearControls();
        sim->clearRequests();
        if (c.drops) sim->dropConnection(31000, 4, c.drops);
        if (c.fault != SimFault::None) sim->forceFault(c.fault, 31000, 4);
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, c.type, 5);
        ASSERT_TRUE(waitFor([&] { return s.pendingCount() == 0; }));
        ASSERT_EQ(r.events.size(), 1u);
        EXPECT_EQ(r.events[0].kind, c.outcome);
        EXPECT_EQ(r.events[0].tag, 5);
        EXPECT_EQ(sim->requestsOf(31000, 4).size(), c.sent);
    }
}

class XXCalls : public XXNetworkManagerDelegate {
public:
    int calls = 0;
    void serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>&, int) override { ++calls; }
    void xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>&, int) override { ++calls; }
    void serviceDidNetworkError(XXNetworkManager*, const NSError&, int) override { ++calls; }
    void serviceDidServiceError(XXNetworkManager*, const NSError&, int) override { ++calls; }
};

TEST_F(RequestCountsTest, CancellingADelegateDropsEveryOneOfItsAnswersAndNoOneElses) {
    login();
    auto& xx = XXNetworkManager::sharedManager();
    sim->clearRequests();
    sim->holdReply(3710, 0, 5);
    // Both screens live on: an answer that slipped through would be counted.
    XXCalls leaving, staying;
    xx.requestAddPortfolio("600519.2", &leaving);
    xx.requestAddPortfolio("600036.2", &staying);
    xx.requestDeletePortfolio("000002.1", &leaving);
    xx.requestUpdatePortfolio("000001.1|600519.2", &leaving);
    xx.requestDeletePortfolio("600036.2", &staying);
    xx.cancelForDelegate(&leaving);
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return xx.pendingCount() == 0; }));
    EXPECT_EQ(leaving.calls, 0);
    EXPECT_EQ(staying.calls, 4);  // service and xservice for each of its two
    // The requests still reached the server.
    EXPECT_EQ(sim->requestsOf(3710, 3).size() + sim->requestsOf(3710, 4).size() + sim->requestsOf(3710, 5).size(),
              5u);
    // Cancelling is not for good: the screen's next request is answered.
    xx.requestAddPortfolio("000001.1", &leaving);
    ASSERT_TRUE(waitFor([&] { return xx.pendingCount() == 0; }));
    EXPECT_EQ(leaving.calls, 2);
    xx.cancelAll();
}

}  // namespace
