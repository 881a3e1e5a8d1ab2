#pragma once
// One row of the own-stock quotes: the stock and its quote as a 31000/4
// reply record gives them (a price the server has no value for stays empty).
#include <optional>
#include <string>

#include "core/VTAFloat.h"

class VTATCRS;

struct PortfolioItem {
    std::string name;                                  // "name"
    std::string symbol;                                // "code"
    int marketId = 0;                                  // "exchid"
    int stockType = 0;                                 // "classid"
    std::optional<VTAFloat> nZrsp, nZjcj, nZhd, nZdf;  // previous close, last, change, change percent
    unsigned order = 0;

    PortfolioItem(std::string name, std::string symbol) : name(std::move(name)), symbol(std::move(symbol)) {}
    // The item of the set's current record.
    static PortfolioItem fromQuoteRecord(const VTATCRS& set);

    std::string stockId() const { return symbol + "." + std::to_string(marketId); }
    // The change percent as the sorts compare it (0 without a value).
    float changePercent() const { return nZdf ? nZdf->toFloat() : 0.0f; }
};
