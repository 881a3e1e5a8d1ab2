// What the customer sees when the brokerage refuses: an account locked after
// wrong passwords (the login's alert of the server's text, for as long as the
// lock holds), and a trade session the brokerage ended while it lay idle (the
// phone's trade session ends with the brokerage's text).
#include "TradeQueryTestSupport.h"

#include "core/contracts/TradeContract.h"
#include "shell/VTAListViewController.h"

namespace {

constexpr int kHoldingsItem = 206;

using TradeLockoutTest = TradeTest;
using TradeSessionEndTest = TradeQueryTest;

TEST_F(TradeLockoutTest, WrongPasswordsLockTheAccountAndTheLoginSaysSo) {
    TradeCustomer wrong = kTradeCustomerA;
    wrong.password = "000000";
    // The login screen's answer to a password: the alert's title, the screen left behind.
    auto tryLogin = [&](const TradeCustomer& who, const char* shot = nullptr) {
        EXPECT_FALSE(logInToTrade(who));
        const std::string title = topAlertTitle();
        if (shot) saveScreenshot(shot);
        if (auto alert = topAlert()) alert->tapButtonAtIndex(0);
        popViewControllers(1);
        settle(0.2);
        return title;
    };
    for (int i = 1; i < SimBooks::kLockAfterFailures; ++i)
        EXPECT_EQ(tryLogin(wrong), "交易密码错误，还可尝试" + std::to_string(SimBooks::kLockAfterFailures - i) + "次") << i;
    const std::string locked = tryLogin(wrong, "locked");
    EXPECT_NE(locked.find("锁定30分钟，请于"), std::string::npos) << locked;
    EXPECT_EQ(tryLogin(kTradeCustomerA), locked) << "the right password too, while it lasts";
    EXPECT_FALSE(hasTradeSession());
    sim->setSessionIdleTimeout(1e9);  // the phone's service session outlasts the lock
    sim->clock().advance(SimBooks::kLockSeconds);
    EXPECT_TRUE(logInToTrade(kTradeCustomerA));
}

// The brokerage ends a trade session that lay idle; the phone, which still
// held it, learns so from the next trade query and ends it as its own idle
// lock does: the trade screens close, the next trade link logs in again.
TEST_F(TradeSessionEndTest, ASessionTheBrokerageEndedEndsOnThePhoneAndTheNextLinkLogsInAgain) {
    const SimMenuItem* item = sim->registry().menu().find(kHoldingsItem);
    ASSERT_TRUE(item);
    auto menuList = std::make_shared<VTAListViewController>();
    menuList->setTitle("交易");
    menuList->setMenus({menu(item->link, item->title)});
    pushViewController(menuList);
    settle();
    auto holdingsOnTop = [&] {
        auto* list = dynamic_cast<VTATradeQueryViewController*>(top());
        return list && gridShows(*list, 7);
    };
    ASSERT_TRUE(host.tapText(item->title));
    settle();
    ASSERT_TRUE(holdingsOnTop()) << "logged in by the fixture";
    popViewControllers(1);
    settle();

    // Half an hour and a second without a trade request: the brokerage ends
    // the session (the phone's service session too: the client logs in
    // again without a word and sends the request once more).
    sim->clock().advance(sim->options().sessionIdleTimeout + 1);
    ASSERT_TRUE(host.tapText(item->title));
    ASSERT_TRUE(alertShown(TradeContract::Error::kSessionEnded));
    settle();
    saveScreenshot("session-ended");
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u) << "told once";
    EXPECT_FALSE(hasTradeSession());
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kPassword));
    auto account = VTAAccountManager::tradeAccountManager().selectedAccount();
    ASSERT_TRUE(account);
    EXPECT_FALSE(account->isLogon());
    EXPECT_EQ(top(), menuList.get()) << "the trade screen closed";
    EXPECT_EQ(books([](SimBooks& b) { return b.sessionCount(); }), 0u);
    topAlert()->tapButtonAtIndex(0);
    settle();

    // The same link now goes through the trade login, and on to the holdings.
    ASSERT_TRUE(host.tapText(item->title));
    settle();
    auto* login = dynamic_cast<VTATradeLoginViewController*>(top());
    ASSERT_TRUE(login);
    ASSERT_TRUE(login->pendingMenu());
    ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
    typeInto(login->accountField(), kTradeCustomerA.account);
    typeInto(login->passwordField(), kTradeCustomerA.password);
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return hasTradeSession() && holdingsOnTop(); }));
    EXPECT_EQ(depth(), 3u) << "the login gave its place to the holdings";
    EXPECT_EQ(books([](SimBooks& b) { return b.sessionCount(); }), 1u);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

}  // namespace
