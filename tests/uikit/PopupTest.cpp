#include "UIKitTestSupport.h"

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITextField.h"

namespace {
struct AlertLog : UIAlertViewDelegate {
    std::vector<std::string> log;
    void alertViewClickedButtonAtIndex(UIAlertView& a, int i) override {
        log.push_back("clicked" + std::to_string(i) + " tag" + std::to_string(a.tag()));
    }
    void alertViewWillDismissWithButtonIndex(UIAlertView&, int i) override {
        log.push_back("will" + std::to_string(i));
    }
    void alertViewDidDismissWithButtonIndex(UIAlertView&, int i) override { log.push_back("did" + std::to_string(i)); }
};

struct SheetLog : UIActionSheetDelegate {
    std::vector<int> clicked;
    void actionSheetClickedButtonAtIndex(UIActionSheet&, int i) override { clicked.push_back(i); }
};
}  // namespace

TEST_F(UIKitTest, AlertIndicesPutTheCancelButtonFirst) {
    AlertLog d;
    auto alert = std::make_shared<UIAlertView>("提示", "确定要撤单吗？", &d, std::string("取消"),
                                               std::vector<std::string>{"确定"});
    alert->setTag(3);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "确定");
    EXPECT_EQ(alert->buttonTitleAtIndex(5), "");
    alert->show();
    ASSERT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(alert->superview(), window.get());
    // A finger on "确定" (right of the pair) reports index 1.
    UIButton* ok = alert->buttonViewAtIndex(1);
    ASSERT_NE(ok, nullptr);
    EXPECT_GT(centerOnScreen(*ok).x, 160);
    tap(*ok);
    EXPECT_EQ(d.log, (std::vector<std::string>{"clicked1 tag3", "will1", "did1"}));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    EXPECT_EQ(alert->superview(), nullptr);
}

TEST_F(UIKitTest, AlertWithoutCancelNumbersOthersFromZeroAndStacks) {
    AlertLog d;
    auto first = std::make_shared<UIAlertView>("一", "", &d, std::nullopt, std::vector<std::string>{"确定", "取消"});
    EXPECT_EQ(first->cancelButtonIndex(), -1);
    EXPECT_EQ(first->addButtonWithTitle("更多"), 2);
    first->show();
    auto second = std::make_shared<UIAlertView>("二", "", &d, std::string("好"), std::vector<std::string>{});
    second->show();
    EXPECT_EQ(UIAlertView::topAlert(), second);
    EXPECT_TRUE(first->isHidden()) << "only the newest alert shows";
    tap(*second->buttonViewAtIndex(0));
    EXPECT_FALSE(first->isHidden());
    // Dismissed by code: no clicked call.
    d.log.clear();
    first->dismissWithClickedButtonIndex(2, true);
    EXPECT_EQ(d.log, (std::vector<std::string>{"will2", "did2"}));
}

