// The rules of the quoted-repo and plan screens apart from their views: the
// repo amount's exact quantity, the plans' pay days and texts, and a plan
// read from the plan list.
#include <gtest/gtest.h>

#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "funds/PlanRules.h"
#include "funds/RepoRules.h"

namespace {

TEST(RepoRulesTest, AnAmountBecomesItsExactQuantityInHundredsOfYuan) {
    EXPECT_EQ(repoQuantityOfAmount("10000"), "100.00");
    EXPECT_EQ(repoQuantityOfAmount("12345"), "123.45");
    EXPECT_EQ(repoQuantityOfAmount("100"), "1.00");
    EXPECT_EQ(repoQuantityOfAmount("150"), "1.50");
    EXPECT_EQ(repoQuantityOfAmount("10.0"), "0.10");
    EXPECT_EQ(repoQuantityOfAmount(" 2000 "), "20.00");
    // Single precision would have made this 167772.16.
    EXPECT_EQ(repoQuantityOfAmount("16777217"), "167772.17");
    EXPECT_EQ(repoQuantityOfAmount("9999999999999"), "99999999999.99");
}

TEST(RepoRulesTest, AmountsOutsideThePatternOrNeedingRoundingAreRefused) {
    for (const char* amount :
         {"", "0", "00", "012", "0.05", "1.2.3", "1 0", "abc", "-5", "5&x=1", "1.05", "0.5", "100.001", "10.01"}) {
        SCOPED_TRACE(amount);
        EXPECT_EQ(repoQuantityOfAmount(amount), std::nullopt);
    }
}

TEST(RepoRulesTest, TheSheetsListTheOrderLineByLine) {
    EXPECT_EQ(repoBuySummary("澄穗通7天(205001)", "10000"),
              "请仔细确认以下信息:\n交易类型：买入（澄穗通）\n证券名称：澄穗通7天(205001)\n委托金额：10000");
    EXPECT_EQ(
        repoEndSummary("澄穗通14天", "205002", "50.00"),
        "请确认以下信息:\n交易类型:提前终止（澄穗通）\n证券名称：澄穗通14天\n证券代码：205002\n委托数量：50.00\n");
}

TEST(PlanRulesTest, PayDaysHaveTheirNamesAndThePickersOfferTheirRows) {
    EXPECT_EQ(planPayDayTitle(true, 1), "星期一");
    EXPECT_EQ(planPayDayTitle(true, 6), "星期六");
    EXPECT_EQ(planPayDayTitle(true, 7), "星期日");
    EXPECT_EQ(planPayDayTitle(true, 8), "");
    EXPECT_EQ(planPayDayTitle(false, 15), "15号");
    const auto weekly = planPayDayTitles(true);
    EXPECT_EQ(weekly, (std::vector<std::string>{"星期一", "星期二", "星期三", "星期四", "星期五"}));
    const auto monthly = planPayDayTitles(false);
    ASSERT_EQ(monthly.size(), 28u);
    EXPECT_EQ(monthly.front(), "1号");
    EXPECT_EQ(monthly.back(), "28号");
}

TEST(PlanRulesTest, AmountsAreDigitsWithAtMostOnePoint) {
    for (const char* good : {"12.", ".5", "100"}) EXPECT_EQ(investAmountRefusal(good), "") << good;
    for (const char* bad : {"", "1.2.3", "-5", "abc", " 5"})
        EXPECT_EQ(investAmountRefusal(bad), "请输入正确的金额") << bad;
}

TEST(PlanRulesTest, APlanReadsFromTheListAndTheSummaryShowsIt) {
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("ofcode", TCRSFieldType::VarText)
                     .addField("ofname", TCRSFieldType::VarText)
                     .addField("nav", TCRSFieldType::VarText)
                     .addField("orderamt", TCRSFieldType::VarText)
                     .addField("tacode", TCRSFieldType::VarText)
                     .addField("actionmode", TCRSFieldType::VarText)
                     .addField("sendday", TCRSFieldType::VarText)
                     .addField("begindate", TCRSFieldType::VarText)
                     .addField("enddate", TCRSFieldType::VarText)
                     .addRecord({"270003", "恒岳增利债券", "1.0872", "500.00", "01", "1", "6", "20240204", "x"})
                     .bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets && !sets->empty());
    (*sets)[0]->fetchFirst();
    const IFIFundInfo plan = IFIFundInfo::fromRecord(*(*sets)[0]);
    EXPECT_EQ(plan.fundSymbol, "270003");
    EXPECT_EQ(plan.fundCompanyCode, "01");
    EXPECT_TRUE(plan.weekly());
    EXPECT_EQ(plan.payDate, 6);
    EXPECT_EQ(plan.startDate, "20240204");
    EXPECT_EQ(plan.endDate, "0") << "a date that does not read";
    EXPECT_EQ(planCloseSummary(plan),
              "交易确认\n操作类型:终止智能定投\n基金名称:恒岳增利债券\n基金代码:270003\n定投金额:500.00\n");

    PlanOrder order{"01", "270003", "恒岳增利债券", "800", "20240204", "20250104", true, 6};
    EXPECT_EQ(planSummary("修改智能定投", order),
              "交易确认\n操作类型:修改智能定投\n基金名称:恒岳增利债券\n基金代码:270003\n定投金额:800\n"
              "开始日期:20240204\n结束日期:20250104\n扣款周期:按周\n扣款日:6\n");
    const std::string text = planModifyRequest(order).text();
    EXPECT_NE(text.find("&sendday=6"), std::string::npos) << text;
    EXPECT_EQ(text.find("chkriskflag"), std::string::npos) << text;
}

}  // namespace
