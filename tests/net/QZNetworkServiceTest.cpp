#include "tests/net/NetTestSupport.h"

#include "core/security/Base64.h"
#include "net/HTTPQueue.h"

namespace {

const char* kSnapshot = "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2|000001.2&field=3|1|4";
const char* kKLine = "tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=5&date=0&count=30&techname=&code=000001.1";

}  // namespace

using QZNetworkServiceTest = SimFixture;

TEST_F(QZNetworkServiceTest, EveryRequestTypeGivesItsHeaderFlagsAndReply) {
    login();
    const int encrypt[] = {0, 54, 0, 18, 36, 54, 18, 54};
    for (int type = 0; type < 8; ++type) {
        sim->clearRequests();
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, type, 40 + type);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); })) << type;
        ASSERT_EQ(r.events[0].kind, "data") << type << " " << r.events[0].text;
        EXPECT_EQ(r.events[0].tag, 40 + type);
        auto set = r.events[0].firstSet();
        ASSERT_TRUE(set);
        ASSERT_EQ(set->rowsAffected(), 2);
        EXPECT_EQ(set->getFieldNameAtIndex(0), "code");
        EXPECT_EQ(set->toStringAtIndex(0).value_or(""), "600519");
        auto recs = sim->requests();
        ASSERT_EQ(recs.size(), 1u);
        EXPECT_EQ(recs[0].encrypt, encrypt[type]);
        EXPECT_EQ(recs[0].userAgent, "VTA-IPhone 1.0");
        EXPECT_EQ(recs[0].session, simMaskedSession(ServiceSession::shared().session()));
        bool enciphered = encrypt[type] >= 36, compressed = encrypt[type] % 36 == 18;
        EXPECT_EQ(recs[0].etag,
                  "0," + recs[0].packageId + "," + (compressed ? "18" : "0") + "," + (enciphered ? "36" : "0"));
        EXPECT_EQ(recs[0].rawBody.find("code=600519.2") == std::string::npos, enciphered) << recs[0].rawBody;
        EXPECT_NE(recs[0].rawBody.find("tc_mfuncno=31000&tc_sfuncno=4"), std::string::npos);
    }
}

TEST_F(QZNetworkServiceTest, EncipheredFieldsNeverTravelInClear) {
    login();
    sim->clearRequests();
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr("tc_mfuncno=3710&tc_sfuncno=3&TC_SFUNCNO=3&code=600036.2&secret=pa55word+/=", 5, 7);
    ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
    ASSERT_EQ(r.events[0].kind, "data");
    auto rec = sim->requests().at(0);
    EXPECT_EQ(rec.rawBody.find("pa55word"), std::string::npos);
    EXPECT_EQ(rec.rawBody.find("600036"), std::string::npos);
    EXPECT_EQ(fieldOf(rec, "secret"), "pa55word+/=");  // deciphered on the server, Base64 "=" kept
    EXPECT_EQ(fieldOf(rec, "TC_REQLENGTH"), std::to_string(std::string("code=600036.2&secret=pa55word+/=").size()));
    EXPECT_NE(rec.rawBody.find("TC_SFUNCNO=3"), std::string::npos);  // upper-case header field stays in clear
    EXPECT_EQ(sim->ownStocks("13800138000"), std::vector<std::string>{"600036.2"});
}

TEST_F(QZNetworkServiceTest, EachErrorObjectComesFromTheReplyThatRaisesIt) {
    login();
    struct Case {
        SimFault fault;
        int type;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {SimFault::NoEtag, 3, 101, "服务器返回数据格式错误"},
        {SimFault::BadEtag, 0, 101, "服务器返回数据格式错误"},
        {SimFault::Refuse, 3, 103, "服务器返回数据异常"},
        {SimFault::CorruptCipher, 4, 104, "数据解密错误"},
        {SimFault::BadCompressedLength, 3, 105, "数据解压错误"},
        {SimFault::BadCompressedLength, 5, 105, "数据解压错误"},
    };
    for (const auto& c : cases) {
        sim->forceFault(c.fault, 31000, 4);
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, c.type, 9);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
        ASSERT_EQ(r.events.size(), 1u);
        EXPECT_EQ(r.events[0].kind, "service");
        EXPECT_EQ(r.events[0].code, c.code);
        EXPECT_EQ(r.events[0].text, c.text);
        EXPECT_EQ(r.events[0].tag, 9);
    }
    // A business error is no service error: the screen reads the error set.
    sim->forceErrorSet(-5, "股票代码不存在", 31000, 4);
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(kSnapshot, 3);
    ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
    ASSERT_EQ(r.events[0].kind, "data");
    EXPECT_EQ(r.events[0].tag, -1);
    ASSERT_TRUE(r.events[0].firstSet()->isError());
    EXPECT_EQ(r.events[0].firstSet()->getError(), "股票代码不存在");
}

