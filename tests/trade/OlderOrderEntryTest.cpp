// The order screen of systems older than "4.1" driven by finger against the
// simulated brokerage: the code's stock information, an order through the
// toolbar's "确定", the shortcuts rounded for sells too, the order type kept
// across stocks unless the market lacks it, the handed-in price kept for its
// own stock only, and "刷新" with an order in flight.
#include "OrderTestSupport.h"

#include <functional>

#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/TradePickerStrip.h"
#include "trade/VTATradeController.h"

namespace {

class OlderOrderEntryTest : public OrderTest {
protected:
    void SetUp() override {
        OrderTest::SetUp();
        UIDevice::currentDevice().setSystemVersion("3.1.3");
    }
    VTATradeController* openMenu(int direction) { return openFromMenu<VTATradeController>(direction); }

    // Types into a field of the form; a full code asks for its stock.
    void typeInto(VTATextField* field, const std::string& text) {
        tapView(field);
        ASSERT_TRUE(host.type(text));
        if (field->isEditing()) host.tapText("完成");
        settle(0.5);
    }
    void typeCode(VTATradeController* vc, const std::string& code) {
        const size_t asked = stockInfoRequests().size();
        typeInto(vc->stockCode(), code);
        ASSERT_TRUE(
            waitFor([&] { return stockInfoRequests().size() > asked && vc->stockName()->text() != "<证券名称>"; }));
        settle(0.5);
    }
    void order(VTATradeController* vc, bool settleAfter = true) {
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm(settleAfter));
    }
};

TEST_F(OlderOrderEntryTest, ABuyGoesThroughTheToolbarsOKAndClosesTheScreen) {
    auto* vc = openMenu(0);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "买入");
    EXPECT_FALSE(vc->isToolBarHidden());
    EXPECT_EQ(vc->gdhLabel()->text(), "深A0010001234");
    saveScreenshot("empty");

    const SimQuote q = quoteOf("000001");
    typeCode(vc, "000001");
    EXPECT_EQ(vc->stockName()->text(), "平安银行");
    EXPECT_EQ(vc->price()->text(), SimMarket::priceText(q.last, 2));
    EXPECT_EQ(vc->maxNum()->text(), std::to_string(vc->maxTradableNum()) + "股");
    EXPECT_EQ(fieldOf(stockInfoRequests().back(), "price"), "") << "this screen never sends a price";
    // A buy's shortcuts: whole lots.
    tapSegment(vc->numSegment(), 3);
    EXPECT_EQ(vc->num()->text(), std::to_string(vc->maxTradableNum() / 200 * 100));
    vc->price()->setText(SimMarket::priceText(q.ask[0], 2));
    vc->num()->setText("");
    typeInto(vc->num(), "300");
    saveScreenshot("filled-in");

    order(vc);
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    saveScreenshot("sent");
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(r, "qty"), "300");
    EXPECT_EQ(fieldOf(r, "market"), "0");
    EXPECT_EQ(fieldOf(r, "secuid"), "0010001234");
    EXPECT_EQ(fieldOf(r, "chkriskflag"), "1");
    EXPECT_EQ(vc->num()->text(), "300") << "this screen keeps the quantity";
    EXPECT_TRUE(sim->requestsOf(3710, 3).empty()) << "nor does it add the stock to the own stocks";
    EXPECT_EQ(holding("000001").quantity, 1300);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), root.get());
}

TEST_F(OlderOrderEntryTest, SellShortcutsAreRoundedToLotsAndAMarketTypeSendsNoPrice) {
    auto* vc = openMenu(1);
    typeCode(vc, "000002");
    ASSERT_EQ(vc->maxTradableNum(), 500);
    const std::vector<std::string> expected = {"100", "100", "100", "200", "500"};
    for (int s = 0; s < 5; ++s) {
        tapSegment(vc->numSegment(), s);
        EXPECT_EQ(vc->num()->text(), expected[size_t(s)]) << s;
    }
    // 报价方式: the Shenzhen types in a strip; "即时成交剩余撤销" empties and locks the price.
    ASSERT_TRUE(host.tapText("报价方式"));
    settle();
    ASSERT_TRUE(vc->pricePickerTab()->isOpen());
    EXPECT_EQ(vc->pricePickerTab()->picker()->numberOfRowsInComponent(0), 6);
    EXPECT_EQ(vc->pricePickerTab()->picker()->tag(), VTATradeController::kPriceTypePickerTag);
    pickRow(vc->pricePickerTab()->picker(), 3);
    EXPECT_EQ(vc->priceType(), "0h");
    EXPECT_EQ(vc->valueLabel()->text(), "即时成交剩余撤销");
    EXPECT_EQ(vc->price()->text(), "");
    EXPECT_FALSE(vc->price()->isEnable());
    saveScreenshot("order-type-strip");
    vc->pricePickerTab()->slideDown();
    settle();
    vc->num()->setText("200");
    order(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "bsflag"), "0h");
    EXPECT_EQ(fieldOf(r, "price"), "");
    EXPECT_EQ(fieldOf(r, "chkriskflag"), "") << "sells ask nothing about the risk";
    EXPECT_EQ(holding("000002").quantity, 300);

    // A bond's in its lots of 10 张: half of 20 is 10.
    vc = openMenu(1);
    typeCode(vc, "110001");
    ASSERT_EQ(vc->maxTradableNum(), 20);
    tapSegment(vc->numSegment(), 3);
    EXPECT_EQ(vc->num()->text(), "10");
}

