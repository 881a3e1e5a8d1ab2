// The roads that change the brokerage's books, each as the customer takes it.
#include "OrderRoadTestSupport.h"

#include "core/contracts/BankContract.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "core/RequestText.h"
#include "core/contracts/PlanContract.h"
#include "core/contracts/RepoContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/CBTradeViewController.h"
#include "funds/EFTradeViewController.h"
#include "funds/IFICloseViewController.h"
#include "funds/IFIModifyViewController.h"
#include "funds/IFIOpenViewController.h"
#include "funds/IFIOpenedQueryViewController.h"
#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJExchangeViewController.h"
#include "funds/VTAJJFHViewController.h"
#include "funds/VTAJJNewAccount.h"
#include "funds/VTAJJQueryViewController.h"
#include "funds/VTAJJRedeemViewController.h"
#include "funds/VTAJLCBuySaleViewController.h"
#include "funds/VTAJLCCPSelectViewController.h"
#include "funds/VTAKVRQueryViewController.h"
#include "funds/VTAKVRTradeViewController.h"
#include "sim/SimPlans.h"
#include "sim/SimRepo.h"
#include "sim/SimWealth.h"
#include "margin/MarginAutoRepaymentViewController.h"
#include "margin/MarginStockLists.h"
#include "margin/MarginTradeViewController.h"
#include "margin/VTARZRQBuyBackTradeViewController.h"
#include "margin/VTARZRQDBPHZOperateViewController.h"
#include "margin/VTARZRQDBPHZSelectViewController.h"
#include "margin/VTARZRQMQHKTradeViewController.h"
#include "margin/VTARZRQXJHKViewController.h"
#include "margin/VTARZRQXQHQTradeViewController.h"
#include "platform/uikit/UISwitch.h"
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
#include "trade/VTASJLPViewController.h"
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
// ... and of the margin group.
constexpr int kBuyBackItem = 503, kSharesRepayItem = 504, kCashRepayItem = 505, kSellToRepayItem = 507,
              kCollateralItem = 508, kAutoRepayItem = 512;

// The money A's bank holds for the main fund account.
SimMoney bankSide(SimBooks& b) {
    for (const auto& binding : b.customer(kMainFund)->bankBindings)
        if (binding.fundid == kMainFund) return binding.bankBalance;
    return -1;
}

}  // namespace

