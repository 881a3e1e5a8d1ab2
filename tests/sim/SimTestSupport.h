#pragma once
// A simulated server driven without HTTP (SimServer::handle), with a frozen
// clock on a Tuesday morning, and the readers of its replies.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/VTATCRS.h"
#include "core/security/VTACoder.h"
#include "sim/SimServer.h"
#include "tests/support/TestSupport.h"

inline constexpr double kTuesdayMorning = 1709605800;  // 2024-03-05 10:30 Shanghai

// An HTTP client of a server on loopback that waits for each answer as long
// as a test waits (the library's own limit, 5 s a read or write, is not
// always enough on a loaded machine).
inline httplib::Client simClient(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(long(kHangSeconds)));
    client.set_write_timeout(std::chrono::seconds(long(kHangSeconds)));
    return client;
}

inline std::shared_ptr<VTATCRS> firstSet(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets && !sets->empty() ? sets->front() : nullptr;
}

inline std::string etag(const SimServer::Reply& r) {
    for (auto& [k, v] : r.headers)
        if (k == "Etag") return v;
    return "";
}

// A session login with the key exchange, as the client makes it (the phone
// travels enciphered); answers the session, "" when refused.
inline std::string simKeyedLogin(SimServer& sim, const std::string& phone = "13800138000") {
    auto keyText = VTACoder::sessionKeyExchangeText();
    if (!keyText) return "";
    const std::string plain = "phone=" + phone;
    auto r = sim.handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=54&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" + *keyText +
                            "&TC_SESSION={}&TC_REQLENGTH=" + std::to_string(plain.size()) +
                            "&TC_REQDATA=" + VTACoder::encryptString(plain),
                        {});
    auto deciphered = VTACoder::decryptData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    auto bytes = deciphered ? VTACoder::uncompressData(*deciphered) : std::nullopt;
    auto sets = bytes ? VTATCRS::buildMuTableTCRSWithData(*bytes) : std::nullopt;
    return sets && !sets->empty() ? sets->front()->toStringWithFieldName("session").value_or("") : "";
}

// A refusal of a wrong password or code as the brokerage words it, with the tries left before the lock.
inline std::string withTriesLeft(const std::string& refusal, int left) {
    return refusal + "，还可尝试" + std::to_string(left) + "次";
}

inline SimOptions tuesdayOptions() {
    SimOptions o;
    o.seed = 11;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    return o;
}

class SimTest : public ::testing::Test {
protected:
    SimTest() : sim(std::make_unique<SimServer>(tuesdayOptions())) {}
    // A session login without key exchange (as curl would do it); answers the session.
    std::string login(const std::string& phone = "13800138000") {
        auto r =
            sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&tc_mfuncno=100&tc_sfuncno=1&phone=" + phone, {});
        auto set = firstSet(r);
        return set ? set->toStringWithFieldName("session").value_or("") : "";
    }
    // A trade login of a customer who logs in with the password alone;
    // answers the session text later trade requests carry ("" when refused).
    std::string tradeLogin(const std::string& session, const std::string& fundid, const std::string& branch = "0101") {
        auto set = firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=" + branch +
                                              "&inputid=" + fundid + "&trdpwd=123456&authtype=0&authdata="));
        return set && !set->isError() ? set->toStringAtIndex(0).value_or("") + "&operway=i" : "";
    }
    SimServer::Reply call(const std::string& session, const std::string& fields, int encrypt = 0) {
        return sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=" + std::to_string(encrypt) + "&TC_SESSION={" +
                               session + "}&" + fields,
                           {});
    }
    std::unique_ptr<SimServer> sim;
};
