#include "UITestSupport.h"

#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "ui/Alerts.h"
#include "ui/SVProgressHUD.h"
#include "ui/VTAAlertTextField.h"
#include "ui/VTASheetPicker.h"
#include "ui/YMCountdownAlert.h"

namespace {
struct AlertRecorder : UIAlertViewDelegate {
    std::vector<std::pair<std::string, int>> clicks;
    void alertViewClickedButtonAtIndex(UIAlertView& a, int i) override { clicks.emplace_back(a.title(), i); }
};
struct SheetRecorder : UIActionSheetDelegate {
    std::vector<int> clicks;
    void actionSheetClickedButtonAtIndex(UIActionSheet&, int i) override { clicks.push_back(i); }
};
}  // namespace

class PopupsTest : public WidgetTest {
protected:
    void TearDown() override {
        SVProgressHUD::dismiss();
        WidgetTest::TearDown();
    }
    void press(UIButton* b) {
        ASSERT_NE(b, nullptr);
        tap(*b);
    }
};

TEST_F(PopupsTest, ShowAlertHasTheSingleButtonAndNoDelegate) {
    auto a = showAlert("非法代码！");
    ASSERT_EQ(UIAlertView::topAlert(), a);
    EXPECT_EQ(a->numberOfButtons(), 1);
    EXPECT_EQ(a->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(a->delegate(), nullptr);
    press(a->buttonViewAtIndex(0));
    EXPECT_FALSE(a->isVisible());
}

TEST_F(PopupsTest, CountdownAlertEndsWithTheDoneAlertForTheDelegate) {
    AlertRecorder rec;
    auto a = std::make_shared<YMCountdownAlert>("手机令牌申请中...", "手机令牌申请成功", 30, &rec);
    a->show();
    EXPECT_EQ(a->numberOfButtons(), 0);
    EXPECT_EQ(a->remaining(), 30);
    run(10.5);
    EXPECT_EQ(a->remaining(), 20) << "one step a second";
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->doneAlert(), nullptr);
    saveScreenshot("countdown");
    run(20);
    EXPECT_EQ(a->remaining(), 0);
    EXPECT_FALSE(a->isVisible()) << "closes itself at the end";
    auto done = a->doneAlert();
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->isVisible());
    EXPECT_EQ(done->title(), "手机令牌申请成功");
    EXPECT_EQ(done->buttonTitleAtIndex(0), "确定");
    run(30);
    EXPECT_EQ(a->doneAlert(), done) << "the end comes once";
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    press(done->buttonViewAtIndex(0));
    ASSERT_EQ(rec.clicks.size(), 1u);
    EXPECT_EQ(rec.clicks[0], std::make_pair(std::string("手机令牌申请成功"), 0));
}

TEST_F(PopupsTest, CancelledCountdownShowsNoDoneAlert) {
    AlertRecorder rec;
    auto a = std::make_shared<YMCountdownAlert>("等待", "完成了", 5, &rec);
    a->show();
    run(2);
    a->cancel();
    run(10);
    EXPECT_EQ(a->doneAlert(), nullptr);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(PopupsTest, SheetPickerOtherIsZeroAndCancelIsOne) {
    SheetRecorder rec;
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    auto sheet = std::make_shared<VTASheetPicker>("选择基金", picker, &rec, "取消", "确定");
    sheet->setTag(7);
    sheet->showInView(window.get());
    run(0.5);
    EXPECT_EQ(sheet->picker(), picker);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "取消");
    EXPECT_EQ(sheet->cancelButtonIndex(), 1);
    window->layoutIfNeeded();
    CGRect p = picker->convertRectToView(picker->bounds(), nullptr);
    CGRect ok = sheet->buttonViewAtIndex(0)->convertRectToView(sheet->buttonViewAtIndex(0)->bounds(), nullptr);
    EXPECT_LE(CGRectGetMaxY(p), ok.origin.y + 0.5) << "the picker sits above the buttons";
    saveScreenshot("sheetpicker");
    press(sheet->buttonViewAtIndex(0));
    EXPECT_EQ(rec.clicks, (std::vector<int>{0}));
    sheet->showInView(window.get());
    run(0.5);
    press(sheet->buttonViewAtIndex(1));
    EXPECT_EQ(rec.clicks, (std::vector<int>{0, 1}));
    EXPECT_EQ(sheet->tag(), 7);
}

