#include "UITestSupport.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITableView.h"
#include "ui/DisplayCell.h"
#include "ui/QuoteCells.h"
#include "ui/VTATextField.h"

#include <functional>

namespace {
// A table whose cells come from a function; it records the rows selected.
struct CellSource : UITableViewDataSource, UITableViewDelegate {
    int rows = 3;
    std::function<std::shared_ptr<UITableViewCell>(UITableView&, int)> make;
    std::vector<int> selected;
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return rows; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& p) override {
        return make(t, p.row);
    }
    void tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& p) override { selected.push_back(p.row); }
};

// How many times the view sits in the cell's content view.
int hosted(UITableViewCell& cell, const UIView& v) {
    int n = 0;
    for (auto& s : cell.contentView()->subviews()) n += s.get() == &v;
    return n;
}

int brightness(uint32_t p) { return (((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff)) / 3; }
}  // namespace

class FormCellsTest : public WidgetTest {
protected:
    std::shared_ptr<UITableView> table(CellSource& src, double rowHeight,
                                       UITableViewStyle style = UITableViewStyle::Plain) {
        auto t = std::make_shared<UITableView>(CGRectMake(0, 20, 320, 460), style);
        t->setRowHeight(rowHeight);
        t->setDataSource(&src);
        t->setDelegate(&src);
        window->addSubview(t);
        window->layoutIfNeeded();
        tables.push_back(t);
        return t;
    }
    static std::shared_ptr<UITableViewCell> cellAt(UITableView& t, int row) {
        return t.cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0));
    }
    void TearDown() override {
        for (auto& t : tables) {
            t->setDataSource(nullptr);
            t->setDelegate(nullptr);
        }
        tables.clear();
        WidgetTest::TearDown();
    }
    std::vector<std::shared_ptr<UITableView>> tables;
};

TEST_F(FormCellsTest, QuoteRowPercentButtonCallsTheActionWithItsOwnRow) {
    const char* codes[] = {"000001", "600000", "00700"};
    const int markets[] = {2, 1, 3};
    std::vector<std::pair<std::string, int>> opened;
    CellSource src;
    src.make = [&](UITableView& t, int row) {
        auto c = std::dynamic_pointer_cast<HQTableCell>(t.dequeueReusableCellWithIdentifier("HQ"));
        if (!c) c = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "HQ");
        c->setStockName("股票" + std::to_string(row), UIFont::fontWithName("Arial", 15), UIColor::whiteColor());
        c->setStockCode(codes[row], UIFont::fontWithName("Arial", 13), UIColor::grayColor());
        c->setPrice("10.50", UIFont::systemFontOfSize(17), UIColor::redColor());
        c->setZD(row == 1 ? "-0.20" : "+0.20", UIFont::systemFontOfSize(15), UIColor::redColor());
        c->setZDF(row == 1 ? "-1.87%" : "1.94%", UIFont::systemFontOfSize(15), row != 1);
        c->setMarketID(markets[row]);
        c->set_buttonTarget(&opened);
        c->set_buttonAction([&opened](HQTableCell& cell) { opened.emplace_back(cell.stockCode(), cell.marketID()); });
        return c;
    };
    auto t = table(src, 50);
    auto row1 = std::dynamic_pointer_cast<HQTableCell>(cellAt(*t, 1));
    ASSERT_TRUE(row1);
    tap(*row1->zdfButton());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::make_pair(std::string("600000"), 1));
    EXPECT_TRUE(src.selected.empty()) << "the button's tap is not a row selection";
    run(0.5);
    tap(*std::dynamic_pointer_cast<HQTableCell>(cellAt(*t, 2))->zdfButton());
    EXPECT_EQ(opened.back(), std::make_pair(std::string("00700"), 3));
    run(0.5);
    tap(*row1->nameLabel());
    EXPECT_EQ(src.selected, (std::vector<int>{1}));
    EXPECT_EQ(opened.size(), 2u) << "a tap on the name opens nothing through the button";

    // The percent shows on the red image for a rise, the green one for a fall.
    auto shot = window->renderScreenToImage(1);
    ASSERT_TRUE(shot);
    window->layoutIfNeeded();
    auto edge = [&](int row) {
        UIButton* b = std::dynamic_pointer_cast<HQTableCell>(cellAt(*t, row))->zdfButton();
        CGRect r = b->convertRectToView(b->bounds(), nullptr);
        return pixel(*shot, r.origin.x + 6, CGRectGetMidY(r));
    };
    EXPECT_GT(red(edge(0)), green(edge(0)) + 80);
    EXPECT_GT(green(edge(1)), red(edge(1)) + 80);
    saveScreenshot("hqcells");
}

