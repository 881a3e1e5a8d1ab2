// The simulated brokerage's stock orders: the stock information and its
// maximum, the checks of an order with their texts, the risk warning, the
// matcher against the market's five levels, the money and shares that move,
// orders outside trading time, and the next day's settlement.
#include <gtest/gtest.h>

#include <cmath>

#include "SimTradeTestSupport.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimClock.h"
#include "sim/SimOrders.h"
#include "sim/SimTrade.h"

namespace {

using SimOrdersTest = SimTradeTest;

TEST_F(SimOrdersTest, StockInformationNamesTheStockItsMarketLimitsAndMaximum) {
    const SimQuote q = quoteOf("600000");
    auto buy = stockInfo("600000");
    ASSERT_TRUE(buy && !buy->isError()) << errorOf(buy);
    EXPECT_EQ(textOf(buy, "stkname"), "浦发银行");
    EXPECT_EQ(textOf(buy, "stkcode"), "600000");
    EXPECT_EQ(textOf(buy, "market"), "1");
    EXPECT_EQ(textOf(buy, "price"), SimMarket::priceText(q.last, 2));
    EXPECT_EQ(textOf(buy, "maxrisevalue"), SimMarket::priceText(std::llround(q.prevClose * 1.1), 2));
    EXPECT_EQ(textOf(buy, "maxdownvalue"), SimMarket::priceText(std::llround(q.prevClose * 0.9), 2));
    // 1,000,000.00 元 at the last price, in whole lots; at a sent price instead.
    EXPECT_EQ(buy->toIntWithFieldName("num"), 100000000 / q.last / 100 * 100);
    EXPECT_EQ(stockInfo("600000", "0B", "10")->toIntWithFieldName("num"), 100000);
    EXPECT_EQ(stockInfo("600000", "0B", "市价委托")->toIntWithFieldName("num"), 100000000 / q.last / 100 * 100);
    // A sell's maximum is the holding; Shenzhen and B shares name their markets.
    EXPECT_EQ(stockInfo("600000", "0S")->toIntWithFieldName("num"), 2000);
    EXPECT_EQ(stockInfo("600519", "0S")->toIntWithFieldName("num"), 0);
    EXPECT_EQ(textOf(stockInfo("000001"), "market"), "0");
    EXPECT_EQ(textOf(stockInfo("000001"), "stkname"), "平安银行");
    EXPECT_EQ(textOf(stockInfo("200012"), "market"), "2");
    EXPECT_EQ(textOf(stockInfo("900901"), "market"), "3");
    // No index, no Hong Kong share, nothing unknown.
    for (const char* code : {"399001", "00700", "123456"})
        EXPECT_EQ(errorOf(stockInfo(code)), "证券代码不存在") << code;
    // Without a trade session nothing is told.
    tradeInfo = "custid=1&authid=nothing";
    EXPECT_EQ(errorOf(stockInfo("600000")), "会话已失效，请重新登录");
}

TEST_F(SimOrdersTest, ALimitBuyFillsAtTheAsksAndMovesMoneyAndHolding) {
    const SimQuote q = quoteOf("600000");
    const SimBalance before = rmb();
    auto reply = order("0B", SimMarket::priceText(q.ask[2], 2), "200", "600000", "1", "A100001234");
    ASSERT_TRUE(reply && !reply->isError()) << errorOf(reply);
    EXPECT_FALSE(textOf(reply, "ordersno").empty());

    const SimOrder o = lastOrder();
    EXPECT_EQ(std::to_string(o.ordersno), textOf(reply, "ordersno"));
    EXPECT_EQ(o.status, SimOrderStatus::Filled);
    EXPECT_EQ(o.matched, 200);
    EXPECT_EQ(o.frozen, 0);
    EXPECT_EQ(o.date, 20240305);
    // At the first ask (its volume is at least 100), the rest at the next asks.
    auto deals = customerA([](SimCustomer& c) { return c.deals; });
    ASSERT_FALSE(deals.empty());
    EXPECT_EQ(deals.front().price, q.ask[0] * 10);
    int64_t filled = 0;
    SimMoney cost = 0;
    for (const auto& d : deals) {
        EXPECT_EQ(d.ordersno, o.ordersno);
        filled += d.quantity;
        cost += d.amount;
    }
    EXPECT_EQ(filled, 200);
    const SimBalance after = rmb();
    EXPECT_EQ(after.balance, before.balance - cost);
    EXPECT_EQ(after.available(), before.available() - cost);
    EXPECT_EQ(after.frozen, 0);
    // Bought shares are sellable from the next trading day.
    EXPECT_EQ(holding("600000").quantity, 2200);
    EXPECT_EQ(holding("600000").available, 2000);
    EXPECT_EQ(stockInfo("600000", "0S")->toIntWithFieldName("num"), 2000);
}

TEST_F(SimOrdersTest, ALimitSellFillsAtTheBidsAndPaysTheMoney) {
    const SimQuote q = quoteOf("000001");
    const SimBalance before = rmb();
    auto reply = order("0S", SimMarket::priceText(q.bid[0], 2), "100", "000001", "0", "0010001234");
    ASSERT_TRUE(reply && !reply->isError()) << errorOf(reply);
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Filled);
    EXPECT_EQ(holding("000001").quantity, 900);
    EXPECT_EQ(holding("000001").available, 900);
    EXPECT_EQ(rmb().available(), before.available() + q.bid[0] * 100);
    EXPECT_EQ(rmb().withdrawable(), before.withdrawable());  // sale money moves to the bank from tomorrow

