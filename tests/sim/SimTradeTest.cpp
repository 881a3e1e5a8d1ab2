// The trade family of the simulator over its books: branches, the trade login
// with its three ways of authentication, the soft token, sessions, relating a
// phone to an account, and what the server keeps of the requests.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "core/contracts/TradeContract.h"
#include "core/security/VTACoder.h"
#include "sim/SimTrade.h"

namespace {

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>();
}

std::string errorOf(const SimServer::Reply& r) {
    auto set = firstSet(r);
    return set && set->isError() ? set->getError() : "";
}

std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

class SimTradeTest : public SimTest {
protected:
    void SetUp() override { session = login(); }

    SimServer::Reply logIn(const std::string& account, const std::string& password = "123456",
                           const std::string& type = "Z", const std::string& branch = "0101",
                           const std::string& authType = "0", const std::string& authData = "") {
        return call(session, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=" + type + "&custorgid=" + branch +
                                 "&inputid=" + account + "&trdpwd=" + password + "&authtype=" + authType +
                                 "&authdata=" + authData);
    }
    // The token a phone receives when it applies for the customer.
    std::string applyForToken(const std::string& account, const std::string& branch = "0101") {
        auto r = call(session, "tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=" + branch + "&inputid=" + account +
                                   "&trdpwd=123456&mobileno=13800138000");
        return textOf(firstSet(r), "seed");
    }
    template <class F>
    decltype(auto) books(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(r.books); });
    }

    std::string session;
};

TEST_F(SimTradeTest, BranchesComeInTheirOrder) {
    auto set = firstSet(call(session, "tc_mfuncno=501&tc_sfuncno=17"));
    ASSERT_TRUE(set);
    ASSERT_GE(set->rowsAffected(), 3);
    EXPECT_EQ(textOf(set, "org_code"), "0101");
    EXPECT_EQ(textOf(set, "org_name"), "第一营业部");
    set->moveToIndex(2);
    EXPECT_EQ(textOf(set, "org_code"), "0201");
    EXPECT_EQ(textOf(set, "org_name"), "深圳营业部");
}

TEST_F(SimTradeTest, APasswordLoginAnswersTheSessionTheCustomerAndTheShareholderAccounts) {
    auto sets = setsOf(logIn("010110001234"));
    ASSERT_EQ(sets.size(), 3u);
    ASSERT_FALSE(sets[0]->isError()) << sets[0]->getError();
    ASSERT_EQ(sets[0]->fieldCount(), 1);
    std::string text = sets[0]->toStringAtIndex(0).value_or("");
    EXPECT_EQ(text.rfind("custid=110001234&custorgid=0101&authid=", 0), 0u) << text;
    const std::string authid = text.substr(text.find("authid=") + 7);
    EXPECT_EQ(authid.size(), 32u);
    EXPECT_TRUE(books([&](SimBooks& b) { return b.session(authid) != nullptr; }));

    EXPECT_EQ(sets[1]->rowsAffected(), 4);
    EXPECT_EQ(textOf(sets[1], "custname"), "张明");
    EXPECT_EQ(textOf(sets[1], "fundid"), "010110001234");
    EXPECT_EQ(textOf(sets[1], "orgid"), "0101");
    EXPECT_EQ(textOf(sets[1], "~market"), "深A");
    EXPECT_EQ(textOf(sets[1], "secuid"), "0010001234");
    ASSERT_EQ(sets[2]->rowsAffected(), 4);
    sets[2]->moveToIndex(3);
    EXPECT_EQ(textOf(sets[2], "market"), "3");
    EXPECT_EQ(textOf(sets[2], "~market"), "沪B");

    // The account as typed, and a shareholder account as typed or normalised.
    EXPECT_EQ(errorOf(logIn("10001234")), "");
    EXPECT_EQ(errorOf(logIn("100001234", "123456", "1")), "");
    EXPECT_EQ(errorOf(logIn("A100001234", "123456", "1")), "");
    EXPECT_EQ(errorOf(logIn("10001234", "123456", "0")), "");
    // C has no Shanghai account; A is not a customer of branch 0102.
    auto c = setsOf(logIn("10009999", "123456", "Z", "0102"));
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[1]->rowsAffected(), 1);
    EXPECT_EQ(errorOf(logIn("100009999", "123456", "1", "0102")), "帐号不存在");
    EXPECT_EQ(errorOf(logIn("10001234", "123456", "Z", "0102")), "帐号不存在");
    EXPECT_EQ(errorOf(logIn("10001234", "654321")), withTriesLeft("交易密码错误", 4));
    EXPECT_EQ(errorOf(logIn("")), "帐号不存在");
}

