// The newer margin order screen driven by finger against the simulated
// brokerage: a financing buy and a short sell that reach the credit account,
// the maximum with the menu link and the price, the short sell's one order
// type and unrounded shortcuts, the brokerage's refusals, the quote panel
// with its 2-second refresh and order-book taps, a handed-in price that the
// customer's own price outlives, replies told apart by their tags, and a
// stock without an account of its market.
#include "MarginTestSupport.h"

#include "charts/TradeTimeSharingView.h"
#include "core/TCRSWriter.h"
#include "margin/MarginTradeViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "trade/TradePositionView.h"

namespace {

class MarginOrderScreenTest : public MarginTest {
protected:
    MarginTradeViewController* openMenu(int creditFlag) { return openMargin<MarginTradeViewController>(creditFlag); }
    std::string priceText(int64_t value) { return SimMarket::priceText(value, 2); }
};

TEST_F(MarginOrderScreenTest, AFinancingBuyFillsIntoTheDebtAndTheCreditAccountsPositions) {
    auto* vc = openMenu(0);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "融资买入");
    EXPECT_EQ(vc->tradeButton()->currentTitle(), "买入");
    EXPECT_EQ(vc->stockholderLabel()->text(), "深A0010001234");
    EXPECT_EQ(vc->priceTypeLabelView()->text(), "限价委托");
    EXPECT_TRUE(vc->isToolBarHidden());
    saveScreenshot("empty");

    const SimQuote q = quoteOf("600000");
    const SimBalance cash = money();
    typeCode(vc, "600000");
    ASSERT_EQ(maxRequests().size(), 1u);
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "stkcode"), "600000");
    EXPECT_EQ(fieldOf(max, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(max, "price"), "");
    EXPECT_EQ(fieldOf(max, kLinkFlagKey), "0") << "the menu link goes whole";
    EXPECT_EQ(vc->nameLabel()->text(), "浦发银行");
    EXPECT_EQ(vc->priceField()->text(), priceText(q.last));
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");
    // The financing room (300,000.00 元 less 5,000.00 元 of debt) in whole lots.
    const int64_t room = (30000000 - 500000) * 10 / (q.last * 10) / 100 * 100;
    EXPECT_EQ(vc->maxLabel()->text(), "最大可买数量为" + std::to_string(room) + "股");
    EXPECT_GE(room, 10000);
    EXPECT_EQ(vc->priceTypePicker()->numberOfRowsInComponent(0), 3) << "Shanghai's three types";

    // A buy's new price asks its maximum again, at that price; the price stays.
    typePrice(vc, priceText(q.ask[0]));
    ASSERT_TRUE(waitFor([&] { return maxRequests().size() == 2u; }));
    settle(0.5);
    EXPECT_EQ(fieldOf(maxRequests().back(), "price"), priceText(q.ask[0]));
    EXPECT_EQ(vc->priceField()->text(), priceText(q.ask[0]));
    typeQuantity(vc, "1000");
    saveScreenshot("filled-in");

    tapView(vc->tradeButton());
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n报价方式：限价委托 \n买入价格：" +
                  priceText(q.ask[0]) + " \n买入数量：1000 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm());
    EXPECT_EQ(vc->quantityField()->text(), "") << "emptied as the order leaves";
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    saveScreenshot("sent");

    ASSERT_EQ(orderRequests().size(), 1u);
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(r.encrypt, 36);
    EXPECT_EQ(fieldOf(r, "creditid"), "0");
    EXPECT_EQ(fieldOf(r, "creditflag"), "0");
    EXPECT_EQ(fieldOf(r, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(r, "price"), priceText(q.ask[0]));
    EXPECT_EQ(fieldOf(r, "qty"), "1000");
    EXPECT_EQ(fieldOf(r, "stkcode"), "600000");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    EXPECT_FALSE(sentInClear(r, "creditflag")) << "the credit fields travel enciphered";
    EXPECT_EQ(fieldOf(r, "chkriskflag"), "") << "a credit order asks nothing about the risk";
    // Filled with the brokerage's money: the debt grew, the cash stayed.
    EXPECT_EQ(orders().back().status, SimOrderStatus::Filled);
    EXPECT_EQ(credit().financingDebt, 500000 + dealsAmount(orders().back().ordersno));
    EXPECT_EQ(positionOf("600000"), 1000);
    EXPECT_EQ(money().available(), cash.available());
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(3710, 3).empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(3710, 3).back(), "code"), "600000.2");

    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), root.get()) << "the screen closes";

    // The day's orders and deals name it a financing buy.
    for (int item : {204, 220}) {
        auto* list = openItem<VTATradeQueryViewController>(item);
        ASSERT_TRUE(list && gridShows(*list, 1)) << item;
        EXPECT_EQ(cellText(*list->myTableView(), 0, "买卖方向"), "融资买入") << item;
        saveScreenshot("listed-" + std::to_string(item));
        popViewControllers(1);
        settle();
    }
}

