#include <gtest/gtest.h>

#include "net/QZServerHost.h"
#include "net/ServiceProtocol.h"

using namespace ServiceProtocol;

namespace {
std::string fakeCipher(const std::string& plain) { return "<" + plain + ">"; }
}  // namespace

TEST(ServiceProtocol, EncryptFlagOfEveryType) {
    const int expected[] = {0, 54, 0, 18, 36, 54, 18, 54, 0, 0};
    for (int type = 0; type < 10; ++type) {
        auto b = buildBody("tc_mfuncno=1&tc_sfuncno=2", type, "S", fakeCipher);
        EXPECT_NE(b.text.find("&TC_ENCRYPT=" + std::to_string(expected[type]) + "&"), std::string::npos)
            << "type " << type << ": " << b.text;
        EXPECT_EQ(b.text.rfind("tc_service=300&tc_isunicode=1&TC_ENCRYPT=", 0), 0u);
    }
    EXPECT_TRUE(requestType(2).retryOnce);
    EXPECT_FALSE(requestType(2).enciphered);
    EXPECT_FALSE(requestType(-1).compressedReply);
}

TEST(ServiceProtocol, HeaderFieldsStayInClearOthersAreEnciphered) {
    auto b = buildBody("code=600519.2&TC_MFUNCNO=500&Tc_sfuncno=6&password=x=y&&amount=100", 4, "abc", fakeCipher);
    EXPECT_EQ(b.text,
              "tc_service=300&tc_isunicode=1&TC_ENCRYPT=36&TC_MFUNCNO=500&Tc_sfuncno=6&TC_SESSION={abc}"
              "&TC_REQLENGTH=37&TC_REQDATA=<code=600519.2&password=x=y&amount=100>");
    EXPECT_EQ(b.plain.size(), 37u);
    auto clear = buildBody("code=1.2&tc_mfuncno=31000&tc_sfuncno=4", 3, "", fakeCipher);
    EXPECT_EQ(clear.text,
              "tc_service=300&tc_isunicode=1&TC_ENCRYPT=18&tc_mfuncno=31000&tc_sfuncno=4&TC_SESSION={}&code=1.2");
    EXPECT_EQ(functionNumbers("a=1&TC_MFUNCNO=3710&tc_sfuncno=x"), std::make_pair(3710, 0));
}

TEST(ServiceProtocol, EtagReading) {
    auto f = parseEtag(std::string("0,12,18,36"));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->status, 0);
    EXPECT_EQ(f->package, "12");
    EXPECT_TRUE(f->compressed);
    EXPECT_TRUE(f->enciphered);
    EXPECT_TRUE(parseEtag(std::string("\"2,0,0,0\"")));
    EXPECT_FALSE(parseEtag(std::nullopt));
    EXPECT_FALSE(parseEtag(std::string("")));
    EXPECT_FALSE(parseEtag(std::string("0,0,18")));
    EXPECT_FALSE(parseEtag(std::string("x,0,0,0")));
    EXPECT_FALSE(parseEtag(std::string("0,0,0,0,0")));
    EXPECT_EQ(formatEtag(2, "", false, true), "2,0,0,36");
}

TEST(ServerHostList, ParsesItemsAndSkipsBadOnes) {
    auto hosts = QZServerHost::hostsFromList("127.0.0.3:80^电信^1##^nohost^2#http://h:9/^联通^9#x:1");
    ASSERT_EQ(hosts.size(), 3u);
    EXPECT_EQ(hosts[0]->baseURL(), "http://127.0.0.3:80");
    EXPECT_EQ(hosts[0]->carrier(), 1);
    EXPECT_EQ(hosts[1]->baseURL(), "http://h:9");
    EXPECT_EQ(hosts[1]->carrier(), 0);  // out of range
    EXPECT_EQ(hosts[2]->description(), "");
}
