// Market data functions of the simulated server (family 31000): functions,
// request keys and reply columns are named in core/contracts/QuoteContract.h.
//
// 31000/4 snapshot. Request "code" (ids "code.market" joined by "|"), "field"
//   (numbers joined by "|"). Reply set 0, one record per known id in request
//   order. Columns: first the requested field numbers in their order (so that
//   "field=3|1|4" gives code, market id, name in columns 0 to 2), then every
//   other snapshot column. Field numbers: 1 "exchid", 2 "classid", 3 "code",
//   4 "name", 6 "zrsp", 11 "zjcj", 13 "zhd", 14 "jrkp", 15 "zgcj", 16 "zdf",
//   17 "zdcj", 18 "cjje", 20 "cjsl", 21 "cjjj", 26 "lb", 27 "wb", 29 "hsl",
//   30 "syl", 32 "pycode", 50-54 "sj1-5", 55-59 "sl1-5", 70-74 "bj1-5",
//   75-79 "bl1-5", 90 "lastupd". Prices are packed numbers with the stock's
//   decimals; "exchid", "classid", "sl*", "bl*" integers; "cjsl", "cjje" packed
//   with the smallest magnitude unit that fits (0 plain, 1 万, 2 亿, 3 万亿).
// 31000/10 search. Request "key" (code or pinyin prefix), optional "market",
//   "count" (default 10). Reply set 0: "code", "name", "pycode", "exchid", "classid".
// 31000/1 intraday. Request "code" (one id), "addup" (1: the index too), "date"
//   (0 today, or yyyyMMdd). Set 0 header rows (stock, then index), set 1 points
//   [0 "tm", 1 "zjcj", 2 "cjsl", 3 "avol", 4 "cjjj"], set 2 the quote, set 3 index points.
// 31000/2 K-line (daily bars). Request "code", "count" (default 320), "date".
//   Set 0 header; set 1 bars: 0 "da", 1 "jrkp", 2 "zgcj", 3 "zdcj", 4 "zjcj",
//   5 "cjsl", 6 "cjje", 7 "zrsp", 8 "zhd", 9 "zdf", 10 "hsl", 11-13 "ma5", "ma10", "ma20".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimServer.h"

