#pragma once
// Market data (family 31000): snapshot, search, intraday, K-line and the
// tick-by-tick deals.
// A stock is named by its id "code.market"; a snapshot's columns are asked
// for by number (Key::kField, "3|1|4") and come first in the asked order.
// Prices are packed numbers with the stock's decimals; volumes and amounts
// packed with a magnitude unit (万 from 10万, 亿 from 1亿, 万亿).
#include "core/contracts/FunctionId.h"
namespace QuoteContract {
inline constexpr FunctionId kIntraday{31000, 1};
inline constexpr FunctionId kKLine{31000, 2};
inline constexpr FunctionId kSnapshot{31000, 4};
inline constexpr FunctionId kTicks{31000, 9};  // newest first, a page from "offset"
inline constexpr FunctionId kSearch{31000, 10};
namespace Market {
inline constexpr int kShenzhen = 1;
inline constexpr int kShanghai = 2;
inline constexpr int kHongKong = 3;
}  // namespace Market
namespace Class {
inline constexpr int kAShare = 1;
inline constexpr int kIndex = 2;
inline constexpr int kBShare = 3;
inline constexpr int kFund = 4;
inline constexpr int kBond = 5;
inline constexpr int kHongKongShare = 6;
}  // namespace Class
namespace Key {                                          // request keys
inline constexpr const char* kCode = "code";             // snapshot: ids joined by "|"; intraday, K-line: one id
inline constexpr const char* kField = "field";           // snapshot: column numbers joined by "|"
inline constexpr const char* kKey = "key";               // search: code or pinyin prefix
inline constexpr const char* kMarket = "market";         // search: one market only
inline constexpr const char* kCount = "count";           // search (default 10), K-line (320), ticks (30)
inline constexpr const char* kAddUp = "addup";           // intraday: 1 the market's index too
inline constexpr const char* kDate = "date";             // intraday, K-line: 0 today, or yyyyMMdd
inline constexpr const char* kFreq = "freq";             // intraday: minutes between points (default 1)
inline constexpr const char* kTime = "time";             // intraday, K-line: 0 (from the start)
inline constexpr const char* kMaxVol = "maxvol";         // intraday: 999999999 (no cap)
inline constexpr const char* kCloseXxld = "close_xxld";  // intraday: 1 (no information-radar markers)
inline constexpr const char* kDirect = "direct";         // K-line, ticks: 1 (the latest first)
inline constexpr const char* kType = "type";             // K-line: the period (Period)
inline constexpr const char* kTechName = "techname";     // K-line: the indicator (Tech)
inline constexpr const char* kOffset = "offset";         // ticks: deals to pass over from the newest
}  // namespace Key
// Ticks: set 0 one header record (the stock: "code", "exchid", "name",
// "zrsp"), set 1 one record a deal, read by position.
namespace Tick {
inline constexpr int kDirectionColumn = 0;  // integer: 1 buy, 2 sell, 0 neither
inline constexpr int kTimeColumn = 1;       // integer HHMM
inline constexpr int kPriceColumn = 2;      // packed, the stock's decimals
inline constexpr int kVolumeColumn = 3;     // packed, 手 (lots)
inline constexpr int kBuy = 1, kSell = 2, kNeither = 0;
inline constexpr const char* kColumns[4] = {"bs", "tm", "zjcj", "cjsl"};
}  // namespace Tick
// K-line periods ("type"); anything else is the day.
namespace Period {
inline constexpr int k5Minutes = 1;
inline constexpr int k15Minutes = 2;
inline constexpr int k30Minutes = 3;
inline constexpr int k60Minutes = 4;
inline constexpr int kDay = 5;
inline constexpr int kWeek = 6;
inline constexpr int kMonth = 7;
}  // namespace Period
// K-line indicators ("techname", empty for volume alone). The server adds
// the indicator's columns after the 14 fixed bar columns, named the
// indicator's name and 1, 2, ... in order:
//   MACD  MACD1 bar 2 x (DIF - DEA), MACD2 DEA, MACD3 DIF (12, 26, 9)
//   KDJ   KDJ1 K, KDJ2 D, KDJ3 J (9, 3, 3)
//   RSI   RSI1 6, RSI2 12, RSI3 24 bars
//   WR    WR1 10, WR2 6 bars
//   BOLL  BOLL1 middle, BOLL2 upper, BOLL3 lower (20 bars, 2 deviations)
//   DMA   DMA1 DDD (10 - 50), DMA2 AMA (10 of DDD)
//   AROON AROON1 up, AROON2 down (25 bars)
//   CCI   CCI1 (14 bars)
//   SAR   SAR1 (step 0.02, at most 0.2)
namespace Tech {
inline constexpr int kFirstColumn = 14;
inline constexpr const char* kVolume = "";
inline constexpr const char* kMACD = "MACD";
inline constexpr const char* kKDJ = "KDJ";
inline constexpr const char* kRSI = "RSI";
inline constexpr const char* kWR = "WR";
inline constexpr const char* kBOLL = "BOLL";
inline constexpr const char* kDMA = "DMA";
inline constexpr const char* kAROON = "AROON";
inline constexpr const char* kCCI = "CCI";
inline constexpr const char* kSAR = "SAR";
inline constexpr const char* kNames[10] = {kVolume, kMACD, kKDJ, kRSI, kWR, kBOLL, kDMA, kAROON, kCCI, kSAR};
inline constexpr const char* kBollColumns[3] = {"BOLL1", "BOLL2", "BOLL3"};
inline constexpr const char* kSarColumn = "SAR1";
}  // namespace Tech
namespace Col {                                       // reply columns
inline constexpr const char* kMarket = "exchid";      // 市场
inline constexpr const char* kClass = "classid";      // 类别
inline constexpr const char* kCode = "code";          // 代码
inline constexpr const char* kName = "name";          // 名称
inline constexpr const char* kPrevClose = "zrsp";     // 昨收
inline constexpr const char* kLast = "zjcj";          // 现价 (intraday point: the minute's price; K-line: close)
inline constexpr const char* kChange = "zhd";         // 涨跌
inline constexpr const char* kOpen = "jrkp";          // 今开
inline constexpr const char* kHigh = "zgcj";          // 最高
inline constexpr const char* kChangePercent = "zdf";  // 涨幅
inline constexpr const char* kLow = "zdcj";           // 最低
inline constexpr const char* kAmount = "cjje";        // 金额
inline constexpr const char* kVolume = "cjsl";        // 总量
inline constexpr const char* kAverage = "cjjj";       // 均价
inline constexpr const char* kVolumeRatio = "lb";     // 量比
inline constexpr const char* kBidAskRatio = "wb";     // 委比
inline constexpr const char* kTurnover = "hsl";       // 换手
inline constexpr const char* kPeRatio = "syl";        // 市盈
inline constexpr const char* kPinyin = "pycode";      // 拼音
inline constexpr const char* kAskPrice[5] = {"sj1", "sj2", "sj3", "sj4", "sj5"};  // 卖一 to 卖五
inline constexpr const char* kAskVolume[5] = {"sl1", "sl2", "sl3", "sl4", "sl5"};
inline constexpr const char* kBidPrice[5] = {"bj1", "bj2", "bj3", "bj4", "bj5"};  // 买一 to 买五
inline constexpr const char* kBidVolume[5] = {"bl1", "bl2", "bl3", "bl4", "bl5"};
inline constexpr const char* kUpdated = "lastupd";   // yyyyMMddHHmmss
inline constexpr const char* kMinute = "tm";         // intraday point: HHMM
inline constexpr const char* kMinuteShare = "avol";  // intraday point: the minute's volume in per mille of the total
inline constexpr const char* kDate = "da";           // K-line bar: yyyyMMdd (minute periods yyyyMMddHHmm)
inline constexpr const char* kMa5 = "ma5";           // K-line bar: moving averages of the close
inline constexpr const char* kMa10 = "ma10";
inline constexpr const char* kMa30 = "ma30";
}  // namespace Col
namespace Field {  // snapshot column numbers (Key::kField)
inline constexpr int kMarket = 1;
inline constexpr int kClass = 2;
inline constexpr int kCode = 3;
inline constexpr int kName = 4;
inline constexpr int kPrevClose = 6;
inline constexpr int kLast = 11;
inline constexpr int kChange = 13;
inline constexpr int kOpen = 14;
inline constexpr int kHigh = 15;
inline constexpr int kChangePercent = 16;
inline constexpr int kLow = 17;
inline constexpr int kAmount = 18;
inline constexpr int kVolume = 20;
inline constexpr int kAverage = 21;
inline constexpr int kVolumeRatio = 26;
inline constexpr int kBidAskRatio = 27;
inline constexpr int kTurnover = 29;
inline constexpr int kPeRatio = 30;
inline constexpr int kPinyin = 32;
inline constexpr int kAskPrice[5] = {50, 51, 52, 53, 54};
inline constexpr int kAskVolume[5] = {55, 56, 57, 58, 59};
inline constexpr int kBidPrice[5] = {70, 71, 72, 73, 74};
inline constexpr int kBidVolume[5] = {75, 76, 77, 78, 79};
inline constexpr int kUpdated = 90;
}  // namespace Field
}  // namespace QuoteContract
