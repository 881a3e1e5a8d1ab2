// The simulator writes its numbers without printf; the texts must stay
// printf's to the last digit, halves and signs included.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"

namespace {

std::string printfFixed(double v, int decimals) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace

TEST(SimNumberTextTest, FixedTextsAreWhatPrintfWrites) {
    const double values[] = {0,     -0.0, 0.125,      0.375,   2.675,       1.005, -1.005,  99.995, 1e-7, -1e-7, 12.5,
                             -12.5, 1e15, 123456.789, 3.14159, -999999.999, 1e300, -2.5e-3, 0.5,    1.5,  2.5,   -0.5};
    for (double v : values)
        for (int decimals : {0, 1, 2, 3, 6, 20}) EXPECT_EQ(simFixed(v, decimals), printfFixed(v, decimals)) << v;
    for (int i = -2000; i <= 2000; ++i) {
        double v = i / 8.0 + i * 1e-3;
        EXPECT_EQ(simFixed(v, 2), printfFixed(v, 2)) << v;
    }
}

TEST(SimNumberTextTest, PriceTextsPlaceTheDecimalsOfTheInteger) {
    struct Case {
        int64_t value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {1234, 2, "12.34"}, {5, 2, "0.05"},     {-5, 2, "-0.05"},
        {0, 2, "0.00"},     {0, 0, "0"},        {-1234, 0, "-1234"},
        {100, 3, "0.100"},  {7, 9, "0.000007"}, {-9223372036854775807LL, 2, "-92233720368547758.07"},
    };
    for (const Case& c : cases) EXPECT_EQ(SimMarket::priceText(c.value, c.decimals), c.text) << c.value;
}
