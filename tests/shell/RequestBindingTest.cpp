// Requests bound by tag, against the simulated server: each reply reaches the
// handler of its own tag, failures take the screen's failure road, refused
// values send nothing, and an order in flight is never dropped silently.
#include "ScreensTestSupport.h"

#include "core/RequestBuilder.h"
#include "core/contracts/TradeContract.h"
#include "shell/RequestBinding.h"
#include "shell/TradeSession.h"

namespace {

constexpr int kSnapshotTag = 10, kSearchTag = 11, kOrderTag = 12, kIntradayTag = QZNetworkService::kIntradayTag;

const std::string kSnapshot = "tc_mfuncno=31000&tc_sfuncno=4&code=600000.2&field=3|4|11";
const std::string kSearch = "tc_mfuncno=31000&tc_sfuncno=10&key=600&count=5";

// A screen with three kinds of request; records what reaches it.
class BoundScreen : public RecordingScreen {
public:
    BoundScreen() {
        bindRequest(kSnapshotTag, [this](const RequestReply& r) { note("snapshot", r); });
        bindRequest(kSearchTag, [this](const RequestReply& r) { note("search", r); });
        bindRequest(kOrderTag, [this](const RequestReply& r) { note("order", r); }, {.order = true});
    }
    std::vector<std::string> replies;
    std::vector<RequestFailure> failures;
    std::vector<bool> cached;
    using RequestBinding::requestDidFail;

protected:
    void requestDidFail(const RequestFailure& f) override {
        failures.push_back(f);
        RecordingScreen::requestDidFail(f);
    }

private:
    void note(const std::string& what, const RequestReply& r) {
        auto* set = r.first();
        replies.push_back(what + ":" + (set ? set->toStringWithFieldName("code").value_or("") : "-"));
        cached.push_back(r.cached);
    }
};

class RequestBindingTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        startSimulator();
        screen = std::make_shared<BoundScreen>();
        pushViewController(screen);
        settle();
    }
    void dismissAlerts() {
        for (auto& a : UIAlertView::visibleAlerts()) a->dismissWithClickedButtonIndex(0, false);
    }
    std::shared_ptr<BoundScreen> screen;
};

TEST_F(RequestBindingTest, EachReplyReachesOnlyTheHandlerOfItsTag) {
    // The reply sent first comes last: arrival order must not matter.
    sim->holdReply(31000, 4);
    ASSERT_TRUE(screen->sendRequest(kSnapshotTag, kSnapshot, 3));
    ASSERT_TRUE(screen->sendRequest(kSearchTag, kSearch, 3));
    EXPECT_TRUE(screen->isRequestInFlight(kSnapshotTag));
    EXPECT_TRUE(screen->isRequestInFlight(kSearchTag));
    ASSERT_TRUE(waitFor([&] { return screen->replies.size() == 1; }));
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return screen->replies.size() == 2; }));
    EXPECT_EQ(screen->replies[0].substr(0, 7), "search:");
    EXPECT_EQ(screen->replies[1], "snapshot:600000");
    EXPECT_FALSE(screen->hasRequestInFlight());
    EXPECT_TRUE(screen->failures.empty());
}

TEST_F(RequestBindingTest, FailuresTakeTheFailureRoadWithTheirText) {
    sim->forceErrorSet(-7, "股票代码不存在", 31000, 4);
    screen->sendRequest(kSnapshotTag, kSnapshot, 3);
    ASSERT_TRUE(waitFor([&] { return !screen->failures.empty(); }));
    EXPECT_EQ(screen->failures[0].kind, RequestFailure::Kind::ErrorSet);
    EXPECT_EQ(screen->failures[0].code, -7);
    EXPECT_EQ(topAlertTitle(), "股票代码不存在");
    EXPECT_TRUE(screen->replies.empty()) << "an error set never reaches the handler";
    dismissAlerts();

    sim->forceFault(SimFault::CorruptCipher, 31000, 10);
    screen->sendRequest(kSearchTag, kSearch, 1);
    ASSERT_TRUE(waitFor([&] { return screen->failures.size() == 2; }));
    EXPECT_EQ(screen->failures[1].kind, RequestFailure::Kind::Service);
    EXPECT_EQ(screen->failures[1].tag, kSearchTag);
    EXPECT_EQ(topAlertTitle(), "数据解密错误");
    EXPECT_FALSE(screen->hasRequestInFlight());
}

