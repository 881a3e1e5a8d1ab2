#include "platform/services/Reachability.h"
#include "tests/net/NetTestSupport.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"

using NetworkManagerTest = SimFixture;

TEST_F(NetworkManagerTest, HostRacePicksTheHostThatAnswers) {
    auto& m = NetworkManager::manager();
    std::string self = sim->url().substr(7);
    // Port 1 on loopback refuses at once; the carrier-2 host is not ours to try.
    m.setHostList("127.0.0.1:1^dead^0#" + self + "^sim^1#127.0.0.1:2^other carrier^2");
    m.setCarrier(1);
    std::string chosen;
    bool reachable = false;
    NSNotificationCenter::defaultCenter().addObserver(this, "FastestHostNotification", [&](const NSNotification& n) {
        chosen = n.userInfo["host"].toString();
        reachable = n.userInfo["reachable"].toBool();
    });
    m.chooseHost();
    ASSERT_TRUE(waitFor([&] { return !chosen.empty(); }));
    EXPECT_EQ(chosen, self);
    EXPECT_TRUE(reachable);
    EXPECT_EQ(m.currentURL(), sim->url() + "/vta");
    // No host answers: announced as unreachable, with a reachability change.
    chosen.clear();
    int changes = 0;
    NSNotificationCenter::defaultCenter().addObserver(this, "NetworkReachabilityChangedNotification",
                                                      [&](const NSNotification&) { ++changes; });
    m.setHostList("127.0.0.1:1^dead^0");
    m.chooseHost();
    ASSERT_TRUE(waitFor([&] { return !chosen.empty(); }));
    EXPECT_FALSE(reachable);
    EXPECT_FALSE(m.isReachable());
    EXPECT_EQ(changes, 1);
    // The platform's reachability of the host learns it from the same outcome.
    ASSERT_TRUE(m.currentHost());
    EXPECT_FALSE(Reachability::reachabilityWithHostName(m.currentHost()->address())->isReachable());
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(NetworkManagerTest, ConfigurationAddsTheIplistAndForegroundRevalidates) {
    auto& m = NetworkManager::manager();
    Value::Dict conf;
    conf["iplist"] = "127.0.0.2:80^a^0#127.0.0.1:8010^dup^0";
    VTAParamter::shareParamter().setValue(Value(conf), "commomdSettingForHQ");
    m.applyConfiguration();
    ASSERT_EQ(m.hosts().size(), 2u);  // built-in plus one new, duplicate dropped
    EXPECT_EQ(m.hosts()[1]->address(), "127.0.0.2:80");

    m.setLoopbackHost(sim->url());
    int races = 0;
    NSNotificationCenter::defaultCenter().addObserver(this, "FastestHostNotification",
                                                      [&](const NSNotification&) { ++races; });
    Clock::freezeAt(1709605800);
    m.applicationDidEnterBackground();
    Clock::advance(1700);
    m.applicationWillEnterForeground();
    EXPECT_FALSE(m.isChoosingHost());
    Clock::advance(200);
    m.applicationWillEnterForeground();
    EXPECT_TRUE(m.isChoosingHost());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return races == 1; }, 0, kHangSeconds));
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(NetworkManagerTest, TrafficCountersSurviveARestart) {
    auto& m = NetworkManager::manager();
    auto& d = NSUserDefaults::standardUserDefaults();
    m.resetTraffic();
    EXPECT_EQ(d.integerForKey("TrafficSentBytes"), 0);
    Clock::freezeAt(1709605800);
    m.addTraffic(100, 250);
    m.addTraffic(-5, 50);
    EXPECT_EQ(m.sentBytes(), 100);
    EXPECT_EQ(m.receivedBytes(), 300);
    // Not written in the path of a reply: the save waits for the timer.
    EXPECT_TRUE(m.hasUnsavedTraffic());
    EXPECT_EQ(d.integerForKey("TrafficReceivedBytes"), 0);
    RunLoop::main().runFor(NetworkManager::kTrafficSaveDelay, kHangSeconds);
    EXPECT_FALSE(m.hasUnsavedTraffic());
    EXPECT_EQ(d.integerForKey("TrafficSentBytes"), 100);
    EXPECT_EQ(d.integerForKey("TrafficReceivedBytes"), 300);

    // Going to the background writes at once; the next run reads them back.
    m.addTraffic(1, 1);
    m.applicationDidEnterBackground();
    EXPECT_EQ(d.integerForKey("TrafficSentBytes"), 101);
    d.reload();
    m.resetForTests();
    EXPECT_EQ(m.sentBytes(), 101);
    EXPECT_EQ(m.receivedBytes(), 301);
    // A loop reset drops the pending save timer: the next count schedules a new one.
    m.addTraffic(1, 0);
    RunLoop::main().reset();
    m.addTraffic(1, 0);
    RunLoop::main().runFor(NetworkManager::kTrafficSaveDelay, kHangSeconds);
    EXPECT_EQ(d.integerForKey("TrafficSentBytes"), 103);
}
