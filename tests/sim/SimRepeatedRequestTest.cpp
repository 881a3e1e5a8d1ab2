// The brokerage carries out a request that changes the books once for its
// package id, and an enciphered frame once under its key: the same bytes
// posted again in the session (a transport that re-sent them) or in another
// session of the key (a replay after a captured login) are refused with a
// text that says where to look, while a new sending, another session's
// package ids, and the requests of the other types go on as before.
#include <httplib.h>

#include <algorithm>
#include <functional>

#include "SimTestSupport.h"
#include "core/contracts/TradeContract.h"
#include "core/security/Base64.h"
#include "core/security/FrameCodec.h"
#include "core/security/RSAKeyFile.h"
#include "core/security/VTACoder.h"
#include "platform/foundation/Paths.h"
#include "sim/SimOrders.h"
#include "sim/SimRepeatGuard.h"
#include "sim/SimSessions.h"
#include "sim/SimTrade.h"

namespace {

constexpr const char* kCustomerA = "010110001234";

class SimRepeatedRequestTest : public SimTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim->start());
        session = keyedLogin();
        ASSERT_FALSE(session.empty());
        tradeInfo = keyedTradeLogin(session);
        ASSERT_FALSE(tradeInfo.empty());
    }
    // A fixture's server, of the Tuesday options as `change` makes them.
    void serveWith(const std::function<void(SimOptions&)>& change) {
        SimOptions o = tuesdayOptions();
        change(o);
        sim = std::make_unique<SimServer>(o);
    }
    std::string keyedLogin() { return simKeyedLogin(*sim); }
    // Customer A's trade login, enciphered in the session; answers the
    // session text later trade requests carry ("" when refused).
    std::string keyedTradeLogin(const std::string& under) { return tradeLoginOf(send(tradeLoginBody(under), "1")); }
    std::string tradeLoginBody(const std::string& under = "", const std::string& password = "123456") {
        return bodyOf(4, "tc_mfuncno=500&tc_sfuncno=1",
                      "operway=i&inputtype=Z&custorgid=0101&inputid=" + std::string(kCustomerA) +
                          "&trdpwd=" + password + "&authtype=0&authdata=",
                      under);
    }
    static std::string tradeLoginOf(const std::shared_ptr<VTATCRS>& set) {
        return set && !set->isError() ? set->toStringAtIndex(0).value_or("") + "&operway=i" : "";
    }
    // What an eavesdropper captured: a session login with the key exchange
    // (posted again byte for byte, it opens a session under the same key and
    // phone), the session it opened, and an order posted in that session.
    struct Captured {
        std::string login, session, order;
    };
    Captured captureLogin() {
        auto keyText = VTACoder::sessionKeyExchangeText();
        const std::string phone = "phone=13800138000";
        Captured c;
        c.login = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=54&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" +
                  keyText.value_or("") + "&TC_SESSION={}&TC_REQLENGTH=" + std::to_string(phone.size()) +
                  "&TC_REQDATA=" + VTACoder::encryptString(phone);
        c.session = open(c.login);
        EXPECT_FALSE(c.session.empty());
        return c;
    }
    // The captured session's order, booked once.
    void captureOrder(Captured& c, const std::string& package) {
        const size_t before = orders();
        c.order = orderBody(c.session);
        auto first = send(c.order, package);
        ASSERT_TRUE(first);
        EXPECT_FALSE(first->isError()) << first->getError();
        ASSERT_EQ(orders(), before + 1);
    }
    // The captured login posted again, and the captured order into the session
    // it opened: the order's refusal ("" carried out); nullopt when the login
    // was refused (it opened nothing to post into).
    std::optional<std::string> replay(const Captured& c, const std::string& package) {
        const std::string replayed = open(c.login);
        if (replayed.empty()) return std::nullopt;
        std::string posted = c.order;
        auto order = send(posted.replace(posted.find(c.session), c.session.size(), replayed), package);
        if (!order) return "no answer";
        return order->isError() ? order->getError() : "";
    }
    // The session a login opens ("" when refused).
    std::string open(const std::string& login) {
        auto opened = send(login, "");
        return opened ? opened->toStringWithFieldName("session").value_or("") : "";
    }
    static std::shared_ptr<VTATCRS> setOf(const std::string& body, bool enciphered, bool compressed) {
        std::vector<uint8_t> bytes(body.begin(), body.end());
        if (enciphered) {
            auto plain = VTACoder::decryptData(bytes);
            if (!plain) return nullptr;
            bytes = *plain;
        }
        if (compressed) {
            auto inflated = VTACoder::uncompressData(bytes);
            if (!inflated) return nullptr;
            bytes = *inflated;
        }
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        return sets && !sets->empty() ? sets->front() : nullptr;
    }
    // The body of a request of type 4 (enciphered) or 3 (clear, compressed
    // reply) under the session.
    std::string bodyOf(int type, const std::string& header, const std::string& fields, const std::string& under = "") {
        std::string body = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=" + std::string(type == 4 ? "36" : "18") + "&" +
                           header + "&TC_SESSION={" + (under.empty() ? session : under) + "}";
        return body + (type == 4 ? "&TC_REQLENGTH=" + std::to_string(fields.size()) +
                                       "&TC_REQDATA=" + VTACoder::encryptString(fields)
                                 : "&" + fields);
    }
    // An HTTP POST of the body with that package id (none when empty); answers
    // the reply's first set, read as its Etag says it comes.
    std::shared_ptr<VTATCRS> send(const std::string& body, const std::string& package) {
        auto client = simClient(sim->port());
        httplib::Headers headers;
        if (!package.empty()) headers.emplace("X-VTA-Package", package);
        auto res = client.Post("/vta", headers, body, "application/x-www-form-urlencoded");
        if (!res || res->status != 200) return nullptr;
        const std::string flags = res->get_header_value("Etag");  // status,package,compressed,enciphered
        if (flags.rfind("0,", 0) != 0) return nullptr;
        return setOf(res->body, flags.ends_with(",36"), flags.find(",18,") != std::string::npos);
    }
    std::shared_ptr<VTATCRS> post(int type, const std::string& header, const std::string& fields,
                                  const std::string& package, const std::string& under = "") {
        return send(bodyOf(type, header, fields, under), package);
    }
    std::string orderBody(const std::string& under = "") {
        return bodyOf(4, "tc_mfuncno=500&tc_sfuncno=6",
                      tradeInfo + "&fundid=" + kCustomerA + "&bsflag=0B&price=" + SimMarket::priceText(lastPrice(), 2) +
                          "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1",
                      under);
    }
    std::shared_ptr<VTATCRS> order(const std::string& package, const std::string& under = "") {
        return send(orderBody(under), package);
    }
    // A busy morning: the trade login's queries, more frames than the guard's
    // ring holds; answers how many were refused as an ended session.
    size_t busyMorning(size_t frames = SimRepeatGuard::kCapacity + 8) {
        size_t ended = 0;
        for (size_t i = 0; i < frames; ++i) {
            auto info = post(4, "tc_mfuncno=500&tc_sfuncno=4", tradeInfo + "&bsflag=0B&stkcode=600000",
                             std::to_string(++busyPackage));
            ended += info && info->isError() && info->getError() == TradeContract::Error::kSessionEnded;
        }
        return ended;
    }
    int64_t lastPrice() { return sim->market().quote(*simTradableStock(sim->market(), "600000"), sim->clock().now()).last; }
    size_t orders() {
        return sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.books.customer(kCustomerA)->orders.size(); });
    }

    std::string session, tradeInfo;
    size_t busyPackage = 1000;
};

