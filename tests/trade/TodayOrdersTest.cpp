// The day's orders by finger against the simulator: paging forward and back
// by the server's cursor (the last page's rule, a refresh on page 2), the
// cancel of one from today's orders and from the cancel list (the
// confirmation, the request, the simulator's books, the list without it),
// and a cancel whose answer cannot be read.
#include "TradeQueryTestSupport.h"

#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UIActionSheet.h"
#include "sim/SimOrders.h"
#include "trade/VTATradeCancelViewController.h"

namespace {

constexpr int kCancelItem = 203, kTodayOrdersItem = 204;

class TodayOrdersTest : public TradeQueryTest {
protected:
    // `count` buys placed this morning far below the market, so they wait:
    // Shenzhen 平安银行 and Shanghai 浦发银行 by turns, 100 shares more each
    // time, their money held. Answers their order numbers, oldest first.
    std::vector<int64_t> placeWaitingBuys(int count) {
        return books([&](SimBooks& b) {
            SimCustomer& a = *b.customer("010110001234");
            SimBalance& rmb = a.fundAccounts.front().balances[SimCurrency::kRMB];
            std::vector<int64_t> numbers;
            for (int i = 0; i < count; ++i) {
                SimOrder o;
                o.ordersno = b.nextOrderNumber();
                o.date = 20240305;
                o.time = 93000 + i * 100;
                o.fundid = "010110001234";
                const bool shanghai = i % 2 == 1;
                o.market = shanghai ? "1" : "0";
                o.secuid = shanghai ? "A100001234" : "0010001234";
                o.code = shanghai ? "600000" : "000001";
                o.name = shanghai ? "浦发银行" : "平安银行";
                o.bsflag = "0B";
                o.price = 1000;
                o.quantity = 100 * (i + 1);
                o.frozen = o.quantity * o.price / 10;
                rmb.hold(o.frozen);
                a.orders.push_back(o);
                numbers.push_back(o.ordersno);
            }
            return numbers;
        });
    }
    SimOrder orderOf(int64_t number) {
        return books([&](SimBooks& b) {
            for (const auto& o : b.customer("010110001234")->orders)
                if (o.ordersno == number) return o;
            return SimOrder{};
        });
    }
    // The page bar's button pressed by finger.
    void press(UIButton* button) {
        tapView(button);
        settle(1.5);  // the page curl
    }
};

TEST_F(TodayOrdersTest, PagesGoForwardByTheLastCursorAndBackWithoutIt) {
    const auto numbers = placeWaitingBuys(15);
    auto list = openItem(kTodayOrdersItem);
    ASSERT_TRUE(list && gridShows(*list, 12));
    EXPECT_EQ(list->title(), "当日委托");
    VTATableView* grid = list->myTableView();
    // Newest first, buys red from the second column on.
    EXPECT_EQ(grid->rowItems(0)[0], std::to_string(numbers.back()));
    EXPECT_TRUE(isPalette(grid->rowColors(0)[1], 41));
    EXPECT_EQ(columnTitled(*grid, "定位串"), -1);
    EXPECT_FALSE(hasField(lastRequest(500, 13), "poststr"));
    VTAPageCtr* bar = list->pageCtrl();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->pageLabel()->text(), "第1页");
    EXPECT_FALSE(bar->nextButton()->isHidden());
    EXPECT_TRUE(bar->previousButton()->isHidden());
    for (const char* item : {"首页", "刷新", "撤单"}) EXPECT_TRUE(host.isTextVisible(item)) << item;
    saveScreenshot("page-1");

    // Forward: the request carries the last row's cursor; 3 rows end the list.
    press(bar->nextButton());
    EXPECT_EQ(list->contentView()->lastTransition(), UIViewAnimationTransition::CurlUp);
    ASSERT_TRUE(gridShows(*list, 3));
    EXPECT_EQ(fieldOf(lastRequest(500, 13), "poststr"), "12");
    EXPECT_EQ(list->myTableView()->rowItems(2)[0], std::to_string(numbers.front()));
    EXPECT_EQ(bar->pageLabel()->text(), "第2页");
    EXPECT_TRUE(bar->nextButton()->isHidden());
    EXPECT_FALSE(bar->previousButton()->isHidden());
    EXPECT_EQ(list->cursorStack(), (std::vector<std::string>{"12"}));
    saveScreenshot("page-2");

    // A refresh asks for page 2 again with the same cursor.
    const size_t asked = sim->requestsOf(500, 13).size();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 13).size() == asked + 1; }));
    EXPECT_EQ(fieldOf(lastRequest(500, 13), "poststr"), "12");
    ASSERT_TRUE(gridShows(*list, 3));

    // Back: the first page without a cursor.
    press(bar->previousButton());
    EXPECT_EQ(list->contentView()->lastTransition(), UIViewAnimationTransition::CurlDown);
    ASSERT_TRUE(gridShows(*list, 12));
    EXPECT_FALSE(hasField(lastRequest(500, 13), "poststr"));
    EXPECT_EQ(bar->pageLabel()->text(), "第1页");
    EXPECT_TRUE(list->cursorStack().empty());
}

