// The roads that change the brokerage's books, each as the customer takes it.
#include "OrderRoadTestSupport.h"

#include "core/contracts/BankContract.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimBank.h"
#include "trade/BankTransferRules.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/TradeViewController.h"
#include "funds/VTAJJBuySaleViewController.h"

namespace {

constexpr const char* kMainFund = "010110001234";

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
            auto vc = VTAUIFactory::openMenuWithTradeGate(menu("jsf_yzzz", "银证转账"));
            t.settle();
            auto* form = dynamic_cast<GTPStockBankTransactionVC*>(vc.get());
            if (!form || !t.waitFor([&] { return form->bankData().size() == 3; })) return nullptr;
            return form;
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
            [](OrderRoadTest& t) {
                return t.books([](SimBooks& b) {
                    for (const auto& binding : b.customer(kMainFund)->bankBindings)
                        if (binding.fundid == kMainFund) return (10000000 - binding.bankBalance) / 100000;
                    return SimMoney(-1);
                });
            },
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

    return roads;
}
