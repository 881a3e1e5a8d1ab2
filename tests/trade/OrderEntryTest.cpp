// The stock order screen driven by finger against the simulated brokerage:
// orders of both directions in both markets at a limit and at a market type,
// the shortcuts, the risk warning, the brokerage's refusals, the quote panel
// with its 2-second refresh, replies told apart by their tags, and leaving
// with an order in flight.
#include "OrderTestSupport.h"

#include "charts/TradeTimeSharingView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UITextField.h"
#include "trade/TradePositionView.h"
#include "trade/TradeQuotesPanel.h"
#include "trade/TradeViewController.h"
#include "ui/UIGlossyButton.h"
#include "ui/YMPickerButton.h"

namespace {

class OrderEntryTest : public OrderTest {
protected:
    TradeViewController* openMenu(int direction) { return openFromMenu<TradeViewController>(direction); }
};

TEST_F(OrderEntryTest, ABuyOfAShanghaiStockAtItsLimitPriceIsFilled) {
    auto* vc = openMenu(0);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "买入");
    EXPECT_EQ(vc->tradeButton()->currentTitle(), "买入");
    // Before a stock: the session's first account, the limit order.
    EXPECT_EQ(vc->stockholderLabel()->text(), "深A0010001234");
    EXPECT_EQ(vc->priceTypeLabelView()->text(), "限价委托");
    saveScreenshot("empty");

    const SimQuote q = quoteOf("600000");
    const SimBalance before = money();
    typeCode(vc, "600000");
    EXPECT_FALSE(vc->codeField()->isFirstResponder());
    EXPECT_EQ(vc->nameLabel()->text(), "浦发银行");
    EXPECT_EQ(vc->priceField()->text(), SimMarket::priceText(q.last, 2));
    EXPECT_EQ(vc->stockholderLabel()->text(), "沪AA100001234");
    EXPECT_EQ(vc->maxLabel()->text(), "最大可买数量为" + std::to_string(before.available() / q.last / 100 * 100) + "股");
    EXPECT_EQ(vc->currentStock()->marketID(), 2);
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "bsflag"), "0B");
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "stkcode"), "600000");

    // At the first ask the order fills at once.
    typePrice(vc, SimMarket::priceText(q.ask[0], 2));
    EXPECT_EQ(stockInfoRequests().size(), 2u) << "a buy's new price asks for its maximum again";
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "price"), SimMarket::priceText(q.ask[0], 2));
    typeQuantity(vc, "100");
    saveScreenshot("filled-in");
    tapView(vc->tradeButton());
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n报价方式：限价委托 \n买入价格：" +
                  SimMarket::priceText(q.ask[0], 2) + " \n买入数量：100 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_FALSE(SVProgressHUD::isVisible());
    saveScreenshot("sent");

    ASSERT_EQ(orderRequests().size(), 1u);
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(r.encrypt, 36) << "orders travel enciphered";
    EXPECT_FALSE(sentInClear(r, "qty"));
    EXPECT_EQ(fieldOf(r, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(r, "price"), SimMarket::priceText(q.ask[0], 2));
    EXPECT_EQ(fieldOf(r, "qty"), "100");
    EXPECT_EQ(fieldOf(r, "stkcode"), "600000");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(r, "chkriskflag"), "1");
    // The brokerage filled it: the shares are held, the money is gone.
    ASSERT_EQ(orders().size(), 1u);
    EXPECT_EQ(orders().back().status, SimOrderStatus::Filled);
    EXPECT_EQ(holding("600000").quantity, 2100);
    EXPECT_LT(money().available(), before.available());
    EXPECT_EQ(before.balance - money().balance, customerBooks([](SimCustomer& c) { return c.deals.back().amount; }));
    // The quantity is emptied and the stock joins the own stocks.
    EXPECT_EQ(vc->quantityField()->text(), "");
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(3710, 3).empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(3710, 3).back(), "code"), "600000.2");

    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), root.get()) << "the order screen closes";
}

