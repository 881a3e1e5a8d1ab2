#include "UIKitTestSupport.h"

#include "platform/uikit/UITableView.h"

#include <algorithm>

namespace {
class Rows : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<std::vector<std::string>> data;
    std::vector<std::string> headers;
    int cellRequests = 0;
    int created = 0;
    std::vector<NSIndexPath> selected;
    std::vector<NSIndexPath> committed;
    std::vector<std::pair<NSIndexPath, NSIndexPath>> moves;
    bool editable = true;
    std::vector<std::string> scrollLog;

    int numberOfSectionsInTableView(UITableView&) override { return static_cast<int>(data.size()); }
    int tableViewNumberOfRowsInSection(UITableView&, int s) override { return static_cast<int>(data.at(s).size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        ++cellRequests;
        auto cell = t.dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            ++created;
            cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "row");
        }
        cell->textLabel()->setText(data[ip.section][ip.row]);
        return cell;
    }
    std::string tableViewTitleForHeaderInSection(UITableView&, int s) override {
        return s < static_cast<int>(headers.size()) ? headers[s] : "";
    }
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return editable; }
    bool tableViewCanMoveRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewCommitEditingStyle(UITableView& t, UITableViewCellEditingStyle, const NSIndexPath& ip) override {
        committed.push_back(ip);
        data[ip.section].erase(data[ip.section].begin() + ip.row);
        t.deleteRowsAtIndexPaths({ip}, UITableViewRowAnimation::Fade);
    }
    void tableViewMoveRowAtIndexPath(UITableView&, const NSIndexPath& from, const NSIndexPath& to) override {
        moves.push_back({from, to});
        auto v = data[from.section][from.row];
        data[from.section].erase(data[from.section].begin() + from.row);
        data[to.section].insert(data[to.section].begin() + to.row, v);
    }
    void tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) override { selected.push_back(ip); }
    void scrollViewWillBeginDragging(UIScrollView&) override { scrollLog.push_back("willDrag"); }
    void scrollViewDidEndDragging(UIScrollView&, bool d) override {
        scrollLog.push_back(d ? "endDrag+decel" : "endDrag");
    }
    void scrollViewDidEndDecelerating(UIScrollView&) override { scrollLog.push_back("endDecel"); }
};

std::vector<std::string> numbered(int n, const std::string& prefix) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) v.push_back(prefix + std::to_string(i));
    return v;
}
}  // namespace

class TableTest : public UIKitTest {
protected:
    void make(UITableViewStyle style = UITableViewStyle::Plain) {
        table = std::make_shared<UITableView>(CGRectMake(0, 64, 320, 416), style);
        table->setDataSource(&rows);
        table->setDelegate(&rows);
        window->addSubview(table);
        window->layoutIfNeeded();
    }
    CGPoint rowCenter(int row, int section = 0) {
        CGRect r = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(row, section));
        return table->convertPointToView(CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r)), nullptr);
    }
    void TearDown() override {
        if (table) {
            table->setDelegate(nullptr);
            table->setDataSource(nullptr);
        }
        UIKitTest::TearDown();
    }
    Rows rows;
    std::shared_ptr<UITableView> table;
};

TEST_F(TableTest, OnlyRowsOnScreenHaveCellsAndCellsAreReused) {
    rows.data = {numbered(100, "行")};
    make();
    EXPECT_EQ(table->numberOfRowsInSection(0), 100);
    EXPECT_EQ(table->contentSize().height, 4400);
    EXPECT_EQ(table->visibleCells().size(), 10u);  // 416 / 44
    EXPECT_NE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(9, 0)), nullptr);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(10, 0)), nullptr);
    int createdBefore = rows.created;
    table->setContentOffset(CGPointMake(0, 2000));
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(50, 0))->textLabel()->text(), "行50");
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)), nullptr);
    EXPECT_LE(rows.created, createdBefore + 1) << "rows that left were reused";
    EXPECT_EQ(table->visibleCells().size(), 10u);
}