TEST_F(QZNetworkServiceTest, TransportFailuresAreNetworkErrorsAndTypeTwoRetriesOnce) {
    login();
    {
        sim->dropConnection(31000, 4);
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, 0, 1);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
        EXPECT_EQ(r.events[0].kind, "network");
    }
    {
        sim->clearRequests();
        sim->dropConnection(31000, 4);
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, 2, 2);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
        EXPECT_EQ(r.events[0].kind, "data");
        EXPECT_EQ(sim->requestsOf(31000, 4).size(), 2u);
    }
    {
        sim->holdReply(31000, 4);
        Recorder r;
        QZNetworkService s;
        s.setTimeOutSeconds(0.2);
        s.setDelegate(&r);
        s.requestStr(kSnapshot, 3, 3);
        ASSERT_TRUE(pollUntil([&] { return sim->heldReplies() == 1; }));
        passTimeOut(0.2);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
        EXPECT_EQ(r.events[0].kind, "network");
        EXPECT_EQ(r.events[0].code, -1001);
        sim->releaseHeldReplies();
    }
}

TEST_F(QZNetworkServiceTest, SessionLoginStoresTheSessionAndExchangesTheKey) {
    login();
    auto logins = sim->requestsOf(100, 1);
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_FALSE(fieldOf(logins[0], "TC_KEY").empty());
    EXPECT_EQ(fieldOf(logins[0], "phone"), "13800138000");  // enciphered in the login (type 1)
    EXPECT_EQ(logins[0].rawBody.find("13800138000"), std::string::npos);
    auto ids = sim->sessionIds();
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(VTAParamter::shareParamter().getStringForKey("loginSession").value_or(""), ids[0]);
}

TEST_F(QZNetworkServiceTest, SessionTimeoutLogsInSilentlyAndReplaysEveryFailedRequestButAnOrder) {
    login();
    sim->expireAllSessions();
    sim->clearRequests();
    Recorder r1, r2;
    QZNetworkService a, b;
    a.setDelegate(&r1);
    b.setDelegate(&r2);
    const char* kOrder = "tc_mfuncno=31000&tc_sfuncno=10&key=GZ";
    const char* kTypeFourQuery = "tc_mfuncno=31000&tc_sfuncno=10&key=PF";
    a.requestStr(kSnapshot, 3, 106);
    a.requestStr(kOrder, 4, 107, QZNetworkService::Replay::Never);
    a.requestStr(kTypeFourQuery, 4, 108);
    b.requestStr("tc_mfuncno=3710&tc_sfuncno=2", 6, 3002);
    ASSERT_TRUE(waitFor([&] { return r1.events.size() == 3 && r2.events.size() == 1; }));
    for (auto* r : {&r1, &r2})
        for (auto& e : r->events) {
            if (e.tag == 107) {  // an order: the server did not take it, and it is not sent again
                EXPECT_EQ(e.kind, "service");
                EXPECT_EQ(e.code, 102);
            } else {  // a query of the orders' type is replayed as any other
                EXPECT_EQ(e.kind, "data") << e.tag << " " << e.text;
            }
        }
    auto sent = [&](const std::string& key) {
        size_t n = 0;
        for (const auto& q : sim->requestsOf(31000, 10)) n += fieldOf(q, "key") == key;
        return n;
    };
    EXPECT_EQ(ServiceSession::shared().silentLoginCount(), 1);
    EXPECT_EQ(sim->requestsOf(100, 1).size(), 1u);    // one login for all four
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), 2u);  // failed once, replayed once
    // Three sendings of 31000/10; the server reads the fields only under a
    // live session: the query's replay, never the order again.
    EXPECT_EQ(sim->requestsOf(31000, 10).size(), 3u);
    EXPECT_EQ(sent("PF"), 1u);
    EXPECT_EQ(sent("GZ"), 0u);
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), 2u);
    EXPECT_EQ(sim->requests().back().session, simMaskedSession(ServiceSession::shared().session()));
    // The order's owner heard of it after the login: a second sending goes under the new session.
    Recorder again;
    a.setDelegate(&again);
    a.requestStr(kOrder, 4, 107, QZNetworkService::Replay::Never);
    ASSERT_TRUE(waitFor([&] { return !again.events.empty(); }));
    EXPECT_EQ(again.events[0].kind, "data");
    EXPECT_EQ(ServiceSession::shared().silentLoginCount(), 1);
}

