// The roads of the trade screens that end in a failure, by finger against the
// simulator: the trade login's network and service failures, the branch
// list's, an order answered with a failure or with nothing, a refused
// subscription of new issues, the bank bindings lost on the line and the
// transferable amount refused; and the login's "记住帐号" switch and
// account-type strip worked by finger. Each failure says why, keeps what the
// customer typed, leaves the books as they were, and lets the next try go
// through. (An order's line cut under it is the order roads' table.)
#include "BankTestSupport.h"
#include "OrderTestSupport.h"
#include "TradeQueryTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/BankContract.h"
#include "core/contracts/BranchContract.h"
#include "platform/uikit/UISwitch.h"
#include "sim/SimNewIssues.h"
#include "tests/support/SimOrders.h"
#include "trade/GTPBankManager.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/SalesDepartmentSelectViewController.h"
#include "trade/TradeOrderScreen.h"
#include "trade/TradeViewController.h"
#include "trade/VTAXGBuyViewController.h"
#include "trade/VTAXGTableViewController.h"

namespace {

constexpr const char* kLineFailure = "网络连接失败，请检查网络设置";

// How a request fails on its way: the line dropped, or the request road's refusal.
struct Failure {
    const char* name;
    std::function<void(SimServer&, int main, int sub)> cause;
    std::string text;  // what the customer reads
};
const std::vector<Failure>& failures() {
    static const std::vector<Failure> all = {
        {"line dropped", [](SimServer& s, int m, int sub) { s.dropConnection(m, sub); }, kLineFailure},
        {"refused", [](SimServer& s, int m, int sub) { s.forceFault(SimFault::Refuse, m, sub); },
         "服务器返回数据异常"},
        {"unreadable cipher", [](SimServer& s, int m, int sub) { s.forceFault(SimFault::CorruptCipher, m, sub); },
         "数据解密错误"},
    };
    return all;
}

class TradeLoginFailuresTest : public TradeTest {
protected:
    // The customer fills the form by finger and presses the toolbar's "确定".
    void fillAndPress(VTATradeLoginViewController& login, const TradeCustomer& who) {
        if (login.accountField()->text() != who.account) typeInto(login.accountField(), who.account);
        if (login.passwordField()->text() != who.password) typeInto(login.passwordField(), who.password);
        ASSERT_TRUE(host.tapText("确定"));
        settle(0.5);
    }
};

TEST_F(TradeLoginFailuresTest, ALoginLostOnTheLineOrRefusedByTheRoadKeepsTheFormAndLeavesNoSession) {
    auto login = openLogin();
    for (const auto& f : failures()) {
        SCOPED_TRACE(f.name);
        f.cause(*sim, 500, 1);
        fillAndPress(*login, kTradeCustomerA);
        ASSERT_TRUE(alertShown(f.text)) << topAlertTitle();
        EXPECT_FALSE(SVProgressHUD::isVisible());
        EXPECT_FALSE(hasTradeSession());
        EXPECT_EQ(VTAAccountManager::tradeAccountManager().count(), 0);
        EXPECT_EQ(top(), login.get());
        EXPECT_EQ(login->accountField()->text(), kTradeCustomerA.account);
        topAlert()->tapButtonAtIndex(0);
        settle();
    }
    EXPECT_EQ(sim->requestsOf(500, 1).size(), failures().size());
    fillAndPress(*login, kTradeCustomerA);
    ASSERT_TRUE(waitFor([] { return hasTradeSession(); }));
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().selectedAccount()->zjzhAcc(), kTradeCustomerA.fundId);
}

