// A simulator that cannot be exhausted: bounded request log, refused large
// bodies, slow connections cut off and unable to fill the pool, no clock
// beyond the valid times, idle sessions swept by time, a cap on sessions.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "tests/sim/SimTestSupport.h"

namespace {

// A client socket on loopback, closed when it goes.
class RawClient {
public:
    explicit RawClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        timeval tv{3, 0};  // no test waits longer for the server
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }
    ~RawClient() { ::close(fd_); }
    bool connected() const { return connected_; }
    bool send(const std::string& s) { return ::send(fd_, s.data(), s.size(), MSG_NOSIGNAL) == ssize_t(s.size()); }
    // Whether the server has closed the connection (waits up to 3 s for it).
    bool closedByServer() {
        char c;
        ssize_t n = ::recv(fd_, &c, 1, 0);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }
    // Still open, nothing received (does not wait).
    bool hanging() {
        char c;
        ssize_t n = ::recv(fd_, &c, 1, MSG_DONTWAIT);
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    // Everything until the server closes.
    std::string readAll() {
        std::string out;
        char buf[4096];
        for (ssize_t n; (n = ::recv(fd_, buf, sizeof buf, 0)) > 0;) out.append(buf, size_t(n));
        return out;
    }

private:
    int fd_;
    bool connected_ = false;
};

SimOptions httpOptions() {
    SimOptions o = tuesdayOptions();
    o.keepAliveSeconds = 0;
    return o;
}

std::string chunked(const std::string& body) {
    std::string out = "POST /vta HTTP/1.1\r\nHost: sim\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += 1000) {
        std::string piece = body.substr(at, 1000);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        out += size + piece + "\r\n";
    }
    return out + "0\r\n\r\n";
}

// A body of exactly n bytes that is still a request (an unknown function).
std::string bodyOf(size_t n) {
    std::string b = "tc_mfuncno=9999&tc_sfuncno=1&pad=";
    b.resize(n, 'x');
    return b;
}

}  // namespace

TEST(SimRequestLogTest, KeepsTheNewestWithinItsCountAndBytes) {
    SimRequestLog log(3, 100);
    auto record = [](size_t bytes, int tag) {
        SimRecord r;
        r.rawBody.assign(bytes, 'b');
        r.sub = tag;
        return r;
    };
    log.add(record(10, 1));
    log.add(record(10, 2));
    log.add(record(10, 3));
    EXPECT_EQ(log.size(), 3u);  // exactly the count
    log.add(record(10, 4));
    ASSERT_EQ(log.size(), 3u);  // one past: the oldest goes
    EXPECT_EQ(log.records().front().sub, 2);
    log.clear();
    log.add(record(60, 5));
    log.add(record(40, 6));
    EXPECT_EQ(log.bytes(), 100u);  // exactly the bytes
    EXPECT_EQ(log.size(), 2u);
    log.add(record(1, 7));
    EXPECT_EQ(log.bytes(), 41u);  // one past
    EXPECT_EQ(log.records().front().sub, 6);
    SimRecord fields;
    fields.rawBody = "ab=c";
    fields.fields = {{"ab", "c"}};
    fields.clearFields = {{"ab", "c"}};
    EXPECT_EQ(fields.bytes(), 10u);
}

TEST(SimLimitsTest, AFloodOfLargeBodiesKeepsTheLogWithinItsBytes) {
    SimOptions o = tuesdayOptions();
    o.requestLogBytes = 8 << 20;
    SimServer sim(o);
    const std::string big = bodyOf(o.maxRequestBytes);
    for (int i = 0; i < 20; ++i) sim.handle(big, {});
    EXPECT_LE(sim.requestLogBytes(), o.requestLogBytes);
    EXPECT_GE(sim.requestCount(), 2u);
    EXPECT_LT(sim.requestCount(), 20u);
}

TEST(SimLimitsTest, ABodyLargerThanTheLimitIsRefusedExactlyOnePast) {
    SimServer sim(httpOptions());
    ASSERT_TRUE(sim.start());
    const size_t limit = sim.options().maxRequestBytes;
    EXPECT_EQ(limit, 1024u * 1024u);
    httplib::Client http("127.0.0.1", sim.port());
    auto at = http.Post("/vta", bodyOf(limit), "application/x-www-form-urlencoded");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->status, 200);
    EXPECT_EQ(at->get_header_value("Etag"), "2,0,0,0");  // read, and answered: no session
    auto past = http.Post("/vta", bodyOf(limit + 1), "application/x-www-form-urlencoded");
    ASSERT_TRUE(past);
    EXPECT_EQ(past->status, 413);
    EXPECT_EQ(sim.requestCount(), 1u);  // the refused one never reached the road
    // A flood of large bodies is read past, not kept.
    for (int i = 0; i < 5; ++i) {
        auto flood = http.Post("/vta", std::string(4 << 20, 'x'), "application/x-www-form-urlencoded");
        ASSERT_TRUE(flood);
        EXPECT_EQ(flood->status, 413);
    }
    EXPECT_EQ(sim.requestCount(), 1u);
    sim.stop();
}

