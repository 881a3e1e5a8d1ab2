// The accounts logged in during the run: two logins, the pager on the
// selected one's page, switching the trading account, logging out one of
// several and then the last.
#include "TradeTestSupport.h"

#include "core/MenuFunctions.h"
#include "core/VTAAccount.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIPageControl.h"
#include "trade/VTAAccountViewController.h"
#include "trade/VTAActAccViewController.h"

namespace {

class AccountsPagerTest : public TradeTest {
protected:
    VTAActAccViewController* openPager() {
        auto pager = VTAUIFactory::accountsPager(false);
        if (!pager || !pushViewController(pager)) return nullptr;
        settle();
        return dynamic_cast<VTAActAccViewController*>(pager.get());
    }
    static std::string fundIdOfSession() {
        auto set = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
        if (!set || set->rowsAffected() == 0) return "";
        set->moveToIndex(0);
        return set->toStringWithFieldName("fundid").value_or("");
    }
    void swipeToPage(int page) {
        host.drag(page > 0 ? 280 : 40, 250, page > 0 ? 40 : 280, 250, 6);
        settle();
    }
};

TEST_F(AccountsPagerTest, TwoAccountsAreSwitchedAndLoggedOut) {
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    EXPECT_EQ(fundIdOfSession(), "010210009999");

    auto* pager = openPager();
    ASSERT_TRUE(pager);
    EXPECT_EQ(pager->title(), "已登录帐号");
    ASSERT_EQ(pager->cards().size(), 2u);
    // It opens on the selected account's page: C, the second.
    EXPECT_DOUBLE_EQ(pager->pagingScrollView()->contentOffset().x, 320);
    EXPECT_EQ(pager->pageControl()->currentPage(), 1);
    EXPECT_EQ(pager->pageControl()->numberOfPages(), 2);
    ASSERT_TRUE(waitFor([&] { return !pager->allSalesDepartment().empty(); }));
    auto* c = pager->cards()[1].get();
    EXPECT_EQ(c->accNameLabel()->text(), "王芳");
    EXPECT_EQ(c->accIdLabel()->text(), "010210009999");
    EXPECT_EQ(c->accYYBnameLabel()->text(), "第二营业部");
    EXPECT_TRUE(host.isTextVisible("王芳"));
    saveScreenshot("second-account");

    // To A's page by finger; its branch name comes with the page.
    swipeToPage(0);
    EXPECT_EQ(pager->pageControl()->currentPage(), 0);
    auto* a = pager->cards()[0].get();
    EXPECT_TRUE(host.isTextVisible("张明"));
    EXPECT_EQ(a->accYYBnameLabel()->text(), "第一营业部");
    saveScreenshot("first-account");

    // A's face makes A the trading account and closes the pager.
    tapView(a->checkBtn());
    settle();
    EXPECT_EQ(top(), root.get());
    EXPECT_EQ(fundIdOfSession(), "010110001234");
    EXPECT_EQ(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kPassword), "123456");
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().selectedAccount()->zjzhAcc(), "010110001234");

    // Logging out C (not the one trading) leaves A trading.
    pager = openPager();
    ASSERT_TRUE(pager);
    EXPECT_DOUBLE_EQ(pager->pagingScrollView()->contentOffset().x, 0);
    swipeToPage(1);
    tapView(pager->cards()[1]->loginBtn());
    settle();
    ASSERT_EQ(pager->cards().size(), 1u);
    EXPECT_EQ(fundIdOfSession(), "010110001234");
    EXPECT_TRUE(hasTradeSession());
    EXPECT_EQ(top(), pager);

    // The last one: the session ends, the customer is told, two screens back
    // (never past the first).
    tapView(pager->cards()[0]->loginBtn());
    ASSERT_TRUE(alertShown("您已经退出交易登录"));
    settle();
    EXPECT_FALSE(hasTradeSession());
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kPassword));
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().count(), 0);
    EXPECT_EQ(top(), root.get());
    EXPECT_EQ(depth(), 1u);
}