// An order whose line failed after it left may have been taken: the customer
// is told where to look, never a transport error that reads as "not done".
// A refusal, or a line that never opened, is told as it is; so is any failure of a query.
TEST_F(RequestBindingTest, AnOrderThatMayHaveBeenTakenSaysWhereToLook) {
    struct Row {
        const char* name;
        int tag;
        std::function<void(SimServer&)> breakIt;
        bool unknown;
        std::string text;
    };
    const std::string refused = "http://127.0.0.1:1";  // nothing listens there
    const Row rows[] = {
        {"connection lost", kOrderTag, [](SimServer& s) { s.dropConnection(31000, 4); }, true,
         RequestBinding::kOrderLeftText},
        {"answer unreadable", kOrderTag, [](SimServer& s) { s.forceFault(SimFault::CorruptCipher, 31000, 4); }, true,
         RequestBinding::kOrderLeftText},
        {"refused by the server", kOrderTag, [](SimServer& s) { s.forceFault(SimFault::Refuse, 31000, 4); }, false,
         "服务器返回数据异常"},
        {"never connected", kOrderTag, [&](SimServer&) { NetworkManager::manager().setLoopbackHost(refused); }, false,
         "网络连接失败，请检查网络设置"},
        {"a query's connection lost", kSnapshotTag, [](SimServer& s) { s.dropConnection(31000, 4); }, false,
         "网络连接失败，请检查网络设置"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NetworkManager::manager().setLoopbackHost(sim->url());
        screen->failures.clear();
        row.breakIt(*sim);
        ASSERT_TRUE(screen->sendRequest(row.tag, kSnapshot, 4));
        ASSERT_TRUE(waitFor([&] { return !screen->failures.empty(); }));
        EXPECT_EQ(screen->failures[0].outcomeUnknown, row.unknown);
        EXPECT_EQ(topAlertTitle(), row.text);
        EXPECT_FALSE(screen->hasRequestInFlight());
        dismissAlerts();
    }
}

TEST_F(RequestBindingTest, AnErrorSetReachesAHandlerThatAsksForIt) {
    std::string seen;
    screen->bindRequest(
        kOrderTag, [&](const RequestReply& r) { seen = r.first() && r.first()->isError() ? r.first()->getError() : ""; },
        {.order = true, .handlesErrorSet = true});
    sim->forceErrorSet(88001, "该股票存在风险，是否继续？", 31000, 4);
    screen->sendRequest(kOrderTag, kSnapshot, 4);
    ASSERT_TRUE(waitFor([&] { return !seen.empty(); }));
    EXPECT_EQ(seen, "该股票存在风险，是否继续？");
    EXPECT_FALSE(topAlert());
}

TEST_F(RequestBindingTest, AQuietTagFailsWithoutAnAlert) {
    int replies = 0;
    screen->bindRequest(kSearchTag, [&](const RequestReply&) { ++replies; }, {.quiet = true});
    sim->forceErrorSet(-1, "稍后再试", 31000, 10);
    screen->sendRequest(kSearchTag, kSearch, 3);
    ASSERT_TRUE(waitFor([&] { return !screen->failures.empty(); }));
    EXPECT_FALSE(topAlert());
    EXPECT_EQ(replies, 0);
}

// The code of an ended trade session, not its text, ends the phone's trade
// session, whatever the tag; the customer is told once.
TEST_F(RequestBindingTest, TheEndedSessionsCodeEndsTheTradeSessionAndIsToldOnce) {
    int handled = 0;
    screen->bindRequest(kOrderTag, [&](const RequestReply&) { ++handled; }, {.order = true, .handlesErrorSet = true});
    screen->bindRequest(kSearchTag, [&](const RequestReply&) { ++handled; }, {.quiet = true});
    const std::string text = TradeContract::Error::kSessionEnded;
    struct Row {
        int tag;
        int code;
        bool sessionBefore;
        bool sessionAfter;
        size_t alerts;
    } rows[] = {
        {kSnapshotTag, -1, true, true, 1},  // the same words under another code: a refusal like any other
        {kOrderTag, TradeContract::Error::kSessionEndedCode, true, false, 1},
        {kSnapshotTag, TradeContract::Error::kSessionEndedCode, false, false, 0},  // said already
        {kSearchTag, TradeContract::Error::kSessionEndedCode, true, false, 1},     // a quiet tag's too
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.tag) + " " + std::to_string(row.code));
        if (row.sessionBefore) setTradeSession();
        screen->failures.clear();
        sim->forceErrorSet(row.code, text, 31000, 4);
        screen->sendRequest(row.tag, kSnapshot, row.tag == kOrderTag ? 4 : 3);
        ASSERT_TRUE(waitFor([&] { return !screen->failures.empty(); }));
        settle(0.2);
        EXPECT_EQ(screen->failures[0].code, row.code);
        EXPECT_EQ(hasTradeSession(), row.sessionAfter);
        EXPECT_EQ(UIAlertView::visibleAlerts().size(), row.alerts);
        if (row.alerts) {
            EXPECT_EQ(topAlertTitle(), text);
        }
        dismissAlerts();
    }
    EXPECT_EQ(handled, 0) << "a handler that reads error sets is not asked about an ended session";
    EXPECT_EQ(top(), screen.get()) << "not a trade screen: it stays";
}

