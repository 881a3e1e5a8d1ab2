#include "HostTestSupport.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/CarrierInfo.h"
#include "platform/services/MessageComposeViewController.h"
#include "platform/services/Reachability.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/services/SystemSound.h"
#include "platform/uikit/UINavigationController.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <thread>

namespace {
class PushDelegate : public UIApplicationDelegate {
public:
    void applicationDidRegisterForRemoteNotificationsWithDeviceToken(UIApplication&,
                                                                     const std::vector<uint8_t>& t) override {
        tokens.push_back(t);
    }
    void applicationDidFailToRegisterForRemoteNotificationsWithError(UIApplication&, const std::string& e) override {
        errors.push_back(e);
    }
    void applicationDidReceiveRemoteNotification(UIApplication&, const Value& info) override {
        received.push_back(info);
    }
    std::vector<std::vector<uint8_t>> tokens;
    std::vector<std::string> errors;
    std::vector<Value> received;
};

class ServicesTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        NSUserDefaults::standardUserDefaults().reload();
        RemoteNotificationService::shared().reset();
        RemoteNotificationService::shared().install(app());
        SentMessageLog::shared().clear();
        SentMessageLog::shared().setSendHandler(nullptr);
        SystemSoundLog::shared().clear();
        Reachability::resetAll();
        RunLoop::main().runOnce();
    }
    void TearDown() override {
        app().setDelegate(nullptr);
        RemoteNotificationService::shared().reset();
        HostTest::TearDown();
    }
    Value payload(const std::string& msgId) {
        Value::Dict aps{{"alert", Value("新消息")}, {"sound", Value("default")}};
        return Value(Value::Dict{{"aps", Value(aps)}, {"msg_id", Value(msgId)}});
    }
    PushDelegate delegate;
};

class ComposeDelegate : public MFMessageComposeViewControllerDelegate {
public:
    void messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& c,
                                                         MessageComposeResult r) override {
        results.push_back(r);
        c.dismissModalViewControllerAnimated(false);
    }
    std::vector<MessageComposeResult> results;
};
}  // namespace

TEST_F(ServicesTest, RegistrationHandsTheDeviceTokenLaterAndTheSameEveryTime) {
    app().setDelegate(&delegate);
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert | UIRemoteNotificationTypeBadge);
    EXPECT_TRUE(delegate.tokens.empty());  // never inside the register call
    RunLoop::main().runOnce();
    ASSERT_EQ(delegate.tokens.size(), 1u);
    EXPECT_EQ(delegate.tokens[0].size(), 32u);
    EXPECT_EQ(delegate.tokens[0],
              RemoteNotificationService::deviceTokenFor(RemoteNotificationService::deviceIdentifier()));
    EXPECT_EQ(RemoteNotificationService::tokenHex(delegate.tokens[0]).size(), 64u);
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert);
    RunLoop::main().runOnce();
    ASSERT_EQ(delegate.tokens.size(), 2u);
    EXPECT_EQ(delegate.tokens[0], delegate.tokens[1]);
    // Another device, another token.
    EXPECT_NE(RemoteNotificationService::deviceTokenFor("device-a"),
              RemoteNotificationService::deviceTokenFor("device-b"));
    NSUserDefaults::standardUserDefaults().setObject(Value("phone-2"), "DeviceIdentifier");
    EXPECT_EQ(RemoteNotificationService::deviceIdentifier(), "phone-2");
    NSUserDefaults::standardUserDefaults().removeObjectForKey("DeviceIdentifier");
}

TEST(InstallationToken, EachInstallationHasItsOwnRandomTokenAndKeepsIt) {
    std::vector<std::string> identifiers;
    for (int install = 0; install < 2; ++install) {
        ScopedDocuments documents;
        NSUserDefaults::standardUserDefaults().reload();
        std::string id = RemoteNotificationService::deviceIdentifier();
        EXPECT_EQ(id.size(), std::string("install-").size() + 32) << id;
        NSUserDefaults::standardUserDefaults().reload();  // the next start
        EXPECT_EQ(RemoteNotificationService::deviceIdentifier(), id);
        identifiers.push_back(id);
    }
    EXPECT_NE(identifiers[0], identifiers[1]);
    EXPECT_NE(RemoteNotificationService::deviceTokenFor(identifiers[0]),
              RemoteNotificationService::deviceTokenFor(identifiers[1]));
    NSUserDefaults::standardUserDefaults().reload();
}

TEST_F(ServicesTest, RegistrationFailureReachesTheDelegate) {
    app().setDelegate(&delegate);
    RemoteNotificationService::shared().setRegistrationError("no push service");
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert);
    RunLoop::main().runOnce();
    EXPECT_TRUE(delegate.tokens.empty());
    EXPECT_EQ(delegate.errors, (std::vector<std::string>{"no push service"}));
    EXPECT_FALSE(RemoteNotificationService::shared().isRegistered());
}

