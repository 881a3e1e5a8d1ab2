// The trade menu's functions of the simulator: the paged lists and their
// cursor, the cost and password changes, new issues with every strategy and
// their subscription, warrant exercise, and the weeks of past orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "SimTestSupport.h"
#include "core/contracts/NewIssueContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "sim/SimNewIssues.h"
#include "sim/SimTrade.h"
#include "sim/SimWarrants.h"
#include "tests/support/SimOrders.h"

namespace {

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>();
}

std::string errorOf(const std::shared_ptr<VTATCRS>& set) { return set && set->isError() ? set->getError() : ""; }
std::string errorOf(const SimServer::Reply& r) { return errorOf(firstSet(r)); }

std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

// The texts of one column, row by row.
std::vector<std::string> column(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    std::vector<std::string> out;
    if (!set) return out;
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) out.push_back(textOf(set, field));
    set->fetchFirst();
    return out;
}

class SimTradeQueriesTest : public SimTest {
protected:
    void SetUp() override {
        session = login();
        tradeSession = logIn("010110001234");
        ASSERT_FALSE(tradeSession.empty());
    }
    // The session text of a login (empty when refused).
    std::string logIn(const std::string& account, const std::string& password = "123456",
                      const std::string& branch = "0101") {
        auto set = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=" + branch +
                                              "&inputid=" + account + "&trdpwd=" + password + "&authtype=0"));
        return set && !set->isError() ? set->toStringAtIndex(0).value_or("") : "";
    }
    SimServer::Reply trade(const std::string& fields, const std::string& as = "") {
        return call(session, fields + "&" + (as.empty() ? tradeSession : as) + "&operway=i");
    }
    template <class F>
    decltype(auto) customerA(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(*r.books.customer("010110001234")); });
    }

    std::string session, tradeSession;
};

TEST_F(SimTradeQueriesTest, HoldingsPageByTheirCursorAndTheLastRowHasNone) {
    auto first = firstSet(trade("tc_mfuncno=500&tc_sfuncno=10&count=2&position=poststr&sign=income"));
    ASSERT_TRUE(first && !first->isError());
    EXPECT_EQ(column(first, "stkcode"), (std::vector<std::string>{"000001", "000002"}));
    EXPECT_EQ(column(first, "poststr"), (std::vector<std::string>{"1", "2"}));
    // The descriptors are the columns' titles.
    EXPECT_EQ(first->getFieldDescAtIndex(0), "证券名称");
    EXPECT_EQ(first->getFieldDescAtIndex(first->fieldCount() - 1), "定位串");

    auto second = firstSet(trade("tc_mfuncno=500&tc_sfuncno=10&count=2&poststr=2"));
    EXPECT_EQ(column(second, "stkcode"), (std::vector<std::string>{"600000", "600036"}));
    auto last = firstSet(trade("tc_mfuncno=500&tc_sfuncno=10&count=2&poststr=6"));
    EXPECT_EQ(column(last, "stkcode"), (std::vector<std::string>{"038001"}));
    EXPECT_EQ(column(last, "poststr"), (std::vector<std::string>{""}));
    // Without a count the whole list comes (the bond and the two warrants last); past its end nothing.
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=10"))->rowsAffected(), 7);
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=10&poststr=9"))->rowsAffected(), 0);
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=10&poststr=abc")), "查询定位串错误");
}

TEST_F(SimTradeQueriesTest, AHoldingShowsItsCostValueAndSignedProfit) {
    auto set = firstSet(trade("tc_mfuncno=500&tc_sfuncno=10"));
    ASSERT_TRUE(set);
    EXPECT_EQ(textOf(set, "stkname"), "平安银行");
    EXPECT_EQ(textOf(set, "profitprice"), "10.85");
    EXPECT_EQ(textOf(set, "stkqty"), "1000");
    EXPECT_EQ(textOf(set, "~market"), "深A");
    EXPECT_EQ(textOf(set, "secuid"), "0010001234");
    EXPECT_EQ(textOf(set, "market"), "0");
    // Profit is value less cost; a loss carries "-", a gain no sign.
    const double last = std::stod(textOf(set, "lastprice"));
    const double income = std::stod(textOf(set, "income"));
    EXPECT_NEAR(income, (last - 10.85) * 1000, 0.01);
    EXPECT_EQ(textOf(set, "income")[0] == '-', income < 0);
    EXPECT_NEAR(std::stod(textOf(set, "mktval")), last * 1000, 0.01);
}

