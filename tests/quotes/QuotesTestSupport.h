#pragma once
// Replies of the quote functions built in memory (as the simulator writes
// them), for the parts of the quote page that read record sets; what a
// request sent to the simulator held.
#include <memory>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimRequestLog.h"
#include "tests/support/SimRequestFields.h"

using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

inline RecordSets parseSets(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets ? *sets : RecordSets{};
}

// One deal of a 31000/9 reply: direction, HHMM, price and volume as texts.
struct Deal {
    int direction;
    int hhmm;
    std::string price;
    std::string volume;
};

// A 31000/9 reply: the header (previous close) and the deals, or only the
// header when withDeals is false.
inline std::vector<uint8_t> tickReplyBytes(const std::string& prevClose, const std::vector<Deal>& deals,
                                           bool withDeals = true) {
    using namespace QuoteContract;
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText)
        .addField(Col::kMarket, TCRSFieldType::Integer, 4)
        .addField(Col::kPrevClose, TCRSFieldType::Packed)
        .addRecord({"600000", 2, prevClose});
    if (withDeals) {
        w.beginSet()
            .addField(Tick::kColumns[0], TCRSFieldType::Integer, 4)
            .addField(Tick::kColumns[1], TCRSFieldType::Integer, 4)
            .addField(Tick::kColumns[2], TCRSFieldType::Packed)
            .addField(Tick::kColumns[3], TCRSFieldType::Packed);
        for (const auto& d : deals) w.addRecord({d.direction, d.hhmm, d.price, d.volume});
    }
    return w.bytes();
}

// A 31000/4 snapshot as the quote lists read it: one row a stock.
struct QuoteRow {
    std::string name, code;
    int market, classId;
    std::string prevClose, last, change, percent;
};
inline std::vector<uint8_t> snapshotBytes(const std::vector<QuoteRow>& rows) {
    using namespace QuoteContract;
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kName, TCRSFieldType::VarText)
        .addField(Col::kCode, TCRSFieldType::VarText)
        .addField(Col::kMarket, TCRSFieldType::Integer, 4)
        .addField(Col::kClass, TCRSFieldType::Integer, 4)
        .addField(Col::kPrevClose, TCRSFieldType::Packed)
        .addField(Col::kLast, TCRSFieldType::Packed)
        .addField(Col::kChange, TCRSFieldType::Packed)
        .addField(Col::kChangePercent, TCRSFieldType::Packed);
    for (const auto& r : rows) w.addRecord({r.name, r.code, r.market, r.classId, r.prevClose, r.last, r.change, r.percent});
    return w.bytes();
}

// The snapshot of the two indices: rows of (last, previous close, amount).
struct IndexRow {
    std::string last, prevClose, amount;
};
inline std::shared_ptr<VTATCRS> indexSnapshot(const std::vector<IndexRow>& rows) {
    using namespace QuoteContract;
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kLast, TCRSFieldType::Packed)
        .addField(Col::kPrevClose, TCRSFieldType::Packed)
        .addField(Col::kAmount, TCRSFieldType::Packed);
    for (const auto& r : rows) w.addRecord({r.last, r.prevClose, r.amount});
    auto sets = parseSets(w.bytes());
    return sets.empty() ? nullptr : sets.front();
}

// The request's own fields from the function numbers on (the request road's
// "TC_" fields left out), "key=value" joined by "&".
inline std::string requestText(const SimRecord& r) {
    std::string text;
    bool started = false;
    for (const auto& f : r.fields) {
        if (f.key == "tc_mfuncno") started = true;
        if (!started || f.key.rfind("TC_", 0) == 0) continue;
        text += (text.empty() ? "" : "&") + f.key + "=" + f.value;
    }
    return text;
}
