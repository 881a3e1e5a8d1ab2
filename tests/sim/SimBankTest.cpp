// The bank family of the simulator over the books: the bindings of the seed,
// transfers between bank and fund account under each bank's password rules,
// transfers between fund accounts and the collect-all, the bank list by
// operation, and the history that records them.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/SimBank.h"
#include "sim/SimTrade.h"

namespace {

constexpr const char* kMain = "010110001234";
constexpr const char* kSecond = "010120001234";
constexpr const char* kThird = "010130001234";

std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

class SimBankTest : public SimTest {
protected:
    void SetUp() override {
        session = login();
        auto set = firstSet(call(session,
                                 "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101"
                                 "&inputid=10001234&trdpwd=123456&authtype=0&authdata="));
        ASSERT_TRUE(set && !set->isError());
        trade = set->toStringAtIndex(0).value_or("") + "&operway=i";
    }
    // A trade request of the logged-in customer A, with the login's fund account.
    SimServer::Reply bank(int sub, const std::string& fields) {
        return call(session, "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + trade + "&fundid=" + kMain +
                                 (fields.empty() ? "" : "&" + fields));
    }
    std::string refusal(const SimServer::Reply& r) {
        auto set = firstSet(r);
        if (!set) return "(no reply)";
        return set->isError() ? set->getError() : "";
    }
    SimMoney fundCash(const std::string& fundid, int currency = SimCurrency::kRMB) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) {
            return r.books.customer(fundid)->fundAccount(fundid)->balances[currency].withdrawable();
        });
    }
    SimMoney bankSide(const std::string& fundid) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) {
            for (const auto& b : r.books.customer(fundid)->bankBindings)
                if (b.fundid == fundid) return b.bankBalance;
            return SimMoney(-1);
        });
    }

    std::string session, trade;
};

TEST_F(SimBankTest, TheSeedBindsAsThreeFundAccountsToTwoBanks) {
    auto set = firstSet(bank(83, ""));
    ASSERT_TRUE(set && !set->isError());
    ASSERT_EQ(set->rowsAffected(), 3);
    const char* expected[][5] = {{"1001", "模拟银行", kMain, "0", "0"},
                                 {"1001", "模拟银行", kSecond, "0", "1"},
                                 {"1002", "模拟商业银行", kThird, "0", "1"}};
    for (int i = 0; i < 3; ++i, set->fetchNext()) {
        EXPECT_EQ(textOf(set, "bankcode"), expected[i][0]);
        EXPECT_EQ(textOf(set, "bankname"), expected[i][1]);
        EXPECT_EQ(textOf(set, "fundid"), expected[i][2]);
        EXPECT_EQ(textOf(set, "moneytype"), expected[i][3]);
        EXPECT_EQ(textOf(set, "bzzhbz"), expected[i][4]);
    }
    set->fetchFirst();
    EXPECT_EQ(textOf(set, "fundavl"), "1000000.00");
    EXPECT_EQ(set->getFieldDescAtIndex(0), "资金帐号");

    // Without a trade login nothing is told.
    auto anonymous = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=83&fundid=010110001234"));
    ASSERT_TRUE(anonymous && anonymous->isError());
    EXPECT_EQ(anonymous->getError(), "会话已失效，请重新登录");
}

TEST_F(SimBankTest, MoneyComesInWithTheBankPasswordAndGoesOutWithTheTradingPassword) {
    // 模拟银行 asks its password for money coming in.
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=111111&moneytype=0&tranamt=100")), "银行密码错误");
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=100000.01")),
              "银行余额不足");
    EXPECT_EQ(bankSide(kMain), 10000000);
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=2500.5")), "");
    EXPECT_EQ(bankSide(kMain), 10000000 - 250050);
    EXPECT_EQ(fundCash(kMain), 100000000 + 250050);

    // Out: the trading password; the transferable amount bounds it.
    EXPECT_EQ(refusal(bank(21, "banktrantype=2&bankcode=1001&fundpwd=888888&moneytype=0&tranamt=100")), "资金密码错误");
    EXPECT_EQ(refusal(bank(21, "banktrantype=2&bankcode=1001&fundpwd=123456&moneytype=0&tranamt=.5")), "");
    EXPECT_EQ(fundCash(kMain), 100000000 + 250000);
    EXPECT_EQ(textOf(firstSet(bank(85, "fundid=010110001234&moneytype=0")), "fundcash"), "1002500.00");
    EXPECT_EQ(refusal(bank(21, "banktrantype=2&bankcode=1001&fundpwd=123456&moneytype=0&tranamt=1002500.01")),
              "可转金额不足");

    // 模拟商业银行 lets money in without its password; the last fundid names the account.
    EXPECT_EQ(refusal(bank(21, "fundid=010130001234&banktrantype=1&bankcode=1002&bankpwd=&moneytype=0&tranamt=300")),
              "");
    EXPECT_EQ(fundCash(kThird), 800000 + 30000);
    EXPECT_EQ(bankSide(kThird), 3000000 - 30000);
    // What leaves a secondary account is bounded by its own money, not the main one's.
    EXPECT_EQ(refusal(bank(21, "fundid=010130001234&banktrantype=2&bankcode=1002&fundpwd=123456&moneytype=0"
                               "&tranamt=8300.01")),
              "可转金额不足");
    EXPECT_EQ(fundCash(kThird), 800000 + 30000);
    EXPECT_EQ(bankSide(kThird), 3000000 - 30000);
}