TEST_F(SimTradeQueriesTest, FundsListOneRowPerCurrencyWithTheHoldingsValue) {
    auto set = firstSet(trade("tc_mfuncno=500&tc_sfuncno=9"));
    ASSERT_TRUE(set && !set->isError());
    EXPECT_EQ(column(set, "moneytype"), (std::vector<std::string>{"人民币", "港币", "美元"}));
    EXPECT_EQ(textOf(set, "fundavl"), "1000000.00");
    // 总资产 counts the 5,000.00 元 the seeded repo deal lends.
    const double asset = std::stod(textOf(set, "asset"));
    EXPECT_NEAR(asset, 1000000 + 5000 + std::stod(textOf(set, "mktval")), 0.01);
    EXPECT_GT(std::stod(textOf(set, "mktval")), 0);
}

TEST_F(SimTradeQueriesTest, AListOfAnEndedSessionIsRefused) {
    const std::string old = tradeSession;
    tradeSession = logIn("010110001234");  // a new login ends the old session
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=10", old)), "会话已失效，请重新登录");
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=82&market=0&stkcode=000001&costprice=9&secuid=0010001234", old)),
              "会话已失效，请重新登录");
}

TEST_F(SimTradeQueriesTest, ACostChangeNeedsAPriceAndTheAccountsHolding) {
    auto change = [&](const std::string& market, const std::string& code, const std::string& cost,
                      const std::string& secuid) {
        return trade("tc_mfuncno=500&tc_sfuncno=82&market=" + market + "&stkcode=" + code + "&costprice=" + cost +
                     "&secuid=" + secuid);
    };
    EXPECT_EQ(errorOf(change("0", "000001", "1.2.3", "0010001234")), "成本价格错误");
    EXPECT_EQ(errorOf(change("0", "000001", "-3", "0010001234")), "成本价格错误");
    EXPECT_EQ(errorOf(change("0", "000001", "", "0010001234")), "成本价格错误");
    EXPECT_EQ(errorOf(change("1", "000001", "9", "0010001234")), "该股东帐户没有此证券持仓");
    EXPECT_EQ(errorOf(change("0", "600000", "9", "0010001234")), "该股东帐户没有此证券持仓");
    auto ok = firstSet(change("0", "000001", "9.125", "0010001234"));
    ASSERT_TRUE(ok && !ok->isError());
    EXPECT_EQ(textOf(ok, "message"), "修改成功");
    EXPECT_EQ(customerA([](SimCustomer& a) { return a.holding("0010001234", "000001")->costPrice(3); }), 9125);
    EXPECT_EQ(change("0", "000001", ".5", "0010001234").status, 200);
    EXPECT_EQ(customerA([](SimCustomer& a) { return a.holding("0010001234", "000001")->costPrice(3); }), 500);
    firstSet(change("0", "000001", "12.", "0010001234"));
    EXPECT_EQ(customerA([](SimCustomer& a) { return a.holding("0010001234", "000001")->costPrice(3); }), 12000);
}

TEST_F(SimTradeQueriesTest, APasswordChangeRenewsTheSessionAndTheNewPasswordLogsIn) {
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=12&oldpwd=111111&newpwd=654321")), "原交易密码错误");
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=12&oldpwd=123456&newpwd=65432")), "新密码必须为6位数字");
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=12&oldpwd=123456&newpwd=65432a")), "新密码必须为6位数字");
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=12&oldpwd=123456&newpwd=123456")), "新密码不能与原密码相同");

    auto set = firstSet(trade("tc_mfuncno=500&tc_sfuncno=12&oldpwd=123456&newpwd=654321"));
    ASSERT_TRUE(set && !set->isError());
    const std::string authid = textOf(set, "authid");
    ASSERT_EQ(authid.size(), 32u);
    EXPECT_EQ(tradeSession.find(authid), std::string::npos);
    // The old authid is ended; the session text with the new one works.
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=10")), "会话已失效，请重新登录");
    const std::string renewed = tradeSession.substr(0, tradeSession.find("authid=") + 7) + authid;
    EXPECT_TRUE(errorOf(trade("tc_mfuncno=500&tc_sfuncno=10", renewed)).empty());
    EXPECT_TRUE(logIn("010110001234").empty());
    EXPECT_FALSE(logIn("010110001234", "654321").empty());
}