// Both markets, both directions, a limit and a market type: what is sent and what moves.
TEST_F(OrderEntryTest, BothMarketsBothDirectionsAtALimitAndAtAMarketType) {
    struct Case {
        int direction;
        std::string code, market, secuid;
        int typeRow;  // 0 the limit order
        std::string bsflag, label;
        std::string quantity;
        int64_t held;  // the holding afterwards
    };
    const Case cases[] = {
        {0, "000001", "0", "0010001234", 0, "0B", "限价委托", "200", 1200},
        {1, "000001", "0", "0010001234", 1, "0f", "对方最优价格", "100", 1100},
        {0, "600000", "1", "A100001234", 1, "0d", "五档即成剩撤", "100", 2100},
        {1, "600000", "1", "A100001234", 0, "0S", "限价委托", "100", 2000},
        {1, "110001", "1", "A100001234", 0, "0S", "限价委托", "10", 10},  // the bond, in 张
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bsflag + " " + c.code);
        auto* vc = openMenu(c.direction);
        ASSERT_TRUE(vc);
        typeCode(vc, c.code);
        pickInput(vc->priceTypeButton(), vc->priceTypePicker(), c.typeRow);
        EXPECT_EQ(vc->priceType(), c.bsflag);
        EXPECT_EQ(vc->priceTypeLabelView()->text(), c.label);
        if (c.typeRow != 0) {
            EXPECT_EQ(vc->priceField()->text(), "市价委托");
            EXPECT_FALSE(vc->priceField()->isEnabled());
        }
        if (c.typeRow == 0) {  // a buy at the first ask, a sell at the first bid: filled at once
            const SimQuote q = quoteOf(c.code);
            typePrice(vc, SimMarket::priceText(c.direction == 0 ? q.ask[0] : q.bid[0], q.decimals));
        }
        typeQuantity(vc, c.quantity);
        if (c.code == "000001" && c.direction == 1) saveScreenshot("market-type-sell");
        placeOrder(vc);
        ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
        EXPECT_EQ(top(), root.get());
        const SimRecord r = orderRequests().back();
        EXPECT_EQ(fieldOf(r, "bsflag"), c.bsflag);
        EXPECT_EQ(fieldOf(r, "market"), c.market);
        EXPECT_EQ(fieldOf(r, "secuid"), c.secuid);
        EXPECT_EQ(fieldOf(r, "qty"), c.quantity);
        if (c.typeRow != 0) {
            EXPECT_EQ(fieldOf(r, "price"), "");
        }
        EXPECT_EQ(fieldOf(r, "chkriskflag"), c.direction == 0 ? "1" : "");
        EXPECT_EQ(orders().back().status, SimOrderStatus::Filled);
        EXPECT_EQ(holding(c.code).quantity, c.held);
    }
    EXPECT_EQ(orders().size(), 5u);
}

