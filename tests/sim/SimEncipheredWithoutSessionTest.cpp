// Requests the server answers without reading them are never carried out:
// an enciphered one without a live session (its key is the session's; the
// answer says the session has ended, so the client logs in again), even on a
// server that takes clear requests without a session; and one the road
// refuses or sends back as timed out (a client told so takes it as not done).
#include "tests/sim/SimTestSupport.h"

#include "sim/SimRegistry.h"

namespace {

// A server without the session rule whose function 9000/1 counts its calls.
SimOptions countingOptions(int& handled) {
    SimOptions o = tuesdayOptions();
    o.requireSession = false;
    o.families = [&handled](SimRegistry& r) {
        registerSystemFunctions(r);
        r.add({9000, 1}, [&handled](SimCall&) {
            ++handled;
            return simResultSet(1, "");
        });
    };
    return o;
}

TEST(SimEncipheredWithoutSessionTest, IsAnsweredAsAnEndedSessionAndNeverHandled) {
    int handled = 0;
    SimServer sim(countingOptions(handled));
    auto loggedIn = firstSet(sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", {}));
    ASSERT_TRUE(loggedIn);
    const std::string live = loggedIn->toStringWithFieldName("session").value_or("");
    ASSERT_FALSE(live.empty());
    struct Case {
        int encrypt;
        std::string session;
        char status;  // the first field of the reply's flags
        bool runs;
    };
    for (const Case& c : std::vector<Case>{{0, "", '0', true},
                                           {18, "", '0', true},
                                           {36, "", '2', false},
                                           {54, "", '2', false},
                                           {36, "no-such-session", '2', false},
                                           {54, "no-such-session", '2', false},
                                           // A live session whose key cannot read the data: refused.
                                           {36, live, '1', false}}) {
        SCOPED_TRACE(std::to_string(c.encrypt) + " {" + c.session + "}");
        const int before = handled;
        auto reply = sim.handle("tc_service=300&TC_ENCRYPT=" + std::to_string(c.encrypt) + "&TC_SESSION={" +
                                    c.session + "}&tc_mfuncno=9000&tc_sfuncno=1&TC_REQDATA=AAAAAAAAAAA=&TC_REQLENGTH=8",
                                {});
        ASSERT_FALSE(etag(reply).empty());
        EXPECT_EQ(etag(reply)[0], c.status);
        EXPECT_EQ(handled - before, c.runs ? 1 : 0);
        if (!c.runs) {
            EXPECT_TRUE(reply.body.empty());
        }
    }
}

TEST(SimEncipheredWithoutSessionTest, ARequestRefusedOrSentBackAsTimedOutIsNeverHandled) {
    int handled = 0;
    SimServer sim(countingOptions(handled));
    for (const auto& [fault, status] : {std::pair{SimFault::Refuse, '1'}, std::pair{SimFault::SessionTimeout, '2'}}) {
        sim.forceFault(fault, 9000, 1);
        auto reply = sim.handle("tc_service=300&TC_ENCRYPT=0&tc_mfuncno=9000&tc_sfuncno=1", {});
        ASSERT_FALSE(etag(reply).empty());
        EXPECT_EQ(etag(reply)[0], status);
        EXPECT_EQ(handled, 0);
    }
    // Faults of the answer itself come after the work.
    sim.forceFault(SimFault::CorruptCipher, 9000, 1);
    sim.handle("tc_service=300&TC_ENCRYPT=0&tc_mfuncno=9000&tc_sfuncno=1", {});
    EXPECT_EQ(handled, 1);
}

}  // namespace
