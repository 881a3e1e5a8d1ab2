#include "tests/shell/LaunchTestSupport.h"

#include "core/MenuFunctions.h"
#include "core/storage/QZMessageExpress.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "shell/PushHandling.h"
#include "shell/VTAUIFactory.h"
#include "tests/support/Screenshots.h"

namespace {

std::vector<uint8_t> menuWithRootItems(int count) {
    std::vector<MenuItemRecord> items;
    for (int i = 1; i <= count; ++i)
        items.push_back({i, -1, "项目" + std::to_string(i), "item" + std::to_string(i), "", true});
    items.push_back({100, -1, "隐藏", "hidden", "", false});
    return menuRecordSetsData(items, {});
}

QZMessageExpress storedMessage(const std::string& id, bool read) {
    QZMessageExpress m("1001");
    m.setMessageId(id);
    m.setMessageTitle("测试消息" + id);
    m.setSendDate("2024-03-05");
    m.setSendTime("10:00:00");
    m.setIsRead(read);
    return m;
}

}  // namespace

class HomeScreenTest : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        SimMessage m;
        m.title = "早盘提示";
        m.content = "两市小幅高开。";
        sim->pushMessage(m);
        ASSERT_TRUE(launch());
        reachHomeFirstTime();
    }
    void TearDown() override {
        ScreenRegistry::shared().setMessageDetail(nullptr);
        ScreenRegistry::shared().setMessageInbox(nullptr);
        ScreenRegistry::shared().setAccountsPager(nullptr);
        NSUserDefaults::standardUserDefaults().removeObjectForKey(HomeViewController::kSortTypeKey);
        LaunchFixture::TearDown();
    }
    CGPoint screenCenterOf(UIView* v) {
        CGRect r = v->convertRectToView(v->bounds(), nullptr);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    }
};

TEST_F(HomeScreenTest, ATappedBoardItemOpensThroughTheDispatcher) {
    auto* first = home()->boardButtonAtIndex(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->currentTitle(), "行情");
    app->tapAt(screenCenterOf(first));
    run(1);
    auto nav = delegate->navigationController();
    ASSERT_EQ(nav->viewControllers().size(), 2u);
    EXPECT_EQ(nav->topViewController()->title(), "行情");
    EXPECT_EQ(home(), nullptr);
    // Out of range opens nothing.
    nav->popToRootViewControllerAnimated(false);
    run(1);
    ASSERT_TRUE(home());
    EXPECT_FALSE(home()->openBoardItem(99));
    EXPECT_FALSE(home()->openBoardItem(-1));
}

// Each tile shows the icon its menu item names (a drawn bundle image) above
// its title, and the title stays inside the tile.
TEST_F(HomeScreenTest, TheBoardTilesShowTheirIconsAndTitlesInside) {
    saveScreenshot("home");
    const auto& items = home()->boardMenus();
    ASSERT_GE(items.size(), 7u);
    for (size_t i = 0; i < items.size(); ++i) {
        auto* tile = home()->boardButtonAtIndex(static_cast<int>(i));
        ASSERT_TRUE(tile);
        tile->layoutIfNeeded();
        const std::string& title = items[i]->title();
        ASSERT_FALSE(items[i]->icon().empty()) << title;
        auto icon = UIImage::imageNamed(items[i]->icon());
        ASSERT_TRUE(icon) << items[i]->icon() << " is drawn into the bundle";
        EXPECT_EQ(tile->currentImage(), icon) << title;
        CGRect image = tile->imageView()->frame(), label = tile->titleLabel()->frame();
        EXPECT_FALSE(tile->imageView()->isHidden());
        EXPECT_LE(CGRectGetMaxY(image), CGRectGetMinY(label)) << title << ": the icon above the title";
        EXPECT_TRUE(CGRectContainsRect(tile->bounds(), image)) << title;
        EXPECT_TRUE(CGRectContainsRect(tile->bounds(), label)) << title;
        EXPECT_LE(sizeWithFont(title, *tile->titleLabel()->font()).width, label.size.width + 0.01)
            << title << " fits its tile";
    }
}

