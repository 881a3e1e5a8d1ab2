// The shell's screens as a customer uses them, by taps on screen points and
// key presses: forms whose action sits in the bottom toolbar stay usable while
// the keyboard covers the bottom of the screen; text pages fill the screen.
#include "ScreensTestSupport.h"

#include "core/Brokerage.h"
#include "platform/services/MessageComposeViewController.h"
#include "platform/services/PhoneCall.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "shell/ClientIdentity.h"
#include "shell/VTACustomerServiceViewController.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/VTAFeedbackViewController.h"
#include "shell/VTAInviteViewController.h"
#include "shell/VTASettingViewController.h"
#include "shell/VTAUpdateViewController.h"
#include "tests/support/Screenshots.h"

namespace {

class CustomerWalkTest : public ScreensTest {
protected:
    static CGRect onScreen(UIView* v) { return v->convertRectToView(v->bounds(), nullptr); }
    static CGPoint centre(UIView* v) {
        CGRect r = onScreen(v);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    }
    void tap(UIView* v) {
        window->layoutIfNeeded();
        UIApplication::sharedApplication().tapAt(centre(v));
        settle(0.3);
    }
    // The on-screen view showing the text (a toolbar button's title).
    UIView* shown(const std::string& text) {
        window->layoutIfNeeded();
        return host.findText(text);
    }
    void pressKey(const std::string& title) {
        UIView* key = UIKeyboard::keyboard().keyWithTitle(title);
        ASSERT_TRUE(key) << title;
        tap(key);
    }
    // The toolbar rests on the screen view's bottom edge.
    static void expectToolbarAtRest(VTAViewControllers& screen) {
        EXPECT_DOUBLE_EQ(CGRectGetMaxY(screen.toolbar()->frame()), CGRectGetMaxY(screen.view()->bounds()));
    }
};

TEST_F(CustomerWalkTest, TheInvitationIsSentWithTheNumberPadStillUp) {
    SentMessageLog::shared().clear();
    auto invite = std::make_shared<VTAInviteViewController>();
    pushViewController(invite);
    settle();
    tap(invite->numberField());
    ASSERT_TRUE(UIKeyboard::isShown());
    UIKeyboard::typeText("13900139000");
    EXPECT_EQ(invite->numberField()->text(), "13900139000");

    // The number pad has no return key: the button must be reachable above it.
    UIView* send = shown("发送邀请");
    ASSERT_TRUE(send);
    EXPECT_LE(CGRectGetMaxY(onScreen(send)), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    EXPECT_LE(CGRectGetMaxY(onScreen(invite->numberField())), CGRectGetMinY(onScreen(invite->toolbar())))
        << "the toolbar does not cover the field";
    tap(send);
    EXPECT_EQ(invite->numberField()->text(), "13900139000") << "the tap did not land on the number pad";
    EXPECT_TRUE(dynamic_cast<MFMessageComposeViewController*>(nav->modalViewController()))
        << "the finger reached 发送邀请";
    EXPECT_FALSE(UIKeyboard::isShown());
    expectToolbarAtRest(*invite);
}

TEST_F(CustomerWalkTest, FeedbackIsTypedAndSubmittedWithTheKeyboardUp) {
    startSimulator();
    auto fb = std::make_shared<VTAFeedbackViewController>();
    pushViewController(fb);
    settle();
    tap(fb->contentField());
    ASSERT_TRUE(UIKeyboard::isShown());
    UIKeyboard::typeText("希望增加港股行情");
    // Return leads on to the contact.
    pressKey("换行");
    EXPECT_TRUE(fb->contactField()->isFirstResponder());
    ASSERT_TRUE(UIKeyboard::isShown());
    UIKeyboard::typeText("13800138000");
    EXPECT_EQ(fb->contactField()->text(), "13800138000");

    UIView* submit = shown("提交");
    ASSERT_TRUE(submit);
    EXPECT_LE(CGRectGetMaxY(onScreen(submit)), CGRectGetMinY(UIKeyboard::frameOnScreen()));
    EXPECT_LE(CGRectGetMaxY(onScreen(fb->contactField())), CGRectGetMinY(onScreen(fb->toolbar())));
    tap(submit);
    EXPECT_FALSE(UIKeyboard::isShown());
    expectToolbarAtRest(*fb);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "感谢您的反馈"; }));
    EXPECT_EQ(sim->requestsOf(100, 17).size(), 1u);
}

TEST_F(CustomerWalkTest, ReturnOnTheContactPutsTheKeyboardAway) {
    auto fb = std::make_shared<VTAFeedbackViewController>();
    pushViewController(fb);
    settle();
    tap(fb->contactField());
    ASSERT_TRUE(UIKeyboard::isShown());
    pressKey("换行");
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_FALSE(fb->contactField()->isFirstResponder());
    expectToolbarAtRest(*fb);
}

}  // namespace

