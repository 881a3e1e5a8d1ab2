#include "UITestSupport.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UITextField.h"
#include "ui/QZTabView.h"
#include "ui/YMPickerButton.h"

namespace {
struct SlideRecorder : QZTabViewDelegate {
    int downs = 0;
    void tabViewDidSlideDown(QZTabView&) override { ++downs; }
};
}  // namespace

class PickerStripTest : public WidgetTest {
protected:
    // A screen's view under the status bar with a button along its bottom,
    // which the strip covers only while it is up.
    void SetUp() override {
        WidgetTest::SetUp();
        host = std::make_shared<UIView>(CGRectMake(0, 20, 320, 460));
        host->setBackgroundColor(UIColor::whiteColor());
        window->addSubview(host);
        under = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(0, 400, 320, 60));
        under->addTarget(
            this, [this](UIControl&) { ++underTaps; }, UIControlEventTouchUpInside);
        host->addSubview(under);
    }
    void tapUnder() {
        window->layoutIfNeeded();
        app().tapAt(CGPointMake(160, 20 + 440));
        run(0.5);  // no double taps between steps
    }

    std::shared_ptr<UIView> host;
    std::shared_ptr<UIButton> under;
    int underTaps = 0;
};

TEST_F(PickerStripTest, TabSlidesThePickerUpOverTheScreenAndItsDoneKeySlidesItDown) {
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    picker->setBackgroundColor(UIColor::redColor());
    auto tab = QZTabView::initWithPickerView(picker);
    SlideRecorder rec;
    tab->setDelegate(&rec);
    host->addSubview(tab);
    EXPECT_FALSE(tab->open());
    EXPECT_GE(tab->frame().origin.y, 460) << "out of sight until slid up";
    tapUnder();
    EXPECT_EQ(underTaps, 1) << "a closed strip leaves the screen's controls to the finger";

    tab->slideUp();
    EXPECT_TRUE(tab->open());
    run(0.3);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(tab->frame()), 460) << "its bottom at the bottom of the view it is in";
    EXPECT_DOUBLE_EQ(tab->frame().size.height, QZTabView::kBarHeight + 216);
    CGRect p = picker->convertRectToView(picker->bounds(), nullptr);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(p), 480);
    auto shot = window->renderScreenToImage(1);
    ASSERT_TRUE(shot);
    uint32_t px = pixel(*shot, 160, 470);
    EXPECT_GT(red(px), 200);
    EXPECT_LT(green(px), 40) << "the picker shows at the bottom of the screen";
    saveScreenshot("tab-open");
    tapUnder();
    EXPECT_EQ(underTaps, 1) << "the open picker takes the touch";

    tap(*tab->doneButton());
    EXPECT_FALSE(tab->open());
    EXPECT_EQ(rec.downs, 0) << "reported when the 0.25 s slide has ended";
    run(0.3);
    EXPECT_EQ(rec.downs, 1);
    EXPECT_GE(tab->frame().origin.y, 460);
    tapUnder();
    EXPECT_EQ(underTaps, 2);
    shot = window->renderScreenToImage(1);
    EXPECT_GT(green(pixel(*shot, 160, 470)), 200) << "no picker left on screen";

    tab->slideDown();
    run(0.5);
    EXPECT_EQ(rec.downs, 1) << "sliding a closed strip down again reports nothing";
    tab->setDelegate(nullptr);
}

TEST_F(PickerStripTest, ASlideDownOvertakenBySlideUpDoesNotReport) {
    auto tab = QZTabView::initWithPickerView(std::make_shared<UIView>(CGRectMake(0, 0, 320, 180)));
    SlideRecorder rec;
    tab->setDelegate(&rec);
    host->addSubview(tab);
    tab->slideUp();
    run(0.3);
    tab->slideDown();
    run(0.1);
    tab->slideUp();
    run(0.5);
    EXPECT_TRUE(tab->open());
    EXPECT_EQ(rec.downs, 0) << "the strip is up: no slid-down report";
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(tab->frame()), 460);
    EXPECT_DOUBLE_EQ(tab->frame().size.height, QZTabView::kBarHeight + 180) << "the picker keeps its height";
    tab->slideDown();
    run(0.3);
    EXPECT_EQ(rec.downs, 1);
    tab->setDelegate(nullptr);
}

TEST_F(PickerStripTest, DatePickerStripReportsTheDateChosenOnIt) {
    auto date = std::make_shared<UIDatePicker>();
    date->setDatePickerMode(UIDatePickerMode::Date);
    auto tab = QZTabView::initWithDatePicker(date);
    EXPECT_TRUE(tab->isDatePicker());
    host->addSubview(tab);
    tab->slideUp();
    run(0.3);
    CGRect d = date->convertRectToView(date->bounds(), nullptr);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(d), 480);
    EXPECT_DOUBLE_EQ(d.size.height, 216);
    saveScreenshot("tab-date");
    tab->slideDown();
    run(0.3);
    EXPECT_FALSE(tab->open());
}

TEST_F(PickerStripTest, PickerButtonShowsItsPickerAndBarInsteadOfAKeyboard) {
    auto button = std::make_shared<YMPickerButton>(CGRectMake(0, 0, 140, 44));
    int actions = 0;
    button->addTarget(
        this, [&](UIControl&) { ++actions; }, UIControlEventTouchUpInside);
    host->addSubview(button);
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    auto bar = std::make_shared<UIToolbar>(CGRectMake(0, 0, 320, 44));
    button->setInputView(picker);
    button->setInputAccessoryView(bar);
    auto field = std::make_shared<UITextField>(CGRectMake(10, 100, 200, 32));
    field->setKeyboardType(UIKeyboardType::NumberPad);
    host->addSubview(field);

    tap(*button);
    EXPECT_EQ(actions, 1) << "the screen's own action runs too";
    EXPECT_TRUE(button->isFirstResponder());
    EXPECT_TRUE(UIKeyboard::isShown());
    EXPECT_EQ(picker->superview(), window.get());
    EXPECT_EQ(UIKeyboard::keyboard().superview(), nullptr) << "no keyboard under the picker";
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(picker->frame()), 480);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(bar->frame()), picker->frame().origin.y) << "the bar sits on the picker";
    saveScreenshot("pickerbutton");

    run(0.5);
    tap(*field);
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_EQ(picker->superview(), nullptr) << "a text field brings its own keyboard back";
    EXPECT_EQ(bar->superview(), nullptr);
    EXPECT_NE(UIKeyboard::keyboard().superview(), nullptr);

    run(0.5);
    tap(*button);
    EXPECT_EQ(picker->superview(), window.get());
    button->resignFirstResponder();
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_EQ(picker->superview(), nullptr);

    button->setEnabled(false);
    run(0.5);
    tap(*button);
    EXPECT_FALSE(button->isFirstResponder()) << "a disabled picker button opens nothing";
    EXPECT_EQ(picker->superview(), nullptr);
    EXPECT_EQ(actions, 2);
}
