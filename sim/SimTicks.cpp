// 31000/9 tick-by-tick deals of the simulated server (names in
// core/contracts/QuoteContract.h, Tick).
//
// Request "code" (one id), "direct" (1: the newest first; the only order the
// client asks for), "count" (a page, 30 by default, 1 to 100), "offset" (deals
// of the newest to pass over, from 0).
// Reply:
//   set 0 one header record of the stock: "code", "exchid", "name", "zrsp"
//     (the previous close, which colours the prices);
//   set 1 one record a deal, newest first, read by position: 0 "bs" the
//     direction (1 a buy: the price rose or stayed on a buy, 2 a sell, 0
//     neither: the first deal of the day), 1 "tm" the minute HHMM, 2 "zjcj"
//     the price, 3 "cjsl" the volume in 手 (lots: SimInstrument::lot).
//   An offset past the last deal gives an empty set 1. An unknown stock
//   answers the error set "股票代码不存在".
//
// The deals are the day's minutes (SimMarket::minutePoints up to the clock)
// cut into one to four deals each, the same ones at every request: their
// prices step from the minute before to the minute's last price, and the
// minute's volume is shared among them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

using namespace QuoteContract;

struct SimDeal {
    int hhmm = 0;
    int64_t price = 0;
    int64_t lots = 0;
    int direction = Tick::kNeither;
};

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t codeHash(const std::string& code) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char ch : code) h = (h ^ ch) * 1099511628211ull;
    return h;
}

// The day's deals up to the clock, oldest first.
std::vector<SimDeal> dealsOfDay(const SimMarket& market, const SimInstrument& s, double now) {
    SimQuote q = market.quote(s, now);
    SimClock::Local local = SimClock::local(now);
    int minute = q.date == local.yyyymmdd() ? local.minuteOfDay() : 1440;
    std::vector<SimDeal> deals;
    int64_t before = q.prevClose;
    const uint64_t stock = codeHash(s.id()) ^ market.seed();
    for (const SimMinutePoint& p : market.minutePoints(s, q.date, minute)) {
        if (p.volume <= 0) continue;
        uint64_t h = mix(stock ^ (static_cast<uint64_t>(q.date) << 16) ^ static_cast<uint64_t>(p.hhmm));
        int64_t lots = std::max<int64_t>(1, p.volume / s.lot());
        int count = static_cast<int>(std::min<int64_t>(lots, 1 + static_cast<int64_t>(h % 4)));
        // The minute's lots shared by weights drawn for the minute, each deal at least one.
        int64_t weights[4], sum = 0;
        for (int k = 0; k < count; ++k) sum += weights[k] = 1 + static_cast<int64_t>((h >> (8 * k + 2)) % 5);
        int64_t left = lots;
        for (int k = 0; k < count; ++k) {
            SimDeal d;
            d.hhmm = p.hhmm;
            d.price = before + (p.price - before) * (k + 1) / count;
            int64_t share = k + 1 == count ? left : std::max<int64_t>(1, lots * weights[k] / sum);
            d.lots = std::min(share, left - (count - k - 1));
            left -= d.lots;
            if (deals.empty())
                d.direction = Tick::kNeither;
            else if (d.price != deals.back().price)
                d.direction = d.price > deals.back().price ? Tick::kBuy : Tick::kSell;
            else
                d.direction = (h >> (40 + k)) & 1 ? Tick::kBuy : Tick::kSell;
            deals.push_back(d);
        }
        before = p.price;
    }
    return deals;
}

}  // namespace

std::vector<uint8_t> ticksReply(SimCall& c) {
    const SimMarket& market = c.server.market();
    const SimInstrument* s = market.findId(c.request.value(Key::kCode));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 30), 1, 100);
    long long offset = std::max<long long>(0, c.request.intValue(Key::kOffset, 0));
    std::vector<SimDeal> deals = dealsOfDay(market, *s, c.now);
    SimQuote q = market.quote(*s, c.now);

    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "代码")
        .addField(Col::kMarket, TCRSFieldType::Integer, 4, "市场")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "名称")
        .addField(Col::kPrevClose, TCRSFieldType::Packed, 0, "昨收")
        .addRecord({s->code, s->market, s->name, SimMarket::priceText(q.prevClose, s->decimals)});
    w.beginSet()
        .addField(Tick::kColumns[Tick::kDirectionColumn], TCRSFieldType::Integer, 4, "买卖")
        .addField(Tick::kColumns[Tick::kTimeColumn], TCRSFieldType::Integer, 4, "时间")
        .addField(Tick::kColumns[Tick::kPriceColumn], TCRSFieldType::Packed, 0, "成交价")
        .addField(Tick::kColumns[Tick::kVolumeColumn], TCRSFieldType::Packed, 0, "成交量");
    const long long total = static_cast<long long>(deals.size());
    for (long long i = offset; i < std::min(total, offset + count); ++i) {
        const SimDeal& d = deals[static_cast<size_t>(total - 1 - i)];
        w.addRecord({d.direction, d.hhmm, SimMarket::priceText(d.price, s->decimals),
                     simMagnitudeText(static_cast<double>(d.lots))});
    }
    return w.bytes();
}
