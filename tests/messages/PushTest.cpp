// A message pushed while the client is in the background waits for the
// customer: its detail is what the client shows on its return, and the home
// screen's badge counts what is unread. The notification settings decide how
// a message arriving in the foreground is announced.
#include "tests/messages/MessagesTestSupport.h"

#include "messages/MENotificationSettingViewController.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISwitch.h"
#include "shell/PushHandling.h"
#include "ui/CustomBadge.h"

class PushTest : public MessagesClientTest {};

TEST_F(PushTest, AMessagePushedInTheBackgroundOpensOnTheReturnAndTheBadgeCountsIt) {
    auto* homeScreen = home();
    ASSERT_TRUE(homeScreen);
    EXPECT_EQ(homeScreen->unreadCount(), 5);
    host.background();
    run(0.5);
    SimMessage m;
    m.senderCode = "2001";
    m.senderName = "公告快递";
    m.title = "停牌公告";
    m.content = "某公司因筹划重大事项，股票自明日起停牌。";
    const size_t fetches = sim->requestsOf(3780, 2).size();
    int64_t id = sim->pushMessage(m);
    // Fetched at once, but the store is closed in the background: nothing
    // is stored or confirmed, no sound plays, the message's id waits.
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(3780, 2).size() == fetches + 1; }));
    run(0.5);
    EXPECT_FALSE(sim->messages().back().delivered);
    EXPECT_TRUE(SystemSoundLog::shared().entries().empty());
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey(kNeedPushMessageIdKey), std::to_string(id));

    // Back in the client, it is fetched again and its detail opens.
    host.foreground();
    ASSERT_TRUE(waitFor([&] { return detail() != nullptr; }));
    run(1);
    auto* d = detail();
    ASSERT_TRUE(d);
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().stringForKey(kNeedPushMessageIdKey));
    EXPECT_TRUE(sim->messages().back().delivered);
    EXPECT_EQ(d->messageExpress()->messageId(), std::to_string(id));
    EXPECT_TRUE(host.isTextVisible("停牌公告"));
    EXPECT_TRUE(store()->messageWithMessageId(std::to_string(id))->isRead());
    saveScreenshot("pending-detail");
    popViewControllers(1);
    run(1);
    ASSERT_EQ(home(), homeScreen);
    EXPECT_EQ(homeScreen->unreadCount(), 5);
    EXPECT_TRUE(host.isTextVisible("5"));
    saveScreenshot("home-badge");
}

TEST_F(PushTest, TheSettingsChooseVibrationAndSound) {
    ASSERT_TRUE(host.tapText("更多"));
    run(1);
    ASSERT_TRUE(host.tapText("设置"));
    run(1);
    ASSERT_TRUE(host.tapText("消息提醒设置"));
    run(1);
    auto* settings = dynamic_cast<MENotificationSettingViewController*>(top());
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->title().empty());
    EXPECT_TRUE(host.isTextVisible("已开启"));
    // Each section says below its rows where its choice is made: the phone's settings, or here.
    auto yOf = [&](const std::string& text) {
        UIView* v = host.findText(text);
        return v ? v->convertPointToView(CGPointMake(0, 0), nullptr).y : -1.0;
    };
    const double phoneSettings = yOf("开启或关闭通知，请在iPhone的“设置”-“通知”中，找到“翠岚星”进行更改。"),
                 whileRunning = yOf("当翠岚星在运行时，你可以设置是否需要声音或者振动。");
    EXPECT_GT(phoneSettings, yOf("通知"));
    EXPECT_LT(phoneSettings, yOf("震动"));
    EXPECT_GT(whileRunning, yOf("铃声"));
    // The settings' default: both.
    ASSERT_TRUE(settings->vibrateSwitch() && settings->ringSwitch());
    EXPECT_TRUE(settings->vibrateSwitch()->isOn());
    EXPECT_TRUE(settings->ringSwitch()->isOn());
    saveScreenshot("settings");
    auto& ud = NSUserDefaults::standardUserDefaults();
    ASSERT_TRUE(tapView(settings->ringSwitch()));
    EXPECT_EQ(ud.integerForKey(kMessageExpressNotifyTypeKey), 1);
    ASSERT_TRUE(tapView(settings->vibrateSwitch()));
    EXPECT_EQ(ud.integerForKey(kMessageExpressNotifyTypeKey), 0);
    ASSERT_TRUE(tapView(settings->ringSwitch()));
    EXPECT_EQ(ud.integerForKey(kMessageExpressNotifyTypeKey), 2);

    // A message now arrives with the sound alone.
    SimMessage m;
    m.title = "午间快讯";
    m.content = "午间收盘，两市涨跌互现。";
    sim->pushMessage(m);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 6; }));
    EXPECT_EQ(SystemSoundLog::shared().soundCount(kNewMessageSoundId), 1u);
    EXPECT_EQ(SystemSoundLog::shared().vibrationCount(), 0u);

    // With the phone's notifications off for the client the row says so; the switches still work.
    popViewControllers(1);
    run(1);
    app->setEnabledRemoteNotificationTypes(UIRemoteNotificationTypeNone);
    ASSERT_TRUE(host.tapText("消息提醒设置"));
    run(1);
    settings = dynamic_cast<MENotificationSettingViewController*>(top());
    ASSERT_TRUE(settings);
    EXPECT_TRUE(host.isTextVisible("已关闭"));
    EXPECT_FALSE(settings->vibrateSwitch()->isOn());
    EXPECT_TRUE(settings->ringSwitch()->isOn());
    ASSERT_TRUE(tapView(settings->vibrateSwitch()));
    EXPECT_EQ(ud.integerForKey(kMessageExpressNotifyTypeKey), 3);
    saveScreenshot("settings-off");
}

// Without the key (a client that never wrote it) both switches show off.
TEST_F(PushTest, WithoutAStoredChoiceBothSwitchesAreOff) {
    NSUserDefaults::standardUserDefaults().removeObjectForKey(kMessageExpressNotifyTypeKey);
    auto settings = std::make_shared<MENotificationSettingViewController>();
    pushViewController(settings);
    run(1);
    EXPECT_FALSE(settings->vibrateSwitch()->isOn());
    EXPECT_FALSE(settings->ringSwitch()->isOn());
    ASSERT_TRUE(tapView(settings->ringSwitch()));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey(kMessageExpressNotifyTypeKey), 2);
}
