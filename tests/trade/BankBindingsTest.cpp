// The bank bindings held for the whole process: loaded for the trading
// account, dropped and loaded again when the account changes (never another
// account's list in the meantime), and the rules of a reply.
#include "BankTestSupport.h"

#include "core/contracts/BankContract.h"
#include "trade/GTPBankManager.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/TradeLogin.h"

namespace {

struct Listener : GTPBankManagerDelegate {
    int calls = 0;
    void bankInfoDidReceived() override { ++calls; }
};

class BankBindingsTest : public BankTest {
protected:
    void TearDown() override {
        GTPBankManager::manager().releaseDelegate(&listener);
        BankTest::TearDown();
    }
    GTPBankManager& manager() { return GTPBankManager::manager(); }
    bool loaded() {
        return waitFor([&] { return manager().isLoaded() && !manager().isLoading(); });
    }
    static std::vector<uint8_t> bindings(const std::vector<std::vector<Value>>& rows) {
        TCRSWriter w;
        w.beginSet()
            .addField("bankcode", TCRSFieldType::VarText)
            .addField("bankname", TCRSFieldType::VarText)
            .addField("fundid", TCRSFieldType::VarText)
            .addField("moneytype", TCRSFieldType::Integer, 4)
            .addField("bzzhbz", TCRSFieldType::VarText);
        for (const auto& r : rows) w.addRecord(r);
        return w.bytes();
    }
    Listener listener;
};

TEST_F(BankBindingsTest, EachAccountGetsItsOwnBindingsAndNeverAnothers) {
    ASSERT_TRUE(loaded());
    ASSERT_EQ(manager().bankArray().size(), 3u);
    const GTPBankInfo& main = manager().bankArray()[0];
    EXPECT_EQ(main.bankCode, "1001");
    EXPECT_EQ(main.bankName, "模拟银行");
    EXPECT_EQ(main.bankFundId, kMainFund);
    EXPECT_EQ(main.currencyType, 0);
    EXPECT_TRUE(main.isMainFunId);
    EXPECT_FALSE(manager().bankArray()[2].isMainFunId);
    auto sameBank = manager().bankFundIdArrayByBankCode("1001");
    ASSERT_EQ(sameBank.size(), 2u);
    EXPECT_EQ(sameBank[1].bankFundId, kSecondFund);
    EXPECT_TRUE(manager().bankFundIdArrayByBankCode("9999").empty());

    // Another login: A's list goes at once, C's (none) comes.
    sim->clearRequests();
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    EXPECT_FALSE(manager().isLoaded() && !manager().bankArray().empty());
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(manager().bankArray().empty());
    auto sent = sim->requestsOf(500, 83);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "fundid"), "010210009999");

    // Back to A, as the accounts pager switches: A's list again.
    auto accounts = VTAAccountManager::tradeAccountManager().accounts();
    auto a = *std::find_if(accounts.begin(), accounts.end(), [](auto& x) { return x->zjzhAcc() == kMainFund; });
    restoreTradeSession(*a);
    VTAAccountManager::tradeAccountManager().setSelectedAccount(a);
    EXPECT_TRUE(manager().bankArray().empty());
    ASSERT_TRUE(loaded());
    EXPECT_EQ(manager().bankArray().size(), 3u);

    // The trade session ends: nothing is held, nothing is sent.
    sim->clearRequests();
    lockTradeSession();
    settle();
    EXPECT_TRUE(manager().bankArray().empty());
    EXPECT_TRUE(sim->requestsOf(500, 83).empty());
}

TEST_F(BankBindingsTest, AReplyReplacesTheListWholeAndAnErrorLeavesIt) {
    ASSERT_TRUE(loaded());
    manager().setDelegate(&listener);

    // "bzzhbz" is main only when it is exactly "0"; one bank may bind several accounts.
    sim->answerNext(BankContract::kBindings, bindings({{"7", "甲银行", "A1", 0, "0"},
                                                       {"7", "甲银行", "A2", 1, "1"},
                                                       {"8", "乙银行", "A3", 2, "00"},
                                                       {"7", "甲银行", "A4", 0, ""}}));
    manager().requestBankInfo();
    ASSERT_TRUE(waitFor([&] { return listener.calls == 1; }));
    ASSERT_EQ(manager().bankArray().size(), 4u);
    std::vector<bool> mains;
    for (const auto& b : manager().bankArray()) mains.push_back(b.isMainFunId);
    EXPECT_EQ(mains, (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(manager().bankArray()[2].currencyType, 2);
    auto of7 = manager().bankFundIdArrayByBankCode("7");
    ASSERT_EQ(of7.size(), 3u);
    EXPECT_EQ(of7[2].bankFundId, "A4");

    // An error set is dropped without a word; the list stays.
    sim->forceErrorSet(-1, "系统忙", 500, 83);
    manager().requestBankInfo();
    settle(2);
    ASSERT_TRUE(waitFor([&] { return !manager().isLoading(); }));
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(manager().bankArray().size(), 4u);
    EXPECT_EQ(topAlert(), nullptr);

    // An empty reply is a list too, and is told.
    sim->answerNext(BankContract::kBindings, bindings({}));
    manager().requestBankInfo();
    ASSERT_TRUE(waitFor([&] { return listener.calls == 2; }));
    EXPECT_TRUE(manager().bankArray().empty());
    EXPECT_TRUE(manager().isLoaded());

    // A delegate that left hears nothing of a later reply.
    manager().releaseDelegate(&listener);
    manager().requestBankInfo();
    ASSERT_TRUE(loaded());
    settle();
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(manager().bankArray().size(), 3u);
}

TEST_F(BankBindingsTest, AFormLeftOnTheStackDropsTheBindingsOfTheAccountBefore) {
    auto* form = open<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账");
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitFor([&] { return form->bankData().size() == 3; }));
    EXPECT_TRUE(host.isTextVisible(kMainFund));

    // C logs in over it; coming back, the form holds nothing of A's.
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    ASSERT_EQ(top(), form);
    EXPECT_TRUE(form->bankData().empty());
    EXPECT_FALSE(host.isTextVisible(kMainFund));
    tapRow(form->tableView(), 0);
    EXPECT_EQ(topAlertTitle(), "银行信息获取中，请稍后再试");
    closeAlert();
    form->segmentAction(1);
    pressOK();
    EXPECT_EQ(topAlertTitle(), "银行信息获取中，请稍后再试");
    settle();
    EXPECT_TRUE(sim->requestsOf(500, 85).empty());
    EXPECT_TRUE(sim->requestsOf(500, 21).empty());
}

}  // namespace