TEST_F(SimTradeQueriesTest, TheWeeksBeforeHoldPastOrdersAndDealsInTheOrderOfTime) {
    customerA([](SimCustomer& a) {
        const int today = 20240305;
        EXPECT_TRUE(a.orders.empty()) << "the day's orders start empty";
        ASSERT_GE(a.pastOrders.size(), 20u);
        ASSERT_GE(a.pastDeals.size(), 20u);
        int64_t lastNumber = 0;
        std::pair<int, int> lastTime{0, 0};
        int cancelled = 0, refused = 0;
        for (const auto& o : a.pastOrders) {
            EXPECT_LT(o.date, today);
            EXPECT_GT(o.ordersno, lastNumber);
            EXPECT_GE(std::make_pair(o.date, o.time), lastTime);
            lastNumber = o.ordersno;
            lastTime = {o.date, o.time};
            EXPECT_FALSE(o.isOpen());
            cancelled += o.status == SimOrderStatus::Cancelled;
            refused += o.status == SimOrderStatus::Refused;
            EXPECT_EQ(o.matched, o.status == SimOrderStatus::Filled ? o.quantity : 0);
            EXPECT_FALSE(o.secuid.empty()) << o.code;
        }
        EXPECT_EQ(cancelled, 2);
        EXPECT_EQ(refused, 1);
        // Every holding was bought at its cost, in full.
        for (const auto& h : a.holdings) {
            bool found = false;
            for (const auto& o : a.pastOrders)
                found |= o.code == h.code && o.price == h.costPrice(3) && o.quantity == h.quantity && o.bsflag == "0B";
            EXPECT_TRUE(found) << h.code;
        }
    });
}

TEST_F(SimTradeQueriesTest, HistoryListsTheDaysAskedForNewestFirstAndNotToday) {
    customerA([](SimCustomer& a) {
        SimOrder today;
        today.ordersno = 9001;
        today.date = 20240305;
        today.time = 100000;
        today.market = "0";
        today.secuid = "0010001234";
        today.code = "000001";
        today.name = "平安银行";
        today.bsflag = "0S";
        today.fundid = "010110001234";
        today.price = 99000;  // far above the bids: it waits
        today.quantity = 100;
        a.orders.push_back(today);
    });
    auto all = firstSet(trade("tc_mfuncno=500&tc_sfuncno=16&qryflag=1"));
    ASSERT_TRUE(all && !all->isError());
    auto dates = column(all, "orderdate");
    ASSERT_GE(dates.size(), 20u);
    EXPECT_TRUE(std::is_sorted(dates.rbegin(), dates.rend()));
    EXPECT_LT(dates.front(), "20240305");
    EXPECT_EQ(all->getFieldDescAtIndex(0), "委托日期");

    // The trading days 2024-02-26 to 2024-03-01.
    auto week = firstSet(trade("tc_mfuncno=500&tc_sfuncno=16&strdate=20240226&enddate=20240301&qryflag=1"));
    for (const auto& d : column(week, "orderdate")) {
        EXPECT_GE(d, "20240226");
        EXPECT_LE(d, "20240301");
    }
    EXPECT_GT(week->rowsAffected(), 0);
    EXPECT_LT(week->rowsAffected(), all->rowsAffected());
    auto deals = firstSet(trade("tc_mfuncno=500&tc_sfuncno=17&strdate=20240101&enddate=20240305&count=20"));
    ASSERT_TRUE(deals && !deals->isError());
    EXPECT_EQ(deals->rowsAffected(), 20);
    EXPECT_EQ(textOf(deals, "poststr"), "1");
    EXPECT_FALSE(textOf(deals, "matchamt").empty());

    // Today's own lists hold the day's order only.
    auto todays = firstSet(trade("tc_mfuncno=500&tc_sfuncno=13"));
    EXPECT_EQ(column(todays, "ordersno"), (std::vector<std::string>{"9001"}));
    EXPECT_EQ(textOf(todays, "bsname"), "卖出");
    EXPECT_EQ(textOf(todays, "orderprice"), "99.00");
    EXPECT_EQ(textOf(todays, "orderstatus"), "已报");
    EXPECT_EQ(textOf(todays, "~market"), "深A");
    EXPECT_EQ(column(firstSet(trade("tc_mfuncno=500&tc_sfuncno=15")), "ordersno"), (std::vector<std::string>{"9001"}));
    customerA([](SimCustomer& a) { a.orders.back().status = SimOrderStatus::Cancelled; });
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=15"))->rowsAffected(), 0);
    EXPECT_EQ(textOf(firstSet(trade("tc_mfuncno=500&tc_sfuncno=13")), "orderstatus"), "已撤");
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=14"))->rowsAffected(), 0);
}