// The bond and the warrant A holds are sold from their 股份查询 rows as any
// stock: the code and account come with them, the price in their own places,
// a fraction in the bond's lots of 10 张, and the list shows what is left.
TEST_F(OrderEntryTest, TheBondAndAWarrantAreSoldFromTheirHoldingRows) {
    struct Case {
        int row;
        std::string name, code, holder, max, quantity;
        int64_t left;
        int shortcut = -1;  // the segment that fills the quantity; none: typed
    };
    const Case cases[] = {
        {4, "模拟转债", "110001", "沪AA100001234", "20", "10", 10, 3},
        {5, "浦发CWB1", "580001", "沪AA100001234", "10000", "100", 9900},
        {6, "万科JTP1", "038001", "深A0010001234", "500", "100", 400},
    };
    auto* list = openItem<VTATradeQueryViewController>(206);
    ASSERT_TRUE(list && gridShows(*list, 7));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_EQ(top(), list);
        ASSERT_EQ(list->myTableView()->rowItems(c.row)[0], c.name);
        tapGridRow(*list->myTableView(), c.row);
        ASSERT_TRUE(host.tapText("卖出"));
        settle();
        auto* vc = dynamic_cast<TradeViewController*>(top());
        ASSERT_TRUE(vc);
        ASSERT_TRUE(waitFor([&] { return vc->codeField()->text() == c.code && vc->isStockInfoBack(); }));
        const SimQuote q = quoteOf(c.code);
        EXPECT_EQ(vc->nameLabel()->text(), c.name);
        EXPECT_EQ(vc->priceField()->text(), SimMarket::priceText(q.last, 3));
        EXPECT_EQ(vc->stockholderLabel()->text(), c.holder);
        EXPECT_EQ(vc->maxLabel()->text(), "最大可卖数量为" + c.max + "股");
        if (c.shortcut < 0)
            typeQuantity(vc, c.quantity);
        else
            tapShortcut(vc, c.shortcut);
        EXPECT_EQ(vc->quantityField()->text(), c.quantity);
        saveScreenshot("sell-" + c.code);
        placeOrder(vc);
        ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
        EXPECT_EQ(orders().back().code, c.code);
        EXPECT_EQ(orders().back().quantity, std::stoll(c.quantity));
        EXPECT_EQ(orders().back().status, SimOrderStatus::Filled) << "the last price is the first bid";
        EXPECT_EQ(holding(c.code).quantity, c.left);
    }
    ASSERT_EQ(top(), list);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] {
        return list->myTableView()->rowCount() == 7 && list->myTableView()->rowItems(4)[2] == "10" &&
               list->myTableView()->rowItems(5)[2] == "9900" && list->myTableView()->rowItems(6)[2] == "400";
    }));
}

TEST_F(OrderEntryTest, ShortcutsFillTheQuantityFromTheMaximum) {
    auto* vc = openForStock<TradeViewController>(1, "000002", "万科Ａ", 1);
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return vc->isStockInfoBack(); }));
    EXPECT_EQ(vc->maxLabel()->text(), "最大可卖数量为500股");
    const std::vector<std::string> sells = {"100", "100", "100", "200", "500"};  // whole lots: no odd lot held
    for (int s = 0; s < 5; ++s) {
        tapShortcut(vc, s);
        EXPECT_EQ(vc->quantityField()->text(), sells[size_t(s)]) << s;
    }
    // The brokerage takes the third: the shares it holds are gone from 可卖.
    tapShortcut(vc, 2);
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    EXPECT_EQ(fieldOf(orderRequests().back(), "qty"), "100");
    EXPECT_EQ(orders().back().quantity, 100);

    // An odd holding: its odd lot goes whole with the first fraction, then whole lots.
    customerBooks([](SimCustomer& c) {
        for (auto& h : c.holdings)
            if (h.code == "000002") h.quantity += 34, h.available += 34;
        return 0;
    });
    vc = openForStock<TradeViewController>(1, "000002", "万科Ａ", 1);
    ASSERT_TRUE(waitFor([&] { return vc->isStockInfoBack(); }));
    ASSERT_EQ(vc->maxTradableAmount(), 434);
    tapShortcut(vc, 3);
    EXPECT_EQ(vc->quantityField()->text(), "234");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    EXPECT_EQ(orders().back().quantity, 234);
    EXPECT_EQ(holding("000002").available, 200);
    vc = openForStock<TradeViewController>(1, "000002", "万科Ａ", 1);
    ASSERT_TRUE(waitFor([&] { return vc->isStockInfoBack(); }));
    tapShortcut(vc, 3);
    EXPECT_EQ(vc->quantityField()->text(), "100");
    popViewControllers(1);
    settle();

    auto* buy = openForStock<TradeViewController>(0, "600036", "招商银行", 2);
    ASSERT_TRUE(waitFor([&] { return buy->isStockInfoBack(); }));
    const int max = buy->maxTradableAmount();
    ASSERT_GT(max, 1000);
    tapShortcut(buy, 2);
    EXPECT_EQ(buy->quantityField()->text(), std::to_string(max / 300 * 100));
    tapShortcut(buy, 0);
    EXPECT_EQ(buy->quantityField()->text(), std::to_string(max / 500 * 100));
    tapShortcut(buy, 4);
    EXPECT_EQ(buy->quantityField()->text(), std::to_string(max));
}