// A financing buy at a market type is held at the limit-up price: its
// maximum is asked there, and "全部" is within the financing room.
TEST_F(MarginOrderScreenTest, AFinancingBuyAtAMarketTypeOffersWhatTheRoomTakesAtTheLimitUp) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    const std::string up = vc->goUpStaying().value_or("");
    pickInput(vc->priceTypeButton(), vc->priceTypePicker(), 1);  // 五档即成剩撤
    ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(TradeOrderScreen::kMaximumTag); }));
    EXPECT_EQ(fieldOf(maxRequests().back(), "price"), up);
    EXPECT_EQ(fieldOf(maxRequests().back(), kLinkFlagKey), "0");
    const int64_t room = (30000000 - 500000) * 10 / simParsePrice(up, 2) / 100 * 100;
    EXPECT_EQ(vc->maxTradableAmount(), room);
    EXPECT_EQ(vc->maxLabel()->text(), "最大可买数量为" + std::to_string(room) + "股");
    tapShortcut(vc, 4);
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    EXPECT_EQ(orders().back().quantity, room);
    EXPECT_EQ(orders().back().bsflag, "0d");
}

TEST_F(MarginOrderScreenTest, AShortSellOffersTheLimitOrderAloneAndIsOwed) {
    auto* vc = openMenu(1);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "融券卖出");
    EXPECT_EQ(vc->tradeButton()->currentTitle(), "卖出");
    typeCode(vc, "000001");
    EXPECT_EQ(fieldOf(maxRequests().back(), "bsflag"), "0S");
    EXPECT_EQ(fieldOf(maxRequests().back(), kLinkFlagKey), "1");
    EXPECT_EQ(vc->stockholderLabel()->text(), "深A0010001234");
    // Shenzhen offers six types to a stock sell; a short sell has the limit order alone.
    tapView(vc->priceTypeButton());
    EXPECT_EQ(vc->priceTypePicker()->numberOfRowsInComponent(0), 1);
    EXPECT_EQ(vc->priceTypePicker()->titleForRow(0, 0), "限价委托");
    ASSERT_TRUE(host.tapText("完成"));
    settle(0.5);

    const int max = vc->maxTradableAmount();
    EXPECT_EQ(vc->maxLabel()->text(), "最大可卖数量为" + std::to_string(max) + "股");
    ASSERT_GT(max, 1000);
    // Shares are lent in whole lots: a fraction of them is whole lots too.
    tapShortcut(vc, 2);
    EXPECT_EQ(vc->quantityField()->text(), std::to_string(max / 300 * 100));
    tapShortcut(vc, 4);
    EXPECT_EQ(vc->quantityField()->text(), std::to_string(max));

    // A sell's price asks nothing again.
    const size_t asked = maxRequests().size();
    const SimQuote q = quoteOf("000001");
    typePrice(vc, priceText(q.bid[0]));
    EXPECT_EQ(maxRequests().size(), asked);
    vc->quantityField()->setText("");
    typeQuantity(vc, "300");
    saveScreenshot("short-sell");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "creditflag"), "1");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0S");
    EXPECT_EQ(fieldOf(r, "market"), "0");
    EXPECT_EQ(orders().back().status, SimOrderStatus::Filled);
    EXPECT_EQ(credit().owed["000001"], 300);
    EXPECT_EQ(credit().shortProceeds, 650000 + dealsAmount(orders().back().ordersno)) << "beside the seed's";
    EXPECT_EQ(holding("000001").quantity, 1000) << "lent shares, not the customer's";
    auto* today = openItem<VTATradeQueryViewController>(204);
    ASSERT_TRUE(today && gridShows(*today, 1));
    EXPECT_EQ(cellText(*today->myTableView(), 0, "买卖方向"), "融券卖出");
}

