#include "sim/SimQuoteColumns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"

using namespace QuoteContract;

std::vector<std::string> simSplit(const std::string& s, char sep) {
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

std::string simFixed(double v, int decimals) {
    // The text printf's "%.*f" gives, without its format parsing (a quote reply prints hundreds of numbers).
    char buf[400];  // the longest double in fixed notation, with its decimals
    if (decimals >= 0 && decimals <= 17) {
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
        if (ec == std::errc()) return std::string(buf, end);
    }
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// Volumes and amounts: the unit is their magnitude (1 万, 2 亿, 3 万亿) with as
// many decimals kept, the smallest unit whose packed form fits.
Value simMagnitudeText(double x) {
    // Read as a person would: 10万 and more in 万, 1亿 and more in 亿.
    int from = std::fabs(x) >= 1e8 ? 2 : std::fabs(x) >= 1e5 ? 1 : 0;
    for (int u = from; u <= 3; ++u) {
        double shown = x / std::pow(10.0, 4 * u);
        double packed = std::llround(shown * std::pow(10.0, u)) * 4.0 + u;
        if (std::fabs(packed) < 999999999.0) return simFixed(shown, u);
    }
    return Value();
}

namespace {

const SimQuoteColumn kColumns[] = {
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

// The value of one snapshot column for a stock, chosen by the column's number
// (a quote reply asks for some forty columns of each of fifty stocks).
// `updated` is the update time's text, the same for every stock of a reply.
Value columnValue(const SimQuoteColumn& column, const SimInstrument& s, const SimQuote& q, const std::string& updated) {
    const int d = q.decimals;
    auto price = [&](int64_t v) { return Value(SimMarket::priceText(v, d)); };
    auto none = [] { return Value(); };
    switch (column.number) {
        case Field::kMarket:
            return s.market;
        case Field::kClass:
            return s.classId;
        case Field::kCode:
            return s.code;
        case Field::kName:
            return s.name;
        case Field::kPinyin:
            return s.pycode;
        case Field::kPrevClose:
            return price(q.prevClose);
        case Field::kLast:
            return price(q.last);
        case Field::kChange:
            return price(q.last - q.prevClose);
        case Field::kChangePercent: {
            double pct = q.prevClose ? 100.0 * double(q.last - q.prevClose) / double(q.prevClose) : 0;
            return simFixed(pct, 2);
        }
        case Field::kOpen:
            return q.traded ? price(q.open) : none();
        case Field::kHigh:
            return q.traded ? price(q.high) : none();
        case Field::kLow:
            return q.traded ? price(q.low) : none();
        case Field::kAverage:
            return price(q.average);
        case Field::kVolume:  // 总手: lots
            return simMagnitudeText(double(q.volume / s.lot()));
        case Field::kAmount:
            return simMagnitudeText(q.amount);
        case Field::kVolumeRatio:
            return simFixed(0.8 + double(q.volume % 97) / 100.0, 2);
        case Field::kBidAskRatio: {
            int64_t b = 0, a = 0;
            for (int k = 0; k < 5; ++k) {
                b += q.bidVolume[k];
                a += q.askVolume[k];
            }
            return simFixed(a + b ? 100.0 * double(b - a) / double(a + b) : 0, 2);
        }
        case Field::kTurnover:
            return simFixed(double(q.volume) / double(std::max<int64_t>(s.baseVolume * 100, 1)) * 100, 2);
        case Field::kPeRatio:
            return s.classId == 1 || s.classId == 6 ? Value(simFixed(8 + double(s.code.back() - '0') * 2.5, 2))
                                                    : none();
        case Field::kUpdated:
            return updated;
        default:
            break;
    }
    for (int k = 0; k < 5; ++k) {
        if (column.number == Field::kAskPrice[k]) return price(q.ask[k]);
        if (column.number == Field::kBidPrice[k]) return price(q.bid[k]);
        if (column.number == Field::kAskVolume[k]) return Value(static_cast<long long>(q.askVolume[k]));
        if (column.number == Field::kBidVolume[k]) return Value(static_cast<long long>(q.bidVolume[k]));
    }
    return none();
}

}  // namespace

const SimQuoteColumn* simColumnByNumber(int n) {
    for (const auto& c : kColumns)
        if (c.number == n) return &c;
    return nullptr;
}

std::vector<const SimQuoteColumn*> simOrderedColumns(const std::string& fieldList) {
    std::vector<const SimQuoteColumn*> cols;
    for (const auto& part : simSplit(fieldList, '|')) {
        int n = std::atoi(part.c_str());
        const SimQuoteColumn* c = simColumnByNumber(n);
        if (c && std::find(cols.begin(), cols.end(), c) == cols.end()) cols.push_back(c);
    }
    for (const auto& c : kColumns)
        if (std::find(cols.begin(), cols.end(), &c) == cols.end()) cols.push_back(&c);
    return cols;
}

void simQuoteSet(TCRSWriter& w, const std::vector<const SimQuoteColumn*>& cols,
                 const std::vector<const SimInstrument*>& stocks, const SimMarket& market, double now) {
    w.beginSet();
    for (const SimQuoteColumn* c : cols)
        w.addField(c->name, c->type, c->type == TCRSFieldType::Integer ? 4 : 0, c->desc);
    std::string updated;
    for (char ch : SimClock::format(now))
        if (ch >= '0' && ch <= '9') updated += ch;
    std::vector<Value> row;
    for (const SimInstrument* s : stocks) {
        SimQuote q = market.quote(*s, now);
        row.clear();
        for (const SimQuoteColumn* c : cols) row.push_back(columnValue(*c, *s, q, updated));
        w.addRecord(row);
    }
}

const SimInstrument* simIndexFor(const SimMarket& m, const SimInstrument& s) {
    if (s.market == Market::kHongKong) return m.find("HSI", Market::kHongKong);
    return s.market == Market::kShanghai ? m.find("000001", Market::kShanghai) : m.find("399001", Market::kShenzhen);
}
