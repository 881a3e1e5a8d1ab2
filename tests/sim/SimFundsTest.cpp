// The simulated brokerage's funds: the lookups, the orders with their checks
// and texts, the risk warning, the money and units they hold, the cancel,
// the next day's confirmation, the shares held with their names and values,
// and the finder's lists and name text.
#include <gtest/gtest.h>

#include <map>

#include "SimTestSupport.h"
#include "core/Utilities.h"
#include "core/contracts/FundContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimTrade.h"

namespace {

constexpr const char* kCustomerA = "010110001234";

std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

class SimFundsTest : public SimTest {
protected:
    void SetUp() override {
        sim->setSessionIdleTimeout(1e9);  // the tests move the clock across days
        session = login();
        auto set = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101&inputid=" +
                                              std::string(kCustomerA) + "&trdpwd=123456&authtype=0&authdata="));
        ASSERT_TRUE(set && !set->isError());
        tradeInfo = set->toStringAtIndex(0).value_or("") + "&operway=i";
    }
    VTATCRS::TCRSArray sets(const std::string& fields) {
        auto r = call(session, fields);
        auto all = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
        return all ? *all : VTATCRS::TCRSArray{};
    }
    std::string trade(int sub) {
        return "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + tradeInfo + "&fundid=" + kCustomerA;
    }
    std::shared_ptr<VTATCRS> buy(int sub, const std::string& code, const std::string& amount, const char* risk = "1") {
        return firstSet(call(session, trade(sub) + "&ofcode=" + code + "&orderamt=" + amount + "&chkriskflag=" + risk));
    }
    std::shared_ptr<VTATCRS> redeem(const std::string& code, const std::string& units, const char* type = "0") {
        return firstSet(call(session, trade(36) + "&ofcode=" + code + "&orderqty=" + units + "&redeemtype=" + type));
    }
    static std::string errorOf(const std::shared_ptr<VTATCRS>& set) {
        return set && set->isError() ? set->getError() : "";
    }
    SimBalance cash() {
        return sim->withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return r.books.customer(kCustomerA)->fundAccounts.front().balances[0]; });
    }
    SimFundCustomer side() {
        return sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) { return r.customer("110001234"); });
    }
    std::string session, tradeInfo;
};

TEST_F(SimFundsTest, TheLookupsAnswerTheFundTheCashAndTheHolding) {
    auto lookup = sets("TC_MFUNCNO=100&TC_SFUNCNO=24&ofcode=270001&" + tradeInfo + "&fundid=" + kCustomerA);
    ASSERT_EQ(lookup.size(), 2u);
    EXPECT_EQ(textOf(lookup[0], "ofname"), "稳健成长基金");
    EXPECT_EQ(textOf(lookup[0], "~ofstatus"), "正常开放");
    EXPECT_EQ(textOf(lookup[0], "nav"), "1.2345");
    EXPECT_EQ(textOf(lookup[0], "~ofriskvalue"), "中风险");
    EXPECT_EQ(textOf(lookup[0], "tacode"), "01");
    EXPECT_EQ(textOf(lookup[1], "fundavl"), "1000000.00");
    // An unknown code: the fund's set without a record, the cash still.
    auto unknown = sets("TC_MFUNCNO=100&TC_SFUNCNO=24&ofcode=999999&" + tradeInfo);
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown[0]->rowsAffected(), 0);
    // Without a session no customer's cash is told.
    EXPECT_EQ(errorOf(firstSet(call(session, "TC_MFUNCNO=100&TC_SFUNCNO=24&ofcode=270001"))), "会话已失效，请重新登录");

    auto info = sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&fundid=" + kCustomerA + "&ofcode=310003");
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(textOf(info[0], "ofname"), "华信纯债债券");
    EXPECT_EQ(textOf(info[1], "ofcode"), "310003");
    EXPECT_EQ(textOf(info[1], "ofavl"), "5000.00");
    auto notHeld = sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&ofcode=270002");
    ASSERT_EQ(notHeld.size(), 2u);
    EXPECT_EQ(notHeld[1]->rowsAffected(), 0);
}

