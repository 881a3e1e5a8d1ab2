#pragma once
// The texts of one point of the intraday chart, as its touched-point box shows them.
#include <string>

struct TimeTrendTradeInfo {
    std::string lastPrice, change, changePercent, avgPrice, volume, time;
    std::string maxPrice, minPrice, openPrice, prevClose;
};
