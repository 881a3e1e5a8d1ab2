// Bank-securities transfer (银证转账) and the bank balance query (银行余额查询)
// by finger against the simulator: money in with the bank password, out with
// the fund password after the transferable amount, the amount check, refusals
// that leave the form usable, and the balance query that lands in the history.
#include "BankTestSupport.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/BankTransferRules.h"
#include "trade/GTPAccountBalance.h"
#include "trade/GTPStockBankTransactionVC.h"

namespace {

class BankTransferTest : public BankTest {
protected:
    // Fills the password and the amount, presses "确定" and confirms the sheet.
    void transfer(GTPStockBankTransactionVC* form, const std::string& password, const std::string& amount) {
        typeInField(form->passwordTextField(), password);
        typeInField(form->amountTextField(), amount);
        pressOK();
        ASSERT_TRUE(form->confirmationSheet());
        ASSERT_TRUE(confirmSheet());
    }
};

TEST_F(BankTransferTest, MoneyComesInWithTheBankPasswordAndARefusalLeavesTheFormUsable) {
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "银证转账");
    EXPECT_TRUE(host.isTextVisible("模拟银行"));
    EXPECT_TRUE(host.isTextVisible(kMainFund));
    EXPECT_TRUE(host.isTextVisible("银行密码 "));
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 5);
    saveScreenshot("bank-to-securities");

    // Amounts the form refuses go nowhere.
    for (const char* bad : {"1e3", "-5", ""}) {
        form->amountTextField()->setText(bad);
        pressOK();
        EXPECT_EQ(topAlertTitle(), "请检查转帐金额") << bad;
        closeAlert();
    }
    EXPECT_EQ(form->confirmationSheet(), nullptr);

    // A wrong bank password: the server's refusal, and "确定" works again.
    transfer(form, "111111", "1000");
    ASSERT_TRUE(alertShown("银行密码错误"));
    EXPECT_FALSE(form->isConfirm());
    EXPECT_EQ(form->amountTextField()->text(), "");
    closeAlert();

    transfer(form, "888888", "1000");
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    closeAlert();
    EXPECT_EQ(bankSideOf(kMainFund), 10000000 - 100000);
    EXPECT_EQ(cashOf(kMainFund), 100000000 + 100000);

    auto sent = sim->requestsOf(500, 21);
    ASSERT_EQ(sent.size(), 2u);
    std::vector<std::string> keys;
    for (const auto& f : sent[1].fields)
        if (!keys.empty() || f.key == "fundid") keys.push_back(f.key + "=" + f.value);
    EXPECT_EQ(keys, (std::vector<std::string>{"fundid=010110001234", "fundid=010110001234", "banktrantype=1",
                                              "bankcode=1001", "bankpwd=***", "moneytype=0", "tranamt=1000"}));
    EXPECT_TRUE(sim->requestsOf(500, 85).empty());
}

TEST_F(BankTransferTest, MoneyGoesToTheBankOfTheChosenAccountWithTheFundPassword) {
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    tapSegment(form->segment(), 1);
    settle();
    EXPECT_EQ(form->segmentIndex(), 1);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "1000000.00"; }));
    EXPECT_TRUE(host.isTextVisible("可转金额"));
    EXPECT_TRUE(host.isTextVisible("1000000.00"));
    saveScreenshot("securities-to-bank");
    tapView(form->amountTextField());
    settle(0.5);
    EXPECT_DOUBLE_EQ(form->tableView()->contentOffset().y, GTPStockBankTransactionVC::kEditingOffset);
    saveScreenshot("editing-amount");
    host.key("return");
    settle();
    EXPECT_DOUBLE_EQ(form->tableView()->contentOffset().y, 0);

    // 模拟商业银行 is bound to the third account: its own transferable amount.
    tapRow(form->tableView(), 0);
    ASSERT_TRUE(form->bankPicker()->isOpen());
    saveScreenshot("bank-picker");
    pickRow(form->bankPicker()->picker(), 2);
    EXPECT_EQ(form->bankIndex(), 2);
    ASSERT_EQ(form->selectedBankData().size(), 1u);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "8000.00"; }));
    form->bankPicker()->slideDown();
    settle();
    EXPECT_TRUE(host.isTextVisible(kThirdFund));
    auto asked = sim->requestsOf(500, 85);
    ASSERT_EQ(asked.size(), 3u);  // on the switch, and as the wheel passed each bank
    EXPECT_EQ(fieldOf(asked[2], "fundid"), kThirdFund);
    EXPECT_EQ(fieldOf(asked[2], "moneytype"), "0");

    transfer(form, "123456", "500");
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    EXPECT_EQ(cashOf(kThirdFund), 800000 - 50000);
    EXPECT_EQ(bankSideOf(kThirdFund), 3000000 + 50000);
    auto sent = sim->requestsOf(500, 21).back();
    EXPECT_EQ(fieldOf(sent, "banktrantype"), "2");
    EXPECT_EQ(fieldOf(sent, "fundpwd"), "***");
    EXPECT_EQ(fieldOf(sent, "bankcode"), "1002");
    EXPECT_TRUE(form->avaliableAmount().empty());

    // Back to "银行转证券": nothing more is asked.
    closeAlert();
    tapSegment(form->segment(), 0);
    settle();
    EXPECT_EQ(sim->requestsOf(500, 85).size(), 3u);
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 5);
}