TEST_F(TableTest, ATapSelectsTheRowButADragDoesNot) {
    rows.data = {numbered(40, "r")};
    make();
    app().tapAt(rowCenter(3));
    ASSERT_EQ(rows.selected.size(), 1u);
    EXPECT_EQ(rows.selected[0], NSIndexPath::indexPathForRow(3, 0));
    EXPECT_EQ(table->indexPathForSelectedRow(), NSIndexPath::indexPathForRow(3, 0));
    EXPECT_TRUE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0))->isSelected());
    table->deselectRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0), true);
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());

    app().dragFrom(rowCenter(5), CGPointMake(rowCenter(5).x, rowCenter(5).y - 150), 0.5, 10);
    EXPECT_EQ(rows.selected.size(), 1u);
    EXPECT_GT(table->contentOffset().y, 100);
    EXPECT_FALSE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(5, 0))->isHighlighted());
    EXPECT_EQ(rows.scrollLog.front(), "willDrag");
}

// A reload while a finger rests on a row: the row keeps the touch (its new
// cell highlighted, lifting the finger taps it) while the table keeps its
// shape; a reload that changes the rows ends the touch, and nothing is tapped.
// The touched cell never serves as another row meanwhile.
TEST_F(TableTest, AReloadUnderAFingerKeepsTheTouchedRowOrEndsTheTouch) {
    struct Case {
        const char* name;
        std::vector<std::string> after;
        bool tapped;
    };
    for (const Case& c :
         {Case{"same rows, new texts", numbered(40, "新"), true}, Case{"a row fewer", numbered(39, "r"), false}}) {
        SCOPED_TRACE(c.name);
        rows = Rows();
        rows.data = {numbered(40, "r")};
        make();
        const NSIndexPath third = NSIndexPath::indexPathForRow(2, 0);
        auto touched = table->cellForRowAtIndexPath(third);
        app().touchesBeganAt({rowCenter(2)});
        EXPECT_TRUE(touched->isHighlighted());
        rows.data = {c.after};
        table->reloadData();
        for (const auto& cell : table->visibleCells())
            EXPECT_NE(cell.get(), touched.get()) << "not reused as another row";
        auto now = table->cellForRowAtIndexPath(third);
        ASSERT_TRUE(now);
        EXPECT_EQ(now->isHighlighted(), c.tapped);
        app().touchesEndedAt({rowCenter(2)});
        EXPECT_EQ(rows.selected, c.tapped ? std::vector<NSIndexPath>{third} : std::vector<NSIndexPath>{});
        EXPECT_EQ(table->indexPathForSelectedRow().has_value(), c.tapped);
        table->removeFromSuperview();
    }
}

TEST_F(TableTest, SwipeShowsDeleteAndItsTapDeletesTheRow) {
    rows.data = {numbered(5, "股票")};
    make();
    CGPoint c = rowCenter(1);
    app().dragFrom(CGPointMake(c.x + 80, c.y), CGPointMake(c.x - 60, c.y), 0.2, 6);
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0));
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    UIView* del = cell->deleteConfirmationButton();
    ASSERT_NE(del, nullptr);
    EXPECT_EQ(del->accessibilityText(), "删除");
    EXPECT_TRUE(rows.selected.empty());
    tap(*del);
    ASSERT_EQ(rows.committed.size(), 1u);
    EXPECT_EQ(rows.committed[0], NSIndexPath::indexPathForRow(1, 0));
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0))->textLabel()->text(), "股票2");

    // A swipe on a row that cannot be edited shows nothing; a tap elsewhere hides a shown button.
    rows.editable = false;
    c = rowCenter(0);
    app().dragFrom(CGPointMake(c.x + 80, c.y), CGPointMake(c.x - 60, c.y), 0.2, 6);
    EXPECT_FALSE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0))->showingDeleteConfirmation());
}

TEST_F(TableTest, EditingModeDeletesAndReorders) {
    rows.data = {{"甲", "乙", "丙", "丁"}};
    make();
    table->setEditing(true, true);
    window->layoutIfNeeded();
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    ASSERT_NE(cell->editingControl(), nullptr);
    ASSERT_NE(cell->reorderControl(), nullptr);
    // Tapping a row in editing mode does not select it.
    app().tapAt(rowCenter(2));
    EXPECT_TRUE(rows.selected.empty());
    // Drag the first row's grip down over the third row.
    CGPoint grip = centerOnScreen(*cell->reorderControl());
    app().dragFrom(grip, CGPointMake(grip.x, grip.y + 90), 0.3, 8);
    ASSERT_EQ(rows.moves.size(), 1u);
    EXPECT_EQ(rows.moves[0].first, NSIndexPath::indexPathForRow(0, 0));
    EXPECT_EQ(rows.moves[0].second, NSIndexPath::indexPathForRow(2, 0));
    EXPECT_EQ(rows.data[0], (std::vector<std::string>{"乙", "丙", "甲", "丁"}));
    EXPECT_EQ(table->contentOffset().y, 0) << "the drag moved the row, not the list";
    // The delete control asks for confirmation first.
    cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(3, 0));
    tap(*cell->editingControl());
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    tap(*cell->deleteConfirmationButton());
    EXPECT_EQ(rows.data[0], (std::vector<std::string>{"乙", "丙", "甲"}));
}