namespace {

using namespace QuoteContract;

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(sep, start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// Volumes and amounts: the unit is their magnitude (1 万, 2 亿, 3 万亿) with as
// many decimals kept, the smallest unit whose packed form fits.
Value magnitudeText(double x) {
    for (int u = 0; u <= 3; ++u) {
        double shown = x / std::pow(10.0, 4 * u);
        double packed = std::llround(shown * std::pow(10.0, u)) * 4.0 + u;
        if (std::fabs(packed) < 999999999.0) return fixed(shown, u);
    }
    return Value();
}

struct Column {
    int number;
    const char* name;
    TCRSFieldType type;
    const char* desc;
};

const Column kColumns[] = {
    {Field::kMarket, Col::kMarket, TCRSFieldType::Integer, "市场"},
    {Field::kClass, Col::kClass, TCRSFieldType::Integer, "类别"},
    {Field::kCode, Col::kCode, TCRSFieldType::VarText, "代码"},
    {Field::kName, Col::kName, TCRSFieldType::VarText, "名称"},
    {Field::kPrevClose, Col::kPrevClose, TCRSFieldType::Packed, "昨收"},
    {Field::kLast, Col::kLast, TCRSFieldType::Packed, "现价"},
    {Field::kChange, Col::kChange, TCRSFieldType::Packed, "涨跌"},
    {Field::kOpen, Col::kOpen, TCRSFieldType::Packed, "今开"},
    {Field::kHigh, Col::kHigh, TCRSFieldType::Packed, "最高"},
    {Field::kChangePercent, Col::kChangePercent, TCRSFieldType::Packed, "涨幅"},
    {Field::kLow, Col::kLow, TCRSFieldType::Packed, "最低"},
    {Field::kAmount, Col::kAmount, TCRSFieldType::Packed, "金额"},
    {Field::kVolume, Col::kVolume, TCRSFieldType::Packed, "总量"},
    {Field::kAverage, Col::kAverage, TCRSFieldType::Packed, "均价"},
    {Field::kVolumeRatio, Col::kVolumeRatio, TCRSFieldType::Packed, "量比"},
    {Field::kBidAskRatio, Col::kBidAskRatio, TCRSFieldType::Packed, "委比"},
    {Field::kTurnover, Col::kTurnover, TCRSFieldType::Packed, "换手"},
    {Field::kPeRatio, Col::kPeRatio, TCRSFieldType::Packed, "市盈"},
    {Field::kPinyin, Col::kPinyin, TCRSFieldType::VarText, "拼音"},
    {Field::kAskPrice[0], Col::kAskPrice[0], TCRSFieldType::Packed, "卖一"},
    {Field::kAskPrice[1], Col::kAskPrice[1], TCRSFieldType::Packed, "卖二"},
    {Field::kAskPrice[2], Col::kAskPrice[2], TCRSFieldType::Packed, "卖三"},
    {Field::kAskPrice[3], Col::kAskPrice[3], TCRSFieldType::Packed, "卖四"},
    {Field::kAskPrice[4], Col::kAskPrice[4], TCRSFieldType::Packed, "卖五"},
    {Field::kAskVolume[0], Col::kAskVolume[0], TCRSFieldType::Integer, "卖一量"},
    {Field::kAskVolume[1], Col::kAskVolume[1], TCRSFieldType::Integer, "卖二量"},
    {Field::kAskVolume[2], Col::kAskVolume[2], TCRSFieldType::Integer, "卖三量"},
    {Field::kAskVolume[3], Col::kAskVolume[3], TCRSFieldType::Integer, "卖四量"},
    {Field::kAskVolume[4], Col::kAskVolume[4], TCRSFieldType::Integer, "卖五量"},
    {Field::kBidPrice[0], Col::kBidPrice[0], TCRSFieldType::Packed, "买一"},
    {Field::kBidPrice[1], Col::kBidPrice[1], TCRSFieldType::Packed, "买二"},
    {Field::kBidPrice[2], Col::kBidPrice[2], TCRSFieldType::Packed, "买三"},
    {Field::kBidPrice[3], Col::kBidPrice[3], TCRSFieldType::Packed, "买四"},
    {Field::kBidPrice[4], Col::kBidPrice[4], TCRSFieldType::Packed, "买五"},
    {Field::kBidVolume[0], Col::kBidVolume[0], TCRSFieldType::Integer, "买一量"},
    {Field::kBidVolume[1], Col::kBidVolume[1], TCRSFieldType::Integer, "买二量"},
    {Field::kBidVolume[2], Col::kBidVolume[2], TCRSFieldType::Integer, "买三量"},
    {Field::kBidVolume[3], Col::kBidVolume[3], TCRSFieldType::Integer, "买四量"},
    {Field::kBidVolume[4], Col::kBidVolume[4], TCRSFieldType::Integer, "买五量"},
    {Field::kUpdated, Col::kUpdated, TCRSFieldType::VarText, "更新时间"},
};

// The value of one snapshot column for a stock.
Value columnValue(const std::string& name, const SimInstrument& s, const SimQuote& q, double now) {
    const int d = q.decimals;
    auto price = [&](int64_t v) { return Value(SimMarket::priceText(v, d)); };
    auto none = [] { return Value(); };
    if (name == Col::kMarket) return s.market;
    if (name == Col::kClass) return s.classId;
    if (name == Col::kCode) return s.code;
    if (name == Col::kName) return s.name;
    if (name == Col::kPinyin) return s.pycode;
    if (name == Col::kPrevClose) return price(q.prevClose);
    if (name == Col::kLast) return price(q.last);
    if (name == Col::kChange) return price(q.last - q.prevClose);
    if (name == Col::kChangePercent) {
        double pct = q.prevClose ? 100.0 * double(q.last - q.prevClose) / double(q.prevClose) : 0;
        return fixed(pct, 2);
    }
    if (name == Col::kOpen) return q.traded ? price(q.open) : none();
    if (name == Col::kHigh) return q.traded ? price(q.high) : none();
    if (name == Col::kLow) return q.traded ? price(q.low) : none();
    if (name == Col::kAverage) return price(q.average);
    if (name == Col::kVolume) return magnitudeText(double(q.volume));
    if (name == Col::kAmount) return magnitudeText(q.amount);
    if (name == Col::kVolumeRatio) return fixed(0.8 + double(q.volume % 97) / 100.0, 2);
    if (name == Col::kBidAskRatio) {
        int64_t b = 0, a = 0;
        for (int k = 0; k < 5; ++k) {
            b += q.bidVolume[k];
            a += q.askVolume[k];
        }
        return fixed(a + b ? 100.0 * double(b - a) / double(a + b) : 0, 2);
    }
    if (name == Col::kTurnover)
        return fixed(double(q.volume) / double(std::max<int64_t>(s.baseVolume * 100, 1)) * 100, 2);
    if (name == Col::kPeRatio)
        return s.classId == 1 || s.classId == 6 ? Value(fixed(8 + double(s.code.back() - '0') * 2.5, 2)) : none();
    for (int k = 0; k < 5; ++k) {
        if (name == Col::kAskPrice[k]) return price(q.ask[k]);
        if (name == Col::kBidPrice[k]) return price(q.bid[k]);
        if (name == Col::kAskVolume[k]) return Value(static_cast<long long>(q.askVolume[k]));
        if (name == Col::kBidVolume[k]) return Value(static_cast<long long>(q.bidVolume[k]));
    }
    if (name == Col::kUpdated) {
        std::string t = SimClock::format(now);
        std::string out;
        for (char ch : t)
            if (ch >= '0' && ch <= '9') out += ch;
        return out;
    }
    return none();
}

const Column* columnByNumber(int n) {
    for (const auto& c : kColumns)
        if (c.number == n) return &c;
    return nullptr;
}

std::vector<const Column*> orderedColumns(const std::string& fieldList) {
    std::vector<const Column*> cols;
    for (const auto& part : split(fieldList, '|')) {
        int n = std::atoi(part.c_str());
        const Column* c = columnByNumber(n);
        if (c && std::find(cols.begin(), cols.end(), c) == cols.end()) cols.push_back(c);
    }
    for (const auto& c : kColumns)
        if (std::find(cols.begin(), cols.end(), &c) == cols.end()) cols.push_back(&c);
    return cols;
}

void quoteSet(TCRSWriter& w, const std::vector<const Column*>& cols, const std::vector<const SimInstrument*>& stocks,
              const SimMarket& market, double now) {
    w.beginSet();
    for (const Column* c : cols) w.addField(c->name, c->type, c->type == TCRSFieldType::Integer ? 4 : 0, c->desc);
    for (const SimInstrument* s : stocks) {
        SimQuote q = market.quote(*s, now);
        std::vector<Value> row;
        for (const Column* c : cols) row.push_back(columnValue(c->name, *s, q, now));
        w.addRecord(row);
    }
}

std::vector<uint8_t> snapshot(SimCall& c) {
    const auto& market = c.server.market();
    std::vector<const SimInstrument*> stocks;
    for (const auto& id : split(c.request.value(Key::kCode), '|'))
        if (const SimInstrument* s = market.findId(id)) stocks.push_back(s);
    if (stocks.empty()) return simErrorSet(-1, "股票代码不存在");
    TCRSWriter w;
    quoteSet(w, orderedColumns(c.request.value(Key::kField)), stocks, market, c.now);
    return w.bytes();
}

std::vector<uint8_t> search(SimCall& c) {
    std::string key = c.request.value(Key::kKey);
    if (key.empty()) key = c.request.value(Key::kCode);
    long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 10), 1, 100);
    auto found = c.server.market().search(key, static_cast<size_t>(count),
                                          static_cast<int>(c.request.intValue(Key::kMarket, 0)));
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "代码")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "名称")
        .addField(Col::kPinyin, TCRSFieldType::VarText, 0, "拼音")
        .addField(Col::kMarket, TCRSFieldType::Integer, 4, "市场")
        .addField(Col::kClass, TCRSFieldType::Integer, 4, "类别");
    for (const SimInstrument* s : found) w.addRecord({s->code, s->name, s->pycode, s->market, s->classId});
    return w.bytes();
}

