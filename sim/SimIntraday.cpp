// 31000/1 intraday of the simulated server.
//
// Request "code" (one id), "addup" (1: the market's index too), "freq"
// (trading minutes between points, 1 by default; the charts ask for 2),
// "date" (0 today up to the clock, or yyyyMMdd: that day whole).
// Reply:
//   set 0 the header, the stock's row then the index's: "name", "code",
//     "exchid", "classid", "zjcj", "zrsp", "jrkp", "zgcj", "zdcj", "lastupd";
//   set 1 the points [0 "tm", 1 "zjcj", 2 "cjsl", 3 "avol", 4 "cjjj"]: one
//     per `freq` trading minutes from the open (the lunch break does not
//     count), each standing at the last minute of its step (a step in
//     progress at the minute it will end); "zjcj" the step's last price,
//     "cjsl" its volume in lots, "avol" that volume in per mille of the day's
//     largest step, "cjjj" the day's average price so far. A bond's steps
//     before its first deal and after its last are left out: the chart fills
//     them from the open and the update time;
//   set 2 every snapshot column of the stock (SimQuoteColumns.h);
//   set 3 the index's points, as set 1.
#include <algorithm>

#include "core/TCRSWriter.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace QuoteContract;

struct Step {
    int hhmm = 0;
    int64_t price = 0, average = 0, volume = 0;
};

std::vector<Step> stepsOf(const std::vector<SimMinutePoint>& points, const SimTradingMinutes& sessions, int freq) {
    std::vector<Step> steps;
    int current = -1;
    for (const auto& p : points) {
        int e = sessions.elapsed(p.hhmm / 100 * 60 + p.hhmm % 100);
        int step = (e + freq - 1) / freq;
        if (step != current) {
            int end = sessions.minuteAt(step * freq);
            steps.push_back({end / 60 * 100 + end % 60});
            current = step;
        }
        Step& s = steps.back();
        s.price = p.price;
        s.average = p.average;
        s.volume += p.volume;
    }
    // Steps without a deal before the first one and after the last one are left out.
    auto first = std::find_if(steps.begin(), steps.end(), [](const Step& s) { return s.volume > 0; });
    auto last = std::find_if(steps.rbegin(), steps.rend(), [](const Step& s) { return s.volume > 0; });
    if (first == steps.end()) return {};
    return std::vector<Step>(first, last.base());
}

void pointSet(TCRSWriter& w, const SimInstrument& s, const std::vector<Step>& steps) {
    w.beginSet()
        .addField(Col::kMinute, TCRSFieldType::Integer, 4, "时间")
        .addField(Col::kLast, TCRSFieldType::Packed, 0, "价格")
        .addField(Col::kVolume, TCRSFieldType::Packed, 0, "成交量")
        .addField(Col::kMinuteShare, TCRSFieldType::Integer, 4, "量比")
        .addField(Col::kAverage, TCRSFieldType::Packed, 0, "均价");
    int64_t largest = 1;
    for (const auto& st : steps) largest = std::max(largest, st.volume);
    for (const auto& st : steps)
        w.addRecord({st.hhmm, SimMarket::priceText(st.price, s.decimals), simMagnitudeText(double(st.volume / s.lot())),
                     static_cast<int>(st.volume * 1000 / largest), SimMarket::priceText(st.average, s.decimals)});
}

}  // namespace

std::vector<uint8_t> intradayReply(SimCall& c) {
    const auto& market = c.server.market();
    const SimInstrument* s = market.findId(c.request.value(Key::kCode));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    const long long date = c.request.intValue(Key::kDate, 0);
    const auto day = SimClock::validDate(date);
    if (date != 0 && !day) return simErrorSet(-1, "日期格式错误");
    int freq = static_cast<int>(std::clamp<long long>(c.request.intValue(Key::kFreq, 1), 1, 60));
    double t = c.now;
    if (day) t = SimClock::fromLocal(*day, 1439);
    const SimInstrument* index = c.request.intValue(Key::kAddUp, 0) == 1 ? simIndexFor(market, *s) : nullptr;
    SimQuote q = market.quote(*s, t);
    std::vector<const SimInstrument*> header{s};
    if (index) header.push_back(index);
    std::vector<const SimQuoteColumn*> cols;
    for (int n : {Field::kName, Field::kCode, Field::kMarket, Field::kClass, Field::kLast, Field::kPrevClose,
                  Field::kOpen, Field::kHigh, Field::kLow, Field::kUpdated})
        cols.push_back(simColumnByNumber(n));
    TCRSWriter w;
    simQuoteSet(w, cols, header, market, t);
    int minute = SimClock::local(t).minuteOfDay();
    if (q.date != SimClock::local(t).yyyymmdd()) minute = 1440;
    auto steps = [&](const SimInstrument& inst) {
        return stepsOf(market.minutePoints(inst, q.date, minute), SimTradingMinutes(market.sessionMinutes(inst.market)),
                       freq);
    };
    pointSet(w, *s, steps(*s));
    simQuoteSet(w, simOrderedColumns(""), {s}, market, t);
    if (index) pointSet(w, *index, steps(*index));
    return w.bytes();
}