TEST_F(SimRepeatedRequestTest, AnOrderPostedTwiceWithOnePackageIdIsBookedOnce) {
    const size_t before = orders();
    auto first = order("41");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isError()) << first->getError();
    EXPECT_EQ(orders(), before + 1);

    auto again = order("41");
    ASSERT_TRUE(again);
    ASSERT_TRUE(again->isError());
    EXPECT_EQ(again->getError(), SimRepeatGuard::kRepeatedText);
    EXPECT_EQ(orders(), before + 1);

    // A new sending is a new order, in this session or another one.
    ASSERT_TRUE(order("42"));
    EXPECT_EQ(orders(), before + 2);
    const std::string other = keyedLogin();
    ASSERT_FALSE(other.empty());
    auto elsewhere = order("41", other);
    ASSERT_TRUE(elsewhere);
    EXPECT_FALSE(elsewhere->isError()) << elsewhere->getError();
    EXPECT_EQ(orders(), before + 3);

    // A quote asked twice under one package id is answered twice.
    for (int i = 0; i < 2; ++i) {
        auto quote = post(3, "tc_mfuncno=31000&tc_sfuncno=4", "code=600000.2&field=3|1", "43");
        ASSERT_TRUE(quote);
        EXPECT_FALSE(quote->isError());
    }
}

