#pragma once
// What the K-line charts work out from a 31000/2 reply before they draw:
// the indicators and periods the server knows, the bars in view at a zoom
// step, the price and indicator ranges of those bars, and the texts of one
// bar.
//
// The reply's sets: 0 the header of the stock, 1 the bars in time order with
// the fixed columns 0 to 13 ("da", "jrkp", "zgcj", "zdcj", "zjcj", "cjsl",
// "cjje", "zrsp", "zhd", "zdf", "hsl", "ma5", "ma10", "ma30") and the columns of
// the indicator asked for from column 14 on.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CandlesticksTradeInfo.h"
#include "core/VTADictionary.h"
#include "core/VTAFloat.h"
#include "core/contracts/QuoteContract.h"

class VTATCRS;
using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

namespace KLine {

// The first indicator column of a bar.
constexpr int kFirstTechColumn = QuoteContract::Tech::kFirstColumn;
// At most this many indicator columns are drawn.
constexpr int kMaxTechLines = 5;

// The indicators by type 0 to 9: the name the request sends as "techname"
// (empty for volume) and the label the charts show.
constexpr int kTechIndexCount = 10;
const std::string& techIndexName(int type);
// 0 for an empty or unknown name.
int techIndexType(const std::string& name);
// The names and labels in type order (the older chart's indicator list).
const VTADictionary<std::string, std::string>& techDictionary();

// The periods by index 0 to 6: 5, 15, 30, 60 minutes, day, week, month;
// the code the request sends as "type", and their names.
constexpr int kPeriodCount = 7;
constexpr int kDayPeriod = 4;
int periodCode(int index);
const std::string& periodName(int index);       // "5分钟" .. "月线"
const std::string& periodShortName(int index);  // "5分" .. "月线"

// Candle widths by zoom step 0 to 4 (a pinch steps to narrower candles).
constexpr int kZoomSteps = 5;
constexpr int kDefaultZoomStep = 2;
int candleWidth(int zoomStep);

// The bars in view: the latest ones that fit the width, one slot of
// candleWidth + 1 points each.
struct Window {
    int from = 0;   // the first bar in view
    int count = 0;  // bars in view
    int candleWidth = 5;
    // The left edge of the k-th bar in view, and the middle of its candle.
    double barX(double left, int k) const { return left + k * (candleWidth + 1); }
    double centerX(double left, int k) const { return barX(left, k) + candleWidth / 2.0; }
    // The bar in view under an x (clamped to the bars in view); -1 without bars.
    int barAt(double left, double x) const;
};
Window windowOf(int rows, double width, int candleWidth);

// The price range of the bars in view: highs, lows and the moving averages.
struct Range {
    std::optional<VTAFloat> max, min;
    bool isDrawable() const;  // max above min
};
Range priceRange(VTATCRS& bars, const Window& window);
// The range of the indicator in view: the volume from 0 for volume (empty
// name), the named columns for "BOLL" and "SAR", else columns 14 onward.
// Every value is brought to the most decimals found, so raw values compare.
Range techRange(VTATCRS& bars, const Window& window, const std::string& techName);

// The value brought to `unit` decimals (rounded half away from zero when
// decimals go; at the 64-bit limit when it does not fit).
VTAFloat inUnit(const VTAFloat& v, int unit);

// The texts of a bar (nullopt outside the set).
std::optional<CandlesticksTradeInfo> tradeInfoAt(VTATCRS& bars, int index);
// The three moving averages of a bar ("" for a missing one).
std::vector<std::string> movingAverageTexts(VTATCRS& bars, int index);
// A bar's "da" as a customer reads it: "2024-02-29" for a day's
// "20240229", "02-29 11:15" for a minute bar's "202402291115"; anything else
// as it came.
std::string dateText(const std::string& da);
// The day of a bar's "da" ("20240305" of "202403051030").
std::string dayOf(const std::string& da);

}  // namespace KLine