TEST_F(SimFundsTest, OrdersAreCheckedInOrderAndHoldWhatTheyBuyOrSell) {
    EXPECT_EQ(errorOf(buy(35, "999999", "1000")), "基金代码不存在");
    EXPECT_EQ(errorOf(buy(34, "270001", "1000")), "该基金不在认购期");
    EXPECT_EQ(errorOf(buy(35, "270006", "1000")), "该基金当前不能申购");
    EXPECT_EQ(errorOf(buy(35, "270007", "1000")), "该基金当前不能申购");
    for (const char* bad : {"", "0", "-5", "1.234", "1000.005", "1e3", "abc"})
        EXPECT_EQ(errorOf(buy(35, "270001", bad)), "委托金额错误") << bad;
    EXPECT_EQ(errorOf(buy(35, "270001", "999.99")), "委托金额低于最低限额1000.00元");
    EXPECT_EQ(errorOf(buy(35, "420001", "1000")), "您尚未开立该基金公司的基金帐户");
    EXPECT_EQ(errorOf(buy(35, "270001", "2000000")), "可用资金不足");
    EXPECT_EQ(side().orders.size(), 4u) << "only the weeks before";

    auto done = buy(35, "270001", "1500.500");  // zeros past the fen are the value they are
    ASSERT_TRUE(done && !done->isError()) << errorOf(done);
    const std::string sno = textOf(done, "sno");
    EXPECT_FALSE(sno.empty());
    EXPECT_EQ(cash().available(), 100000000 - 150050);
    EXPECT_EQ(cash().frozen, 150050);
    EXPECT_EQ(side().orders.back().status, SimFundOrderStatus::Reported);

    EXPECT_EQ(errorOf(redeem("420002", "10")), "该基金暂停赎回");
    EXPECT_EQ(errorOf(redeem("270002", "10")), "您没有持有该基金");
    EXPECT_EQ(errorOf(redeem("270001", "10", "2")), "巨额赎回方式错误");
    EXPECT_EQ(errorOf(redeem("270001", "10000.01")), "可用份额不足");
    EXPECT_EQ(errorOf(redeem("270001", "2500.001")), "委托份额错误");
    auto sold = redeem("270001", "2500.000", "1");
    ASSERT_TRUE(sold && !sold->isError()) << errorOf(sold);
    EXPECT_EQ(side().holding("270001")->available, 750000);

    // The cancel gives back what each held; a second cancel is refused.
    auto cancelled = firstSet(call(session, trade(37) + "&sno=" + sno));
    ASSERT_TRUE(cancelled && !cancelled->isError());
    EXPECT_EQ(cash().available(), 100000000);
    EXPECT_EQ(cash().frozen, 0);
    EXPECT_EQ(errorOf(firstSet(call(session, trade(37) + "&sno=" + sno))), "该委托不能撤单");
    EXPECT_EQ(errorOf(firstSet(call(session, trade(37) + "&sno=1"))), "该委托不能撤单") << "a confirmed one";
    auto back = firstSet(call(session, trade(37) + "&sno=" + textOf(sold, "sno")));
    ASSERT_TRUE(back && !back->isError());
    EXPECT_EQ(side().holding("270001")->available, 1000000);
}

TEST_F(SimFundsTest, AFundAboveTheToleranceWarnsUntilTheCustomerAccepts) {
    const std::string warning = errorOf(buy(35, "270002", "1000"));
    EXPECT_NE(warning.find("88001"), std::string::npos);
    EXPECT_EQ(errorOf(buy(35, "270005", "1000")), warning) << "中高风险 is above 平衡型 too";
    EXPECT_EQ(errorOf(buy(35, "270001", "1000")), "") << "中风险 is within it";
    auto accepted = buy(35, "270002", "1000", "0");
    ASSERT_TRUE(accepted && !accepted->isError());
    // The warning comes before the cash check: the customer decides first.
    EXPECT_EQ(errorOf(buy(35, "270002", "5000000")), warning);
}

