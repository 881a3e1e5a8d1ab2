// 31000/2 K-line of the simulated server.
//
// Request "code" (one id), "type" (QuoteContract::Period: 5, 15, 30 or 60
// minutes, day, week, month; anything else the day), "count" (the latest
// bars, 320 by default, at most 1000), "date" (0: up to the clock; yyyyMMdd:
// up to that day, whole), "techname" (an indicator of QuoteContract::Tech,
// empty for none).
// Reply:
//   set 0 the header: "name", "code", "exchid", "classid", "zjcj", "zrsp",
//     "jrkp", "zgcj", "zdcj";
//   set 1 the bars, oldest first: 0 "da" (yyyyMMdd, the bar's last day;
//     minute periods yyyyMMddHHmm, the bar's last minute), 1 "jrkp",
//     2 "zgcj", 3 "zdcj", 4 "zjcj", 5 "cjsl" (lots), 6 "cjje", 7 "zrsp" (the close
//     of the bar before), 8 "zhd", 9 "zdf", 10 "hsl", 11-13 "ma5", "ma10",
//     "ma30" (means of the closes, rounded to the price's decimals), then the
//     indicator's columns (SimIndicators.h), each indicator in its own decimals.
// The bar in progress ends at the clock: at 10:30 today's bar holds the deals
// up to 10:30, as the quote and the intraday points of that moment do.
#include <algorithm>
#include <cmath>

#include "core/TCRSWriter.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimIndicators.h"
#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace QuoteContract;

struct Bar {
    std::string da;
    SimBar b;
};

// The latest `count` trading days up to `day` (oldest first).
std::vector<int> tradingDays(const SimMarket& market, int day, int count) {
    std::vector<int> days;
    int d = SimMarket::isTradingDay(day) ? day : market.previousTradingDay(day);
    for (int k = 0; k < count && d > 20200101; ++k) {
        days.push_back(d);
        d = market.previousTradingDay(d);
    }
    std::reverse(days.begin(), days.end());
    return days;
}

// The bar of a minute: the opening minute belongs to the first bar.
int stepOf(const SimTradingMinutes& sessions, int hhmm, int period) {
    return std::max(1, (sessions.elapsed(hhmm / 100 * 60 + hhmm % 100) + period - 1) / period);
}

// The mean of the last n closes (in the price's unit), rounded half away from zero.
Value movingAverage(const std::vector<Bar>& bars, size_t i, size_t n, int decimals) {
    if (i + 1 < n) return Value();
    int64_t sum = 0;
    for (size_t k = i + 1 - n; k <= i; ++k) sum += bars[k].b.close;
    int64_t twice = 2 * sum, d = 2 * static_cast<int64_t>(n);
    int64_t mean = sum >= 0 ? (twice + static_cast<int64_t>(n)) / d : -((-twice + static_cast<int64_t>(n)) / d);
    return SimMarket::priceText(mean, decimals);
}

std::vector<Bar> minuteBars(const SimMarket& market, const SimInstrument& s, int day, int lastMinute, int period,
                            int count) {
    SimTradingMinutes sessions(market.sessionMinutes(s.market));
    int perDay = std::max(1, static_cast<int>(market.sessionMinutes(s.market).size()) / period);
    std::vector<Bar> bars;
    int64_t prevClose = -1;
    for (int d : tradingDays(market, day, count / perDay + 2)) {
        bool last = d == day;
        auto points = market.minutePoints(s, d, last ? lastMinute : 1440);
        if (prevClose < 0) prevClose = market.prevClose(s, d);
        size_t from = 0;
        while (from < points.size()) {
            const auto& p = points[from];
            int step = stepOf(sessions, p.hhmm, period);
            size_t to = from + 1;
            while (to < points.size() && stepOf(sessions, points[to].hhmm, period) == step) ++to;
            Bar bar;
            if (SimMarket::barOf(points, from, to, bar.b)) {
                int end = sessions.minuteAt(step * period);
                char da[32];
                std::snprintf(da, sizeof da, "%08d%02d%02d", d, end / 60, end % 60);
                bar.da = da;
                bar.b.prevClose = prevClose;
                prevClose = bar.b.close;
                bars.push_back(bar);
            }
            from = to;
        }
    }
    if (bars.size() > static_cast<size_t>(count)) bars.erase(bars.begin(), bars.end() - count);
    return bars;
}

// Daily bars grouped by calendar week (Monday to Friday) or month.
std::vector<Bar> groupedBars(const std::vector<SimBar>& days, bool byWeek) {
    std::vector<Bar> bars;
    long group = -1;
    for (const auto& d : days) {
        long key = byWeek ? (SimClock::dayNumber(d.date) + 3) / 7 : d.date / 100;  // day 0 is a Thursday
        if (key != group || bars.empty()) {
            bars.push_back({std::to_string(d.date), d});
            group = key;
            continue;
        }
        SimBar& b = bars.back().b;
        b.high = std::max(b.high, d.high);
        b.low = std::min(b.low, d.low);
        b.close = d.close;
        b.volume += d.volume;
        b.amount += d.amount;
        bars.back().da = std::to_string(d.date);
    }
    return bars;
}

Value price(double v, int decimals) {
    double scaled = std::round(v * std::pow(10.0, decimals));
    return SimMarket::priceText(static_cast<int64_t>(scaled), decimals);
}

}  // namespace

