// Transfers between A's fund accounts (资金调拨), the collect-all into the main
// account (一键归集) and the fund-account list (资金账户查询), by finger
// against the simulator's books.
#include "BankTestSupport.h"

#include "core/contracts/BankContract.h"
#include "platform/uikit/UIButton.h"
#include "trade/AccountTransferViewController.h"
#include "trade/GTPAccountQueryViewController.h"
#include "trade/GTPTransferAllViewController.h"

namespace {

class FundAccountTransferTest : public BankTest {};

TEST_F(FundAccountTransferTest, AnAmountMovesFromOneFundAccountToAnother) {
    auto* form = open<AccountTransferViewController>("jsf_zjzz", "资金调拨");
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitFor([&] { return form->bankData().size() == 3; }));
    EXPECT_EQ(form->mainFundId(), kMainFund);
    EXPECT_TRUE(host.isTextVisible("模拟银行(010110001234)"));

    // From the second account to the main one.
    tapRow(form->tableView(), 2);
    ASSERT_TRUE(form->transferOutPicker()->isOpen());
    pickRow(form->transferOutPicker()->picker(), 1);
    tapView(form->transferOutPicker()->tab()->doneButton());
    settle();
    tapRow(form->tableView(), 3);
    EXPECT_FALSE(form->transferOutPicker()->isOpen());
    ASSERT_TRUE(form->transferInPicker()->isOpen());
    saveScreenshot("transfer-in-picker");
    tapView(form->transferInPicker()->tab()->doneButton());
    settle();
    EXPECT_TRUE(host.isTextVisible("模拟银行(010120001234)"));
    typeInField(form->amountTextField(), "1000");
    saveScreenshot("filled");
    pressOK();
    ASSERT_TRUE(form->confirmationSheet());
    EXPECT_EQ(form->confirmationSheet()->title(),
              "您确定要发送如下信息吗？ \n交易类型：帐户资金转帐 \n货币类型：人民币 \n转出帐号：模拟银行 \n"
              "转入帐号：模拟银行 \n转帐金额：1000 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirmSheet());
    ASSERT_TRUE(alertShown("请求已提交，请到帐户资金中查询!"));
    EXPECT_EQ(cashOf(kSecondFund), 5000000 - 100000);
    EXPECT_EQ(cashOf(kMainFund), 100000000 + 100000);
    EXPECT_EQ(form->amountTextField()->text(), "");
    auto sent = sim->requestsOf(500, 84);
    ASSERT_EQ(sent.size(), 1u);
    std::vector<std::string> keys;
    for (const auto& f : sent[0].fields)
        if (!keys.empty() || f.key == "fundid") keys.push_back(f.key + "=" + f.value);
    EXPECT_EQ(keys, (std::vector<std::string>{"fundid=010110001234", "outfundid=010120001234", "infundid=010110001234",
                                              "moneytype=0", "amount=1000"}));
    closeAlert();

    // The same account twice is sent as chosen; the server's refusal ends the transfer.
    tapRow(form->tableView(), 3);
    pickRow(form->transferInPicker()->picker(), 1);
    form->transferInPicker()->slideDown();
    settle();
    typeInField(form->amountTextField(), "1");
    pressOK();
    ASSERT_TRUE(confirmSheet());
    ASSERT_TRUE(alertShown("转出帐号与转入帐号不能相同"));
    EXPECT_FALSE(form->isConfirm());
}

TEST_F(FundAccountTransferTest, CollectAllBringsTheSecondaryAccountsRMBToTheMainOneOnce) {
    auto* screen = open<GTPTransferAllViewController>("jsf_yjzz", "一键归集");
    ASSERT_TRUE(screen);
    ASSERT_TRUE(waitFor([&] { return screen->bankData().size() == 3; }));
    EXPECT_TRUE(host.isTextVisible("一键转帐"));
    saveScreenshot("collect-all");

    // Two presses with no turn of the run loop between them, so the second
    // surely comes before the reply: it sends nothing more.
    screen->onCommandOK();
    screen->onCommandOK();
    ASSERT_TRUE(alertShown("请求已提交，请到帐户资金中查询!"));
    auto sent = sim->requestsOf(500, 84);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "outfundid"), "0");
    EXPECT_EQ(fieldOf(sent[0], "infundid"), kMainFund);
    EXPECT_EQ(fieldOf(sent[0], "amout"), "0");
    EXPECT_EQ(cashOf(kSecondFund), 0);
    EXPECT_EQ(cashOf(kThirdFund), 0);
    EXPECT_EQ(cashOf(kMainFund), 100000000 + 5000000 + 800000);
    auto records = history();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].business, "资金归集");
    closeAlert();

    tapView(screen->transferButton());
    ASSERT_TRUE(alertShown("辅助资金帐户没有可归集的资金"));
    EXPECT_FALSE(screen->isConfirm());
}