TEST_F(HomeScreenTest, TheBoardPagesThroughTheVisibleRootItems) {
    ASSERT_TRUE(installMenuFromData(menuWithRootItems(11)));
    auto board = std::make_shared<HomeViewController>();
    delegate->navigationController()->setViewControllers({board}, false);
    run(0.5);
    ASSERT_EQ(board->boardMenus().size(), 11u);  // the hidden item is left out
    EXPECT_EQ(board->boardPageCount(), 2);
    EXPECT_EQ(board->currentBoardPage(), 0);
    // The ninth item sits on the second page.
    ASSERT_TRUE(board->boardButtonAtIndex(8));
    EXPECT_DOUBLE_EQ(board->boardButtonAtIndex(8)->frame().origin.x, 320 + 8);
    CGPoint c = screenCenterOf(board->boardView());
    app->dragFrom(CGPointMake(290, c.y), CGPointMake(40, c.y), 0.2, 10);
    run(2);
    EXPECT_EQ(board->currentBoardPage(), 1);
    EXPECT_DOUBLE_EQ(board->boardView()->contentOffset().x, 320);
}

TEST_F(HomeScreenTest, MessagesShowWithTheUnreadBadgeAndThePendingPushOpens) {
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    // The messages the server kept for the phone arrived after the login.
    ASSERT_TRUE(waitFor([&] { return !home()->recentMessages().empty(); }, 10));
    int unread = dao->countOfUnreadMessage();
    EXPECT_EQ(home()->unreadCount(), unread);

    ASSERT_TRUE(dao->addMessageExpressItem(storedMessage("m-77", false)));
    auto& ud = NSUserDefaults::standardUserDefaults();
    ud.setObject(Value("m-77"), kNeedPushMessageIdKey);
    // No detail screen: nothing opens and the id waits.
    ScreenRegistry::shared().setMessageDetail(nullptr);
    NSNotificationCenter::defaultCenter().postNotificationName("NewMessageExpressNotification");
    EXPECT_EQ(home()->unreadCount(), unread + 1);
    EXPECT_EQ(ud.stringForKey(kNeedPushMessageIdKey).value_or(""), "m-77");

    std::string opened;
    ScreenRegistry::shared().setMessageDetail([&](const std::shared_ptr<QZMessageExpress>& m) {
        opened = m->messageId();
        auto vc = std::make_shared<UIViewController>();
        vc->setTitle("消息详情");
        return vc;
    });
    auto* homeScreen = home();
    NSNotificationCenter::defaultCenter().postNotificationName("NewMessageExpressNotification");
    EXPECT_EQ(opened, "m-77");
    EXPECT_FALSE(ud.stringForKey(kNeedPushMessageIdKey));
    EXPECT_TRUE(dao->messageWithMessageId("m-77")->isRead());
    EXPECT_EQ(homeScreen->unreadCount(), unread);
    run(1);
    EXPECT_EQ(delegate->navigationController()->topViewController()->title(), "消息详情");

    // An id the store does not hold opens nothing.
    ud.setObject(Value("nope"), kNeedPushMessageIdKey);
    opened.clear();
    NSNotificationCenter::defaultCenter().postNotificationName("NewMessageExpressNotification");
    EXPECT_TRUE(opened.empty());
}

TEST_F(HomeScreenTest, NothingUnreadClearsTheIconBadge) {
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    ASSERT_TRUE(waitFor([&] { return !home()->recentMessages().empty(); }, 10));
    auto all = dao->listRecentMessagesWithLimit(1000);
    ASSERT_TRUE(all);
    for (auto& m : *all) dao->markMessageIsRead(m->messageId(), true);
    app->setApplicationIconBadgeNumber(5);
    home()->newMessageExpressArrived();
    EXPECT_EQ(home()->unreadCount(), 0);
    EXPECT_EQ(app->applicationIconBadgeNumber(), 0);
}

