// One tap, one action: every road that changes the brokerage's books, each
// time its request's line breaks in another way, leaves the action in the
// books once or not at all, tells the customer one outcome (taken, refused,
// or not known with where to look), ends the form's state of the action,
// sends nothing when the screen is left and opened again, and takes the next
// confirmation.
#include "OrderRoadTestSupport.h"

#include "trade/OrderRules.h"

namespace {

using Cut = CuttingProxy::Cut;

// The server ends the service sessions, the trade login living on (a new
// session of the phone goes on with it).
void endServiceSessions(SimServer& sim) {
    for (const std::string& id : sim.sessionIds()) sim.expireSession(id);
}

struct Breakage {
    Line line;
    const char* name;
    bool reachesServer;  // the server reads the request
    bool reachesBooks;   // ... and carries it out
    bool refused;        // the server says it did not take it
};

const Breakage kBreakages[] = {
    {Line::BeforeServer, "cut before the server", false, false, false},
    {Line::AnswerLost, "answer lost", true, true, false},
    {Line::ReplyCut, "reply cut in the middle", true, true, false},
    {Line::ReplyLate, "reply later than the time-out", true, true, false},
    {Line::SessionExpired, "session ended on the server", true, false, true},
    {Line::SessionReplaced, "session replaced by a login while the refusal was on its way", true, false, true},
};

const char* const kQuote = "tc_mfuncno=31000&tc_sfuncno=4&code=600000.2&field=3|1|4";

}  // namespace

void OrderRoadTest::breakLine(Line line, const Road& road, VTAViewControllers* screen) {
    const int main = road.function.main, sub = road.function.sub;
    switch (line) {
        case Line::BeforeServer:
            proxy->cut(main, sub, Cut::BeforeForwarding);
            break;
        case Line::AnswerLost:
            proxy->cut(main, sub, Cut::AfterAnswer);
            break;
        case Line::ReplyCut:
            proxy->cut(main, sub, Cut::MidReply);
            break;
        case Line::ReplyLate:
            proxy->cut(main, sub, Cut::HoldPastTimeout);
            screen->requestService().setTimeOutSeconds(kShortTimeout);
            break;
        case Line::SessionExpired:
            endServiceSessions(*sim);
            break;
        case Line::SessionReplaced:
            endServiceSessions(*sim);
            proxy->cut(main, sub, Cut::HoldPastTimeout);
            break;
    }
}

void OrderRoadTest::whileOnItsWay(Line line) {
    if (line != Line::ReplyLate && line != Line::SessionReplaced) return;
    ASSERT_TRUE(waitFor([&] { return proxy->heldReplies() > 0; }));
    if (line == Line::ReplyLate) {
        passTimeOut(kShortTimeout);
        return;
    }
    // Another screen's request finds the session ended too, and the silent
    // login it starts replaces the session before the refusal comes.
    auto& session = ServiceSession::shared();
    const std::string ended = session.session();
    QZNetworkService other;
    other.requestStr(kQuote, 3);
    ASSERT_TRUE(waitFor([&] { return other.pendingCount() == 0; }));
    ASSERT_TRUE(!session.isLoggingIn() && !session.session().empty() && session.session() != ended);
    proxy->release();
}

void OrderRoadTest::mendLine(VTAViewControllers* screen) {
    proxy->clearCuts();
    screen->requestService().setTimeOutSeconds(0);
}

TEST_P(OrderRoadTest, TheActionIsBookedOnceOrNotAtAllAndTheCustomerLearnsOneOutcome) {
    const Road& road = GetParam();
    const int main = road.function.main, sub = road.function.sub;
    auto serverSaw = [&] { return sim->requestsOf(main, sub).size(); };
    for (const Breakage& b : kBreakages) {
        SCOPED_TRACE(b.name);
        VTAViewControllers* screen = openFilled(road);
        ASSERT_TRUE(screen);
        const int64_t booked = road.booked(*this);
        const size_t seen = serverSaw(), sent = proxy->received(main, sub);
        breakLine(b.line, road, screen);
        road.confirm ? road.confirm(*this, screen) : confirmSheet();
        whileOnItsWay(b.line);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
        mendLine(screen);
        settle(1);

        // One outcome, and the form is done with the action.
        EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
        EXPECT_EQ(topAlertTitle(), b.refused ? RequestBinding::kOrderNotTakenText : road.unknownText);
        EXPECT_FALSE(screen->isRequestInFlight(road.tag));
        EXPECT_FALSE(road.busy(screen));
        EXPECT_FALSE(SVProgressHUD::isVisible() && SVProgressHUD::status() == kOrderSendingText);
        // Once or not at all: the client sent it once, and nothing sent it again.
        EXPECT_EQ(road.booked(*this) - booked, b.reachesBooks ? 1 : 0);
        EXPECT_EQ(proxy->received(main, sub) - sent, 1u);
        EXPECT_EQ(serverSaw() - seen, b.reachesServer ? 1u : 0u);
        topAlert()->dismissWithClickedButtonIndex(0, false);
        settle(1);
        EXPECT_EQ(topAlert(), nullptr);

        // Leaving and coming back sends nothing again.
        leaveToRoot();
        if (road.recover) road.recover(*this);
        if (road.fresh) road.fresh(*this);
        const size_t before = proxy->received(main, sub);
        VTAViewControllers* again = road.open(*this);
        ASSERT_TRUE(again);
        EXPECT_EQ(proxy->received(main, sub), before);
        EXPECT_EQ(topAlert(), nullptr);

        // The next confirmation goes, once.
        road.fill(*this, again);
        ASSERT_FALSE(HasFatalFailure());
        road.confirm ? road.confirm(*this, again) : confirmSheet();
        const int64_t expected = b.reachesBooks ? 2 : 1;
        // Some screens answer a success without an alert.
        ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr || road.booked(*this) - booked == expected; }));
        settle(1);
        EXPECT_EQ(road.booked(*this) - booked, expected) << topAlertTitle();
        for (auto& alert : UIAlertView::visibleAlerts()) alert->dismissWithClickedButtonIndex(0, false);
        settle(1);
        leaveToRoot();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, OrderRoadTest, ::testing::ValuesIn(OrderRoadTest::roads()),
                         [](const ::testing::TestParamInfo<Road>& info) { return info.param.name; });
