#include "UIKitTestSupport.h"

#include "platform/uikit/UINavigationBar.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UISearchBar.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITextView.h"

namespace {
// Count of pixels in a rectangle (points) darker than the threshold.
int darkPixels(const UIImage& img, const CGRect& r, uint32_t threshold = 128) {
    int n = 0;
    for (int y = int(r.origin.y * img.scale()); y < int(CGRectGetMaxY(r) * img.scale()); ++y)
        for (int x = int(r.origin.x * img.scale()); x < int(CGRectGetMaxX(r) * img.scale()); ++x) {
            uint32_t p = img.pixelAt(x, y);
            if (((p >> 16) & 0xff) < threshold && ((p >> 8) & 0xff) < threshold && (p & 0xff) < threshold &&
                (p >> 24) > 128)
                ++n;
        }
    return n;
}

// Right-most column (in points) holding a dark pixel.
double inkRight(const UIImage& img) {
    for (int x = img.pixelWidth() - 1; x >= 0; --x)
        for (int y = 0; y < img.pixelHeight(); ++y) {
            uint32_t p = img.pixelAt(x, y);
            if ((p >> 24) > 128 && ((p >> 16) & 0xff) < 100) return x / img.scale();
        }
    return 0;
}
}  // namespace

TEST_F(UIKitTest, SwitchFlipsOnTapAndReportsOnlyUserChanges) {
    auto sw = std::make_shared<UISwitch>(CGRectMake(200, 100, 10, 10));
    EXPECT_EQ(sw->frame().size, CGSizeMake(94, 27));
    int changes = 0;
    sw->addTarget(
        this, [&](UIControl&) { ++changes; }, UIControlEventValueChanged);
    window->addSubview(sw);
    tap(*sw);
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(changes, 1);
    sw->setOn(false, true);
    EXPECT_EQ(changes, 1);
}

TEST_F(UIKitTest, SwitchReadsInChinese) {
    auto sw = std::make_shared<UISwitch>(CGRectMake(0, 0, 94, 27));
    const auto font = UIFont::boldSystemFontOfSize(16);
    // The width (points) of the text's ink beside the knob: white on blue when
    // on, grey on white when off.
    auto inkWidth = [&](bool on) {
        sw->setOn(on);
        auto img = sw->renderToImage(2);
        double left = 1e9, right = -1;
        for (double x = on ? 2 : 42; x < (on ? 52 : 92); x += 0.5)
            for (double y = 4; y < 23; y += 0.5) {
                uint32_t p = pixel(*img, x, y);
                bool ink = on ? red(p) > 200 && green(p) > 200 && blue(p) > 200
                              : red(p) < 150 && std::abs(red(p) - blue(p)) < 20;
                if (ink) left = std::min(left, x), right = std::max(right, x);
            }
        return right < 0 ? 0.0 : right - left;
    };
    EXPECT_EQ(sw->accessibilityText(), "关");
    EXPECT_NEAR(inkWidth(true), sizeWithFont("开", *font).width, 3);
    EXPECT_EQ(sw->accessibilityText(), "开");
    EXPECT_NEAR(inkWidth(false), sizeWithFont("关", *font).width, 3);
    EXPECT_LT(sizeWithFont("开", *font).width + 4, sizeWithFont("ON", *font).width) << "the check tells them apart";
}

TEST_F(UIKitTest, AToolbarsWordedSystemItemsLookLikeButtonsItsGlyphsStandPlain) {
    // A keyboard bar's "完成" is a blue button, not loose text; a glyph item has no frame.
    auto bar = std::make_shared<UIToolbar>(CGRectMake(0, 0, 320, 44));
    bar->setBarStyle(UIBarStyle::BlackTranslucent);
    auto done = std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::Done);
    auto trash = std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::Trash);
    bar->setItems({trash, UIBarButtonItem::flexibleSpace(), done});
    window->addSubview(bar);
    window->layoutIfNeeded();
    auto img = bar->renderToImage(2);
    UIView* doneView = bar->viewForItem(done.get());
    UIView* trashView = bar->viewForItem(trash.get());
    ASSERT_TRUE(doneView && trashView);
    EXPECT_EQ(doneView->accessibilityText(), "完成");
    uint32_t inDone = pixel(*img, doneView->frame().origin.x + 4, CGRectGetMidY(doneView->frame()));
    EXPECT_GT(blue(inDone), red(inDone) + 80) << std::hex << inDone;
    uint32_t besideTrash = pixel(*img, trashView->frame().origin.x + 2, CGRectGetMidY(trashView->frame()));
    EXPECT_LT(blue(besideTrash), 80) << std::hex << besideTrash;
}