TEST(SimLimitsTest, AChunkedBodyIsHeldToTheSameLimit) {
    SimOptions o = httpOptions();
    o.maxRequestBytes = 4096;
    SimServer sim(o);
    ASSERT_TRUE(sim.start());
    {
        RawClient at(sim.port());
        ASSERT_TRUE(at.send(chunked(bodyOf(4096))));
        EXPECT_EQ(at.readAll().rfind("HTTP/1.1 200", 0), 0u);
    }
    {
        RawClient past(sim.port());
        ASSERT_TRUE(past.send(chunked(bodyOf(4097))));
        EXPECT_EQ(past.readAll().rfind("HTTP/1.1 413", 0), 0u);
    }
    EXPECT_EQ(sim.requestCount(), 1u);
    sim.stop();
}

TEST(SimLimitsTest, SixtyFourSlowConnectionsHangWhileANormalRequestIsServed) {
    SimOptions o = httpOptions();
    o.readTimeout = 5;  // longer than the test: the slow ones hang throughout
    SimServer sim(o);
    ASSERT_TRUE(sim.start());
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 64; ++i) {
        slow.push_back(std::make_unique<RawClient>(sim.port()));
        ASSERT_TRUE(slow.back()->connected());
        ASSERT_TRUE(slow.back()->send("POST /vta HTTP/1.1\r\nHo"));  // and then nothing
    }
    httplib::Client http("127.0.0.1", sim.port());
    http.set_read_timeout(3, 0);  // a filled pool would keep it waiting 5 s
    auto probe = http.Get("/vta");
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->body, "roduvede-sim");
    for (auto& s : slow) EXPECT_TRUE(s->hanging());
    sim.stop();  // does not wait out their read timeout
}

