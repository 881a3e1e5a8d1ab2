// The older bank screens by finger against the simulator: 银行转证券 and
// 证券转银行 from their own bank list, the balance query with the session's
// trading password, and the transfer history that lists what they did.
#include "BankTestSupport.h"

#include "core/contracts/BankContract.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/AccountTransferViewController.h"
#include "trade/GTPAccountBalance.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/VTABankInquiryController.h"
#include "trade/VTATransferController.h"
#include "trade/VTATransferQueryViewController.h"

namespace {

class OlderBankScreensTest : public BankTest {
protected:
    VTATransferController* openTransfer(const std::string& title) {
        auto* screen = open<VTATransferController>("banktransfer", title);
        EXPECT_TRUE(screen && waitFor([&] { return screen->hasBankList(); }));
        return screen;
    }
    // A bank list of rows {code, name, currency, operation, fund flag, bank flag}.
    static std::vector<uint8_t> bankList(const std::vector<std::vector<Value>>& rows) {
        TCRSWriter w;
        w.beginSet()
            .addField("bankcode", TCRSFieldType::VarText)
            .addField("bankname", TCRSFieldType::VarText)
            .addField("moneytype", TCRSFieldType::Integer, 4)
            .addField("banktrantype", TCRSFieldType::Integer, 4)
            .addField("fundpwdflag", TCRSFieldType::Integer, 4)
            .addField("bankpwdflag", TCRSFieldType::Integer, 4);
        for (const auto& r : rows) w.addRecord(r);
        return w.bytes();
    }
    void fillAndConfirm(VTATransferController* screen, const std::string& password, const std::string& amount) {
        // The customer clears what an earlier try left.
        screen->password()->setText("");
        screen->money()->setText("");
        if (!password.empty()) typeInto(screen->password(), password);
        typeInto(screen->money(), amount);
        pressOK();
        ASSERT_TRUE(screen->confirmationSheet());
        ASSERT_TRUE(confirmSheet());
    }
};

TEST_F(OlderBankScreensTest, BothDirectionsMoveMoneyWithThePasswordTheBankAsksFor) {
    auto* in = openTransfer("银行转证券");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->direction(), 1);
    EXPECT_EQ(in->bankName()->text(), "模拟银行");
    EXPECT_EQ(in->currency()->text(), "人民币");
    EXPECT_TRUE(in->needPwd());
    EXPECT_TRUE(in->password()->isEnable());
    EXPECT_EQ(in->password()->textField()->placeholder(), "请输入银行密码！");
    saveScreenshot("bank-to-securities");

    fillAndConfirm(in, "888888", "200");
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    EXPECT_EQ(bankSideOf(kMainFund), 10000000 - 20000);
    auto sent = sim->requestsOf(500, 21).back();
    EXPECT_EQ(fieldOf(sent, "banktrantype"), "1");
    EXPECT_EQ(fieldOf(sent, "bankcode"), "1001");
    EXPECT_EQ(fieldOf(sent, "moneytype"), "0");
    EXPECT_EQ(fieldOf(sent, "tranamt"), "200");
    EXPECT_EQ(fieldOf(sent, "bankpwd"), "***");
    closeAlert();
    popViewControllers(1);
    settle();

    auto* out = openTransfer("证券转银行");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->direction(), 2);
    EXPECT_TRUE(host.isTextVisible("资金密码"));
    fillAndConfirm(out, "654321", "50");
    ASSERT_TRUE(alertShown("资金密码错误"));
    EXPECT_FALSE(out->sureToTransfer());
    closeAlert();
    fillAndConfirm(out, "123456", "50");
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    EXPECT_EQ(bankSideOf(kMainFund), 10000000 - 20000 + 5000);
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 21).back(), "fundpwd"), "***");
}

