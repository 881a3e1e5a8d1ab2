// The simulated brokerage's books as the customer reads them in 资金查询 and
// 股份查询: what may go to the bank after holds, fills and sales, the day
// sale money may leave, the cost price and floating profit to the 分, odd
// lots, and the limits of the day an order trades on.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimTradeTestSupport.h"
#include "sim/SimQueries.h"

namespace {

class SimBooksTest : public SimTradeTest {
protected:
    // A sale of A's shares at the day's lowest price, which fills at the bids at once: its money.
    int64_t soldAtOnce(const std::string& code, int64_t quantity) {
        const SimQuote q = quoteOf(code);
        EXPECT_EQ(errorOf(limitOrder(false, code, (q.prevClose * 9 + 5) / 10, quantity)), "");
        EXPECT_EQ(lastOrder().status, SimOrderStatus::Filled);
        return customerA([](SimCustomer& c) { return c.deals.back().amount; });
    }
};

constexpr int kTuesday = 20240305, kWednesday = 20240306, kFriday = 20240308, kSaturday = 20240309, kSunday = 20240310, kMonday = 20240311;

std::string yuan(int64_t fen) { return simMoneyText(fen); }

// num / den rounded half up (half away from zero).
int64_t rounded(int64_t num, int64_t den) {
    const int64_t n = num < 0 ? -num : num, r = (2 * n / den + 1) / 2;
    return num < 0 ? -r : r;
}

TEST_F(SimBooksTest, WithdrawableMoneyComesBackWithWhatAHoldFrees) {
    const auto start = fundsRow();
    EXPECT_EQ(start.at("fundbal"), "1000000.00");
    EXPECT_EQ(start.at("fundcash"), "1000000.00");

    // A buy that waits holds its money; its cancel frees all of it, for the bank too.
    const SimQuote q = quoteOf("600000");
    const int64_t down = (q.prevClose * 9 + 5) / 10;
    ASSERT_EQ(errorOf(limitOrder(true, "600000", down, 200)), "");
    auto held = fundsRow();
    EXPECT_EQ(held.at("frozen"), yuan(200 * down));
    EXPECT_EQ(held.at("fundavl"), yuan(100000000 - 200 * down));
    EXPECT_EQ(held.at("fundcash"), yuan(100000000 - 200 * down));
    ASSERT_EQ(cancel(lastOrder().ordersno, "A100001234", 2), "");
    const auto back = fundsRow();
    EXPECT_EQ(back.at("fundbal"), "1000000.00");
    EXPECT_EQ(back.at("fundavl"), "1000000.00");
    EXPECT_EQ(back.at("frozen"), "0.00");
    EXPECT_EQ(back.at("fundcash"), "1000000.00");

    // A buy at the limit-up price fills at the asks: what it did not need is free and withdrawable.
    const int64_t up = (q.prevClose * 11 + 5) / 10;
    ASSERT_EQ(errorOf(limitOrder(true, "600000", up, 200)), "");
    ASSERT_EQ(lastOrder().status, SimOrderStatus::Filled);
    int64_t cost = 0;
    for (const auto& d : customerA([](SimCustomer& c) { return c.deals; })) cost += d.amount;
    const auto bought = fundsRow();
    EXPECT_EQ(bought.at("fundbal"), yuan(100000000 - cost));
    EXPECT_EQ(bought.at("frozen"), "0.00");
    EXPECT_EQ(bought.at("fundcash"), yuan(100000000 - cost));

    // The day's sale money buys at once but goes to the bank from the next trading day.
    const int64_t proceeds = soldAtOnce("000001", 100);
    const auto sold = fundsRow();
    EXPECT_EQ(sold.at("fundavl"), yuan(100000000 - cost + proceeds));
    EXPECT_EQ(sold.at("fundcash"), yuan(100000000 - cost));
    EXPECT_EQ(transferable(), sold.at("fundcash"));
    EXPECT_EQ(toBank(yuan(100000000 - cost + 1)), "可转金额不足");
    EXPECT_EQ(toBank(sold.at("fundcash")), "");
    const auto gone = fundsRow();
    EXPECT_EQ(gone.at("fundbal"), yuan(proceeds));
    EXPECT_EQ(gone.at("fundcash"), "0.00");
    EXPECT_EQ(toBank("0.01"), "可转金额不足");
}

TEST_F(SimBooksTest, SaleMoneyLeavesFromTheNextTradingDayAndEveryFunctionReadsTheSettledBooks) {
    setClock(kFriday, 10, 30);
    const int64_t proceeds = soldAtOnce("000001", 100);
    const SimQuote pf = quoteOf("600000");
    ASSERT_EQ(errorOf(limitOrder(true, "600000", pf.ask[0], 100)), "");
    ASSERT_EQ(lastOrder().status, SimOrderStatus::Filled);
    const int64_t cost = 100 * pf.ask[0];
    ASSERT_LT(cost, proceeds) << "the buy spends the day's sale money first";
    EXPECT_EQ(transferable(), "1000000.00");

    // On Saturday Friday's sale money is still on its way; the bank side reads the same books.
    setClock(kSaturday, 10, 0);
    EXPECT_EQ(transferable(), "1000000.00");
    EXPECT_EQ(fundsRow().at("fundcash"), "1000000.00");
    EXPECT_EQ(fundsRow().at("fundavl"), yuan(100000000 - cost + proceeds));
    EXPECT_EQ(toBank("1000000.01"), "可转金额不足");
    // Friday's buy may be sold by an order for Monday.
    EXPECT_EQ(holdingRow("600000").at("stkavl"), "2100");

    // Monday: the first thing asked, the bank side's amount, already counts it.
    setClock(kMonday, 9, 0);
    EXPECT_EQ(transferable(), yuan(100000000 - cost + proceeds));
    EXPECT_EQ(fundsRow().at("fundcash"), yuan(100000000 - cost + proceeds));
}

TEST_F(SimBooksTest, SaleMoneyOfAWeekdayLeavesAtTheWeekendWhenATradingDayHasPassed) {
    // Wednesday 13:15 a sale; the next request comes on Sunday: Thursday has passed.
    setClock(kWednesday, 13, 15);
    const int64_t proceeds = soldAtOnce("000001", 100);
    setClock(kSunday, 11, 0);
    const std::string all = yuan(100000000 + proceeds);
    EXPECT_EQ(transferable(), all);
    EXPECT_EQ(fundsRow().at("fundcash"), all);
    EXPECT_EQ(toBank(all), "");
    EXPECT_EQ(fundsRow().at("fundbal"), "0.00");
}

TEST_F(SimBooksTest, TheBankSideAsksFirstOnANewDayAndReadsItSettled) {
    // A buy that waited all Tuesday ends with its day; Wednesday's first request is the bank side's.
    const SimQuote q = quoteOf("600000");
    ASSERT_EQ(errorOf(limitOrder(true, "600000", (q.prevClose * 9 + 5) / 10, 200)), "");
    EXPECT_NE(transferable(), "1000000.00");
    setClock(20240306, 9, 0);
    EXPECT_EQ(transferable(), "1000000.00");
    EXPECT_EQ(textOf(trade(83, ""), "fundavl"), "1000000.00");
}

TEST_F(SimBooksTest, TheFundsListReadsTheNightsFundConfirmationsFirst) {
    // A fund purchase holds its money on Tuesday; Wednesday's first request is the funds list's.
    ASSERT_EQ(errorOf(trade(35, "&ofcode=270001&orderamt=2000&chkriskflag=1")), "");
    EXPECT_EQ(fundsRow().at("frozen"), "2000.00");
    setClock(20240306, 9, 0);
    const auto row = fundsRow();
    EXPECT_EQ(row.at("frozen"), "0.00");
    EXPECT_EQ(row.at("fundbal"), "998000.00");
}

TEST_F(SimBooksTest, CostPriceAndFloatingProfitAreExactAndRoundedOnceWhenShown) {
    // A cost of the holding's 2,000 shares that leaves a remainder a truncation would lose.
    const SimQuote q = quoteOf("600000");
    const int64_t ask = q.ask[0] * 10;  // 厘: 100 shares fill at the first ask
    int64_t cost = 7300;
    while ((2000 * cost + 100 * ask) % 21000 < 10500) ++cost;
    ASSERT_EQ(errorOf(trade(82, "&market=1&stkcode=600000&costprice=" + simPriceText(cost, 3) + "&secuid=A100001234")),
              "");
    ASSERT_EQ(errorOf(limitOrder(true, "600000", q.ask[0], 100)), "");
    ASSERT_EQ(lastOrder().status, SimOrderStatus::Filled);

    int64_t basis = 2000 * cost + 100 * ask;  // 厘
    const int64_t last = simPriceOf(quoteOf("600000").last, 2);
    auto row = holdingRow("600000");
    EXPECT_EQ(row.at("stkqty"), "2100");
    EXPECT_EQ(row.at("profitprice"), simPriceText(rounded(basis, 21000) * 10)) << "basis " << basis;
    EXPECT_EQ(row.at("income"), yuan(rounded(2100 * last - basis, 10)));

    // A sale takes its money off what the shares held cost (the diluted cost).
    basis -= soldAtOnce("600000", 100) * 10;
    row = holdingRow("600000");
    EXPECT_EQ(row.at("stkqty"), "2000");
    EXPECT_EQ(row.at("profitprice"), simPriceText(rounded(basis, 20000) * 10));
    EXPECT_EQ(row.at("income"), yuan(rounded(2000 * last - basis, 10)));
}

TEST_F(SimBooksTest, AnOddLotIsSoldOnlyAsTheWholeOddRemainder) {
    const auto up = [&](const char* code) { return (quoteOf(code).prevClose * 11 + 5) / 10; };  // waits unfilled
    // 500 万科Ａ hold no odd lot: 50 of them are none to sell.
    EXPECT_EQ(errorOf(limitOrder(false, "000002", up("000002"), 50)), "零股须一次性全部卖出");
    // 1,050 平安银行: the 50 go alone or with whole lots, never in parts.
    customerA([](SimCustomer& c) {
        c.holding("0010001234", "000001")->quantity = 1050;
        c.holding("0010001234", "000001")->available = 1050;
        return 0;
    });
    struct Case {
        int64_t qty;
        std::string refusal;
    };
    for (const Case& c : {Case{30, "零股须一次性全部卖出"}, Case{130, "零股须一次性全部卖出"}, Case{1051, "可用股份不足"},
                          Case{150, ""}, Case{50, "零股须一次性全部卖出"}, Case{900, ""}})
        EXPECT_EQ(errorOf(limitOrder(false, "000001", up("000001"), c.qty)), c.refusal) << c.qty;
    EXPECT_EQ(holding("000001").available, 0);
    EXPECT_EQ(errorOf(limitOrder(true, "000001", up("000001"), 150)), "买入数量必须为100股的整数倍");
}

TEST_F(SimBooksTest, TheBondIsSoldInLotsOfTenZhangAtItsPriceAZhangAndListedAsAnyStock) {
    // 20 张 of 模拟转债 at 100.000; the market quotes it in 3 places near 100 元 a 张.
    auto info = stockInfo("110001", "0S");
    ASSERT_EQ(errorOf(info), "");
    EXPECT_EQ(textOf(info, "stkname"), "模拟转债");
    EXPECT_EQ(textOf(info, "market"), "1");
    EXPECT_EQ(info->toIntWithFieldName("num"), 20);
    const SimQuote q = quoteOf("110001");
    EXPECT_EQ(textOf(info, "price"), SimMarket::priceText(q.last, 3));
    EXPECT_EQ(errorOf(limitOrder(false, "110001", q.bid[0], 15)), "零股须一次性全部卖出");
    EXPECT_EQ(errorOf(limitOrder(true, "110001", q.ask[0], 15)), "买入数量必须为10张的整数倍");

    // 10 张 at the first bid (厘 a 张 in 3 places): the amount is the price times the 张.
    ASSERT_EQ(errorOf(limitOrder(false, "110001", q.bid[0], 10)), "");
    const SimOrder sale = lastOrder();
    ASSERT_EQ(sale.status, SimOrderStatus::Filled);
    const SimDeal deal = customerA([](SimCustomer& c) { return c.deals.back(); });
    EXPECT_EQ(deal.price, q.bid[0]);
    EXPECT_EQ(deal.amount, q.bid[0]) << "10 张 x the price in 厘 is the amount in 分";
    const auto funds = fundsRow();
    EXPECT_EQ(funds.at("fundavl"), yuan(100000000 + deal.amount)) << "usable at once";
    EXPECT_EQ(funds.at("fundcash"), "1000000.00") << "withdrawable from the next trading day";
    const auto row = holdingRow("110001");
    EXPECT_EQ(row.at("stkqty"), "10");
    EXPECT_EQ(row.at("stkavl"), "10");
    EXPECT_EQ(row.at("profitprice"), SimMarket::priceText((20 * 100000 - 10 * q.bid[0]) / 10, 3)) << "diluted";
    EXPECT_EQ(row.at("lastprice"), SimMarket::priceText(q.last, 3));
    EXPECT_EQ(row.at("mktval"), yuan(10 * q.last / 10));

    // 当日委托 and 当日成交 list it in the bond's places.
    auto orders = trade(13, "");
    ASSERT_EQ(orders->rowsAffected(), 1);
    EXPECT_EQ(textOf(orders, "stkcode"), "110001");
    EXPECT_EQ(textOf(orders, "bsname"), "卖出");
    EXPECT_EQ(textOf(orders, "orderprice"), SimMarket::priceText(q.bid[0], 3));
    EXPECT_EQ(textOf(orders, "orderqty"), "10");
    EXPECT_EQ(textOf(orders, "orderstatus"), "已成");
    auto deals = trade(14, "");
    ASSERT_EQ(deals->rowsAffected(), 1);
    EXPECT_EQ(textOf(deals, "matchprice"), SimMarket::priceText(q.bid[0], 3));
    EXPECT_EQ(textOf(deals, "matchqty"), "10");
    EXPECT_EQ(textOf(deals, "matchamt"), yuan(deal.amount));

    setClock(20240306, 9, 0);
    EXPECT_EQ(fundsRow().at("fundcash"), yuan(100000000 + deal.amount));
}

TEST_F(SimBooksTest, AnOrderOutsideTradingTimeMeetsTheLimitsOfTheDayItTradesOn) {
    const SimInstrument* s = simTradableStock(sim->market(), "000001");
    struct Case {
        int date, hour, minute, tradesOn;
    };
    for (const Case& c :
         {Case{kTuesday, 8, 30, kTuesday}, Case{kTuesday, 16, 0, 20240306}, Case{kSunday, 10, 0, kMonday}}) {
        setClock(c.date, c.hour, c.minute);
        const int64_t prev = sim->market().prevClose(*s, c.tradesOn);
        const int64_t up = (prev * 11 + 5) / 10, down = (prev * 9 + 5) / 10;
        auto info = stockInfo("000001", "0S");
        EXPECT_EQ(textOf(info, "maxrisevalue"), SimMarket::priceText(up, 2)) << c.date << " " << c.hour;
        EXPECT_EQ(textOf(info, "maxdownvalue"), SimMarket::priceText(down, 2)) << c.date << " " << c.hour;
        EXPECT_EQ(errorOf(limitOrder(false, "000001", up + 1, 100)), "委托价格超出涨跌幅限制");
        EXPECT_EQ(errorOf(limitOrder(false, "000001", down - 1, 100)), "委托价格超出涨跌幅限制");
        EXPECT_EQ(errorOf(limitOrder(false, "000001", up, 100)), "");
        EXPECT_EQ(errorOf(limitOrder(false, "000001", down, 100)), "") << "waits: trading time has not come";
        EXPECT_EQ(lastOrder().status, SimOrderStatus::Reported);
    }
}

TEST_F(SimBooksTest, AnOrderForTheNextTradingDayIsListedForCancelUntilItTrades) {
    // Friday after the close, for Monday: on Saturday it still holds its money and may be cancelled.
    setClock(kFriday, 16, 0);
    const int64_t down = (quoteOf("600000").last * 9 + 5) / 10;
    ASSERT_EQ(errorOf(limitOrder(true, "600000", down, 100)), "");
    const int64_t ordersno = lastOrder().ordersno;
    setClock(kSaturday, 10, 0);
    auto open = trade(15, "");
    ASSERT_TRUE(open && !open->isError());
    ASSERT_EQ(open->rowsAffected(), 1);
    EXPECT_EQ(textOf(open, "ordersno"), std::to_string(ordersno));
    EXPECT_EQ(fundsRow().at("frozen"), yuan(100 * down));
    EXPECT_EQ(cancel(ordersno, "A100001234", 2), "");
    EXPECT_EQ(fundsRow().at("frozen"), "0.00");
}

TEST_F(SimBooksTest, TodaysOrdersHoldTheOrdersPlacedForTodayAfterTheLastClose) {
    setClock(kFriday, 16, 0);
    const int64_t down = (quoteOf("600000").last * 9 + 5) / 10;
    ASSERT_EQ(errorOf(limitOrder(true, "600000", down, 100)), "");
    const std::string ordersno = std::to_string(lastOrder().ordersno);
    setClock(kMonday, 9, 0);
    auto today = trade(13, "");
    ASSERT_TRUE(today && !today->isError());
    ASSERT_EQ(today->rowsAffected(), 1);
    EXPECT_EQ(textOf(today, "ordersno"), ordersno);
    setClock(20240312, 9, 0);
    EXPECT_EQ(trade(13, "")->rowsAffected(), 0) << "Monday's, not Tuesday's";
}

}  // namespace