std::vector<uint8_t> klineReply(SimCall& c) {
    const auto& market = c.server.market();
    const SimInstrument* s = market.findId(c.request.value(Key::kCode));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    int count = static_cast<int>(std::clamp<long long>(c.request.intValue(Key::kCount, 320), 1, 1000));
    int type = static_cast<int>(c.request.intValue(Key::kType, Period::kDay));
    std::string tech = c.request.value(Key::kTechName);
    const long long date = c.request.intValue(Key::kDate, 0);
    const auto asked = SimClock::validDate(date);
    if (date != 0 && !asked) return simErrorSet(-1, "日期格式错误");
    SimClock::Local now = SimClock::local(c.now);
    int day = asked ? *asked : now.yyyymmdd();
    int lastMinute = asked ? 1440 : now.minuteOfDay();
    const int need = count + SimIndicators::kWarmUp;

    std::vector<Bar> bars;
    static const int kMinutes[] = {0, 5, 15, 30, 60};
    if (type >= Period::k5Minutes && type <= Period::k60Minutes) {
        bars = minuteBars(market, *s, day, lastMinute, kMinutes[type], need);
    } else if (type == Period::kWeek || type == Period::kMonth) {
        int days = std::min(need * (type == Period::kWeek ? 5 : 23), 2000);
        bars = groupedBars(market.dailyBars(*s, day, days, lastMinute), type == Period::kWeek);
        for (size_t i = 1; i < bars.size(); ++i) bars[i].b.prevClose = bars[i - 1].b.close;
    } else {
        for (const auto& b : market.dailyBars(*s, day, need, lastMinute)) bars.push_back({std::to_string(b.date), b});
    }
    if (bars.size() > static_cast<size_t>(need)) bars.erase(bars.begin(), bars.end() - need);

    std::vector<const SimQuoteColumn*> cols;
    for (int n : {Field::kName, Field::kCode, Field::kMarket, Field::kClass, Field::kLast, Field::kPrevClose,
                  Field::kOpen, Field::kHigh, Field::kLow})
        cols.push_back(simColumnByNumber(n));
    TCRSWriter w;
    simQuoteSet(w, cols, {s}, market, date > 19900101 ? SimClock::fromLocal(day, 1439) : c.now);
    w.beginSet()
        .addField(Col::kDate, TCRSFieldType::VarText, 0, "日期")
        .addField(Col::kOpen, TCRSFieldType::Packed, 0, "开盘")
        .addField(Col::kHigh, TCRSFieldType::Packed, 0, "最高")
        .addField(Col::kLow, TCRSFieldType::Packed, 0, "最低")
        .addField(Col::kLast, TCRSFieldType::Packed, 0, "收盘")
        .addField(Col::kVolume, TCRSFieldType::Packed, 0, "成交量")
        .addField(Col::kAmount, TCRSFieldType::Packed, 0, "成交额")
        .addField(Col::kPrevClose, TCRSFieldType::Packed, 0, "昨收")
        .addField(Col::kChange, TCRSFieldType::Packed, 0, "涨跌")
        .addField(Col::kChangePercent, TCRSFieldType::Packed, 0, "涨幅")
        .addField(Col::kTurnover, TCRSFieldType::Packed, 0, "换手")
        .addField(Col::kMa5, TCRSFieldType::Packed, 0, "MA5")
        .addField(Col::kMa10, TCRSFieldType::Packed, 0, "MA10")
        .addField(Col::kMa30, TCRSFieldType::Packed, 0, "MA30");
    const int d = s->decimals;
    const double unit = std::pow(10.0, d);
    std::vector<SimOHLC> ohlc;
    for (const auto& bar : bars)
        ohlc.push_back({bar.b.open / unit, bar.b.high / unit, bar.b.low / unit, bar.b.close / unit});
    auto indicator = SimIndicators::compute(tech, ohlc);
    const int techDecimals = SimIndicators::decimals(tech, d);
    for (size_t k = 0; k < indicator.size(); ++k)
        w.addField(tech + std::to_string(k + 1), TCRSFieldType::Packed, 0, tech + std::to_string(k + 1));
    auto optionalPrice = [&](const std::optional<double>& v, int decimals) {
        return v ? price(*v, decimals) : Value();
    };
    size_t first = bars.size() > static_cast<size_t>(count) ? bars.size() - count : 0;
    for (size_t i = first; i < bars.size(); ++i) {
        const SimBar& b = bars[i].b;
        double pct = b.prevClose ? 100.0 * double(b.close - b.prevClose) / double(b.prevClose) : 0;
        std::vector<Value> row{bars[i].da,
                               SimMarket::priceText(b.open, d),
                               SimMarket::priceText(b.high, d),
                               SimMarket::priceText(b.low, d),
                               SimMarket::priceText(b.close, d),
                               simMagnitudeText(double(b.volume / s->lot())),
                               simMagnitudeText(b.amount),
                               SimMarket::priceText(b.prevClose, d),
                               SimMarket::priceText(b.close - b.prevClose, d),
                               simFixed(pct, 2),
                               simFixed(double(b.volume) / double(std::max<int64_t>(s->baseVolume * 100, 1)) * 100, 2),
                               movingAverage(bars, i, 5, d),
                               movingAverage(bars, i, 10, d),
                               movingAverage(bars, i, 30, d)};
        for (const auto& column : indicator) row.push_back(optionalPrice(column[i], techDecimals));
        w.addRecord(row);
    }
    return w.bytes();
}
