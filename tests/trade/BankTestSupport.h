#pragma once
// The bank screens against the simulator: TradeTest with customer A logged in
// through the real login, the screens opened as a tap on their menu item does
// (through the trade gate), a finger for table rows, and the
// money of A's fund accounts and bank accounts as the server keeps it.
#include "TradeTestSupport.h"

#include "platform/uikit/UITableView.h"
#include "sim/SimBank.h"
#include "trade/GTPStockBankTransactionVC.h"
#include "trade/TradePickerStrip.h"

inline constexpr const char* kMainFund = "010110001234";
inline constexpr const char* kSecondFund = "010120001234";
inline constexpr const char* kThirdFund = "010130001234";

class BankTest : public TradeTest {
protected:
    void SetUp() override {
        TradeTest::SetUp();
        ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    }

    // The screen of the menu item, opened as a tap on it does.
    template <class Screen>
    Screen* open(const std::string& link, const std::string& title) {
        auto vc = VTAUIFactory::openMenuWithTradeGate(menu(link, title));
        settle();
        return dynamic_cast<Screen*>(vc.get());
    }
    // The bank-securities transfer, with A's three bindings on it.
    GTPStockBankTransactionVC* openTransfer() {
        auto* form = open<GTPStockBankTransactionVC>("jsf_yzzz", "银证转账");
        EXPECT_TRUE(form && waitFor([&] { return form->bankData().size() == 3; }));
        return form;
    }
    // The toolbar's "确定" (the form's OK).
    void pressOK() {
        ASSERT_TRUE(host.tapText("确定"));
        settle(0.5);
    }
    bool confirmSheet() {
        const bool pressed = host.pressAlertButton("确定");
        settle(0.5);
        return pressed;
    }
    void closeAlert() {
        if (auto a = topAlert()) a->dismissWithClickedButtonIndex(0, false);
        settle(0.2);
    }

    // 分 that may leave A's fund account in RMB, and what its bank account holds.
    SimMoney cashOf(const std::string& fundid) {
        return books([&](SimBooks& b) {
            return b.customer(fundid)->fundAccount(fundid)->balances[SimCurrency::kRMB].withdrawable();
        });
    }
    SimMoney bankSideOf(const std::string& fundid) {
        return books([&](SimBooks& b) {
            for (const auto& binding : b.customer(fundid)->bankBindings)
                if (binding.fundid == fundid) return binding.bankBalance;
            return SimMoney(-1);
        });
    }
    std::vector<SimBankRecord> history() {
        return sim->withRoom<SimBankRoom>([](SimBankRoom& r) { return r.history["110001234"]; });
    }
};
