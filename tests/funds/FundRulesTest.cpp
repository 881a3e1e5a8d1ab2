// The fund screens' rules apart from their views: the checks of amounts and
// units with their texts, the summaries, the request texts, the hex text of
// a name, the own-fund list's rules and the finder's links.
#include <gtest/gtest.h>

#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "funds/FundRules.h"
#include "funds/OwnFunds.h"
#include "funds/VTAJJFinderViewController.h"
#include "shell/TradeSession.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(FundRulesTest, AmountsAndUnitsAreCheckedInOrderWithTheirTexts) {
    struct Case {
        const char* amount;
        const char* refusal;
    };
    const Case cases[] = {
        {"100", ""},
        {"100.", ""},
        {".5", ""},
        {"100.25", ""},
        {" 100 ", ""},
        {"", "请输入金额"},
        {"   ", "请输入金额"},
        {".", "价格输入错误"},
        {"1.2.3", "请输入正确的金额"},
        {"1 2", "请输入正确的金额"},
        {"abc", "价格输入错误"},
        {"5&x=1", "价格输入错误"},
    };
    for (const auto& c : cases) EXPECT_EQ(fundAmountRefusal(c.amount), c.refusal) << "[" << c.amount << "]";

    for (const char* good : {"1000", "0.5", "12.", " 7 "}) EXPECT_EQ(redeemUnitsRefusal(good), "") << good;
    for (const char* bad : {"", "0", "0.0", ".", "1 2", "1.2.3", "abc", "1&redeemtype=1", "-3"})
        EXPECT_EQ(redeemUnitsRefusal(bad), "请输入份额") << bad;
}

TEST(FundRulesTest, SummariesListTheOrderLineByLine) {
    EXPECT_EQ(buySaleSummary(2, "270001", "稳健成长基金", "5000"),
              "交易类型：基金申购 \n基金代码：270001\n基金名称：稳健成长基金\n申购金额：5000\n");
    EXPECT_EQ(buySaleSummary(1, "270006", "", "1000"),
              "交易类型：基金认购 \n基金代码：270006\n基金名称：\n认购金额：1000\n");
    EXPECT_EQ(redeemSummary("310003", "华信纯债债券", "1000"),
              "交易类型：基金赎回 \n基金代码：310003\n基金名称：华信纯债债券\n赎回份额：1000\n");
}

class FundRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto customer = TCRSWriter()
                            .beginSet()
                            .addField("fundid", TCRSFieldType::VarText)
                            .addRecord({"010110001234"})
                            .addRecord({"010110009999"})
                            .bytes();
        auto& p = VTAParamter::shareParamter();
        p.setString("custid=110001234&custorgid=0101&authid=AB12&operway=i", TradeSessionKey::kInfo);
        p.setTCRS(VTATCRS::buildMuTableTCRSWithData(customer)->front(), TradeSessionKey::kCustomer);
        p.getTCRSForKey(TradeSessionKey::kCustomer)->fetchLast();  // a reader left the cursor past the end
    }
    void TearDown() override { clearTradeSession(); }
    const std::string session = "custid=110001234&custorgid=0101&authid=AB12&operway=i";
};

TEST_F(FundRequestTest, LookupsAndOrdersCarryTheSessionTheFundAccountAndTheirFields) {
    EXPECT_EQ(fundLookupRequest("270001").text(),
              "TC_MFUNCNO=100&TC_SFUNCNO=24&ofcode=270001&" + session + "&fundid=010110001234");
    EXPECT_EQ(fundInfoRequest("310003").text(),
              "tc_mfuncno=100&tc_sfuncno=25&" + session + "&fundid=010110001234&ofcode=310003");
    EXPECT_EQ(
        fundBuyRequest(2, "270001", "5000", "1").text(),
        "tc_mfuncno=500&tc_sfuncno=35&" + session + "&fundid=010110001234&ofcode=270001&orderamt=5000&chkriskflag=1");
    EXPECT_EQ(
        fundBuyRequest(1, "270006", "1000.5", "0").text(),
        "tc_mfuncno=500&tc_sfuncno=34&" + session + "&fundid=010110001234&ofcode=270006&orderamt=1000.5&chkriskflag=0");
    EXPECT_EQ(heldFundsRequest().text(), "tc_mfuncno=500&tc_sfuncno=41&" + session + "&fundid=010110001234");
    EXPECT_EQ(
        redeemRequest("310003", "1000", 1).text(),
        "tc_mfuncno=500&tc_sfuncno=36&" + session + "&fundid=010110001234&ofcode=310003&orderqty=1000&redeemtype=1");
    // Nothing may change a request's shape.
    EXPECT_TRUE(fundBuyRequest(2, "270001", "5&chkriskflag=0", "1").refused());
    EXPECT_TRUE(fundLookupRequest("27=001").refused());
    // Without a session no "(null)" is ever sent.
    clearTradeSession();
    EXPECT_EQ(fundLookupRequest("270001").text().find("null"), std::string::npos);
}

TEST(FundRulesTest, ANameTravelsAsTheHexOfItsUtf16Bytes) {
    EXPECT_EQ(hexFundName("abc"), "610062006300");
    EXPECT_EQ(hexFundName("稳健"), "337a6550");
    EXPECT_EQ(hexFundName(""), "");
    EXPECT_EQ(hexFundName("😀"), "3dd800de") << "a surrogate pair";
    EXPECT_EQ(hexFundName("a&b=c"), "6100260062003d006300") << "no character survives as itself";
}

TEST(FundRulesTest, TheFindersRowsLinkTheHubOnOneFilter) {
    const std::string prefix = "of_jjxx?tc_mfuncno=100&tc_sfuncno=26&position=poststr&";
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(21, "01", "恒岳基金"), prefix + "tacode=01");
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(22, "2", "混合型"), prefix + "style=2");
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(23, "1", "认购期"), prefix + "status=1");
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(24, "270001", "稳健成长基金"),
              prefix + "ofname=" + hexFundName("稳健成长基金"))
        << "a name goes as hex, typed or listed";
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(25, "x", "y"), "");
    EXPECT_EQ(VTAJJFinderViewController::fundListLink(21, "01&status=2", "?"), "") << "a code that reshapes the link";
}

class OwnFundsTest : public ::testing::Test {
protected:
    ScopedDocuments docs;
    void SetUp() override { VTAUserDefoult::standerDefoult().reload(); }
    void TearDown() override { VTAUserDefoult::standerDefoult().reload(); }
};

TEST_F(OwnFundsTest, AddingRefusesBadCodesAndCodesListedAlready) {
    EXPECT_TRUE(ownFundCodes().empty());
    EXPECT_EQ(addOwnFund("稳健成长基金", "270001"), "成功添加稳健成长基金");
    EXPECT_EQ(addOwnFund("华信纯债债券", "310003"), "成功添加华信纯债债券");
    EXPECT_EQ(addOwnFund("稳健成长基金", "270001"), "添加失败，稳健成长基金已经存在");
    EXPECT_EQ(addOwnFund("不存在", "2700011"), "添加失败，非法代码！");
    EXPECT_EQ(addOwnFund("空", ""), "添加失败，非法代码！");
    EXPECT_EQ(addOwnFund("not found field", "270002"), "添加失败，非法代码！");
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"270001", "310003"}));
    // The list lives in the settings file.
    VTAUserDefoult::standerDefoult().reload();
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"270001", "310003"}));
    setOwnFundCodes({});
    EXPECT_TRUE(ownFundCodes().empty());
}

}  // namespace