TEST_F(SimTradeTest, ALaterLoginOrAPasswordChangeEndsTheEarlierSession) {
    auto first = textOf(setsOf(logIn("10001234"))[0], "userinfo");
    auto second = textOf(setsOf(logIn("10001234"))[0], "userinfo");
    auto other = textOf(setsOf(logIn("10009999", "123456", "Z", "0102"))[0], "userinfo");
    auto authid = [](const std::string& t) { return t.substr(t.find("authid=") + 7); };
    ASSERT_NE(authid(first), authid(second));
    books([&](SimBooks& b) {
        SimRefusal refusal;
        EXPECT_FALSE(b.customerOfRequest(SimRequest(simParseFields(first)), &refusal));
        EXPECT_EQ(refusal.text, TradeContract::Error::kSessionEnded);
        EXPECT_EQ(refusal.code, TradeContract::Error::kSessionEndedCode);
        const SimCustomer* a = b.customerOfRequest(SimRequest(simParseFields(second)), nullptr);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->name, "张明");
        EXPECT_EQ(b.fundAccountOfRequest(*a, SimRequest(simParseFields(second)))->fundid, "010110001234");
        // Another customer's session stands.
        EXPECT_TRUE(b.customerOfRequest(SimRequest(simParseFields(other)), nullptr));
        // A password change gives the session a new authid.
        std::string renewed = b.renewSession(authid(second));
        EXPECT_FALSE(renewed.empty());
        EXPECT_FALSE(b.session(authid(second)));
        EXPECT_TRUE(b.session(renewed));
    });
}

TEST_F(SimTradeTest, TheSoftTokenAcceptsEachCodeOnceWithinItsWindow) {
    // B's token was issued before this phone had it: the password alone is refused.
    EXPECT_EQ(errorOf(logIn("10005678")), TradeContract::Error::kTokenRequired);
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", "123456")),
              withTriesLeft(TradeContract::Error::kTokenCheckFailed, 4));

    auto r = call(session,
                  "tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=0101&inputid=010110005678&trdpwd=123456"
                  "&mobileno=13800138000");
    auto token = firstSet(r);
    ASSERT_TRUE(token && !token->isError());
    const std::string seed = textOf(token, "seed");
    EXPECT_EQ(seed.size(), 40u);
    EXPECT_EQ(textOf(token, "custid"), "110005678");
    EXPECT_EQ(textOf(token, "orgid"), "0101");
    EXPECT_EQ(textOf(token, "fundidlist"), "010110005678");
    EXPECT_EQ(textOf(token, "secuidlist"), "0010005678,A100005678");

    auto code = [&](int counter) { return VTACoder::createSjKlWithSeed(seed, counter); };
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(1))), "");
    // Used: refused.
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(1))),
              withTriesLeft(TradeContract::Error::kTokenCheckFailed, 4));
    // A phone that advanced without reaching the server is within the window.
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(6))), "");
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(4))),
              withTriesLeft(TradeContract::Error::kTokenCheckFailed, 4));
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(7 + SimBooks::kTokenWindow))),
              withTriesLeft(TradeContract::Error::kTokenCheckFailed, 3));
    // A wrong password leaves the counter where it was.
    EXPECT_EQ(errorOf(logIn("10005678", "000000", "Z", "0101", "5", code(7))), withTriesLeft("交易密码错误", 2));
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(7))), "");
    EXPECT_EQ(books([](SimBooks& b) { return b.customer("010110005678")->token->counter; }), 8);

    // Applying again issues another seed: the old one's codes are refused.
    std::string again = applyForToken("10005678");
    ASSERT_NE(again, seed);
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", code(8))),
              withTriesLeft(TradeContract::Error::kTokenCheckFailed, 4));
    EXPECT_EQ(errorOf(logIn("10005678", "123456", "Z", "0101", "5", VTACoder::createSjKlWithSeed(again, 1))), "");
    // The password is checked before a token is issued.
    auto refused = call(session,
                        "tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=0101&inputid=010110001234"
                        "&trdpwd=1&mobileno=13800138000");
    EXPECT_EQ(errorOf(refused), withTriesLeft("交易密码错误", 4));
    EXPECT_FALSE(books([](SimBooks& b) { return b.customer("010110001234")->token.has_value(); }));
}

TEST_F(SimTradeTest, EachWayOfAuthenticationHasItsRefusal) {
    using namespace TradeContract::Error;
    EXPECT_EQ(errorOf(logIn("10001234", "123456", "Z", "0101", "5", "000000")), kTokenNotFound);  // not counted: no token
    EXPECT_EQ(errorOf(logIn("10001234", "123456", "Z", "0101", "2", "abc")), kAuthNotApplied);
    books([](SimBooks& b) { return b.customer("010210009999")->typedCode = b.secretOf("a1b2"); });
    EXPECT_EQ(errorOf(logIn("10009999", "123456", "Z", "0102", "2", "a1b2")), "");
    EXPECT_EQ(errorOf(logIn("10009999", "123456", "Z", "0102", "2", "zzzz")), withTriesLeft("认证口令错误", 4));
    EXPECT_EQ(errorOf(logIn("10009999", "123456", "Z", "0102", "0")), "请输入认证口令");
}