// A plain list's section title sits whole inside its bar, Chinese included.
TEST_F(TableTest, PlainSectionTitlesFitTheirBar) {
    rows.data = {{}, {"a", "b"}};
    rows.headers = {"", "排行榜"};
    make();
    UIView* header = table->headerViewForSection(1);
    ASSERT_TRUE(header);
    auto img = saveScreenshot(*header, "plain-header");
    ASSERT_TRUE(img);
    // The title is white on a grey bar: its rows of white ink.
    int top = img->pixelHeight(), bottom = -1;
    for (int y = 0; y < img->pixelHeight(); ++y)
        for (int x = 0; x < img->pixelWidth(); ++x) {
            uint32_t p = img->pixelAt(x, y);
            if (red(p) > 240 && green(p) > 240 && blue(p) > 240) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(bottom, 0) << "the title is drawn";
    EXPECT_GE(top, 6) << "a margin at the top";
    EXPECT_LE(bottom, img->pixelHeight() - 6) << "a margin at the bottom";
    EXPECT_NEAR(top, img->pixelHeight() - 1 - bottom, 6) << "centred";
}

TEST_F(TableTest, GroupedSectionsHaveTitlesAndInsetRows) {
    rows.data = {{"a", "b"}, {"c"}};
    rows.headers = {"账户", ""};
    make(UITableViewStyle::Grouped);
    CGRect r0 = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    EXPECT_EQ(r0.origin.x, 9);
    EXPECT_EQ(r0.size.width, 302);
    EXPECT_GT(r0.origin.y, 20) << "below the title";
    ASSERT_NE(table->headerViewForSection(0), nullptr);
    EXPECT_EQ(table->headerViewForSection(0)->accessibilityText(), "账户");
    EXPECT_EQ(table->headerViewForSection(1), nullptr);
    CGRect r2 = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 1));
    EXPECT_GE(r2.origin.y, CGRectGetMaxY(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0))) + 20);
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(5, 1)), CGRectZero);
    auto img = window->renderScreenToImage(2);
    ASSERT_TRUE(img);
    saveScreenshot(img, "grouped-table");
}

TEST_F(TableTest, FlingDeceleratesAndTheTopBouncesBack) {
    rows.data = {numbered(200, "r")};
    make();
    // A quick flick upwards: the list keeps moving after the finger lifts.
    CGPoint c = rowCenter(6);
    app().dragFrom(c, CGPointMake(c.x, c.y - 120), 0.08, 4);
    double atLift = table->contentOffset().y;
    EXPECT_TRUE(table->isDecelerating());
    run(3);
    EXPECT_GT(table->contentOffset().y, atLift + 50);
    EXPECT_FALSE(table->isDecelerating());
    EXPECT_EQ(rows.scrollLog, (std::vector<std::string>{"willDrag", "endDrag+decel", "endDecel"}));
    // Pulled down past the top, it returns to the top.
    table->setContentOffset(CGPointZero);
    c = rowCenter(2);
    app().dragFrom(c, CGPointMake(c.x, c.y + 100), 1.0, 10);
    EXPECT_LT(table->contentOffset().y, 0);
    run(1);
    EXPECT_EQ(table->contentOffset().y, 0);
}