TEST_F(FundAccountTransferTest, WithoutAMainBindingOrBeforeTheBindingsNothingIsCollected) {
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("bankcode", TCRSFieldType::VarText)
                     .addField("bankname", TCRSFieldType::VarText)
                     .addField("fundid", TCRSFieldType::VarText)
                     .addField("moneytype", TCRSFieldType::Integer, 4)
                     .addField("bzzhbz", TCRSFieldType::VarText)
                     .addRecord({"1001", "模拟银行", kSecondFund, 0, "1"})
                     .bytes();
    sim->answerNext(BankContract::kBindings, bytes);
    GTPBankManager::reloadBankInfo();
    auto* screen = open<GTPTransferAllViewController>("jsf_yjzz", "一键归集");
    ASSERT_TRUE(waitFor([&] { return screen->bankData().size() == 1; }));
    tapView(screen->transferButton());
    EXPECT_EQ(topAlertTitle(), "未找到主资金帐号");
    closeAlert();

    // While no list could be had, the button only says so.
    popViewControllers(1);
    settle();
    sim->forceErrorSet(-1, "系统忙", 500, 83, 2);
    GTPBankManager::reloadBankInfo();
    screen = open<GTPTransferAllViewController>("jsf_yjzz", "一键归集");
    ASSERT_TRUE(screen);
    settle(2);
    ASSERT_TRUE(waitFor([&] { return !GTPBankManager::manager().isLoading(); }));
    EXPECT_TRUE(screen->bankData().empty());
    tapView(screen->transferButton());
    EXPECT_EQ(topAlertTitle(), "银行信息获取中，请稍后再试");
    settle();
    EXPECT_TRUE(sim->requestsOf(500, 84).empty());
}

TEST_F(FundAccountTransferTest, TheFundAccountListShowsTheServersColumnsAndRefreshesItself) {
    auto* list = open<GTPAccountQueryViewController>("jsf_cxzhzj", "资金账户查询");
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return list->tableData() && list->tableData()->rowsAffected() == 3; }));
    list->tableData()->moveToIndex(2);
    EXPECT_EQ(list->tableData()->toStringWithFieldName("bankname"), "模拟商业银行");
    // The server's codes for the currency and the main flag show as words.
    const VTATableView& grid = *list->myTableView();
    const auto& titles = grid.topTitles();
    const auto column = [&](const std::string& title) {
        return size_t(std::find(titles.begin(), titles.end(), title) - titles.begin());
    };
    ASSERT_LT(column("主辅标志"), titles.size());
    EXPECT_EQ(grid.rowItems(0)[column("币种")], "人民币");
    EXPECT_EQ(grid.rowItems(0)[column("主辅标志")], "主资金帐户");
    EXPECT_EQ(grid.rowItems(2)[column("主辅标志")], "辅助资金帐户");
    EXPECT_EQ(grid.rowItems(2)[column("资金帐号")], "010130001234");
    grid.scrollView()->setContentOffset(CGPointMake(grid.scrollView()->maximumContentOffset().x, 0));
    settle();
    saveScreenshot("fund-accounts");
    auto sent = sim->requestsOf(500, 83);
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(sent.back().encrypt, 0);  // the session text never goes in clear

    const size_t before = sim->requestsOf(500, 83).size();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 83).size() == before + 1; }));
}

}  // namespace