TEST_F(SimFundsTest, TheNextDayConfirmsTheDaysOrdersAtTheNetValue) {
    ASSERT_FALSE(errorOf(buy(35, "310001", "15230")).size());
    ASSERT_FALSE(errorOf(redeem("270004", "500")).size());
    const SimBalance before = cash();
    sim->clock().setTime(SimClock::fromLocal(20240306, 10 * 60));
    // Any function of the customer settles first.
    sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&ofcode=310001");
    const SimFundCustomer s = side();
    EXPECT_EQ(s.orders.back().status, SimFundOrderStatus::Confirmed);
    ASSERT_EQ(s.holdings.size(), 4u);
    EXPECT_EQ(s.holdings.back().code, "310001");
    EXPECT_EQ(s.holdings.back().units, 1000000) << "15230 元 at 1.5230";
    EXPECT_EQ(cash().frozen, 0);
    EXPECT_EQ(cash().available(), before.available() + 50000) << "500 份 of a money fund at 1.0000";
    EXPECT_EQ(cash().balance, before.balance - 1523000 + 50000);
}

TEST_F(SimFundsTest, AConfirmationRoundsUnitsAndMoneyHalfUp) {
    // 270001 at 1.2345: 1,000.05 元 buy 810.085 份, and 333.33 份 bring 411.4958 元.
    ASSERT_EQ(errorOf(buy(35, "270001", "1000.05")), "");
    ASSERT_EQ(errorOf(redeem("270001", "333.33")), "");
    const SimBalance before = cash();
    sim->clock().setTime(SimClock::fromLocal(20240306, 10 * 60));
    sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&ofcode=270001");
    EXPECT_EQ(side().holding("270001")->units, 1000000 - 33333 + 81009);
    EXPECT_EQ(cash().balance, before.balance - 100005 + 41150);
}

TEST_F(SimFundsTest, TheSharesHeldAreNamedAndValuedAtTheNetValueRoundedOnce) {
    // 10,000 元 of 270001 at 1.2345 buy 8,100.4455 份; 1,000 份 of it go into
    // 270003 at 1.0872 (1,135.4856 份); 50,000 元 of the plan 900002 at 1.0000.
    ASSERT_EQ(errorOf(buy(35, "270001", "10000")), "");
    const std::string conversion = "&ofcode=270001&orderqty=1000&otherofcode=270003&redeemtype=0";
    ASSERT_EQ(errorOf(firstSet(call(session, trade(38) + conversion))), "");
    ASSERT_EQ(errorOf(buy(35, "900002", "50000")), "");
    sim->clock().setTime(SimClock::fromLocal(20240306, 10 * 60));
    auto held = firstSet(call(session, trade(41) + "&count=20"));
    ASSERT_TRUE(held && !held->isError()) << errorOf(held);
    std::map<std::string, std::vector<std::string>> rows;  // by code: name, units, net value, 市值
    for (held->fetchFirst(); !held->isEOF(); held->fetchNext())
        rows[textOf(held, "ofcode")] = {textOf(held, "ofname"), textOf(held, "ofbal"), textOf(held, "nav"),
                                        textOf(held, "mktval")};
    const std::map<std::string, std::vector<std::string>> expected = {
        {"270001", {"稳健成长基金", "17100.45", "1.2345", "21110.51"}},  // 21,110.505525
        {"270003", {"恒岳增利债券", "1135.49", "1.0872", "1234.50"}},    // 1,234.504728
        {"270004", {"恒岳货币A", "20000.00", "1.0000", "20000.00"}},
        {"310003", {"华信纯债债券", "5000.00", "1.1024", "5512.00"}},
        {"900002", {"恒岳稳健增利", "50000.00", "1.0000", "50000.00"}},
    };
    EXPECT_EQ(rows, expected);
    // 基金交易查询 names the plan's order as 基金份额 names what it holds.
    auto history = firstSet(call(session, trade(42) + "&count=20"));
    ASSERT_TRUE(history && !history->isError());
    history->fetchFirst();
    EXPECT_EQ(textOf(history, "ofcode"), "900002");
    EXPECT_EQ(textOf(history, "ofname"), "恒岳稳健增利");
}

