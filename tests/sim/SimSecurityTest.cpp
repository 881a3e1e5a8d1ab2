// A brokerage that cannot be fooled: sessions nobody can compute, trade
// sessions that serve only the phone that logged in and end when left idle,
// a soft token that moves to another phone only from its own, accounts
// locked after a few wrong passwords, and a log that keeps no session text.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "core/contracts/TradeContract.h"
#include "core/security/Digests.h"
#include "core/security/VTACoder.h"
#include "sim/SimTrade.h"

namespace {

using namespace TradeContract::Error;

constexpr const char* kPhoneA = "13800138000";  // registered from the start
constexpr const char* kPhoneC = "13900139003";

std::string errorOf(const SimServer::Reply& r) {
    auto set = firstSet(r);
    return set && set->isError() ? set->getError() : "";
}

std::string textOf(const SimServer::Reply& r, const std::string& field) {
    auto set = firstSet(r);
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

class SimSecurityTest : public SimTest {
protected:
    void SetUp() override {
        sessionA = login(kPhoneA);
        sessionC = login(kPhoneC);
        // C's phone registers by its SMS, as every phone of the service does.
        call(sessionC, "tc_mfuncno=100&tc_sfuncno=3&type=A&phone=" + std::string(kPhoneC));
    }
    SimServer::Reply logIn(const std::string& from, const std::string& account, const std::string& password,
                           const std::string& authType = "0", const std::string& authData = "") {
        return call(from, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101&inputid=" + account +
                              "&trdpwd=" + password + "&authtype=" + authType + "&authdata=" + authData);
    }
    // The session text of a login that must succeed.
    std::string sessionText(const std::string& from, const std::string& account) {
        auto set = firstSet(logIn(from, account, "123456"));
        EXPECT_TRUE(set && !set->isError());
        return set && !set->isError() ? set->toStringAtIndex(0).value_or("") + "&operway=i" : "";
    }
    // The holdings query of a trade session: its refusal, "" when answered.
    std::string holdings(const std::string& from, const std::string& text) {
        return errorOf(call(from, "tc_mfuncno=500&tc_sfuncno=10&count=5&" + text));
    }
    SimServer::Reply applyForToken(const std::string& from, const std::string& mobile,
                                   const std::string& account = "10005678", const std::string& password = "123456") {
        return call(from, "tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=0101&inputid=" + account +
                              "&trdpwd=" + password + "&mobileno=" + mobile);
    }
    template <class F>
    decltype(auto) books(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(r.books); });
    }

    std::string sessionA, sessionC;
};

TEST_F(SimSecurityTest, NoSessionIsComputedFromTheSeed) {
    const std::string text = sessionText(sessionA, "10001234");
    const std::string authid = text.substr(text.find("authid=") + 7, text.find("&operway") - text.find("authid=") - 7);
    EXPECT_EQ(authid.size(), 32u);
    // What a session derived from the seed printed by /sim/status would be,
    // for the first few sessions and tokens the server gives: none is it,
    // and none is taken, even from the phone that logged in.
    const std::string seed = std::to_string(sim->options().seed);
    for (int n = 1; n <= 20; ++n) {
        const std::string guess = md5Hex(seed + ":session:110001234:" + std::to_string(n)).substr(0, 16);
        EXPECT_NE(guess, authid);
        EXPECT_EQ(holdings(sessionA, "custid=110001234&custorgid=0101&authid=" + guess + "&operway=i"), kSessionEnded);
        EXPECT_NE(md5Hex(seed + ":" + std::to_string(n) + ":").substr(0, 24), sessionA) << "service session " << n;
    }
    EXPECT_EQ(holdings(sessionA, text), "");
    // Another server of the same seed gives other secrets.
    SimServer twin(tuesdayOptions());
    auto other = firstSet(twin.handle("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", {}));
    ASSERT_TRUE(other);
    EXPECT_NE(other->toStringWithFieldName("session").value_or(""), sessionA);
    auto seedOf = [](SimServer& s) {
        return s.withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.books.customerById("110005678")->token->seed; });
    };
    EXPECT_NE(seedOf(*sim), seedOf(twin));
}