TEST_F(PopupsTest, AlertTextFieldCancelIsZeroAndTheFieldKeepsItsLength) {
    AlertRecorder rec;
    auto a = std::make_shared<VTAAlertTextField>("请输入基金代码", UIKeyboardType::NumberPad, 6, &rec, "取消", "确定");
    a->show();
    EXPECT_EQ(a->cancelButtonIndex(), 0);
    EXPECT_EQ(a->buttonTitleAtIndex(1), "确定");
    auto f = a->textField();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->keyboardType(), UIKeyboardType::NumberPad);
    tap(*f);
    UIKeyboard::typeText("12345678");
    EXPECT_EQ(f->text(), "123456") << "no more than the allowed length";
    saveScreenshot("alerttextfield");
    press(a->buttonViewAtIndex(1));
    ASSERT_EQ(rec.clicks.size(), 1u);
    EXPECT_EQ(rec.clicks[0].second, 1);
    auto b = std::make_shared<VTAAlertTextField>("名称", UIKeyboardType::Default, 8, &rec, "取消", "确定");
    b->show();
    press(b->buttonViewAtIndex(0));
    EXPECT_EQ(rec.clicks.back().second, 0);
}

TEST_F(PopupsTest, ProgressHUDDismissesAfterItsDelay) {
    SVProgressHUD::showWithStatus("正在加载...", SVProgressHUDMaskType::Black, true);
    EXPECT_TRUE(SVProgressHUD::isVisible());
    EXPECT_TRUE(app().isNetworkActivityIndicatorVisible());
    saveScreenshot("hud");
    SVProgressHUD::dismissWithError("网络错误", 1.75);
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Error);
    EXPECT_EQ(SVProgressHUD::status(), "网络错误");
    run(1.5);
    EXPECT_TRUE(SVProgressHUD::isVisible()) << "still up before the delay";
    run(0.5);
    EXPECT_FALSE(SVProgressHUD::isVisible());
    EXPECT_FALSE(app().isNetworkActivityIndicatorVisible());
}

TEST_F(PopupsTest, ErrorShowsEvenWithoutProgressAndANewShowCancelsAnOldDismissal) {
    SVProgressHUD::dismissWithError("委托失败", 1.0);
    EXPECT_TRUE(SVProgressHUD::isVisible());
    saveScreenshot("hud-error");
    run(0.5);
    SVProgressHUD::showWithStatus("重新提交...");
    run(2);
    EXPECT_TRUE(SVProgressHUD::isVisible()) << "the old timer must not hide the new progress";
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Spinner);
    SVProgressHUD::dismissWithSuccess("成功");
    run(1.1);
    EXPECT_FALSE(SVProgressHUD::isVisible());
    SVProgressHUD::showWithStatus("x");
    SVProgressHUD::dismiss();
    EXPECT_FALSE(SVProgressHUD::isVisible()) << "dismiss hides at once";
}

TEST_F(PopupsTest, MaskedProgressSwallowsTouchesUnmaskedDoesNot) {
    auto button = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(100, 200, 100, 40));
    int taps = 0;
    button->addTarget(
        this, [&](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    window->addSubview(button);
    SVProgressHUD::showWithStatus("请稍候", SVProgressHUDMaskType::Clear, false);
    tap(*button);
    EXPECT_EQ(taps, 0);
    SVProgressHUD::showWithStatus("请稍候");
    tap(*button);
    EXPECT_EQ(taps, 1);
}
