// The brokerage carries out a request that changes the books once for its
// package id: the same bytes posted again in the session (a transport that
// re-sent them) are refused with a text that says where to look, while a new
// sending, another session, and the requests of the other types go on as before.
#include <httplib.h>

#include "SimTestSupport.h"
#include "core/security/Base64.h"
#include "core/security/FrameCodec.h"
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
    std::string keyedLogin() { return simKeyedLogin(*sim); }
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

}  // namespace
