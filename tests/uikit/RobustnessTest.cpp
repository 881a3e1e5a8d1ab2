// Edge cases that used to bring down toolkits: odd text, shrinking data,
// views and screens going away in the middle of things.
#include "UIKitTestSupport.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIPageControl.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"

TEST(TextInputUnits, Utf16RangesOverMultiByteAndBrokenText) {
    EXPECT_EQ(utf16Length("a中😀"), 4u);  // the emoji is a surrogate pair
    EXPECT_EQ(utf16LengthOfLastCharacter("a中😀"), 2u);
    EXPECT_EQ(dropLastCharacter("a中😀"), "a中");
    EXPECT_EQ(replaceUtf16Range("a中😀b", NSMakeRange(1, 3), "x"), "axb");
    // Ranges past the end are clamped, never read past it.
    EXPECT_EQ(replaceUtf16Range("ab", NSMakeRange(5, 9), "c"), "abc");
    EXPECT_EQ(replaceUtf16Range("ab", NSMakeRange(1, 99), ""), "a");
    // Broken UTF-8 (a cut sequence, a stray continuation byte) is counted, not overrun.
    std::string broken = "a\xE4\xB8";
    EXPECT_EQ(utf16Length(broken), 3u);
    EXPECT_EQ(filterTextForKeyboard(UIKeyboardType::Default, broken), "a");
    EXPECT_EQ(utf16Length("\x80\x80"), 2u);
    EXPECT_EQ(dropLastCharacter(""), "");
    EXPECT_EQ(utf16LengthOfLastCharacter(""), 0u);
}

namespace {
class Shrinking : public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<std::vector<std::string>> data;
    bool nullCells = false;
    int numberOfSectionsInTableView(UITableView&) override { return static_cast<int>(data.size()); }
    int tableViewNumberOfRowsInSection(UITableView&, int s) override {
        return s < static_cast<int>(data.size()) ? static_cast<int>(data[s].size()) : 0;
    }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& ip) override {
        if (nullCells) return nullptr;
        auto c = std::make_shared<UITableViewCell>(UITableViewCellStyle::Subtitle, "");
        c->textLabel()->setText(data[ip.section][ip.row]);
        return c;
    }
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    bool tableViewCanMoveRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewCommitEditingStyle(UITableView& t, UITableViewCellEditingStyle, const NSIndexPath& ip) override {
        data[ip.section].erase(data[ip.section].begin() + ip.row);
        t.deleteRowsAtIndexPaths({ip}, UITableViewRowAnimation::Fade);
    }
    void tableViewMoveRowAtIndexPath(UITableView&, const NSIndexPath& from, const NSIndexPath& to) override {
        auto v = data[from.section][from.row];
        data[from.section].erase(data[from.section].begin() + from.row);
        data[to.section].insert(data[to.section].begin() + std::min<int>(to.row, data[to.section].size()), v);
    }
    std::string tableViewTitleForHeaderInSection(UITableView&, int s) override { return s ? "二" : "一"; }
};
}  // namespace

TEST_F(UIKitTest, TableSurvivesShrinkingDataNullCellsAndLastRowDeletion) {
    Shrinking src;
    src.data = {{"a", "b"}, {"c"}};
    auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 460), UITableViewStyle::Grouped);
    table->setDataSource(&src);
    table->setDelegate(&src);
    window->addSubview(table);
    window->layoutIfNeeded();
    // Delete the only row of the last section by swipe.
    CGRect r = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 1));
    CGPoint c = table->convertPointToView(CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r)), nullptr);
    app().dragFrom(CGPointMake(c.x + 80, c.y), CGPointMake(c.x - 60, c.y), 0.2, 6);
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 1));
    ASSERT_TRUE(cell && cell->showingDeleteConfirmation());
    tap(*cell->deleteConfirmationButton());
    EXPECT_EQ(table->numberOfRowsInSection(1), 0);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 1)), nullptr);
    // The data shrinks under a selection and an open delete button.
    table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0), false, UITableViewScrollPosition::None);
    src.data = {{"x"}};
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
    table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(7, 3), false, UITableViewScrollPosition::Top);
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
    table->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(7, 3), UITableViewScrollPosition::Top, false);
    // A data source that answers no cell gets an empty row, not a crash.
    src.nullCells = true;
    table->reloadData();
    ASSERT_NE(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)), nullptr);
    src.data.clear();
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 0);
    EXPECT_TRUE(table->visibleCells().empty());
    table->setDelegate(nullptr);
    table->setDataSource(nullptr);
}

namespace {
// Sends a tap on any row to the row its delegate names instead.
struct Redirecting : Shrinking {
    std::optional<NSIndexPath> target;
    std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(UITableView&, const NSIndexPath&) override {
        return target;
    }
};
}  // namespace

