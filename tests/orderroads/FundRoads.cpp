// The fund and wealth roads that change the books: fund orders, cancels,
// conversions, settings and accounts, wealth plans, bonds and exchange funds,
// the quoted repo and the fixed-investment plans.
#include "OrderRoadTestSupport.h"

#include "core/contracts/FundContract.h"
#include "core/contracts/PlanContract.h"
#include "core/contracts/RepoContract.h"
#include "core/contracts/TradeContract.h"
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
#include "sim/SimRepo.h"

namespace {

constexpr const char* kCustomerA = "110001234";

}  // namespace

std::vector<Road> OrderRoadTest::fundRoads() {
    std::vector<Road> roads;

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
        .fresh = [](OrderRoadTest& t) { t.placeFundPurchase(); },
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
        // The row's controls again.
        .pressAgain =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                auto cell = as<IFICloseViewController>(s)->tableView()->cellForRowAtIndexPath({0, 0});
                ASSERT_TRUE(cell);
                t.pressAtOnce(cell->editingControl());
                t.pressAtOnce(cell->deleteConfirmationButton());
            },
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

    return roads;
}
