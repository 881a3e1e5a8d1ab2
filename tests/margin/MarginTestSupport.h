#pragma once
// The margin screens against the simulator: the order tests' application
// with a trade login of customer A (OrderTest), the margin folder's screens
// registered, the screens opened through the menu's links (the "rzrq_rzmr"
// links, or the simulator's own items), the fingers of the margin lists, and
// readers of the customer's credit account.
#include "tests/trade/OrderTestSupport.h"

#include "margin/MarginScreens.h"
#include "sim/SimMargin.h"
#include "sim/SimMenu.h"
#include "trade/VTATradeQueryViewController.h"
#include "ui/VTATableView.h"

class MarginTest : public OrderTest {
protected:
    void SetUp() override {
        OrderTest::SetUp();
        registerMarginScreens(ScreenRegistry::shared());
    }

    // The screen of the menu's 融资买入 (credit flag 0) or 融券卖出 (1), through the dispatcher.
    template <class Screen>
    Screen* openMargin(int creditFlag) {
        VTAUIFactory::openMenuWithTradeGate(
            menu("rzrq_rzmr?creditflag=" + std::to_string(creditFlag), creditFlag == 0 ? "融资买入" : "融券卖出"));
        settle();
        return dynamic_cast<Screen*>(top());
    }

    void tapRow(VTATableView& grid, int row) { tapGridRow(grid, row); }
    // The grid's text in the row under the column titled so ("" when none).
    static std::string cellText(const VTATableView& grid, int row, const std::string& title) {
        const auto& titles = grid.topTitles();
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == title && row < grid.rowCount()) return grid.rowItems(row).at(i);
        return "";
    }

    int64_t positionOf(const std::string& code) {
        SimCreditAccount account = credit();
        const SimHolding* p = account.position(code);
        return p ? p->quantity : 0;
    }
    // What the deals of an order amounted to (分).
    SimMoney dealsAmount(int64_t ordersno) {
        return customerBooks([&](SimCustomer& c) {
            SimMoney sum = 0;
            for (const auto& d : c.deals)
                if (d.ordersno == ordersno) sum += d.amount;
            return sum;
        });
    }
    int64_t owedOf(const std::string& code) {
        SimCreditAccount account = credit();
        auto it = account.owed.find(code);
        return it == account.owed.end() ? 0 : it->second;
    }
    std::vector<SimRecord> maxRequests() { return sim->requestsOf(500, 4); }
    // The key the menu link's flag arrives under, the link being appended whole.
    static constexpr const char* kLinkFlagKey = "rzrq_rzmr?creditflag";
};