TEST_F(SimTradeQueriesTest, AnOpenOrderIsCancelledOnceAndItsMoneyComesBack) {
    const std::string down =
        textOf(firstSet(trade("tc_mfuncno=500&tc_sfuncno=4&bsflag=0B&stkcode=600000")), "maxdownvalue");
    auto placed = firstSet(trade("tc_mfuncno=500&tc_sfuncno=6&fundid=010110001234&bsflag=0B&price=" + down +
                                 "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1"));
    ASSERT_TRUE(placed && !placed->isError()) << (placed ? placed->getError() : "");
    const std::string number = textOf(placed, "ordersno");
    auto open = firstSet(trade("tc_mfuncno=500&tc_sfuncno=15"));
    ASSERT_EQ(column(open, "ordersno"), (std::vector<std::string>{number}));
    EXPECT_EQ(textOf(open, "bsname"), "买入");
    EXPECT_EQ(textOf(open, "~market"), "沪A");
    auto frozen = [&] {
        return customerA([](SimCustomer& a) { return a.fundAccounts.front().balances[SimCurrency::kRMB].frozen; });
    };
    EXPECT_GT(frozen(), 0);

    auto cancel = [&](const std::string& no, int market, const std::string& secuid) {
        return trade("tc_mfuncno=500&tc_sfuncno=7&fundid=010110001234&ordersno=" + no +
                     "&market=" + std::to_string(market) + "&secuid=" + secuid);
    };
    EXPECT_EQ(errorOf(cancel(number, 1, "A100001234")), "委托不存在") << "Shanghai is market 2";
    EXPECT_EQ(errorOf(cancel(number, 2, "0010001234")), "委托不存在");
    EXPECT_EQ(errorOf(cancel("99999", 2, "A100001234")), "委托不存在");
    auto done = firstSet(cancel(number, 2, "A100001234"));
    ASSERT_TRUE(done && !done->isError());
    EXPECT_EQ(frozen(), 0);
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=15"))->rowsAffected(), 0);
    EXPECT_EQ(textOf(firstSet(trade("tc_mfuncno=500&tc_sfuncno=13")), "orderstatus"), "已撤");
    EXPECT_EQ(errorOf(cancel(number, 2, "A100001234")), "该委托不能撤单");
    // Another customer cannot name it.
    auto c = logIn("010210009999", "123456", "0102");
    EXPECT_EQ(
        errorOf(trade(
            "tc_mfuncno=500&tc_sfuncno=7&fundid=010210009999&ordersno=" + number + "&market=2&secuid=A100001234", c)),
        "委托不存在");
}

// ---- new issues ----

class SimNewIssuesTest : public SimTradeQueriesTest {
protected:
    std::shared_ptr<VTATCRS> calculate(int policy, const std::string& codes, const std::string& params) {
        return firstSet(trade("tc_mfuncno=100&tc_sfuncno=19&policyid=" + std::to_string(policy) + "&codes=" + codes +
                              "&markets=0,1&params=" + params));
    }
    SimMoney frozenRmb(const std::string& fundid = "010110001234") {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) {
            return r.books.customer(fundid)->fundAccount(fundid)->balances[SimCurrency::kRMB].frozen;
        });
    }
};

TEST_F(SimNewIssuesTest, TheListHoldsTheIssuesOfTheMarketsNamedTodaysFirst) {
    auto set = firstSet(trade("tc_mfuncno=100&tc_sfuncno=18&market=0,1"));
    ASSERT_TRUE(set && !set->isError());
    EXPECT_EQ(column(set, "stkcode"), (std::vector<std::string>{"002888", "300888", "732888", "002887"}));
    EXPECT_EQ(column(set, "status"), (std::vector<std::string>{"0", "0", "0", "1"}));
    EXPECT_EQ(textOf(set, "issuedate"), "20240305");
    EXPECT_EQ(set->getFieldDescAtIndex(1), "申购代码");
    auto shenzhen = firstSet(trade("tc_mfuncno=100&tc_sfuncno=18&market=0"));
    EXPECT_EQ(column(shenzhen, "market"), (std::vector<std::string>{"0", "0", "0"}));
}

