// The simulated brokerage's credit orders: the maximum of a financing buy
// and of a short sell (named by a plain credit flag or by the menu link
// appended whole), the credit checks with their texts after the stock
// order's, fills that reach the credit account and not the fund balance, the
// room an open order holds and gives back, and the next day's sellable
// shares; the credit account's own functions refusing what they cannot do;
// a securities repayment and the collateral transfers listed as the day's
// orders and deals and in the history.
#include <gtest/gtest.h>

#include <cmath>

#include "SimTradeTestSupport.h"
#include "sim/SimClock.h"
#include "sim/SimMargin.h"
#include "sim/SimOrders.h"
#include "sim/SimTrade.h"

namespace {

class SimMarginTest : public SimTradeTest {
protected:
    // The maximum as the newer screen asks it: the menu link appended whole.
    std::shared_ptr<VTATCRS> maximum(const std::string& code, int flag, const std::string& price = "") {
        return firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=4&" + tradeInfo + "&fundid=" + fundId + "&stkcode=" +
                                          code + "&price=" + price + "&bsflag=" + (flag == 1 ? "0S" : "0B") +
                                          "&rzrq_rzmr?creditflag=" + std::to_string(flag)));
    }
    std::shared_ptr<VTATCRS> creditOrder(int flag, const std::string& bsflag, const std::string& price,
                                         const std::string& qty, const std::string& code = "600000",
                                         const std::string& market = "1", const std::string& secuid = "A100001234") {
        return firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=6&" + tradeInfo + "&market=" + market +
                                          "&secuid=" + secuid + "&fundid=" + fundId + "&stkcode=" + code +
                                          "&bsflag=" + bsflag + "&price=" + price + "&qty=" + qty +
                                          "&creditid=0&creditflag=" + std::to_string(flag)));
    }
    SimCreditAccount credit() {
        return customerA([](SimCustomer& c) { return *c.credit; });
    }
    std::string priceText(int64_t value) { return SimMarket::priceText(value, 2); }
};

TEST_F(SimMarginTest, TheMaximumOfAFinancingBuyAndOfAShortSell) {
    const SimQuote q = quoteOf("600000");
    // A: a limit of 300,000.00 元 less a debt of 5,000.00 元, in whole lots.
    auto buy = maximum("600000", 0);
    ASSERT_TRUE(buy && !buy->isError()) << errorOf(buy);
    EXPECT_EQ(buy->toIntWithFieldName("num"), 29500000LL * 10 / (q.last * 10) / 100 * 100);
    EXPECT_GE(buy->toIntWithFieldName("num"), 10000);
    EXPECT_EQ(textOf(buy, "stkname"), "浦发银行");
    EXPECT_EQ(textOf(buy, "market"), "1");
    EXPECT_EQ(textOf(buy, "price"), priceText(q.last));
    EXPECT_EQ(maximum("600000", 0, "10")->toIntWithFieldName("num"), 29500);
    // The plain flag names the same maximum.
    auto plain = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=4&" + tradeInfo +
                                            "&stkcode=600000&price=10&bsflag=0B&creditid=0&creditflag=0"));
    EXPECT_EQ(plain->toIntWithFieldName("num"), 29500);
    // A short sell: the short room (100,000.00 元 less the 6,500.00 元 招商银行
    // was sold for) at the price, within what may be lent.
    EXPECT_EQ(maximum("600000", 1, "10")->toIntWithFieldName("num"), 9300);
    sim->withRoom<SimMarginRoom>([](SimMarginRoom& r) { r.targets["600000"].lendable = 2550; });
    EXPECT_EQ(maximum("600000", 1, "10")->toIntWithFieldName("num"), 2500);

    EXPECT_EQ(errorOf(maximum("000651", 0)), "该证券不是融资标的");
    EXPECT_EQ(errorOf(maximum("000002", 1)), "该证券不是融券标的");
    EXPECT_EQ(errorOf(maximum("600000", 3)), "该信用业务暂不支持");
    EXPECT_EQ(errorOf(maximum("399001", 0)), "证券代码不存在");
    // Without the flag it is the stock information: the fund balance's maximum.
    auto cash = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=4&" + tradeInfo + "&stkcode=600000&bsflag=0B"));
    EXPECT_EQ(cash->toIntWithFieldName("num"), 100000000LL / q.last / 100 * 100);
    // C has no credit account.
    logIn("010210009999", "0102");
    EXPECT_EQ(errorOf(maximum("600000", 0)), "您尚未开通信用账户");
}