TEST_F(UIKitTest, SegmentedControlSelectsTappedSegment) {
    auto seg = std::make_shared<UISegmentedControl>(std::vector<std::string>{"1/5", "1/4", "1/3", "1/2", "全部"});
    seg->setFrame(CGRectMake(10, 100, 300, 30));
    window->addSubview(seg);
    std::vector<int> values;
    seg->addTarget(
        this, [&](UIControl& c) { values.push_back(static_cast<UISegmentedControl&>(c).selectedSegmentIndex()); },
        UIControlEventValueChanged);
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
    app().tapAt(CGPointMake(10 + 60 * 3 + 30, 115));
    EXPECT_EQ(values, std::vector<int>{3});
    // The same segment again: no change; momentary: every tap reports.
    app().tapAt(CGPointMake(10 + 60 * 3 + 30, 115));
    EXPECT_EQ(values.size(), 1u);
    seg->setMomentary(true);
    run(1);
    app().tapAt(CGPointMake(10 + 60 * 3 + 30, 115));
    EXPECT_EQ(values.size(), 2u);
    seg->setEnabled(false, 0);
    run(1);
    app().tapAt(CGPointMake(20, 115));
    EXPECT_EQ(values.size(), 2u) << "a disabled segment ignores taps";
    seg->setSelectedSegmentIndex(9);
    EXPECT_EQ(seg->selectedSegmentIndex(), UISegmentedControlNoSegment);
}

TEST_F(UIKitTest, PageControlStepsByHalves) {
    auto pc = std::make_shared<UIPageControl>(CGRectMake(0, 200, 320, 36));
    pc->setNumberOfPages(3);
    window->addSubview(pc);
    app().tapAt(CGPointMake(300, 218));
    EXPECT_EQ(pc->currentPage(), 1);
    run(1);
    app().tapAt(CGPointMake(300, 218));
    run(1);
    app().tapAt(CGPointMake(300, 218));
    EXPECT_EQ(pc->currentPage(), 2);
    pc->setCurrentPage(-4);
    EXPECT_EQ(pc->currentPage(), 0);
}

TEST_F(UIKitTest, LabelShrinksToFitItsWidth) {
    const std::string text = "上证指数 2873.45 +12.30";
    auto wide = std::make_shared<UILabel>(CGRectMake(0, 0, 400, 30));
    wide->setText(text);
    double natural = sizeWithFont(text, *wide->font()).width;
    auto label = std::make_shared<UILabel>(CGRectMake(0, 0, 120, 30));
    label->setText(text);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(8);
    EXPECT_LT(label->displayedFontSize(), 17);
    EXPECT_GE(label->displayedFontSize(), 8);
    auto img = label->renderToImage(2);
    ASSERT_TRUE(img);
    saveScreenshot(img, "label-shrunk");
    // All the text is drawn, inside the width.
    double right = inkRight(*img);
    EXPECT_GT(right, 100);
    EXPECT_LE(right, 120);
    EXPECT_GT(natural, 150);
    // Without shrinking the text is cut at the tail instead.
    label->setAdjustsFontSizeToFitWidth(false);
    EXPECT_EQ(label->displayedFontSize(), 17);
    // A minimum too large to fit stops at the minimum.
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(16);
    EXPECT_EQ(label->displayedFontSize(), 16);
}

TEST_F(UIKitTest, ButtonDrawsItsBackgroundImageForTheState) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), true, 2);
    UIGraphicsGetCurrentContext()->setFillColor(1, 0, 0, 1);
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 10, 10));
    auto redImage = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), true, 2);
    UIGraphicsGetCurrentContext()->setFillColor(0, 0, 1, 1);
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 10, 10));
    auto blueImage = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(CGRectMake(0, 0, 60, 30));
    button->setBackgroundImage(redImage);
    button->setBackgroundImage(blueImage, UIControlStateHighlighted);
    auto img = button->renderToImage(2);
    EXPECT_EQ(red(pixel(*img, 30, 15)), 255);
    button->setHighlighted(true);
    img = button->renderToImage(2);
    EXPECT_EQ(blue(pixel(*img, 30, 15)), 255);
    EXPECT_EQ(red(pixel(*img, 30, 15)), 0);
}

TEST_F(UIKitTest, ChineseTextRendersAsGlyphs) {
    auto label = std::make_shared<UILabel>(CGRectMake(0, 0, 200, 40));
    label->setText("买入价格");
    auto img = label->renderToImage(2);
    int ink = darkPixels(*img, CGRectMake(0, 0, 200, 40));
    EXPECT_GT(ink, 300);
}

namespace {
struct TwoWheels : UIPickerViewDataSource, UIPickerViewDelegate {
    std::vector<std::pair<int, int>> selected;
    int numberOfComponentsInPickerView(UIPickerView&) override { return 2; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int c) override { return c == 0 ? 10 : 3; }
    std::string pickerViewTitleForRow(UIPickerView&, int row, int c) override {
        return (c == 0 ? "周期" : "指标") + std::to_string(row);
    }
    void pickerViewDidSelectRow(UIPickerView&, int row, int c) override { selected.push_back({row, c}); }
};
}  // namespace

