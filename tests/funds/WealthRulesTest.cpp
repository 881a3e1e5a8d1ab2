// The typed-number rules of the bond, exchange-fund and wealth-plan screens:
// what passes and what each refusal says.
#include <gtest/gtest.h>

#include "funds/WealthRules.h"

namespace {

TEST(WealthRulesTest, PlanAmountsMustBeWholeThousandsAboveZero) {
    for (const char* ok : {"1000", "5000", "20000", "1000.00", "01000"}) EXPECT_EQ(planAmountRefusal(ok), "") << ok;
    for (const char* bad : {"1500", "999", "0", "0000", "1000.5", "100", "000.0"})
        EXPECT_EQ(planAmountRefusal(bad), "输入金额的金额必须为1000的整数倍") << bad;
    EXPECT_EQ(planAmountRefusal(""), "请输入金额");
    for (const char* bad : {"abc", "1.0.0", "1000&x=1", "-1000", " 1000"})
        EXPECT_EQ(planAmountRefusal(bad), "请输入正确的金额") << bad;
}

TEST(WealthRulesTest, QuantitiesAndPricesAreDigitsWithAtMostOnePoint) {
    for (const char* ok : {"12", "12.", ".5", "12.50"}) EXPECT_TRUE(isPlainDecimal(ok)) << ok;
    for (const char* bad : {"", ".", "1.2.3", "1a", "+1", "-1", "1 "}) EXPECT_FALSE(isPlainDecimal(bad)) << bad;
    EXPECT_TRUE(isPositiveDecimal("0.01"));
    EXPECT_FALSE(isPositiveDecimal("0.00"));
    EXPECT_TRUE(isPositiveWhole("10"));
    for (const char* bad : {"0", "00", "1.5", "", "1&"}) EXPECT_FALSE(isPositiveWhole(bad)) << bad;
}

}  // namespace
