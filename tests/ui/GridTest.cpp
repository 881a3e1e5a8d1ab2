#include "UITestSupport.h"

#include "ui/VTATableView.h"

namespace {
struct Recorder : VTATableViewDelegate {
    std::vector<std::string> calls;
    void tableViewClickAtIndex(VTATableView&, int i) override { calls.push_back("click " + std::to_string(i)); }
    void tableViewDoubleClickAtIndex(VTATableView&, int i) override { calls.push_back("double " + std::to_string(i)); }
};
using Calls = std::vector<std::string>;
}  // namespace

class GridTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        grid = std::make_shared<VTATableView>(CGRectMake(0, 20, 320, 300));
        window->addSubview(grid);
        grid->setDelegate(&rec);
        auto white = UIColor::whiteColor();
        auto red = UIColor::redColor();
        grid->appendTopTitles({"证券名称", "委托价格", "委托数量", "成交数量", "委托时间", "状态说明"},
                              {white, white, white, white, white, white});
        for (int i = 0; i < 20; ++i)
            grid->appendRowItems({"平安银行" + std::to_string(i), "10.25", "1000", "0", "09:35:12", "未成交"},
                                 {red, red, red, red, red, red});
    }
    // Taps the middle of a body cell as currently scrolled.
    void tapRow(int row, int column = 1) {
        run(0.5);  // a new gesture, not the next tap of the previous one
        CGRect r = grid->rectForRow(row, column);
        app().tapAt(onScreen(*grid, CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r))));
    }
    void doubleTapRow(int row, int column = 1) {
        run(0.5);
        CGRect r = grid->rectForRow(row, column);
        app().doubleTapAt(onScreen(*grid, CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r))));
    }
    Recorder rec;
    std::shared_ptr<VTATableView> grid;
};

TEST_F(GridTest, SingleTapSelectsAndReportsTheRow) {
    grid->loadData();
    EXPECT_EQ(grid->getSelectedIndex(), 0) << "0 until a row is tapped";
    tapRow(3);
    EXPECT_EQ(grid->getSelectedIndex(), 3);
    EXPECT_EQ(rec.calls, (Calls{"click 3"}));
    tapRow(0, 0);  // the fixed first column also selects
    EXPECT_EQ(rec.calls.back(), "click 0");
}

TEST_F(GridTest, TapOnTheTitleRowOrBelowTheLastRowReportsNothing) {
    grid->loadData();
    app().tapAt(onScreen(*grid, CGPointMake(100, 10)));
    EXPECT_TRUE(rec.calls.empty());
    auto small = std::make_shared<VTATableView>(CGRectMake(0, 0, 320, 400));
    window->addSubview(small);
    small->setDelegate(&rec);
    small->appendTopTitles({"a", "b"}, {});
    small->appendRowItems({"1", "2"}, {});
    small->loadData();
    app().tapAt(onScreen(*small, CGPointMake(100, 300)));
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(GridTest, DoubleTapReportsTheDoubleClickAfterTheFirstTap) {
    grid->loadData();
    doubleTapRow(2);
    EXPECT_EQ(rec.calls, (Calls{"click 2", "double 2"}));
    EXPECT_EQ(grid->getSelectedIndex(), 2);
}

TEST_F(GridTest, RowsScrolledIntoViewAreHitAtTheirNewPlace) {
    grid->loadData();
    grid->scrollView()->setContentOffset(CGPointMake(100, 5 * VTATableView::kRowHeight));
    tapRow(7);
    EXPECT_EQ(rec.calls, (Calls{"click 7"}));
    tapRow(8, 0);  // the first column stays put horizontally
    EXPECT_EQ(rec.calls.back(), "click 8");
}

TEST_F(GridTest, DoubleTapTogglesEnabledRadioButtonsOnly) {
    grid->setSupportsMutiSelect(true);
    std::vector<std::shared_ptr<VTARadioButton>> buttons;
    for (int i = 0; i < 20; ++i) {
        auto b = std::make_shared<VTARadioButton>(CGRectMake(0, 0, 30, 37));
        b->setEnable(i != 1);
        buttons.push_back(b);
        grid->appendMutiButton(b);
    }
    grid->loadData();
    ASSERT_TRUE(grid->getMutiSelectedIndex().has_value());
    EXPECT_TRUE(grid->getMutiSelectedIndex()->empty());

    tapRow(0);
    EXPECT_FALSE(buttons[0]->isSeclected()) << "a single tap never toggles";
    doubleTapRow(0);
    EXPECT_TRUE(buttons[0]->isSeclected());
    doubleTapRow(1);
    EXPECT_FALSE(buttons[1]->isSeclected()) << "disabled buttons never toggle";
    EXPECT_EQ(rec.calls.back(), "double 1") << "the delegate still hears the double tap";
    doubleTapRow(4);
    EXPECT_EQ(*grid->getMutiSelectedIndex(), (std::vector<int>{0, 4}));
    doubleTapRow(0);
    EXPECT_EQ(*grid->getMutiSelectedIndex(), (std::vector<int>{4}));

    buttons[1]->setEnable(true);
    doubleTapRow(1);
    EXPECT_TRUE(buttons[1]->isSeclected());
    saveScreenshot(*grid, "grid-radio");
}

TEST_F(GridTest, MultiSelectOffAnswersNil) {
    grid->loadData();
    EXPECT_FALSE(grid->getMutiSelectedIndex().has_value());
}

TEST_F(GridTest, PageBarSitsBelowTheGridAndKeepsItsTaps) {
    auto bar = std::make_shared<VTAPageCtr>(CGRectMake(0, 0, 320, 44));
    grid->setMyTablePageCtrl(bar);
    grid->loadData();
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->scrollView()->frame().size.height, 300 - 44);
    EXPECT_EQ(bar->frame(), CGRectMake(0, 256, 320, 44));
    saveScreenshot(*grid, "grid");
}
