#pragma once
// Every road by which the customer changes the brokerage's books, driven by
// finger through its screen while a cutting proxy (tests/support/CuttingProxy.h)
// breaks the line of the one request that carries the action.
//
// A road says how its screen is opened and filled, how the action is
// confirmed (up to the sheet's "确定", without waiting for the answer), which
// request carries it, how many times the books hold it, what the customer is
// told when its fate cannot be known, and what the form's own in-flight state
// is. The table is OrderRoadTest::roads(); the body runs each road through
// every way the line breaks (Line).
#include "tests/funds/FundMenuTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/contracts/FunctionId.h"
#include "margin/MarginScreens.h"
#include "sim/SimPlans.h"
#include "sim/SimWealth.h"
#include "tests/support/CuttingProxy.h"

// How the line breaks for the action's request.
enum class Line {
    BeforeServer,    // cut before the request reaches the server
    AnswerLost,      // the server answered; the connection is cut before the client has a byte of it
    ReplyCut,        // cut in the middle of the reply
    ReplyLate,       // the reply is held past the request's time-out
    SessionExpired,  // the server has ended the service session: it refuses the request unread
    // ... and its refusal is held while another request's silent login makes a
    // new session: the refusal comes for a session already replaced
    SessionReplaced,
};

class OrderRoadTest;

struct Road {
    std::string name;
    FunctionId function;  // the request that carries the action
    int tag = 0;          // its tag on the screen
    // The customer is told this when the action's fate is not known.
    std::string unknownText;
    // Opens the screen as the customer does; null when it did not come.
    std::function<VTAViewControllers*(OrderRoadTest&)> open;
    // Fills the form up to the confirmation on screen.
    std::function<void(OrderRoadTest&, VTAViewControllers*)> fill;
    // The customer's "确定" under it: the action leaves, its answer not awaited
    // (none: the "确定" of the confirmation sheet).
    std::function<void(OrderRoadTest&, VTAViewControllers*)> confirm;
    // The customer presses the form's command again, the action on its way:
    // by finger on the control that asked for it, without turning the run
    // loop (TradeTest::pressAtOnce); none: the "确定" on screen.
    std::function<void(OrderRoadTest&, VTAViewControllers*)> pressAgain;
    // How many times the books hold the action.
    std::function<int64_t(OrderRoadTest&)> booked;
    // The form's own state of an action on its way (beyond its tag in flight).
    std::function<bool(VTAViewControllers*)> busy = [](VTAViewControllers*) { return false; };
    // Makes the books ready for one more action before each (money to move,
    // an order to cancel, an issue not yet subscribed); none: nothing to do.
    std::function<void(OrderRoadTest&)> fresh;
    // What the customer does after an outcome not known, before trying again; none: nothing.
    std::function<void(OrderRoadTest&)> recover;
};

inline std::string PrintToString(const Road& road) { return road.name; }

class OrderRoadTest : public FundMenuTest, public ::testing::WithParamInterface<Road> {
public:
    static std::vector<Road> roads();  // every family's, in this order:
    static std::vector<Road> tradeRoads();
    static std::vector<Road> fundRoads();
    static std::vector<Road> marginRoads();
    // The road's screen, made ready for one more action, opened and filled up
    // to its confirmation; null when it did not come.
    VTAViewControllers* openFilled(const Road& road) {
        if (road.fresh) road.fresh(*this);
        VTAViewControllers* screen = road.open(*this);
        if (!screen) return nullptr;
        road.fill(*this, screen);
        return ::testing::Test::HasFatalFailure() ? nullptr : screen;
    }
    // The sheet on screen is confirmed, the answer not awaited.
    void confirmSheet() {
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm(false));
    }
    // The late reply's request gives up after this (virtual) time, which the
    // test lets pass once the proxy holds the server's answer: short, so that
    // the screen's own timers hardly move meanwhile.
    static constexpr double kShortTimeout = 0.1;

protected:
    void SetUp() override {
        FundMenuTest::SetUp();
        registerMarginScreens(ScreenRegistry::shared());
        proxy = std::make_unique<CuttingProxy>(sim->port());
        ASSERT_TRUE(proxy->start());
        NetworkManager::manager().setLoopbackHost(proxy->url());
    }
    void TearDown() override {
        FundMenuTest::TearDown();
        proxy->stop();
    }

    // Menu items by their id (the trade group) or by their link command (理财).
    using FundMenuTest::openItem;
    using OrderTest::openItem;

    // The screen a road opened, as the kind the road drives.
    template <class Screen>
    static Screen* as(VTAViewControllers* vc) {
        auto* screen = dynamic_cast<Screen*>(vc);
        EXPECT_TRUE(screen);
        return screen;
    }
    // The screen of a menu link, opened as a tap on its item does, once it is ready.
    template <class Screen, class Ready>
    Screen* openLinkWhen(const std::string& link, const std::string& title, Ready ready) {
        auto* screen = openLink<Screen>(link, title);
        return screen && waitFor([&] { return ready(*screen); }) ? screen : nullptr;
    }
    // Back to the root, as the back button does, screen by screen (a form
    // presented over its list closed first).
    void leaveToRoot() {
        if (nav->modalViewController()) {
            nav->dismissModalViewControllerAnimated(true);
            settle(0.5);
        }
        while (depth() > 1) {
            popViewControllers(1);
            settle(0.5);
        }
    }
    // How many times the server carried out requests of the function (its
    // log of what it answered with success): for a setting, whose books keep
    // only its last value.
    int64_t carriedOut(FunctionId f) {
        int64_t n = 0;
        for (const auto& r : sim->requestsOf(f.main, f.sub)) n += r.etag.rfind("0,", 0) == 0 ? 1 : 0;
        return n;
    }
    // A's side of the wealth products, and A's fixed-investment plans.
    template <class F>
    decltype(auto) wealthSide(F&& f) {
        return sim->withRoom<SimWealthRoom>([&](SimWealthRoom& r) { return f(r.customers["110001234"]); });
    }
    template <class F>
    decltype(auto) plansOfA(F&& f) {
        return sim->withRoom<SimPlansRoom>([&](SimPlansRoom& r) { return f(r.plans["110001234"]); });
    }
    // A's orders with that flag (bonds converted "0G", exchange funds subscribed "03").
    int64_t ordersFlagged(const std::string& flag) {
        int64_t n = 0;
        for (const auto& o : orders()) n += o.bsflag == flag ? 1 : 0;
        return n;
    }
    // A's credit orders of that kind (MarginContract's credit flag).
    int64_t creditOrders(int flag) {
        int64_t n = 0;
        for (const auto& o : orders()) n += o.creditFlag == flag ? 1 : 0;
        return n;
    }
    // Actions a road's fresh() took out of the books to make room for more.
    int64_t archived = 0;
    void breakLine(Line line, const Road& road, VTAViewControllers* screen);
    // What the line does once the action has left: a held reply's time runs out.
    void whileOnItsWay(Line line);
    void mendLine(VTAViewControllers* screen);

    std::unique_ptr<CuttingProxy> proxy;
};
