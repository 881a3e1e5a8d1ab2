#pragma once
// A simulator on a loopback port and a recording delegate, for the tests of
// the request road.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "net/NetworkActivityIndicator.h"
#include "net/NetworkManager.h"
#include "net/QZNetworkService.h"
#include "net/ServiceSession.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "sim/SimServer.h"
#include "tests/support/SimRequestFields.h"
#include "tests/support/Waiting.h"

struct Event {
    std::string kind;  // "data", "array", "network", "service"
    int tag = 0;
    std::vector<uint8_t> data;
    std::vector<std::shared_ptr<VTATCRS>> sets;
    int code = 0;
    std::string text;

    std::shared_ptr<VTATCRS> firstSet() const {
        if (!sets.empty()) return sets.front();
        auto parsed = VTATCRS::buildMuTableTCRSWithData(data);
        return parsed && !parsed->empty() ? parsed->front() : nullptr;
    }
};

class Recorder : public QZNetworkServiceDelegate {
public:
    std::vector<Event> events;
    bool takesArrays = false;

    void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& data, int tag) override {
        events.push_back({"data", tag, data, {}, 0, ""});
    }
    void serviceDidReceiveArray(QZNetworkService*, const std::vector<std::shared_ptr<VTATCRS>>& sets,
                                int tag) override {
        events.push_back({"array", tag, {}, sets, 0, ""});
    }
    bool respondsToServiceDidReceiveArray() const override { return takesArrays; }
    void serviceDidNetworkError(QZNetworkService*, const NSError& e, int tag) override {
        events.push_back({"network", tag, {}, {}, e.code(), e.localizedDescription()});
    }
    void serviceDidServiceError(QZNetworkService*, const NSError& e, int tag) override {
        events.push_back({"service", tag, {}, {}, e.code(), e.localizedDescription()});
    }
};

// 2024-03-05 (a Tuesday) 10:30 in Shanghai: the markets are open.
inline constexpr double kTradingMorning = 1709605800;

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(kTradingMorning);
        SimOptions o;
        o.seed = 7;
        o.clock = kTradingMorning;
        o.frozenClock = true;
        o.keepAliveSeconds = 0;
        sim = std::make_unique<SimServer>(o);
        ASSERT_TRUE(sim->start());
        NetworkManager::manager().resetForTests();
        NetworkManager::manager().setLoopbackHost(sim->url());
        ServiceSession::shared().reset();
        NetworkActivityIndicator::shared().reset();
        QZNetworkService::clearChartCache();
        VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
    }
    void TearDown() override {
        NetworkManager::manager().removeAllRequest();
        drainTransfers();
        sim->stop();
        ServiceSession::shared().reset();
        Clock::useSystemTime();
    }
    // Runs the main loop until the condition holds (replies as they come, timers
    // in virtual time up to `seconds`).
    bool waitFor(const std::function<bool()>& done, double seconds = 10) {
        return waitUntil(done, seconds);
    }
    void login() {
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", 1);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty(); }));
        ASSERT_EQ(r.events[0].kind, "data");
        ASSERT_FALSE(ServiceSession::shared().session().empty());
    }
    std::unique_ptr<SimServer> sim;
};
