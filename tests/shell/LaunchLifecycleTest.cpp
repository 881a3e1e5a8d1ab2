#include "tests/shell/LaunchTestSupport.h"

#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/Paths.h"
#include "shell/PushHandling.h"
#include "shell/TradeSession.h"

using LaunchIdleLockTest = LaunchFixture;
using LaunchLifecycleTest = LaunchFixture;
using LaunchPushTest = LaunchFixture;

TEST_F(LaunchIdleLockTest, LocksAfterTheIntervalSinceTheLastTouchWithATradeSession) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    NSUserDefaults::standardUserDefaults().setInteger(1, "TradeLockInterval");
    // The login starts the idle lock.
    const double loggingIn = Clock::now();
    openTradeSession();
    ASSERT_TRUE(app->isIdleTimerRunning());
    EXPECT_GE(app->idleTimerFireDate(), loggingIn + 60);
    EXPECT_LE(app->idleTimerFireDate(), Clock::now() + 60);
    run(50);
    EXPECT_TRUE(hasTradeSession());
    app->tapAt(CGPointMake(300, 470));  // a touch anywhere restarts the wait
    run(50);
    EXPECT_TRUE(hasTradeSession());
    EXPECT_EQ(app->lockCount(), 0);
    run(15);
    EXPECT_FALSE(hasTradeSession());
    EXPECT_EQ(app->lockCount(), 1);
    EXPECT_FALSE(app->isIdleTimerRunning());
    // The customer is told.
    ASSERT_TRUE(UIAlertView::topAlert());
}

TEST_F(LaunchIdleLockTest, NeverFiresWithoutATradeSessionAndDefaultsToTenMinutes) {
    ASSERT_TRUE(launch());
    app->resetIdleTimer();
    EXPECT_FALSE(app->isIdleTimerRunning());
    app->tapAt(CGPointMake(160, 240));
    EXPECT_FALSE(app->isIdleTimerRunning());
    run(3600);
    EXPECT_EQ(app->lockCount(), 0);

    EXPECT_DOUBLE_EQ(IdleTimeCheck::tradeLockIntervalSeconds(), 600);
    NSUserDefaults::standardUserDefaults().setInteger(-5, "TradeLockInterval");
    EXPECT_DOUBLE_EQ(IdleTimeCheck::tradeLockIntervalSeconds(), 600);
    NSUserDefaults::standardUserDefaults().setInteger(3, "TradeLockInterval");
    EXPECT_DOUBLE_EQ(IdleTimeCheck::tradeLockIntervalSeconds(), 180);

    // A session that ended before the timer fired is not locked again.
    reachHomeFirstTime();
    openTradeSession();
    VTAParamter::shareParamter().removeValueForKey("tradeUserInfo");
    run(200);
    EXPECT_EQ(app->lockCount(), 0);
}

TEST_F(LaunchLifecycleTest, BackgroundAndForegroundKeepTheDatabaseAndSettings) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    auto dao = DaoFactory::sharedInstance().portfolioDao();
    QZPortfolioStock stock;
    stock.setSymbol("600036");
    stock.setMarketId(2);
    ASSERT_TRUE(dao->addStock(stock));
    VTAUserDefoult::standerDefoult().setInt(30, "auto refresh wait time");
    NSUserDefaults::standardUserDefaults().setBool(true, "IsDownloadPortfolio");

    app->enterBackground();
    EXPECT_FALSE(DaoFactory::sharedInstance().isOpen());
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().dateForKey("IPStrategyTime") ||
                NSUserDefaults::standardUserDefaults().doubleForKey("IPStrategyTime") > 0);
    // The settings are on disk.
    auto onDisk = NSKeyedUnarchiver::unarchiveObjectWithFile(documentsPath(VTAUserDefoult::kFileName));
    ASSERT_TRUE(onDisk);
    EXPECT_EQ((*onDisk)["auto refresh wait time"].toInt(), 30);

    Clock::advance(60);
    app->enterForeground();
    EXPECT_TRUE(DaoFactory::sharedInstance().isOpen());
    EXPECT_TRUE(dao->existStockWithSymbol("600036", 2));
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().boolForKey("IsDownloadPortfolio"));
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getIntForKey("auto refresh wait time"), 30);

    // A quit and a new start read the same.
    restart();
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getIntForKey("auto refresh wait time"), 30);
    EXPECT_TRUE(DaoFactory::sharedInstance().portfolioDao()->existStockWithSymbol("600036", 2));
}