TEST_F(FormCellsTest, FormRowPutsCaptionLeftAndItsViewRightWithoutHighlight) {
    std::shared_ptr<VTATextField> field;
    CellSource src;
    src.rows = 2;
    src.make = [&](UITableView& t, int row) {
        auto c = std::dynamic_pointer_cast<DisplayCell>(t.dequeueReusableCellWithIdentifier(kDisplayCellIdentifier));
        if (!c) c = std::make_shared<DisplayCell>(UITableViewCellStyle::Default, kDisplayCellIdentifier);
        c->nameLabel()->setText(row == 0 ? "资金帐号:" : "委托数量:");
        auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, row == 0 ? 180 : 150, 30), 16, "必填", 4);
        if (row == 0) field = f;
        c->setView(f);
        return c;
    };
    auto t = table(src, 44);
    window->layoutIfNeeded();
    auto cell = std::dynamic_pointer_cast<DisplayCell>(cellAt(*t, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->reuseIdentifier(), "DisplayCell_ID");
    CGRect label = cell->nameLabel()->frame(), view = cell->view()->frame();
    EXPECT_LE(CGRectGetMaxX(label), view.origin.x) << "caption and view side by side";
    EXPECT_DOUBLE_EQ(view.size.width, 180) << "the view keeps its size";
    EXPECT_NEAR(CGRectGetMidY(view), 22, 1) << "centred in the 44-point row";
    EXPECT_GT(CGRectGetMaxX(view), 280);

    // A finger on the hosted field edits it.
    tap(*cell->view());
    EXPECT_TRUE(field->isEditing());
    field->resignFirstResponder();
    run(0.5);

    // A tap on the caption leaves the row unhighlighted (white), whatever the table does with it.
    tap(*cell->nameLabel());
    auto shot = window->renderScreenToImage(1);
    CGRect r = cell->convertRectToView(cell->bounds(), nullptr);
    EXPECT_GT(brightness(pixel(*shot, r.origin.x + 4, r.origin.y + 4)), 240);

    // setView replaces the previous view.
    auto old = cell->view();
    auto label2 = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 30));
    label2->setText("12345");
    cell->setView(label2);
    cell->layoutIfNeeded();
    EXPECT_EQ(old->superview(), nullptr);
    EXPECT_EQ(label2->superview(), cell->contentView());
    EXPECT_DOUBLE_EQ(label2->frame().size.width, 150);
    EXPECT_LE(CGRectGetMaxX(cell->nameLabel()->frame()), label2->frame().origin.x);
}

TEST_F(FormCellsTest, QuoteColumnsTakeTheirWidthsAndANewLoadReplacesThem) {
    auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "HQCell");
    cell->setFrame(CGRectMake(0, 0, 320, 44));
    auto a = std::make_shared<UILabel>(), b = std::make_shared<UILabel>();
    auto c = std::make_shared<UIButton>(UIButtonType::Custom);
    int taps = 0;
    c->addTarget(
        this, [&](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    cell->loadItems({a, b, c}, {80, 120, 60});
    cell->layoutIfNeeded();
    EXPECT_EQ(a->frame(), CGRectMake(0, 0, 80, 44));
    EXPECT_EQ(b->frame(), CGRectMake(80, 0, 120, 44));
    EXPECT_EQ(c->frame(), CGRectMake(200, 0, 60, 44));
    window->addSubview(cell);
    tap(*c);
    EXPECT_EQ(taps, 1) << "a view in a column still answers the finger";

    // Fewer widths than views: the rest of the row shared by the others.
    auto d = std::make_shared<UILabel>();
    cell->loadItems({a, d}, {80});
    cell->layoutIfNeeded();
    EXPECT_EQ(b->superview(), nullptr);
    EXPECT_EQ(c->superview(), nullptr);
    EXPECT_EQ(d->frame(), CGRectMake(80, 0, 240, 44));
    EXPECT_EQ(hosted(*cell, *a) + hosted(*cell, *d), 2);

    // A centred row: the room the widths leave goes half to each side; a row
    // that shares out the rest has no room to centre in.
    cell->setCentersItems(true);
    cell->loadItems({a, b, c}, {80, 80, 80});
    cell->layoutIfNeeded();
    EXPECT_EQ(a->frame(), CGRectMake(40, 0, 80, 44));
    EXPECT_EQ(c->frame(), CGRectMake(200, 0, 80, 44));
    cell->loadItems({a, d}, {80});
    cell->layoutIfNeeded();
    EXPECT_EQ(a->frame(), CGRectMake(0, 0, 80, 44));
}

TEST_F(FormCellsTest, ContentCellHostsOneViewAndKeepsItOnReuse) {
    int edits = 0;
    std::shared_ptr<UIButton> modify;
    CellSource src;
    src.rows = 5;
    int made = 0;
    src.make = [&](UITableView& t, int row) -> std::shared_ptr<UITableViewCell> {
        if (row < 4) {
            auto plain = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Row");
            plain->textLabel()->setText("行" + std::to_string(row));
            return plain;
        }
        auto cell = std::dynamic_pointer_cast<VTAContentCell>(t.dequeueReusableCellWithIdentifier("Modify"));
        if (!cell) {
            cell = std::make_shared<VTAContentCell>(UITableViewCellStyle::Default, "Modify");
            ++made;
        }
        if (!modify) {
            modify = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(20, 7, 280, 30));
            modify->setTitle("修改");
            modify->addTarget(
                this, [&](UIControl&) { ++edits; }, UIControlEventTouchUpInside);
        }
        cell->setView(modify);
        return cell;
    };
    auto t = table(src, 44);
    auto cell = std::dynamic_pointer_cast<VTAContentCell>(cellAt(*t, 4));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->view(), modify);
    EXPECT_EQ(modify->frame(), CGRectMake(20, 7, 280, 30)) << "placed as given";
    tap(*modify);
    EXPECT_EQ(edits, 1);
    t->reloadData();
    window->layoutIfNeeded();
    run(0.5);
    cell = std::dynamic_pointer_cast<VTAContentCell>(cellAt(*t, 4));
    ASSERT_TRUE(cell);
    EXPECT_EQ(hosted(*cell, *modify), 1) << "the same view hosted again is not doubled";
    tap(*modify);
    EXPECT_EQ(edits, 2);
    EXPECT_TRUE(src.selected.empty());

    auto text = std::make_shared<CellTextView>(UITableViewCellStyle::Default, "Text");
    auto note = std::make_shared<UILabel>(CGRectMake(10, 5, 300, 34));
    text->setView(note);
    auto other = std::make_shared<UILabel>(CGRectMake(10, 5, 300, 34));
    text->setView(other);
    EXPECT_EQ(note->superview(), nullptr) << "a new view replaces the old one";
    EXPECT_EQ(text->view(), other);
    EXPECT_EQ(hosted(*text, *other), 1);
}