    // A sell below the bids waits with its shares held; the next day it ends and they come back.
    auto waiting = order("0S", SimMarket::priceText(q.ask[4] + 10, 2), "300", "000001", "0", "0010001234");
    ASSERT_TRUE(waiting && !waiting->isError()) << errorOf(waiting);
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Reported);
    EXPECT_EQ(holding("000001").available, 600);
    sim->clock().setTime(SimClock::fromLocal(20240306, 9 * 60));
    stockInfo("000001");
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Cancelled);
    EXPECT_EQ(holding("000001").available, 900);
    EXPECT_FALSE(customerA([](SimCustomer& c) { return simCancelOrder(c, c.orders.back()); }));
}

TEST_F(SimOrdersTest, RefusalsTellWhatIsWrong) {
    const SimQuote q = quoteOf("600000");
    const std::string price = SimMarket::priceText(q.last, 2);
    const std::string up = SimMarket::priceText(std::llround(q.prevClose * 1.1), 2);
    struct Case {
        std::string bsflag, price, qty, code, market, secuid, refusal;
    };
    const Case cases[] = {
        {"0B", price, "100", "399001", "0", "0010001234", "证券代码不存在"},
        {"0B", price, "100", "600000", "1", "A999999999", "股东代码不存在"},
        {"0B", price, "100", "600000", "0", "0010001234", "股东代码与证券市场不符"},
        {"0a", "", "100", "600000", "1", "A100001234", "该市场不支持此委托方式"},
        {"0q", "", "100", "000001", "0", "0010001234", "该市场不支持此委托方式"},
        {"0B", price, "150", "600000", "1", "A100001234", "买入数量必须为100股的整数倍"},
        {"0B", price, "0", "600000", "1", "A100001234", "委托数量错误"},
        {"0B", price, "1e3", "600000", "1", "A100001234", "委托数量错误"},
        {"0B", "", "100", "600000", "1", "A100001234", "委托价格错误"},
        {"0B", price + "5", "100", "600000", "1", "A100001234", "委托价格错误"},
        {"0B", "abc", "100", "600000", "1", "A100001234", "委托价格错误"},
        {"0B", SimMarket::priceText(std::llround(q.prevClose * 1.1) + 1, 2), "100", "600000", "1", "A100001234",
         "委托价格超出涨跌幅限制"},
        {"0S", SimMarket::priceText(std::llround(q.prevClose * 0.9) - 1, 2), "100", "600000", "1", "A100001234",
         "委托价格超出涨跌幅限制"},
        {"0B", up, "2000000", "600000", "1", "A100001234", "可用资金不足"},
        {"0S", price, "2001", "600000", "1", "A100001234", "可用股份不足"},
        {"0S", SimMarket::priceText(quoteOf("600519").last, 2), "100", "600519", "1", "A100001234", "可用股份不足"},
    };
    const SimBalance before = rmb();
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(order(c.bsflag, c.price, c.qty, c.code, c.market, c.secuid)), c.refusal)
            << c.bsflag << " " << c.price << " " << c.qty << " " << c.code;
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.orders.size(); }), 0u);
    EXPECT_EQ(rmb().available(), before.available());
    // A price may end in zeros or a point.
    EXPECT_EQ(errorOf(order("0S", price + "0", "100", "600000", "1", "A100001234")), "");
}