const SimInstrument* indexFor(const SimMarket& m, const SimInstrument& s) {
    if (s.market == Market::kHongKong) return m.find("HSI", Market::kHongKong);
    return s.market == Market::kShanghai ? m.find("000001", Market::kShanghai) : m.find("399001", Market::kShenzhen);
}

void pointSet(TCRSWriter& w, const SimInstrument& s, const std::vector<SimMinutePoint>& points) {
    w.beginSet()
        .addField(Col::kMinute, TCRSFieldType::Integer, 4, "时间")
        .addField(Col::kLast, TCRSFieldType::Packed, 0, "价格")
        .addField(Col::kVolume, TCRSFieldType::Packed, 0, "成交量")
        .addField(Col::kMinuteShare, TCRSFieldType::Integer, 4, "量比")
        .addField(Col::kAverage, TCRSFieldType::Packed, 0, "均价");
    for (const auto& p : points)
        w.addRecord({p.hhmm, SimMarket::priceText(p.price, s.decimals), magnitudeText(double(p.volume)),
                     static_cast<int>(std::min<int64_t>(1000, p.volume * 1000 / std::max<int64_t>(p.totalVolume, 1))),
                     SimMarket::priceText(p.average, s.decimals)});
}

std::vector<uint8_t> intraday(SimCall& c) {
    const auto& market = c.server.market();
    const SimInstrument* s = market.findId(c.request.value(Key::kCode));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    long long date = c.request.intValue(Key::kDate, 0);
    double t = c.now;
    if (date > 19900101) t = SimClock::fromLocal(static_cast<int>(date), 1439);
    const SimInstrument* index = c.request.intValue(Key::kAddUp, 0) == 1 ? indexFor(market, *s) : nullptr;
    SimQuote q = market.quote(*s, t);
    std::vector<const SimInstrument*> header{s};
    if (index) header.push_back(index);
    std::vector<const Column*> cols;
    for (int n : {Field::kName, Field::kCode, Field::kMarket, Field::kClass, Field::kLast, Field::kPrevClose,
                  Field::kOpen, Field::kHigh, Field::kLow, Field::kUpdated})
        cols.push_back(columnByNumber(n));
    TCRSWriter w;
    quoteSet(w, cols, header, market, t);
    int minute = SimClock::local(t).minuteOfDay();
    if (q.date != SimClock::local(t).yyyymmdd()) minute = 1440;
    pointSet(w, *s, market.minutePoints(*s, q.date, minute));
    quoteSet(w, orderedColumns(""), {s}, market, t);
    if (index) pointSet(w, *index, market.minutePoints(*index, q.date, minute));
    return w.bytes();
}