TEST_F(HomeScreenTest, TheQuotesShowTheIndicesWithoutOwnStocks) {
    ASSERT_EQ(home()->quoteStocks().size(), 3u);
    EXPECT_EQ(home()->quoteStocks().front()->stockId(), "000001.2");
    EXPECT_TRUE(home()->quoteStocks().front()->isIndex());
    auto quotes = sim->requestsOf(31000, 4);
    ASSERT_FALSE(quotes.empty());
}

TEST_F(HomeScreenTest, TheMessageItemOpensTheInboxOfAllMessagesInTheStoredGrouping) {
    auto board = home()->boardMenus();
    int inboxIndex = -1;
    for (size_t i = 0; i < board.size(); ++i)
        if (board[i]->link() == HomeViewController::kInboxLink) inboxIndex = static_cast<int>(i);
    ASSERT_GE(inboxIndex, 0);
    auto nav = delegate->navigationController();
    // The shell alone: no inbox and no dispatcher entry, nothing opens.
    ScreenRegistry::shared().reset();
    registerShellScreens(ScreenRegistry::shared());
    EXPECT_FALSE(home()->openBoardItem(inboxIndex));
    // The dispatcher's answer stands in while there is no inbox.
    ScreenRegistry::shared().addScreen("pushmsg", [](const auto&) { return std::make_shared<UIViewController>(); });
    auto stand = home()->openBoardItem(inboxIndex);
    ASSERT_TRUE(stand);
    EXPECT_EQ(stand->title(), "消息");
    nav->popToRootViewControllerAnimated(false);
    run(1);

    std::vector<std::pair<bool, int>> calls;
    ScreenRegistry::shared().setMessageInbox([&](bool favoriteOrAll, int sortType) {
        calls.push_back({favoriteOrAll, sortType});
        auto vc = std::make_shared<UIViewController>();
        vc->setTitle("消息中心");
        return vc;
    });
    ASSERT_TRUE(home()->openBoardItem(inboxIndex));
    run(1);
    EXPECT_EQ(nav->topViewController()->title(), "消息中心");
    nav->popToRootViewControllerAnimated(false);
    run(1);
    NSUserDefaults::standardUserDefaults().setInteger(2, HomeViewController::kSortTypeKey);
    ASSERT_TRUE(home()->openBoardItem(inboxIndex));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(false, 0));  // never written: grouped by sender
    EXPECT_EQ(calls[1], std::make_pair(false, 2));
}

TEST_F(HomeScreenTest, AMessageIsReadBeforeItsDetailIsMade) {
    auto dao = DaoFactory::sharedInstance().messageExpressDao();
    ASSERT_TRUE(dao->addMessageExpressItem(storedMessage("m-5", false)));
    bool storedReadWhenMade = false;
    ScreenRegistry::shared().setMessageDetail([&](const std::shared_ptr<QZMessageExpress>& m) {
        storedReadWhenMade = dao->messageWithMessageId(m->messageId())->isRead();
        return std::make_shared<UIViewController>();
    });
    auto* homeScreen = home();
    ASSERT_TRUE(homeScreen);
    EXPECT_FALSE(homeScreen->openMessage(nullptr));
    ASSERT_TRUE(homeScreen->openMessage(dao->messageWithMessageId("m-5")));
    EXPECT_TRUE(storedReadWhenMade);
}

TEST_F(HomeScreenTest, TheAccountsPagerOpensWithTheStockAccounts) {
    auto nav = delegate->navigationController();
    ScreenRegistry::shared().setAccountsPager({});
    EXPECT_FALSE(home()->openAccountsPager());
    std::vector<bool> asked;
    ScreenRegistry::shared().setAccountsPager([&](bool hk) {
        asked.push_back(hk);
        return std::make_shared<UIViewController>();
    });
    // The button appears once a pager exists.
    nav->pushViewController(std::make_shared<UIViewController>(), false);
    nav->popToRootViewControllerAnimated(false);
    run(1);
    auto button = home()->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->title(), "帐号");
    auto vc = home()->openAccountsPager();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "已登录帐号");
    EXPECT_EQ(asked, std::vector<bool>{false});
}