TEST_F(SimNewIssuesTest, LimitsComeInTheOrderOfTheCodesWithWhatTheMoneyPays) {
    auto sets = setsOf(trade("tc_mfuncno=100&tc_sfuncno=30&stkcode=732888,002888,002887"));
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(textOf(sets[0], "fundavl"), "1000000.00");
    EXPECT_EQ(column(sets[1], "stkcode"), (std::vector<std::string>{"732888", "002888", "002887"}));
    EXPECT_EQ(column(sets[1], "maxqty"), (std::vector<std::string>{"18000", "15000", "20000"}));
    // The next day's issue cannot be subscribed now.
    EXPECT_EQ(column(sets[1], "maxbuy"), (std::vector<std::string>{"18000", "15000", "0"}));
    EXPECT_EQ(errorOf(trade("tc_mfuncno=100&tc_sfuncno=30&stkcode=123456")), "123456不是可申购的新股");

    // Customer C's 50,000 yuan pay for 2,500 shares of 002888 (18.50) in lots of 500.
    auto c = logIn("010210009999", "123456", "0102");
    auto limited = setsOf(trade("tc_mfuncno=100&tc_sfuncno=30&stkcode=002888", c));
    ASSERT_EQ(limited.size(), 2u);
    EXPECT_EQ(textOf(limited[1], "maxbuy"), "2500");
}

TEST_F(SimNewIssuesTest, EachStrategyGivesWholeLotsWithinTheLimitsAndTheMoney) {
    auto shares = calculate(0, "002888,732888", "1200,5000");
    ASSERT_TRUE(shares && !shares->isError());
    // By position: code, name, price, quantity, amount, market.
    shares->fetchFirst();
    EXPECT_EQ(shares->toStringAtIndex(0), "002888");
    EXPECT_EQ(shares->toStringAtIndex(1), "华宇新材");
    EXPECT_EQ(shares->toStringAtIndex(2), "18.50");
    EXPECT_EQ(shares->toStringAtIndex(3), "1000");
    EXPECT_EQ(shares->toStringAtIndex(4), "18500.00");
    EXPECT_EQ(shares->toStringAtIndex(5), "0");
    shares->fetchNext();
    EXPECT_EQ(shares->toStringAtIndex(3), "5000");

    // Equal funds: 500,000 yuan each, capped by the limits.
    auto equal = calculate(1, "002888,732888", "");
    EXPECT_EQ(column(equal, "qty"), (std::vector<std::string>{"15000", "18000"}));
    // 1 % and 2 % of 1,000,000: 10,000 and 20,000 yuan.
    auto percent = calculate(2, "002888,732888", "1,2");
    EXPECT_EQ(column(percent, "qty"), (std::vector<std::string>{"500", "1000"}));
    EXPECT_EQ(errorOf(calculate(2, "002888,732888", "60,50")), "资金比例合计不能超过100%");
    auto amounts = calculate(3, "002888,732888", "20000,13000");
    EXPECT_EQ(column(amounts, "qty"), (std::vector<std::string>{"1000", "1000"}));
    EXPECT_EQ(errorOf(calculate(3, "002888,732888", "900000,200000")), "可用资金不足");
    auto upper = calculate(4, "002888,732888", "");
    EXPECT_EQ(column(upper, "qty"), (std::vector<std::string>{"15000", "18000"}));
    EXPECT_EQ(errorOf(calculate(0, "002888,732888", "1000")), "申购参数错误");
    EXPECT_EQ(errorOf(calculate(0, "002888", "abc")), "申购参数错误");

    // The upper limit with little money fills the first issue first: C has 50,000 yuan.
    auto c = logIn("010210009999", "123456", "0102");
    auto few = firstSet(trade("tc_mfuncno=100&tc_sfuncno=19&policyid=4&codes=002888,300888&markets=0,0&params=", c));
    EXPECT_EQ(column(few, "qty"), (std::vector<std::string>{"2500", "0"}));
}

