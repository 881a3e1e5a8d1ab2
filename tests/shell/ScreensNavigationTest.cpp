// The navigation functions on a real navigation controller, the base screen's
// hooks and commands, trading a stock, and the idle trade lock.
#include "ScreensTestSupport.h"

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UINavigationBar.h"
#include "shell/TradeSession.h"
#include "tests/support/Screenshots.h"

namespace {

class ScreensNavigationTest : public ScreensTest {};

TEST_F(ScreensNavigationTest, PushAndPopRunTheHooksInOrder) {
    auto a = std::make_shared<RecordingScreen>(&log, "a");
    log.clear();
    ASSERT_TRUE(pushViewController(a));
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"root:willDisappear", "a:viewWillDidLoad", "a:createToolbarItems",
                                             "a:willAppear", "root:didDisappear", "a:didAppear"}));
    auto b = std::make_shared<RecordingScreen>(&log, "b");
    auto c = std::make_shared<RecordingScreen>(&log, "c");
    pushViewController(b);
    pushViewController(c);
    settle();
    ASSERT_EQ(depth(), 4u);

    // Two screens back in one transition: b never comes on screen.
    log.clear();
    popViewControllers(2);
    settle();
    EXPECT_EQ(top(), a.get());
    EXPECT_EQ(log, (std::vector<std::string>{"c:willDisappear", "a:willAppear", "c:didDisappear", "a:didAppear"}));

    // More than there are: the root stays.
    popViewControllers(10);
    settle();
    EXPECT_EQ(depth(), 1u);
    popViewControllers(1);
    popViewControllers(0);
    EXPECT_EQ(depth(), 1u);

    pushViewController(b);
    pushViewController(c);
    settle();
    popToRootViewController();
    settle();
    EXPECT_EQ(top(), root.get());
}

TEST_F(ScreensNavigationTest, PushBeforeReplacesTheOldScreen) {
    auto login = std::make_shared<RecordingScreen>(&log, "login");
    pushViewController(login);
    settle();
    auto order = std::make_shared<RecordingScreen>(&log, "order");
    log.clear();
    ASSERT_TRUE(pushViewControllerBefore(order, login.get()));
    settle();
    ASSERT_EQ(depth(), 2u);
    EXPECT_EQ(nav->viewControllers()[1], order);
    EXPECT_EQ(log, (std::vector<std::string>{"login:willDisappear", "order:viewWillDidLoad", "order:createToolbarItems",
                                             "order:willAppear", "login:didDisappear", "order:didAppear"}));

    // Without an old screen (or one not on the stack) the new one is pushed.
    auto other = std::make_shared<RecordingScreen>();
    pushViewControllerBefore(other, nullptr);
    settle();
    EXPECT_EQ(top(), other.get());
    auto stranger = std::make_shared<RecordingScreen>();
    auto third = std::make_shared<RecordingScreen>();
    pushViewControllerBefore(third, stranger.get());
    settle();
    EXPECT_EQ(top(), third.get());
    EXPECT_EQ(depth(), 4u);
    EXPECT_FALSE(pushViewControllerBefore(nullptr, third.get()));
}

namespace {
// A screen that lays out a full-height list with a bar docked over its
// bottom, and puts nothing on its toolbar.
class ScreenWithoutToolbarItems : public VTAViewControllers {
public:
    void viewWillDidLoad() override {
        CGRect b = contentView()->bounds();
        list = std::make_shared<UIView>(CGRectMake(0, 0, b.size.width, b.size.height));
        docked = std::make_shared<UIView>(CGRectMake(0, b.size.height - 40, b.size.width, 40));
        note = std::make_shared<UIView>(CGRectMake(10, 10, 100, 20));
        for (auto& v : {list, docked, note}) contentView()->addSubview(v);
    }
    std::shared_ptr<UIView> list, docked, note;
};
}  // namespace

TEST_F(ScreensNavigationTest, AnEmptyToolbarGivesItsRoomToTheViewsThatReachedIt) {
    auto s = std::make_shared<ScreenWithoutToolbarItems>();
    pushViewController(s);
    settle();
    const double full = s->view()->bounds().size.height;
    EXPECT_TRUE(s->toolbar()->isHidden());
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(s->contentView()->frame()), full);
    EXPECT_EQ(s->list->frame(), CGRectMake(0, 0, 320, full)) << "the list stretches";
    EXPECT_EQ(s->docked->frame(), CGRectMake(0, full - 40, 320, 40)) << "the docked bar moves down";
    EXPECT_EQ(s->note->frame(), CGRectMake(10, 10, 100, 20)) << "the rest stays";
}