TEST_F(UIKitTest, AlertCoversTheScreenUntilAnswered) {
    int taps = 0;
    auto button = UIButton::buttonWithType(UIButtonType::RoundedRect);
    button->setFrame(CGRectMake(0, 0, 320, 480));
    button->addTarget(
        this, [&](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    window->addSubview(button);
    auto alert = std::make_shared<UIAlertView>("提示", "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->show();
    app().tapAt(CGPointMake(10, 10));
    EXPECT_EQ(taps, 0);
    alert->tapButtonAtIndex(0);
    app().tapAt(CGPointMake(10, 10));
    EXPECT_EQ(taps, 1);
}

TEST_F(UIKitTest, AlertWithASecureFieldTakesTheKeyboard) {
    auto alert =
        std::make_shared<UIAlertView>("请输入密码", "", nullptr, std::string("取消"), std::vector<std::string>{"确定"});
    alert->setAlertViewStyle(UIAlertViewStyle::SecureTextInput);
    alert->show();
    auto field = alert->textFieldAtIndex(0);
    ASSERT_TRUE(field);
    EXPECT_EQ(alert->textFieldAtIndex(1), nullptr);
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(field->isSecureTextEntry());
    field->insertText("8888");
    EXPECT_EQ(field->text(), "8888");
    EXPECT_EQ(field->accessibilityText(), "") << "secrets stay out of view dumps";
    alert->tapButtonAtIndex(1);
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(UIKitTest, ActionSheetIndicesDestructiveFirstCancelLast) {
    SheetLog d;
    auto sheet = std::make_shared<UIActionSheet>("确认\n卖出 600000", &d, std::string("取消"), std::string("删除"),
                                                 std::vector<std::string>{"甲", "乙"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    EXPECT_EQ(sheet->numberOfButtons(), 4);
    sheet->showInView(window.get());
    // The cancel button is the lowest; "乙" is above it.
    UIButton* cancel = sheet->buttonViewAtIndex(3);
    UIButton* yi = sheet->buttonViewAtIndex(2);
    ASSERT_TRUE(cancel && yi);
    EXPECT_GT(centerOnScreen(*cancel).y, centerOnScreen(*yi).y);
    EXPECT_LE(cancel->frame().origin.y + cancel->frame().size.height, 480);
    tap(*yi);
    EXPECT_EQ(d.clicked, (std::vector<int>{2}));
    EXPECT_TRUE(UIActionSheet::visibleSheets().empty());

    auto plain =
        std::make_shared<UIActionSheet>("", &d, std::string("取消"), std::nullopt, std::vector<std::string>{"确定"});
    EXPECT_EQ(plain->destructiveButtonIndex(), -1);
    EXPECT_EQ(plain->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(plain->cancelButtonIndex(), 1);
}

TEST_F(UIKitTest, AlertDelegateMayShowTheNextAlertFromDidDismiss) {
    struct Chain : UIAlertViewDelegate {
        std::shared_ptr<UIAlertView> next;
        void alertViewDidDismissWithButtonIndex(UIAlertView&, int) override {
            next = std::make_shared<UIAlertView>("令牌验证失败", "", nullptr, std::string("确定"),
                                                 std::vector<std::string>{});
            next->show();
        }
    } chain;
    auto first = std::make_shared<UIAlertView>("提示", "", &chain, std::string("确定"), std::vector<std::string>{});
    first->show();
    tap(*first->buttonViewAtIndex(0));
    ASSERT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(UIAlertView::topAlert()->title(), "令牌验证失败");
    EXPECT_FALSE(UIAlertView::topAlert()->isHidden());
}

TEST_F(UIKitTest, AlertWithWeakDelegateOutlivingItsScreen) {
    auto alert = std::make_shared<UIAlertView>("提示", "", nullptr, std::string("确定"), std::vector<std::string>{});
    {
        auto d = std::make_shared<AlertLog>();
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(d));
        alert->show();
    }
    EXPECT_EQ(alert->delegate(), nullptr);
    alert->tapButtonAtIndex(0);  // no call into a screen that is gone
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(UIKitTest, AlertWithoutButtonsClosesByCode) {
    AlertLog d;
    auto alert = std::make_shared<UIAlertView>("30", "", &d, std::nullopt, std::vector<std::string>{});
    alert->show();
    EXPECT_EQ(alert->numberOfButtons(), 0);
    alert->tapButtonAtIndex(0);
    EXPECT_TRUE(alert->isVisible());
    alert->setTitle("29");
    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(d.log, (std::vector<std::string>{"will0", "did0"}));
}

TEST_F(UIKitTest, ALongAlertMessageScrollsInsideTheScreen) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "基金风险揭示书第" + std::to_string(i) + "条。\n";
    auto alert = std::make_shared<UIAlertView>("风险揭示", text, nullptr, std::string("不同意"),
                                               std::vector<std::string>{"同意"});
    alert->show();
    window->layoutIfNeeded();
    EXPECT_LE(CGRectGetMaxY(alert->boxFrame()), 480);
    EXPECT_GE(alert->boxFrame().origin.y, 0);
    UIButton* agree = alert->buttonViewAtIndex(1);
    EXPECT_LE(CGRectGetMaxY(agree->frame()), 480);
    saveScreenshot("long-alert");
    tap(*agree);
    EXPECT_FALSE(alert->isVisible());
}