namespace {

// The disclaimer opened from the menu asks nothing and has no toolbar: its
// text reaches down to the bottom of the screen, no empty strip below it.
TEST_F(CustomerWalkTest, TheDisclaimerWithoutToolbarFillsTheScreenToTheBottom) {
    auto plain = std::make_shared<VTADisclaimerViewController>();
    pushViewController(plain);
    settle();
    window->layoutIfNeeded();
    ASSERT_TRUE(plain->toolbar()->isHidden());
    CGRect screen = window->bounds();
    UIView* bottom = window->hitTest(CGPointMake(CGRectGetMidX(screen), CGRectGetMaxY(screen) - 4), nullptr);
    ASSERT_TRUE(bottom);
    EXPECT_TRUE(bottom == plain->bodyLabel()->superview() ||
                bottom->isDescendantOfView(plain->bodyLabel()->superview()))
        << "found " << bottom->className() << " at the bottom edge";
}

// The about page is a text: no empty black toolbar under it.
TEST_F(CustomerWalkTest, TheAboutPageHasNoEmptyToolbar) {
    auto about = VTAUIFactory::viewControllerWithLink("about", "关于");
    ASSERT_TRUE(about);
    pushViewController(about);
    settle();
    saveScreenshot("about");
    auto* page = dynamic_cast<VTAViewControllers*>(about.get());
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->toolbar()->isHidden());
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(page->contentView()->frame()), CGRectGetMaxY(page->view()->bounds()));
    EXPECT_TRUE(shown(kBrokerageHotline));
    // The application's one name, as the notification settings texts give it.
    EXPECT_TRUE(shown(std::string(kClientName) + " " + kClientVersion));
    EXPECT_EQ(std::string(kClientName), "翠岚星");
    EXPECT_NE(std::string(VTAInviteViewController::kInviteText).find(kClientName), std::string::npos);
}

// "客服热线" shows what a phone shows before it calls: the number, to call or not.
TEST_F(CustomerWalkTest, TheHotlineAsksBeforeItCalls) {
    PhoneCallLog::shared().clear();
    auto service = std::make_shared<VTACustomerServiceViewController>();
    pushViewController(service);
    settle();
    UIView* row = shown("客服热线");
    ASSERT_TRUE(row);
    EXPECT_TRUE(shown(kBrokerageHotline)) << "the row names the number";
    tap(row);
    ASSERT_TRUE(topAlert());
    EXPECT_EQ(topAlertTitle(), kBrokerageHotline);
    saveScreenshot("prompt");
    ASSERT_TRUE(shown("取消"));
    tap(shown("取消"));
    EXPECT_FALSE(topAlert());
    EXPECT_TRUE(PhoneCallLog::shared().calls().empty()) << "cancelled: no call";
    EXPECT_EQ(top(), service.get());

    tap(shown("客服热线"));
    ASSERT_TRUE(shown("呼叫"));
    tap(shown("呼叫"));
    EXPECT_FALSE(topAlert());
    ASSERT_EQ(PhoneCallLog::shared().calls().size(), 1u);
    EXPECT_EQ(PhoneCallLog::shared().calls()[0].number, kBrokerageHotline);
    EXPECT_EQ(UIApplication::sharedApplication().openedURLs().back(), std::string("tel:") + kBrokerageHotline);
}

// Settings names the update screen as the menu does, and the screen agrees.
TEST_F(CustomerWalkTest, SettingsOpensTheSoftwareUpdateUnderTheMenusName) {
    auto settings = std::make_shared<VTASettingViewController>();
    pushViewController(settings);
    settle();
    auto* table = settings->tableView();
    int last = static_cast<int>(settings->sections().size()) - 1;
    table->scrollToRowAtIndexPath(NSIndexPath::indexPathForRow(0, last), UITableViewScrollPosition::Top, false);
    settle();
    UIView* row = shown("软件更新");
    ASSERT_TRUE(row);
    EXPECT_FALSE(shown("软件升级"));
    tap(row);
    ASSERT_NE(top(), settings.get());
    EXPECT_EQ(top()->title(), "软件更新");
    EXPECT_EQ(VTAUpdateViewController().title(), "软件更新");
}

// The stock finder as a customer first sees it: the ranking title whole in its
// bar, the caret before the placeholder, and typed codes about as large as the
// rows they find.
TEST_F(CustomerWalkTest, TheStockFinderReadsWell) {
    startSimulator();
    auto finder = root->showStockFinder();
    ASSERT_TRUE(finder);
    settle();
    auto shot = saveScreenshot("finder");
    ASSERT_TRUE(shot);
    auto inkRows = [&](const UIImage& img, CGRect r, const std::function<bool(uint32_t)>& isInk) {
        std::pair<double, double> rows{1e9, -1};
        for (int y = int(r.origin.y * 2); y < int(CGRectGetMaxY(r) * 2); ++y)
            for (int x = int(r.origin.x * 2); x < int(CGRectGetMaxX(r) * 2); ++x)
                if (isInk(img.pixelAt(x, y))) rows = {std::min(rows.first, y / 2.0), std::max(rows.second, y / 2.0)};
        return rows;
    };
    auto channel = [](uint32_t p, int shift) { return int((p >> shift) & 0xff); };
    UIView* header = finder->listView()->headerViewForSection(1);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->accessibilityText(), "排行榜");
    CGRect bar = onScreen(header);
    auto white = [&](uint32_t p) { return channel(p, 16) > 240 && channel(p, 8) > 240 && channel(p, 0) > 240; };
    CGRect above = CGRectMake(bar.origin.x, bar.origin.y - 6, bar.size.width, bar.size.height + 6);
    auto [top, bottom] = inkRows(*shot, above, white);
    ASSERT_GE(bottom, 0) << "the title shows";
    EXPECT_GE(top - CGRectGetMinY(bar), 2.75) << "the title does not touch the top of its bar";
    EXPECT_GE(CGRectGetMaxY(bar) - bottom, 2.75);

    UITextField* field = finder->searchField();
    ASSERT_TRUE(field->isFirstResponder());
    UIKeyboard::typeText("600");
    ASSERT_TRUE(waitFor([&] { return finder->showsResults() && !finder->results().empty(); }));
    settle();
    saveScreenshot("finder-typed");
    auto cell = finder->listView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    ASSERT_TRUE(cell);
    EXPECT_GE(field->font()->pointSize(), cell->textLabel()->font()->pointSize() - 1)
        << "typed codes as large as the codes found";
    EXPECT_LE(field->font()->lineHeight(), field->bounds().size.height);
}

}  // namespace
