#pragma once
// The texts of one bar of the K-line chart, as its touched-point box shows them.
#include <string>

struct CandlesticksTradeInfo {
    std::string lastPrice, change, changePercent, maxPrice, minPrice, openPrice;
    std::string volume, turnover, date, prevClose;
};