// The last row of each section is a row; the one after it and the section after
// the last are not: no rectangle, no selection, no scrolling, whoever asks.
TEST_F(UIKitTest, IndexPathsReachTheLastRowAndNoFurther) {
    Redirecting src;
    src.data = {{"a", "b", "c"}, {"d", "e"}};
    auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 120));
    table->setDataSource(&src);
    table->setDelegate(&src);
    window->addSubview(table);
    window->layoutIfNeeded();
    struct Case {
        int row, section;
        bool valid;
    };
    for (const Case& c : std::vector<Case>{{2, 0, true},
                                           {3, 0, false},
                                           {1, 1, true},
                                           {2, 1, false},
                                           {0, 2, false},
                                           {-1, 0, false},
                                           {0, -1, false}}) {
        SCOPED_TRACE(std::to_string(c.section) + "/" + std::to_string(c.row));
        const auto ip = NSIndexPath::indexPathForRow(c.row, c.section);
        table->selectRowAtIndexPath(std::nullopt, false, UITableViewScrollPosition::None);
        table->setContentOffset(CGPointZero, false);
        EXPECT_EQ(table->rectForRowAtIndexPath(ip) == CGRectZero, !c.valid);
        table->scrollToRowAtIndexPath(ip, UITableViewScrollPosition::Bottom, false);
        EXPECT_EQ(table->contentOffset().y > 0, c.valid);
        table->selectRowAtIndexPath(ip, false, UITableViewScrollPosition::None);
        EXPECT_EQ(table->indexPathForSelectedRow().has_value(), c.valid);
        // A finger on the first row, sent by the delegate to this one.
        table->selectRowAtIndexPath(std::nullopt, false, UITableViewScrollPosition::None);
        table->setContentOffset(CGPointZero, false);
        src.target = ip;
        tap(*table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
        EXPECT_EQ(table->indexPathForSelectedRow().has_value(), c.valid);
    }
    table->setDelegate(nullptr);
    table->setDataSource(nullptr);
}

TEST_F(UIKitTest, ReorderAcrossSectionsMovesTheRowThere) {
    Shrinking src;
    src.data = {{"a", "b"}, {"c", "d"}};
    auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 460));
    table->setDataSource(&src);
    table->setDelegate(&src);
    window->addSubview(table);
    table->setEditing(true);
    window->layoutIfNeeded();
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    CGPoint grip = centerOnScreen(*cell->reorderControl());
    CGRect target = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 1));
    app().dragFrom(grip, CGPointMake(grip.x, grip.y + CGRectGetMidY(target) - 22), 0.4, 8);
    EXPECT_EQ(src.data[0], std::vector<std::string>{"b"});
    EXPECT_EQ(src.data[1], (std::vector<std::string>{"c", "a", "d"}));
    table->setDelegate(nullptr);
    table->setDataSource(nullptr);
}

namespace {
struct Wheel : UIPickerViewDataSource, UIPickerViewDelegate {
    int rows = 10;
    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return rows; }
    std::string pickerViewTitleForRow(UIPickerView&, int row, int) override { return std::to_string(row); }
};
}  // namespace

TEST_F(UIKitTest, PickerClampsItsSelectionWhenRowsGoAway) {
    Wheel w;
    auto picker = std::make_shared<UIPickerView>();
    picker->setDataSource(&w);
    picker->setDelegate(&w);
    picker->selectRow(8, 0, false);
    w.rows = 3;
    picker->reloadComponent(0);
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    w.rows = 0;
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
    picker->selectRow(1, 0, true);  // nothing to select
    EXPECT_EQ(picker->accessibilityText(), "");
    picker->setDelegate(nullptr);
    picker->setDataSource(nullptr);
}

TEST_F(UIKitTest, SegmentsInsertedAndRemovedKeepTheSelectionOnItsSegment) {
    UISegmentedControl seg({"分时", "日K", "周K"});
    seg.setSelectedSegmentIndex(1);
    seg.insertSegmentWithTitle("5分", 0);
    EXPECT_EQ(seg.selectedSegmentIndex(), 2);
    EXPECT_EQ(seg.titleForSegmentAtIndex(2), "日K");
    seg.removeSegmentAtIndex(2);
    EXPECT_EQ(seg.selectedSegmentIndex(), UISegmentedControlNoSegment);
    seg.removeSegmentAtIndex(17);
    EXPECT_EQ(seg.numberOfSegments(), 3);
    EXPECT_EQ(seg.titleForSegmentAtIndex(-1), "");
}

TEST_F(UIKitTest, ActivityIndicatorHidesWhenStoppedAndDoesNotOutliveItsView) {
    std::weak_ptr<UIView> weak;
    {
        auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray);
        EXPECT_TRUE(spinner->isHidden());
        spinner->startAnimating();
        EXPECT_FALSE(spinner->isHidden());
        run(0.5);
        spinner->stopAnimating();
        EXPECT_TRUE(spinner->isHidden());
        spinner->startAnimating();
        weak = spinner;
    }
    run(0.5);
    EXPECT_TRUE(weak.expired());
}