// The maximum is the one for the price on the form: another price typed asks
// again with it, and "全部" fills what that price affords.
TEST_F(OrderEntryTest, TheMaximumIsForThePriceTyped) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    const int64_t lower = quoteOf("600000").last * 9 / 10;
    const std::string price = SimMarket::priceText(lower, 2);
    sim->clearRequests();
    typePrice(vc, price);
    ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag); }));
    auto asked = stockInfoRequests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(fieldOf(asked[0], "price"), price);
    const int64_t affordable = money().available() / lower / 100 * 100;
    EXPECT_EQ(vc->maxTradableAmount(), affordable);
    EXPECT_EQ(vc->maxLabel()->text(), "最大可买数量为" + std::to_string(affordable) + "股");
    EXPECT_EQ(vc->priceField()->text(), price) << "the customer's price stays";
    tapShortcut(vc, 4);
    EXPECT_EQ(vc->quantityField()->text(), std::to_string(affordable));

    // Another stock's maximum is at its own price, never at the one shown for the first.
    vc->codeField()->setText("");
    typeCode(vc, "600036");
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "price"), "");
    const int64_t last = quoteOf("600036").last;
    EXPECT_EQ(vc->priceField()->text(), SimMarket::priceText(last, 2));
    EXPECT_EQ(vc->maxTradableAmount(), money().available() / last / 100 * 100);
}

// A buy at a market type is frozen at the limit-up price: its maximum is
// asked at that price, and "全部" is what the brokerage takes, in the session
// and outside it (where the next trading day's limit holds).
TEST_F(OrderEntryTest, AMarketTypeBuysMaximumIsAtTheLimitUpPriceAndAllOfItIsTaken) {
    sim->setSessionIdleTimeout(1e9);  // the evening comes
    for (const bool session : {true, false}) {
        SCOPED_TRACE(session ? "in the session" : "in the evening");
        if (!session) sim->clock().setTime(SimClock::fromLocal(20240305, 20 * 60));
        auto* vc = openMenu(0);
        typeCode(vc, "600000");
        const std::string up = vc->goUpStaying().value_or("");
        const SimPrice upLi = simParsePrice(up, 2);
        ASSERT_GT(upLi, 0);
        const int64_t affordable = money().available() * 10 / upLi / 100 * 100;
        auto askedAt = [&](const std::string& price) {
            EXPECT_TRUE(waitFor([&] { return !vc->isRequestInFlight(TradeOrderScreen::kMaximumTag); }));
            ASSERT_FALSE(stockInfoRequests().empty());
            EXPECT_EQ(fieldOf(stockInfoRequests().back(), "price"), price);
            EXPECT_EQ(fieldOf(stockInfoRequests().back(), "bsflag"), "0B");
        };
        pickInput(vc->priceTypeButton(), vc->priceTypePicker(), 1);  // 五档即成剩撤
        askedAt(up);
        EXPECT_EQ(vc->maxTradableAmount(), affordable);
        EXPECT_EQ(vc->maxLabel()->text(), "最大可买数量为" + std::to_string(affordable) + "股");
        EXPECT_EQ(vc->priceType(), "0d") << "the answer changes the maximum only";
        if (session) {
            // Back at the limit order the maximum is the form's price's again, and the market type's once more.
            pickInput(vc->priceTypeButton(), vc->priceTypePicker(), 0);
            askedAt("");
            EXPECT_EQ(vc->maxTradableAmount(), money().available() / quoteOf("600000").last / 100 * 100);
            pickInput(vc->priceTypeButton(), vc->priceTypePicker(), 1);
            askedAt(up);
            EXPECT_EQ(vc->maxTradableAmount(), affordable);
            saveScreenshot("market-type-maximum");
        }
        tapShortcut(vc, 4);
        EXPECT_EQ(vc->quantityField()->text(), std::to_string(affordable));
        const SimBalance before = money();
        placeOrder(vc);
        ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
        const SimOrder o = orders().back();
        EXPECT_EQ(o.bsflag, "0d");
        EXPECT_EQ(o.quantity, affordable);
        if (session) {  // what the five levels gave is paid, the rest freed
            EXPECT_EQ(o.frozen, 0);
            EXPECT_EQ(money().frozen, 0);
            EXPECT_LT(money().balance, before.balance);
        } else {  // it waits for the open, holding the limit-up price's money
            EXPECT_EQ(o.status, SimOrderStatus::Reported);
            EXPECT_EQ(o.frozen, simAmountOf(affordable, upLi));
            EXPECT_EQ(money().frozen, o.frozen);
            EXPECT_LT(money().available(), simAmountOf(100, upLi));
        }
    }
}

