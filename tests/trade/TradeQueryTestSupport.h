#pragma once
// The trade menu's query screens against the simulator: customer A logged in
// through the real login, the quote screens registered (a holding opens its
// quote page), and the screens opened from the simulator's own menu items.
#include "TradeTestSupport.h"

#include "core/VTAMenu.h"
#include "platform/graphics/UIColor.h"
#include "quotes/QuoteScreens.h"
#include "shell/VTAUIFactory.h"
#include "trade/VTATradeQueryViewController.h"
#include "ui/Palette.h"
#include "ui/VTATableView.h"

class TradeQueryTest : public TradeTest {
protected:
    void SetUp() override {
        TradeTest::SetUp();
        registerQuoteScreens(ScreenRegistry::shared());
        ASSERT_TRUE(logInToTrade());
    }

    // The screen of the simulator's menu item, opened as the menu opens it.
    template <class Screen = VTATradeQueryViewController>
    std::shared_ptr<Screen> openItem(int id) {
        const SimMenuItem* item = sim->registry().menu().find(id);
        EXPECT_TRUE(item) << id;
        if (!item) return nullptr;
        auto vc = VTAUIFactory::tradeViewControllerWithLink(item->link, item->title);
        auto screen = std::dynamic_pointer_cast<Screen>(vc);
        EXPECT_TRUE(screen) << item->link;
        if (!screen) return nullptr;
        pushViewController(screen);
        settle();
        return screen;
    }
    // Waits for the list's grid to show `rows` rows.
    bool gridShows(VTATradeQueryViewController& list, int rows) {
        return waitFor([&] { return list.myTableView() && list.myTableView()->rowCount() == rows; });
    }
    // A row of the grid touched by a finger (once, or twice for a double tap).
    void tapRow(VTATableView& grid, int row, bool twice = false) {
        grid.window()->layoutIfNeeded();
        CGRect r = grid.convertRectToView(grid.rectForRow(row, 0), nullptr);
        const double x = CGRectGetMidX(r), y = CGRectGetMidY(r);
        if (twice)
            host.doubleTap(x, y);
        else
            host.tap(x, y);
        settle(0.5);
    }
    static bool sameColor(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
        return a && b && a->red() == b->red() && a->green() == b->green() && a->blue() == b->blue();
    }
    static bool isPalette(const std::shared_ptr<UIColor>& c, int index) { return sameColor(c, colorWithIndex(index)); }
    // The fields of the last request of the function the server received.
    SimRecord lastRequest(int main, int sub) {
        auto all = sim->requestsOf(main, sub);
        return all.empty() ? SimRecord{} : all.back();
    }
    static bool hasField(const SimRecord& r, const std::string& key) {
        for (const auto& f : r.fields)
            if (f.key == key) return true;
        return false;
    }
    // The column of the grid titled `title` (-1 when none).
    static int columnTitled(const VTATableView& grid, const std::string& title) {
        const auto& titles = grid.topTitles();
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == title) return int(i);
        return -1;
    }
};
