#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <set>
#include <thread>
#include <tuple>

#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "core/security/Base64.h"
#include "core/security/Compression.h"
#include "core/security/FrameCodec.h"
#include "core/security/VTACoder.h"
#include "sim/SimImages.h"
#include "sim/SimServer.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/TestSupport.h"

#include <httplib.h>

TEST(SimParsing, SplitsAtTheFirstEqualsOnlyInAnyOrder) {
    auto f = simParseFields("a=b=c&&flag&code=600519.2|000001.2&tc_MFUNCNO=31000&=x&TC_REQDATA=QUJD+/==");
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[0].key, "a");
    EXPECT_EQ(f[0].value, "b=c");
    EXPECT_EQ(f[1].key, "flag");
    EXPECT_EQ(f[1].value, "");
    EXPECT_EQ(f[4].key, "");
    EXPECT_EQ(f[5].value, "QUJD+/==");
    SimRequest r(f);
    EXPECT_EQ(r.mainFunction(), 31000);  // keys compared without regard to case
    EXPECT_EQ(r.value("CODE"), "600519.2|000001.2");
    EXPECT_EQ(r.intValue("a", -7), -7);  // "b=c" is no number
    EXPECT_TRUE(simParseFields("").empty());
    EXPECT_TRUE(simParseFields("&&&").empty());
}

