// What the customer sees when the brokerage refuses: an account locked after
// wrong passwords (the login's alert of the server's text, for as long as the
// lock holds), and a trade session the brokerage ended while it lay idle (the
// next trade screen's alert).
#include "TradeQueryTestSupport.h"

#include "core/contracts/TradeContract.h"

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
    for (int i = 1; i < SimBooks::kLockAfterFailures; ++i) EXPECT_EQ(tryLogin(wrong), "交易密码错误") << i;
    const std::string locked = tryLogin(wrong, "locked");
    EXPECT_NE(locked.find("锁定30分钟"), std::string::npos) << locked;
    EXPECT_EQ(tryLogin(kTradeCustomerA), locked) << "the right password too, while it lasts";
    EXPECT_FALSE(hasTradeSession());
    sim->setSessionIdleTimeout(1e9);  // the phone's service session outlasts the lock
    sim->clock().advance(SimBooks::kLockSeconds);
    EXPECT_TRUE(logInToTrade(kTradeCustomerA));
}

TEST_F(TradeSessionEndTest, ATradeSessionEndedWhileIdleIsRefusedWithItsText) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 5));
    popViewControllers(1);
    settle();
    // Half an hour and a second without a trade request: the brokerage ends
    // the session (the phone's service session too: the client logs in
    // again without a word and sends the request once more).
    sim->clock().advance(sim->options().sessionIdleTimeout + 1);
    openItem(kHoldingsItem);
    ASSERT_TRUE(alertShown(TradeContract::Error::kSessionEnded));
    saveScreenshot("session-ended");
    EXPECT_EQ(books([](SimBooks& b) { return b.sessionCount(); }), 0u);
}

}  // namespace