TEST_F(SimNewIssuesTest, ASubscriptionAnswersALinePerIssueAndFreezesTheMoney) {
    auto set = firstSet(
        trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234,010110001234,010110001234&price=18.50,12.36,9.88"
              "&markets=0,1,0&secuids=0010001234,A100001234,0010001234&qty=1000,2000,500&codes=002888,732888,002887"));
    ASSERT_TRUE(set && !set->isError());
    auto lines = column(set, "result");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("华宇新材(002888) 申购1000股已提交，合同号", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("沪光智能(732888) 申购2000股已提交", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "东方锂业(002887) 申购失败：非申购日不能申购");
    EXPECT_EQ(frozenRmb(), 1850000 + 2472000);
    EXPECT_EQ(customerA([](SimCustomer& a) { return subscriptionsOf(a).size(); }), 2u);

    auto again =
        firstSet(trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234,010110001234&price=18.50,32.15"
                       "&markets=0,0&secuids=0010001234,0010009999&qty=1000,700&codes=002888,300888"));
    EXPECT_EQ(column(again, "result"), (std::vector<std::string>{"华宇新材(002888) 申购失败：不能重复申购",
                                                                 "中科微电(300888) 申购失败：股东代码不存在"}));
    auto lots =
        firstSet(trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234&price=32.15"
                       "&markets=0&secuids=0010001234&qty=700&codes=300888"));
    EXPECT_EQ(column(lots, "result"), (std::vector<std::string>{"中科微电(300888) 申购失败：申购数量错误"}));
    EXPECT_EQ(errorOf(trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234&price=18.50&markets=0,1"
                            "&secuids=0010001234&qty=1000&codes=002888")),
              "申购参数错误");
    EXPECT_EQ(frozenRmb(), 1850000 + 2472000);

    // An issue named twice in one request is subscribed once.
    auto twice = firstSet(trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234,010110001234&price=32.15,32.15"
                                "&markets=0,0&secuids=0010001234,0010001234&qty=500,500&codes=300888,300888"));
    auto twiceLines = column(twice, "result");
    ASSERT_EQ(twiceLines.size(), 2u);
    EXPECT_EQ(twiceLines[0].rfind("中科微电(300888) 申购500股已提交", 0), 0u) << twiceLines[0];
    EXPECT_EQ(twiceLines[1], "中科微电(300888) 申购失败：不能重复申购");
    EXPECT_EQ(frozenRmb(), 1850000 + 2472000 + 1607500);

    // Each line is paid from what the lines before it left: C's 50,000 元 cover 37,000.00 of 华宇新材,
    // not 16,075.00 of 中科微电 besides.
    auto c = logIn("010210009999", "123456", "0102");
    auto beyond = firstSet(trade("tc_mfuncno=100&tc_sfuncno=20&fundids=010210009999,010210009999&price=18.50,32.15"
                                 "&markets=0,0&secuids=0010009999,0010009999&qty=2000,500&codes=002888,300888",
                                 c));
    auto beyondLines = column(beyond, "result");
    ASSERT_EQ(beyondLines.size(), 2u);
    EXPECT_EQ(beyondLines[0].rfind("华宇新材(002888) 申购2000股已提交", 0), 0u) << beyondLines[0];
    EXPECT_EQ(beyondLines[1], "中科微电(300888) 申购失败：可用资金不足");
    EXPECT_EQ(frozenRmb("010210009999"), 3700000);
}

