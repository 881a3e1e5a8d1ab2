// The trade menu's roads that change the books: orders, cancels, transfers, new
// issues, warrants, cost and password changes and the soft token.
#include "OrderRoadTestSupport.h"
#include "tests/support/SimOrders.h"

#include "core/RequestText.h"
#include "core/contracts/BankContract.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UITextField.h"
#include "sim/SimBank.h"
#include "sim/SimNewIssues.h"
#include "sim/SimWarrants.h"
#include "trade/AccountTransferViewController.h"
#include "trade/BankTransferRules.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/GTPTransferAllViewController.h"
#include "trade/TradePickerStrip.h"
#include "trade/TradeViewController.h"
#include "trade/VTAModifyCostViewController.h"
#include "trade/VTAResignPasswordController.h"
#include "trade/VTASjlpApplyController.h"
#include "trade/VTATradeQueryViewController.h"
#include "trade/VTATransferController.h"
#include "trade/VTAWarrant.h"
#include "trade/VTAXGBuyViewController.h"
#include "trade/VTAXGTableViewController.h"
#include "ui/QZTabView.h"

namespace {

constexpr const char* kMainFund = "010110001234";
constexpr const char* kSecondFund = "010120001234";
constexpr const char* kCustomerA = "110001234";
// The simulator's menu items of the trade group.
constexpr int kCancelItem = 203, kHoldingsItem = 206, kNewIssuesItem = 207, kWarrantItem = 209, kPasswordItem = 210;

// The money A's bank holds for the main fund account.
SimMoney bankSide(SimBooks& b) {
    for (const auto& binding : b.customer(kMainFund)->bankBindings)
        if (binding.fundid == kMainFund) return binding.bankBalance;
    return -1;
}

}  // namespace