// A captured order, posted again as it was, is the same enciphered frame
// whatever travels around it in clear: with another package id, with none, or
// asking for a compressed reply, it is refused and books nothing. Only the
// key's holder spends a package id: a frame that does not decipher leaves the
// customer's next sending under that id its own.
TEST_F(SimRepeatedRequestTest, ACapturedOrderPostedAgainIsRefusedWhateverItsClearFieldsSay) {
    const size_t before = orders();
    const std::string captured = orderBody();
    auto first = send(captured, "51");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isError()) << first->getError();
    std::string compressedReply = captured;
    compressedReply.replace(compressedReply.find("TC_ENCRYPT=36"), 13, "TC_ENCRYPT=54");
    for (const auto& [body, package] : {std::pair{captured, "52"}, {captured, ""}, {compressedReply, "53"}}) {
        auto again = send(body, package);
        ASSERT_TRUE(again) << package;
        EXPECT_EQ(again->isError() ? again->getError() : "", SimRepeatGuard::kRepeatedText) << package;
    }
    EXPECT_EQ(orders(), before + 1);

    std::string forged = captured;
    const size_t data = forged.find("TC_REQDATA=") + 11;
    const std::string text = "qty=100";
    forged.replace(data, forged.size() - data,
                   base64Encode(encipherFrame({text.begin(), text.end()}, std::vector<uint8_t>(16, 7))));
    EXPECT_FALSE(send(forged, "54"));
    auto genuine = order("54");
    ASSERT_TRUE(genuine);
    EXPECT_FALSE(genuine->isError()) << genuine->getError();
    EXPECT_EQ(orders(), before + 2);
}

// The client keeps its key for its whole run, so a frame of one of its
// sessions deciphers in the next, and a captured session login posted again
// byte for byte opens a session under that key and phone. What was carried
// out under the key is not carried out again in any of its sessions.
TEST_F(SimRepeatedRequestTest, ACapturedLoginPostedAgainCarriesOutNoCapturedFrameAgain) {
    Captured captured = captureLogin();
    ASSERT_FALSE(captured.session.empty());
    const size_t before = orders();
    ASSERT_NO_FATAL_FAILURE(captureOrder(captured, "61"));

    for (int i = 0; i < 3; ++i) {
        const auto refusal = replay(captured, std::to_string(62 + i));
        if (refusal) {
            EXPECT_EQ(*refusal, SimRepeatGuard::kRepeatedText);
        }
    }
    EXPECT_EQ(orders(), before + 1);
}

// The client keeps its key for its whole run, so a busy day carries many
// more frames under it than the newest the key's ring remembers: what acted
// under the live trade login, or opened it, is still carried out once.
TEST_F(SimRepeatedRequestTest, ACapturedOrderOrTradeLoginIsCarriedOutOnceHoweverManyFramesFollow) {
    const std::string capturedLogin = tradeLoginBody();
    tradeInfo = tradeLoginOf(send(capturedLogin, "91"));
    ASSERT_FALSE(tradeInfo.empty());
    const size_t before = orders();
    const std::string capturedOrder = orderBody();
    auto first = send(capturedOrder, "92");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isError()) << first->getError();

    EXPECT_EQ(busyMorning(), 0u);
    for (const auto& [body, package] : {std::pair{capturedOrder, "93"}, {capturedLogin, "94"}}) {
        auto again = send(body, package);
        ASSERT_TRUE(again) << package;
        EXPECT_EQ(again->isError() ? again->getError() : "", SimRepeatGuard::kRepeatedText) << package;
    }
    EXPECT_EQ(orders(), before + 1);
    auto next = order("95");
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->isError()) << "the customer's trade login still works: " << next->getError();
    EXPECT_EQ(orders(), before + 2);
}

