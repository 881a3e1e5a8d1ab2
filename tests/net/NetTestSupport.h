#pragma once
// A simulator on a loopback port, a server of a test's own handlers and a
// recording delegate, for the tests of the request road.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "net/NetworkActivityIndicator.h"
#include "net/NetworkManager.h"
#include "net/QZNetworkService.h"
#include "net/ServiceSession.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "sim/SimHttpServer.h"
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

// A server of the test's own handlers (Get, Post...) on a loopback port (or a socket), as
// patient as the tests' waits: a request that comes long after its
// connection opened and a reply the client reads slowly are served however
// busy the machine is, and stopping closes every connection at once. (The
// library's plain server, its keep-alive wait set to 0 so that a stop need
// not wait for idle connections, closes a new connection whose request has
// not come within about 10 ms: a loaded machine's client is often later.)
class LoopbackServer : public SimHttpServer {
public:
    LoopbackServer() : SimHttpServer(patientLimits()) {}
    ~LoopbackServer() override { stopServing(); }
    // Binds a free port and serves on a thread of its own, once the handlers are set.
    bool startServing() {
        port_ = bind_to_any_port("127.0.0.1");
        return port_ > 0 && serve();
    }
    // The same on a Unix-domain socket made at `path`.
    bool startServingAt(const std::string& path) { return bindToSocket(path) && serve(); }
    void stopServing() {
        stop();
        if (serving_.joinable()) serving_.join();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    bool serve() {
        serving_ = std::thread([this] { listen_after_bind(); });
        return pollUntil([this] { return is_running(); });
    }
    static SimHttpLimits patientLimits() {
        SimHttpLimits limits;
        limits.readTimeout = limits.writeTimeout = limits.keepAlive = kHangSeconds;
        return limits;
    }
    int port_ = 0;
    std::thread serving_;
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
        o.readTimeout = kHangSeconds;  // a loaded machine's request is never cut off
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
