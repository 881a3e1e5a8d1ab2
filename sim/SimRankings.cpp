// Rankings of the simulated server: functions, request keys and columns are
// named in core/contracts/RankingContract.h. Rankings keep no state: each
// request ranks the market's quotes at the clock.
//
// 191/7 total. Request "market" ("1", "2", "3" or "1|2"), "class"
//   (RankingContract::Class). Reply set 0, one row of integers "szjs", "xdjs",
//   "pljs": the class's stocks rising, falling and unchanged against their
//   previous close; their sum is the ranking's total.
// 31000/3 window. Request "market", "class", "type" (RankingContract::Sort),
//   "direct" (1 the largest first, 0 the smallest first), "offset" (from 0),
//   "count" (1 to 100, default 20), "field" (snapshot column numbers). Reply
//   set 0: rows offset to offset + count - 1 of the ranking, fewer at its end
//   and none past it, with the snapshot's columns (the asked ones first).
//   Equal figures keep the order of market and code.
// An unknown market, class or sort, or a negative offset, is answered with an
// error set.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/contracts/RankingContract.h"
#include "sim/SimMarket.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"

namespace {

namespace Key = RankingContract::Key;
namespace Class = RankingContract::Class;
namespace Sort = RankingContract::Sort;

bool startsWithAny(const std::string& code, std::initializer_list<const char*> prefixes) {
    for (const char* p : prefixes)
        if (code.rfind(p, 0) == 0) return true;
    return false;
}

// Whether the ranking class holds the instrument; nullopt for an unknown class.
std::optional<bool> classHolds(const std::string& cls, const SimInstrument& s) {
    const bool aShare = s.classId == 1;
    if (cls == Class::kStocks) return s.classId == 1 || s.classId == 3 || s.classId == 6;
    if (cls == Class::kMainBoardA) return aShare && startsWithAny(s.code, {"000", "001", "600", "601", "603"});
    if (cls == Class::kAllA) return aShare;
    if (cls == Class::kBShares) return s.classId == 3;
    if (cls == Class::kFunds) return s.classId == 4;
    if (cls == Class::kOpenEndFunds) return s.classId == 4 && startsWithAny(s.code, {"51", "15", "16"});
    if (cls == Class::kBonds) return s.classId == 5;
    if (cls == Class::kWarrants) return s.classId == 7;
    if (cls == Class::kIndices) return s.classId == 2;
    return std::nullopt;
}

struct Selection {
    std::vector<const SimInstrument*> stocks;
    std::string error;  // "" when the request named a known market and class
};

Selection select(const SimCall& c) {
    Selection out;
    std::vector<int> markets;
    for (const auto& m : simSplit(c.request.value(Key::kMarket), '|')) {
        if (m != "1" && m != "2" && m != "3") {
            out.error = "市场代码不正确";
            return out;
        }
        markets.push_back(m[0] - '0');
    }
    if (markets.empty()) {
        out.error = "市场代码不正确";
        return out;
    }
    const std::string cls = c.request.value(Key::kClass);
    for (const auto& s : c.server.market().instruments()) {
        auto holds = classHolds(cls, s);
        if (!holds) {
            out.error = "排行类别不存在";
            return out;
        }
        if (*holds && std::find(markets.begin(), markets.end(), s.market) != markets.end()) out.stocks.push_back(&s);
    }
    std::sort(out.stocks.begin(), out.stocks.end(), [](const SimInstrument* a, const SimInstrument* b) {
        return a->market != b->market ? a->market < b->market : a->code < b->code;
    });
    return out;
}

// The figure a ranking sorts by; nullopt for an unknown sort.
std::optional<double> figure(const std::string& sort, const SimInstrument& s, const SimQuote& q) {
    double unit = 1;
    for (int k = 0; k < q.decimals; ++k) unit *= 10;
    const double change = static_cast<double>(q.last - q.prevClose);
    if (sort == Sort::kChangePercent) return q.prevClose ? change / static_cast<double>(q.prevClose) : 0;
    if (sort == Sort::kChange) return change / unit;
    if (sort == Sort::kLast) return static_cast<double>(q.last) / unit;
    if (sort == Sort::kVolume) return static_cast<double>(q.volume);
    if (sort == Sort::kAmount) return q.amount;
    if (sort == Sort::kTurnover)
        return static_cast<double>(q.volume) / static_cast<double>(std::max<int64_t>(s.baseVolume, 1));
    return std::nullopt;
}

std::vector<uint8_t> total(SimCall& c) {
    Selection sel = select(c);
    if (!sel.error.empty()) return simErrorSet(-1, sel.error);
    long long rising = 0, falling = 0, flat = 0;
    for (const SimInstrument* s : sel.stocks) {
        SimQuote q = c.server.market().quote(*s, c.now);
        (q.last > q.prevClose ? rising : q.last < q.prevClose ? falling : flat)++;
    }
    return TCRSWriter()
        .beginSet()
        .addField(RankingContract::Col::kRising, TCRSFieldType::Integer, 4, "上涨家数")
        .addField(RankingContract::Col::kFalling, TCRSFieldType::Integer, 4, "下跌家数")
        .addField(RankingContract::Col::kFlat, TCRSFieldType::Integer, 4, "平盘家数")
        .addRecord({rising, falling, flat})
        .bytes();
}

std::vector<uint8_t> window(SimCall& c) {
    Selection sel = select(c);
    if (!sel.error.empty()) return simErrorSet(-1, sel.error);
    const std::string sort = c.request.value(Key::kSort);
    const bool largestFirst = c.request.intValue(Key::kDirect, 1) != 0;
    const long long offset = c.request.intValue(Key::kOffset, 0);
    if (offset < 0) return simErrorSet(-1, "起始位置不正确");
    const long long count = std::clamp<long long>(c.request.intValue(Key::kCount, 20), 1, 100);

    struct Ranked {
        const SimInstrument* stock;
        double value;
    };
    std::vector<Ranked> ranked;
    for (const SimInstrument* s : sel.stocks) {
        auto v = figure(sort, *s, c.server.market().quote(*s, c.now));
        if (!v) return simErrorSet(-1, "排序字段不存在");
        ranked.push_back({s, *v});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [largestFirst](const Ranked& a, const Ranked& b) {
        return largestFirst ? a.value > b.value : a.value < b.value;
    });
    std::vector<const SimInstrument*> rows;
    for (long long i = offset; i < offset + count && i < static_cast<long long>(ranked.size()); ++i)
        rows.push_back(ranked[static_cast<size_t>(i)].stock);
    TCRSWriter w;
    simQuoteSet(w, simOrderedColumns(c.request.value(Key::kField)), rows, c.server.market(), c.now);
    return w.bytes();
}

}  // namespace

void registerRankingFunctions(SimRegistry& r) {
    r.add(RankingContract::kTotal, total);
    r.add(RankingContract::kWindow, window);
}