TEST_F(SimMarginTest, AFinancingBuyFillsIntoTheDebtAndTheCreditPositionsNotTheFundBalance) {
    const SimQuote q = quoteOf("600000");
    const SimBalance before = rmb();
    auto reply = creditOrder(0, "0B", priceText(q.ask[0]), "1000");
    ASSERT_TRUE(reply && !reply->isError()) << errorOf(reply);
    const SimOrder o = customerA([](SimCustomer& c) { return c.orders.back(); });
    EXPECT_EQ(textOf(reply, "orderid"), std::to_string(o.ordersno));
    EXPECT_EQ(o.creditFlag, 0);
    EXPECT_EQ(o.status, SimOrderStatus::Filled);
    EXPECT_EQ(o.frozen, 0);
    const SimMoney amount = customerA([](SimCustomer& c) { return c.deals.back().amount; });
    EXPECT_EQ(credit().financingDebt, 500000 + amount);
    SimCreditAccount after = credit();
    ASSERT_TRUE(after.position("600000"));
    EXPECT_EQ(after.position("600000")->quantity, 1000);
    EXPECT_EQ(after.position("600000")->available, 0) << "bought today, sellable tomorrow";
    EXPECT_EQ(rmb().available(), before.available());
    EXPECT_EQ(rmb().balance, before.balance);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.holding("A100001234", "600000")->quantity; }), 2000);

    // A market type holds its amount at the limit-up price until it fills.
    reply = creditOrder(0, "0d", "", "500");
    ASSERT_TRUE(reply && !reply->isError()) << errorOf(reply);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.orders.back().status; }), SimOrderStatus::Filled);
    EXPECT_EQ(credit().position("600000")->quantity, 1500);

    // The next trading day the shares may be sold.
    sim->clock().setTime(SimClock::fromLocal(20240306, 9 * 60 + 40));
    ASSERT_FALSE(maximum("600000", 0)->isError());
    EXPECT_EQ(credit().position("600000")->available, 1500);
}

TEST_F(SimMarginTest, AShortSellIsOwedAndItsProceedsHeld) {
    const SimQuote q = quoteOf("600000");
    auto reply = creditOrder(1, "0S", priceText(q.bid[0]), "300");
    ASSERT_TRUE(reply && !reply->isError()) << errorOf(reply);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.orders.back().status; }), SimOrderStatus::Filled);
    const SimMoney amount = customerA([](SimCustomer& c) { return c.deals.back().amount; });
    EXPECT_EQ(credit().owed["600000"], 300);
    EXPECT_EQ(credit().shortProceeds, 650000 + amount) << "beside the seed's";
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.holding("A100001234", "600000")->available; }), 2000)
        << "the shares were lent, not the customer's";
    // What is owed is lent no more; the short room is what the proceeds left.
    const int64_t lendable = sim->withRoom<SimTradeRoom>([&](SimTradeRoom& t) {
        return sim->withRoom<SimMarginRoom>([&](SimMarginRoom& m) { return simLendableLeft(m, t.books, "600000"); });
    });
    EXPECT_EQ(lendable, 50000 - 300);
    EXPECT_EQ(customerA([](SimCustomer& c) { return simShortRoom(c); }), 10000000 - 650000 - amount);
}

