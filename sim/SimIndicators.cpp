#include "sim/SimIndicators.h"

#include <algorithm>
#include <cmath>

#include "core/contracts/QuoteContract.h"

namespace SimIndicators {

namespace {

namespace Tech = QuoteContract::Tech;

std::vector<double> closes(const std::vector<SimOHLC>& bars) {
    std::vector<double> out;
    for (const auto& b : bars) out.push_back(b.close);
    return out;
}

// The highest high and lowest low of the n bars ending at i.
double highest(const std::vector<SimOHLC>& bars, size_t i, int n) {
    double h = bars[i].high;
    for (size_t k = i + 1 - std::min<size_t>(i + 1, n); k <= i; ++k) h = std::max(h, bars[k].high);
    return h;
}
double lowest(const std::vector<SimOHLC>& bars, size_t i, int n) {
    double l = bars[i].low;
    for (size_t k = i + 1 - std::min<size_t>(i + 1, n); k <= i; ++k) l = std::min(l, bars[k].low);
    return l;
}

std::vector<Series> macd(const std::vector<SimOHLC>& bars) {
    auto c = closes(bars);
    auto fast = ema(c, 12), slow = ema(c, 26);
    std::vector<double> dif(c.size());
    for (size_t i = 0; i < c.size(); ++i) dif[i] = fast[i] - slow[i];
    auto dea = ema(dif, 9);
    Series bar, deaS, difS;
    for (size_t i = 0; i < c.size(); ++i) {
        bar.push_back(2 * (dif[i] - dea[i]));
        deaS.push_back(dea[i]);
        difS.push_back(dif[i]);
    }
    return {bar, deaS, difS};
}

std::vector<Series> kdj(const std::vector<SimOHLC>& bars) {
    Series k, d, j;
    double kp = 50, dp = 50;
    for (size_t i = 0; i < bars.size(); ++i) {
        double h = highest(bars, i, 9), l = lowest(bars, i, 9);
        double rsv = h > l ? (bars[i].close - l) / (h - l) * 100 : 50;
        kp = (2 * kp + rsv) / 3;
        dp = (2 * dp + kp) / 3;
        k.push_back(kp);
        d.push_back(dp);
        j.push_back(3 * kp - 2 * dp);
    }
    return {k, d, j};
}

Series rsi(const std::vector<SimOHLC>& bars, int n) {
    Series out;
    double up = 0, all = 0;
    for (size_t i = 0; i < bars.size(); ++i) {
        if (i == 0) {
            out.push_back(std::nullopt);
            continue;
        }
        double change = bars[i].close - bars[i - 1].close;
        double gain = std::max(change, 0.0), move = std::fabs(change);
        if (i == 1) {
            up = gain;
            all = move;
        } else {
            up = (gain + (n - 1) * up) / n;
            all = (move + (n - 1) * all) / n;
        }
        out.push_back(all > 0 ? std::optional<double>(up / all * 100) : std::nullopt);
    }
    return out;
}

Series wr(const std::vector<SimOHLC>& bars, int n) {
    Series out;
    for (size_t i = 0; i < bars.size(); ++i) {
        double h = highest(bars, i, n), l = lowest(bars, i, n);
        if (i + 1 < static_cast<size_t>(n) || h <= l)
            out.push_back(std::nullopt);
        else
            out.push_back((h - bars[i].close) / (h - l) * 100);
    }
    return out;
}

std::vector<Series> boll(const std::vector<SimOHLC>& bars) {
    auto c = closes(bars);
    auto mid = movingAverage(c, 20);
    Series upper, lower;
    for (size_t i = 0; i < c.size(); ++i) {
        if (!mid[i]) {
            upper.push_back(std::nullopt);
            lower.push_back(std::nullopt);
            continue;
        }
        double sum = 0;
        for (size_t k = i - 19; k <= i; ++k) sum += (c[k] - *mid[i]) * (c[k] - *mid[i]);
        double sd = std::sqrt(sum / 19);
        upper.push_back(*mid[i] + 2 * sd);
        lower.push_back(*mid[i] - 2 * sd);
    }
    return {mid, upper, lower};
}

std::vector<Series> dma(const std::vector<SimOHLC>& bars) {
    auto c = closes(bars);
    auto shortMa = movingAverage(c, 10), longMa = movingAverage(c, 50);
    Series ddd;
    std::vector<double> known;
    size_t firstKnown = c.size();
    for (size_t i = 0; i < c.size(); ++i) {
        if (shortMa[i] && longMa[i]) {
            ddd.push_back(*shortMa[i] - *longMa[i]);
            if (firstKnown == c.size()) firstKnown = i;
            known.push_back(*ddd.back());
        } else {
            ddd.push_back(std::nullopt);
        }
    }
    auto amaKnown = movingAverage(known, 10);
    Series ama(c.size());
    for (size_t k = 0; k < amaKnown.size(); ++k) ama[firstKnown + k] = amaKnown[k];
    return {ddd, ama};
}

std::vector<Series> aroon(const std::vector<SimOHLC>& bars) {
    const int n = 25;
    Series up, down;
    for (size_t i = 0; i < bars.size(); ++i) {
        if (i < static_cast<size_t>(n)) {
            up.push_back(std::nullopt);
            down.push_back(std::nullopt);
            continue;
        }
        size_t hi = i - n, lo = i - n;
        for (size_t k = i - n; k <= i; ++k) {
            if (bars[k].high >= bars[hi].high) hi = k;
            if (bars[k].low <= bars[lo].low) lo = k;
        }
        up.push_back(100.0 * (n - double(i - hi)) / n);
        down.push_back(100.0 * (n - double(i - lo)) / n);
    }
    return {up, down};
}

Series cci(const std::vector<SimOHLC>& bars) {
    const int n = 14;
    std::vector<double> tp;
    for (const auto& b : bars) tp.push_back((b.high + b.low + b.close) / 3);
    auto ma = movingAverage(tp, n);
    Series out;
    for (size_t i = 0; i < tp.size(); ++i) {
        if (!ma[i]) {
            out.push_back(std::nullopt);
            continue;
        }
        double md = 0;
        for (size_t k = i + 1 - n; k <= i; ++k) md += std::fabs(tp[k] - *ma[i]);
        md /= n;
        out.push_back(md > 0 ? std::optional<double>((tp[i] - *ma[i]) / (0.015 * md)) : std::nullopt);
    }
    return out;
}

Series sar(const std::vector<SimOHLC>& bars) {
    const double step = 0.02, most = 0.2;
    Series out(bars.size());
    if (bars.size() < 2) return out;
    bool up = bars[1].close >= bars[0].close;
    double s = up ? std::min(bars[0].low, bars[1].low) : std::max(bars[0].high, bars[1].high);
    double ep = up ? std::max(bars[0].high, bars[1].high) : std::min(bars[0].low, bars[1].low);
    double af = step;
    out[1] = s;
    for (size_t i = 2; i < bars.size(); ++i) {
        double next = s + af * (ep - s);
        if (up) {
            next = std::min({next, bars[i - 1].low, bars[i - 2].low});
            if (bars[i].low < next) {
                up = false;
                next = ep;
                ep = bars[i].low;
                af = step;
            } else if (bars[i].high > ep) {
                ep = bars[i].high;
                af = std::min(af + step, most);
            }
        } else {
            next = std::max({next, bars[i - 1].high, bars[i - 2].high});
            if (bars[i].high > next) {
                up = true;
                next = ep;
                ep = bars[i].high;
                af = step;
            } else if (bars[i].low < ep) {
                ep = bars[i].low;
                af = std::min(af + step, most);
            }
        }
        s = next;
        out[i] = s;
    }
    return out;
}

}  // namespace

Series movingAverage(const std::vector<double>& values, int n) {
    Series out;
    double sum = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        sum += values[i];
        if (i >= static_cast<size_t>(n)) sum -= values[i - n];
        out.push_back(i + 1 >= static_cast<size_t>(n) ? std::optional<double>(sum / n) : std::nullopt);
    }
    return out;
}