TEST_F(ScreensNavigationTest, TheBaseScreenLaysOutItsContentAndToolbar) {
    auto s = std::make_shared<RecordingScreen>();
    pushViewController(s);
    settle();
    double full = s->view()->bounds().size.height;
    // Nothing on its toolbar: no empty bar, the content takes the room.
    EXPECT_TRUE(s->toolbar()->isHidden());
    EXPECT_DOUBLE_EQ(s->contentView()->frame().size.height, full);
    s->showToolBar();
    EXPECT_DOUBLE_EQ(s->contentView()->frame().size.height, full - VTAViewControllers::kToolbarHeight);
    EXPECT_FALSE(s->toolbar()->isHidden());
    s->hideToolBar();
    EXPECT_DOUBLE_EQ(s->contentView()->frame().size.height, full);
    EXPECT_TRUE(s->toolbar()->isHidden());
    EXPECT_EQ(s->frameStatus(), 0);
    EXPECT_EQ(s->stockFinderButton()->title(), "个股");
    EXPECT_TRUE(s->flexibleSpaceBarBtn()->isSpace());

    // The logo: the bundle's red badge on the navigation bar, not a text.
    auto* logo = dynamic_cast<UIButton*>(s->logoButton()->customView().get());
    ASSERT_TRUE(logo);
    ASSERT_TRUE(logo->currentImage());
    EXPECT_EQ(logo->currentTitle(), "");
    auto shot = saveScreenshot("logo");
    ASSERT_TRUE(shot);
    CGRect badge = logo->convertRectToView(logo->bounds(), nullptr);
    UINavigationBar* bar = s->navigationController()->navigationBar();
    EXPECT_TRUE(CGRectContainsRect(bar->convertRectToView(bar->bounds(), nullptr), badge));
    uint32_t p = shot->pixelAt(int((badge.origin.x + 5) * 2), int(CGRectGetMidY(badge) * 2));
    EXPECT_GT(int((p >> 16) & 0xff), 150) << std::hex << p;
    EXPECT_LT(int((p >> 8) & 0xff), 90) << std::hex << p;

    // The logo goes home; a script finds it by that name.
    auto next = std::make_shared<RecordingScreen>();
    pushViewController(next);
    settle();
    EXPECT_EQ(host.findText("首页"), next->logoButton()->customView().get());
    ASSERT_TRUE(host.tapText("首页"));
    settle();
    EXPECT_EQ(top(), root.get());
}

TEST_F(ScreensNavigationTest, TheOKCancelDialogHasItsButtonsAndTheScreenAsDelegate) {
    struct Asking : RecordingScreen {
        int clicked = -1;
        void alertViewClickedButtonAtIndex(UIAlertView&, int index) override { clicked = index; }
    };
    auto s = std::make_shared<Asking>();
    pushViewController(s);
    settle();
    auto alert = s->dialogOKCancelActionWithTitle("确认", "撤销此委托？");
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "取消");
    EXPECT_TRUE(host.pressAlertButton("取消"));
    EXPECT_EQ(s->clicked, 1);
    // The screen gone, the alert outlives it without calling into it.
    auto late = s->dialogOKCancelActionWithTitle("确认", "");
    popViewControllers(1);
    settle();
    s.reset();
    late->tapButtonAtIndex(0);
}

