// The server's indicators: each against values worked out by hand on a few
// bars, or against a plain second computation of its textbook formula.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/SimIndicators.h"

namespace {

using SimIndicators::Series;

std::vector<SimOHLC> wave(int n) {
    std::vector<SimOHLC> bars;
    for (int i = 0; i < n; ++i) {
        double c = 10 + std::sin(i / 3.0) + 0.3 * std::cos(i * 1.7);
        double o = 10 + std::sin((i - 1) / 3.0);
        bars.push_back({o, std::max(o, c) + 0.2 + 0.05 * (i % 3), std::min(o, c) - 0.15, c});
    }
    return bars;
}

void expectNear(const Series& got, const std::vector<std::optional<double>>& want, double tolerance, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " at " << i;
        if (want[i]) {
            EXPECT_NEAR(*got[i], *want[i], tolerance) << what << " at " << i;
        }
    }
}

// The textbook exponential mean: e += 2 / (n + 1) * (x - e).
std::vector<double> alphaEma(const std::vector<double>& x, int n) {
    std::vector<double> e{x[0]};
    for (size_t i = 1; i < x.size(); ++i) e.push_back(e.back() + 2.0 / (n + 1) * (x[i] - e.back()));
    return e;
}

}  // namespace

TEST(SimIndicators, MeansByHand) {
    expectNear(SimIndicators::movingAverage({1, 2, 3, 4, 5}, 3), {std::nullopt, std::nullopt, 2, 3, 4}, 1e-12, "MA3");
    auto e = SimIndicators::ema({10, 11}, 12);
    EXPECT_NEAR(e[1], 132.0 / 13, 1e-12);
}

TEST(SimIndicators, MacdIsTwiceTheGapOfTheFastLineToItsMean) {
    auto bars = wave(80);
    std::vector<double> c;
    for (const auto& b : bars) c.push_back(b.close);
    auto fast = alphaEma(c, 12), slow = alphaEma(c, 26);
    std::vector<double> dif;
    for (size_t i = 0; i < c.size(); ++i) dif.push_back(fast[i] - slow[i]);
    auto dea = alphaEma(dif, 9);
    std::vector<std::optional<double>> bar, deaW, difW;
    for (size_t i = 0; i < c.size(); ++i) {
        bar.push_back(2 * (dif[i] - dea[i]));
        deaW.push_back(dea[i]);
        difW.push_back(dif[i]);
    }
    auto got = SimIndicators::compute("MACD", bars);
    ASSERT_EQ(got.size(), 3u);
    expectNear(got[0], bar, 1e-9, "MACD bar");
    expectNear(got[1], deaW, 1e-9, "DEA");
    expectNear(got[2], difW, 1e-9, "DIF");
}

TEST(SimIndicators, KdjAndRsiByHand) {
    std::vector<SimOHLC> bars{{9, 10, 8, 9}, {10, 11, 9, 10.5}, {10.5, 12, 10, 10}};
    auto kdj = SimIndicators::compute("KDJ", bars);
    // RSV 50, 83.33, 50 over the lows and highs so far, from K = D = 50.
    expectNear(kdj[0], {50, 550.0 / 9, 1550.0 / 27}, 1e-9, "K");
    expectNear(kdj[1], {50, 1450.0 / 27, 4450.0 / 81}, 1e-9, "D");
    expectNear(kdj[2], {50, 3 * 550.0 / 9 - 2 * 1450.0 / 27, 3 * 1550.0 / 27 - 2 * 4450.0 / 81}, 1e-9, "J");

    std::vector<SimOHLC> closes{{0, 0, 0, 10}, {0, 0, 0, 11}, {0, 0, 0, 10.5}, {0, 0, 0, 12}};
    auto rsi = SimIndicators::compute("RSI", closes);
    ASSERT_EQ(rsi.size(), 3u);
    // Gains 1, 0, 1.5 of moves 1, 0.5, 1.5 in Wilder's six-bar mean.
    double up2 = 5.0 / 6, all2 = 5.5 / 6, up3 = (1.5 + 5 * up2) / 6, all3 = (1.5 + 5 * all2) / 6;
    expectNear(rsi[0], {std::nullopt, 100, up2 / all2 * 100, up3 / all3 * 100}, 1e-9, "RSI6");
    // No move at all: no value.
    EXPECT_FALSE(SimIndicators::compute("RSI", {{0, 0, 0, 10}, {0, 0, 0, 10}})[0][1]);
}