TEST_F(OrderEntryTest, ARiskStockAsksAgainAndGoesThroughOnceAccepted) {
    auto* vc = openMenu(0);
    typeCode(vc, "300750");
    vc->priceField()->setText(SimMarket::priceText(quoteOf("300750").ask[0], 2));
    typeQuantity(vc, "100");
    placeOrder(vc);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle().find("88001") != std::string::npos; }));
    const std::string warning = topAlertTitle();
    EXPECT_EQ(topAlert()->buttonTitleAtIndex(0), "取消");
    EXPECT_EQ(topAlert()->buttonTitleAtIndex(1), "确定");
    EXPECT_EQ(vc->quantityField()->text(), "100") << "a warning is no refusal";
    EXPECT_FALSE(SVProgressHUD::isVisible());
    saveScreenshot("risk-warning");
    // "取消": nothing more is sent.
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle();
    EXPECT_EQ(orderRequests().size(), 1u);
    EXPECT_FALSE(vc->sureToTrade());

    placeOrder(vc);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == warning; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    auto sent = orderRequests();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(fieldOf(sent[1], "chkriskflag"), "1");
    EXPECT_EQ(fieldOf(sent[2], "chkriskflag"), "0");
    EXPECT_EQ(fieldOf(sent[2], "qty"), "100") << "the order read and accepted, as it was confirmed";
    EXPECT_EQ(fieldOf(sent[2], "price"), fieldOf(sent[1], "price"));
    EXPECT_FALSE(vc->isSureRisk());
    EXPECT_EQ(holding("300750").quantity, 100);
}

TEST_F(OrderEntryTest, RefusalsShowTheBrokeragesTextAndTheFormsChecksComeFirst) {
    auto* vc = openMenu(0);
    // Without a stock information nothing goes.
    tapView(vc->tradeButton());

    ASSERT_TRUE(dismissAlert("委托数据错误"));
    typeCode(vc, "600000");
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("请输入数量"));
    vc->priceField()->setText("");
    typeQuantity(vc, "100");
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("价格输入错误"));
    EXPECT_TRUE(orderRequests().empty());

    const SimQuote q = quoteOf("600000");
    struct Refusal {
        std::string price, quantity, text;
    };
    const Refusal refusals[] = {
        {SimMarket::priceText(q.last, 2), "150", "买入数量必须为100股的整数倍"},
        {SimMarket::priceText(std::llround(q.prevClose * 1.1) + 5, 2), "100", "委托价格超出涨跌幅限制"},
        {SimMarket::priceText(q.last, 2), "900000", "可用资金不足"},
    };
    for (const auto& r : refusals) {
        vc->priceField()->setText(r.price);
        typeQuantity(vc, r.quantity);
        placeOrder(vc);
        ASSERT_TRUE(alertShown(r.text)) << topAlertTitle();
        if (r.quantity == "150") saveScreenshot("refused");
        EXPECT_EQ(vc->quantityField()->text(), "") << "a refused order's quantity is emptied";
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle();
        EXPECT_EQ(top(), vc) << "a refusal keeps the form";
    }
    EXPECT_EQ(orderRequests().size(), 3u);
    EXPECT_TRUE(orders().empty());
    // Another code typed: its stock information is needed again.
    tapView(vc->codeField());
    host.key("backspace");
    ASSERT_TRUE(host.tapText("完成"));
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("委托数据错误"));
}

