// The brokerage carries out a request that changes the books once for its
// package id: the same bytes posted again in the session (a transport that
// re-sent them) are refused with a text that says where to look, while a new
// sending, another session, and the requests of the other types go on as before.
#include <httplib.h>

#include "SimTestSupport.h"
#include "core/security/VTACoder.h"
#include "sim/SimOrders.h"
#include "sim/SimRepeatGuard.h"
#include "sim/SimTrade.h"

namespace {

constexpr const char* kCustomerA = "010110001234";

class SimRepeatedRequestTest : public SimTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim->start());
        session = keyedLogin();
        ASSERT_FALSE(session.empty());
        auto set = post(4, "tc_mfuncno=500&tc_sfuncno=1",
                        "operway=i&inputtype=Z&custorgid=0101&inputid=" + std::string(kCustomerA) +
                            "&trdpwd=123456&authtype=0&authdata=",
                        "1");
        ASSERT_TRUE(set && !set->isError());
        tradeInfo = set->toStringAtIndex(0).value_or("") + "&operway=i";
    }
    // A session login with the key exchange, as the client makes it.
    std::string keyedLogin() {
        auto keyText = VTACoder::sessionKeyExchangeText();
        if (!keyText) return "";
        const std::string plain = "phone=13800138000";
        auto r = sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=54&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" +
                                 *keyText + "&TC_SESSION={}&TC_REQLENGTH=" + std::to_string(plain.size()) +
                                 "&TC_REQDATA=" + VTACoder::encryptString(plain),
                             {});
        auto set = setOf(r.body, true, true);
        return set ? set->toStringWithFieldName("session").value_or("") : "";
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
    // An HTTP POST of a request of type 4 (enciphered) or 3 (clear, compressed
    // reply) under the session, with that package id; answers the reply's first set.
    std::shared_ptr<VTATCRS> post(int type, const std::string& header, const std::string& fields,
                                  const std::string& package, const std::string& under = "") {
        std::string body = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=" + std::string(type == 4 ? "36" : "18") + "&" +
                           header + "&TC_SESSION={" + (under.empty() ? session : under) + "}";
        body += type == 4 ? "&TC_REQLENGTH=" + std::to_string(fields.size()) +
                                "&TC_REQDATA=" + VTACoder::encryptString(fields)
                          : "&" + fields;
        httplib::Client client("127.0.0.1", sim->port());
        auto res = client.Post("/vta", {{"X-VTA-Package", package}}, body, "application/x-www-form-urlencoded");
        if (!res || res->status != 200) return nullptr;
        return setOf(res->body, type == 4, type != 4);
    }
    std::shared_ptr<VTATCRS> order(const std::string& package, const std::string& under = "") {
        return post(4, "tc_mfuncno=500&tc_sfuncno=6",
                    tradeInfo + "&fundid=" + kCustomerA + "&bsflag=0B&price=" + SimMarket::priceText(lastPrice(), 2) +
                        "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1",
                    package, under);
    }
    int64_t lastPrice() { return sim->market().quote(*simTradableStock(sim->market(), "600000"), sim->clock().now()).last; }
    size_t orders() {
        return sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.books.customer(kCustomerA)->orders.size(); });
    }

    std::string session, tradeInfo;
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

}  // namespace