TEST_F(QZNetworkServiceTest, FailedSilentLoginGivesSessionTimeoutToEachWaitingRequest) {
    login();
    sim->expireAllSessions();
    // Every login fails while both requests wait: however their time-outs
    // interleave with the silent login, each must end with the time-out error.
    sim->forceErrorSet(-1, "登录失败", 100, 1, 1000);
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(kSnapshot, 3, 1);
    s.requestStr(kSnapshot, 3, 2);
    ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
    for (auto& e : r.events) {
        EXPECT_EQ(e.kind, "service");
        EXPECT_EQ(e.code, 102);
        EXPECT_EQ(e.text, "会话已超时，请稍后再试");
    }
    // A replay that times out again is not replayed a second time.
    sim->clearControls();
    ServiceSession::shared().reset();
    login();
    sim->forceFault(SimFault::SessionTimeout, 31000, 4, 2);
    Recorder r2;
    s.setDelegate(&r2);
    s.requestStr(kSnapshot, 3, 3);
    ASSERT_TRUE(waitFor([&] { return !r2.events.empty(); }));
    EXPECT_EQ(r2.events[0].code, 102);
}

TEST_F(QZNetworkServiceTest, ChartTagsDeliverTheCachedCopyFirstThenTheFreshReply) {
    login();
    const std::string intraday =
        "tc_mfuncno=31000&tc_sfuncno=1&freq=2&close_xxld=1&addup=1&time=0&date=0&maxvol=999999999&code=600519.2";
    const std::string kline = kKLine;
    Recorder r;
    r.takesArrays = true;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(intraday, 3, 1501);
    s.requestStr(kline, 3, 1504);
    ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
    std::multiset<int> tags{r.events[0].tag, r.events[1].tag};
    EXPECT_EQ(tags, (std::multiset<int>{1501, 1504}));
    for (auto& e : r.events) {
        EXPECT_EQ(e.kind, "array");
        EXPECT_GE(e.sets.size(), 2u);
    }
    r.events.clear();
    s.requestStr(intraday, 3, 1501);
    ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
    EXPECT_EQ(r.events[0].tag, 1503);
    EXPECT_EQ(r.events[1].tag, 1501);
    r.events.clear();
    s.requestStr(kline, 3, 1504);
    ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
    EXPECT_EQ(r.events[0].tag, 1506);
    EXPECT_EQ(r.events[1].tag, 1504);
    // Without record-set callbacks: bytes under the request's tag, no cached copy.
    Recorder plain;
    QZNetworkService p;
    p.setDelegate(&plain);
    p.requestStr(intraday, 3, 1501);
    ASSERT_TRUE(waitFor([&] { return !plain.events.empty(); }));
    drainTransfers();
    ASSERT_EQ(plain.events.size(), 1u);
    EXPECT_EQ(plain.events[0].kind, "data");
    EXPECT_EQ(plain.events[0].tag, 1501);
}

TEST_F(QZNetworkServiceTest, CancelRequestLeavesAnotherServicesRequestAlone) {
    login();
    sim->holdReply(31000, 4, 2);
    Recorder ra, rb;
    QZNetworkService a, b;
    a.setDelegate(&ra);
    b.setDelegate(&rb);
    a.requestStr(kSnapshot, 3, 1);
    b.requestStr(kSnapshot, 3, 2);
    EXPECT_EQ(a.pendingCount(), 1u);
    a.cancelRequest();
    EXPECT_EQ(a.pendingCount(), 0u);
    EXPECT_TRUE(a.lastRequest().empty());
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !rb.events.empty(); }));
    drainTransfers();
    EXPECT_TRUE(ra.events.empty());
    EXPECT_EQ(rb.events[0].kind, "data");
    // The global cancel drops every service's pending requests.
    sim->holdReply(31000, 4, 2);
    a.requestStr(kSnapshot, 3, 3);
    b.requestStr(kSnapshot, 3, 4);
    NetworkManager::manager().removeAllRequest();
    EXPECT_EQ(a.pendingCount() + b.pendingCount(), 0u);
    sim->releaseHeldReplies();
    drainTransfers();
    EXPECT_EQ(ra.events.size(), 0u);
    EXPECT_EQ(rb.events.size(), 1u);
    // On a full queue, a cancelled request's slot goes to the one waiting.
    // The held request is of a function nothing else here sends, and the
    // server has read it (and so taken the hold) before it is cancelled: a
    // request cancelled above that reaches the server late, or a reply
    // released above whose thread has not woken yet, cannot pass for it, and
    // the waiting request can never take the hold meant for it.
    HTTPQueue full(1);
    Recorder rc, rd;
    QZNetworkService c(full), d(full);
    c.setDelegate(&rc);
    d.setDelegate(&rd);
    sim->holdReply(31000, 2);
    c.requestStr(kKLine, 3, 5);
    d.requestStr(kSnapshot, 3, 6);
    ASSERT_TRUE(pollUntil([&] { return sim->requestsOf(31000, 2).size() == 1; }));
    c.cancelRequest();
    ASSERT_EQ(full.runningCount(), 1u) << "the waiting request goes";
    ASSERT_TRUE(waitFor([&] { return !rd.events.empty(); }));
    EXPECT_EQ(rd.events[0].kind, "data");
    sim->releaseHeldReplies();
    drainTransfers();
    EXPECT_TRUE(rc.events.empty());
}

