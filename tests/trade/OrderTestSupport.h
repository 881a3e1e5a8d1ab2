#pragma once
// The order screens against the simulator: TradeTest's application with a
// trade login of customer A (or another), the order screens opened as the
// menu and the quote page open them, the fingers of the newer order form
// (the stock order screen's and the margin order screen's), and readers of
// the brokerage's books (orders, holdings, money) and of the requests it
// received.
#include "TradeTestSupport.h"

#include <cstdlib>

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UITextField.h"
#include "sim/SimMenu.h"
#include "sim/SimOrders.h"
#include "trade/TradeOrderScreen.h"
#include "trade/TradeQuotesPanel.h"
#include "trade/TradeViewController.h"
#include "trade/VTATradeQueryViewController.h"
#include "ui/UIGlossyButton.h"
#include "ui/VTATableView.h"
#include "ui/YMPickerButton.h"

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
    SimCreditAccount credit() {
        return customerBooks([](SimCustomer& c) { return c.credit.value_or(SimCreditAccount{}); });
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
    // ---- the newer order screen's form (TradeViewController and its margin twin) ----
    // Types a code as the customer does; the sixth character asks for the stock.
    void typeCode(TradeViewController* vc, const std::string& code) {
        tapView(vc->codeField());
        ASSERT_TRUE(host.type(code));
        ASSERT_TRUE(waitFor([&] {
            return vc->isStockInfoBack() && vc->currentStock() && vc->currentStock()->code() == code;
        })) << code;
        settle(0.5);
    }
    // Clears the price field and types the price.
    void typePrice(TradeViewController* vc, const std::string& price) {
        tapView(vc->priceField());
        for (size_t n = vc->priceField()->text().size(); n > 0; --n) host.key("backspace");
        ASSERT_TRUE(host.type(price));
        host.tapText("完成");
        settle(0.5);
    }
    void typeQuantity(TradeViewController* vc, const std::string& qty) {
        tapView(vc->quantityField());
        ASSERT_TRUE(host.type(qty));
        host.tapText("完成");
        settle(0.5);
    }
    // Picks a row of an input's picker as a finger does: its button, the row, "完成".
    void pickInput(YMPickerButton* button, UIPickerView* picker, int row) {
        tapView(button);
        ASSERT_TRUE(picker->window()) << "the picker takes the keyboard's place";
        pickRow(picker, row);
        ASSERT_TRUE(host.tapText("完成"));
        settle(0.5);
    }
    void tapShortcut(TradeViewController* vc, int segment) { tapSegment(vc->segmentedControl(), segment); }
    // The order goes out: the button, the confirmation sheet's "确定" (and, unless
    // `inFlight`, the brokerage's answer).
    void placeOrder(TradeViewController* vc, bool inFlight = false) {
        tapView(vc->tradeButton());
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm(!inFlight));
    }
    int intradayRequests() { return static_cast<int>(sim->requestsOf(31000, 1).size()); }
    // A mark of what the client has sent so far (its package numbers). A
    // request cancelled in flight may still reach the server at any later
    // moment, so what a screen asks from a point on is counted by the
    // requests it sent after the mark, not by the server's arrivals.
    static int64_t sentMark() { return NetworkManager::manager().packageId(); }
    int intradayRequestsSince(int64_t mark) {
        int n = 0;
        for (const auto& r : sim->requestsOf(31000, 1))
            if (std::strtoll(r.packageId.c_str(), nullptr, 10) > mark) ++n;
        return n;
    }
    // The open quote panel asks for the intraday data every 2 seconds, at any time of day.
    void expectRefreshEveryTwoSeconds() {
        const int64_t mark = sentMark();
        settle(2);
        ASSERT_TRUE(waitFor([&] { return intradayRequestsSince(mark) >= 1; }));
        settle(4);
        ASSERT_TRUE(waitFor([&] { return intradayRequestsSince(mark) >= 3; }));
    }
    // Nothing is asked in the next 10 seconds (what the client sends is
    // waited for before virtual time goes on, so all of it has arrived by then).
    void expectNoRefresh() {
        settle(1);
        const int64_t mark = sentMark();
        settle(10);
        EXPECT_EQ(sentMark(), mark);
    }
    // A swipe of the open panel to its chart page: the pager snaps there and the dots follow.
    void swipeToChart(TradeViewController* vc) {
        UIScrollView* pager = vc->quotesPanel().scrollView();
        ASSERT_TRUE(pager);
        CGRect p = pager->convertRectToView(pager->bounds(), nullptr);
        host.drag(p.origin.x + 250, p.origin.y + 90, p.origin.x + 40, p.origin.y + 90, 12);
        settle(1);
        EXPECT_EQ(pager->contentOffset().x, 300);
        EXPECT_EQ(vc->quotesPanel().pageControl()->currentPage(), 1);
    }

    // The screen of the simulator's menu item, opened as the menu opens it.
    template <class Screen>
    Screen* openItem(int id) {
        const SimMenuItem* item = sim->registry().menu().find(id);
        EXPECT_TRUE(item) << id;
        if (!item) return nullptr;
        VTAUIFactory::openMenuWithTradeGate(menu(item->link, item->title, item->id, item->parent));
        settle();
        return dynamic_cast<Screen*>(top());
    }
    // Waits for the list's grid to show `rows` rows.
    bool gridShows(VTATradeQueryViewController& list, int rows) {
        return waitFor([&] { return list.myTableView() && list.myTableView()->rowCount() == rows; });
    }
    // A row of the grid touched by a finger.
    void tapGridRow(VTATableView& grid, int row) {
        grid.window()->layoutIfNeeded();
        CGRect r = grid.convertRectToView(grid.rectForRow(row, 0), nullptr);
        host.tap(CGRectGetMidX(r), CGRectGetMidY(r));
        settle(0.5);
    }

    // Waits for the alert of that title and presses its button.
    bool dismissAlert(const std::string& title, const std::string& button = "确定") {
        if (!alertShown(title)) return false;
        bool pressed = host.pressAlertButton(button);
        settle();
        return pressed;
    }
};