TEST_F(SimSecurityTest, ATradeSessionServesOnlyThePhoneThatLoggedIn) {
    const std::string a = sessionText(sessionA, "10001234");
    EXPECT_EQ(holdings(sessionC, a), kSessionEnded);
    // Nor does another session that claims no phone at all.
    EXPECT_EQ(holdings(login(""), a), kSessionEnded);
    // The misuse ends nothing: A trades on, and so does A's phone after a
    // new service login (the client's silent one).
    EXPECT_EQ(holdings(sessionA, a), "");
    EXPECT_EQ(holdings(login(kPhoneA), a), "");
    // An order from C's phone under A's session changes nothing of A's.
    const size_t orders = books([](SimBooks& b) { return b.customer("010110001234")->orders.size(); });
    EXPECT_EQ(errorOf(call(sessionC, "tc_mfuncno=500&tc_sfuncno=6&" + a +
                                       "&fundid=010110001234&bsflag=0S&price=35.00&qty=300&stkcode=600036&market=1"
                                       "&secuid=A100001234")),
              kSessionEnded);
    EXPECT_EQ(books([](SimBooks& b) { return b.customer("010110001234")->orders.size(); }), orders);
    // Logins declaring A's phone, more than a phone may hold, end no session
    // that holds A's trade login: A trades on in the session it logged in.
    for (size_t i = 0; i <= sim->options().maxSessionsPerPhone; ++i) EXPECT_FALSE(login(kPhoneA).empty());
    EXPECT_EQ(etag(call(sessionA, "tc_mfuncno=500&tc_sfuncno=10&count=5&" + a)), "0,0,0,0");
    EXPECT_EQ(holdings(sessionA, a), "");
}

// Replies in clear are for tests: a server gives them for "X-Sim-Dump: text"
// only when started to; any other answers the header with its record sets,
// enciphered as the request was.
TEST_F(SimSecurityTest, RepliesComeInClearOnlyFromAServerStartedToGiveThem) {
    const std::map<std::string, std::string> dump{{"X-Sim-Dump", "text"}};
    auto ask = [&](SimServer& server) {
        const std::string session = simKeyedLogin(server, kPhoneA);
        const std::string fields = "code=600519.2";
        return server.handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=36&tc_mfuncno=3710&tc_sfuncno=3&TC_SESSION={" +
                                 session + "}&TC_REQLENGTH=" + std::to_string(fields.size()) +
                                 "&TC_REQDATA=" + VTACoder::encryptString(fields),
                             dump);
    };
    auto enciphered = ask(*sim);
    EXPECT_EQ(etag(enciphered), "0,0,0,36");
    EXPECT_TRUE(VTACoder::decryptData(std::vector<uint8_t>(enciphered.body.begin(), enciphered.body.end())));
    EXPECT_FALSE(enciphered.body.starts_with("set 0"));

    SimOptions forTests = tuesdayOptions();
    forTests.dumpHeader = true;
    SimServer server(forTests);
    EXPECT_TRUE(ask(server).body.starts_with("set 0"));
}

TEST_F(SimSecurityTest, AnIdleTradeSessionEndsOnTheSimulatorsClock) {
    sim->setSessionIdleTimeout(600);
    const std::string a = sessionText(sessionA, "10001234");
    sim->clock().advance(600);
    EXPECT_EQ(holdings(sessionA, a), "") << "idle exactly the timeout";
    sim->clock().advance(400);
    EXPECT_EQ(holdings(sessionA, a), "") << "each use starts the idle time again";
    sim->clock().advance(601);
    const std::string again = login(kPhoneA);  // the service session ended too: the client logs in again
    EXPECT_EQ(holdings(again, a), kSessionEnded);
    EXPECT_EQ(books([](SimBooks& b) { return b.sessionCount(); }), 0u);
    EXPECT_EQ(holdings(again, sessionText(again, "10001234")), "");
}

TEST_F(SimSecurityTest, WrongPasswordsLockTheAccountForAWhile) {
    // Each refusal says how many tries are left.
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "000000")), withTriesLeft("交易密码错误", 4));
    // A right password before the last wrong one starts the count again.
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "123456")), "");
    for (int i = 1; i < SimBooks::kLockAfterFailures; ++i)
        EXPECT_EQ(errorOf(logIn(sessionC, "10001234", "00000" + std::to_string(i))),
                  withTriesLeft("交易密码错误", SimBooks::kLockAfterFailures - i))
            << i;
    // The last one allowed locks it, from whichever phone; the customer is told
    // for how long and until when by the brokerage's clock (10:30 now).
    const std::string lockText = errorOf(logIn(sessionC, "10001234", "999999"));
    EXPECT_EQ(lockText, "交易密码或认证口令连续错误5次，帐户已锁定30分钟，请于11:00后再试");
    for (const char* known : {kTokenCheckFailed, kTokenNotFound, kTokenRequired, kAuthNotApplied})
        EXPECT_EQ(lockText.find(known), std::string::npos) << "the client would drop its token";
    // Locked: the right password is refused too, here and on the other ways in.
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "123456")), lockText);
    EXPECT_EQ(errorOf(applyForToken(sessionA, kPhoneA, "10001234")), lockText);
    EXPECT_EQ(textOf(call(sessionA, "tc_mfuncno=3750&tc_sfuncno=2&operway=i&inputtype=Z&custorgid=0101"
                                  "&inputid=10001234&trdpwd=123456&isimportccg=0&authtype=0&authdata="),
                     "message"),
              lockText);
    // Other customers are not locked.
    EXPECT_EQ(errorOf(call(sessionC, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0102"
                                   "&inputid=10009999&trdpwd=123456&authtype=0&authdata=")),
              "");
    sim->clock().advance(SimBooks::kLockSeconds - 1);
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "123456")), lockText);
    sim->clock().advance(1);
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "123456")), "") << "the lock is over";
    // After it, the count starts from nothing.
    EXPECT_EQ(errorOf(logIn(sessionA, "10001234", "000000")), withTriesLeft("交易密码错误", 4));
}