TEST_F(ServicesTest, PushedPayloadReachesTheDelegateOnTheMainLoop) {
    app().setDelegate(&delegate);
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert | UIRemoteNotificationTypeSound);
    RunLoop::main().runOnce();
    // Handed in from another thread, as the simulated server does.
    std::thread server([&] { RemoteNotificationService::shared().deliver(payload("1001")); });
    server.join();
    EXPECT_TRUE(delegate.received.empty());
    RunLoop::main().runOnce();
    ASSERT_EQ(delegate.received.size(), 1u);
    EXPECT_EQ(delegate.received[0].dict().at("msg_id").toString(), "1001");
    EXPECT_EQ(RemoteNotificationService::shared().deliveredCount(), 1u);
    // Delivered in the background as well: the delegate reads the state.
    host.background();
    RemoteNotificationService::shared().deliver(payload("1002"));
    RunLoop::main().runOnce();
    EXPECT_EQ(delegate.received.size(), 2u);
    EXPECT_FALSE(RemoteNotificationService::shared().deliver(Value("not a dictionary")));
}

TEST_F(ServicesTest, PushIsDroppedWhileNotRegistered) {
    app().setDelegate(&delegate);
    RemoteNotificationService::shared().deliver(payload("1"));
    RunLoop::main().runOnce();
    EXPECT_TRUE(delegate.received.empty());
    EXPECT_EQ(RemoteNotificationService::shared().droppedCount(), 1u);
    app().registerForRemoteNotificationTypes(UIRemoteNotificationTypeAlert);
    RunLoop::main().runOnce();
    app().unregisterForRemoteNotifications();
    RemoteNotificationService::shared().deliver(payload("2"));
    RunLoop::main().runOnce();
    EXPECT_TRUE(delegate.received.empty());
}

TEST_F(ServicesTest, SmsSheetShowsTheMessageAndSendIsRecorded) {
    auto root = std::make_shared<UIViewController>();
    auto nav = UINavigationController::initWithRootViewController(root);
    window->setRootViewController(nav);
    ComposeDelegate composeDelegate;
    auto sheet = std::make_shared<MFMessageComposeViewController>();
    sheet->setRecipients({"10658888"});
    sheet->setBody("DB A 3f2a9c");
    sheet->setMessageComposeDelegate(&composeDelegate);
    nav->presentModalViewController(sheet, false);
    host.runFor(1);
    EXPECT_TRUE(host.isTextVisible("10658888"));
    EXPECT_TRUE(host.isTextVisible("DB A 3f2a9c"));
    EXPECT_TRUE(host.isTextVisible("新信息"));
    ASSERT_TRUE(host.tapText("发送"));
    host.runFor(1);
    ASSERT_EQ(SentMessageLog::shared().messages().size(), 1u);
    EXPECT_EQ(SentMessageLog::shared().messages()[0].recipients, (std::vector<std::string>{"10658888"}));
    EXPECT_EQ(SentMessageLog::shared().messages()[0].body, "DB A 3f2a9c");
    EXPECT_EQ(composeDelegate.results, (std::vector<MessageComposeResult>{MessageComposeResult::Sent}));
    EXPECT_FALSE(host.isTextVisible("DB A 3f2a9c"));  // the delegate dismissed it
    // It reports once.
    sheet->send();
    sheet->cancel();
    EXPECT_EQ(composeDelegate.results.size(), 1u);
    EXPECT_EQ(SentMessageLog::shared().messages().size(), 1u);
}

TEST_F(ServicesTest, SmsSendFailsWhenTheGatewayRefusesAndCancelSendsNothing) {
    ComposeDelegate composeDelegate;
    SentMessageLog::shared().setSendHandler([](const SentTextMessage&) { return false; });
    MFMessageComposeViewController failing;
    failing.setRecipients({"10658888"});
    failing.setBody("DB Z 1");
    failing.setMessageComposeDelegate(&composeDelegate);
    failing.send();
    MFMessageComposeViewController cancelled;
    cancelled.setRecipients({"1"});
    cancelled.setMessageComposeDelegate(&composeDelegate);
    cancelled.cancel();
    MFMessageComposeViewController empty;
    empty.setMessageComposeDelegate(&composeDelegate);
    empty.send();  // no recipient: nothing happens
    EXPECT_FALSE(empty.isFinished());
    EXPECT_EQ(composeDelegate.results,
              (std::vector<MessageComposeResult>{MessageComposeResult::Failed, MessageComposeResult::Cancelled}));
    EXPECT_EQ(SentMessageLog::shared().messages().size(), 1u);
    SentMessageLog::shared().setSendHandler(nullptr);
}