// A frame that opened a trade login is never carried out again under its
// key, also once that trade login has ended (here a later login under the
// key, as after the client's idle lock) and the ring has forgotten it:
// posted again, it would end the customer's live trade login. So is every
// other frame that checked the password, refused or not, whatever trade
// login it was sent under or none.
TEST_F(SimRepeatedRequestTest, ACapturedTradeLoginIsNotCarriedOutAgainOnceItsTradeLoginEnded) {
    const std::string capturedLogin = tradeLoginBody();
    tradeInfo = tradeLoginOf(send(capturedLogin, "96"));
    ASSERT_FALSE(tradeInfo.empty());
    // What else checks the password, sent under that trade login, is kept
    // with the key, not with the trade login, which ends below: a token's
    // application and an account relation do not read the trade login they
    // name, and posted again would be carried out again.
    const std::string capturedChange =
        bodyOf(4, "tc_mfuncno=500&tc_sfuncno=12", tradeInfo + "&oldpwd=000000&newpwd=654321");
    const std::string capturedToken =
        bodyOf(4, "tc_mfuncno=500&tc_sfuncno=69",
               tradeInfo + "&inputtype=Z&custorgid=0101&inputid=010110005678&trdpwd=123456&mobileno=13800138000");
    const std::string capturedRelation =
        bodyOf(4, "tc_mfuncno=3750&tc_sfuncno=2",
               tradeInfo + "&inputtype=Z&custorgid=0101&inputid=" + std::string(kCustomerA) +
                   "&trdpwd=123456&authtype=0&authdata=&isimportccg=0");
    for (const auto& [body, package, refused] :
         {std::tuple{capturedChange, "86", true}, {capturedToken, "87", false}, {capturedRelation, "88", false}}) {
        auto checked = send(body, package);
        ASSERT_TRUE(checked) << package;
        EXPECT_EQ(checked->isError(), refused) << package << ": " << checked->getError();
    }
    // A wrong password, refused: posted again it would count toward the
    // lock-out. Also in a session of the key that holds no trade login.
    const std::string capturedWrong = tradeLoginBody("", "654321");
    auto wrong = send(capturedWrong, "95");
    ASSERT_TRUE(wrong && wrong->isError());
    const std::string capturedWrongAlone = tradeLoginBody(keyedLogin(), "654320");
    auto wrongAlone = send(capturedWrongAlone, "93");
    ASSERT_TRUE(wrongAlone && wrongAlone->isError());
    tradeInfo = tradeLoginOf(send(tradeLoginBody(), "97"));
    ASSERT_FALSE(tradeInfo.empty());

    EXPECT_EQ(busyMorning(), 0u);
    for (const auto& [body, package] :
         {std::pair{capturedLogin, "98"}, {capturedWrong, "94"}, {capturedWrongAlone, "92"}, {capturedChange, "89"},
          {capturedToken, "90"}, {capturedRelation, "91"}}) {
        auto again = send(body, package);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->isError() ? again->getError() : "", SimRepeatGuard::kRepeatedText) << package;
    }
    const size_t before = orders();
    auto next = order("99");
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->isError()) << "the customer's trade login still works: " << next->getError();
    EXPECT_EQ(orders(), before + 1);
}

// A trade login keeps the frames it carried out up to a bound; reaching it
// ends the trade login, as lying idle does, rather than forget any of them.
// A key keeps the frames that opened its trade logins up to a bound too;
// beyond it a trade login is refused.
class SimRepeatedRequestSmallBoundTest : public SimRepeatedRequestTest {
protected:
    static constexpr size_t kBound = 8, kLogins = 3;
    SimRepeatedRequestSmallBoundTest() {
        serveWith([](SimOptions& o) {
            o.maxTradeLoginFrames = kBound;
            o.maxPasswordChecksPerKey = kLogins;
        });
    }
};