TEST(SimIndicators, WilliamsBollingerDmaAroonAndCciFollowTheirFormulas) {
    auto bars = wave(90);
    auto hh = [&](size_t i, int n) {
        double h = -1e9;
        for (size_t k = i + 1 - n; k <= i; ++k) h = std::max(h, bars[k].high);
        return h;
    };
    auto ll = [&](size_t i, int n) {
        double l = 1e9;
        for (size_t k = i + 1 - n; k <= i; ++k) l = std::min(l, bars[k].low);
        return l;
    };
    auto mean = [&](const std::vector<double>& v, size_t i, int n) {
        double s = 0;
        for (size_t k = i + 1 - n; k <= i; ++k) s += v[k];
        return s / n;
    };
    std::vector<double> c, tp;
    for (const auto& b : bars) {
        c.push_back(b.close);
        tp.push_back((b.high + b.low + b.close) / 3);
    }
    std::vector<std::optional<double>> wr10, mid, upper, lower, ddd, ama, up, down, cci;
    for (size_t i = 0; i < bars.size(); ++i) {
        wr10.push_back(i >= 9 ? std::optional<double>((hh(i, 10) - c[i]) / (hh(i, 10) - ll(i, 10)) * 100)
                              : std::nullopt);
        if (i >= 19) {
            double m = mean(c, i, 20), ss = 0;
            for (size_t k = i - 19; k <= i; ++k) ss += (c[k] - m) * (c[k] - m);
            mid.push_back(m);
            upper.push_back(m + 2 * std::sqrt(ss / 19));
            lower.push_back(m - 2 * std::sqrt(ss / 19));
        } else {
            mid.push_back(std::nullopt);
            upper.push_back(std::nullopt);
            lower.push_back(std::nullopt);
        }
        ddd.push_back(i >= 49 ? std::optional<double>(mean(c, i, 10) - mean(c, i, 50)) : std::nullopt);
        if (i >= 58) {
            double s = 0;
            for (size_t k = i - 9; k <= i; ++k) s += *ddd[k];
            ama.push_back(s / 10);
        } else {
            ama.push_back(std::nullopt);
        }
        if (i >= 25) {
            size_t hi = i - 25, lo = i - 25;
            for (size_t k = i - 25; k <= i; ++k) {
                if (bars[k].high >= bars[hi].high) hi = k;
                if (bars[k].low <= bars[lo].low) lo = k;
            }
            up.push_back((25.0 - double(i - hi)) * 4);
            down.push_back((25.0 - double(i - lo)) * 4);
        } else {
            up.push_back(std::nullopt);
            down.push_back(std::nullopt);
        }
        if (i >= 13) {
            double m = mean(tp, i, 14), md = 0;
            for (size_t k = i - 13; k <= i; ++k) md += std::fabs(tp[k] - m);
            cci.push_back((tp[i] - m) / (0.015 * md / 14));
        } else {
            cci.push_back(std::nullopt);
        }
    }
    expectNear(SimIndicators::compute("WR", bars)[0], wr10, 1e-9, "WR10");
    auto boll = SimIndicators::compute("BOLL", bars);
    expectNear(boll[0], mid, 1e-9, "BOLL mid");
    expectNear(boll[1], upper, 1e-9, "BOLL upper");
    expectNear(boll[2], lower, 1e-9, "BOLL lower");
    auto dma = SimIndicators::compute("DMA", bars);
    expectNear(dma[0], ddd, 1e-9, "DDD");
    expectNear(dma[1], ama, 1e-9, "AMA");
    auto aroon = SimIndicators::compute("AROON", bars);
    expectNear(aroon[0], up, 1e-9, "AROON up");
    expectNear(aroon[1], down, 1e-9, "AROON down");
    expectNear(SimIndicators::compute("CCI", bars)[0], cci, 1e-9, "CCI");
}

TEST(SimIndicators, SarByHand) {
    // Up from the second bar, the extreme point rising twice, then a fall through the stop.
    std::vector<SimOHLC> bars{
        {9.5, 10, 9, 9.5}, {9.5, 10.5, 9.5, 10}, {10, 11, 10, 10.8}, {10.8, 11.5, 10.5, 11.2}, {11.2, 10.8, 8.9, 9.0}};
    auto sar = SimIndicators::compute("SAR", bars);
    ASSERT_EQ(sar.size(), 1u);
    expectNear(sar[0], {std::nullopt, 9, 9, 9.08, 11.5}, 1e-9, "SAR");
    EXPECT_TRUE(SimIndicators::compute("", bars).empty());
    EXPECT_TRUE(SimIndicators::compute("XYZ", bars).empty());
    EXPECT_EQ(SimIndicators::decimals("MACD", 2), 3);
    EXPECT_EQ(SimIndicators::decimals("SAR", 3), 3);
    EXPECT_EQ(SimIndicators::decimals("KDJ", 3), 2);
}