TEST_F(SimTradeTest, RelatingAnAccountCanBringItsHoldingsIntoTheOwnStocks) {
    auto relate = [&](const std::string& password, int import) {
        return firstSet(call(session,
                             "tc_mfuncno=3750&tc_sfuncno=2&operway=i&inputtype=Z&custorgid=0101"
                             "&inputid=010110001234&trdpwd=" +
                                 password + "&isimportccg=" + std::to_string(import) + "&authtype=0&authdata="));
    };
    auto refused = relate("999999", 1);
    ASSERT_TRUE(refused && !refused->isError());
    EXPECT_EQ(refused->toIntWithFieldName("result"), 0);
    EXPECT_EQ(textOf(refused, "message"), withTriesLeft("交易密码错误", 4));
    EXPECT_TRUE(sim->ownStocks("13800138000").empty());

    auto done = relate("123456", 1);
    EXPECT_EQ(done->toIntWithFieldName("result"), 1);
    // The bond and the warrants too: the market quotes them as any other.
    EXPECT_EQ(sim->ownStocks("13800138000"), (std::vector<std::string>{"000001.1", "000002.1", "600000.2", "600036.2",
                                                                       "110001.2", "580001.2", "038001.1"}));
    EXPECT_EQ(sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.relatedAccounts["13800138000"]; }),
              (std::set<std::string>{"010110001234"}));
}

TEST_F(SimTradeTest, TheOwnStocksTakeTheLoggedInCustomersHoldings) {
    auto info = textOf(setsOf(logIn("10009999", "123456", "Z", "0102"))[0], "userinfo");
    auto r = firstSet(call(session, "tc_mfuncno=3710&tc_sfuncno=6&inputid=010210009999&" + info + "&operway=i"));
    ASSERT_TRUE(r && !r->isError());
    EXPECT_EQ(sim->ownStocks("13800138000"), (std::vector<std::string>{"000651.1"}));
    EXPECT_EQ(errorOf(call(session, "tc_mfuncno=3710&tc_sfuncno=6&inputid=010210009999&authid=nothing")),
              TradeContract::Error::kSessionEnded);
}

// Whatever function a request of an ended trade session reaches, its refusal
// carries the code by which the phone knows to end its own trade session.
TEST_F(SimTradeTest, EveryFunctionRefusesAnEndedSessionWithItsCode) {
    const std::string ended = textOf(setsOf(logIn("10001234"))[0], "userinfo");
    logIn("10001234");  // a later login ends it
    int refused = 0;
    for (FunctionId f : sim->registry().functions()) {
        if (f.sub == SimRegistry::kAnySub) continue;
        auto set = firstSet(call(session, "tc_mfuncno=" + std::to_string(f.main) +
                                              "&tc_sfuncno=" + std::to_string(f.sub) + "&" + ended + "&operway=i"));
        if (!set || !set->isError() || set->getError() != TradeContract::Error::kSessionEnded) continue;
        ++refused;
        EXPECT_EQ(set->errorCode(), TradeContract::Error::kSessionEndedCode) << f.main << "/" << f.sub;
    }
    EXPECT_GT(refused, 40) << "the trade functions are among those asked";
}

TEST_F(SimTradeTest, TheTokenPageTextsComeFromTheRoom) {
    auto set = firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=5"));
    ASSERT_TRUE(set);
    EXPECT_NE(textOf(set, "direction").find("手机令牌"), std::string::npos);
    EXPECT_FALSE(textOf(set, "riskinfo").empty());
    sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { r.tokenPromotion = ""; });
    EXPECT_EQ(textOf(firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=5")), "promotion"), "");
}

TEST_F(SimTradeTest, TheRequestLogKeepsNoSecret) {
    logIn("10001234", "123456", "Z", "0101", "2", "code99");
    call(session, "tc_mfuncno=500&tc_sfuncno=12&oldpwd=123456&newpwd=&TRDPWD=654321");
    auto logins = sim->requestsOf(500, 1);
    ASSERT_EQ(logins.size(), 1u);
    for (const auto& f : logins[0].fields) {
        if (f.key == "trdpwd" || f.key == "authdata") {
            EXPECT_EQ(f.value, "***");
        }
        if (f.key == "inputid") {
            EXPECT_EQ(f.value, "10001234");
        }
    }
    EXPECT_EQ(logins[0].rawBody.find("123456"), std::string::npos) << logins[0].rawBody;
    EXPECT_EQ(logins[0].rawBody.find("code99"), std::string::npos);
    auto change = sim->requestsOf(500, 12);
    ASSERT_EQ(change.size(), 1u);
    EXPECT_NE(change[0].rawBody.find("oldpwd=***&newpwd=&TRDPWD=***"), std::string::npos) << change[0].rawBody;
}

}  // namespace