TEST_F(OrderEntryTest, TheQuotePanelShowsTheBookAndTheChartAndRefreshesEveryTwoSeconds) {
    auto* vc = openMenu(0);
    // Before a stock the panel opens empty and asks nothing.
    tapView(vc->expandButton());
    EXPECT_TRUE(vc->isExpandQuotes());
    settle(5);
    EXPECT_EQ(intradayRequests(), 0);
    EXPECT_FALSE(vc->quotesPanel().isRefreshing());
    tapView(vc->expandButton());

    typeCode(vc, "600000");
    tapView(vc->expandButton());
    ASSERT_TRUE(vc->isExpandQuotes());
    ASSERT_TRUE(waitFor([&] { return intradayRequests() >= 1; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "code"), "600000.2");
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "freq"), "2");
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "addup"), "0");
    TradePositionView* book = vc->quotesPanel().positionView();
    ASSERT_TRUE(book && book->window());
    ASSERT_TRUE(waitFor([&] { return book->detailHQRS() != nullptr; }));
    EXPECT_EQ(book->goUpStaying(), SimMarket::priceText(std::llround(quoteOf("600000").prevClose * 1.1), 2));
    EXPECT_EQ(vc->tradeButton()->frame().origin.y, 364);
    settle(0.5);
    saveScreenshot("order-book");

    expectRefreshEveryTwoSeconds();

    // A tap on the second bid makes its price the order's.
    const std::string bid2 = *book->priceOfButton(1008);
    tapView(book->buttonWithTag(1008));
    EXPECT_EQ(vc->priceField()->text(), bid2);

    swipeToChart(vc);
    TradeTimeSharingView* chart = vc->quotesPanel().timeSharingView();
    ASSERT_TRUE(chart->scale().isDrawable());
    saveScreenshot("chart");

    // Closing stops the refresh; so does leaving while it is open.
    tapView(vc->expandButton());
    EXPECT_FALSE(vc->quotesPanel().isRefreshing());
    EXPECT_EQ(vc->tradeButton()->frame().origin.y, 340);
    expectNoRefresh();
    tapView(vc->expandButton());
    EXPECT_TRUE(vc->quotesPanel().isRefreshing());
    popViewControllers(1);
    expectNoRefresh();
}

TEST_F(OrderEntryTest, AFailedRefreshStopsAndTheAlertStartsItAgain) {
    auto* vc = openForStock<TradeViewController>(0, "000001", "平安银行", 1, 11.2f);
    ASSERT_TRUE(waitFor([&] { return vc->isStockInfoBack(); }));
    EXPECT_EQ(vc->codeField()->text(), "000001");
    tapView(vc->expandButton());
    ASSERT_TRUE(vc->quotesPanel().isRefreshing());
    sim->forceFault(SimFault::Refuse, 31000, 1);
    settle(2);
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_FALSE(vc->quotesPanel().isRefreshing());
    const int before = intradayRequests();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.1);
    EXPECT_TRUE(vc->quotesPanel().isRefreshing());
    ASSERT_TRUE(waitFor([&] { return intradayRequests() > before; }));
}