TEST_F(SimOrdersTest, ARiskStockAsksUntilTheCustomerAccepts) {
    const SimQuote q = quoteOf("300750");
    const std::string price = SimMarket::priceText(q.ask[0], 2);
    const std::string warning = errorOf(order("0B", price, "100", "300750", "0", "0010001234", "1"));
    EXPECT_NE(warning.find("88001"), std::string::npos) << warning;
    EXPECT_EQ(errorOf(order("0B", price, "100", "300750", "0", "0010001234", "")), warning);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.orders.size(); }), 0u);
    EXPECT_EQ(errorOf(order("0B", price, "100", "300750", "0", "0010001234", "0")), "");
    EXPECT_EQ(lastOrder().code, "300750");
    EXPECT_EQ(holding("300750").quantity, 100);
    // An ordinary stock never asks; 600000 in particular.
    EXPECT_EQ(errorOf(order("0B", SimMarket::priceText(quoteOf("000002").ask[0], 2), "100", "000002", "0", "0010001234",
                            "1")),
              "");
    EXPECT_FALSE(sim->withRoom<SimOrdersRoom>([](SimOrdersRoom& r) { return r.riskCodes.count("600000") > 0; }));
}

TEST_F(SimOrdersTest, MarketTypesRunAsTheExchangesRunThem) {
    const SimQuote q = quoteOf("000001");
    int64_t fiveLevels = 0;
    for (int k = 0; k < 5; ++k) fiveLevels += q.askVolume[k];
    customerA([](SimCustomer& c) {  // enough money for more than the five levels hold
        c.fundAccounts.front().balances[0] = SimBalance{10000000000};
        return 0;
    });
    const SimBalance before = rmb();

    // 五档即成剩撤: the five levels, the rest cancelled and its money freed.
    ASSERT_EQ(errorOf(order("0d", "", std::to_string((fiveLevels / 100 + 5) * 100), "000001", "0", "0010001234")), "");
    SimOrder o = lastOrder();
    EXPECT_EQ(o.price, 0);
    EXPECT_EQ(o.matched, fiveLevels);
    EXPECT_EQ(o.status, SimOrderStatus::Cancelled);
    EXPECT_EQ(o.frozen, 0);
    EXPECT_EQ(rmb().frozen, 0);
    EXPECT_LT(rmb().available(), before.available());

    // 全部成交或撤销 of more than the levels hold: nothing at all.
    const SimBalance mid = rmb();
    ASSERT_EQ(errorOf(order("0e", "", std::to_string((fiveLevels / 100 + 5) * 100), "000001", "0", "0010001234")), "");
    EXPECT_EQ(lastOrder().matched, 0);
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Cancelled);
    EXPECT_EQ(rmb().available(), mid.available());

    // 本方最优价格: waits at the first bid with only that price's money held.
    ASSERT_EQ(errorOf(order("0b", "", "100", "000001", "0", "0010001234")), "");
    o = lastOrder();
    EXPECT_EQ(o.status, SimOrderStatus::Reported);
    EXPECT_EQ(o.price, q.bid[0] * 10);
    EXPECT_EQ(o.frozen, q.bid[0] * 100);
    EXPECT_EQ(rmb().frozen, o.frozen);
    // A cancel gives its money back.
    const SimMoney held = o.frozen, free = rmb().available();
    EXPECT_TRUE(customerA([](SimCustomer& c) { return simCancelOrder(c, c.orders.back()); }));
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Cancelled);
    EXPECT_EQ(simOrderStatusText(lastOrder()), "已撤");
    EXPECT_EQ(rmb().frozen, 0);
    EXPECT_EQ(rmb().available(), free + held);

    // Shanghai's 五档即成转限价 of a small sell: filled at the first bid.
    const SimQuote sh = quoteOf("600000");
    ASSERT_EQ(errorOf(order("0r", "", "100", "600000", "1", "A100001234")), "");
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Filled);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.deals.back().price; }), sh.bid[0] * 10);
}

TEST_F(SimOrdersTest, AnOrderTakesTheLevelsOfAMomentOnce) {
    // More than the five asks offer at 10:30: the rest waits for the next minute's levels.
    customerA([](SimCustomer& c) { return c.fundAccounts.front().balances[0] = SimBalance{10000000000}; });
    const SimQuote q = quoteOf("600000");
    int64_t offered = 0;
    for (int k = 0; k < 5; ++k) offered += q.askVolume[k];
    ASSERT_EQ(errorOf(order("0B", SimMarket::priceText((q.prevClose * 11 + 5) / 10, 2),
                            std::to_string((offered / 100 + 10) * 100), "600000", "1", "A100001234")),
              "");
    EXPECT_EQ(lastOrder().matched, offered);
    for (int k = 0; k < 3; ++k) stockInfo("600000");
    EXPECT_EQ(lastOrder().matched, offered) << "the same moment's levels are taken once";
    sim->clock().setTime(SimClock::fromLocal(20240305, 10 * 60 + 31));
    stockInfo("600000");
    EXPECT_GT(lastOrder().matched, offered);
}

