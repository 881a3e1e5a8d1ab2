#pragma once
// What the side panel of the intraday trend chart shows, read from the
// chart's record sets (set 0 the header, set 2 the detail); both need at
// least three sets and answer nothing otherwise.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/IntradaySeries.h"

class UIColor;

// One of the ten level rows, top to bottom: the asks "sj5".."sj1", then the
// bids "bj1".."bj5". A zero price shows in the flat colour and compares as 0.
struct PanelLevel {
    std::optional<VTAFloat> price;
    std::shared_ptr<UIColor> priceColor;
    int result = 0;      // the price against the previous close: 1, -1 or 0
    std::string volume;  // in lots of 100 shares, rounded down; empty without a value
};
std::vector<PanelLevel> panelLevels(const RecordSets& sets);

// The eleven values of the quote summary: 今开, 最高, 最低, 均价, 昨收, 总手,
// 金额, 量比, 委比, 换手, 市盈 (an index shows "--" for the last three).
struct PanelValue {
    std::string text;
    std::shared_ptr<UIColor> color;
};
std::vector<PanelValue> panelSummary(const RecordSets& sets, int classId);