TEST_F(UIKitTest, StackedAlertButtonsPutCancelAtTheBottom) {
    auto alert = std::make_shared<UIAlertView>("选择", "", nullptr, std::string("取消"),
                                               std::vector<std::string>{"一", "二", "三"});
    alert->show();
    window->layoutIfNeeded();
    double cancelY = alert->buttonViewAtIndex(0)->frame().origin.y;
    for (int i = 1; i < 4; ++i) EXPECT_LT(alert->buttonViewAtIndex(i)->frame().origin.y, cancelY);
    EXPECT_LT(alert->buttonViewAtIndex(1)->frame().origin.y, alert->buttonViewAtIndex(2)->frame().origin.y);
    EXPECT_EQ(alert->buttonViewAtIndex(4), nullptr);
    alert->tapButtonAtIndex(-1);
    EXPECT_TRUE(alert->isVisible());
    alert->dismissWithClickedButtonIndex(0, false);
}

TEST_F(UIKitTest, ControlSeesTheFingerLeaveAndComeBack) {
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(CGRectMake(100, 100, 100, 40));
    window->addSubview(b);
    std::vector<std::string> log;
    b->addTarget(
        this, [&](UIControl&) { log.push_back("exit"); }, UIControlEventTouchDragExit);
    b->addTarget(
        this, [&](UIControl&) { log.push_back("enter"); }, UIControlEventTouchDragEnter);
    b->addTarget(
        this, [&](UIControl&) { log.push_back("up-in"); }, UIControlEventTouchUpInside);
    app().touchesBeganAt({CGPointMake(150, 120)});
    EXPECT_TRUE(b->isHighlighted());
    app().touchesMovedTo({CGPointMake(150, 300)});
    EXPECT_FALSE(b->isHighlighted());
    app().touchesMovedTo({CGPointMake(150, 130)});
    app().touchesEndedAt({CGPointMake(150, 130)});
    EXPECT_EQ(log, (std::vector<std::string>{"exit", "enter", "up-in"}));
}

TEST_F(UIKitTest, LeavingTheForegroundCancelsTouchesInProgress) {
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(CGRectMake(100, 100, 100, 40));
    window->addSubview(b);
    int ups = 0, cancels = 0;
    b->addTarget(
        this, [&](UIControl&) { ++ups; }, UIControlEventTouchUpInside);
    b->addTarget(
        this, [&](UIControl&) { ++cancels; }, UIControlEventTouchCancel);
    app().touchesBeganAt({CGPointMake(150, 120)});
    app().resignActive();
    app().touchesEndedAt({CGPointMake(150, 120)});
    EXPECT_EQ(ups, 0);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(app().hasActiveTouches());
}

TEST_F(UIKitTest, AFirstResponderThatGoesAwayTakesTheKeyboardWithIt) {
    int hides = 0;
    NSNotificationCenter::defaultCenter().addObserver(&hides, UIKeyboardDidHideNotification,
                                                      [&](const NSNotification&) { ++hides; });
    {
        auto field = std::make_shared<UITextField>(CGRectMake(0, 0, 100, 30));
        window->addSubview(field);
        field->becomeFirstResponder();
        EXPECT_TRUE(UIKeyboard::isShown());
        field->removeFromSuperview();
    }
    EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(hides, 1);
    // Kept alive elsewhere, a field taken off the screen still resigns.
    auto kept = std::make_shared<UITextField>(CGRectMake(0, 0, 100, 30));
    auto box = std::make_shared<UIView>(CGRectMake(0, 0, 320, 100));
    box->addSubview(kept);
    window->addSubview(box);
    kept->becomeFirstResponder();
    box->removeFromSuperview();
    EXPECT_FALSE(kept->isFirstResponder());
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(hides, 2);
    UIKeyboard::typeText("123");  // nobody to type into
    NSNotificationCenter::defaultCenter().removeObserver(&hides);
}

TEST_F(UIKitTest, AScreenInsideANavigationStackPresentsForTheStack) {
    auto root = std::make_shared<UIViewController>();
    auto nav = UINavigationController::initWithRootViewController(root);
    window->setRootViewController(nav);
    auto first = std::make_shared<UIViewController>();
    auto second = std::make_shared<UIViewController>();
    root->presentModalViewController(first, false);
    EXPECT_EQ(nav->modalViewController(), first.get());
    EXPECT_EQ(root->modalViewController(), nullptr) << "kept by the stack, the topmost controller";
    first->presentModalViewController(second, false);
    EXPECT_EQ(second->view()->superview(), window.get());
    // Dismissing the first also takes away the one it presents.
    nav->dismissModalViewControllerAnimated(false);
    EXPECT_EQ(first->view()->superview(), nullptr);
    EXPECT_EQ(second->view()->superview(), nullptr);
    EXPECT_EQ(nav->view()->superview(), window.get());
    EXPECT_EQ(nav->modalViewController(), nullptr);
}