TEST_F(LaunchLifecycleTest, TheTradeLockTimeIsKeptAcrossTheBackground) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    NSUserDefaults::standardUserDefaults().setInteger(2, "TradeLockInterval");
    openTradeSession();
    app->resetIdleTimer();
    double fire = app->idleTimerFireDate();

    // Back before the lock time: still open, the same deadline.
    app->enterBackground();
    auto saved = NSUserDefaults::standardUserDefaults().dateForKey(rOduvedeAppDelegate::kTradeLockFireTimeKey);
    ASSERT_TRUE(saved);
    EXPECT_DOUBLE_EQ(*saved, fire);
    Clock::advance(30);
    app->enterForeground();
    EXPECT_TRUE(hasTradeSession());
    EXPECT_DOUBLE_EQ(app->idleTimerFireDate(), fire);

    // Back after it: locked at once.
    app->enterBackground();
    Clock::advance(600);
    app->enterForeground();
    EXPECT_FALSE(hasTradeSession());
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().dateForKey(rOduvedeAppDelegate::kTradeLockFireTimeKey));
}

TEST_F(LaunchPushTest, AnActiveClientSignalsByTheNotifyTypeAndFetches) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    auto& ud = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(ud.integerForKey(kMessageExpressNotifyTypeKey), 3);  // the settings' default
    ud.setObject(Value("old"), kNeedPushMessageIdKey);
    sim->clearRequests();
    Value::Dict payload;
    payload["msg_id"] = "1234";
    app->receiveRemoteNotification(Value(payload));
    EXPECT_FALSE(ud.stringForKey(kNeedPushMessageIdKey));
    EXPECT_EQ(SystemSoundLog::shared().soundCount(kNewMessageSoundId), 1u);
    EXPECT_EQ(SystemSoundLog::shared().vibrationCount(), 1u);
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(3780, 2).empty(); }, 5));

    struct Case {
        int type;
        size_t sounds, vibrations;
    };
    for (Case c : {Case{1, 0, 1}, Case{2, 1, 0}, Case{0, 0, 0}, Case{7, 0, 0}}) {
        SystemSoundLog::shared().clear();
        ud.setInteger(c.type, kMessageExpressNotifyTypeKey);
        app->receiveRemoteNotification(Value(payload));
        EXPECT_EQ(SystemSoundLog::shared().soundCount(kNewMessageSoundId), c.sounds) << c.type;
        EXPECT_EQ(SystemSoundLog::shared().vibrationCount(), c.vibrations) << c.type;
    }
}

TEST_F(LaunchPushTest, AnInactiveClientKeepsTheMessageIdForTheHomeScreen) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    app->enterBackground();
    Value::Dict payload;
    payload["msg_id"] = 1001;
    app->receiveRemoteNotification(Value(payload));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey(kNeedPushMessageIdKey).value_or(""), "1001");
    EXPECT_EQ(SystemSoundLog::shared().entries().size(), 0u);
    // A payload without an id leaves the kept one.
    app->receiveRemoteNotification(Value(Value::Dict{}));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey(kNeedPushMessageIdKey).value_or(""), "1001");
    app->enterForeground();
}

TEST_F(LaunchPushTest, TheDeviceTokenIsRegisteredWithTheServer) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    ASSERT_TRUE(waitFor([&] { return NSUserDefaults::standardUserDefaults().boolForKey(kPushRegisterStatusKey); }, 10));
    std::string token = NSUserDefaults::standardUserDefaults().stringForKey(kPushTokenKey).value_or("");
    EXPECT_EQ(token.size(), 64u);
    EXPECT_EQ(sim->withRoom<SimSystemRoom>([&](SimSystemRoom& r) { return r.pushTokens[phone]; }), token);
}