TEST_F(UIKitTest, PagingScrollViewSettlesOnPages) {
    struct Log : UIScrollViewDelegate {
        int ended = 0;
        void scrollViewDidEndDecelerating(UIScrollView&) override { ++ended; }
    } log;
    auto sv = std::make_shared<UIScrollView>(CGRectMake(0, 100, 300, 192));
    sv->setContentSize(CGSizeMake(900, 192));
    sv->setPagingEnabled(true);
    sv->setDelegate(&log);
    window->addSubview(sv);
    // A slow drag of less than half a page returns.
    app().dragFrom(CGPointMake(250, 200), CGPointMake(150, 200), 1.0, 10);
    run(1);
    EXPECT_EQ(sv->contentOffset().x, 0);
    // A quick flick goes one page on.
    app().dragFrom(CGPointMake(250, 200), CGPointMake(190, 200), 0.06, 3);
    run(1);
    EXPECT_EQ(sv->contentOffset().x, 300);
    EXPECT_EQ(log.ended, 2) << "the return to page 0 and the move to page 1";
    // A long slow drag past the middle goes on too, but never past the end.
    app().dragFrom(CGPointMake(290, 200), CGPointMake(10, 200), 2.0, 20);
    run(1);
    EXPECT_EQ(sv->contentOffset().x, 600);
    app().dragFrom(CGPointMake(290, 200), CGPointMake(10, 200), 2.0, 20);
    run(1);
    EXPECT_EQ(sv->contentOffset().x, 600);
    sv->setDelegate(nullptr);
}

namespace {
class Sized : public Rows {
public:
    std::shared_ptr<UIView> header = std::make_shared<UIView>(CGRectMake(0, 0, 320, 38));
    int reloads = 0;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) override {
        return ip.row == 0 ? 84 : 42;
    }
    std::shared_ptr<UIView> tableViewViewForHeaderInSection(UITableView&, int s) override {
        return s == 0 ? header : nullptr;
    }
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override { scrollLog.push_back("endAnim"); }
};
}  // namespace

TEST_F(UIKitTest, RowHeightsHeaderViewsReloadAndScrolling) {
    Sized rows;
    rows.data = {numbered(30, "m")};
    auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 416));
    table->setDataSource(&rows);
    table->setDelegate(&rows);
    window->addSubview(table);
    window->layoutIfNeeded();
    EXPECT_EQ(table->rectForHeaderInSection(0).size.height, 38);
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)), CGRectMake(0, 38, 320, 84));
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)).origin.y, 122);
    EXPECT_EQ(rows.header->superview(), table.get());
    // Reloading one row asks for that row's cell again.
    int before = rows.cellRequests;
    rows.data[0][1] = "changed";
    table->reloadRowsAtIndexPaths({NSIndexPath::indexPathForRow(1, 0)}, UITableViewRowAnimation::None);
    EXPECT_EQ(rows.cellRequests, before + 1);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0))->textLabel()->text(), "changed");
    // Scrolling a row to the top, animated, ends with the animation callback.
    table->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(20, 0), UITableViewScrollPosition::Top, true);
    run(1);
    EXPECT_EQ(table->contentOffset().y, table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(20, 0)).origin.y);
    EXPECT_EQ(rows.scrollLog, std::vector<std::string>{"endAnim"});
    // Past the end, the offset stops at the last screenful.
    table->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(29, 0), UITableViewScrollPosition::Top, false);
    EXPECT_EQ(table->contentOffset().y, table->contentSize().height - 416);
    // Selecting in code scrolls it into view and tells no one.
    table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0), false, UITableViewScrollPosition::Top);
    EXPECT_EQ(table->contentOffset().y, 38);
    EXPECT_TRUE(rows.selected.empty());
    // A reload drops the selection.
    table->reloadData();
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
    table->setDelegate(nullptr);
    table->setDataSource(nullptr);
}

TEST_F(TableTest, PlainSectionTitlesStayAtTheTopWhileTheirRowsPass) {
    rows.data = {numbered(20, "a"), numbered(20, "b")};
    rows.headers = {"沪市", "深市"};
    make();
    table->setContentOffset(CGPointMake(0, 300));
    UIView* h0 = table->headerViewForSection(0);
    EXPECT_EQ(h0->frame().origin.y, 300);
    // At the end of its section the title is pushed up by the next one.
    double end = table->rectForSection(0).origin.y + table->rectForSection(0).size.height;
    table->setContentOffset(CGPointMake(0, end - 10));
    EXPECT_EQ(h0->frame().origin.y, end - 22);
    EXPECT_EQ(table->headerViewForSection(1)->frame().origin.y, end);
}