TEST_F(TodayOrdersTest, AnOrderCancelledFromTodaysOrdersIsMarkedByTheServer) {
    const auto numbers = placeWaitingBuys(3);
    auto list = openItem(kTodayOrdersItem);
    ASSERT_TRUE(list && gridShows(*list, 3));
    tapRow(*list->myTableView(), 1);  // the Shanghai one
    ASSERT_TRUE(host.tapText("撤单"));
    settle(0.5);
    auto sheets = UIActionSheet::visibleSheets();
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0]->title(),
              "请仔细确定撤单信息：\n股票：浦发银行(600000)\n委托价格：1.00\n委托数量：200\n委托单号：" +
                  std::to_string(numbers[1]));
    saveScreenshot("cancel-sheet");
    const SimMoney frozenBefore =
        books([](SimBooks& b) { return b.customer("010110001234")->fundAccounts.front().balances[0].frozen; });
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown(VTATradeQueryViewController::kWithdrawAcceptedText));
    SimRecord sent = lastRequest(500, 7);
    EXPECT_EQ(fieldOf(sent, "ordersno"), std::to_string(numbers[1]));
    EXPECT_EQ(fieldOf(sent, "market"), "2");
    EXPECT_EQ(fieldOf(sent, "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(sent, "fundid"), "010110001234");
    EXPECT_EQ(sent.encrypt & 36, 36) << "enciphered";
    EXPECT_EQ(orderOf(numbers[1]).status, SimOrderStatus::Cancelled);
    EXPECT_EQ(books([](SimBooks& b) { return b.customer("010110001234")->fundAccounts.front().balances[0].frozen; }),
              frozenBefore - 200 * 100);
    // Its "确定" leaves the list.
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), root.get());
    EXPECT_EQ(orderOf(numbers[0]).status, SimOrderStatus::Reported);
}

TEST_F(TodayOrdersTest, TheCancelListLosesTheOrderCancelledAndAnUnreadableAnswerEndsTheCancel) {
    const auto numbers = placeWaitingBuys(4);
    books([&](SimBooks& b) {  // one filled already: not cancellable
        b.customer("010110001234")->orders[0].status = SimOrderStatus::Filled;
        return 0;
    });
    auto list = openItem<VTATradeCancelViewController>(kCancelItem);
    ASSERT_TRUE(list && gridShows(*list, 3));
    EXPECT_EQ(list->title(), "撤单");
    for (const char* item : {"首页", "个股", "确定"}) EXPECT_TRUE(host.isTextVisible(item)) << item;
    saveScreenshot("cancel-list");

    // "取消" on the sheet sends nothing.
    ASSERT_TRUE(host.tapText("确定"));  // row 0 when none was tapped: the newest
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);
    EXPECT_TRUE(sim->requestsOf(500, 7).empty());
    EXPECT_FALSE(list->isReadyToCancel());

    // An answer that cannot be read ends the cancel; the list goes on as a list.
    sim->answerNext(TradeQueryContract::kCancel, {7, 7, 7});
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown(VTATradeCancelViewController::kUnreadableCancelText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(list->isReadyToCancel());
    EXPECT_EQ(top(), list.get());

    // Again: accepted; coming back to the list, the order is gone from it.
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown(VTATradeQueryViewController::kWithdrawAcceptedText));
    EXPECT_EQ(fieldOf(lastRequest(500, 7), "ordersno"), std::to_string(numbers.back()));
    EXPECT_EQ(fieldOf(lastRequest(500, 7), "market"), "2");
    EXPECT_EQ(orderOf(numbers.back()).status, SimOrderStatus::Cancelled);
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), root.get());
    auto again = openItem<VTATradeCancelViewController>(kCancelItem);
    ASSERT_TRUE(again && gridShows(*again, 2));
    for (int row = 0; row < 2; ++row) EXPECT_NE(again->myTableView()->rowItems(row)[0], std::to_string(numbers.back()));
}

TEST_F(TodayOrdersTest, LeavingWithACancelOnItsWayTellsTheCustomerAndComingBackAsksForTheList) {
    placeWaitingBuys(2);
    auto list = openItem<VTATradeCancelViewController>(kCancelItem);
    ASSERT_TRUE(list && gridShows(*list, 2));
    sim->holdReply(500, 7);
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    EXPECT_TRUE(list->isReadyToCancel());
    popViewControllers(1);
    settle();
    EXPECT_FALSE(list->isReadyToCancel());
    ASSERT_TRUE(alertShown(RequestBinding::kOrderLeftText));
    topAlert()->tapButtonAtIndex(0);
    const size_t pages = sim->requestsOf(500, 15).size();
    pushViewController(list);
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 15).size() == pages + 1; }));
    // The one cancel sent before leaving (if it left the phone) is answered late; none is sent again.
    sim->releaseHeldReplies();
    settle(1);
    EXPECT_LE(sim->requestsOf(500, 7).size(), 1u);
}

}  // namespace