TEST_F(SimRepeatedRequestSmallBoundTest, ATradeLoginEndsAtItsBoundOfFramesAndNothingIsCarriedOutTwice) {
    const size_t before = orders();
    const std::string captured = orderBody();
    auto first = send(captured, "91");
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isError()) << first->getError();
    // The order is one of its frames.
    EXPECT_EQ(busyMorning(kBound - 1), 0u);
    EXPECT_EQ(busyMorning(), SimRepeatGuard::kCapacity + 8) << "ended at its bound";

    auto again = send(captured, "92");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->isError() ? again->getError() : "", TradeContract::Error::kSessionEnded);
    EXPECT_EQ(orders(), before + 1);
}

// Nothing else changes: a password change (which opens a trade login) is
// refused too, and the live trade login goes on.
TEST_F(SimRepeatedRequestSmallBoundTest, ATradeLoginBeyondItsKeysBoundIsRefusedAndTheLiveOneGoesOn) {
    for (size_t i = 1; i < kLogins; ++i) {  // the fixture's is the first
        tradeInfo = tradeLoginOf(send(tradeLoginBody(), std::to_string(200 + i)));
        ASSERT_FALSE(tradeInfo.empty()) << i;
    }
    for (const auto& [body, package] :
         {std::pair{tradeLoginBody(), "210"},
          {bodyOf(4, "tc_mfuncno=500&tc_sfuncno=12", tradeInfo + "&oldpwd=123456&newpwd=654321"), "211"}}) {
        auto beyond = send(body, package);
        ASSERT_TRUE(beyond) << package;
        EXPECT_EQ(beyond->isError() ? beyond->getError() : "", SimSessions::kPasswordChecksSpentText) << package;
    }
    const size_t before = orders();
    auto next = order("212");
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->isError()) << "the customer's trade login still works: " << next->getError();
    EXPECT_EQ(orders(), before + 1);
}

// A table of a few sessions, and so of a few keys remembered without one: a
// test goes past it with a few logins.
class SimRepeatedRequestSmallTableTest : public SimRepeatedRequestTest {
protected:
    static constexpr size_t kTable = 16;
    SimRepeatedRequestSmallTableTest() { serveWith([](SimOptions& o) { o.maxSessions = kTable; }); }
    // Logins under keys of their own (not the client codec's, which the
    // captured requests use), past the keys the table remembers.
    void loginsPastTheTable() {
        for (size_t i = 0; i < kTable + 4; ++i) {
            auto keyText =
                rsaEncryptWithPublicKeyFile(std::vector<uint8_t>(16, uint8_t(i + 1)), bundlePath("pubkey.bin"));
            ASSERT_TRUE(keyText);
            auto r = sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" +
                                     base64Encode(*keyText) + "&TC_SESSION={}&phone=13800138000",
                                 {});
            ASSERT_EQ(etag(r).rfind("0,", 0), 0u) << etag(r);
        }
    }
};

// Ending every session ends their trade logins too: a captured login posted
// again, once its key is forgotten, opens a session where the captured order
// names a trade login that has ended.
TEST_F(SimRepeatedRequestSmallTableTest, ACapturedOrderIsNotCarriedOutAgainAfterEverySessionEnded) {
    Captured captured = captureLogin();
    ASSERT_FALSE(captured.session.empty());
    tradeInfo = keyedTradeLogin(captured.session);
    ASSERT_FALSE(tradeInfo.empty());
    const size_t before = orders();
    ASSERT_NO_FATAL_FAILURE(captureOrder(captured, "71"));

    sim->expireAllSessions();
    loginsPastTheTable();
    EXPECT_EQ(replay(captured, "72"), TradeContract::Error::kSessionEnded);
    EXPECT_EQ(orders(), before + 1);
}

