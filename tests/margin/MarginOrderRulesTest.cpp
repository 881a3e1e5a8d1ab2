// The margin layer the margin order screens share: the order types of each
// kind of credit order by market, the maximum and order request texts with
// the credit fields and the link appended whole, the older forms' checks and
// confirmation, and the credit-flag key as the brokerage reads it.
#include <gtest/gtest.h>

#include "core/VTAParamter.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginOrderRules.h"
#include "shell/TradeSession.h"

namespace {

namespace Flag = MarginContract::CreditFlag;

std::vector<std::string> codes(int flag, const std::string& market) {
    std::vector<std::string> out;
    for (const auto& t : creditOrderTypesFor(flag, market)) out.push_back(t.code);
    return out;
}

TEST(MarginOrderRulesTest, EachKindOfCreditOrderOffersItsOrderTypesByMarket) {
    using V = std::vector<std::string>;
    const V shenzhenBuy{"0B", "0a", "0b", "0c", "0d", "0e"}, shanghaiBuy{"0B", "0d", "0q"};
    const V shenzhenSell{"0S", "0f", "0g", "0h", "0i", "0j"}, shanghaiSell{"0S", "0i", "0r"};
    struct Row {
        int flag;
        V m0, m2, m1, m3, other;
    };
    const Row table[] = {
        {Flag::kFinancingBuy, shenzhenBuy, shenzhenBuy, shanghaiBuy, shanghaiBuy, {"0B"}},
        {Flag::kShortSell, {"0S"}, {"0S"}, {"0S"}, {"0S"}, {"0S"}},
        {Flag::kBuyToReturn, shenzhenBuy, {}, shanghaiBuy, {}, {}},
        {Flag::kSellToRepay, shenzhenSell, {}, shanghaiSell, {}, {}},
        {Flag::kSecuritiesRepayment, {}, {}, {}, {}, {}},
        {Flag::kCollateralIn, {}, {}, {}, {}, {}},
    };
    for (const auto& r : table) {
        SCOPED_TRACE(r.flag);
        EXPECT_EQ(codes(r.flag, "0"), r.m0);
        EXPECT_EQ(codes(r.flag, "2"), r.m2);
        EXPECT_EQ(codes(r.flag, "1"), r.m1);
        EXPECT_EQ(codes(r.flag, "3"), r.m3);
        EXPECT_EQ(codes(r.flag, "9"), r.other);
        EXPECT_EQ(codes(r.flag, ""), r.other);
    }
    EXPECT_EQ(creditOrderTypesFor(Flag::kShortSell, "1")[0].label, "限价委托");
    EXPECT_EQ(creditOrderTypesFor(Flag::kSellToRepay, "1")[2].label, "五档即成转限价");
    EXPECT_EQ(creditFlagOfDirection(kBuy), Flag::kFinancingBuy);
    EXPECT_EQ(creditFlagOfDirection(kSell), Flag::kShortSell);
}

class MarginRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        VTAParamter::shareParamter().setString("custid=110001234&custorgid=0101&authid=AB12&operway=i",
                                               TradeSessionKey::kInfo);
    }
    void TearDown() override {
        for (const char* k : {TradeSessionKey::kInfo, TradeSessionKey::kCustomer, TradeSessionKey::kShareholders})
            VTAParamter::shareParamter().removeValueForKey(k);
    }
    const std::string session = "custid=110001234&custorgid=0101&authid=AB12&operway=i";
};

