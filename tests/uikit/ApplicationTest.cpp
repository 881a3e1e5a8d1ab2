#include "UIKitTestSupport.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UINavigationBar.h"

namespace {
struct AppLog : UIApplicationDelegate {
    std::vector<std::string> log;
    std::vector<uint8_t> token;
    Value lastPush;
    bool applicationDidFinishLaunchingWithOptions(UIApplication&, const Value&) override {
        log.push_back("launch");
        return true;
    }
    void applicationWillResignActive(UIApplication&) override { log.push_back("resign"); }
    void applicationDidEnterBackground(UIApplication&) override { log.push_back("background"); }
    void applicationWillEnterForeground(UIApplication&) override { log.push_back("foreground"); }
    void applicationDidBecomeActive(UIApplication&) override { log.push_back("active"); }
    void applicationWillTerminate(UIApplication&) override { log.push_back("terminate"); }
    void applicationDidRegisterForRemoteNotificationsWithDeviceToken(UIApplication&,
                                                                     const std::vector<uint8_t>& t) override {
        token = t;
    }
    void applicationDidReceiveRemoteNotification(UIApplication&, const Value& info) override { lastPush = info; }
};

// An application object that watches every touch, as the idle-time watcher does.
class WatchingApplication : public UIApplication {
public:
    int touches = 0;
    void sendEvent(UIEvent& e) override {
        touches += static_cast<int>(e.allTouches().size());
        UIApplication::sendEvent(e);
    }
};
}  // namespace

TEST_F(UIKitTest, LifeCycleEventsReachTheDelegateAndTheCentre) {
    UIApplication::resetSharedApplication();
    window->makeKeyAndVisible();
    AppLog d;
    app().setDelegate(&d);
    std::vector<std::string> notes;
    for (const char* n : {UIApplicationDidEnterBackgroundNotification, UIApplicationWillEnterForegroundNotification})
        NSNotificationCenter::defaultCenter().addObserver(&notes, n,
                                                          [&](const NSNotification& x) { notes.push_back(x.name); });
    app().launch();
    EXPECT_EQ(app().applicationState(), UIApplicationState::Active);
    app().enterBackground();
    EXPECT_EQ(app().applicationState(), UIApplicationState::Background);
    app().enterBackground();  // twice: once
    app().enterForeground();
    app().terminate();
    EXPECT_EQ(d.log, (std::vector<std::string>{"launch", "active", "resign", "background", "foreground", "active",
                                               "resign", "terminate"}));
    EXPECT_EQ(notes, (std::vector<std::string>{UIApplicationDidEnterBackgroundNotification,
                                               UIApplicationWillEnterForegroundNotification}));
    NSNotificationCenter::defaultCenter().removeObserver(&notes);
    app().setDelegate(nullptr);
}

TEST_F(UIKitTest, ApplicationStateForTheScreens) {
    AppLog d;
    app().setDelegate(&d);
    EXPECT_EQ(UIScreen::mainScreen().applicationFrame(), CGRectMake(0, 20, 320, 460));
    EXPECT_EQ(UIDevice::currentDevice().systemVersion(), "4.1");
    UIDevice::currentDevice().setSystemVersion("3.2");
    EXPECT_LT(compareVersionStrings(UIDevice::currentDevice().systemVersion(), "4.0"), 0);
    EXPECT_GT(compareVersionStrings("4.10", "4.9"), 0);
    EXPECT_EQ(compareVersionStrings("4.1", "4.1.0"), 0);
    UIDevice::currentDevice().setSystemVersion("4.1");
    app().setNetworkActivityIndicatorVisible(true);
    EXPECT_TRUE(app().isNetworkActivityIndicatorVisible());
    app().setApplicationIconBadgeNumber(3);
    EXPECT_EQ(app().applicationIconBadgeNumber(), 3);
    unsigned asked = 0;
    app().setRemoteNotificationRegistrationHandler([&](unsigned t) { asked = t; });
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert | UIRemoteNotificationTypeSound);
    EXPECT_EQ(asked, UIRemoteNotificationTypeAlert | UIRemoteNotificationTypeSound);
    EXPECT_EQ(app().enabledRemoteNotificationTypes(), asked);
    app().setEnabledRemoteNotificationTypes(UIRemoteNotificationTypeNone);
    EXPECT_EQ(app().enabledRemoteNotificationTypes(), 0u);
    app().deliverDeviceToken({1, 2, 3});
    EXPECT_EQ(d.token, (std::vector<uint8_t>{1, 2, 3}));
    app().receiveRemoteNotification(Value(Value::Dict{{"msg_id", Value("42")}}));
    EXPECT_EQ(d.lastPush["msg_id"].toString(), "42");
    app().setDelegate(nullptr);
}

TEST_F(UIKitTest, TheApplicationObjectSeesEveryTouchFirst) {
    auto watcher = std::make_shared<WatchingApplication>();
    UIApplication::setSharedApplication(watcher);
    window->makeKeyAndVisible();
    watcher->launch();
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(CGRectMake(10, 10, 100, 40));
    int taps = 0;
    b->addTarget(
        this, [&](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    window->addSubview(b);
    app().tapAt(CGPointMake(50, 30));
    app().dragFrom(CGPointMake(200, 200), CGPointMake(200, 300), 0.2, 2);
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(watcher->touches, 2 + 4);
    // In the background no touch is delivered.
    watcher->enterBackground();
    app().tapAt(CGPointMake(50, 30));
    EXPECT_EQ(taps, 1);
}

TEST_F(UIKitTest, ToolbarSpreadsItemsAndRunsTheirActions) {
    auto bar = std::make_shared<UIToolbar>(CGRectMake(0, 436, 320, 44));
    bar->setBarStyle(UIBarStyle::Black);
    std::vector<std::string> log;
    auto prev = std::make_shared<UIBarButtonItem>("上一项", UIBarButtonItemStyle::Bordered, this,
                                                  [&](UIBarButtonItem&) { log.push_back("prev"); });
    auto next = std::make_shared<UIBarButtonItem>("下一项", UIBarButtonItemStyle::Bordered, this,
                                                  [&](UIBarButtonItem&) { log.push_back("next"); });
    auto done = std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::Done, this,
                                                  [&](UIBarButtonItem&) { log.push_back("done"); });
    bar->setItems({prev, next, UIBarButtonItem::flexibleSpace(), done});
    window->addSubview(bar);
    window->layoutIfNeeded();
    UIView* doneView = bar->viewForItem(done.get());
    ASSERT_NE(doneView, nullptr);
    EXPECT_EQ(doneView->accessibilityText(), "完成");
    EXPECT_GT(doneView->frame().origin.x, 240) << "pushed right by the flexible space";
    EXPECT_LT(bar->viewForItem(next.get())->frame().origin.x, 160);
    tap(*bar->viewForItem(next.get()));
    tap(*doneView);
    next->setEnabled(false);
    window->layoutIfNeeded();
    tap(*bar->viewForItem(next.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"next", "done"}));
    // The action stays readable and can be run by code.
    prev->performAction();
    EXPECT_EQ(log.back(), "prev");
}