TEST(SimLimitsTest, ARequestMustArriveWholeWithinTheReadTimeout) {
    SimOptions o = httpOptions();
    o.readTimeout = 0.2;
    SimServer sim(o);
    ASSERT_TRUE(sim.start());
    RawClient silent(sim.port());
    ASSERT_TRUE(silent.send("P"));
    EXPECT_TRUE(silent.closedByServer());
    // A byte every 40 ms never waits long on any one read, yet is cut off at the deadline.
    RawClient trickle(sim.port());
    const std::string request = "POST /vta HTTP/1.1\r\nHost: sim\r\nContent-Length: 20\r\n\r\ntc_mfuncno=3504&x=1";
    bool cut = false;
    for (size_t i = 0; i < request.size() && !cut; ++i) {
        cut = !trickle.send(request.substr(i, 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        cut = cut || !trickle.hanging();
    }
    EXPECT_TRUE(cut || trickle.closedByServer());
    EXPECT_EQ(sim.requestCount(), 0u);
    sim.stop();
}

TEST(SimLimitsTest, ThePoolServesBesideSlowConnectionsUpToItsSize) {
    SimOptions o = httpOptions();
    o.readTimeout = 1;
    o.maxConnections = 4;
    SimServer sim(o);
    ASSERT_TRUE(sim.start());
    httplib::Client http("127.0.0.1", sim.port());
    http.set_read_timeout(3, 0);
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 3; ++i) {
        slow.push_back(std::make_unique<RawClient>(sim.port()));
        ASSERT_TRUE(slow.back()->send("G"));
    }
    ASSERT_TRUE(http.Get("/vta"));  // one thread left: served at once
    int hanging = 0;
    for (auto& s : slow) hanging += s->hanging();
    EXPECT_EQ(hanging, 3);
    slow.push_back(std::make_unique<RawClient>(sim.port()));
    ASSERT_TRUE(slow.back()->send("G"));
    ASSERT_TRUE(http.Get("/vta"));  // the pool is full: served once a slow one is cut off
    hanging = 0;
    for (auto& s : slow) hanging += s->hanging();
    EXPECT_LT(hanging, 4);
    sim.stop();
}

TEST(SimLimitsTest, TheClockRefusesWhatIsNoTime) {
    SimServer sim(httpOptions());
    ASSERT_TRUE(sim.start());
    httplib::Client http("127.0.0.1", sim.port());
    auto post = [&](const std::string& params) {
        auto r = http.Post("/sim/clock", params, "application/x-www-form-urlencoded");
        return r ? r->status : -1;
    };
    for (const char* bad : {"t=nan", "t=inf", "t=-inf", "t=1e300", "t=-1", "t=abc", "t=", "t=12x", "t=253402272000",
                            "advance=nan", "advance=1e300", "t=253402271999&advance=1", "t=1e300&advance=-1e300"})
        EXPECT_EQ(post(bad), 400) << bad;
    EXPECT_DOUBLE_EQ(sim.clock().now(), kTuesdayMorning) << "nothing changed";
    EXPECT_EQ(post("t=253402271999"), 200);  // the last second of 9999
    EXPECT_EQ(SimClock::format(sim.clock().now()), "9999-12-31 23:59:59");
    EXPECT_EQ(post("t=0"), 200);
    EXPECT_EQ(post("t=1709605800&advance=60"), 200);
    EXPECT_EQ(SimClock::format(sim.clock().now()), "2024-03-05 10:31:00");
    sim.stop();

    EXPECT_FALSE(sim.clock().setTime(std::nan("")));
    EXPECT_FALSE(sim.clock().advance(INFINITY));
    SimOptions o = tuesdayOptions();
    o.clock = INFINITY;
    SimServer never(o);
    EXPECT_NE(never.setupError().find("no time"), std::string::npos);
    EXPECT_FALSE(never.start());
}

TEST(SimLimitsTest, MarketTimesAndSpansAreReadWholeOrNotAtAll) {
    EXPECT_EQ(SimClock::parse("2024-03-05 10:30"), kTuesdayMorning);
    EXPECT_EQ(SimClock::parse("2024-03-05 10:30:15"), kTuesdayMorning + 15);
    EXPECT_EQ(SimClock::parse("2024-03-05"), kTuesdayMorning - 630 * 60);
    EXPECT_EQ(SimClock::parse("1709605800"), kTuesdayMorning);
    for (const char* bad : {"", "2024-03-05 10", "2024-03-05 10:30x", "2024-02-30 10:00", "2024-03-05 24:00",
                            "2024-03-05 10:60", "10:30", "yesterday", "1e400", "-5"})
        EXPECT_FALSE(SimClock::parse(bad)) << bad;
    EXPECT_EQ(SimClock::parseSpan("+45s"), 45);
    EXPECT_EQ(SimClock::parseSpan("+30m"), 1800);
    EXPECT_EQ(SimClock::parseSpan("+2h"), 7200);
    EXPECT_EQ(SimClock::parseSpan("+1d"), 86400);
    for (const char* bad : {"30m", "+m", "+-5m", "+1.5h", "+3w", "+", "+1234567d"})
        EXPECT_FALSE(SimClock::parseSpan(bad)) << bad;
}

TEST_F(SimTest, IdleSessionsAreSweptByTimeNotOnlyWhenUsed) {
    sim->setSessionIdleTimeout(60);
    std::string a = login();
    sim->clock().advance(60);
    std::string b = login("13900139000");
    EXPECT_EQ(sim->sessionIds().size(), 2u);  // idle exactly the timeout: kept
    sim->clock().advance(1);
    call(b, "tc_mfuncno=3504&tc_sfuncno=1");  // another session's request sweeps the idle one
    EXPECT_EQ(sim->sessionIds(), std::vector<std::string>{b});
}

TEST(SimLimitsTest, ALoginFloodBeyondTheCapIsRefusedAndEndsNoLiveSession) {
    SimOptions o = tuesdayOptions();
    o.maxSessions = 3;
    SimServer sim(o);
    auto login = [&](const std::string& phone) {
        auto r = sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=" + phone, {});
        auto set = firstSet(r);
        return std::make_pair(etag(r), set ? set->toStringWithFieldName("session").value_or("") : "");
    };
    const std::string a = login("13800138000").second, b = login("13800138001").second;
    sim.clock().advance(1000);
    const std::string c = login("13800138002").second;  // exactly the cap
    ASSERT_FALSE(a.empty() || b.empty() || c.empty());
    for (int i = 0; i < 50; ++i) EXPECT_EQ(login("139" + std::to_string(10000000 + i)).first, "1,0,0,0");
    auto ids = sim.sessionIds();
    std::sort(ids.begin(), ids.end());
    std::vector<std::string> live{a, b, c};
    std::sort(live.begin(), live.end());
    EXPECT_EQ(ids, live) << "the sessions idle longest are live and stay";
    // Once one has ended by its idle time, a new login takes its place.
    sim.clock().advance(o.sessionIdleTimeout - 999);
    EXPECT_FALSE(login("13800138003").second.empty());
    EXPECT_EQ(sim.sessionIds().size(), 2u);
}