std::vector<double> ema(const std::vector<double>& values, int n) {
    std::vector<double> out;
    for (size_t i = 0; i < values.size(); ++i)
        out.push_back(i == 0 ? values[0] : (2 * values[i] + (n - 1) * out.back()) / (n + 1));
    return out;
}

std::vector<Series> compute(const std::string& name, const std::vector<SimOHLC>& bars) {
    if (name == Tech::kMACD) return macd(bars);
    if (name == Tech::kKDJ) return kdj(bars);
    if (name == Tech::kRSI) return {rsi(bars, 6), rsi(bars, 12), rsi(bars, 24)};
    if (name == Tech::kWR) return {wr(bars, 10), wr(bars, 6)};
    if (name == Tech::kBOLL) return boll(bars);
    if (name == Tech::kDMA) return dma(bars);
    if (name == Tech::kAROON) return aroon(bars);
    if (name == Tech::kCCI) return {cci(bars)};
    if (name == Tech::kSAR) return {sar(bars)};
    return {};
}

int decimals(const std::string& name, int priceDecimals) {
    if (name == Tech::kMACD || name == Tech::kDMA) return priceDecimals + 1;
    if (name == Tech::kBOLL || name == Tech::kSAR) return priceDecimals;
    return 2;
}

}  // namespace SimIndicators