TEST_F(ServicesTest, ReachabilityReportsEachChangeOnce) {
    auto quote = Reachability::reachabilityWithHostName("http://127.0.0.1:8080/quote?x=1");
    auto internet = Reachability::reachabilityForInternetConnection();
    EXPECT_EQ(quote->hostName(), "127.0.0.1:8080");
    EXPECT_TRUE(quote->isReachable());
    int quoteChanges = 0, notifications = 0;
    quote->setChangeHandler([&](Reachability&) { ++quoteChanges; });
    NSNotificationCenter::defaultCenter().addObserver(this, kReachabilityChangedNotification,
                                                      [&](const NSNotification&) { ++notifications; });
    quote->startNotifier();
    internet->startNotifier();

    Reachability::reportTransferResult("127.0.0.1:8080", false);
    Reachability::reportTransferResult("127.0.0.1:8080", false);
    RunLoop::main().runOnce();
    EXPECT_EQ(quote->currentReachabilityStatus(), NetworkStatus::NotReachable);
    EXPECT_TRUE(internet->isReachable());
    EXPECT_EQ(quoteChanges, 1);
    EXPECT_EQ(notifications, 1);

    // No network at all: every watcher hears it.
    Reachability::reportTransferResult("127.0.0.1:8080", true);
    RunLoop::main().runOnce();
    EXPECT_EQ(quoteChanges, 2);
    Reachability::setInternetStatus(NetworkStatus::NotReachable);
    RunLoop::main().runOnce();
    EXPECT_FALSE(quote->isReachable());
    EXPECT_FALSE(internet->isReachable());
    EXPECT_EQ(quoteChanges, 3);
    EXPECT_EQ(notifications, 4);

    quote->stopNotifier();
    Reachability::setInternetStatus(NetworkStatus::ReachableViaWWAN);
    RunLoop::main().runOnce();
    EXPECT_EQ(quoteChanges, 3);
    EXPECT_EQ(internet->currentReachabilityStatus(), NetworkStatus::ReachableViaWWAN);
    EXPECT_EQ(quote->currentReachabilityStatus(), NetworkStatus::ReachableViaWWAN);
    NSNotificationCenter::defaultCenter().removeObserver(this);
    // A watcher that went away is simply forgotten.
    internet.reset();
    Reachability::setInternetStatus(NetworkStatus::ReachableViaWiFi);
    RunLoop::main().runOnce();
}

TEST_F(ServicesTest, CarrierIdentityComesFromTheSettings) {
    auto& d = NSUserDefaults::standardUserDefaults();
    unsetenv("RD_CARRIER");
    unsetenv("RD_CARRIER_MCCMNC");
    EXPECT_EQ(CTTelephonyNetworkInfo().subscriberCellularProvider(), nullptr);
    EXPECT_EQ(currentCarrierNumber(), 0);
    setDeviceCarrierCodes("460", "01");
    auto carrier = CTTelephonyNetworkInfo().subscriberCellularProvider();
    ASSERT_TRUE(carrier);
    EXPECT_EQ(carrier->mobileCountryCode(), "460");
    EXPECT_EQ(carrier->mobileNetworkCode(), "01");
    EXPECT_EQ(carrier->carrierName(), "中国联通");
    EXPECT_EQ(carrier->carrierNumber(), 2);
    setDeviceCarrierCodes("", "");
    d.setInteger(3, "DeviceCarrier");
    EXPECT_EQ(currentCarrierNumber(), 3);
    d.removeObjectForKey("DeviceCarrier");
    setenv("RD_CARRIER_MCCMNC", "46007", 1);
    EXPECT_EQ(currentCarrierNumber(), 1);
    setenv("RD_CARRIER_MCCMNC", "4600x", 1);  // malformed: ignored
    EXPECT_EQ(currentCarrierNumber(), 0);
    unsetenv("RD_CARRIER_MCCMNC");
    EXPECT_EQ(carrierNumberForCodes("310", "00"), 0);
    EXPECT_EQ(carrierNumberForCodes("460", "11"), 3);
    EXPECT_EQ(carrierNumberForCodes("460", "99"), 0);
}

TEST_F(ServicesTest, SoundsAndVibrationsAreCounted) {
    int heard = 0;
    SystemSoundLog::shared().setListener([&](SystemSoundID) { ++heard; });
    AudioServicesPlaySystemSound(1007);
    AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
    AudioServicesPlaySystemSound(1007);
    auto& log = SystemSoundLog::shared();
    EXPECT_EQ(log.soundCount(), 2u);
    EXPECT_EQ(log.soundCount(1007), 2u);
    EXPECT_EQ(log.vibrationCount(), 1u);
    EXPECT_EQ(heard, 3);
    EXPECT_EQ(log.entries().front().time, Clock::now());
    log.setListener(nullptr);
}