TEST_F(OlderBankScreensTest, EachCurrencyOfABankAsksForItsOwnPassword) {
    // 甲银行 in RMB asks for its password, in USD not; 乙银行 only takes money
    // out; a currency without a name is left out.
    sim->answerNext(BankContract::kBankList, bankList({{"31", "甲银行", 0, 1, 0, 1},
                                                       {"31", "甲银行", 2, 1, 0, -1},
                                                       {"32", "乙银行", 1, 2, 1, 0},
                                                       {"33", "丙银行", 7, 1, 0, 0},
                                                       {"31", "甲银行", 0, 4, 0, 1}}));
    auto* screen = openTransfer("银行转证券");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->userBankNames(), std::vector<std::string>{"甲银行"});
    EXPECT_EQ(screen->curencyNames(), (std::vector<std::string>{"人民币", "美元"}));
    EXPECT_TRUE(screen->needPwd());

    tapRow(screen->tableView(), 1);
    ASSERT_TRUE(screen->currencyPicker()->isOpen());
    pickRow(screen->currencyPicker()->picker(), 1);
    EXPECT_EQ(screen->currency()->text(), "美元");
    EXPECT_FALSE(screen->needPwd());
    EXPECT_FALSE(screen->password()->isEnable());
    tapView(screen->currencyPicker()->tab()->doneButton());
    settle();
    EXPECT_EQ(screen->password()->textField()->placeholder(), "不用输入银行密码！");
    saveScreenshot("no-password");

    // Without a password to ask, the request carries none (甲银行 is not A's: refused).
    fillAndConfirm(screen, "", "5");
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    auto sent = sim->requestsOf(500, 21).back();
    EXPECT_EQ(fieldOf(sent, "bankcode"), "31");
    EXPECT_EQ(fieldOf(sent, "moneytype"), "2");
    for (const auto& f : sent.fields) EXPECT_TRUE(f.key != "bankpwd" && f.key != "fundpwd") << f.key;
    closeAlert();

    // A list without a bank for the direction: the transfer has no bank code, nothing is sent.
    popViewControllers(1);
    settle();
    sim->answerNext(BankContract::kBankList, bankList({{"32", "乙银行", 1, 2, 1, 0}}));
    screen = openTransfer("银行转证券");
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->userBankNames().empty());
    const size_t before = sim->requestsOf(500, 21).size();
    fillAndConfirm(screen, "", "5");
    EXPECT_EQ(topAlertTitle(), "银行信息有误");
    EXPECT_FALSE(screen->sureToTransfer());
    EXPECT_EQ(sim->requestsOf(500, 21).size(), before);
}

TEST_F(OlderBankScreensTest, TheBalanceQueryGoesWithTheSessionsPasswordAndShowsInTheHistory) {
    auto* screen = open<VTABankInquiryController>("bankbalance", "银行余额");
    ASSERT_TRUE(screen);
    ASSERT_TRUE(waitFor([&] { return screen->frameStatus() == VTABankInquiryController::kIdle; }));
    EXPECT_EQ(screen->bankNameLabel()->text(), "模拟银行");
    EXPECT_EQ(screen->balanceFunction(), BankContract::kBankBalance);
    typeInto(screen->passwordField(), "888888");
    saveScreenshot("bank-balance");
    pressOK();
    ASSERT_TRUE(screen->confirmationSheet());
    EXPECT_EQ(screen->confirmationSheet()->title(), "您确定要发送如下信息吗？\n查询银行余额 \n银行名称：模拟银行 \n");
    ASSERT_TRUE(confirmSheet());
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询余额!"));
    EXPECT_EQ(screen->frameStatus(), VTABankInquiryController::kIdle);
    auto sent = sim->requestsOf(500, 67);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "fundid"), kMainFund);
    EXPECT_EQ(fieldOf(sent[0], "fundpwd"), "***");
    EXPECT_EQ(fieldOf(sent[0], "bankpwd"), "***");
    closeAlert();
    popViewControllers(1);
    settle();

    // The history lists it, newest first, with what the older transfer did after it.
    auto* in = openTransfer("银行转证券");
    fillAndConfirm(in, "888888", "12.5");
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!"));
    closeAlert();
    popViewControllers(1);
    settle();
    auto* list = open<VTATransferQueryViewController>("banktranquery", "转账查询");
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return list->tableData() && list->tableData()->rowsAffected() == 2; }));
    auto rows = list->tableData();
    EXPECT_EQ(rows->toStringWithFieldName("business"), "银行转证券");
    EXPECT_EQ(rows->toStringWithFieldName("tranamt"), "12.50");
    rows->moveToIndex(1);
    EXPECT_EQ(rows->toStringWithFieldName("note"), "银行余额 100000.00");
    saveScreenshot("history");
    const size_t asked = sim->requestsOf(500, 22).size();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 22).size() == asked + 1; }));
}

