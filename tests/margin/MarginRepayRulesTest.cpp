// The texts of the credit account's own requests (the debt with its fund
// account twice, the cash repayment, the automatic repayment), the
// buy-to-return maximum with the code twice, the amount and price check of
// the repaying forms, and their confirmation text.
#include <gtest/gtest.h>

#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginOrderRules.h"
#include "margin/MarginRepayRules.h"
#include "shell/TradeSession.h"

namespace {

class MarginRepayRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto sets = VTATCRS::buildMuTableTCRSWithData(TCRSWriter()
                                                          .beginSet()
                                                          .addField("fundid", TCRSFieldType::VarText)
                                                          .addField("market", TCRSFieldType::VarText)
                                                          .addRecord({"010110001234", "1"})
                                                          .bytes());
        ASSERT_TRUE(sets && !sets->empty());
        VTAParamter::shareParamter().setString(session, TradeSessionKey::kInfo);
        VTAParamter::shareParamter().setTCRS(sets->front(), TradeSessionKey::kCustomer);
    }
    void TearDown() override {
        for (const char* k : {TradeSessionKey::kInfo, TradeSessionKey::kCustomer})
            VTAParamter::shareParamter().removeValueForKey(k);
    }
    const std::string session = "custid=110001234&custorgid=0101&authid=AB12&operway=i";
    std::string prefix(int sub) const { return "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + session; }
};

TEST_F(MarginRepayRequestTest, TheCreditAccountsOwnRequests) {
    EXPECT_EQ(marginDebtRequest().text(),
              prefix(75) + "&fundid=010110001234&creditid=0&fundid=010110001234&moneytype=0");
    EXPECT_EQ(marginCashRepayRequest("1000.5").text(),
              prefix(76) + "&fundid=010110001234&creditid=0&fundid=010110001234&moneytype=0&payoffasset=1000.5");
    EXPECT_TRUE(marginCashRepayRequest("1&payoffasset=9").refused());
    EXPECT_EQ(marginAutoRepayStatusRequest().text(), prefix(86) + "&fundid=010110001234");
    EXPECT_EQ(marginAutoRepaySetRequest(true).text(), prefix(87) + "&fundid=010110001234&repayflag=1");
    EXPECT_EQ(marginAutoRepaySetRequest(false).text(), prefix(87) + "&fundid=010110001234&repayflag=0");
    // Buy-to-return: the code twice, the chosen type, its flag.
    EXPECT_EQ(creditMaxRequest({.code = "600036",
                                .codeTwice = true,
                                .bsflag = "0d",
                                .creditFlag = MarginContract::CreditFlag::kBuyToReturn})
                  .text(),
              prefix(4) + "&fundid=010110001234&stkcode=600036&code=600036&bsflag=0d&creditid=0&creditflag=2");
}

TEST(MarginRepayRulesTest, AmountsAndPricesAreDecimalsAboveZero) {
    for (const char* good : {"100", "100.5", ".5", "12.", "0.05", "0.10", "0.5", "01"})
        EXPECT_TRUE(isPositiveDecimalText(good)) << good;
    for (const char* bad : {"", "0", "0.00", ".", "1,000", "1.2.3", "-1", "1 0", "1e3", "１２"})
        EXPECT_FALSE(isPositiveDecimalText(bad)) << bad;
}

TEST(MarginRepayRulesTest, TheSheetListsEachLine) {
    EXPECT_EQ(marginSheetText({{"币种", "人民币"}, {"还款金额", "100"}}),
              "您确定要发送如下信息吗？\n币种：人民币 \n还款金额：100 \n");
    EXPECT_EQ(marginSheetText({}), "您确定要发送如下信息吗？\n");
}

}  // namespace
