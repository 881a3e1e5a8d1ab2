// The history over a range of days by finger: nothing asked before the
// range is confirmed, 20 rows a page with the range in every request, a new
// range from its first page again, the history of deals, and the date view
// leaving with the screen.
#include "TradeQueryTestSupport.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIWindow.h"
#include "sim/SimClock.h"
#include "trade/VTAHistoryViewController.h"

namespace {

constexpr int kHistoryOrdersItem = 208, kHistoryDealsItem = 221;

class HistoryTest : public TradeQueryTest {
protected:
    // The date view's "-" or "+" of the start (row 0) or end (row 1), pressed `times` by finger.
    void step(VTADateView& dates, int row, const std::string& sign, int times) {
        auto cell = dates.myTableView()->cellForRowAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        UIButton* button = nullptr;
        for (const auto& v : cell->contentView()->subviews())
            if (auto* b = dynamic_cast<UIButton*>(v.get()); b && b->titleForState(UIControlStateNormal) == sign)
                button = b;
        ASSERT_TRUE(button);
        for (int i = 0; i < times; ++i) {
            tapView(button);
            // The table is made anew on every step: find the button again.
            cell = dates.myTableView()->cellForRowAtIndexPath({0, row});
            for (const auto& v : cell->contentView()->subviews())
                if (auto* b = dynamic_cast<UIButton*>(v.get()); b && b->titleForState(UIControlStateNormal) == sign)
                    button = b;
        }
        settle(0.3);
    }
    static std::string rangeStart(const std::string& range) { return range.substr(8, 8); }
    static std::string rangeEnd(const std::string& range) { return range.substr(25, 8); }
    static std::string rangeStart(const VTADateView& dates) { return rangeStart(dates.getDate()); }
    static std::string rangeEnd(const VTADateView& dates) { return rangeEnd(dates.getDate()); }
    // yyyyMMdd moved by whole days.
    static std::string shiftedDay(const std::string& day, int days) {
        const int shifted = SimClock::dateOfDay(SimClock::dayNumber(std::stoi(day)) + days);
        return std::to_string(shifted);
    }
    void confirm(VTADateView& dates) {
        tapView(dates.okButton());
        settle(0.5);
    }
};

TEST_F(HistoryTest, ARangeIsAskedForTwentyRowsAPageAndANewRangeStartsAgain) {
    auto history = openItem<VTAHistoryViewController>(kHistoryOrdersItem);
    ASSERT_TRUE(history);
    VTADateView* dates = history->dateView();
    ASSERT_TRUE(dates && dates->isShown());
    // The seven days up to today, as the phone's calendar has them.
    const std::string week = dates->getDate();
    settle();
    EXPECT_TRUE(sim->requestsOf(500, 16).empty()) << "nothing before the range is confirmed";
    saveScreenshot("date-view");

    // Thirty days further back: every one of the weeks' 26 orders.
    step(*dates, 0, "-", 30);
    const std::string start = rangeStart(*dates), end = rangeEnd(*dates);
    EXPECT_EQ(start, shiftedDay(rangeStart(week), -30));
    EXPECT_EQ(end, rangeEnd(week));
    confirm(*dates);
    EXPECT_FALSE(dates->isShown());
    ASSERT_TRUE(gridShows(*history, 20));
    SimRecord sent = lastRequest(500, 16);
    EXPECT_EQ(fieldOf(sent, "strdate"), start);
    EXPECT_EQ(fieldOf(sent, "enddate"), end);
    EXPECT_EQ(fieldOf(sent, "qryflag"), "1");
    EXPECT_EQ(fieldOf(sent, "count"), "20");
    EXPECT_FALSE(hasField(sent, "poststr"));
    VTATableView* grid = history->myTableView();
    EXPECT_EQ(grid->topTitles().front(), "委托日期");
    EXPECT_EQ(grid->rowItems(0)[0], "20240304") << "newest first";
    // Sells are green, buys red.
    const int direction = columnTitled(*grid, "买卖方向");
    ASSERT_GT(direction, 0);
    for (int row = 0; row < grid->rowCount(); ++row)
        EXPECT_TRUE(isPalette(grid->rowColors(row)[size_t(direction)],
                              grid->rowItems(row)[size_t(direction)] == "卖出" ? 42 : 41));
    EXPECT_FALSE(history->pageCtrl()->nextButton()->isHidden());
    saveScreenshot("history");

    tapView(history->pageCtrl()->nextButton());
    settle(1.5);
    ASSERT_TRUE(gridShows(*history, 6));
    sent = lastRequest(500, 16);
    EXPECT_EQ(fieldOf(sent, "poststr"), "20");
    EXPECT_EQ(fieldOf(sent, "strdate"), start);
    EXPECT_TRUE(history->pageCtrl()->nextButton()->isHidden()) << "fewer than 20 rows end the list";
    EXPECT_EQ(history->myTableView()->rowItems(5)[0], "20240130");

    // "日期", a range ending a week earlier: from its first page again.
    ASSERT_TRUE(host.tapText("日期"));
    settle(0.5);
    ASSERT_TRUE(dates->isShown());
    step(*dates, 1, "-", 7);
    const std::string earlier = rangeEnd(*dates);
    EXPECT_EQ(earlier, shiftedDay(end, -7));
    confirm(*dates);
    ASSERT_TRUE(waitFor([&] { return fieldOf(lastRequest(500, 16), "enddate") == earlier; }));
    sent = lastRequest(500, 16);
    EXPECT_FALSE(hasField(sent, "poststr"));
    ASSERT_TRUE(waitFor([&] { return history->tableData() && history->myTableView()->rowCount() > 0; }));
    EXPECT_LE(history->myTableView()->rowItems(0)[0], earlier);
    EXPECT_EQ(history->pageCtrl()->pageLabel()->text(), "第1页");
    EXPECT_TRUE(history->cursorStack().empty());
}

TEST_F(HistoryTest, DealsOfTheWeekAndTheDateViewLeavesWithTheScreen) {
    auto history = openItem<VTAHistoryViewController>(kHistoryDealsItem);
    ASSERT_TRUE(history);
    EXPECT_EQ(history->title(), "历史成交");
    confirm(*history->dateView());
    ASSERT_TRUE(waitFor([&] { return history->tableData() != nullptr; }));
    VTATableView* grid = history->myTableView();
    ASSERT_GT(grid->rowCount(), 0);
    EXPECT_EQ(grid->topTitles().front(), "成交日期");
    const std::string start = rangeStart(*history->dateView());
    for (int row = 0; row < grid->rowCount(); ++row) EXPECT_GE(grid->rowItems(row)[0], start);
    EXPECT_EQ(fieldOf(lastRequest(500, 17), "strdate"), start);

    ASSERT_TRUE(host.tapText("日期"));
    settle(0.5);
    ASSERT_TRUE(history->dateView()->isShown());
    popViewControllers(1);
    settle();
    EXPECT_FALSE(history->dateView()->isShown());
    EXPECT_FALSE(history->dateView()->superview());
    EXPECT_EQ(top(), root.get());
}

}  // namespace