TEST_F(AccountsPagerTest, LoggingOutTheTradingAccountHandsTheSessionToTheFirstOne) {
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    auto* pager = openPager();
    ASSERT_TRUE(pager);
    auto logout = pager->cards()[1]->loginBtn();
    tapView(logout);
    settle();
    EXPECT_EQ(fundIdOfSession(), "010110001234");
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().selectedAccount()->accUserName(), "张明");
    ASSERT_EQ(pager->cards().size(), 1u);
    EXPECT_TRUE(pager->cards()[0]->checkBtn()->isEnabled());

    // "新帐号" opens a plain login.
    auto login = pager->newAccount();
    ASSERT_TRUE(login);
    settle();
    auto* plain = dynamic_cast<VTATradeLoginViewController*>(top());
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->pendingMenu());
}

TEST_F(AccountsPagerTest, WithoutALoginThePagerSaysSoAndTheLockedAccountsCannotTrade) {
    auto* pager = openPager();
    ASSERT_TRUE(pager);
    EXPECT_TRUE(alertShown("对不起，您还没有登录记录"));
    EXPECT_TRUE(pager->cards().empty());
    topAlert()->tapButtonAtIndex(0);
    popViewControllers(1);
    settle();

    // The same account logged in again is logged on in its place.
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    auto& run = VTAAccountManager::tradeAccountManager();
    ASSERT_EQ(run.count(), 2);
    EXPECT_EQ(run.selectedIndex(), 0);

    // The idle lock logs every account off: the cards' buttons stop working.
    lockTradeSession();
    settle();
    for (auto& alert : UIAlertView::visibleAlerts()) alert->dismissWithClickedButtonIndex(0, false);
    pager = openPager();
    ASSERT_TRUE(pager);
    ASSERT_EQ(pager->cards().size(), 2u);
    EXPECT_FALSE(pager->cards()[0]->checkBtn()->isEnabled());
    EXPECT_FALSE(pager->cards()[0]->loginBtn()->isEnabled());

    // A Shanghai A account of 9 digits from "89" shows with a "D"; 1234 at 0101 in full.
    EXPECT_EQ(VTAAccountViewController::BuildCompleteZh("891234567", "0101", "1"), "D891234567");
    EXPECT_EQ(VTAAccountViewController::BuildCompleteZh("1234", "0101", "Z"), "010100001234");
}

// The board's 交易, 理财 and 融资融券 groups list their items with "帐号" in
// the toolbar: it opens the stock accounts (the one just logged in), whose
// "新帐号" opens a plain login.
TEST_F(AccountsPagerTest, TheTradeGroupsOfTheMenuOpenTheStockAccounts) {
    ASSERT_TRUE(installMenuFromData(menuRecordSetsData(sim->registry().menu().records(), {})));
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    for (const char* title : {"交易", "理财", "融资融券"}) {
        SCOPED_TRACE(title);
        std::shared_ptr<VTAMenu> group;
        for (const auto& item : visibleMenusOfNode(-1))
            if (item->title() == title) group = item;
        ASSERT_TRUE(group);
        ASSERT_TRUE(VTAUIFactory::openMenuWithTradeGate(group));
        settle();
        ASSERT_TRUE(host.tapText("帐号"));
        settle();
        auto* pager = dynamic_cast<VTAActAccViewController*>(top());
        ASSERT_TRUE(pager);
        EXPECT_FALSE(pager->isHKAcount());
        EXPECT_FALSE(topAlert()) << topAlertTitle();
        ASSERT_EQ(pager->cards().size(), 1u);
        EXPECT_TRUE(host.isTextVisible("张明"));
        if (std::string(title) == "交易") saveScreenshot("from-the-trade-group");

        ASSERT_TRUE(host.tapText("新帐号"));
        settle();
        auto* login = dynamic_cast<VTATradeLoginViewController*>(top());
        ASSERT_TRUE(login);
        EXPECT_FALSE(login->pendingMenu());
        popViewControllers(3);
        settle();
        ASSERT_EQ(top(), root.get());
    }
}

}  // namespace