TEST_F(SimOrdersTest, OrdersOutsideTradingTimeWaitForTheOpen) {
    sim->clock().setTime(SimClock::fromLocal(20240305, 8 * 60 + 50));
    const SimBalance before = rmb();
    const SimQuote q = quoteOf("600000");
    const int64_t up = (q.prevClose * 11 + 5) / 10;
    ASSERT_EQ(errorOf(order("0B", SimMarket::priceText(up, 2), "100", "600000", "1", "A100001234")), "");
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Reported);
    EXPECT_EQ(rmb().frozen, up * 100);
    EXPECT_EQ(rmb().available(), before.available() - up * 100);
    // A market type waits too, holding the limit-up price's money.
    ASSERT_EQ(errorOf(order("0d", "", "100", "600000", "1", "A100001234")), "");
    EXPECT_EQ(lastOrder().frozen, up * 100);

    // At the open both meet the market.
    sim->clock().setTime(SimClock::fromLocal(20240305, 9 * 60 + 40));
    stockInfo("600000");
    auto orders = customerA([](SimCustomer& c) { return c.orders; });
    ASSERT_EQ(orders.size(), 2u);
    for (const auto& o : orders) EXPECT_EQ(o.status, SimOrderStatus::Filled);
    EXPECT_EQ(rmb().frozen, 0);
    EXPECT_EQ(holding("600000").quantity, 2200);

    // An order after the close is for the next trading day (within its limits): it survives the night.
    sim->clock().setTime(SimClock::fromLocal(20240305, 15 * 60 + 30));
    const int64_t nextDown = (quoteOf("600000").last * 9 + 5) / 10;
    ASSERT_EQ(errorOf(order("0B", SimMarket::priceText(nextDown, 2), "100", "600000", "1", "A100001234")), "");
    sim->clock().setTime(SimClock::fromLocal(20240306, 9 * 60));
    stockInfo("600000");
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Reported);
    // The day's buys became sellable overnight.
    EXPECT_EQ(holding("600000").available, 2200);
}

TEST_F(SimOrdersTest, TheOwnStocksOfTheHoldingsFollowTheOrders) {
    auto holdingsIds = [&] {
        auto set = firstSet(call(session, "tc_mfuncno=3710&tc_sfuncno=6&" + tradeInfo + "&inputid=" + fundId));
        return textOf(set, "code");
    };
    sim->setOwnStocks("13800138000", {});
    EXPECT_EQ(holdingsIds().find("300750.1"), std::string::npos);
    ASSERT_EQ(errorOf(order("0B", SimMarket::priceText(quoteOf("300750").ask[0], 2), "100", "300750", "0", "0010001234",
                            "0")),
              "");
    ASSERT_EQ(
        errorOf(order("0S", SimMarket::priceText(quoteOf("000002").bid[0], 2), "500", "000002", "0", "0010001234")),
        "");
    ASSERT_EQ(lastOrder().status, SimOrderStatus::Filled) << "the first bid holds 500 shares or more";
    sim->setOwnStocks("13800138000", {});
    const std::string ids = holdingsIds();
    EXPECT_NE(ids.find("300750.1"), std::string::npos) << ids;
    EXPECT_EQ(ids.find("000002.1"), std::string::npos) << "sold out: " << ids;
    EXPECT_NE(ids.find("600000.2"), std::string::npos) << ids;
}

TEST_F(SimOrdersTest, BSharesAreBoughtWithTheirCurrency) {
    const SimQuote q = quoteOf("900901");
    auto usd = [&] { return customerA([](SimCustomer& c) { return c.fundAccounts.front().balances[2]; }); };
    const SimBalance before = usd(), rmbBefore = rmb();
    EXPECT_EQ(stockInfo("900901")->toIntWithFieldName("num"), before.available() * 10 / (q.last) / 100 * 100);
    ASSERT_EQ(errorOf(order("0B", SimMarket::priceText(q.ask[0], 3), "100", "900901", "3", "C900001234")), "");
    EXPECT_EQ(lastOrder().status, SimOrderStatus::Filled);
    EXPECT_EQ(usd().available(), before.available() - q.ask[0] * 100 / 10);
    EXPECT_EQ(rmb().available(), rmbBefore.available());
}

}  // namespace