TEST_F(SimMarginTest, CreditChecksComeAfterTheStockOrdersAndAnOpenOrderHoldsItsRoom) {
    const SimQuote q = quoteOf("600000");
    const std::string last = priceText(q.last);
    struct Refusal {
        int flag;
        std::string bsflag, price, qty, code, market, secuid, text;
    };
    const Refusal refusals[] = {
        {0, "0B", last, "150", "600000", "1", "A100001234", "买入数量必须为100股的整数倍"},
        {0, "0B", last, "100", "600000", "0", "0010001234", "股东代码与证券市场不符"},
        {0, "0S", last, "100", "600000", "1", "A100001234", "融资买入委托类别错误"},
        {0, "0B", priceText(std::llround(q.prevClose * 0.9) - 1), "100", "600000", "1", "A100001234",
         "委托价格超出涨跌幅限制"},
        {0, "0B", priceText(quoteOf("000651").last), "100", "000651", "0", "0010001234", "该证券不是融资标的"},
        {0, "0B", last, "50000", "600000", "1", "A100001234", "融资额度不足"},
        {1, "0i", "", "100", "600000", "1", "A100001234", "融券卖出只能限价委托"},
        {1, "0S", priceText(quoteOf("000002").last), "100", "000002", "0", "0010001234", "该证券不是融券标的"},
        {1, "0S", last, "60000", "600000", "1", "A100001234", "可融券数量不足"},
        {1, "0S", last, "20000", "600000", "1", "A100001234", "融券额度不足"},
        {3, "0S", last, "100", "600000", "1", "A100001234", "该信用业务暂不支持"},
        {2, "0S", priceText(quoteOf("600036").last), "100", "600036", "1", "A100001234", "买券还券委托类别错误"},
        {2, "0B", last, "100", "600000", "1", "A100001234", "还券数量超过融券负债"},
        {7, "0B", last, "100", "600000", "1", "A100001234", "卖券还款委托类别错误"},
        {7, "0S", last, "100", "600000", "1", "A100001234", "可卖数量不足"},
        // Borrowed shares sell in whole lots; the credit account's 1,000 招商银行 hold no odd lot.
        {1, "0S", last, "150", "600000", "1", "A100001234", "零股须一次性全部卖出"},
        {7, "0S", priceText(quoteOf("600036").last), "50", "600036", "1", "A100001234", "零股须一次性全部卖出"},
    };
    for (const auto& r : refusals)
        EXPECT_EQ(errorOf(creditOrder(r.flag, r.bsflag, r.price, r.qty, r.code, r.market, r.secuid)), r.text) << r.text;
    EXPECT_TRUE(customerA([](SimCustomer& c) { return c.orders.empty(); }));

    // A buy below the bids waits and holds its amount of the room; cancelled, it gives it back.
    const int64_t before = maximum("600000", 0, "7")->toIntWithFieldName("num");
    auto waiting = creditOrder(0, "0B", priceText(q.bid[4] - 5), "1000");
    ASSERT_TRUE(waiting && !waiting->isError()) << errorOf(waiting);
    EXPECT_EQ(customerA([](SimCustomer& c) { return c.orders.back().status; }), SimOrderStatus::Reported);
    EXPECT_LT(maximum("600000", 0, "7")->toIntWithFieldName("num"), before);
    EXPECT_TRUE(customerA([](SimCustomer& c) { return simCancelOrder(c, c.orders.back()); }));
    EXPECT_EQ(maximum("600000", 0, "7")->toIntWithFieldName("num"), before);
    EXPECT_EQ(credit().financingDebt, 500000);
}

TEST_F(SimMarginTest, TheCreditAccountsOwnFunctionsRefuseWhatTheyCannotDo) {
    auto ask = [&](int sub, const std::string& more) {
        return firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + tradeInfo +
                                          "&fundid=" + fundId + more));
    };
    for (const char* bad : {"", "0", "abc", "1.234", "1.505", "-5"})
        EXPECT_EQ(errorOf(ask(76, std::string("&creditid=0&moneytype=0&payoffasset=") + bad)), "还款金额有误") << bad;
    EXPECT_EQ(errorOf(ask(76, "&payoffasset=5000.01")), "还款金额超过负债");
    customerA([](SimCustomer& c) { c.credit->cash = 150; });
    EXPECT_EQ(errorOf(ask(76, "&payoffasset=2")), "可用资金不足");
    EXPECT_EQ(textOf(ask(76, "&payoffasset=1.500"), "msgok"), "还款成功");  // zeros past the fen are the value they are
    EXPECT_EQ(credit().financingDebt, 499850);
    EXPECT_EQ(textOf(ask(75, ""), "mayrepay"), "0.00");
    EXPECT_EQ(textOf(ask(75, ""), "repay"), "4998.50");

    EXPECT_EQ(errorOf(ask(87, "&repayflag=2")), "自动还款设置参数错误");
    EXPECT_EQ(errorOf(ask(87, "")), "自动还款设置参数错误");
    EXPECT_FALSE(credit().autoRepay);
    EXPECT_EQ(errorOf(ask(94, "&busiflag=x")), "划转方向错误");

    // Shares move only from an account of the stock's market, and never more than may go.
    auto move = [&](int flag, const std::string& code, const std::string& market, const std::string& secuid,
                    const std::string& qty) {
        return errorOf(ask(6, "&market=" + market + "&secuid=" + secuid + "&stkcode=" + code + "&qty=" + qty +
                                  "&creditid=0&creditflag=" + std::to_string(flag)));
    };
    EXPECT_EQ(move(5, "600000", "0", "0010001234", "100"), "股东账户与证券市场不符");
    EXPECT_EQ(move(5, "600000", "1", "A100001234", "0"), "委托数量错误");
    EXPECT_EQ(move(5, "600000", "1", "A100001234", "2001"), "可划转数量不足");
    EXPECT_EQ(move(5, "000651", "0", "0010001234", "100"), "该证券不是担保证券");
    EXPECT_EQ(move(6, "600036", "1", "A100001234", "1001"), "可划转数量不足");
    EXPECT_EQ(move(4, "600036", "1", "A100001234", "201"), "还券数量超过融券负债");
    EXPECT_EQ(move(4, "000001", "0", "0010001234", "100"), "还券数量超过融券负债");
    EXPECT_EQ(credit().position("600036")->quantity, 1000);
    EXPECT_EQ(credit().owed["600036"], 200);
}

