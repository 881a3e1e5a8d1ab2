// The silent login after a session time-out makes a new session without the
// stale one: the login names no session, nothing the client sends while it
// runs names the stale one, and a login that fails leaves no session behind.
#include "tests/net/NetTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/SystemContract.h"

namespace {

const char* kSnapshot = "tc_mfuncno=31000&tc_sfuncno=4&code=600519.2&field=3|1|4";

class SilentLoginSessionTest : public SimFixture {
protected:
    // The requests the server received under the session (the logins aside).
    size_t sentUnder(const std::string& session) {
        size_t n = 0;
        for (const auto& r : sim->requests())
            if (!(r.main == 100 && r.sub == 1) && r.session == simMaskedSession(session)) ++n;
        return n;
    }
};

TEST_F(SilentLoginSessionTest, TheStaleSessionIsNeverSentAgainOnceTheServerEndedIt) {
    login();
    const std::string stale = ServiceSession::shared().session();
    sim->expireAllSessions();
    sim->clearRequests();
    Recorder r;
    QZNetworkService s;
    s.setDelegate(&r);
    s.requestStr(kSnapshot, 3, 1);
    ASSERT_TRUE(waitFor([&] { return ServiceSession::shared().isLoggingIn(); }));
    // A screen asks while the login is on its way.
    s.requestStr(kSnapshot, 3, 2);
    ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
    for (const auto& e : r.events) EXPECT_EQ(e.kind, "data") << e.tag;
    const std::string fresh = ServiceSession::shared().session();
    EXPECT_FALSE(fresh.empty());
    EXPECT_NE(fresh, stale);
    auto logins = sim->requestsOf(100, 1);
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(fieldOf(logins[0], "TC_SESSION"), "{}");
    EXPECT_EQ(sentUnder(stale), 1u);  // only the request that found it ended
    EXPECT_EQ(sentUnder(fresh), 2u);  // both answered under the new one
}

TEST_F(SilentLoginSessionTest, ALoginThatGivesNoSessionLeavesNoneBehind) {
    // Refused outright, or answered without a session: either way the waiting
    // request hears the time-out, and the next one names no session.
    const std::vector<uint8_t> noSession =
        TCRSWriter().beginSet().addField("result", TCRSFieldType::Integer).addRecord({1}).bytes();
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "refused" : "no session in the answer");
        ServiceSession::shared().reset();
        login();
        const std::string stale = ServiceSession::shared().session();
        sim->expireAllSessions();
        sim->clearRequests();
        if (refused)
            sim->forceErrorSet(-1, "登录失败", 100, 1);
        else
            sim->answerNext(SystemContract::kSessionLogin, noSession);
        Recorder r;
        QZNetworkService s;
        s.setDelegate(&r);
        s.requestStr(kSnapshot, 3, 1);
        ASSERT_TRUE(waitFor([&] { return !r.events.empty() && !ServiceSession::shared().isLoggingIn(); }));
        ASSERT_EQ(r.events.size(), 1u);
        EXPECT_EQ(r.events[0].code, 102);
        EXPECT_EQ(ServiceSession::shared().session(), "");
        EXPECT_EQ(sentUnder(stale), 1u);
        // The next request starts a login of its own and is answered.
        s.requestStr(kSnapshot, 3, 2);
        ASSERT_TRUE(waitFor([&] { return r.events.size() == 2; }));
        EXPECT_EQ(r.events[1].kind, "data");
        EXPECT_EQ(sentUnder(stale), 1u);
        EXPECT_EQ(sim->requestsOf(100, 1).size(), 2u);
    }
}

}  // namespace