TEST_F(SimSecurityTest, WrongOneTimeCodesCountTowardTheLock) {
    const std::string seed = textOf(applyForToken(sessionA, kPhoneA), "seed");
    ASSERT_EQ(seed.size(), 40u);
    // Late in the evening: the lock ends on the next day.
    sim->setSessionIdleTimeout(1e9);
    sim->clock().setTime(SimClock::fromLocal(20240305, 23 * 60 + 45, 20));
    for (int i = 1; i < SimBooks::kLockAfterFailures; ++i)
        EXPECT_EQ(errorOf(logIn(sessionA, "10005678", "123456", "5", "00000" + std::to_string(i))),
                  withTriesLeft(kTokenCheckFailed, SimBooks::kLockAfterFailures - i));
    const std::string lockText = errorOf(logIn(sessionA, "10005678", "123456", "5", "999999"));
    EXPECT_EQ(lockText, "交易密码或认证口令连续错误5次，帐户已锁定30分钟，请于次日00:16后再试");
    EXPECT_EQ(errorOf(logIn(sessionA, "10005678", "123456", "5", VTACoder::createSjKlWithSeed(seed, 1))), lockText);
}

TEST_F(SimSecurityTest, TheTokenIsIssuedToTheRegisteredPhoneThatAsksAndServesOnlyIt) {
    // The application names the phone it comes from, registered by its SMS.
    EXPECT_EQ(errorOf(applyForToken(sessionA, "")), "手机号码与本机不符");
    EXPECT_EQ(errorOf(applyForToken(sessionA, kPhoneC)), "手机号码与本机不符");
    const std::string unregistered = login("13700137000");
    EXPECT_EQ(errorOf(applyForToken(unregistered, "13700137000")), "本手机尚未注册，请先完成手机注册");
    // B's token, issued before any phone had it, goes to the first phone that applies.
    const std::string seed = textOf(applyForToken(sessionA, kPhoneA), "seed");
    ASSERT_EQ(seed.size(), 40u);
    // Another phone with B's password cannot take it over, nor log in with its codes.
    EXPECT_EQ(errorOf(applyForToken(sessionC, kPhoneC)), "该帐号已在其他手机开通手机令牌，请在该手机上重新申请");
    EXPECT_EQ(errorOf(logIn(sessionC, "10005678", "123456", "5", VTACoder::createSjKlWithSeed(seed, 1))),
              withTriesLeft(kTokenNotFound, 4));
    EXPECT_EQ(books([](SimBooks& b) { return b.customerById("110005678")->token->seed; }), seed);
    EXPECT_EQ(books([](SimBooks& b) { return b.customerById("110005678")->token->counter; }), 1)
        << "the refused code was not used up";
    EXPECT_EQ(errorOf(logIn(sessionA, "10005678", "123456", "5", VTACoder::createSjKlWithSeed(seed, 1))), "");
    // Its own phone may apply again: the new seed replaces the old one.
    const std::string again = textOf(applyForToken(sessionA, kPhoneA), "seed");
    EXPECT_NE(again, seed);
    EXPECT_EQ(errorOf(logIn(sessionA, "10005678", "123456", "5", VTACoder::createSjKlWithSeed(again, 1))), "");
}

TEST_F(SimSecurityTest, TheLogKeepsNoSessionText) {
    const std::string text = sessionText(sessionA, "10001234");
    holdings(sessionA, text);
    const std::string authid = text.substr(text.find("authid=") + 7, 32);
    auto query = sim->requestsOf(500, 10);
    ASSERT_EQ(query.size(), 1u);
    EXPECT_EQ(query[0].session, simMaskedSession(sessionA));
    EXPECT_NE(query[0].session, simMaskedSession(sessionC)) << "sessions stay apart";
    for (const auto* fields : {&query[0].fields, &query[0].clearFields})
        for (const auto& f : *fields) {
            EXPECT_EQ(f.value.find(authid), std::string::npos) << f.key;
            EXPECT_EQ(f.value.find(sessionA), std::string::npos) << f.key;
        }
    EXPECT_EQ(query[0].rawBody.find(authid), std::string::npos) << query[0].rawBody;
    EXPECT_EQ(query[0].rawBody.find(sessionA), std::string::npos) << query[0].rawBody;
    EXPECT_EQ(simMaskedSession(""), "");
}

}  // namespace