TEST_F(SimMarginTest, AReturnAndTheTransfersAreOrdersOfTheDayUnderTheNumbersTheyAnswered) {
    auto move = [&](int flag, const std::string& code, const std::string& market, const std::string& secuid,
                    const std::string& qty = "100") {
        auto reply = trade(6, "&market=" + market + "&secuid=" + secuid + "&stkcode=" + code + "&qty=" + qty +
                                  "&creditid=0&creditflag=" + std::to_string(flag));
        EXPECT_EQ(errorOf(reply), "");
        return textOf(reply, "orderid");
    };
    const std::string in = move(5, "000001", "0", "0010001234");
    const std::string back = move(4, "600036", "1", "A100001234");
    const std::string out = move(6, "600036", "1", "A100001234");
    const std::string whole = move(5, "000002", "0", "0010001234", "500");
    EXPECT_EQ(credit().position("000001")->quantity, 2100);
    EXPECT_EQ(holding("000001").quantity, 900);
    EXPECT_EQ(credit().owed["600036"], 100);
    EXPECT_EQ(credit().position("600036")->quantity, 800);
    EXPECT_EQ(holding("600036").quantity, 400);
    // A whole holding moved leaves no row of 0 shares in the ordinary account.
    EXPECT_EQ(credit().position("000002")->quantity, 500);
    EXPECT_FALSE(customerA([](SimCustomer& c) { return c.holding("0010001234", "000002") != nullptr; }));
    EXPECT_TRUE(holdingRow("000002").empty()) << "持仓 lists it no more";
    // Each list's rows by order number: its direction, status and quantities.
    auto rows = [&](int sub, const std::string& fields = "") {
        std::map<std::string, std::string> byNumber;
        auto set = trade(sub, fields);
        if (!set || set->isError()) return byNumber;
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
            byNumber[textOf(set, "ordersno")] = textOf(set, "bsname") + " " + textOf(set, "stkcode") + " " +
                                                textOf(set, sub == 14 ? "matchqty" : "orderstatus") +
                                                (sub == 16 ? " " + textOf(set, "orderdate") : "");
        return byNumber;
    };
    const std::map<std::string, std::string> today = {{in, "担保品转入 000001 已成"},
                                                      {back, "现券还券 600036 已成"},
                                                      {out, "担保品转出 600036 已成"},
                                                      {whole, "担保品转入 000002 已成"}};
    EXPECT_EQ(rows(13), today);
    EXPECT_EQ(rows(14), (std::map<std::string, std::string>{{in, "担保品转入 000001 100"},
                                                            {back, "现券还券 600036 100"},
                                                            {out, "担保品转出 600036 100"},
                                                            {whole, "担保品转入 000002 500"}}));
    EXPECT_TRUE(rows(15).empty()) << "nothing to cancel";
    // The next trading day the history lists them.
    setClock(20240306, 9, 40);
    EXPECT_TRUE(rows(13).empty());
    EXPECT_EQ(rows(16, "&strdate=20240305"),
              (std::map<std::string, std::string>{{in, "担保品转入 000001 已成 20240305"},
                                                  {back, "现券还券 600036 已成 20240305"},
                                                  {out, "担保品转出 600036 已成 20240305"},
                                                  {whole, "担保品转入 000002 已成 20240305"}}));
}

}  // namespace
