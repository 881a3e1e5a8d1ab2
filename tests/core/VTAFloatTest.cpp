#include <gtest/gtest.h>

#include <climits>

#include "core/VTAFloat.h"

TEST(VTAFloatTest, PackedFormDecodesValueAndUnit) {
    auto f = VTAFloat::VTAFloatWithLong(1234 * 4 + 2);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->value(), 1234);
    EXPECT_EQ(f->unit(), 2);
    EXPECT_EQ(f->toString(), "12.34");

    // Negative changes decode with an arithmetic shift.
    auto neg = VTAFloat::VTAFloatWithLong(-5 * 4 + 2);
    ASSERT_TRUE(neg);
    EXPECT_EQ(neg->value(), -5);
    EXPECT_EQ(neg->unit(), 2);
    EXPECT_EQ(neg->toString(), "-0.05");

    // The limit of "no value".
    EXPECT_TRUE(VTAFloat::VTAFloatWithLong(999999998));
    EXPECT_FALSE(VTAFloat::VTAFloatWithLong(999999999));
    EXPECT_FALSE(VTAFloat::VTAFloatWithLong(2000000000));

    EXPECT_EQ(VTAFloat(1234, 2).toLong(), 1234 * 4 + 2);
    EXPECT_EQ(VTAFloat(-5, 2).toLong(), -18);
    EXPECT_FALSE(VTAFloat(1, 4).toLong());          // the packed form holds units 0..3
    EXPECT_FALSE(VTAFloat(250000000, 0).toLong());  // would read as "no value"
}

TEST(VTAFloatTest, TextsKeepTheDecimalsAndTheSign) {
    EXPECT_EQ(VTAFloat(0, 0).toString(), "0");
    EXPECT_EQ(VTAFloat(1234, 0).toString(), "1234");
    EXPECT_EQ(VTAFloat(1230, 2).toString(), "12.30");
    EXPECT_EQ(VTAFloat(5, 3).toString(), "0.005");
    EXPECT_EQ(VTAFloat(-1234, 2).toString(), "-12.34");
    EXPECT_EQ(VTAFloat(-5, 1).toString(), "-0.5");
    EXPECT_EQ(VTAFloat(0, 2).toString(), "0.00");
    EXPECT_EQ(VTAFloat(INT64_MIN, 0).toString(), "-9223372036854775808");

    EXPECT_EQ(VTAFloat(1234, 0).toMoney(), "1234");
    EXPECT_EQ(VTAFloat(12345, 1).toMoney(), "1234.5万");
    EXPECT_EQ(VTAFloat(12345, 2).toMoney(), "123.45亿");
    EXPECT_EQ(VTAFloat(12345, 3).toMoney(), "12.345万亿");
    EXPECT_EQ(VTAFloat(12345, 4).toMoney(), "1.2345亿亿");
    EXPECT_EQ(VTAFloat(-12345, 1).toMoney(), "-1234.5万");
}

TEST(VTAFloatTest, FloatAndRealValue) {
    EXPECT_FLOAT_EQ(VTAFloat(1234, 2).toFloat(), 12.34f);
    EXPECT_FLOAT_EQ(VTAFloat(-5, 1).toFloat(), -0.5f);
    EXPECT_DOUBLE_EQ(VTAFloat(1234, 0).realValue(), 1234.0);
    EXPECT_DOUBLE_EQ(VTAFloat(12345, 1).realValue(), 12345000.0);     // 1234.5万
    EXPECT_DOUBLE_EQ(VTAFloat(12345, 2).realValue(), 12345000000.0);  // 123.45亿
    EXPECT_DOUBLE_EQ(VTAFloat(12345, 3).realValue(), 12345e9);        // 12.345万亿
    // Double precision: a volume beyond the 24-bit mantissa of a float stays exact.
    EXPECT_DOUBLE_EQ(VTAFloat(16777217, 0).realValue(), 16777217.0);
}

TEST(VTAFloatTest, DecimalTextParsing) {
    auto f = VTAFloat::VTAFloatWithString(" -12.340 ");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->value(), -12340);
    EXPECT_EQ(f->unit(), 3);
    EXPECT_EQ(VTAFloat::VTAFloatWithString("7"), VTAFloat(7, 0));
    EXPECT_EQ(VTAFloat::VTAFloatWithString(".5"), VTAFloat(5, 1));
    for (const char* bad : {"", " ", "--", "-", ".", "1.2.3", "1e5", "12a", "99999999999999999999"})
        EXPECT_FALSE(VTAFloat::VTAFloatWithString(bad)) << bad;
}