TEST_F(SimNewIssuesTest, ASubscriptionIsListedHeldUntilTheNextTradingDayThenAllottedAndItsSharesSold) {
    // Issues made for a Friday: the allotment waits for Monday, the weekend passing.
    sim->setSessionIdleTimeout(1e9);
    sim->clock().setTime(SimClock::fromLocal(20240308, 10 * 60));
    auto set = firstSet(trade(
        "tc_mfuncno=100&tc_sfuncno=20&fundids=010110001234,010110001234,010110001234&price=18.50,12.36,32.15"
        "&markets=0,1,0&secuids=0010001234,A100001234,0010001234&qty=1000,2000,500&codes=002888,732888,300888"));
    ASSERT_EQ(column(set, "result").size(), 3u);
    const SimMoney held = 1850000 + 2472000 + 1607500;
    EXPECT_EQ(frozenRmb(), held);
    // 当日委托: three orders of the day, 申购 at the issue price, held; the cancel list leaves them out.
    auto today = firstSet(trade("tc_mfuncno=500&tc_sfuncno=13"));
    EXPECT_EQ(column(today, "stkcode"), (std::vector<std::string>{"300888", "732888", "002888"}));
    EXPECT_EQ(column(today, "bsname"), (std::vector<std::string>{"申购", "申购", "申购"}));
    EXPECT_EQ(column(today, "orderstatus"), (std::vector<std::string>{"已报", "已报", "已报"}));
    EXPECT_EQ(column(today, "orderprice"), (std::vector<std::string>{"32.15", "12.36", "18.50"}));
    EXPECT_EQ(column(today, "orderqty"), (std::vector<std::string>{"500", "2000", "1000"}));
    EXPECT_EQ(firstSet(trade("tc_mfuncno=500&tc_sfuncno=15"))->rowsAffected(), 0);
    const std::string number = column(today, "ordersno").back();
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=7&fundid=010110001234&ordersno=" + number +
                            "&market=1&secuid=0010001234")),
              "该委托不能撤单");
    EXPECT_EQ(frozenRmb(), held);

    sim->clock().setTime(SimClock::fromLocal(20240309, 10 * 60));  // Saturday: nothing yet
    EXPECT_EQ(frozenRmb(), held);
    EXPECT_EQ(customerA([](SimCustomer& a) { return a.holding("0010001234", "002888") != nullptr; }), false);

    // Monday: half of 华宇新材's 2 lots (500), a quarter of 沪光智能's 2 rounded up (1,000 of 603888),
    // and 30 % of 中科微电's one lot rounds to none.
    sim->clock().setTime(SimClock::fromLocal(20240311, 10 * 60));
    auto history = firstSet(trade("tc_mfuncno=500&tc_sfuncno=16&strdate=20240308&enddate=20240308"));
    EXPECT_EQ(column(history, "orderstatus"), (std::vector<std::string>{"未中签", "已中签", "已中签"}));
    EXPECT_EQ(column(history, "matchqty"), (std::vector<std::string>{"0", "1000", "500"}));
    auto deals = firstSet(trade("tc_mfuncno=500&tc_sfuncno=14"));
    EXPECT_EQ(column(deals, "stkcode"), (std::vector<std::string>{"732888", "002888"}));
    EXPECT_EQ(column(deals, "matchamt"), (std::vector<std::string>{"12360.00", "9250.00"}));
    EXPECT_EQ(frozenRmb(), 0);
    EXPECT_EQ(customerA([](SimCustomer& a) { return a.fundAccounts.front().balances[SimCurrency::kRMB].balance; }),
              100000000 - 925000 - 1236000);
    auto holdings = firstSet(trade("tc_mfuncno=500&tc_sfuncno=10"));
    std::map<std::string, std::vector<std::string>> rows;
    for (holdings->fetchFirst(); !holdings->isEOF(); holdings->fetchNext())
        rows[textOf(holdings, "stkcode")] = {textOf(holdings, "stkname"), textOf(holdings, "stkqty"),
                                             textOf(holdings, "stkavl"), textOf(holdings, "profitprice")};
    EXPECT_EQ(rows["002888"], (std::vector<std::string>{"华宇新材", "500", "500", "18.50"}));
    EXPECT_EQ(rows["603888"], (std::vector<std::string>{"沪光智能", "1000", "1000", "12.36"}));
    EXPECT_FALSE(rows.count("300888"));
    EXPECT_FALSE(rows.count("732888"));

    // The shares are the market's on the day they arrive: sold at a price the bids take.
    for (const auto& [code, account] : {std::pair{"002888", "market=0&secuid=0010001234"},
                                        std::pair{"603888", "market=1&secuid=A100001234"}}) {
        SCOPED_TRACE(code);
        auto info = firstSet(trade(std::string("tc_mfuncno=500&tc_sfuncno=4&bsflag=0S&stkcode=") + code));
        ASSERT_EQ(errorOf(info), "");
        EXPECT_EQ(textOf(info, "num"), code == std::string("002888") ? "500" : "1000");
        auto sold = firstSet(trade("tc_mfuncno=500&tc_sfuncno=6&fundid=010110001234&bsflag=0S&price=" +
                                   textOf(info, "maxdownvalue") + "&qty=" + textOf(info, "num") +
                                   "&stkcode=" + code + "&" + account));
        ASSERT_EQ(errorOf(sold), "");
    }
    EXPECT_EQ(customerA([](SimCustomer& a) {
                  return a.holding("0010001234", "002888")->quantity + a.holding("A100001234", "603888")->quantity;
              }),
              0);
}

// ---- warrants ----

TEST_F(SimTradeQueriesTest, AWarrantIsQueriedByItsExerciseCode) {
    auto set = firstSet(trade("tc_mfuncno=100&tc_sfuncno=28&stkcode=582001&qryflag=1"));
    ASSERT_TRUE(set && !set->isError());
    EXPECT_EQ(textOf(set, "market"), "1");
    EXPECT_EQ(textOf(set, "stkname"), "浦发CWB1");
    EXPECT_EQ(textOf(set, "exerprice"), "8.00");
    EXPECT_EQ(textOf(set, "stkavl"), "10000");
    EXPECT_EQ(textOf(set, "fundavl"), "1000000.00");
    EXPECT_EQ(textOf(set, "warrantkind"), "认购");
    EXPECT_EQ(textOf(set, "expdate").size(), 8u);
    EXPECT_EQ(errorOf(trade("tc_mfuncno=100&tc_sfuncno=28&stkcode=582999&qryflag=1")), "行权代码不存在");
}