TEST_F(QZNetworkServiceTest, NoCallbackReachesAReleasedDelegateOrService) {
    login();
    sim->holdReply(31000, 4, 3);
    auto gone = std::make_shared<Recorder>();
    Recorder stays;
    QZNetworkService s;
    s.setDelegate(std::weak_ptr<QZNetworkServiceDelegate>(gone));
    s.requestStr(kSnapshot, 3, 1);
    gone.reset();  // the screen went while its request was in flight
    auto dropped = std::make_unique<QZNetworkService>();
    dropped->setDelegate(&stays);
    dropped->requestStr(kSnapshot, 3, 2);
    dropped.reset();  // destroying the service cancels its request
    QZNetworkService witness;
    witness.setDelegate(&stays);
    witness.requestStr(kSnapshot, 3, 3);
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !stays.events.empty(); }));
    drainTransfers();
    ASSERT_EQ(stays.events.size(), 1u);
    EXPECT_EQ(stays.events[0].tag, 3);
    EXPECT_EQ(s.pendingCount(), 0u);
}

TEST_F(QZNetworkServiceTest, ActivityIndicatorHidesHalfASecondAfterTheLastRequest) {
    login();
    RunLoop::main().runFor(0.6, kHangSeconds);  // the login's own indicator is hidden again
    ASSERT_FALSE(NetworkActivityIndicator::shared().isVisible());
    std::vector<bool> changes;
    NetworkActivityIndicator::shared().setVisibilityHandler([&](bool v) { changes.push_back(v); });
    Clock::freezeAt(1709605800);
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(kSnapshot, 3, 1);
    s.requestStr(kSnapshot, 3, 2);
    EXPECT_TRUE(NetworkActivityIndicator::shared().isVisible());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return r.events.size() == 2; }, 0, kHangSeconds));
    EXPECT_TRUE(NetworkActivityIndicator::shared().isVisible());
    RunLoop::main().runFor(0.4, kHangSeconds);
    EXPECT_TRUE(NetworkActivityIndicator::shared().isVisible());
    RunLoop::main().runFor(0.2, kHangSeconds);
    EXPECT_FALSE(NetworkActivityIndicator::shared().isVisible());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    NetworkActivityIndicator::shared().setVisibilityHandler(nullptr);
}

TEST_F(QZNetworkServiceTest, TrafficCountersGrowWithEveryReply) {
    NetworkManager::manager().resetTraffic();
    login();
    EXPECT_GT(NetworkManager::manager().sentBytes(), 100);
    EXPECT_GT(NetworkManager::manager().receivedBytes(), 50);
    int64_t before = NetworkManager::manager().packageId();
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(kSnapshot, 3);
    ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
    EXPECT_EQ(sim->requests().back().packageId, std::to_string(before + 1));
}

TEST_F(QZNetworkServiceTest, AReplyLongerThanTheCapIsCutOffAsANetworkError) {
    login();
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    EXPECT_EQ(s.maxReplyBytes(), QZNetworkService::kMaxReplyBytes);
    s.setMaxReplyBytes(16);  // far below any snapshot reply
    s.requestStr(kSnapshot, 0, 7);
    ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
    EXPECT_EQ(r.events[0].kind, "network");
    EXPECT_EQ(r.events[0].tag, 7);
    EXPECT_EQ(s.pendingCount(), 0u);
    // The same request within the cap is answered.
    s.setMaxReplyBytes(0);  // back to the default
    r.events.clear();
    s.requestStr(kSnapshot, 0, 8);
    ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
    EXPECT_EQ(r.events[0].kind, "data");
}
