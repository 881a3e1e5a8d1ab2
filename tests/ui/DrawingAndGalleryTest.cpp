#include "UITestSupport.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITableView.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/QuoteCells.h"
#include "ui/SVSegmentedControl.h"
#include "app/ToolkitGallery.h"

#include <cmath>

class DrawingTest : public WidgetTest {};

TEST_F(DrawingTest, PaletteFixedEntriesAndRiseFallColours) {
    auto red = colorWithIndex(41);
    EXPECT_DOUBLE_EQ(red->red(), 1.0);
    EXPECT_NEAR(red->green(), 0.149, 1e-9);
    auto green = colorWithIndex(42);
    EXPECT_NEAR(green->red(), 0.071, 1e-9);
    EXPECT_DOUBLE_EQ(green->green(), 1.0);
    EXPECT_DOUBLE_EQ(colorWithIndex(43)->blue(), 1.0);
    EXPECT_GT(colorWithIndex(15)->red(), colorWithIndex(15)->green()) << "rise is red";
    EXPECT_GT(colorWithIndex(16)->green(), colorWithIndex(16)->red()) << "fall is green";
    EXPECT_EQ(colorWithIndex(-1), colorWithIndex(1));
    EXPECT_EQ(colorWithIndex(999), colorWithIndex(1));
    // Exact comparison across units: 10.5 (1 decimal) vs 10.50 (2 decimals) is equal.
    EXPECT_EQ(colorWithCompare(VTAFloat(105, 1), VTAFloat(1050, 2)), colorWithIndex(17));
    EXPECT_EQ(colorWithCompare(VTAFloat(1051, 2), VTAFloat(105, 1)), colorWithIndex(15));
    EXPECT_EQ(colorWithCompare(std::nullopt, VTAFloat(1, 0)), colorWithIndex(17));
    EXPECT_EQ(colorWithSign(-0.01), colorWithIndex(16));
    EXPECT_EQ(colorWithSign(0), colorWithIndex(17));
    EXPECT_EQ(colorWithCompareResult(3), colorWithIndex(15));
}

TEST_F(DrawingTest, DrawnPixelsCarryThePaletteColours) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(40, 20), true, 1);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    fillRect(ctx, 0, 0, 20, 20, *colorWithIndex(41));
    drawLine(ctx, 25, 10, 35, 10, *colorWithIndex(42), 4);
    auto img = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    uint32_t p = pixel(*img, 10, 10);
    EXPECT_EQ(red(p), 255);
    EXPECT_NEAR(green(p), 38, 1);
    uint32_t q = pixel(*img, 30, 10);
    EXPECT_NEAR(red(q), 18, 1);
    EXPECT_EQ(green(q), 255);
    EXPECT_EQ(green(pixel(*img, 24, 10)), 255) << "round caps reach past the end point";
}

TEST_F(DrawingTest, StringInRectShrinksToTheWidthAndStaysInside) {
    auto font = UIFont::systemFontOfSize(20);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(200, 40), true, 1);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    double used = drawStringInRect(ctx, "1234567890.00", 50, 10, 60, 20, *font, *UIColor::whiteColor());
    double fits = drawStringInRect(ctx, "12", 150, 10, 40, 20, *font, *UIColor::whiteColor());
    auto img = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_LT(used, 20);
    EXPECT_LE(sizeWithFont("1234567890.00", *font->fontWithSize(used)).width, 60.5);
    EXPECT_DOUBLE_EQ(fits, 20) << "text that fits keeps its size";
    bool outside = false, inside = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 140; ++x) {
            bool lit = green(pixel(*img, x, y)) > 60;
            if (lit && (x < 50 || x >= 110 || y < 10 || y >= 30)) outside = true;
            if (lit && x >= 50 && x < 110) inside = true;
        }
    EXPECT_TRUE(inside);
    EXPECT_FALSE(outside) << "nothing drawn outside the rectangle";
    saveScreenshot(img, "shrink");
}