TEST_F(MarginRequestTest, TheMaximumCarriesTheLinkWholeAndTheOrderItsCreditFields) {
    const std::string max4 = "tc_mfuncno=500&tc_sfuncno=4&" + session + "&fundid=";
    // The newer screen: the price as it stands (empty too), the link whole.
    EXPECT_EQ(
        creditMaxRequest({.code = "600000", .price = "", .bsflag = "0B", .link = "rzrq_rzmr?creditflag=0"}).text(),
        max4 + "&stkcode=600000&price=&bsflag=0B&rzrq_rzmr?creditflag=0");
    // The older form: no price; a form without a link names its flag itself.
    EXPECT_EQ(creditMaxRequest({.code = "000001", .bsflag = "0S", .link = "rzrq_rzmr?creditflag=1"}).text(),
              max4 + "&stkcode=000001&bsflag=0S&rzrq_rzmr?creditflag=1");
    EXPECT_EQ(creditMaxRequest({.code = "000001", .creditFlag = Flag::kSecuritiesRepayment}).text(),
              max4 + "&stkcode=000001&creditid=0&creditflag=4");
    EXPECT_TRUE(creditMaxRequest({.code = "60000&", .bsflag = "0B"}).refused());

    const std::string order6 = "tc_mfuncno=500&tc_sfuncno=6&" + session;
    EXPECT_EQ(
        creditOrderRequest({Flag::kFinancingBuy, "market=1&secuid=A100001234", "600000", "0B", "7.45", "100"}).text(),
        order6 +
            "&market=1&secuid=A100001234&fundid=&stkcode=600000&bsflag=0B&price=7.45&qty=100"
            "&creditid=0&creditflag=0");
    // A market type sends no price; a kind without order type neither.
    EXPECT_EQ(creditOrderRequest({Flag::kFinancingBuy, "market=0&secuid=0010001234", "000001", "0a", "市价委托", "200"})
                  .text(),
              order6 +
                  "&market=0&secuid=0010001234&fundid=&stkcode=000001&bsflag=0a&price=&qty=200"
                  "&creditid=0&creditflag=0");
    EXPECT_EQ(
        creditOrderRequest({Flag::kSecuritiesRepayment, "market=0&secuid=0010001234", "000001", "", "", "300"}).text(),
        order6 + "&market=0&secuid=0010001234&fundid=&stkcode=000001&qty=300&creditid=0&creditflag=4");
    EXPECT_TRUE(
        creditOrderRequest({Flag::kShortSell, "market=1&secuid=A1", "600000", "0S", "7.4", "1&qty=9"}).refused());
}

TEST(MarginOrderRulesTest, TheOlderFormsChecksAndConfirmation) {
    EXPECT_EQ(marginFormRefusal({"", "0B", "7.4", "100"}), "证券代码为空！");
    for (const char* bad : {"", "1.2.3", "-7", "7 4", "abc", "."})
        EXPECT_EQ(marginFormRefusal({"600000", "0B", bad, "100"}), "证券价格有误！") << bad;
    for (const char* good : {"12.", ".5", "7", "7.45"}) EXPECT_EQ(marginFormRefusal({"600000", "0S", good, "1"}), "");
    // A market type needs no price; any quantity text goes to the brokerage.
    EXPECT_EQ(marginFormRefusal({"600000", "0d", "", ""}), "证券数量为空！");
    EXPECT_EQ(marginFormRefusal({"600000", "0d", "", "0"}), "");

    EXPECT_EQ(marginFormConfirmationText(kBuy, "浦发银行", "600000", "0B", "限价委托", "7.45", "100"),
              "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n买入价格：7.45 \n买入数量：100 \n");
    EXPECT_EQ(
        marginFormConfirmationText(kBuy, "浦发银行", "600000", "0d", "五档即成剩撤", "", "100"),
        "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n报价方式：五档即成剩撤 \n买入数量：100 \n");
    EXPECT_EQ(marginFormConfirmationText(kSell, "平安银行", "000001", "0S", "限价委托", "11.2", "300"),
              "您确定要发送如下信息吗？\n卖出证券：平安银行 \n证券代码：000001 \n卖出价格：11.2 \n卖出数量：300 \n");
}

TEST(MarginOrderRulesTest, TheCreditFlagKeyIsReadBehindALinksCommand) {
    using MarginContract::creditFlagKeyMatches;
    EXPECT_TRUE(creditFlagKeyMatches("creditflag"));
    EXPECT_TRUE(creditFlagKeyMatches("CreditFlag"));
    EXPECT_TRUE(creditFlagKeyMatches("rzrq_rzmr?creditflag"));
    EXPECT_TRUE(creditFlagKeyMatches("a?b?creditflag"));
    EXPECT_FALSE(creditFlagKeyMatches("creditflags"));
    EXPECT_FALSE(creditFlagKeyMatches("rzrq_rzmr?creditid"));
    EXPECT_FALSE(creditFlagKeyMatches("creditflag?x"));
    EXPECT_FALSE(creditFlagKeyMatches(""));
}

}  // namespace
