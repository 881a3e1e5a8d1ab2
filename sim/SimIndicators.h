#pragma once
// The technical indicators of the K-line function, computed on the server
// from a bar series (oldest first) as customers of these markets know them
// (the conventions of the common Chinese quote terminals):
//
//   MA(n)     the mean of the last n closes; none for the first n - 1 bars.
//   EMA(x, n) = (2 x + (n - 1) EMA') / (n + 1), starting at the first x.
//   SMA(x, n) = (x + (n - 1) SMA') / n, starting at the first x (Wilder's mean).
//   MACD      DIF = EMA(C, 12) - EMA(C, 26); DEA = EMA(DIF, 9); the bar is
//             2 x (DIF - DEA). Columns: bar, DEA, DIF.
//   KDJ       RSV = (C - LLV(L, 9)) / (HHV(H, 9) - LLV(L, 9)) x 100 (50 when
//             the nine bars are flat); K = (2 K' + RSV) / 3, D = (2 D' + K) / 3,
//             both starting from 50; J = 3 K - 2 D. Columns: K, D, J.
//   RSI(n)    SMA(max(C - C', 0), n) / SMA(|C - C'|, n) x 100 from the second
//             bar on (none when both means are 0). Columns: 6, 12, 24.
//   WR(n)     (HHV(H, n) - C) / (HHV(H, n) - LLV(L, n)) x 100; none for the
//             first n - 1 bars and for flat ones. Columns: 10, 6.
//   BOLL      middle MA(C, 20), upper and lower 2 sample standard deviations
//             (n - 1) of the last 20 closes away. Columns: middle, upper, lower.
//   DMA       DDD = MA(C, 10) - MA(C, 50); AMA = MA(DDD, 10). Columns: DDD, AMA.
//   AROON(25) over the last 26 bars: up = (25 - bars since the highest high)
//             / 25 x 100, down the same with the lowest low (the latest of equal
//             extremes counts). Columns: up, down.
//   CCI(14)   TP = (H + L + C) / 3; (TP - MA(TP, 14)) / (0.015 x the mean
//             absolute deviation of the 14 TP); none while that deviation is 0.
//   SAR       Wilder's parabolic stop and reverse, step 0.02 up to 0.2: it starts
//             on the second bar, below the first two lows when the second close
//             is not lower than the first (above the highs otherwise).
// A value that is not defined is std::nullopt (the reply sends no value).
#include <optional>
#include <string>
#include <vector>

struct SimOHLC {
    double open = 0, high = 0, low = 0, close = 0;
};

namespace SimIndicators {

using Series = std::vector<std::optional<double>>;

// The columns of an indicator by its name ("MACD" ...); none for volume ("")
// or an unknown name.
std::vector<Series> compute(const std::string& name, const std::vector<SimOHLC>& bars);
// The decimals the indicator's columns are sent with, for prices of `priceDecimals`.
int decimals(const std::string& name, int priceDecimals);
// Bars needed before the first one sent for the values to settle.
constexpr int kWarmUp = 120;

Series movingAverage(const std::vector<double>& values, int n);
std::vector<double> ema(const std::vector<double>& values, int n);

}  // namespace SimIndicators
