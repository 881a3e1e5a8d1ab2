// A second confirmation while the first action is on its way sends nothing:
// the form's command does nothing (or its confirmation goes nowhere) until
// the answer is in, and the books hold the action once. Nothing turns the run
// loop between the two, so the first is surely still on its way.
#include "OrderRoadTestSupport.h"

#include "trade/TradeViewController.h"

namespace {

class SecondConfirmationTest : public OrderRoadTest {};

TEST_P(SecondConfirmationTest, ConfirmingAgainWhileTheActionIsOnItsWaySendsNothing) {
    const Road& road = GetParam();
    const int main = road.function.main, sub = road.function.sub;
    VTAViewControllers* screen = openFilled(road);
    ASSERT_TRUE(screen);
    const int64_t booked = road.booked(*this);
    const size_t seen = sim->requestsOf(main, sub).size();
    sim->holdReply(main, sub);
    road.confirm ? road.confirm(*this, screen) : confirmSheet();
    ASSERT_TRUE(screen->isRequestInFlight(road.tag)) << "the first is on its way";

    // The form's command again (the order button of the order forms, the
    // toolbar's "确定" of the others), and "确定" on whatever confirmation it raises.
    if (auto* order = dynamic_cast<TradeViewController*>(screen))
        order->tradeAction();
    else
        screen->onCommandOK();
    if (auto again = sheet()) again->tapButtonAtIndex(0);
    if (auto asked = UIAlertView::topAlert(); asked && asked->numberOfButtons() > 1)
        asked->dismissWithClickedButtonIndex(asked->numberOfButtons() - 1, false);

    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !screen->isRequestInFlight(road.tag); }));
    settle(1);
    EXPECT_EQ(sim->requestsOf(main, sub).size() - seen, 1u) << "a second one left";
    EXPECT_EQ(road.booked(*this) - booked, 1);
    for (auto& alert : UIAlertView::visibleAlerts()) alert->dismissWithClickedButtonIndex(0, false);
    settle(1);
    leaveToRoot();
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, SecondConfirmationTest, ::testing::ValuesIn(OrderRoadTest::roads()),
                         [](const ::testing::TestParamInfo<Road>& info) { return info.param.name; });

}  // namespace