TEST_F(MarginOrderScreenTest, TheFormsChecksComeFirstAndRefusalsShowTheBrokeragesText) {
    auto* vc = openMenu(0);
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("请选择证券"));
    // A stock the brokerage does not finance: its maximum is refused.
    tapView(vc->codeField());
    ASSERT_TRUE(host.type("000651"));
    ASSERT_TRUE(alertShown("该证券不是融资标的"));
    saveScreenshot("not-financed");
    ASSERT_TRUE(dismissAlert("该证券不是融资标的"));

    vc->codeField()->setText("");
    typeCode(vc, "600000");
    vc->priceField()->setText("7.4.5");
    typeQuantity(vc, "100");
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("价格输入错误"));
    vc->priceField()->setText(priceText(quoteOf("600000").last));
    vc->quantityField()->setText("0");
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("请输入数量"));
    EXPECT_TRUE(orderRequests().empty());

    // More than the financing room.
    vc->quantityField()->setText("50000");
    placeOrder(vc);
    ASSERT_TRUE(alertShown("融资额度不足"));
    saveScreenshot("refused");
    ASSERT_TRUE(dismissAlert("融资额度不足"));
    EXPECT_EQ(top(), vc) << "a refusal keeps the form";
    EXPECT_EQ(orderRequests().size(), 1u);
    EXPECT_TRUE(orders().empty());
    EXPECT_EQ(credit().financingDebt, 500000);
}

// A maximum refused or lost for a newly typed code leaves no earlier stock
// behind: its name and maximum go, and no order is confirmed until a maximum
// of the code typed came (the name, the code and the account always agree).
TEST_F(MarginOrderScreenTest, AfterARefusedOrLostMaximumNoOrderGoesUnderTheEarlierStock) {
    auto* vc = openMenu(0);
    struct Case {
        const char* code;
        bool lost;  // the request fails on the way; else the brokerage refuses the stock
    };
    for (const Case& c : {Case{"000651", false}, Case{"000002", true}}) {
        SCOPED_TRACE(c.code);
        vc->codeField()->setText("");
        typeCode(vc, "600000");
        EXPECT_EQ(vc->nameLabel()->text(), "浦发银行");
        if (c.lost) sim->forceFault(SimFault::Refuse, 500, 4);
        vc->codeField()->setText("");
        tapView(vc->codeField());
        ASSERT_TRUE(host.type(c.code));
        ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle();
        EXPECT_EQ(vc->nameLabel()->text(), "");
        EXPECT_EQ(vc->maxLabel()->text(), "");
        vc->priceField()->setText("10.00");
        typeQuantity(vc, "100");
        tapView(vc->tradeButton());
        EXPECT_FALSE(sheet()) << sheet()->title();
        ASSERT_TRUE(dismissAlert("委托数据错误"));
    }
    EXPECT_TRUE(orderRequests().empty());
    EXPECT_TRUE(orders().empty());
}

TEST_F(MarginOrderScreenTest, TheQuotePanelRefreshesEveryTwoSecondsAndABookTapSetsThePrice) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    const int64_t beforeOpen = sentMark();
    tapView(vc->expandButton());
    ASSERT_TRUE(vc->isExpandQuotes());
    ASSERT_TRUE(waitFor([&] { return intradayRequestsSince(beforeOpen) == 1; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "code"), "600000.2");
    // The shorter panel: pages 160 high at 44, dots at 204, the row 220, the button at 360.
    UIScrollView* pager = vc->quotesPanel().scrollView();
    ASSERT_TRUE(pager);
    EXPECT_EQ(pager->frame().origin.y, 44);
    EXPECT_EQ(pager->frame().size.height, 160);
    EXPECT_EQ(vc->quotesPanel().pageControl()->frame().origin.y, 204);
    EXPECT_EQ(vc->tableView()->rectForRowAtIndexPath({0, 3}).size.height, 220);
    EXPECT_EQ(vc->tradeButton()->frame().origin.y, 360);
    TradePositionView* book = vc->quotesPanel().positionView();
    ASSERT_TRUE(waitFor([&] { return book->detailHQRS() != nullptr; }));
    settle(0.5);
    saveScreenshot("order-book");

    expectRefreshEveryTwoSeconds();

    // The third ask becomes the price.
    const std::string ask3 = *book->priceOfButton(1003);
    tapView(book->buttonWithTag(1003));
    EXPECT_EQ(vc->priceField()->text(), ask3);

    swipeToChart(vc);
    ASSERT_TRUE(vc->quotesPanel().timeSharingView()->scale().isDrawable());
    saveScreenshot("chart");

    // Another screen over it stops the refresh; back on screen, the open panel
    // asks for the day's data at once, before the refresh's first tick (2 s
    // on), and refreshes again.
    pushViewController(std::make_shared<RecordingScreen>());
    expectNoRefresh();
    int64_t back = sentMark();
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return intradayRequestsSince(back) == 1; }, 1.5)) << "asked on appearing";
    EXPECT_TRUE(vc->isExpandQuotes());
    expectRefreshEveryTwoSeconds();

    // Closed, the panel's book is asked for once on coming back, and not refreshed.
    tapView(vc->expandButton());
    ASSERT_FALSE(vc->isExpandQuotes());
    pushViewController(std::make_shared<RecordingScreen>());
    settle(1);
    back = sentMark();
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return intradayRequestsSince(back) == 1; }, 1.5)) << "asked on appearing";
    expectNoRefresh();

    // Leaving with the panel open stops the refresh.
    tapView(vc->expandButton());
    ASSERT_TRUE(waitFor([&] { return vc->quotesPanel().isRefreshing(); }));
    popViewControllers(1);
    expectNoRefresh();
}