// A trade login serves its phone from any of the phone's sessions: while it
// can act, the memory of a key it acted under stays, also once every session
// of the key has ended idle.
TEST_F(SimRepeatedRequestSmallTableTest, ACapturedOrderIsNotCarriedOutAgainWhileItsTradeLoginActs) {
    Captured captured = captureLogin();
    ASSERT_FALSE(captured.session.empty());
    const size_t before = orders();
    ASSERT_NO_FATAL_FAILURE(captureOrder(captured, "81"));

    // The key's sessions lie idle past the timeout; the trade login goes on
    // in a session of the phone without a key.
    sim->clock().advance(20 * 60);
    auto info =
        firstSet(call(SimTest::login(), "tc_mfuncno=500&tc_sfuncno=4&" + tradeInfo + "&bsflag=0B&stkcode=600000"));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->isError()) << info->getError();
    sim->clock().advance(15 * 60);
    loginsPastTheTable();
    const auto live = sim->sessionIds();
    for (const std::string& ended : {session, captured.session})
        EXPECT_EQ(std::count(live.begin(), live.end(), ended), 0) << "every session of the key ended idle";
    EXPECT_EQ(replay(captured, "82"), SimRepeatGuard::kRepeatedText);
    EXPECT_EQ(orders(), before + 1);
}

// The guard remembers exactly its newest `capacity` frames and package ids.
TEST(SimRepeatGuardTest, RemembersItsNewestCapacityAndForgetsTheOlder) {
    SimRepeatGuard guard(2);
    auto frame = [](uint8_t b) { return std::vector<uint8_t>(8, b); };
    for (uint8_t b : {1, 2, 3}) EXPECT_TRUE(guard.firstSending(frame(b), ""));
    EXPECT_FALSE(guard.firstSending(frame(3), ""));
    EXPECT_FALSE(guard.firstSending(frame(2), ""));
    EXPECT_TRUE(guard.firstSending(frame(1), "")) << "the oldest of three is forgotten";
    EXPECT_FALSE(guard.firstSending(frame(3), "")) << "remembered: 1 and 3";
    EXPECT_TRUE(guard.firstSending(frame(2), ""));

    for (const char* package : {"7", "8", "9"}) EXPECT_TRUE(guard.firstSending(frame(uint8_t(40 + *package)), package));
    EXPECT_FALSE(guard.firstSending(frame(60), "9"));
    EXPECT_FALSE(guard.firstSending(frame(61), "8"));
    EXPECT_TRUE(guard.firstSending(frame(62), "7"));
}

// What a key carried out outlives its sessions: the key of a live session is
// never forgotten, and of the others the newest are remembered (as many keys
// as the table holds sessions).
TEST(SimRepeatGuardTest, AKeyIsRememberedWhileItHasASessionAndAmongTheNewestAfter) {
    SimSessions sessions;
    const SimSessions::TradeLogins none = [](const std::string&) { return std::optional<std::string>(); };
    auto open = [&](const std::string& id, uint8_t key) {
        SimSession s{.id = id, .key = std::vector<uint8_t>(16, key), .phone = id};
        return sessions.open(std::move(s), 2, 8, none) != nullptr;
    };
    const std::vector<uint8_t> frame(8, 1);
    ASSERT_TRUE(open("a", 1));
    EXPECT_EQ(sessions.firstSending("a", frame, "", none), true);
    sessions.end("a");
    ASSERT_TRUE(open("a2", 1));
    EXPECT_EQ(sessions.firstSending("a2", frame, "", none), false) << "the key's next session";
    for (uint8_t key : {2, 3, 4}) {
        const std::string id(1, char('a' + key));
        ASSERT_TRUE(open(id, key));
        EXPECT_EQ(sessions.firstSending(id, frame, "", none), true);
        sessions.end(id);
    }
    EXPECT_EQ(sessions.firstSending("a2", frame, "", none), false) << "a live session's key stays";
    ASSERT_TRUE(open("d2", 4));
    EXPECT_EQ(sessions.firstSending("d2", frame, "", none), false) << "the newest of the others stays";
    sessions.end("d2");
    ASSERT_TRUE(open("b2", 2));
    EXPECT_EQ(sessions.firstSending("b2", frame, "", none), true) << "an older one is forgotten";
}

}  // namespace