// A buy at a market type is frozen at the limit-up price: its maximum is
// asked there, for a stock typed while the type stays chosen too, and "全部"
// is taken and frozen (before the open it waits).
TEST_F(OlderOrderEntryTest, AMarketTypeBuysMaximumIsAtTheLimitUpPriceAndAllOfItIsTaken) {
    sim->setSessionIdleTimeout(1e9);
    sim->clock().setTime(SimClock::fromLocal(20240305, 9 * 60));
    auto* vc = openMenu(0);
    typeCode(vc, "000002");
    ASSERT_TRUE(host.tapText("报价方式"));
    settle();
    pickRow(vc->pricePickerTab()->picker(), 1);  // 对方最优价格
    vc->pricePickerTab()->slideDown();
    auto upOf = [&](const std::string& code) {
        const SimInstrument& s = *simTradableStock(sim->market(), code);
        return simPriceOf(simPriceLimits(sim->market(), s, sim->clock().now()).up, s.decimals);
    };
    // Another stock typed keeps the type: its maximum too is asked at its own limit-up price.
    for (const char* code : {"000002", "000001"}) {
        SCOPED_TRACE(code);
        if (vc->stockCode()->text() != code) {
            vc->stockCode()->setText("");
            typeCode(vc, code);
        }
        const SimPrice up = upOf(code);
        const int64_t affordable = money().available() * 10 / up / 100 * 100;
        ASSERT_TRUE(waitFor([&] { return vc->maxTradableNum() == affordable; })) << vc->maxTradableNum();
        EXPECT_EQ(fieldOf(stockInfoRequests().back(), "price"), SimMarket::priceText(up / 10, 2));
        EXPECT_EQ(vc->maxNum()->text(), std::to_string(affordable) + "股");
        EXPECT_EQ(vc->priceType(), "0a");
    }
    saveScreenshot("market-type-maximum");
    tapSegment(vc->numSegment(), 4);
    const std::string all = vc->num()->text();
    order(vc);
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    const SimOrder o = orders().back();
    EXPECT_EQ(std::to_string(o.quantity), all);
    EXPECT_EQ(o.bsflag, "0a");
    EXPECT_EQ(o.status, SimOrderStatus::Reported);
    EXPECT_EQ(money().frozen, simAmountOf(o.quantity, upOf("000001")));
}

TEST_F(OlderOrderEntryTest, AnOrderTypeTheNewMarketLacksGoesBackToTheLimitOrder) {
    auto* vc = openMenu(0);
    typeCode(vc, "000001");
    ASSERT_TRUE(host.tapText("报价方式"));
    settle();
    pickRow(vc->pricePickerTab()->picker(), 1);
    ASSERT_EQ(vc->priceType(), "0a");
    vc->pricePickerTab()->slideDown();
    settle();
    // Another Shenzhen stock keeps the customer's choice.
    vc->stockCode()->setText("");
    typeCode(vc, "000002");
    EXPECT_EQ(vc->priceType(), "0a");
    EXPECT_EQ(vc->valueLabel()->text(), "对方最优价格");
    EXPECT_EQ(vc->price()->text(), "");
    // Shanghai offers no 对方最优价格.
    vc->stockCode()->setText("");
    typeCode(vc, "600000");
    EXPECT_EQ(vc->priceType(), "0B");
    EXPECT_EQ(vc->valueLabel()->text(), "限价委托");
    EXPECT_TRUE(vc->price()->isEnable());
    EXPECT_EQ(vc->price()->text(), SimMarket::priceText(quoteOf("600000").last, 2));
    EXPECT_EQ(vc->gdhLabel()->text(), "沪AA100001234");
}

TEST_F(OlderOrderEntryTest, AHandedInPriceServesItsOwnStockOnly) {
    auto* vc = openForStock<VTATradeController>(0, "600036", "招商银行", 2, 10.5f);
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return vc->maxNum()->text() != ""; }));
    EXPECT_EQ(vc->price()->text(), "10.50");
    EXPECT_EQ(vc->stockCode()->text(), "600036");
    // "刷新" asks again; the price handed in stays for its stock.
    const size_t asked = stockInfoRequests().size();
    vc->price()->setText("10.6");
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return stockInfoRequests().size() > asked; }));
    settle(0.5);
    EXPECT_EQ(vc->price()->text(), "10.50");
    vc->stockCode()->setText("");
    typeCode(vc, "600000");
    EXPECT_EQ(vc->price()->text(), SimMarket::priceText(quoteOf("600000").last, 2));
}