TEST_F(MarginOrderScreenTest, AHandedInPriceServesItsStockOnceAndNeverOvertypesTheCustomers) {
    // A list row hands the screen its stock (a message of type 1).
    auto stock = std::make_shared<VTAStock>("600000", "浦发银行", 2);
    stock->setPrice(7.0f);
    auto vc = MarginTradeViewController::initWithTradeDirection(0);
    vc->setViewMenu(menu("rzrq_rzmr?creditflag=0", "融资买入"));
    vc->setTitle("融资买入");
    vc->setViewMessage(VTAMessage::messageWithSender(nullptr, stock, 1));
    pushViewController(vc);
    ASSERT_TRUE(waitFor([&] { return vc->isStockInfoBack(); }));
    settle(0.5);
    EXPECT_EQ(vc->codeField()->text(), "600000");
    EXPECT_EQ(vc->priceField()->text(), "7.00");
    EXPECT_EQ(fieldOf(maxRequests().back(), "price"), "7.00");
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");

    // The customer's own price: asked at, and kept by the answer.
    typePrice(vc.get(), "7.1");
    ASSERT_TRUE(waitFor([&] { return fieldOf(maxRequests().back(), "price") == "7.1"; }));
    settle(0.5);
    EXPECT_EQ(vc->priceField()->text(), "7.1");

    // Another screen over it and back: the stock, the price and the accounts stay as they were.
    const size_t asked = maxRequests().size();
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    settle(1);
    EXPECT_EQ(vc->codeField()->text(), "600000");
    EXPECT_EQ(vc->priceField()->text(), "7.1");
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");
    EXPECT_EQ(vc->stockholderPicker()->numberOfRowsInComponent(0), 1);
    EXPECT_EQ(maxRequests().size(), asked);

    // Another stock: its own price, asked at none.
    vc->codeField()->setText("");
    typeCode(vc.get(), "000001");
    EXPECT_EQ(fieldOf(maxRequests().back(), "price"), "");
    EXPECT_EQ(vc->priceField()->text(), priceText(quoteOf("000001").last));
    EXPECT_EQ(vc->stockholderLabel()->text(), "深A0010001234");
}

TEST_F(MarginOrderScreenTest, NeitherALateMaximumNorTheClosingPanelTakesTheOrdersReply) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    typeQuantity(vc, "100");
    sim->holdReply(500, 6);
    placeOrder(vc, true);
    EXPECT_TRUE(vc->sureToTrade());
    // Opening and closing the quote panel stops its refresh only: the order
    // stays in flight. (The commands at once: a finger's tap would run the
    // loop until the order's answer came.)
    vc->quotesExpandAction();
    vc->quotesExpandAction();
    EXPECT_FALSE(vc->isExpandQuotes());
    EXPECT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kOrderTag));
    vc->requestStockInfo();
    ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag); }));
    EXPECT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kOrderTag));
    EXPECT_EQ(topAlert(), nullptr);
    EXPECT_EQ(top(), vc);
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_FALSE(vc->sureToTrade());
}

// Customer C has a Shenzhen account only: a Shanghai stock has no account to go to.
class MarginWithoutShanghaiAccountTest : public MarginOrderScreenTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(MarginWithoutShanghaiAccountTest, AStockOfAMarketWithoutAccountIsRefusedBeforeSending) {
    customerBooks([](SimCustomer& c) {
        c.credit = SimCreditAccount{};
        c.credit->financingLimit = 10000000;
    });
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    EXPECT_EQ(vc->stockholderLabel()->text(), "无对应股东代码");
    EXPECT_EQ(vc->stockholderPicker()->numberOfRowsInComponent(0), 0);
    typeQuantity(vc, "100");
    tapView(vc->tradeButton());
    ASSERT_TRUE(alertShown("无对应股东代码"));
    saveScreenshot("no-stockholder");
    ASSERT_TRUE(dismissAlert("无对应股东代码"));
    EXPECT_TRUE(orderRequests().empty());
}

}  // namespace
