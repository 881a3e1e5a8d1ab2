// Each family's state in its own room, a full reset between tests, and the
// crafted answers a test feeds to a screen.
#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <future>
#include <thread>

#include "core/TCRSWriter.h"
#include "core/contracts/MessageContract.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/security/Compression.h"
#include "sim/SimPortfolio.h"
#include "sim/SimSystem.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/TestSupport.h"

TEST_F(SimTest, RoomsAreMadeOnFirstUseAndSeededFromTheClockOfThatMoment) {
    sim->clock().advance(86400);  // the messages are seeded in the hours before first use
    auto messages = sim->messages();
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages.front().msgId, 1000);
    EXPECT_DOUBLE_EQ(messages.front().sendTime, kTuesdayMorning + 86400 - 6 * 86400 - 5400);
    EXPECT_EQ(messages[4].url, "tc_mfuncno=3780&tc_sfuncno=7&detailmsg_id=10040");
    // One room per type: what a control writes, a handler reads.
    sim->withRoom<SimSystemRoom>([](SimSystemRoom& r) { r.registeredPhones.insert("13900139000"); });
    std::string s = login("13900139000");
    auto status = firstSet(call(s, "tc_mfuncno=100&tc_sfuncno=4"));
    EXPECT_EQ(status->toIntWithFieldName("registered"), 1);
    EXPECT_EQ(sim->withRoom<SimSystemRoom>([](SimSystemRoom& r) { return r.registeredPhones.size(); }), 2u);
}

TEST(SimRoomsDeathTest, ARoomOutsideTheStateLockStops) {
    SimServer sim(tuesdayOptions());
    EXPECT_DEATH(sim.room<SimSystemRoom>(), "without the state lock");
}

TEST_F(SimTest, ResetStateGivesAFreshServerOnTheSamePort) {
    SimOptions o = tuesdayOptions();
    o.keepAliveSeconds = 0;
    sim = std::make_unique<SimServer>(o);
    ASSERT_TRUE(sim->start());
    const int port = sim->port();
    std::string s = login("13900139000");
    call(s, "tc_mfuncno=3710&tc_sfuncno=3&code=600519.2");
    call(s, "tc_mfuncno=100&tc_sfuncno=3&phone=13900139000&type=A");
    sim->pushMessage(SimMessage{.title = "新消息"});
    sim->setSessionIdleTimeout(5);
    sim->setRequireSession(false);
    sim->forceErrorSet(-1, "一直忙", 0, 0, 100);
    sim->clock().advance(3600);
    ASSERT_EQ(sim->ownStocks("13900139000").size(), 1u);

    sim->resetState();
    EXPECT_EQ(sim->requestCount(), 0u);
    EXPECT_TRUE(sim->sessionIds().empty());
    EXPECT_TRUE(sim->ownStocks("13900139000").empty());
    EXPECT_EQ(sim->messages().size(), 7u);
    EXPECT_EQ(sim->messages().back().msgId, 1006);  // ids start again
    EXPECT_DOUBLE_EQ(sim->clock().now(), kTuesdayMorning);
    EXPECT_TRUE(sim->clock().isFrozen());
    EXPECT_EQ(etag(call(s, "tc_mfuncno=3504&tc_sfuncno=1")), "2,0,0,0");  // sessions are required again
    std::string fresh = login("13900139000");
    EXPECT_FALSE(firstSet(call(fresh, "tc_mfuncno=3504&tc_sfuncno=1"))->isError());  // no error left pending
    EXPECT_EQ(firstSet(call(fresh, "tc_mfuncno=100&tc_sfuncno=4"))->toIntWithFieldName("registered"), 0);
    sim->clock().advance(1799);
    EXPECT_EQ(etag(call(fresh, "tc_mfuncno=3504&tc_sfuncno=1")), "0,0,0,0");  // the given idle timeout
    EXPECT_EQ(sim->port(), port);
    auto http = simClient(port);
    auto probe = http.Get("/vta");
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->body, "roduvede-sim");
    sim->stop();
}

TEST_F(SimTest, ACraftedAnswerIsSentAsItStandsForTheTimesAsked) {
    std::string s = login();
    const std::vector<uint8_t> malformed{0x54, 0x43, 0x52, 0x53, 0xff, 0x00, 0x07};
    sim->answerNext(QuoteContract::kSnapshot, malformed, 2);
    const std::string snapshot = "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2";
    for (int i = 0; i < 2; ++i) {
        auto r = call(s, snapshot);
        EXPECT_EQ(etag(r), "0,0,0,0");
        EXPECT_EQ(std::vector<uint8_t>(r.body.begin(), r.body.end()), malformed) << i;
    }
    EXPECT_FALSE(firstSet(call(s, snapshot))->isError()) << "the third is the handler's again";

    // Another function is not touched; a compressed request gets the bytes compressed.
    sim->answerNext(QuoteContract::kSnapshot, malformed);
    EXPECT_FALSE(firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=10&key=600"))->isError());
    auto packed = call(s, snapshot, 18);
    EXPECT_EQ(etag(packed), "0,0,18,0");
    EXPECT_EQ(uncompressWithLengthPrefix(std::vector<uint8_t>(packed.body.begin(), packed.body.end())), malformed);

    // An error set through the same control; sub 0 stands for every sub function of the family.
    sim->answerNext({PortfolioContract::kAdd.main, 0}, simErrorSet(-7, "自选股服务暂停"));
    auto refused = firstSet(call(s, "tc_mfuncno=3710&tc_sfuncno=2"));
    ASSERT_TRUE(refused && refused->isError());
    EXPECT_EQ(refused->getError(), "自选股服务暂停");
    // An empty answer is an answer too (no record sets at all).
    sim->answerNext(MessageContract::kUnconfirmed, {});
    EXPECT_TRUE(call(s, "tc_mfuncno=3780&tc_sfuncno=2").body.empty());
    // A pending answer is forgotten with the other controls.
    sim->answerNext(MessageContract::kUnconfirmed, malformed);
    sim->clearControls();
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=2"))->rowsAffected(), 5);
}

TEST(SimRoomsLockTest, HandlersWithoutARoomRunSideBySideAndARoomTakesTheLock) {
    std::atomic<int> inside{0};
    std::atomic<bool> bothInside{false};
    SimOptions o = tuesdayOptions();
    o.requireSession = false;
    o.families = [&](SimRegistry& r) {
        registerSystemFunctions(r);
        // Waits for a second request to be inside too.
        r.add({9000, 1}, [&](SimCall&) {
            ++inside;
            if (pollUntil([&] { return inside.load() >= 2; })) bothInside = true;
            return simResultSet(1, "");
        });
        // A room, then a control of the same server from inside the handler.
        r.add({9000, 2}, [](SimCall& c) {
            c.server.room<SimSystemRoom>().feedback.push_back("inside");
            c.server.pushMessage(SimMessage{.title = "from a handler"});
            return simResultSet(1, std::to_string(c.server.room<SimSystemRoom>().feedback.size()));
        });
    };
    SimServer sim(o);
    auto first = std::async(std::launch::async, [&] { return sim.handle("tc_mfuncno=9000&tc_sfuncno=1", {}); });
    auto second = std::async(std::launch::async, [&] { return sim.handle("tc_mfuncno=9000&tc_sfuncno=1", {}); });
    first.get();
    second.get();
    EXPECT_TRUE(bothInside);
    auto r = firstSet(sim.handle("tc_mfuncno=9000&tc_sfuncno=2", {}));
    EXPECT_EQ(r->toStringWithFieldName("message").value_or(""), "1");
    EXPECT_EQ(sim.messages().back().title, "from a handler");
}