TEST(VTAFloatTest, AddAndSubRescaleTheSecondOperandToTheFirstsDecimals) {
    // 12.30 + 0.5 = 12.80, not 12.35 (adding raw values of different units).
    EXPECT_EQ(addVTAFloat(VTAFloat(1230, 2), VTAFloat(5, 1)), VTAFloat(1280, 2));
    // 12.3 + 0.05: b rounds to 0.1 at one decimal.
    EXPECT_EQ(addVTAFloat(VTAFloat(123, 1), VTAFloat(5, 2)), VTAFloat(124, 1));
    EXPECT_EQ(addVTAFloat(VTAFloat(123, 1), VTAFloat(4, 2)), VTAFloat(123, 1));
    EXPECT_EQ(subVTAFloat(VTAFloat(1000, 2), VTAFloat(25, 1)), VTAFloat(750, 2));
    EXPECT_EQ(subVTAFloat(VTAFloat(1, 0), VTAFloat(-15, 1)), VTAFloat(3, 0));  // 1 + 1.5 rounds half away
    EXPECT_EQ(subVTAFloat(VTAFloat(100, 2), VTAFloat(300, 2)), VTAFloat(-200, 2));
    // A missing operand gives no value.
    EXPECT_FALSE(addVTAFloat(VTAFloat(1, 0), std::nullopt));
    EXPECT_FALSE(subVTAFloat(std::nullopt, VTAFloat(1, 0)));
    // Saturates instead of wrapping around.
    EXPECT_EQ(addVTAFloat(VTAFloat(INT64_MAX, 0), VTAFloat(1, 0))->value(), INT64_MAX);
}

TEST(VTAFloatTest, DivAbsMax) {
    EXPECT_EQ(divVTAFloat(VTAFloat(1234, 2), 500), VTAFloat(2, 2));  // integer division, decimals kept
    EXPECT_EQ(divVTAFloat(VTAFloat(-1234, 2), 500), VTAFloat(-2, 2));
    EXPECT_FALSE(divVTAFloat(VTAFloat(1234, 2), 0));
    EXPECT_EQ(divVTAFloat(VTAFloat(INT64_MIN, 0), -1)->value(), INT64_MAX);

    EXPECT_EQ(absVTAFloat(VTAFloat(-1234, 2)), VTAFloat(1234, 2));
    EXPECT_EQ(absVTAFloat(VTAFloat(INT64_MIN, 0))->value(), INT64_MAX);
    EXPECT_FALSE(absVTAFloat(std::nullopt));

    // The first when equal (12.3 and 12.30 are equal, the first keeps its unit).
    EXPECT_EQ(maxVTAFloat(VTAFloat(123, 1), VTAFloat(1230, 2)), VTAFloat(123, 1));
    EXPECT_EQ(maxVTAFloat(VTAFloat(123, 1), VTAFloat(1231, 2)), VTAFloat(1231, 2));
    EXPECT_EQ(maxVTAFloat(std::nullopt, VTAFloat(1, 0)), VTAFloat(1, 0));
}

TEST(VTAFloatTest, CompareIsExactAcrossUnitsAndForLargeValues) {
    EXPECT_EQ(compareVTAFloat(VTAFloat(1230, 2), VTAFloat(123, 1)), 0);
    EXPECT_EQ(compareVTAFloat(VTAFloat(1231, 2), VTAFloat(123, 1)), 1);
    EXPECT_EQ(compareVTAFloat(VTAFloat(-1, 3), VTAFloat(0, 0)), -1);
    // Single precision would call these equal (24-bit mantissa).
    EXPECT_EQ(compareVTAFloat(VTAFloat(16777217, 0), VTAFloat(16777216, 0)), 1);
    EXPECT_EQ(compareVTAFloat(VTAFloat(123456789012345, 2), VTAFloat(123456789012346, 2)), -1);
    // Extreme values rescaled far do not overflow.
    EXPECT_EQ(compareVTAFloat(VTAFloat(INT64_MAX, 0), VTAFloat(INT64_MAX, 18)), 1);
    EXPECT_EQ(compareVTAFloat(VTAFloat(INT64_MIN, 0), VTAFloat(INT64_MIN, 18)), -1);
}
