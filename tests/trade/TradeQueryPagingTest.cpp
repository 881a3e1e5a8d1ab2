// Every paged trade list walked by finger three pages forward and back again:
// each page asks with the cursor of the page before it, never shows a row of
// another page, and the pages seen going back are the pages seen going forward.
#include "TradeQueryTestSupport.h"
#include "tests/support/SimOrders.h"

#include "platform/uikit/UIButton.h"
#include "trade/VTAHistoryViewController.h"

namespace {

constexpr int kTodayOrders = 45;  // four pages of 12, and some
constexpr int kPastOrders = 70;   // four pages of 20 (the history's), and some

class TradeQueryPagingTest : public TradeQueryTest {
protected:
    void SetUp() override {
        TradeQueryTest::SetUp();
        books([](SimBooks& b) {
            SimCustomer& a = *b.customer(kTradeCustomerA.fundId);
            auto order = [&](int date, int i) {
                return pingAnOrderOfA(b, a.mainFundAccount().fundid, "0B", 1000, 100 * (i + 1), date, 93000 + i);
            };
            auto deal = [](const SimOrder& o) {
                return SimDeal{o.ordersno, o.date, o.time, o.price, o.quantity, o.quantity * o.price / 10};
            };
            for (int i = 0; i < kTodayOrders; ++i) {
                a.orders.push_back(order(20240305, i));
                a.deals.push_back(deal(a.orders.back()));
            }
            for (int i = 0; i < kPastOrders; ++i) {
                a.pastOrders.push_back(order(20240301 + i / 30, i));
                a.pastOrders.back().status = SimOrderStatus::Filled;
                a.pastDeals.push_back(deal(a.pastOrders.back()));
            }
            for (int i = 0; i < kTodayOrders; ++i)
                a.holdings.push_back(
                    {"0010001234", "0", "00" + std::to_string(2100 + i), "股票" + std::to_string(i), 100, 100, 5000});
            return 0;
        });
    }

    // The rows of the page on screen, each as one text.
    static std::vector<std::string> rowsShown(VTATradeQueryViewController& list) {
        std::vector<std::string> rows;
        VTATableView* grid = list.myTableView();
        for (int row = 0; grid && row < grid->rowCount(); ++row) {
            std::string text;
            for (const auto& item : grid->rowItems(row)) text += item + "|";
            rows.push_back(text);
        }
        return rows;
    }
    // The page the list shows once the answer for page `index` (0 the first) is in.
    std::vector<std::string> pageAt(VTATradeQueryViewController& list, size_t index) {
        EXPECT_TRUE(waitFor([&] {
            return list.cursorStack().size() == index && !list.hasRequestInFlight() && list.myTableView() &&
                   list.myTableView()->rowCount() > 0;
        })) << "page "
            << index + 1;
        return rowsShown(list);
    }
    void press(UIButton* button) {
        ASSERT_FALSE(button->isHidden());
        tapView(button);
        settle(1.5);  // the page curl
    }
    // Three pages forward, then back to the first; every request names the
    // cursor of the last row before the page it asks for.
    void walk(VTATradeQueryViewController& list, int main, int sub, int pageSize) {
        std::vector<std::vector<std::string>> forward{pageAt(list, 0)};
        ASSERT_EQ(forward[0].size(), size_t(pageSize));
        std::set<std::string> seen(forward[0].begin(), forward[0].end());
        for (size_t page = 1; page <= 3; ++page) {
            press(list.pageCtrl()->nextButton());
            forward.push_back(pageAt(list, page));
            EXPECT_EQ(fieldOf(sim->requestsOf(main, sub).back(), "poststr"), std::to_string(page * pageSize));
            EXPECT_EQ(list.pageCtrl()->pageLabel()->text(), "第" + std::to_string(page + 1) + "页");
            for (const auto& row : forward.back()) EXPECT_TRUE(seen.insert(row).second) << "on two pages: " << row;
        }
        for (size_t page = 3; page-- > 0;) {
            press(list.pageCtrl()->previousButton());
            EXPECT_EQ(pageAt(list, page), forward[page]) << "page " << page + 1;
            const SimRecord sent = sim->requestsOf(main, sub).back();
            if (page == 0)
                EXPECT_FALSE(hasField(sent, "poststr"));
            else
                EXPECT_EQ(fieldOf(sent, "poststr"), std::to_string(page * pageSize));
        }
        EXPECT_TRUE(list.pageCtrl()->previousButton()->isHidden());
    }
};

TEST_F(TradeQueryPagingTest, EveryListOfTheDayPagesThreeForwardAndBackToTheSameRows) {
    struct List {
        int item, main, sub;
    };
    for (const List& l : std::vector<List>{{203, 500, 15}, {204, 500, 13}, {206, 500, 10}, {220, 500, 14}}) {
        SCOPED_TRACE(l.item);
        auto list = openItem(l.item);
        ASSERT_TRUE(list);
        walk(*list, l.main, l.sub, VTATradeQueryViewController::kPageSize);
        popViewControllers(1);
        settle();
    }
}

TEST_F(TradeQueryPagingTest, TheHistoriesPageThreeForwardAndBackWithinTheirRange) {
    for (const int item : {208, 221}) {
        SCOPED_TRACE(item);
        auto history = openItem<VTAHistoryViewController>(item);
        ASSERT_TRUE(history && history->dateView());
        tapView(history->dateView()->okButton());
        settle(0.5);
        walk(*history, 500, item == 208 ? 16 : 17, 20);
        // The range confirmed goes with every page.
        const auto sent = sim->requestsOf(500, item == 208 ? 16 : 17);
        for (const auto& page : sent) {
            EXPECT_EQ(fieldOf(page, "strdate"), fieldOf(sent.front(), "strdate"));
            EXPECT_EQ(fieldOf(page, "enddate"), fieldOf(sent.front(), "enddate"));
        }
        popViewControllers(1);
        settle();
    }
}

}  // namespace