TEST_F(SimFundsTest, AWealthPlanHeldIsLookedUpAndRedeemedAsAFundIs) {
    ASSERT_EQ(errorOf(buy(35, "900002", "50000")), "");
    sim->clock().setTime(SimClock::fromLocal(20240306, 10 * 60));
    // The redemption form's lookup of the plan picked: the plan and its units, nothing of another fund.
    auto info = sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&fundid=" + kCustomerA + "&ofcode=900002");
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(textOf(info[0], "ofcode"), "900002");
    EXPECT_EQ(textOf(info[0], "ofname"), "恒岳稳健增利");
    EXPECT_EQ(textOf(info[0], "~ofstatus"), "正常开放");
    EXPECT_EQ(textOf(info[0], "nav"), "1.0000");
    EXPECT_EQ(textOf(info[0], "~ofriskvalue"), "中风险");
    EXPECT_EQ(textOf(info[1], "ofcode"), "900002");
    EXPECT_EQ(textOf(info[1], "ofavl"), "50000.00");

    EXPECT_EQ(errorOf(redeem("900002", "50000.01")), "可用份额不足");
    ASSERT_EQ(errorOf(redeem("900002", "10000")), "");
    EXPECT_EQ(side().holding("900002")->available, 4000000);
    const SimBalance before = cash();
    sim->clock().setTime(SimClock::fromLocal(20240307, 10 * 60));
    sets("tc_mfuncno=100&tc_sfuncno=25&" + tradeInfo + "&ofcode=900002");
    // The money came at 1.0000 a unit, settled (可取 at once); 40,000 份 held.
    EXPECT_EQ(cash().balance, before.balance + 1000000);
    EXPECT_EQ(cash().withdrawable(), before.withdrawable() + 1000000);
    EXPECT_EQ(side().holding("900002")->units, 4000000);
    EXPECT_EQ(side().holding("900002")->available, 4000000);
}

TEST_F(SimFundsTest, TheFindersListsAndTheNameTextItSends) {
    auto companies = firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=21"));
    ASSERT_TRUE(companies && !companies->isError());
    EXPECT_EQ(companies->rowsAffected(), 3);
    EXPECT_EQ(companies->toStringAtIndex(0), "01");
    EXPECT_EQ(companies->toStringAtIndex(1), "恒岳基金");
    auto types = firstSet(call(session, "tc_mfuncno=504&tc_sfuncno=22"));
    ASSERT_TRUE(types);
    EXPECT_EQ(types->rowsAffected(), 5);
    EXPECT_EQ(types->toStringAtIndex(1), "股票型");
    auto names = firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=24"));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->rowsAffected(), 16);
    EXPECT_EQ(names->toStringAtIndex(0), "270001");

    EXPECT_EQ(simDecodeFundName(hexString(dataFromString("稳健"))), "稳健");
    EXPECT_EQ(simDecodeFundName("610062006300"), "abc");
    EXPECT_EQ(simDecodeFundName(hexString(dataFromString("基金😀"))), "基金😀") << "a surrogate pair";
    EXPECT_EQ(simDecodeFundName("稳健"), "稳健") << "a name as it stands";
    EXPECT_EQ(simDecodeFundName("6100620"), "6100620");
    EXPECT_EQ(simParseHundredths("100"), 10000);
    EXPECT_EQ(simParseHundredths(".5"), 50);
    EXPECT_EQ(simParseHundredths("100."), 10000);
    EXPECT_EQ(simParseHundredths("."), -1);
    EXPECT_EQ(simParseHundredths("100.50000000000"), 10050) << "15 characters";
    EXPECT_EQ(simParseHundredths("100.500000000000"), -1) << "16";
    EXPECT_EQ(simParseDecimal("0000000000000000100.50000000000", 2, std::string::npos), 10050);
    EXPECT_EQ(simParseDecimal("9999999999999999", 2, std::string::npos), -1) << "no amount of 16 digits";
}

}  // namespace
