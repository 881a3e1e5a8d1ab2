#pragma once
// The order screens against the simulator: TradeTest's application with a
// trade login of customer A (or another), the order screens opened as the
// menu and the quote page open them, and readers of the brokerage's books
// (orders, holdings, money) and of the requests it received.
#include "TradeTestSupport.h"

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISegmentedControl.h"
#include "sim/SimOrders.h"
#include "trade/TradeOrderScreen.h"

class OrderTest : public TradeTest {
protected:
    void SetUp() override {
        TradeTest::SetUp();
        ASSERT_TRUE(logInToTrade(customer()));
        settle();
        sim->clearRequests();
    }
    void TearDown() override {
        UIDevice::currentDevice().setSystemVersion("4.1");
        TradeTest::TearDown();
    }
    virtual const TradeCustomer& customer() const { return kTradeCustomerA; }

    // The order screen of the menu's "买入" (0) or "卖出" (1), through the dispatcher.
    template <class Screen>
    Screen* openFromMenu(int direction) {
        VTAUIFactory::openMenuWithTradeGate(
            menu(std::string("buysale?MMLB=") + (direction == 0 ? "0" : "1"), direction == 0 ? "买入" : "卖出"));
        settle();
        return dynamic_cast<Screen*>(top());
    }
    // The order screen the quote page opens for a stock.
    template <class Screen>
    Screen* openForStock(int direction, const std::string& code, const std::string& name, int market, float price = 0) {
        auto stock = std::make_shared<VTAStock>(code, name, market);
        stock->setPrice(price);
        root->tradeWithStock(stock, direction);
        settle();
        return dynamic_cast<Screen*>(top());
    }

    // ---- what the brokerage holds ----
    template <class F>
    decltype(auto) customerBooks(F&& f) {
        return books([&](SimBooks& b) { return f(*b.customer(customer().fundId)); });
    }
    SimHolding holding(const std::string& code) {
        return customerBooks([&](SimCustomer& c) {
            for (auto& h : c.holdings)
                if (h.code == code) return h;
            return SimHolding{};
        });
    }
    SimBalance money() {
        return customerBooks([](SimCustomer& c) { return c.fundAccounts.front().balances[0]; });
    }
    std::vector<SimOrder> orders() {
        return customerBooks([](SimCustomer& c) { return c.orders; });
    }
    SimQuote quoteOf(const std::string& code) {
        return sim->market().quote(*simTradableStock(sim->market(), code), sim->clock().now());
    }
    std::vector<SimRecord> orderRequests() { return sim->requestsOf(500, 6); }
    std::vector<SimRecord> stockInfoRequests() { return sim->requestsOf(500, 4); }

    // The confirmation sheet on screen, and its "确定".
    static std::shared_ptr<UIActionSheet> sheet() {
        auto sheets = UIActionSheet::visibleSheets();
        return sheets.empty() ? nullptr : sheets.back();
    }
    // With `settleAfter` false the order is still on its way when it answers.
    bool confirm(bool settleAfter = true) {
        if (!sheet()) return false;
        bool pressed = host.pressAlertButton("确定");
        if (settleAfter) settle(0.5);
        return pressed;
    }
    // Waits for the alert of that title and presses its button.
    bool dismissAlert(const std::string& title, const std::string& button = "确定") {
        if (!alertShown(title)) return false;
        bool pressed = host.pressAlertButton(button);
        settle();
        return pressed;
    }
};
