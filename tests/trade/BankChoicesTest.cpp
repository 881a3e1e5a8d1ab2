// An earlier choice changed after a later one was made, by finger: on the
// bank-securities transfer, the bank changed after a fund account of the first
// bank was picked. The form starts the new bank's accounts from the first, the
// transferable amount follows, and the money moves between the new bank and
// its own fund account only.
#include "BankTestSupport.h"

#include "platform/uikit/UISegmentedControl.h"
#include "trade/GTPStockBankTransactionVC.h"

namespace {

using BankChoicesTest = BankTest;

TEST_F(BankChoicesTest, AnotherBankAfterAFundAccountWasPickedStartsFromItsOwnAccounts) {
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    tapSegment(form->segment(), 1);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "1000000.00"; }));
    auto pick = [&](TradePickerStrip* strip, int tableRow, int row) {
        tapRow(form->tableView(), tableRow);
        ASSERT_TRUE(strip->isOpen());
        pickRow(strip->picker(), row);
        strip->slideDown();
        settle();
    };
    // 模拟银行's second fund account ...
    pick(form->fundPicker(), 1, 1);
    ASSERT_EQ(form->fundIndex(), 1);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "50000.00"; }));
    EXPECT_TRUE(host.isTextVisible(kSecondFund));
    // ... then 模拟商业银行, whose only account is the third.
    pick(form->bankPicker(), 0, 2);
    EXPECT_EQ(form->fundIndex(), 0);
    ASSERT_EQ(form->selectedBankData().size(), 1u);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "8000.00"; }));
    EXPECT_TRUE(host.isTextVisible(kThirdFund));
    EXPECT_FALSE(host.isTextVisible(kSecondFund));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 85).back(), "fundid"), kThirdFund);

    const SimMoney second = cashOf(kSecondFund), secondBank = bankSideOf(kSecondFund);
    typeInField(form->passwordTextField(), "123456");
    typeInField(form->amountTextField(), "500");
    pressOK();
    ASSERT_TRUE(form->confirmationSheet());
    EXPECT_NE(form->confirmationSheet()->title().find(kThirdFund), std::string::npos);
    ASSERT_TRUE(confirmSheet());
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    closeAlert();
    const SimRecord sent = sim->requestsOf(500, 21).back();
    EXPECT_EQ(fieldOf(sent, "bankcode"), "1002");
    EXPECT_EQ(cashOf(kThirdFund), 800000 - 50000);
    EXPECT_EQ(bankSideOf(kThirdFund), 3000000 + 50000);
    EXPECT_EQ(cashOf(kSecondFund), second);
    EXPECT_EQ(bankSideOf(kSecondFund), secondBank);

    // Back to 模拟银行: its first account again, not the one picked before.
    pick(form->bankPicker(), 0, 0);
    EXPECT_EQ(form->fundIndex(), 0);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "1000000.00"; }));
    EXPECT_TRUE(host.isTextVisible(kMainFund));
}

}  // namespace