TEST_F(ScreensNavigationTest, GoToZXHQFindsTheItemAndOpensIt) {
    auto tree = std::make_shared<VTATree>();
    tree->addMenu(menu("", "行情", 1, -1), -1);
    tree->addMenu(menu("zxhq", "自选股", 11, 1), 1);
    VTATree::setSharedTree(tree);
    ScreenRegistry::shared().addScreen("zxhq", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    auto s = std::make_shared<RecordingScreen>();
    pushViewController(s);
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    s->goToZXHQ();
    settle();
    ASSERT_EQ(depth(), 2u);
    EXPECT_EQ(top()->title(), "自选股");
    // No "pxhq" anywhere: back at the root, nothing opened.
    s->goToPXHQ();
    settle();
    EXPECT_EQ(depth(), 1u);
}

TEST_F(ScreensNavigationTest, TradeWithStockRefusesWhatCannotBeTraded) {
    ScreenRegistry::shared().addScreen("buysale", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    setTradeSession();
    struct Case {
        std::shared_ptr<VTAStock> stock;
        const char* alert;
    };
    auto stock = [](const char* code, int market, int type) {
        auto s = std::make_shared<VTAStock>(code, "名称", market);
        s->setTypeID(type);
        return s;
    };
    for (const Case& c : {Case{nullptr, "非法代码！"}, Case{stock("6000", 2, 1), "非法代码！"},
                          Case{stock("6000001", 2, 1), "非法代码！"}, Case{stock("000001", 2, 2), "指数不能交易！"},
                          Case{stock("00700", 3, 6), "港股暂时无法交易！"}}) {
        EXPECT_FALSE(tradeWithStock(c.stock, 0));
        EXPECT_EQ(topAlertTitle(), c.alert);
        topAlert()->tapButtonAtIndex(0);
    }
    settle();
    EXPECT_EQ(depth(), 1u);
}

TEST_F(ScreensNavigationTest, TradeWithStockOpensTheOrderScreenWithTheStock) {
    ScreenRegistry::shared().addScreen("buysale", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    std::shared_ptr<VTAMenu> pending;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        pending = m;
        return std::make_shared<RecordingScreen>();
    });
    auto stock = std::make_shared<VTAStock>("600036", "招商银行", 2);

    // Without a session: the login, with the order item pending and the stock.
    auto login = root->tradeWithStock(stock, 1, "market=1&secuid=A1");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "交易登录");
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->link(), "buysale?MMLB=1");
    EXPECT_EQ(pending->title(), "卖出委托");
    EXPECT_EQ(pending->params(), "market=1&secuid=A1");
    auto message = dynamic_cast<RecordingScreen*>(login.get())->viewMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type(), 1);
    EXPECT_EQ(message->dataStock()->code(), "600036");
    auto* sender = std::any_cast<std::weak_ptr<UIViewController>>(&message->sender());
    ASSERT_TRUE(sender) << "the calling screen is the sender";
    EXPECT_EQ(sender->lock(), root);
    popToRootViewController();
    settle();

    setTradeSession();
    auto order = tradeWithStock(stock, 0);
    ASSERT_TRUE(order);
    settle();
    EXPECT_EQ(top(), order.get());
    EXPECT_EQ(order->title(), "买入委托");
    auto* screen = dynamic_cast<RecordingScreen*>(order.get());
    EXPECT_EQ(screen->viewMenu()->link(), "buysale?MMLB=0");
    EXPECT_EQ(screen->viewMenu()->params(), "");
    EXPECT_EQ(screen->viewMessage()->dataStock()->name(), "招商银行");
    EXPECT_TRUE(VTAUIFactory::isTradeScreen(order.get()));
}

TEST_F(ScreensNavigationTest, TheIdleLockEndsTheSessionAndTakesTheTradeScreensAway) {
    ScreenRegistry::shared().addScreen("zxhq", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    ScreenRegistry::shared().addScreen("wtcd", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    setTradeSession();
    VTAParamter::shareParamter().setString("x", "tradeUserAllTCRS");
    auto account = VTAAccount::initWithIDEX("100200", VTAAccountType::accountTypeWithCode("Z", "资金帐号"),
                                            std::make_shared<VTAYYB>("0101", "营业部"), "100200");
    account->activeAccountWithLogonOnUser("张三", "888888", {});
    VTAAccountManager::tradeAccountManager().setSelectedAccount(account);

    auto quotes = VTAUIFactory::openMenuWithTradeGate(menu("zxhq", "自选股"));
    auto cancel = VTAUIFactory::openMenuWithTradeGate(menu("wtcd", "撤单"));
    pushViewController(std::make_shared<RecordingScreen>());  // opened by the trade screen
    settle();
    ASSERT_EQ(depth(), 4u);

    auto alert = lockTradeSession();
    settle();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), kTradeLockedText);
    EXPECT_FALSE(hasTradeSession());
    for (const char* k : {"tradeUserInfo", "tradeUserTCRS", "tradeUserAllTCRS", "tradepassword"})
        EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(k)) << k;
    EXPECT_FALSE(account->isLogon());
    EXPECT_EQ(depth(), 2u);
    EXPECT_EQ(top(), quotes.get());

    // Nothing to lock: no alert, nothing moves.
    alert->tapButtonAtIndex(0);
    EXPECT_FALSE(lockTradeSession());
    EXPECT_EQ(depth(), 2u);
    VTAAccountManager::tradeAccountManager().removeAccount(*account);
}

TEST_F(ScreensNavigationTest, TheLockIntervalHasASaneDefault) {
    auto& d = NSUserDefaults::standardUserDefaults();
    d.removeObjectForKey("TradeLockInterval");
    EXPECT_EQ(tradeLockIntervalMinutes(), kDefaultTradeLockMinutes);
    d.setInteger(-3, "TradeLockInterval");
    EXPECT_EQ(tradeLockIntervalMinutes(), kDefaultTradeLockMinutes);
    d.setInteger(15, "TradeLockInterval");
    EXPECT_EQ(tradeLockIntervalMinutes(), 15);
    d.removeObjectForKey("TradeLockInterval");
}

}  // namespace