TEST_F(TradeLoginFailuresTest, ABranchListThatFailsSaysWhyAndTheNextOKAsksForItAgainInsteadOfLoggingIn) {
    const std::vector<uint8_t> oneBranch = TCRSWriter()
                                               .beginSet()
                                               .addField("org_code", TCRSFieldType::VarText)
                                               .addField("org_name", TCRSFieldType::VarText)
                                               .addRecord({"0101", "第一营业部"})
                                               .bytes();
    struct Case {
        const char* name;
        std::function<void()> cause;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"line dropped", [&] { sim->dropConnection(501, 17); }, kLineFailure},
        {"refused", [&] { sim->forceFault(SimFault::Refuse, 501, 17); }, "服务器返回数据异常"},
        {"one branch", [&] { sim->answerNext(BranchContract::kBranchList, oneBranch); }, "营业部请求错误!"},
        // Not a word would leave the customer pressing "确定" to no end: it is said.
        {"no record set", [&] { sim->answerNext(BranchContract::kBranchList, {}); }, "营业部请求错误!"},
    };
    cases[0].cause();
    auto login = openLogin(false);
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(alertShown(cases[i].text)) << topAlertTitle();
        topAlert()->tapButtonAtIndex(0);
        settle();
        EXPECT_FALSE(login->isBranchListOK());
        EXPECT_FALSE(SVProgressHUD::isVisible());
        // "确定" asks for the list again, and sends no login.
        const size_t lists = sim->requestsOf(501, 17).size();
        if (i + 1 < cases.size()) cases[i + 1].cause();
        fillAndPress(*login, kTradeCustomerA);
        EXPECT_EQ(sim->requestsOf(501, 17).size(), lists + 1);
        EXPECT_TRUE(sim->requestsOf(500, 1).empty());
    }
    ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
    EXPECT_EQ(login->yybCode(), "0101");
    EXPECT_FALSE(SVProgressHUD::isVisible());
    fillAndPress(*login, kTradeCustomerA);
    ASSERT_TRUE(waitFor([] { return hasTradeSession(); }));
}

TEST_F(TradeLoginFailuresTest, TheBranchPickersListLostOnTheLineLeavesTheRecentBranchesToPick) {
    auto dao = DaoFactory::sharedInstance().salesDepartmentDao();
    auto used = std::make_shared<QZUsedSalesDepartment>("0102", "第二营业部");
    ASSERT_TRUE(dao->addSalesDepartment(*used));
    sim->dropConnection(501, 17);
    auto picker = std::make_shared<SalesDepartmentSelectViewController>();
    picker->setUsedSalesDepartment(dao->listSalesDepartment());
    pushViewController(picker);
    ASSERT_TRUE(alertShown(kLineFailure));
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_TRUE(picker->allSalesDepartment().empty());
    EXPECT_EQ(picker->tableView()->numberOfRowsInSection(1), 0);
    ASSERT_EQ(picker->tableView()->numberOfRowsInSection(0), 1);
    // The recent branch is picked by finger.
    CGRect row = picker->tableView()->convertRectToView(picker->tableView()->rectForRowAtIndexPath({0, 0}), nullptr);
    host.tap(CGRectGetMidX(row), CGRectGetMidY(row));
    settle();
    EXPECT_EQ(top(), root.get());
    EXPECT_EQ(dao->defaultSalesDepartment()->code(), "0102");
}