TEST_F(OrderEntryTest, ALateStockInformationIsNeverTakenForTheOrdersReply) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    typeQuantity(vc, "100");
    sim->holdReply(500, 6);
    placeOrder(vc, true);
    EXPECT_TRUE(vc->sureToTrade());
    EXPECT_TRUE(SVProgressHUD::isVisible());
    EXPECT_EQ(SVProgressHUD::status(), "委托请求中...");
    // A stock information answered while the order waits changes the form only.
    vc->requestStockInfo();
    ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag); }));
    EXPECT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kOrderTag));
    EXPECT_EQ(topAlert(), nullptr);
    EXPECT_TRUE(vc->sureToTrade());
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_FALSE(vc->sureToTrade());
}

TEST_F(OrderEntryTest, LeavingWithAnOrderInFlightSaysWhereToLook) {
    auto* vc = openMenu(1);
    typeCode(vc, "600000");
    typeQuantity(vc, "100");
    sim->holdReply(500, 6);
    placeOrder(vc, true);
    ASSERT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kOrderTag));
    popViewControllers(1);
    ASSERT_TRUE(alertShown(RequestBinding::kOrderLeftText));
    EXPECT_FALSE(SVProgressHUD::isVisible());
    sim->releaseHeldReplies();
}

TEST_F(OrderEntryTest, TheBarMovesTheFocusAndTheFormRisesForPriceAndQuantity) {
    auto* vc = openMenu(0);
    tapView(vc->stockholderButton());
    EXPECT_EQ(vc->selectedResponse(), TradeViewController::kStockholderTag);
    EXPECT_FALSE(vc->previousItem()->isEnabled());
    EXPECT_TRUE(vc->stockholderPicker()->window());
    EXPECT_EQ(vc->stockholderPicker()->numberOfRowsInComponent(0), 4);
    saveScreenshot("stockholder-picker");
    const int chain[] = {TradeViewController::kPriceTypeTag, TradeViewController::kCodeTag,
                         TradeViewController::kPriceTag, TradeViewController::kQuantityTag};
    for (int tag : chain) {
        ASSERT_TRUE(host.tapText("下一项"));
        settle(0.5);
        EXPECT_EQ(vc->selectedResponse(), tag);
        const bool raised = tag == TradeViewController::kPriceTag || tag == TradeViewController::kQuantityTag;
        EXPECT_EQ(vc->tableView()->contentOffset().y, raised ? 140 : 0) << tag;
    }
    EXPECT_TRUE(vc->quantityField()->isFirstResponder());
    EXPECT_FALSE(vc->nextItem()->isEnabled());
    saveScreenshot("quantity-keyboard");
    ASSERT_TRUE(host.tapText("上一项"));
    settle(0.5);
    EXPECT_TRUE(vc->priceField()->isFirstResponder());
    ASSERT_TRUE(host.tapText("完成"));
    settle(0.5);
    EXPECT_FALSE(vc->priceField()->isFirstResponder());
    EXPECT_EQ(vc->tableView()->contentOffset().y, 0);
}

TEST_F(OrderEntryTest, BothGenerationsOpenFromTheMenuByTheSystemVersion) {
    EXPECT_TRUE(openFromMenu<TradeViewController>(0));
    popViewControllers(1);
    settle();
    UIDevice::currentDevice().setSystemVersion("4.0");
    auto* older = openFromMenu<TradeOrderScreen>(1);
    ASSERT_TRUE(older);
    EXPECT_EQ(dynamic_cast<TradeViewController*>(older), nullptr);
    EXPECT_EQ(older->tradeDirection(), 1);
    EXPECT_EQ(older->title(), "卖出");
}

// Customer C has no Shanghai account: a Shanghai stock has no account to go to.
class OrderWithoutShanghaiAccountTest : public OrderEntryTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(OrderWithoutShanghaiAccountTest, AStockOfAMarketWithoutAccountIsRefusedBeforeSending) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    EXPECT_EQ(vc->stockholderLabel()->text(), "无对应股东代码");
    typeQuantity(vc, "100");
    tapView(vc->tradeButton());
    ASSERT_TRUE(dismissAlert("无对应股东代码"));
    EXPECT_TRUE(orderRequests().empty());
}

}  // namespace