TEST_F(RequestBindingTest, ARefusedValueSendsNothingAndSaysWhy) {
    sim->clearRequests();
    RequestBuilder r(31000, 10);
    r.addTyped("key", "60&tc_sfuncno=6", "代码不能包含&或=");
    EXPECT_FALSE(screen->sendRequest(kSearchTag, r, 3));
    EXPECT_EQ(topAlertTitle(), "代码不能包含&或=");
    EXPECT_FALSE(screen->isRequestInFlight(kSearchTag));
    settle(0.2);
    EXPECT_EQ(sim->requestCount(), 0u);
}

TEST_F(RequestBindingTest, LeavingCancelsQueriesQuietlyButTellsOfAnOrderInFlight) {
    sim->holdReply(31000, 4);
    screen->sendRequest(kSnapshotTag, kSnapshot, 3);
    popViewControllers(1);
    settle();
    EXPECT_FALSE(topAlert()) << "a query cancelled by leaving is not worth an alert";
    sim->releaseHeldReplies();
    drainTransfers();
    EXPECT_TRUE(screen->replies.empty());

    pushViewController(screen);
    settle();
    sim->holdReply(31000, 4);
    screen->sendRequest(kOrderTag, kSnapshot, 4);
    popViewControllers(1);
    settle();
    EXPECT_EQ(topAlertTitle(), RequestBinding::kOrderLeftText);
    sim->releaseHeldReplies();
    drainTransfers();
    EXPECT_TRUE(screen->replies.empty()) << "the order's reply cannot reach a screen that left";
}

TEST_F(RequestBindingTest, ChartRepliesComeAsSetsWithTheCachedCopyFirst) {
    screen->bindRequest(kIntradayTag, [&](const RequestReply& r) {
        screen->replies.push_back("chart:" + std::to_string(r.tag) + ":" + std::to_string(r.sets.size()));
        screen->cached.push_back(r.cached);
    });
    const std::string text = "tc_mfuncno=31000&tc_sfuncno=1&code=600000.2&addup=0&date=0";
    screen->sendRequest(kIntradayTag, text, 3);
    ASSERT_TRUE(waitFor([&] { return screen->replies.size() == 1; }));
    screen->sendRequest(kIntradayTag, text, 3);
    ASSERT_TRUE(waitFor([&] { return screen->replies.size() == 3; }));
    EXPECT_EQ(screen->replies[1].substr(0, 10), "chart:1503");
    EXPECT_EQ(screen->cached, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(screen->replies[2].substr(0, 10), "chart:1501");
}

}  // namespace