TEST_F(TradeLoginFailuresTest, RememberAccountIsKeptAsTheFingerLeavesItAndTheTypeStripPicksAShareholderAccount) {
    auto login = openLogin();
    auto& settings = VTAUserDefoult::standerDefoult();
    UISwitch* remember = login->saveSwitch();
    ASSERT_TRUE(remember && remember->window());
    EXPECT_FALSE(remember->isOn());
    // Each turn of the switch is stored at once, login or not.
    for (bool on : {true, false, true}) {
        tapView(remember);
        settle(0.5);
        EXPECT_EQ(remember->isOn(), on);
        EXPECT_EQ(settings.getBoolForKey("save your trade account"), on);
    }
    // "帐号类型" by finger: the strip rises, the wheel turns to 沪A股东, "完成" closes it.
    CGRect typeRow = login->tableView()->convertRectToView(login->tableView()->rectForRowAtIndexPath({0, 1}), nullptr);
    host.tap(CGRectGetMidX(typeRow), CGRectGetMidY(typeRow));
    settle();
    ASSERT_TRUE(login->typePicker() && login->typePicker()->isOpen());
    pickRow(login->typePicker()->picker(), 2);
    ASSERT_TRUE(host.tapText("完成"));
    settle();
    EXPECT_FALSE(login->typePicker()->isOpen());
    EXPECT_EQ(login->accountCode(), "1");
    EXPECT_EQ(login->accountTypeName(), "沪A股东");
    EXPECT_TRUE(host.isTextVisible("沪A股东"));

    // A's Shanghai shareholder account, in the digits the number pad types,
    // logs A in and is remembered as typed.
    TradeCustomer shanghai = kTradeCustomerA;
    shanghai.account = "100001234";
    fillAndPress(*login, shanghai);
    ASSERT_TRUE(waitFor([] { return hasTradeSession(); })) << topAlertTitle();
    const SimRecord sent = sim->requestsOf(500, 1).back();
    EXPECT_EQ(fieldOf(sent, "inputtype"), "1");
    EXPECT_EQ(fieldOf(sent, "inputid"), "100001234");
    EXPECT_EQ(settings.getStringForKey("your trade account"), "100001234");
    EXPECT_EQ(settings.getStringForKey("your trade account type"), "1");
    ASSERT_EQ(VTAAccountManager::savedAccountManager().count(), 1);
    EXPECT_EQ(VTAAccountManager::savedAccountManager().accountAtIndex(0)->zjzhAcc(), kTradeCustomerA.fundId);

    // In the relate mode the same switch means the holdings, and stores nothing.
    auto relate = std::make_shared<VTATradeLoginViewController>();
    relate->setIsRelateViewContorller(true);
    pushViewController(relate);
    settle();
    ASSERT_TRUE(relate->saveSwitch()->window());
    tapView(relate->saveSwitch());
    settle(0.5);
    EXPECT_TRUE(settings.getBoolForKey("save your trade account"));
    tapView(relate->saveSwitch());
    settle(0.5);
    EXPECT_TRUE(settings.getBoolForKey("save your trade account"));
}

}  // namespace

namespace {

class OrderFailuresTest : public OrderTest {};

// An order answered with anything but its confirmation ends at once: the
// overlay goes, the form can order again, and the customer reads one outcome:
// refused, or not known with where to look. The books hold what the
// brokerage did, once.
TEST_F(OrderFailuresTest, AnOrderAnsweredWithAFailureOrWithNothingEndsAndTheNextGoesThrough) {
    auto* vc = openFromMenu<TradeViewController>(0);
    ASSERT_TRUE(vc);
    const FunctionId order{500, 6};
    struct Case {
        const char* name;
        std::function<void()> answer;
        std::string text;
        size_t booked;  // orders the brokerage holds after it
    };
    const std::vector<Case> cases = {
        {"refused by the request road", [&] { sim->forceFault(SimFault::Refuse, 500, 6); }, "服务器返回数据异常",
         0},
        {"no record set", [&] { sim->answerNext(order, {}); }, RequestBinding::kOrderLeftText, 0},
        {"bytes that are no record set", [&] { sim->answerNext(order, {1, 2, 3, 4}); },
         RequestBinding::kOrderLeftText, 0},
        {"an answer that cannot be deciphered", [&] { sim->forceFault(SimFault::CorruptCipher, 500, 6); },
         RequestBinding::kOrderLeftText, 1},
    };
    typeCode(vc, "600000");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.answer();
        vc->quantityField()->setText("");  // what a failure left there
        typeQuantity(vc, "100");
        placeOrder(vc);
        ASSERT_TRUE(alertShown(c.text)) << topAlertTitle();
        EXPECT_FALSE(vc->sureToTrade());
        EXPECT_FALSE(vc->isRequestInFlight(TradeOrderScreen::kOrderTag));
        EXPECT_FALSE(SVProgressHUD::isVisible());
        EXPECT_EQ(orders().size(), c.booked);
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle();
        EXPECT_EQ(top(), vc) << "the form stays for the next try";
        EXPECT_EQ(UIAlertView::visibleAlerts().size(), 0u) << "one outcome, one alert";
        books([](SimBooks& b) {
            b.customer(kTradeCustomerA.fundId)->orders.clear();
            return 0;
        });
    }
    vc->quantityField()->setText("");
    typeQuantity(vc, "100");
    placeOrder(vc);
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    EXPECT_EQ(orders().size(), 1u);
    EXPECT_EQ(orderRequests().size(), cases.size() + 1);
}

}  // namespace

namespace {

class NewIssueFailureTest : public TradeQueryTest {
protected:
    std::vector<SimOrder> subscriptions() {
        return sim->withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return subscriptionsOf(*r.books.customer("010110001234")); });
    }
};