std::vector<uint8_t> kline(SimCall& c) {
    const auto& market = c.server.market();
    const SimInstrument* s = market.findId(c.request.value(Key::kCode));
    if (!s) return simErrorSet(-1, "股票代码不存在");
    int count = static_cast<int>(std::clamp<long long>(c.request.intValue(Key::kCount, 320), 1, 1000));
    long long date = c.request.intValue(Key::kDate, 0);
    int day = date > 19900101 ? static_cast<int>(date) : SimClock::local(c.now).yyyymmdd();
    auto bars = market.dailyBars(*s, day, count + 19);
    std::vector<const Column*> cols;
    for (int n : {Field::kName, Field::kCode, Field::kMarket, Field::kClass, Field::kLast, Field::kPrevClose,
                  Field::kOpen, Field::kHigh, Field::kLow})
        cols.push_back(columnByNumber(n));
    TCRSWriter w;
    quoteSet(w, cols, {s}, market, c.now);
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
        .addField(Col::kMa20, TCRSFieldType::Packed, 0, "MA20");
    const int d = s->decimals;
    auto ma = [&](size_t i, size_t n) -> Value {
        if (i + 1 < n) return Value();
        int64_t sum = 0;
        for (size_t k = i + 1 - n; k <= i; ++k) sum += bars[k].close;
        return SimMarket::priceText(sum / static_cast<int64_t>(n), d);
    };
    size_t first = bars.size() > static_cast<size_t>(count) ? bars.size() - count : 0;
    for (size_t i = first; i < bars.size(); ++i) {
        const SimBar& b = bars[i];
        double pct = b.prevClose ? 100.0 * double(b.close - b.prevClose) / double(b.prevClose) : 0;
        w.addRecord({std::to_string(b.date), SimMarket::priceText(b.open, d), SimMarket::priceText(b.high, d),
                     SimMarket::priceText(b.low, d), SimMarket::priceText(b.close, d), magnitudeText(double(b.volume)),
                     magnitudeText(b.amount), SimMarket::priceText(b.prevClose, d),
                     SimMarket::priceText(b.close - b.prevClose, d), fixed(pct, 2),
                     fixed(double(b.volume) / double(std::max<int64_t>(s->baseVolume * 100, 1)) * 100, 2), ma(i, 5),
                     ma(i, 10), ma(i, 20)});
    }
    return w.bytes();
}

}  // namespace

void registerQuoteFunctions(SimRegistry& r) {
    const SimMenuItem menu[] = {
        {101, 1, "自选股", "zxhq"},
        {102, 1, "行情排行", "pxhq?market=1&class=1"},
        {103, 1, "分时走势", "fschart"},
        {104, 1, "K线图", "kxchart"},
        {105, 1, "板块排行", "bkph?tc_mfuncno=100&tc_sfuncno=31&bktype=1"},
        {106, 1, "指数", "zgzs?tc_mfuncno=31000&tc_sfuncno=4&code=000001.2|399001.1|399006.1|000300.2"},
        {107, 1, "板块行情", "bkhqlist?tc_mfuncno=100&tc_sfuncno=32"},
        // The company information (F10) the quote page looks up; not on the board.
        {108, 1, "F10", "f10", "", true},
    };
    for (const auto& item : menu) r.menu().add(item);
    r.add(kIntraday, intraday);
    r.add(kKLine, kline);
    r.add(kSnapshot, snapshot);
    r.add(kSearch, search);
}