TEST_F(OlderOrderEntryTest, RefreshDoesNothingWhileAnOrderIsInFlight) {
    auto* vc = openMenu(1);
    typeCode(vc, "600000");
    vc->price()->setText(SimMarket::priceText(quoteOf("600000").bid[0], 2));
    vc->num()->setText("100");
    sim->holdReply(500, 6);
    order(vc, false);
    ASSERT_TRUE(vc->sureToTrade());
    // The command at once (a finger's tap would run the loop until the order's answer came).
    const size_t asked = stockInfoRequests().size();
    vc->onCommandRefresh();
    EXPECT_FALSE(vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag));
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_EQ(stockInfoRequests().size(), asked);
    EXPECT_FALSE(vc->sureToTrade());
}

// "确定" before the code's stock information (a quick customer, a slow line)
// waits for it, so that no order goes to the session's first account (深A
// for a Shanghai stock), nor to the account of a Shenzhen stock typed before:
// the information, come, names the market's account and, as it does here,
// empties the quantity, which the check then asks for.
TEST_F(OlderOrderEntryTest, AnOrderConfirmedBeforeTheStocksReplyGoesToItsMarketsAccount) {
    for (const char* before : {"", "000001"}) {
        SCOPED_TRACE(std::string("code typed before: ") + before);
        sim->clearRequests();
        auto* vc = openMenu(0);
        ASSERT_TRUE(vc);
        EXPECT_EQ(vc->gdhLabel()->text(), "深A0010001234");
        if (*before) {
            typeCode(vc, before);
            vc->stockCode()->setText("");
        }
        sim->holdReply(500, 4);
        // The code as its sixth digit leaves it (a finger's typing would run the loop until the reply came).
        vc->stockCode()->setText("600000");
        vc->myTextFieldReachMax(*vc->stockCode(), 6);
        ASSERT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag));
        vc->price()->setText(SimMarket::priceText(quoteOf("600000").ask[0], 2));
        vc->num()->setText("100");
        vc->onCommandOK();
        EXPECT_FALSE(sheet()) << "confirmed before the stock's market is known";
        sim->releaseHeldReplies();
        ASSERT_TRUE(alertShown("请输入数量")) << topAlertTitle();
        EXPECT_EQ(vc->gdhLabel()->text(), "沪AA100001234");
        EXPECT_TRUE(orderRequests().empty());
        ASSERT_TRUE(host.pressAlertButton("确定"));
        vc->price()->setText(SimMarket::priceText(quoteOf("600000").ask[0], 2));
        vc->num()->setText("100");
        order(vc);
        ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!")) << topAlertTitle();
        ASSERT_EQ(orderRequests().size(), 1u);
        EXPECT_EQ(fieldOf(orderRequests().back(), "market"), "1");
        EXPECT_EQ(fieldOf(orderRequests().back(), "secuid"), "A100001234");
    }
}

// A stock information that failed (a dropped line) or that the brokerage
// refused leaves the stock's market unknown, with nothing on its way to wait
// for: "确定" is refused, and no order goes to the session's 深A account.
TEST_F(OlderOrderEntryTest, AnOrderWhoseStockInformationFailedIsRefused) {
    const struct {
        const char* name;
        std::function<void()> cause;
        std::string text;
    } causes[] = {
        {"line-dropped", [&] { sim->dropConnection(500, 4); }, "网络连接失败，请检查网络设置"},
        {"refused", [&] { sim->forceErrorSet(-1, "证券代码不存在", 500, 4); }, "证券代码不存在"},
    };
    for (const auto& c : causes) {
        SCOPED_TRACE(c.name);
        auto* vc = openMenu(0);
        ASSERT_TRUE(vc);
        c.cause();
        typeInto(vc->stockCode(), "600000");
        ASSERT_TRUE(dismissAlert(c.text)) << topAlertTitle();
        EXPECT_FALSE(vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag));
        vc->price()->setText(SimMarket::priceText(quoteOf("600000").ask[0], 2));
        typeInto(vc->num(), "100");
        ASSERT_TRUE(host.tapText("确定"));
        EXPECT_FALSE(sheet());
        saveScreenshot(std::string("no-market-") + c.name);
        ASSERT_TRUE(dismissAlert("委托数据错误")) << topAlertTitle();
        EXPECT_EQ(vc->gdhLabel()->text(), "深A0010001234");
        EXPECT_TRUE(orderRequests().empty());
        EXPECT_TRUE(orders().empty());
        popViewControllers(1);
        settle();
    }
}

}  // namespace
