#pragma once
// The pieces the quote family's functions share (SimQuotes.cpp, SimIntraday.cpp,
// SimKLine.cpp, SimTicks.cpp): the snapshot columns by field number and their values for a
// stock, number texts, and the handlers of the family's other files.
//
// Snapshot columns. Field numbers: 1 "exchid", 2 "classid", 3 "code",
//   4 "name", 6 "zrsp", 11 "zjcj", 13 "zhd", 14 "jrkp", 15 "zgcj", 16 "zdf",
//   17 "zdcj", 18 "cjje", 20 "cjsl", 21 "cjjj", 26 "lb", 27 "wb", 29 "hsl",
//   30 "syl", 32 "pycode", 50-54 "sj1-5", 55-59 "sl1-5", 70-74 "bj1-5",
//   75-79 "bl1-5", 90 "lastupd". Prices are packed numbers with the stock's
//   decimals; "exchid", "classid", "sl*", "bl*" integers (shares); "cjsl" (in
//   lots, SimInstrument::lot), "cjje" packed with a magnitude unit (0 plain,
//   1 万, 2 亿, 3 万亿): simMagnitudeText.
#include <cstdint>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"

class SimMarket;
struct SimCall;
struct SimInstrument;
struct SimQuote;

std::vector<std::string> simSplit(const std::string& s, char sep);
// The number with that many decimals ("12.30").
std::string simFixed(double v, int decimals);
// A volume or amount packed with its magnitude unit (万 from 10万 on, 亿 from
// 1亿 on, larger ones when it would not fit); no value when too large.
Value simMagnitudeText(double x);

struct SimQuoteColumn {
    int number;
    const char* name;
    TCRSFieldType type;
    const char* desc;
};
const SimQuoteColumn* simColumnByNumber(int n);
// The columns of a field list first, in its order, then every other one.
std::vector<const SimQuoteColumn*> simOrderedColumns(const std::string& fieldList);
// A set of one record per stock with the columns, quoted at `now`.
void simQuoteSet(TCRSWriter& w, const std::vector<const SimQuoteColumn*>& cols,
                 const std::vector<const SimInstrument*>& stocks, const SimMarket& market, double now);
// The index shown with a stock: its market's main index.
const SimInstrument* simIndexFor(const SimMarket& m, const SimInstrument& s);

// A market's trading minutes (SimMarket::sessionMinutes) counted from the
// open without the lunch break, and back.
struct SimTradingMinutes {
    int open = 0, noonClose = 0, afternoonOpen = 0;
    explicit SimTradingMinutes(const std::vector<int>& minutes) {
        if (minutes.empty()) return;
        open = noonClose = afternoonOpen = minutes.front();
        for (size_t i = 1; i < minutes.size(); ++i)
            if (minutes[i] != minutes[i - 1] + 1) {
                noonClose = minutes[i - 1];
                afternoonOpen = minutes[i] - 1;
                return;
            }
        noonClose = afternoonOpen = minutes.back();
    }
    int elapsed(int minute) const {
        return minute <= noonClose ? minute - open : minute - afternoonOpen + noonClose - open;
    }
    int minuteAt(int elapsedMinutes) const {
        return elapsedMinutes <= noonClose - open ? open + elapsedMinutes
                                                  : afternoonOpen + elapsedMinutes - (noonClose - open);
    }
};

// 31000/1 (SimIntraday.cpp), 31000/2 (SimKLine.cpp) and 31000/9 (SimTicks.cpp).
std::vector<uint8_t> intradayReply(SimCall& c);
std::vector<uint8_t> klineReply(SimCall& c);
std::vector<uint8_t> ticksReply(SimCall& c);