TEST_F(OlderBankScreensTest, WithoutABankToQueryTheFormSaysSo) {
    sim->answerNext(BankContract::kBankList, bankList({{"31", "甲银行", 0, 1, 0, 1}}));
    auto* screen = open<VTABankInquiryController>("bankbalance?tc_mfuncno=501&tc_sfuncno=99", "银行余额");
    ASSERT_TRUE(screen);
    ASSERT_TRUE(waitFor([&] { return screen->frameStatus() == VTABankInquiryController::kIdle; }));
    EXPECT_EQ(screen->bankNameLabel()->text(), "没有可查询银行");
    EXPECT_EQ(screen->balanceFunction(), (FunctionId{501, 99}));
    tapRow(screen->tableView(), 0);
    EXPECT_FALSE(screen->bankPicker()->isOpen());
    pressOK();
    EXPECT_EQ(topAlertTitle(), "没有可查询银行");
    EXPECT_TRUE(sim->requestsOf(501, 99).empty());
}

// Every bank form keeps the field being typed into in sight above the keyboard
// and its bar; a tap on the bar where it covers another field of the form
// goes to that field, and what is typed next goes there, not into the one
// edited before.
TEST_F(OlderBankScreensTest, TheFieldBeingTypedIntoStaysInSightAndATapOnTheBarReachesTheFieldUnderIt) {
    auto inSight = [&](UIView* field) {
        CGRect f = field->convertRectToView(field->bounds(), nullptr);
        return CGRectGetMaxY(f) <= CGRectGetMinY(UIKeyboard::frameOnScreen()) && CGRectGetMinY(f) >= 64;
    };
    auto typeEach = [&](const std::string& form, std::vector<UIView*> fields) {
        for (UIView* field : fields) {
            SCOPED_TRACE(form);
            tapView(field);
            settle();
            ASSERT_TRUE(UIKeyboard::isShown());
            EXPECT_TRUE(inSight(field));
            host.key("return");
            if (UIKeyboard::isShown()) host.tapText("完成");
            settle();
        }
        popViewControllers(1);
        settle();
    };
    auto* newer = open<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账");
    ASSERT_TRUE(waitFor([&] { return newer->bankData().size() == 3; }));
    typeEach("银证转账, 银行转证券", {newer->passwordTextField(), newer->amountTextField()});
    newer = open<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账");
    tapSegment(newer->segment(), 1);
    settle();
    typeEach("银证转账, 证券转银行", {newer->passwordTextField(), newer->amountTextField()});
    auto* balance = open<GTPAccountBalance>("jsf_yhye", "银行余额查询");
    typeEach("银行余额查询", {balance->passwordTextField()});
    auto* move = open<AccountTransferViewController>("jsf_zjzz", "资金调拨");
    typeEach("资金调拨", {move->amountTextField()});
    auto* inquiry = open<VTABankInquiryController>("bankbalance", "银行余额");
    ASSERT_TRUE(waitFor([&] { return inquiry->passwordField()->isEnable(); }));
    typeEach("银行余额", {inquiry->passwordField()});
    for (const char* title : {"银行转证券", "证券转银行"}) {
        auto* older = openTransfer(title);
        typeEach(title, {older->password(), older->money()});
    }

    // The bank password typed, the finger goes for the amount under the bar.
    auto* older = openTransfer("银行转证券");
    tapView(older->password());
    ASSERT_TRUE(host.type("888888"));
    CGRect money = older->money()->convertRectToView(older->money()->bounds(), nullptr);
    ASSERT_GT(CGRectGetMaxY(money), CGRectGetMinY(UIKeyboard::frameOnScreen())) << "the bar covers the amount";
    host.tap(CGRectGetMidX(money) - 30, CGRectGetMidY(money));
    settle();
    ASSERT_TRUE(host.type("200"));
    EXPECT_EQ(older->money()->text(), "200");
    EXPECT_EQ(older->password()->text(), "888888");
    EXPECT_TRUE(inSight(older->money()));
    saveScreenshot("amount-over-the-bar");
}

}  // namespace