TEST_F(BankTransferTest, ATransferOnItsWayTakesNoSecondAndAFailureEndsIt) {
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    form->passwordTextField()->setText("888888");
    form->amountTextField()->setText("10");
    pressOK();
    ASSERT_TRUE(form->confirmationSheet());
    form->confirmationSheet()->tapButtonAtIndex(0);
    ASSERT_TRUE(form->isConfirm());
    form->onCommandOK();  // before any reply
    EXPECT_EQ(form->confirmationSheet(), nullptr);
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    closeAlert();
    EXPECT_EQ(sim->requestsOf(500, 21).size(), 1u);

    // A password that would change the request's shape is refused on the phone.
    form->passwordTextField()->setText("88&88");
    form->amountTextField()->setText("10");
    pressOK();
    ASSERT_TRUE(confirmSheet());
    EXPECT_EQ(topAlertTitle(), "输入内容不能包含&或=");
    EXPECT_FALSE(form->isConfirm());
    closeAlert();
    EXPECT_EQ(sim->requestsOf(500, 21).size(), 1u);

    sim->forceFault(SimFault::Refuse, 500, 21);
    transfer(form, "888888", "10");
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_FALSE(form->isConfirm());
    closeAlert();
    form->amountTextField()->setText("10");
    pressOK();
    EXPECT_TRUE(form->confirmationSheet());
}

TEST_F(BankTransferTest, TheBalanceOfTheChosenBankAccountGoesToTheHistory) {
    auto* form = open<GTPAccountBalance>("jsf_yhye", "银行余额查询");
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitFor([&] { return form->bankData().size() == 3; }));
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 4);

    // Another bank: its first account.
    tapRow(form->tableView(), 0);
    pickRow(form->bankPicker()->picker(), 2);
    form->bankPicker()->slideDown();
    settle();
    EXPECT_EQ(form->accountIndex(), 0);
    EXPECT_TRUE(host.isTextVisible(kThirdFund));
    typeInField(form->passwordTextField(), "666666");
    saveScreenshot("bank-balance");

    // While the application shows network activity, "确定" waits.
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(true);
    pressOK();
    EXPECT_FALSE(form->isAccountBalanceQuery());
    UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);

    form->onCommandOK();
    form->onCommandOK();  // on its way: not again
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    EXPECT_FALSE(form->isAccountBalanceQuery());
    auto sent = sim->requestsOf(500, 67);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "fundid"), kThirdFund);
    EXPECT_EQ(fieldOf(sent[0], "bankcode"), "1002");
    EXPECT_EQ(fieldOf(sent[0], "moneytype"), "0");
    auto records = history();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].note, "银行余额 30000.00");
    EXPECT_EQ(form->passwordTextField()->text(), "666666");  // kept for another query
    closeAlert();

    form->passwordTextField()->setText("000000");
    pressOK();
    ASSERT_TRUE(alertShown("银行密码错误"));
    EXPECT_FALSE(form->isAccountBalanceQuery());
}

TEST(TransferAmount, DecimalTextsOfDigitsOnly) {
    for (const char* good : {"100", "100.", ".5", "0.50"}) EXPECT_TRUE(isTransferAmount(good)) << good;
    for (const char* bad : {"1e3", "-5", "1 0", "", ".", "1.2.3", " 5"}) EXPECT_FALSE(isTransferAmount(bad)) << bad;
}

}  // namespace