TEST(SimMarketTest, DeterministicBySeedWithUniformDecimals) {
    SimMarket a(3), b(3), c(4);
    const SimInstrument* sh = a.findId("000001.2");
    const SimInstrument* sz = a.findId("399001.1");
    ASSERT_TRUE(sh && sz);
    EXPECT_EQ(sh->classId, 2);
    EXPECT_EQ(sz->classId, 2);
    EXPECT_EQ(a.findId("000001.1")->name, "平安银行");
    EXPECT_EQ(a.findId("000001.9"), nullptr);
    EXPECT_EQ(a.findId("000001.x"), nullptr);
    EXPECT_EQ(a.findId("600000.02"), nullptr) << "a market part with a leading zero names nothing";
    std::set<int> markets, classes;
    for (const auto& i : a.instruments()) {
        markets.insert(i.market);
        classes.insert(i.classId);
        SimQuote qa = a.quote(i, kTuesdayMorning), qb = b.quote(*b.findId(i.id()), kTuesdayMorning);
        EXPECT_EQ(qa.last, qb.last) << i.id();
        EXPECT_TRUE(qa.traded);
        EXPECT_GE(qa.high, qa.last);
        EXPECT_LE(qa.low, qa.last);
        // Every price text of one stock carries the stock's decimals.
        for (int64_t p : {qa.prevClose, qa.open, qa.high, qa.low, qa.last, qa.ask[4], qa.bid[4]}) {
            std::string t = SimMarket::priceText(p, i.decimals);
            auto dot = t.find('.');
            EXPECT_EQ(dot == std::string::npos ? 0 : t.size() - dot - 1, size_t(i.decimals)) << t;
        }
    }
    EXPECT_EQ(markets, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(classes, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
    bool differs = false;
    for (const auto& i : a.instruments())
        differs = differs || a.quote(i, kTuesdayMorning).last != c.quote(*c.findId(i.id()), kTuesdayMorning).last;
    EXPECT_TRUE(differs);
    // Yesterday's close is today's previous close; the weekend keeps Friday's.
    const SimInstrument& m = *a.findId("600519.2");
    EXPECT_EQ(a.prevClose(m, 20240305), a.close(m, 20240304));
    EXPECT_EQ(a.prevClose(m, 20240304), a.close(m, 20240301));
    EXPECT_EQ(a.minutePoints(m, 20240305).size(), 241u);
    EXPECT_EQ(a.minutePoints(*a.findId("00700.3"), 20240305).size(), 331u);  // 9:30-12:00, 13:01-16:00
    EXPECT_TRUE(a.minutePoints(m, 20240302).empty());                        // Saturday
    EXPECT_EQ(a.minutePoints(m, 20240305).back().price, a.close(m, 20240305));
    // Before the open: last is the previous close, no open yet.
    SimQuote early = a.quote(m, SimClock::fromLocal(20240305, 9 * 60));
    EXPECT_FALSE(early.traded);
    EXPECT_EQ(early.last, early.prevClose);
}

// An instrument's prices are its own: the first-listed ones keep the walks
// their places in the list gave them (tests and the README quote them), and
// every later one walks by its id, wherever the list puts it. A bond quotes
// near its 100 元 face value a 张.
TEST(SimMarketTest, EachInstrumentWalksByAKeyOfItsOwn) {
    SimMarket m(1);
    std::set<uint64_t> keys;
    for (const auto& i : m.instruments()) EXPECT_TRUE(keys.insert(i.walkKey).second) << i.id();
    struct Pinned {
        const char* id;
        int date;
        int64_t close;
    };
    for (const Pinned& p : {Pinned{"000001.1", 20240305, 1031}, Pinned{"600000.2", 20240305, 782},
                            Pinned{"688981.2", 20261207, 4873}, Pinned{"110001.2", 20240305, 104794},
                            Pinned{"128001.1", 20261207, 103386}, Pinned{"510999.2", 20240305, 877}})
        EXPECT_EQ(m.close(*m.findId(p.id), p.date), p.close) << p.id << " " << p.date;
    for (const char* id : {"110001.2", "128001.1"})
        for (int date : {20200102, 20240305, 20261207, 20301231}) {
            const double yuan = double(m.close(*m.findId(id), date)) / 1000;
            EXPECT_GT(yuan, 90) << id << " " << date;
            EXPECT_LT(yuan, 120) << id << " " << date;
        }
    // A new issue's shares and a warrant quote near their issue and seed prices.
    for (const auto& [id, price] : {std::pair{"002888.1", 18.50}, std::pair{"603888.2", 12.36},
                                    std::pair{"580001.2", 0.520}, std::pair{"038001.1", 2.180}})
        for (int date : {20240305, 20261207}) {
            const SimInstrument& s = *m.findId(id);
            const double yuan = double(m.close(s, date)) / (s.decimals == 3 ? 1000 : 100);
            EXPECT_GT(yuan, price * 0.6) << id << " " << date;
            EXPECT_LT(yuan, price * 1.6) << id << " " << date;
        }
}

// The connection threads share one market: days worked out on one thread
// while others read them, and closes extended while others read them, give
// every thread what a market of the same seed gives one thread alone.
TEST(SimMarketTest, ConnectionThreadsSharingTheMarketSeeWhatOneThreadSees) {
    SimMarket shared(5), alone(5);
    std::vector<double> times;
    for (int day : {20240304, 20240305, 20240306, 20250102, 20251231, 20260615})
        for (int minute : {9 * 60 + 31, 11 * 60, 14 * 60 + 59, 16 * 60})
            times.push_back(SimClock::fromLocal(day, minute));
    auto fingerprint = [&times](const SimMarket& m) {
        std::vector<int64_t> out;
        for (double t : times)
            for (const auto& i : m.instruments()) {
                SimQuote q = m.quote(i, t);
                out.insert(out.end(), {q.last, q.high, q.low, q.volume, q.askVolume[0]});
            }
        for (const auto& i : m.instruments()) out.push_back(int64_t(m.dailyBars(i, 20260615, 40).size()));
        return out;
    };
    const std::vector<int64_t> expected = fingerprint(alone);
    std::vector<std::future<std::vector<int64_t>>> threads;
    for (int k = 0; k < 8; ++k) threads.push_back(std::async(std::launch::async, [&] { return fingerprint(shared); }));
    for (auto& t : threads) EXPECT_EQ(t.get(), expected);
}

TEST_F(SimTest, SessionsAreRequiredAndTimeOutOnTheSimClock) {
    auto r = call("nope", "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2");
    EXPECT_EQ(etag(r), "2,0,0,0");
    std::string s = login();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(etag(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "0,0,0,0");
    // A session in use stays however long ago it was opened; one left unused ends.
    const std::string unused = login();
    sim->clock().advance(1000);
    EXPECT_EQ(etag(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "0,0,0,0");
    sim->clock().advance(1000);  // 2,000 s after both logins, 1,000 s after the last use
    EXPECT_EQ(etag(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "0,0,0,0");
    EXPECT_EQ(etag(call(unused, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "2,0,0,0");
    sim->setSessionIdleTimeout(60);
    sim->clock().advance(59);
    EXPECT_EQ(etag(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "0,0,0,0");
    sim->clock().advance(61);
    EXPECT_EQ(etag(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2")), "2,0,0,0");
    std::string s2 = login();
    sim->expireSession(s2);
    EXPECT_EQ(etag(call(s2, "tc_mfuncno=3710&tc_sfuncno=2")), "2,0,0,0");
    // An enciphered request of a session without key is refused.
    std::string s3 = login();
    EXPECT_EQ(etag(call(s3, "tc_mfuncno=500&tc_sfuncno=6&TC_REQLENGTH=3&TC_REQDATA=AAAA", 36)), "1,0,0,0");
}

TEST_F(SimTest, EncipheredRequestsAndRepliesUnderTheExchangedKey) {
    auto keyText = VTACoder::sessionKeyExchangeText();
    ASSERT_TRUE(keyText) << "bundle pubkey.bin";
    auto r =
        sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=54&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" + *keyText +
                        "&TC_SESSION={}&TC_REQLENGTH=17&TC_REQDATA=" + VTACoder::encryptString("phone=13800138000"),
                    {});
    ASSERT_EQ(etag(r), "0,0,18,36");
    auto plain = VTACoder::decryptData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    ASSERT_TRUE(plain);
    auto bytes = VTACoder::uncompressData(*plain);
    ASSERT_TRUE(bytes);
    auto set = VTATCRS::buildMuTableTCRSWithData(*bytes)->at(0);
    EXPECT_EQ(set->toIntWithFieldName("registered"), 1);
    std::string session = set->toStringWithFieldName("session").value_or("");
    // A wrong length or a frame under another key is refused.
    std::string text = "code=600519.2";
    EXPECT_EQ(
        etag(call(session, "tc_mfuncno=3710&tc_sfuncno=3&TC_REQLENGTH=99&TC_REQDATA=" + VTACoder::encryptString(text),
                  36)),
        "1,0,0,0");
    std::vector<uint8_t> otherKey(16, 7);
    auto foreign = base64Encode(encipherFrame(std::vector<uint8_t>(text.begin(), text.end()), otherKey));
    EXPECT_EQ(etag(call(session, "tc_mfuncno=3710&tc_sfuncno=3&TC_REQLENGTH=13&TC_REQDATA=" + foreign, 36)), "1,0,0,0");
    auto ok =
        call(session, "tc_mfuncno=3710&tc_sfuncno=3&TC_REQLENGTH=13&TC_REQDATA=" + VTACoder::encryptString(text), 36);
    EXPECT_EQ(etag(ok), "0,0,0,36");
    EXPECT_EQ(sim->ownStocks("13800138000"), std::vector<std::string>{"600519.2"});
}

TEST_F(SimTest, SnapshotKeepsRequestedColumnsAndRowOrder) {
    std::string s = login();
    auto r = call(s, "field=3|1|4&code=600519.2|bad.1|000001.1&tc_sfuncno=4&tc_mfuncno=31000");
    auto set = firstSet(r);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->getFieldNameAtIndex(0), "code");
    EXPECT_EQ(set->getFieldNameAtIndex(1), "exchid");
    EXPECT_EQ(set->getFieldNameAtIndex(2), "name");
    ASSERT_EQ(set->rowsAffected(), 2);
    EXPECT_EQ(set->toStringAtIndex(0).value_or(""), "600519");
    EXPECT_EQ(set->toIntAtIndex(1), 2);
    set->fetchNext();
    EXPECT_EQ(set->toStringWithFieldName("name").value_or(""), "平安银行");
    auto indices =
        firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=4&field=1|2|3|4|6|11|16|18|20|21&code=000001.2|399001.1"));
    ASSERT_EQ(indices->rowsAffected(), 2);
    EXPECT_EQ(indices->toIntWithFieldName("classid"), 2);
    EXPECT_TRUE(indices->toVTAFloatWithFieldName("zjcj"));
    EXPECT_TRUE(indices->toVTAFloatWithFieldName("cjje"));  // large amounts fit with a magnitude unit
    EXPECT_EQ(indices->toStringWithFieldName("lastupd").value_or("").size(), 14u);
    EXPECT_TRUE(firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=4&code=zzz.1"))->isError());
}

TEST_F(SimTest, SearchByCodeAndPinyin) {
    std::string s = login();
    auto byCode = firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=10&key=6000"));
    ASSERT_GE(byCode->rowsAffected(), 2);
    EXPECT_EQ(byCode->toStringWithFieldName("code").value_or(""), "600000");
    auto byPinyin = firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=10&key=gzmt"));
    ASSERT_EQ(byPinyin->rowsAffected(), 1);
    EXPECT_EQ(byPinyin->toStringWithFieldName("name").value_or(""), "贵州茅台");
    // What a customer holds is found as any stock: the convertible bond in Shanghai.
    auto bond = firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=10&key=110001"));
    ASSERT_EQ(bond->rowsAffected(), 1);
    EXPECT_EQ(bond->toStringWithFieldName("name").value_or(""), "模拟转债");
    EXPECT_EQ(bond->toIntWithFieldName("exchid"), 2);
    EXPECT_EQ(bond->toIntWithFieldName("classid"), 5);
    // The warrants customers hold and the new issues' shares too.
    for (const auto& [key, name, exchange, classId] :
         {std::tuple{"580001", "浦发CWB1", 2, 7}, std::tuple{"wkjtp", "万科JTP1", 1, 7},
          std::tuple{"603888", "沪光智能", 2, 1}, std::tuple{"hyxc", "华宇新材", 1, 1}}) {
        auto found = firstSet(call(s, std::string("tc_mfuncno=31000&tc_sfuncno=10&key=") + key));
        ASSERT_EQ(found->rowsAffected(), 1) << key;
        EXPECT_EQ(found->toStringWithFieldName("name").value_or(""), name);
        EXPECT_EQ(found->toIntWithFieldName("exchid"), exchange) << key;
        EXPECT_EQ(found->toIntWithFieldName("classid"), classId) << key;
    }
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=31000&tc_sfuncno=10&key=QQQ"))->rowsAffected(), 0);
}

TEST_F(SimTest, OwnStocksPerPhone) {
    std::string s = login("13800138000");
    std::string other = login("13900139000");
    firstSet(call(s, "tc_mfuncno=3710&tc_sfuncno=1&code=600519.2|nonsense|000001.1"));
    auto dup = firstSet(call(s, "tc_mfuncno=3710&tc_sfuncno=3&code=600519.2"));
    EXPECT_EQ(dup->toIntWithFieldName("result"), 0);
    auto del = firstSet(call(s, "tc_mfuncno=3710&tc_sfuncno=4&code=000001.1"));
    EXPECT_EQ(del->toIntWithFieldName("result"), 1);
    EXPECT_EQ(del->toStringWithFieldName("code").value_or(""), "600519.2");
    EXPECT_TRUE(sim->ownStocks("13900139000").empty());
    auto replaced = firstSet(call(other, "tc_mfuncno=3710&tc_sfuncno=5&code="));
    EXPECT_EQ(replaced->toIntWithFieldName("result"), 1);
    auto r = call(s, "tc_mfuncno=3710&tc_sfuncno=2&isreturnhq=1&field=3|1|4");
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    ASSERT_EQ(sets->size(), 2u);
    EXPECT_EQ((*sets)[1]->toStringAtIndex(2).value_or(""), "贵州茅台");
}

TEST_F(SimTest, MessagesAreConfirmedOnceAndKeptForHistory) {
    std::string s = login();
    // Five wait for the phone (two of the week were confirmed long ago).
    auto fresh = firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=2"));
    ASSERT_EQ(fresh->rowsAffected(), 5);
    std::string ids;
    for (int i = 0; i < 5; ++i) {
        fresh->moveToIndex(i);
        if (fresh->toIntWithFieldName("is_validate") == 1)
            ids += (ids.empty() ? "" : "|") + fresh->toStringWithFieldName("detailmsg_id").value_or("");
    }
    // Not yet confirmed; the one that asks for no confirmation was delivered once sent.
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=2"))->rowsAffected(), 4);
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=3&detailmsg_id=" + ids))->toStringWithFieldName("message"),
              std::optional<std::string>("4"));
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=2"))->rowsAffected(), 0);
    SimMessage m;
    m.title = "新消息";
    std::vector<int64_t> announced;
    sim->setPushObserver([&](const SimMessage& pushed) { announced.push_back(pushed.msgId); });
    int64_t id = sim->pushMessage(m);
    sim->setPushObserver(nullptr);
    EXPECT_EQ(announced, std::vector<int64_t>{id}) << "the push service announces the stored message";
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=2"))->rowsAffected(), 1);
    auto hist = firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=6&bgn_date=20240305&count=2"));
    ASSERT_EQ(hist->rowsAffected(), 2);
    EXPECT_EQ(hist->toStringWithFieldName("summary").value_or(""), "新消息");  // newest first
    // The week's messages, confirmed ones included.
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=3780&tc_sfuncno=6&bgn_date=20240227&end_date=20240305"))->rowsAffected(), 8);
    fresh->moveToIndex(0);
    ASSERT_EQ(fresh->toIntWithFieldName("msg_type"), 1);
    auto longText = firstSet(call(s, fresh->toStringWithFieldName("url").value_or("")));
    EXPECT_FALSE(longText->toStringWithFieldName("news_content").value_or("").empty());
}

TEST_F(SimTest, ControlsAndMenu) {
    std::string s = login();
    sim->forceErrorSet(-3, "系统繁忙", 100, 2);
    auto err = firstSet(call(s, "tc_mfuncno=100&tc_sfuncno=2"));
    ASSERT_TRUE(err->isError());
    EXPECT_EQ(err->getError(), "系统繁忙");
    auto r = call(s, "tc_mfuncno=100&tc_sfuncno=2", 18);
    EXPECT_EQ(etag(r), "0,0,18,0");
    auto bytes = uncompressWithLengthPrefix(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    ASSERT_TRUE(bytes);
    auto sets = VTATCRS::buildMuTableTCRSWithData(*bytes);
    ASSERT_EQ(sets->size(), 2u);
    EXPECT_EQ((*sets)[0]->name(), "sys.menu");
    EXPECT_EQ((*sets)[1]->name(), "sys.conf");
    std::set<std::string> keys;
    for (int i = 0; i < (*sets)[1]->rowsAffected(); ++i) {
        (*sets)[1]->moveToIndex(i);
        keys.insert((*sets)[1]->toStringWithFieldName("key").value_or(""));
    }
    for (const char* k : {"iplist", "interval", "HKtime", "maxmsg", "market", "type", "sort"})
        EXPECT_TRUE(keys.count(k)) << k;
    EXPECT_EQ(firstSet(call(s, "tc_mfuncno=9999&tc_sfuncno=1"))->getError(), "该功能暂未开放");
    sim->forceFault(SimFault::NoEtag);
    EXPECT_EQ(etag(call(s, "tc_mfuncno=3504&tc_sfuncno=1")), "");
    EXPECT_EQ(sim->requestCount(), 5u);
}

TEST_F(SimTest, GzipCodingOverHttpWhenAccepted) {
    ASSERT_TRUE(sim->start());
    std::string s = login();
    std::map<std::string, std::string> h{{"Accept-Encoding", "gzip"}};
    auto r = sim->handle("tc_mfuncno=100&tc_sfuncno=2&TC_SESSION={" + s + "}", h);
    bool gz = false;
    for (auto& [k, v] : r.headers) gz = gz || (k == "Content-Encoding" && v == "gzip");
    EXPECT_TRUE(gz);
    EXPECT_EQ(sim->requests().back().contentEncoding, "gzip");
    EXPECT_GT(sim->port(), 0);
    sim->stop();
}

// A held reply waits on its connection, after the server did the work, until
// released; a release also lets go a request that took its hold but is not
// waiting yet, and forgets the holds not used; a stop lets every held reply go.
TEST_F(SimTest, HeldRepliesWaitForTheirReleaseOverHttp) {
    ASSERT_TRUE(sim->start());
    const std::string s = login();
    const std::string body =
        "tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&TC_SESSION={" + s + "}&tc_mfuncno=100&tc_sfuncno=2";
    auto post = [&] {
        return std::async(std::launch::async, [&] {
            auto client = simClient(sim->port());
            auto res = client.Post("/vta", body, "application/x-www-form-urlencoded");
            return res ? res->status : -1;
        });
    };
    auto heldBecomes = [&](size_t n) { return pollUntil([&] { return sim->heldReplies() == n; }); };

    sim->holdReply(100, 2, 2);
    auto first = post();
    auto second = post();
    ASSERT_TRUE(heldBecomes(2));
    EXPECT_EQ(sim->requestsOf(100, 2).size(), 2u) << "the requests were handled";
    EXPECT_EQ(first.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    sim->releaseHeldReplies();
    EXPECT_EQ(first.get(), 200);
    EXPECT_EQ(second.get(), 200);
    EXPECT_EQ(sim->heldReplies(), 0u);

    sim->holdReply(100, 2, 3);
    sim->releaseHeldReplies();  // the holds not used are forgotten
    EXPECT_EQ(post().get(), 200);

    sim->holdReply(100, 2);
    auto cut = post();
    ASSERT_TRUE(heldBecomes(1));
    sim->stop();  // returns, the held reply let go
    cut.get();
    EXPECT_EQ(sim->heldReplies(), 0u);
}

TEST(SimImagesTest, ServesTheFixedPNGsOverHttpAndCountsRequests) {
    SimOptions o;
    o.keepAliveSeconds = 0;
    SimServer sim(o);
    ASSERT_TRUE(sim.start());
    auto client = simClient(sim.port());
    for (const auto& name : simImageNames()) {
        auto res = client.Get("/img/" + name + ".png");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_EQ(res->get_header_value("Content-Type"), "image/png");
        EXPECT_EQ(res->body, *simImagePNG(name));
        EXPECT_EQ(res->body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
    }
    auto missing = client.Get("/img/none.png");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    auto unsafe = client.Get("/img/..%2Fetc.png");
    ASSERT_TRUE(unsafe);
    EXPECT_EQ(unsafe->status, 404);
    EXPECT_EQ(sim.imageRequestCount(), simImageNames().size() + 1);
    EXPECT_EQ(sim.requestCount(), 0u);  // the request log holds the service requests only
    sim.stop();
}