std::vector<Road> OrderRoadTest::roads() {
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
        .booked = [](OrderRoadTest& t) { return int64_t(t.orders().size()); },
        .busy = [](VTAViewControllers* s) { return as<TradeViewController>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "BankTransfer",
        .function = BankContract::kTransfer,
        .tag = GTPStockBankTransactionVC::kTransferTag,
        .unknownText = kTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账", [](auto& s) { return s.bankData().size() == 3; });
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
        .booked = [](OrderRoadTest& t) { return t.books([](SimBooks& b) { return (10000000 - bankSide(b)) / 100000; }); },
        .busy = [](VTAViewControllers* s) { return as<GTPStockBankTransactionVC>(s)->isConfirm(); },
    });

    roads.push_back({
        .name = "FundPurchase",
        .function = FundContract::kPurchase,
        .tag = VTAJJBuySaleViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLink<VTAJJBuySaleViewController>("of_jjsg", "基金申购");
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAJJBuySaleViewController>(s);
                t.retype(vc->fundCode(), "270001");
                ASSERT_TRUE(t.waitFor([&] { return vc->fundName()->text() == "稳健成长基金"; }));
                t.retype(vc->tradePrice(), "1000");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return int64_t(t.fundOrders().size()); },
        .busy = [](VTAViewControllers* s) { return as<VTAJJBuySaleViewController>(s)->isOrdering(); },
    });


    roads.push_back({
        .name = "OlderBankTransfer",
        .function = BankContract::kTransfer,
        .tag = VTATransferController::kTransferTag,
        .unknownText = kTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<VTATransferController>("banktransfer", "银行转证券", [](auto& s) { return s.hasBankList(); });
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
        .booked = [](OrderRoadTest& t) { return t.books([](SimBooks& b) { return (10000000 - bankSide(b)) / 20000; }); },
        .busy = [](VTAViewControllers* s) { return as<VTATransferController>(s)->sureToTransfer(); },
    });

    roads.push_back({
        .name = "FundAccountTransfer",
        .function = BankContract::kFundTransfer,
        .tag = AccountTransferViewController::kTransferTag,
        .unknownText = kFundTransferSubmittedText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<AccountTransferViewController>("jsf_zjzz", "资金调拨", [](auto& s) { return s.bankData().size() == 3; });
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
                    return (5000000 - b.customer(kMainFund)->fundAccount(kSecondFund)->balances[SimCurrency::kRMB].transferable) /
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
            return t.openLinkWhen<GTPTransferAllViewController>("jsf_yjzz", "一键归集", [](auto& s) { return s.bankData().size() == 3; });
        },
        .fill = [](OrderRoadTest&, VTAViewControllers*) {},
        .confirm = [](OrderRoadTest& t, VTAViewControllers* s) {
            t.tapView(as<GTPTransferAllViewController>(s)->transferButton());
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
                    rmb.balance += 10000;
                    rmb.available += 10000;
                    rmb.transferable += 10000;
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
                    SimOrder o;
                    o.ordersno = b.nextOrderNumber();
                    o.date = 20240305;
                    o.time = 93000;
                    o.fundid = kMainFund;
                    o.market = "0";
                    o.secuid = "0010001234";
                    o.code = "000001";
                    o.name = "平安银行";
                    o.bsflag = "0B";
                    o.price = 1000;
                    o.quantity = 100;
                    o.frozen = o.quantity * o.price / 10;
                    SimBalance& rmb = a.fundAccounts.front().balances[SimCurrency::kRMB];
                    rmb.available -= o.frozen;
                    rmb.frozen += o.frozen;
                    a.orders.push_back(o);
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "NewIssueSubscription",
        .function = {100, 20},
        .tag = VTAXGBuyViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
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
                return t.archived + t.sim->withRoom<SimNewIssuesRoom>([](SimNewIssuesRoom& r) {
                    return int64_t(r.subscriptions.size());
                });
            },
        .busy = [](VTAViewControllers* s) { return as<VTAXGBuyViewController>(s)->doTradeNow(); },
        // An issue is subscribed once: the earlier subscriptions are taken out of the books.
        .fresh =
            [](OrderRoadTest& t) {
                t.archived += t.sim->withRoom<SimNewIssuesRoom>([](SimNewIssuesRoom& r) {
                    const int64_t n = int64_t(r.subscriptions.size());
                    r.subscriptions.clear();
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
                return t.sim->withRoom<SimWarrantsRoom>([](SimWarrantsRoom& r) {
                    return (10000 - r.held[kCustomerA]["582001"]) / 100;
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
            if (!list || !t.gridShows(*list, 5)) return nullptr;
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
                const std::string now = t.books([](SimBooks& b) { return b.customer(kMainFund)->password; });
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
                again.password = t.books([](SimBooks& b) { return b.customer(kMainFund)->password; });
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


    roads.push_back({
        .name = "FundRedemption",
        .function = FundContract::kRedeem,
        .tag = VTAJJRedeemViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<VTAJJRedeemViewController>("of_jjsh", "基金赎回",
                                                             [](auto& s) { return !s.numCanUsed()->text().empty(); });
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAJJRedeemViewController>(s);
                t.retype(vc->redeemNum(), "100");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return int64_t(t.fundOrders().size()); },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "FundConversion",
        .function = WealthContract::kConversion,
        .tag = VTAJJExchangeViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<VTAJJExchangeViewController>("of_jjzh", "基金转换",
                                                               [](auto& s) { return !s.numCanUsed()->text().empty(); });
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAJJExchangeViewController>(s);
                t.retypeInto(vc->newFundCode(), "270003");
                ASSERT_TRUE(t.waitFor([&] { return !vc->isRequestInFlight(VTAJJExchangeViewController::kTargetTag); }));
                t.retypeInto(vc->numOfChange(), "100");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return t.wealthSide([](SimWealthCustomer& c) { return int64_t(c.conversions.size()); }); },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "FundDividendMethod",
        .function = WealthContract::kDividend,
        .tag = VTAJJFHViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLinkWhen<VTAJJFHViewController>("of_fhsz", "分红设置",
                                                         [](auto& s) { return !s.fundPrice()->text().empty(); });
        },
        .fill = [](OrderRoadTest& t, VTAViewControllers* s) { ASSERT_TRUE(t.tapToolbar(as<FundForm>(s), "确定")); },
        .booked =
            [](OrderRoadTest& t) {
                return t.wealthSide([](SimWealthCustomer& c) { return int64_t(c.dividendSettings.size()); });
            },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "FundAccountOpening",
        .function = WealthContract::kOpenAccount,
        .tag = VTAJJNewAccount::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openLink<VTAJJNewAccount>("of_jjkh", "基金开户");
            if (!vc || !t.alertShown(VTAJJNewAccount::kDisclosureTitle) || !t.host.pressAlertButton("确定"))
                return nullptr;
            return t.waitFor([&] { return vc->hasCustomerData(); }) ? vc : nullptr;
        },
        // An account with 长江基金 (03), picked on the company picker.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAJJNewAccount>(s);
                ASSERT_TRUE(t.host.tapText("基金公司"));
                t.settle(0.5);
                ASSERT_TRUE(vc->pickers().isVisible());
                t.pickRow(vc->pickers().picker(), 2);
                ASSERT_TRUE(t.host.pressAlertButton("确定"));
                t.settle(0.5);
                t.retypeInto(vc->zipCode(), "100020");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return t.wealthSide([](SimWealthCustomer& c) { return int64_t(c.openings.size()); }); },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
        // One account a company: the one opened before is closed again.
        .fresh =
            [](OrderRoadTest& t) {
                t.fundSide([](SimFundCustomer& c) { return c.companyAccounts.erase("03"); });
            },
    });

    roads.push_back({
        .name = "FundCancel",
        .function = FundContract::kCancel,
        .tag = VTATradeQueryViewController::kWithdrawTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* hub = t.openItem<VTAJJQueryViewController>("of_wtcd");
            return hub && t.waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() > 0; }) ? hub
                                                                                                           : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* hub = as<VTAJJQueryViewController>(s);
                t.tapGridRow(*hub->myTableView(), 0);
                ASSERT_TRUE(t.tapToolbar(hub, "确定"));
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.fundSide([](SimFundCustomer& c) {
                    return int64_t(std::count_if(c.orders.begin(), c.orders.end(), [](const SimFundOrder& o) {
                        return o.status == SimFundOrderStatus::Cancelled;
                    }));
                });
            },
        .busy = [](VTAViewControllers* s) { return as<VTATradeQueryViewController>(s)->isWithdraw(); },
        // A purchase of the day, to cancel.
        .fresh =
            [](OrderRoadTest& t) {
                t.sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
                    SimFundOrder o;
                    o.sno = r.nextOrderNumber();
                    o.date = 20240305;
                    o.time = 100000;
                    o.business = 35;
                    o.code = "270001";
                    o.name = "稳健成长基金";
                    o.amount = 100000;
                    r.customer(kCustomerA).orders.push_back(o);
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "WealthPlanSubscription",
        .function = FundContract::kSubscribe,
        .tag = VTAJLCBuySaleViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTAJLCCPSelectViewController>("jlccp");
            if (!list || !t.waitFor([&] { return list->tableData() && list->tableData()->rowsAffected() > 0; }))
                return nullptr;
            t.settle(0.5);
            if (!t.tapToolbar(list, "认购")) return nullptr;
            t.settle();
            auto* form = dynamic_cast<VTAJLCBuySaleViewController*>(t.top());
            return form && t.waitFor([&] { return !form->fundName()->text().empty(); }) ? form : nullptr;
        },
        // 20,000.00 元, through the notice before the sheet.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAJLCBuySaleViewController>(s);
                t.retype(vc->tradePrice(), "20000");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
                ASSERT_TRUE(t.alertShown(VTAJLCBuySaleViewController::kNoticeTitle)) << t.topAlertTitle();
                UIAlertView::visibleAlerts().back()->layoutIfNeeded();
                ASSERT_TRUE(t.host.pressAlertButton("确定"));
                t.settle(0.5);
            },
        .booked = [](OrderRoadTest& t) { return int64_t(t.fundOrders().size()); },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "BondConversion",
        .function = TradeContract::kOrder,
        .tag = CBTradeViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLink<CBTradeViewController>("zghs", "转股回售");
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<CBTradeViewController>(s);
                t.retypeField(vc->tradeSymbolTF(), "110001");
                ASSERT_TRUE(t.waitFor([&] { return !vc->isRequestInFlight(CBTradeViewController::kLookupTag); }));
                t.settle(0.5);
                t.retypeField(vc->tradeAmountTF(), "1");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return t.ordersFlagged("0G"); },
    });

    roads.push_back({
        .name = "ExchangeFundSubscription",
        .function = TradeContract::kOrder,
        .tag = EFTradeViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            return t.openLink<EFTradeViewController>("jysjjss", "交易所基金申赎");
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<EFTradeViewController>(s);
                t.retypeField(vc->tradeSymbolTF(), "510999");
                ASSERT_TRUE(t.waitFor([&] { return !vc->isRequestInFlight(EFTradeViewController::kLookupTag); }));
                t.settle(0.5);
                t.retypeField(vc->tradeAmountTF(), "1000");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked = [](OrderRoadTest& t) { return t.ordersFlagged("03"); },
    });

    roads.push_back({
        .name = "RepoBuy",
        .function = RepoContract::kBuy,
        .tag = VTAKVRTradeViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openItem<VTAKVRTradeViewController>("kvrmr");
            t.settle(0.5);
            return vc && t.waitFor([&] { return !vc->isRequestInFlight(VTAKVRTradeViewController::kInfoTag); }) ? vc
                                                                                                                 : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTAKVRTradeViewController>(s);
                t.retype(vc->moneyField(), "1000");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) { return int64_t(r.deals[kCustomerA].size()); });
            },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "RepoEarlyEnd",
        .function = RepoContract::kEnd,
        .tag = VTAKVRQueryViewController::kEndTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTAKVRQueryViewController>("kvrzz");
            return list && t.gridShows(*list, 1) ? list : nullptr;
        },
        .fill = [](OrderRoadTest& t, VTAViewControllers* s) { ASSERT_TRUE(t.tapToolbar(as<VTAKVRQueryViewController>(s), "确定")); },
        .booked =
            [](OrderRoadTest& t) {
                return t.sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) {
                    const auto& deals = r.deals[kCustomerA];
                    return int64_t(std::count_if(deals.begin(), deals.end(), [](const SimRepoDeal& d) {
                        return d.status == SimRepoDealStatus::Ended;
                    }));
                });
            },
        .busy = [](VTAViewControllers* s) { return as<VTAKVRQueryViewController>(s)->isEnding(); },
        // One running deal to end: the seed's, or one like it once that ended.
        .fresh =
            [](OrderRoadTest& t) {
                t.sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) {
                    auto& deals = r.deals[kCustomerA];
                    for (const auto& d : deals)
                        if (d.status == SimRepoDealStatus::Running) return 0;
                    SimRepoDeal again = deals.front();
                    again.matchCode = r.nextMatchCode();
                    again.status = SimRepoDealStatus::Running;
                    again.paidBack = 0;
                    deals.push_back(again);
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "PlanOpening",
        .function = PlanContract::kOpen,
        .tag = IFIOpenViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* { return t.openItem<IFIOpenViewController>("zndt_kt"); },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<IFIOpenViewController>(s);
                const size_t before = t.sim->requestsOf(100, 24).size();
                t.retype(vc->fundSymbolTF(), "270001");
                ASSERT_TRUE(t.waitFor([&] { return t.sim->requestsOf(100, 24).size() > before; }));
                ASSERT_TRUE(t.waitFor([&] { return !vc->isRequestInFlight(IFIOpenViewController::kLookupTag); }));
                t.settle(0.5);
                t.retype(vc->investAmountTF(), "300");
                ASSERT_TRUE(t.tapToolbar(vc, "确定"));
            },
        .booked =
            [](OrderRoadTest& t) {
                return t.plansOfA([](std::vector<SimPlan>& plans) {
                    return int64_t(std::count_if(plans.begin(), plans.end(), [](const SimPlan& p) { return p.code == "270001"; }));
                });
            },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
        // One running plan a fund: the one opened before has ended.
        .fresh =
            [](OrderRoadTest& t) {
                t.plansOfA([](std::vector<SimPlan>& plans) {
                    for (auto& p : plans)
                        if (p.code == "270001") p.running = false;
                    return 0;
                });
            },
    });

    roads.push_back({
        .name = "PlanModification",
        .function = PlanContract::kModify,
        .tag = IFIModifyViewController::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openItem<IFIModifyViewController>("zndt_xg");
            return vc && t.waitFor([&] { return !vc->openedFundsArray().empty(); }) ? vc : nullptr;
        },
        .fill = [](OrderRoadTest& t, VTAViewControllers* s) { ASSERT_TRUE(t.tapToolbar(as<FundForm>(s), "确定")); },
        .booked = [](OrderRoadTest& t) { return t.carriedOut(PlanContract::kModify); },
        .busy = [](VTAViewControllers* s) { return as<FundForm>(s)->isOrdering(); },
    });

    roads.push_back({
        .name = "PlanTermination",
        .function = PlanContract::kClose,
        .tag = IFICloseViewController::kCloseTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* query = t.openItem<IFIOpenedQueryViewController>("zndt_cx");
            if (!query || !t.gridShows(*query, 1) || !t.tapToolbar(query, "终止")) return nullptr;
            t.settle();
            auto* vc = dynamic_cast<IFICloseViewController*>(t.top());
            return vc && t.waitFor([&] { return vc->tableData().size() == 1; }) ? vc : nullptr;
        },
        // The row's delete control, then its button: the sheet.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<IFICloseViewController>(s);
                vc->tableView()->window()->layoutIfNeeded();
                auto cell = vc->tableView()->cellForRowAtIndexPath({0, 0});
                ASSERT_TRUE(cell);
                t.tapView(cell->editingControl());
                t.tapView(cell->deleteConfirmationButton());
                t.settle(0.5);
            },
        .confirm = [](OrderRoadTest& t, VTAViewControllers*) { ASSERT_TRUE(t.host.pressAlertButton("终止")); },
        .booked =
            [](OrderRoadTest& t) {
                return t.plansOfA([](std::vector<SimPlan>& plans) {
                    return int64_t(std::count_if(plans.begin(), plans.end(), [](const SimPlan& p) { return !p.running; }));
                });
            },
        .busy = [](VTAViewControllers* s) { return as<IFICloseViewController>(s)->isClosing(); },
        // One running plan to end: the seed's, or one like it once that ended.
        .fresh =
            [](OrderRoadTest& t) {
                t.plansOfA([](std::vector<SimPlan>& plans) {
                    for (const auto& p : plans)
                        if (p.running) return 0;
                    SimPlan again = plans.front();
                    again.running = true;
                    plans.push_back(again);
                    return 0;
                });
            },
    });


    roads.push_back({
        .name = "MarginFinancingBuy",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            VTAUIFactory::openMenuWithTradeGate(menu("rzrq_rzmr?creditflag=0", "融资买入"));
            t.settle();
            return dynamic_cast<MarginTradeViewController*>(t.top());
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<MarginTradeViewController>(s);
                t.typeCode(vc, "600000");
                t.typeQuantity(vc, "100");
                t.tapView(vc->tradeButton());
            },
        .booked = [](OrderRoadTest& t) { return t.creditOrders(0); },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "MarginCashRepayment",
        .function = {500, 76},
        .tag = VTARZRQXJHKViewController::kRepayTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openItem<VTARZRQXJHKViewController>(kCashRepayItem);
            return vc && t.waitFor([&] { return !vc->backMoneyCountLabel()->text().empty(); }) ? vc : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* vc = as<VTARZRQXJHKViewController>(s);
                vc->backMoneyField()->setText("");
                t.typeInto(vc->backMoneyField(), "100");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // Each repayment takes 100.00 元 of the 5,000.00 元 of debt.
        .booked = [](OrderRoadTest& t) { return (500000 - t.credit().financingDebt) / 10000; },
        .busy = [](VTAViewControllers* s) { return as<VTARZRQXJHKViewController>(s)->isRepay(); },
    });

    roads.push_back({
        .name = "MarginAutoRepaySetting",
        .function = {500, 87},
        .tag = MarginAutoRepaymentViewController::kSetTag,
        .unknownText = MarginAutoRepaymentViewController::kUnknownOutcomeText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* vc = t.openItem<MarginAutoRepaymentViewController>(kAutoRepayItem);
            return vc && t.waitFor([&] { return vc->currentStatus().has_value(); }) ? vc : nullptr;
        },
        .fill = [](OrderRoadTest&, VTAViewControllers*) {},
        // The switch is the confirmation.
        .confirm = [](OrderRoadTest& t, VTAViewControllers* s) {
            t.tapView(as<MarginAutoRepaymentViewController>(s)->repaySwitch());
        },
        .booked = [](OrderRoadTest& t) { return t.carriedOut({500, 87}); },
    });

    roads.push_back({
        .name = "MarginBuyToReturn",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTARZRQBuyBackQueryViewController>(kBuyBackItem);
            if (!list || !t.gridShows(*list, 1) || !t.host.tapText("确定")) return nullptr;
            t.settle();
            auto* form = dynamic_cast<VTARZRQBuyBackTradeViewController*>(t.top());
            return form && t.waitFor([&] { return !form->maxQtyLabel()->text().empty(); }) ? form : nullptr;
        },
        // 100 of the 招商银行 owed, at the first ask.
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTARZRQBuyBackTradeViewController>(s);
                form->priceField()->setText(SimMarket::priceText(t.quoteOf("600036").ask[0], 2));
                form->countField()->setText("");
                t.typeInto(form->countField(), "100");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        .booked = [](OrderRoadTest& t) { return t.creditOrders(2); },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
        // 100 more owed, so that every buy finds shares to return.
        .fresh =
            [](OrderRoadTest& t) {
                t.customerBooks([](SimCustomer& c) { return c.credit->owed["600036"] += 100; });
            },
    });

    roads.push_back({
        .name = "MarginSharesRepayment",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTARZRQXQHQQueryViewController>(kSharesRepayItem);
            if (!list || !t.gridShows(*list, 1) || !t.host.tapText("确定")) return nullptr;
            t.settle();
            auto* form = dynamic_cast<VTARZRQXQHQTradeViewController*>(t.top());
            return form && t.waitFor([&] { return !form->maxQtyLabel()->text().empty(); }) ? form : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTARZRQXQHQTradeViewController>(s);
                form->countField()->setText("");
                t.typeInto(form->countField(), "10");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // Each repayment returns 10 of the 200 招商银行 owed.
        .booked = [](OrderRoadTest& t) { return (200 - t.credit().owed["600036"]) / 10; },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "MarginSellToRepay",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTARZRQMQHKSelectedViewController>(kSellToRepayItem);
            if (!list || !t.gridShows(*list, 2)) return nullptr;
            t.tapGridRow(*list->myTableView(), 1);  // 平安银行
            if (!t.host.tapText("确定")) return nullptr;
            t.settle();
            auto* form = dynamic_cast<VTARZRQMQHKTradeViewController*>(t.top());
            return form && t.waitFor([&] { return !form->maxQtyLabel()->text().empty(); }) ? form : nullptr;
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTARZRQMQHKTradeViewController>(s);
                form->priceField()->setText(SimMarket::priceText(t.quoteOf("000001").bid[0], 2));
                form->countField()->setText("");
                t.typeInto(form->countField(), "100");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        .booked = [](OrderRoadTest& t) { return t.creditOrders(7); },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "MarginCollateralIn",
        .function = TradeContract::kOrder,
        .tag = TradeOrderScreen::kOrderTag,
        .unknownText = RequestBinding::kOrderLeftText,
        // Into the credit account: 浦发银行 of the ordinary holdings.
        .open = [](OrderRoadTest& t) -> VTAViewControllers* {
            auto* list = t.openItem<VTARZRQDBPHZSelectViewController>(kCollateralItem);
            if (!list || !t.waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() >= 2; }) ||
                !t.host.tapText("划转方向"))
                return nullptr;
            t.settle(0.5);
            t.pickRow(list->dirPicker(), 1);
            if (!t.host.pressAlertButton("确定")) return nullptr;
            t.settle(0.5);
            if (!t.gridShows(*list, 4)) return nullptr;
            VTATableView& grid = *list->myTableView();
            const auto& titles = grid.topTitles();
            const auto column = std::find(titles.begin(), titles.end(), "证券代码") - titles.begin();
            for (int row = 0; row < grid.rowCount(); ++row)
                if (grid.rowItems(row).at(size_t(column)) == "600000") t.tapGridRow(grid, row);
            t.settle();
            if (!t.host.tapText("确定")) return nullptr;
            return dynamic_cast<VTARZRQDBPHZOperateViewController*>(t.top());
        },
        .fill =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto* form = as<VTARZRQDBPHZOperateViewController>(s);
                form->countField()->setText("");
                t.typeInto(form->countField(), "100");
                ASSERT_TRUE(t.host.tapText("确定"));
                t.settle(0.5);
            },
        // Each transfer brings 100 浦发银行 into the credit account.
        .booked =
            [](OrderRoadTest& t) {
                SimCreditAccount account = t.credit();
                const SimHolding* p = account.position("600000");
                return p ? p->quantity / 100 : 0;
            },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
    });

    return roads;
}