std::vector<Road> OrderRoadTest::tradeRoads() {
    // The password A's books hold now: the seed's, or the other one a change made (they keep its digest only).
    static const auto passwordNow = [](OrderRoadTest& t) {
        return t.books([](SimBooks& b) {
            return std::string(b.secretMatches(b.customer(kMainFund)->password, "123456") ? "123456" : "654321");
        });
    };
    std::vector<Road> roads;

    roads.push_back({
        .name = "StockOrder",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openForStock<TradeViewController>(0, "600000", "浦发银行", 2);
            if (!vc || !t.waitFor([&] { return vc->isStockInfoBack(); })) return nullptr;
            return vc;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<TradeViewController>(s);
                t.typeQuantity(vc, "100");
                t.tapView(vc->tradeButton());
            },
        .pressAgain =
            [](OrderRoadTest& t, VTAViewControllers* s) { t.pressAtOnce(as<TradeViewController>(s)->tradeButton()); },
        .booked = [](OrderRoadTest& t) { return int64_t(t.orders().size()); },
        .busy = [](VTAViewControllers* s) { return as<TradeViewController>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "BankTransfer",
        .function = BankContract::kTransfer,
        .tag = GTPStockBankTransactionVC::kTransferTag,
        .unknownText = kTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账",
                                                             [](auto& s) { return s.bankData().size() == 3; });
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<GTPStockBankTransactionVC>(s);
                t.typeInField(form->passwordTextField(), "888888");
                t.typeInField(form->amountTextField(), "1000");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // Every transfer takes 1,000.00 元 from the bank.
        .booked =
            [](OrderRoadTest& t) { return t.books([](SimBooks& b) { return (10000000 - bankSide(b)) / 100000; }); },
        .busy = [](VTAViewControllers* s) { return as<GTPStockBankTransactionVC>(s)->isConfirm(); },
    });

    roads.push_back({
        .name = "OlderBankTransfer",
        .function = BankContract::kTransfer,
        .tag = VTATransferController::kTransferTag,
        .unknownText = kTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<VTATransferController>("banktransfer", "银行转证券",
                                                         [](auto& s) { return s.hasBankList(); });
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* screen = as<VTATransferController>(s);
                t.typeInto(screen->password(), "888888");
                t.typeInto(screen->money(), "200");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // Every transfer takes 200.00 元 from the bank.
        .booked =
            [](OrderRoadTest& t) { return t.books([](SimBooks& b) { return (10000000 - bankSide(b)) / 20000; }); },
        .busy = [](VTAViewControllers* s) { return as<VTATransferController>(s)->sureToTransfer(); },
    });

    roads.push_back({
        .name = "FundAccountTransfer",
        .function = BankContract::kFundTransfer,
        .tag = AccountTransferViewController::kTransferTag,
        .unknownText = kFundTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<AccountTransferViewController>("jsf_zjzz", "资金调拨",
                                                                 [](auto& s) { return s.bankData().size() == 3; });
        },
        // From the second account to the main one.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<AccountTransferViewController>(s);
                t.tapRow(form->tableView(), 2);
                t.pickRow(form->transferOutPicker()->picker(), 1);
                t.tapView(form->transferOutPicker()->tab()->doneButton());
                t.settle();
                t.typeInField(form->amountTextField(), "1000");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.books([](SimBooks& b) {
                    return (5000000 - b.customer(kMainFund)
                                          ->fundAccount(kSecondFund)
                                          ->balances[SimCurrency::kRMB]
                                          .withdrawable()) /
                           100000;
                });
            },
        .busy = [](VTAViewControllers* s) { return as<AccountTransferViewController>(s)->isConfirm(); },
    });

    roads.push_back({
        .name = "CollectAll",
        .function = BankContract::kFundTransfer,
        .tag = GTPTransferAllViewController::kCollectTag,
        .unknownText = kFundTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<GTPTransferAllViewController>("jsf_yjzz", "一键归集",
                                                                [](auto& s) { return s.bankData().size() == 3; });
        },
        .fill = [](OrderRoadTest&, VTAViewControllers*) {},
        .confirm = [](OrderRoadTest& t,
                      VTAViewControllers* s) { t.tapView(as<GTPTransferAllViewController>(s)->transferButton()); },
        .pressAgain =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                t.pressAtOnce(as<GTPTransferAllViewController>(s)->transferButton());
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.sim->withRoom<SimBankRoom>([](SimBankRoom& r) {
                    int64_t n = 0;
                    for (const auto& record : r.history[kCustomerA])
                        n += record.business == "资金归集" && record.fundid == kSecondFund ? 1 : 0;
                    return n;
                });
            },
        .busy = [](VTAViewControllers* s) { return as<GTPTransferAllViewController>(s)->isConfirm(); },
        // 100.00 元 in the second account, to be collected.
        .fresh =
            [](OrderRoadTest& t) {
                t.books([](SimBooks& b) {
                    SimBalance& rmb = b.customer(kMainFund)->fundAccount(kSecondFund)->balances[SimCurrency::kRMB];
                    rmb.deposit(10000);
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "StockCancel",
        .function = TradeQueryContract::kCancel,
        .tag = VTATradeQueryViewController::kWithdrawTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTATradeQueryViewController>(kCancelItem);
            if (!list || !t.waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() > 0; }))
                return nullptr;
            return list;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* list = as<VTATradeQueryViewController>(s);
                t.tapGridRow(*list->myTableView(), 0);
                ASSERT_TRUE(t.tapToolbar(list, "确定"));
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.customerBooks([](SimCustomer& c) {
                    return int64_t(std::count_if(c.orders.begin(), c.orders.end(), [](const SimOrder& o) {
                        return o.status == SimOrderStatus::Cancelled;
                    }));
                });
            },
        .busy = [](VTAViewControllers* s) { return as<VTATradeQueryViewController>(s)->isWithdraw(); },
        // A buy of 平安银行 far below the market, waiting, its money held.
        .fresh =
            [](OrderRoadTest& t) {
                t.books([](SimBooks& b) {
                    SimCustomer& a = *b.customer(kMainFund);
                    SimOrder o = pingAnOrderOfA(b, kMainFund, "0B", 1000, 100, 20240305, 93000);
                    o.frozen = o.quantity * o.price / 10;
                    SimBalance& rmb = a.fundAccounts.front().balances[SimCurrency::kRMB];
                    rmb.hold(o.frozen);
                    a.orders.push_back(o);
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "NewIssueSubscription",
        .function = {100, 20},
        .tag = VTAXGBuyViewController::kOrderTag,
        .unknownText = VTAXGBuyViewController::kUnknownOutcomeText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTAXGTableViewController>(kNewIssuesItem);
            if (!list || !t.waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() == 4; }))
                return nullptr;
            // 华宇新材 002888, ticked by a double tap.
            VTATableView& grid = *list->myTableView();
            grid.window()->layoutIfNeeded();
            CGRect r = grid.convertRectToView(grid.rectForRow(0, 0), nullptr);
            t.host.doubleTap(CGRectGetMidX(r), CGRectGetMidY(r));
            t.settle(0.5);
            if (!t.host.tapText("申购")) return nullptr;
            t.settle();
            auto* buy = dynamic_cast<VTAXGBuyViewController*>(t.top());
            if (!buy || !t.waitFor([&] { return buy->xgInfo() != nullptr; })) return nullptr;
            return buy;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* buy = as<VTAXGBuyViewController>(s);
                t.typeInto(buy->item(0), "1000");
                ASSERT_TRUE(t.host.tapText("确定"));
                ASSERT_TRUE(t.alertShown(VTAXGBuyViewController::kConfirmTitle));
            },
        .confirm = [](OrderRoadTest& t, VTAViewControllers*) { ASSERT_TRUE(t.host.pressAlertButton("确认")); },
        .booked =
            [](OrderRoadTest& t) {
                return t.archived +
                       t.customerBooks([](SimCustomer& c) { return int64_t(subscriptionsOf(c).size()); });
            },
        .busy = [](VTAViewControllers* s) { return as<VTAXGBuyViewController>(s)->doTradeNow(); },
        // An issue is subscribed once: the earlier subscriptions are taken out of the books, their money freed.
        .fresh =
            [](OrderRoadTest& t) {
                t.archived += t.customerBooks([](SimCustomer& c) {
                    const int64_t n = int64_t(subscriptionsOf(c).size());
                    SimBalance& rmb = c.fundAccounts.front().balances[SimCurrency::kRMB];
                    for (const auto& s : subscriptionsOf(c)) rmb.release(s.frozen);
                    std::erase_if(c.orders, [](const SimOrder& o) {
                        return o.ledger && o.ledger->direction(o) == "申购";
                    });
                    return n;
                });
            },
    });

    roads.push_back({
        .name = "WarrantExercise",
        .function = {100, 29},
        .tag = VTAWarrant::kExerciseTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* { return t.openItem<VTAWarrant>(kWarrantItem); },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTAWarrant>(s);
                t.tapView(form->codeField());
                for (char c : std::string("582001")) {
                    t.host.type(std::string(1, c));
                    t.settle(0.1);
                }
                ASSERT_TRUE(t.waitFor([&] { return form->isWarrantInfoOK(); }));
                t.typeInto(form->orderSumField(), "100");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // A holds 10,000 浦发CWB1; each exercise takes 100.
        .booked =
            [](OrderRoadTest& t) {
                return t.customerBooks([](SimCustomer& c) {
                    const SimHolding* h = c.holding("A100001234", "580001");
                    return (10000 - (h ? h->quantity : 0)) / 100;
                });
            },
    });

    roads.push_back({
        .name = "CostChange",
        .function = TradeQueryContract::kCostChange,
        .tag = VTAModifyCostViewController::kCostTag,
        .unknownText = VTAModifyCostViewController::kUnknownOutcomeText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTATradeQueryViewController>(kHoldingsItem);
            if (!list || !t.gridShows(*list, 7)) return nullptr;
            t.tapGridRow(*list->myTableView(), 1);  // 万科Ａ
            if (!t.host.tapText("修改成本")) return nullptr;
            t.settle();
            return list->costChange().get();
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* change = as<VTAModifyCostViewController>(s);
                change->newCostField()->setText("");
                t.typeInto(change->newCostField(), "9.5");
            },
        .confirm = [](OrderRoadTest& t, VTAViewControllers*) { ASSERT_TRUE(t.host.tapText("修改")); },
        .pressAgain = [](OrderRoadTest& t, VTAViewControllers*) { t.pressAtOnce(t.host.findText("修改")); },
        .booked = [](OrderRoadTest& t) { return t.carriedOut(TradeQueryContract::kCostChange); },
        .busy = [](VTAViewControllers* s) { return as<VTAModifyCostViewController>(s)->isTrading(); },
    });

    roads.push_back({
        .name = "PasswordChange",
        .function = TradeQueryContract::kPasswordChange,
        .tag = VTAResignPasswordController::kPasswordTag,
        .unknownText = VTAResignPasswordController::kUnknownOutcomeText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openItem<VTAResignPasswordController>(kPasswordItem);
        },
        // From the password the brokerage holds now to the other one.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTAResignPasswordController>(s);
                const std::string now = passwordNow(t);
                const std::string wanted = now == "123456" ? "654321" : "123456";
                t.typeInto(form->oldPwd(), now);
                t.typeInto(form->newPwd(), wanted);
                t.typeInto(form->signPwd(), wanted);
            },
        .confirm = [](OrderRoadTest& t, VTAViewControllers*) { ASSERT_TRUE(t.host.tapText("确定")); },
        .booked = [](OrderRoadTest& t) { return t.carriedOut(TradeQueryContract::kPasswordChange); },
        // A change the brokerage made ended the session the phone holds: the customer logs in again.
        .recover =
            [](OrderRoadTest& t) {
                const std::string info = VTAParamter::shareParamter().getStringForKey("tradeUserInfo").value_or("");
                const std::string authid = queryValue("?" + info, "authid").value_or("");
                if (t.books([&](SimBooks& b) { return b.session(authid) != nullptr; })) return;
                TradeCustomer again = kTradeCustomerA;
                again.password = passwordNow(t);
                ASSERT_TRUE(logInToTrade(again));
            },
    });

    roads.push_back({
        .name = "TokenEnrolment",
        .function = TradeContract::kTokenApplication,
        .tag = VTASjlpApplyController::kApplyTag,
        .unknownText = VTASjlpApplyController::kUnknownOutcomeText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto form = std::make_shared<VTASjlpApplyController>();
            pushViewController(form);
            t.settle();
            return t.waitFor([&] { return form->isBranchListOK(); }) ? form.get() : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTASjlpApplyController>(s);
                t.typeInto(form->accountField(), "10005678");
                t.typeInto(form->passwordField(), "123456");
            },
        .confirm = [](OrderRoadTest& t, VTAViewControllers*) { ASSERT_TRUE(t.host.tapText("确定")); },
        .booked = [](OrderRoadTest& t) { return t.carriedOut(TradeContract::kTokenApplication); },
    });

    return roads;
}