TEST_F(SimBankTest, TransfersNameABoundAccountInItsCurrencyAndAnAmountOfCents) {
    for (const char* amount : {"1e3", "-5", "1.234", "100.505", "0000000000000100", "0", "", "1..2"})
        EXPECT_EQ(
            refusal(bank(21, std::string("banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=") + amount)),
            "转帐金额不正确")
            << amount;
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=2&tranamt=1")),
              "该资金帐号未绑定此银行帐户");
    EXPECT_EQ(
        refusal(bank(21, "fundid=010130001234&banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=1")),
        "该资金帐号未绑定此银行帐户");
    EXPECT_EQ(
        refusal(bank(21, "fundid=010110005678&banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=1")),
        "资金帐号不存在");
    EXPECT_EQ(refusal(bank(21, "banktrantype=4&bankcode=1001&moneytype=0&tranamt=1")), "转帐类型不正确");
    EXPECT_EQ(fundCash(kMain), 100000000);
    // Zeros past the fen are the value they are.
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=100.500")), "");
    EXPECT_EQ(fundCash(kMain), 100000000 + 10050);
    EXPECT_EQ(bankSide(kMain), 10000000 - 10050);
}

// Books kept under earlier rules read a transfer's amount as their versions
// did, so that their records replay as they were carried out: before amounts
// had a length (the rules by which plans paid nothing) at any length, zeros
// past the fen among it; then of 15 characters without a digit past the fen.
TEST_F(SimBankTest, BooksKeptUnderEarlierRulesReadATransfersAmountAsTheirVersionDid) {
    const std::string padded = std::string(20, '0') + "100.5" + std::string(20, '0');
    const auto in = [](const std::string& amount) {
        return "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=" + amount;
    };
    const auto across = [](const std::string& amount) {
        return "outfundid=010120001234&infundid=010130001234&moneytype=0&amount=" + amount;
    };
    EXPECT_EQ(refusal(bank(21, in(padded))), "转帐金额不正确");
    EXPECT_EQ(refusal(bank(84, across(padded))), "转帐金额不正确");
    sim->setBooksRules(SimBooksRules::PlansByCalendar);
    for (const std::string& amount : {padded, std::string("100.500")}) {
        EXPECT_EQ(refusal(bank(21, in(amount))), "转帐金额不正确") << amount;
        EXPECT_EQ(refusal(bank(84, across(amount))), "转帐金额不正确") << amount;
    }
    EXPECT_EQ(fundCash(kMain), 100000000);
    sim->setBooksRules(SimBooksRules::PlansPayNothing);
    EXPECT_EQ(refusal(bank(21, in(padded))), "");
    EXPECT_EQ(refusal(bank(84, across(padded))), "");
    EXPECT_EQ(fundCash(kMain), 100000000 + 10050);
    EXPECT_EQ(fundCash(kSecond), 5000000 - 10050);
    EXPECT_EQ(fundCash(kThird), 800000 + 10050);
}

