// The margin roads that change the books: credit orders, repayments in cash
// and in shares, the automatic repayment setting and collateral transfers.
#include "OrderRoadTestSupport.h"

#include "core/contracts/TradeContract.h"
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

namespace {

// The simulator's menu items of the margin group.
constexpr int kBuyBackItem = 503, kSharesRepayItem = 504, kCashRepayItem = 505, kSellToRepayItem = 507,
              kCollateralItem = 508, kAutoRepayItem = 512;

}  // namespace

std::vector<Road> OrderRoadTest::marginRoads() {
    std::vector<Road> roads;

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
        .pressAgain =
            [](OrderRoadTest& t, VTAViewControllers* s) {
                t.pressAtOnce(as<MarginTradeViewController>(s)->tradeButton());
            },
        .booked = [](OrderRoadTest& t) { return t.creditOrders(0); },
        .busy = [](VTAViewControllers* s) { return as<TradeOrderScreen>(s)->sureToTrade(); },
    });

    roads.push_back({
        .name = "MarginCashRepayment",
        .function = {500, 76},
        .tag = VTARZRQXJHKViewController::kRepayTag,
        .unknownText = VTARZRQXJHKViewController::kUnknownOutcomeText,
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
        .pressAgain = [](OrderRoadTest& t, VTAViewControllers* s) {
            t.pressAtOnce(as<MarginAutoRepaymentViewController>(s)->repaySwitch());
        },
        .booked = [](OrderRoadTest& t) { return t.carriedOut({500, 87}); },
        .busy =
            [](VTAViewControllers* s) {
                return !as<MarginAutoRepaymentViewController>(s)->repaySwitch()->isEnabled();
            },
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
        // 100 more owed, and the cash they cost, so that every buy finds
        // shares to return and the money to pay for them.
        .fresh =
            [](OrderRoadTest& t) {
                const SimMoney lot = t.quoteOf("600036").ask[0] * 100;
                t.customerBooks([&](SimCustomer& c) {
                    c.credit->cash += lot;
                    return c.credit->owed["600036"] += 100;
                });
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