TEST_F(SimTradeQueriesTest, ACallPaysForTheSharesAndAPutDeliversThem) {
    auto exercise = [&](const std::string& code, const std::string& account, const std::string& qty) {
        return trade("tc_mfuncno=100&tc_sfuncno=29&" + account + "&stkcode=" + code + "&price=8.00&qty=" + qty);
    };
    const std::string shanghai = "market=1&secuid=A100001234&fundid=010110001234";
    const std::string shenzhen = "market=0&secuid=0010001234&fundid=010110001234";
    EXPECT_EQ(errorOf(exercise("582001", shenzhen, "100")), "股东代码不存在");
    EXPECT_EQ(errorOf(exercise("582001", shanghai, "0")), "行权数量错误");
    EXPECT_EQ(errorOf(exercise("582001", shanghai, "10001")), "可用数量不足");
    auto set = firstSet(exercise("582001", shanghai, "1000"));
    ASSERT_TRUE(set && !set->isError()) << (set ? set->getError() : "");
    EXPECT_FALSE(textOf(set, "ordersno").empty());
    customerA([](SimCustomer& a) {
        EXPECT_EQ(a.fundAccounts.front().balances[SimCurrency::kRMB].available(), 100000000 - 800000);
        const SimHolding* h = a.holding("A100001234", "600000");
        EXPECT_EQ(h->quantity, 3000);
        EXPECT_EQ(h->available, 2000);  // the new shares from the next day
        EXPECT_EQ(h->costBasis, 7300 * 2000 + 8000 * 1000);
    });
    EXPECT_EQ(textOf(firstSet(trade("tc_mfuncno=100&tc_sfuncno=28&stkcode=582001&qryflag=1")), "stkavl"), "9000");

    // The put delivers 万科Ａ at 12.00: A holds 500 shares.
    EXPECT_EQ(errorOf(exercise("038001", shenzhen, "501")), "可用数量不足");
    ASSERT_TRUE(errorOf(exercise("038001", shenzhen, "300")).empty());
    customerA([](SimCustomer& a) {
        EXPECT_EQ(a.holding("0010001234", "000002")->quantity, 200);
        EXPECT_EQ(a.fundAccounts.front().balances[SimCurrency::kRMB].available(), 100000000 - 800000 + 360000);
    });
    // Customer C holds no warrants and has no Shanghai account.
    auto c = logIn("010210009999", "123456", "0102");
    EXPECT_EQ(textOf(firstSet(trade("tc_mfuncno=100&tc_sfuncno=28&stkcode=582001&qryflag=1", c)), "stkavl"), "0");
}

TEST_F(SimTradeQueriesTest, AnExerciseIsAnOrderOfTheDayWhereItsAlertSendsTheCustomer) {
    const std::string number = textOf(firstSet(trade("tc_mfuncno=100&tc_sfuncno=29&market=1&secuid=A100001234"
                                                     "&fundid=010110001234&stkcode=582001&price=8.00&qty=1000")),
                                      "ordersno");
    ASSERT_FALSE(number.empty());
    // 当日委托: done as it was taken, not cancellable; 当日成交: its deal.
    auto orders = firstSet(trade("tc_mfuncno=500&tc_sfuncno=13"));
    EXPECT_EQ(textOf(orders, "ordersno"), number);
    EXPECT_EQ(textOf(orders, "stkcode"), "582001");
    EXPECT_EQ(textOf(orders, "bsname"), "行权");
    EXPECT_EQ(textOf(orders, "orderqty"), "1000");
    EXPECT_EQ(textOf(orders, "orderstatus"), "已成");
    EXPECT_EQ(column(firstSet(trade("tc_mfuncno=500&tc_sfuncno=15")), "ordersno"), std::vector<std::string>{});
    EXPECT_EQ(errorOf(trade("tc_mfuncno=500&tc_sfuncno=7&fundid=010110001234&ordersno=" + number +
                            "&market=2&secuid=A100001234")),
              "该委托不能撤单");
    auto deals = firstSet(trade("tc_mfuncno=500&tc_sfuncno=14"));
    EXPECT_EQ(textOf(deals, "ordersno"), number);
    EXPECT_EQ(textOf(deals, "matchamt"), "8000.00");
    // The next day the history lists it.
    sim->setSessionIdleTimeout(1e9);
    sim->clock().advance(86400);
    auto history = column(firstSet(trade("tc_mfuncno=500&tc_sfuncno=16")), "ordersno");
    EXPECT_NE(std::find(history.begin(), history.end(), number), history.end());
}

}  // namespace
