// A second confirmation while the first action is on its way sends nothing:
// the form's command, pressed as the customer presses it, does nothing (or
// its confirmation goes nowhere) until the answer is in, and the books hold
// the action once. Nothing turns the run loop between the two, so the first
// is surely still on its way.
#include "OrderRoadTestSupport.h"

#include "platform/uikit/UITextField.h"

namespace {

class SecondConfirmationTest : public OrderRoadTest {
protected:
    // The text fields of the screen as the customer filled them.
    using Typed = std::vector<std::pair<UITextField*, std::string>>;
    static void collectTyped(UIView& v, Typed& out) {
        if (auto* field = dynamic_cast<UITextField*>(&v)) out.emplace_back(field, field->text());
        for (const auto& sub : v.subviews()) collectTyped(*sub, out);
    }
    static Typed typed(VTAViewControllers* screen) {
        Typed out;
        collectTyped(*screen->view(), out);
        return out;
    }
};

TEST_P(SecondConfirmationTest, ConfirmingAgainWhileTheActionIsOnItsWaySendsNothing) {
    const Road& road = GetParam();
    const int main = road.function.main, sub = road.function.sub;
    VTAViewControllers* screen = openFilled(road);
    ASSERT_TRUE(screen);
    const int64_t booked = road.booked(*this);
    const size_t seen = sim->requestsOf(main, sub).size();
    sim->holdReply(main, sub);
    const Typed filled = typed(screen);
    road.confirm ? road.confirm(*this, screen) : confirmSheet();
    ASSERT_TRUE(screen->isRequestInFlight(road.tag)) << "the first is on its way";

    // What the form emptied as the action left is typed again, so that only
    // its guard can stop the command, which is pressed again as the customer
    // does; then "确定" (not "取消") on whatever it raises, one after another.
    for (const auto& [field, text] : filled)
        if (field->text().empty()) field->setText(text);
    road.pressAgain ? road.pressAgain(*this, screen) : pressAtOnce(host.findText("确定"));
    ASSERT_FALSE(HasFatalFailure());
    for (int raised = 0; raised < 3; ++raised) {
        if (auto again = sheet()) {
            again->tapButtonAtIndex(0);
        } else if (auto asked = UIAlertView::topAlert()) {
            int yes = 0;
            while (yes + 1 < asked->numberOfButtons() && asked->buttonTitleAtIndex(yes) == "取消") ++yes;
            asked->tapButtonAtIndex(yes);
        }
    }

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