TEST_F(DrawingTest, DefaultFontIsArialAtTheSettingsSize) {
    auto f = defaultFont();
    EXPECT_GT(f->pointSize(), 0);
}

TEST_F(DrawingTest, SegmentedControlFiresOnlyWhenTheUserPicks) {
    auto seg = std::make_shared<SVSegmentedControl>(std::vector<std::string>{"分时", "日K", "周K"});
    seg->setFrame(CGRectMake(10, 100, 300, 32));
    window->addSubview(seg);
    int fired = 0;
    seg->addTarget(
        this, [&](UIControl&) { ++fired; }, UIControlEventValueChanged);
    EXPECT_EQ(seg->selectedIndex(), 0);
    seg->moveThumbToIndex(1, false);
    EXPECT_EQ(seg->selectedIndex(), 1);
    EXPECT_EQ(fired, 0);
    app().tapAt(onScreen(*seg, CGPointMake(250, 16)));
    EXPECT_EQ(seg->selectedIndex(), 2);
    EXPECT_EQ(fired, 1);
    run(0.5);
    app().tapAt(onScreen(*seg, CGPointMake(250, 16)));
    EXPECT_EQ(fired, 1) << "the same segment again is no change";
    seg->setEnabled(false);
    run(0.5);
    app().tapAt(onScreen(*seg, CGPointMake(40, 16)));
    EXPECT_EQ(seg->selectedIndex(), 2);
    saveScreenshot(*seg, "segmented");
}

namespace {
struct SwipeOwner : UITableViewDataSource, UITableViewDelegate, MYExpandTableViewDelegate {
    std::vector<int> swiped;
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 3; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath&) override {
        auto c = std::make_shared<MYExpandTableViewCell>(UITableViewCellStyle::Default, "Normal", false);
        c->setName("平安银行");
        return c;
    }
    bool tableViewShouldSwipeCellAtIndexPath(UITableView&, const NSIndexPath& p) override { return p.row != 2; }
    void tableViewDidSwipeCellAtIndexPath(UITableView&, const NSIndexPath& p) override { swiped.push_back(p.row); }
};
}  // namespace

TEST_F(DrawingTest, SwipeOnAnExpandableRowAsksAndReports) {
    SwipeOwner owner;
    auto table = std::make_shared<UITableView>(CGRectMake(0, 20, 320, 400));
    table->setRowHeight(42);
    table->setDelegate(&owner);
    table->setDataSource(&owner);
    window->addSubview(table);
    window->layoutIfNeeded();
    app().dragFrom(CGPointMake(250, 20 + 63), CGPointMake(120, 20 + 63), 0.3, 10);  // row 1
    EXPECT_EQ(owner.swiped, (std::vector<int>{1}));
    run(0.5);
    app().dragFrom(CGPointMake(250, 20 + 105), CGPointMake(120, 20 + 105), 0.3, 10);  // row 2 refuses
    EXPECT_EQ(owner.swiped, (std::vector<int>{1}));
    auto expanded = std::make_shared<MYExpandTableViewCell>(UITableViewCellStyle::Default, "Expand", true);
    EXPECT_TRUE(expanded->isExpanded());
    EXPECT_EQ(expanded->actionButton(0)->currentTitle(), "-自选");
    EXPECT_EQ(expanded->actionButton(4)->currentTitle(), "五档");
    table->setDelegate(nullptr);
    table->setDataSource(nullptr);
}

TEST_F(DrawingTest, GalleryPushesEveryPage) {
    auto nav = UINavigationController::initWithRootViewController(makeToolkitGallery());
    window->setRootViewController(nav);
    run(0.5);
    int i = 0;
    for (const auto& name : toolkitGalleryNames()) {
        auto page = makeToolkitGalleryPage(name);
        ASSERT_NE(page, nullptr) << name;
        nav->pushViewController(page, false);
        run(0.6);
        window->layoutIfNeeded();
        saveScreenshot("page-" + std::to_string(i++));
        nav->popViewControllerAnimated(false);
        run(0.6);
    }
    EXPECT_EQ(makeToolkitGalleryPage("nothing"), nullptr);
}