TEST_F(SimBankTest, FundAccountsTransferAndTheSecondaryOnesAreCollectedIntoTheMain) {
    EXPECT_EQ(refusal(bank(84, "outfundid=010120001234&infundid=010120001234&moneytype=0&amount=1")),
              "转出帐号与转入帐号不能相同");
    EXPECT_EQ(refusal(bank(84, "outfundid=010120001234&infundid=010130001234&moneytype=0&amount=50000.01")),
              "可转金额不足");
    // The poorer account's own 8,000.00 bound it, though the richer one it pays into could cover more.
    EXPECT_EQ(refusal(bank(84, "outfundid=010130001234&infundid=010120001234&moneytype=0&amount=8000.01")),
              "可转金额不足");
    EXPECT_EQ(fundCash(kThird), 800000);
    EXPECT_EQ(fundCash(kSecond), 5000000);
    EXPECT_EQ(refusal(bank(84, "outfundid=010120001234&infundid=010130001234&moneytype=0&amount=1000")), "");
    EXPECT_EQ(fundCash(kSecond), 4900000);
    EXPECT_EQ(fundCash(kThird), 900000);
    EXPECT_EQ(refusal(bank(84, "outfundid=010120001234&infundid=010130001234&moneytype=0&amount=0.505")),
              "转帐金额不正确");
    EXPECT_EQ(refusal(bank(84, "outfundid=010120001234&infundid=010130001234&moneytype=0&amount=0.500")), "");
    EXPECT_EQ(fundCash(kSecond), 4900000 - 50);
    EXPECT_EQ(fundCash(kThird), 900000 + 50);

    EXPECT_EQ(refusal(bank(84, "outfundid=0&infundid=010120001234&moneytype=0&amout=0")), "归集须转入主资金帐号");
    EXPECT_EQ(refusal(bank(84, "outfundid=0&infundid=010110001234&moneytype=0&amout=0")), "");
    EXPECT_EQ(fundCash(kSecond), 0);
    EXPECT_EQ(fundCash(kThird), 0);
    EXPECT_EQ(fundCash(kMain), 100000000 + 5800000);
    // Its alert sends the customer to the accounts' money (资金账户查询, 500/83): there it is.
    auto accounts = firstSet(bank(83, ""));
    std::vector<std::string> balances;
    for (accounts->fetchFirst(); !accounts->isEOF(); accounts->fetchNext()) balances.push_back(textOf(accounts, "fundbal"));
    EXPECT_EQ(balances, (std::vector<std::string>{"1058000.00", "0.00", "0.00"}));
    EXPECT_EQ(refusal(bank(84, "outfundid=0&infundid=010110001234&moneytype=0&amout=0")),
              "辅助资金帐户没有可归集的资金");
}

TEST_F(SimBankTest, TheBankListSaysWhichPasswordEachOperationAsksAndTheHistoryKeepsWhatWasDone) {
    auto list = firstSet(bank(20, ""));
    ASSERT_TRUE(list && !list->isError());
    ASSERT_EQ(list->rowsAffected(), 3);  // the login's account: 模拟银行 in 元, three operations
    const int expected[][3] = {{1, 0, 1}, {2, 1, 0}, {4, 0, 1}};
    for (int i = 0; i < 3; ++i, list->fetchNext()) {
        EXPECT_EQ(list->toStringAtIndex(0), "1001");
        EXPECT_EQ(list->toIntAtIndex(2), 0);
        EXPECT_EQ(list->toIntAtIndex(3), expected[i][0]);
        EXPECT_EQ(list->toIntAtIndex(4), expected[i][1]);
        EXPECT_EQ(list->toIntAtIndex(5), expected[i][2]);
    }

    EXPECT_EQ(refusal(bank(67, "bankcode=1001&bankpwd=000000&moneytype=0")), "银行密码错误");
    EXPECT_EQ(refusal(bank(67, "fundpwd=654321&moneytype=0&bankcode=1001&bankpwd=888888")), "资金密码错误");
    EXPECT_EQ(refusal(bank(67, "fundpwd=123456&moneytype=0&bankcode=1001&bankpwd=888888")), "");
    EXPECT_EQ(refusal(bank(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=10")), "");

    auto history = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=22&" + trade));
    ASSERT_TRUE(history && !history->isError());
    ASSERT_EQ(history->rowsAffected(), 2);
    EXPECT_EQ(history->getFieldDescAtIndex(0), "业务类型");
    EXPECT_EQ(textOf(history, "business"), "银行转证券");  // newest first
    EXPECT_EQ(textOf(history, "tranamt"), "10.00");
    EXPECT_EQ(textOf(history, "date"), "2024-03-05");
    history->fetchNext();
    EXPECT_EQ(textOf(history, "business"), "查询银行余额");
    EXPECT_EQ(textOf(history, "note"), "银行余额 100000.00");
    EXPECT_EQ(textOf(history, "bankname"), "模拟银行");
}

}  // namespace