TEST_F(NewIssueFailureTest, ARefusedSubscriptionSaysWhyTakesNothingAndMayBeConfirmedAgain) {
    auto list = openItem<VTAXGTableViewController>(207);
    ASSERT_TRUE(list && waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() == 4; }));
    // 华宇新材 ticked by a double tap, then "申购".
    const int code = columnTitled(*list->myTableView(), "申购代码");
    for (int row = 0; row < list->myTableView()->rowCount(); ++row)
        if (list->myTableView()->rowItems(row)[size_t(code)] == "002888") tapRow(*list->myTableView(), row, true);
    ASSERT_TRUE(host.tapText("申购"));
    settle();
    auto buy = std::dynamic_pointer_cast<VTAXGBuyViewController>(nav->viewControllers().back());
    ASSERT_TRUE(buy && waitFor([&] { return buy->xgInfo() != nullptr; }));
    typeInto(buy->item(0), "1000");
    sim->forceErrorSet(-1, "超过申购上限", 100, 20);
    for (const std::string outcome : {"超过申购上限", "已提交"}) {
        SCOPED_TRACE(outcome);
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
        ASSERT_TRUE(host.pressAlertButton("确认"));
        ASSERT_TRUE(waitFor([&] { return !buy->doTradeNow() && topAlertTitle().find(outcome) != std::string::npos; }))
            << topAlertTitle();
        topAlert()->tapButtonAtIndex(0);
        settle();
        EXPECT_EQ(nav->viewControllers().back(), buy) << "the form stays";
    }
    EXPECT_EQ(sim->requestsOf(100, 20).size(), 2u);
    ASSERT_EQ(subscriptions().size(), 1u) << "the refused one took nothing";
    EXPECT_EQ(subscriptions()[0].code, "002888");
    EXPECT_EQ(subscriptions()[0].quantity, 1000);
}

using BankFailuresTest = BankTest;

TEST_F(BankFailuresTest, BindingsLostOnTheLineSayWhyAndTheListInHandStays) {
    auto& manager = GTPBankManager::manager();
    ASSERT_TRUE(waitFor([&] { return manager.isLoaded() && !manager.isLoading(); }));
    ASSERT_EQ(manager.bankArray().size(), 3u);
    sim->dropConnection(500, 83);
    manager.requestBankInfo();
    ASSERT_TRUE(alertShown(kLineFailure)) << topAlertTitle();
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_TRUE(manager.isLoaded());
    EXPECT_EQ(manager.bankArray().size(), 3u);
    // The transfer goes on from the list in hand.
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    typeInField(form->passwordTextField(), "888888");
    typeInField(form->amountTextField(), "10");
    pressOK();
    ASSERT_TRUE(confirmSheet());
    ASSERT_TRUE(alertShown("请求已提交，请到转帐查询中查询!")) << topAlertTitle();
    EXPECT_EQ(bankSideOf(kMainFund), 10000000 - 1000);
}

TEST_F(BankFailuresTest, ARefusedTransferableAmountSaysWhyAndTheNextChoiceAsksAgain) {
    auto* form = openTransfer();
    ASSERT_TRUE(form);
    sim->forceErrorSet(-1, "柜台系统繁忙", 500, 85);
    tapSegment(form->segment(), 1);
    ASSERT_TRUE(alertShown("柜台系统繁忙")) << topAlertTitle();
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_FALSE(form->isAvaliableQuery());
    EXPECT_TRUE(form->avaliableAmount().empty());
    EXPECT_FALSE(host.isTextVisible("1000000.00"));
    // The second fund account of the bank: asked, and shown.
    tapRow(form->tableView(), 1);
    ASSERT_TRUE(form->fundPicker()->isOpen());
    pickRow(form->fundPicker()->picker(), 1);
    ASSERT_TRUE(waitFor([&] { return form->avaliableAmount() == "50000.00"; }));
    EXPECT_FALSE(form->isAvaliableQuery());
    EXPECT_EQ(sim->requestsOf(500, 85).size(), 2u);
    EXPECT_EQ(topAlert(), nullptr);
}

}  // namespace