TEST_F(UIKitTest, PickerSettlesAfterADragAndReportsTheRow) {
    TwoWheels wheels;
    auto picker = std::make_shared<UIPickerView>(CGRectMake(0, 264, 320, 216));
    picker->setDataSource(&wheels);
    picker->setDelegate(&wheels);
    window->addSubview(picker);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    EXPECT_EQ(picker->selectedRowInComponent(5), -1);
    picker->selectRow(4, 0, false);
    EXPECT_EQ(picker->selectedRowInComponent(0), 4);
    EXPECT_TRUE(wheels.selected.empty()) << "code does not notify";
    // Drag the left wheel up by two rows, slowly.
    CGRect r = picker->rectForComponent(0);
    double x = CGRectGetMidX(r), y = 264 + 108;
    app().dragFrom(CGPointMake(x, y), CGPointMake(x, y - 88), 1.0, 10);
    EXPECT_TRUE(wheels.selected.empty()) << "not before it settles";
    run(0.5);
    ASSERT_EQ(wheels.selected.size(), 1u);
    EXPECT_EQ(wheels.selected[0], std::make_pair(6, 0));
    // A tap on the row below the middle of the right wheel turns it there.
    CGRect r1 = picker->rectForComponent(1);
    app().tapAt(CGPointMake(CGRectGetMidX(r1), y + 44));
    run(0.5);
    EXPECT_EQ(picker->selectedRowInComponent(1), 1);
    EXPECT_EQ(wheels.selected.back(), std::make_pair(1, 1));
    // Dragging far past the end stops at the last row.
    app().dragFrom(CGPointMake(x, y), CGPointMake(x, 0), 1.0, 10);
    run(0.5);
    EXPECT_EQ(picker->selectedRowInComponent(0), 9);
    picker->setDelegate(nullptr);
    picker->setDataSource(nullptr);
}

TEST_F(UIKitTest, DatePickerKeepsItsDateInRangeAndReportsChanges) {
    auto dp = std::make_shared<UIDatePicker>();
    dp->setDatePickerMode(UIDatePickerMode::Date);
    window->addSubview(dp);
    dp->setFrame(CGRectMake(0, 264, 320, 216));
    auto start = *localDate(2012, 3, 31);
    dp->setDate(start);
    EXPECT_EQ(dp->accessibilityText(), "2012年 | 3月 | 31日");
    int changes = 0;
    dp->addTarget(
        this, [&](UIControl&) { ++changes; }, UIControlEventValueChanged);
    // Month wheel up one row: April has no 31st, the day becomes the 30th.
    CGRect month = dp->pickerView()->rectForComponent(1);
    app().tapAt(CGPointMake(CGRectGetMidX(month), 264 + 108 + 44));
    run(1);
    EXPECT_EQ(changes, 1);
    LocalDateParts p = localDateParts(dp->date());
    EXPECT_EQ(p.month, 4);
    EXPECT_EQ(p.day, 30);
    dp->setMaximumDate(*localDate(2012, 4, 10));
    EXPECT_EQ(localDateParts(dp->date()).day, 10);
    EXPECT_EQ(changes, 1);
}

namespace {
struct SearchLog : UISearchBarDelegate {
    std::vector<std::string> log;
    void searchBarTextDidChange(UISearchBar&, const std::string& t) override { log.push_back("text " + t); }
    void searchBarSearchButtonClicked(UISearchBar& b) override {
        log.push_back("search");
        b.resignFirstResponder();
    }
    void searchBarCancelButtonClicked(UISearchBar&) override { log.push_back("cancel"); }
};
}  // namespace

TEST_F(UIKitTest, SearchBarReportsTextSearchAndCancel) {
    SearchLog d;
    auto bar = std::make_shared<UISearchBar>();
    bar->setDelegate(&d);
    bar->setPlaceholder("输入代码/拼音");
    bar->setShowsCancelButton(true);
    window->addSubview(bar);
    bar->setFrame(CGRectMake(0, 20, 320, 44));
    tap(*bar->textField());
    EXPECT_TRUE(bar->isFirstResponder());
    EXPECT_NE(UIKeyboard::keyboard().keyWithTitle("搜索"), nullptr);
    UIKeyboard::typeText("60");
    UIKeyboard::pressReturn();
    EXPECT_EQ(bar->text(), "60");
    tap(*bar->cancelButton());
    EXPECT_EQ(d.log, (std::vector<std::string>{"text 6", "text 60", "search", "cancel"}));
    EXPECT_FALSE(UIKeyboard::isShown());
    bar->setDelegate(nullptr);
}

TEST_F(UIKitTest, TextViewEditsWithLineBreaksAndScrolls) {
    auto tv = std::make_shared<UITextView>(CGRectMake(10, 40, 300, 60));
    tv->setFont(UIFont::systemFontOfSize(16));
    window->addSubview(tv);
    tap(*tv);
    EXPECT_TRUE(tv->isFirstResponder());
    UIKeyboard::typeText("第一行\n第二行\n第三行\n第四行");
    EXPECT_EQ(tv->text(), "第一行\n第二行\n第三行\n第四行");
    EXPECT_TRUE(tv->isFirstResponder()) << "return is a line break here";
    EXPECT_GT(tv->contentSize().height, 60);
    tv->setEditable(false);
    EXPECT_FALSE(tv->isFirstResponder());
    tap(*tv);
    EXPECT_FALSE(tv->isFirstResponder());
}
