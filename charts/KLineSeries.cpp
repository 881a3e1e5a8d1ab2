#include "charts/KLineSeries.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"

namespace Col = QuoteContract::Col;

namespace KLine {

namespace {

const std::array<std::string, kTechIndexCount> kTechNames = [] {
    std::array<std::string, kTechIndexCount> names;
    for (int i = 0; i < kTechIndexCount; ++i) names[i] = QuoteContract::Tech::kNames[i];
    return names;
}();
const std::array<std::string, kPeriodCount> kPeriodNames{"5分钟", "15分钟", "30分钟", "60分钟", "日线", "周线", "月线"};
const std::array<std::string, kPeriodCount> kPeriodShortNames{"5分", "15分", "30分", "60分", "日线", "周线", "月线"};
const std::array<int, kZoomSteps> kCandleWidths{9, 7, 5, 3, 1};

int64_t pow10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Whether the value, brought to `unit` decimals, still fits 64 bits.
bool fitsIn(const VTAFloat& v, int unit) {
    if (unit <= v.unit()) return true;
    const int64_t limit = std::numeric_limits<int64_t>::max() / pow10(unit - v.unit());
    return v.value() <= limit && v.value() >= -limit;
}

// Collects values and answers their range in the most decimals found, or in
// as many as every value fits (a reply's texts may pair huge numbers with
// many decimals).
class RangeBuilder {
public:
    void add(const std::optional<VTAFloat>& v) {
        if (v) values_.push_back(*v);
    }
    Range range() const {
        Range r;
        if (values_.empty()) return r;
        int unit = 0;
        for (const auto& v : values_) unit = std::max(unit, v.unit());
        while (unit > 0 && !std::all_of(values_.begin(), values_.end(), [&](const VTAFloat& v) { return fitsIn(v, unit); }))
            --unit;
        for (const auto& v : values_) {
            VTAFloat u = inUnit(v, unit);
            if (!r.max || u.value() > r.max->value()) r.max = u;
            if (!r.min || u.value() < r.min->value()) r.min = u;
        }
        return r;
    }

private:
    std::vector<VTAFloat> values_;
};

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }

}  // namespace

const std::string& techIndexName(int type) { return kTechNames[std::clamp(type, 0, kTechIndexCount - 1)]; }

int techIndexType(const std::string& name) {
    for (int i = 0; i < kTechIndexCount; ++i)
        if (kTechNames[i] == name) return i;
    return 0;
}

const VTADictionary<std::string, std::string>& techDictionary() {
    static const auto dictionary = [] {
        VTADictionary<std::string, std::string> d;
        for (const auto& name : kTechNames) d.setValue(name.empty() ? "VOL" : name, name);
        return d;
    }();
    return dictionary;
}

int periodCode(int index) {
    using namespace QuoteContract::Period;
    static const int codes[kPeriodCount] = {k5Minutes, k15Minutes, k30Minutes, k60Minutes, kDay, kWeek, kMonth};
    return codes[std::clamp(index, 0, kPeriodCount - 1)];
}
const std::string& periodName(int index) { return kPeriodNames[std::clamp(index, 0, kPeriodCount - 1)]; }
const std::string& periodShortName(int index) { return kPeriodShortNames[std::clamp(index, 0, kPeriodCount - 1)]; }
int candleWidth(int zoomStep) { return kCandleWidths[std::clamp(zoomStep, 0, kZoomSteps - 1)]; }

int Window::barAt(double left, double x) const {
    if (count <= 0) return -1;
    int k = static_cast<int>((x - left) / (candleWidth + 1));
    return std::clamp(k, 0, count - 1);
}

Window windowOf(int rows, double width, int candleWidth) {
    Window w;
    w.candleWidth = std::max(1, candleWidth);
    int fits = std::max(0, static_cast<int>(width / (w.candleWidth + 1)));
    w.count = std::min(std::max(rows, 0), fits);
    w.from = std::max(0, rows - w.count);
    return w;
}

bool Range::isDrawable() const { return max && min && compareVTAFloat(*max, *min) > 0; }

VTAFloat inUnit(const VTAFloat& v, int unit) {
    if (unit == v.unit()) return v;
    return *addVTAFloat(VTAFloat(0, unit), v);
}

Range priceRange(VTATCRS& bars, const Window& window) {
    RangeBuilder b;
    for (int i = window.from; i < window.from + window.count; ++i) {
        bars.moveToIndex(i);
        for (const char* f : {Col::kHigh, Col::kLow, Col::kMa5, Col::kMa10, Col::kMa30})
            b.add(bars.toVTAFloatWithFieldName(f));
    }
    bars.fetchFirst();
    return b.range();
}

Range techRange(VTATCRS& bars, const Window& window, const std::string& techName) {
    RangeBuilder b;
    std::vector<int> columns;
    if (techName.empty()) {
        // Volumes come in magnitudes of their own: compare the amounts.
        std::optional<VTAFloat> largest;
        for (int i = window.from; i < window.from + window.count; ++i) {
            bars.moveToIndex(i);
            auto v = bars.toVTAFloatWithFieldName(Col::kVolume);
            if (v && (!largest || v->realValue() > largest->realValue())) largest = v;
        }
        bars.fetchFirst();
        Range r;
        if (largest) r = {largest, VTAFloat(0, 0)};
        return r;
    }
    namespace Tech = QuoteContract::Tech;
    if (techName == Tech::kBOLL) {
        for (const char* f : Tech::kBollColumns) columns.push_back(bars.fieldsIndexWithName(f));
    } else if (techName == Tech::kSAR) {
        columns.push_back(bars.fieldsIndexWithName(Tech::kSarColumn));
    } else {
        for (int c = kFirstTechColumn; c < bars.fieldCount() && c < kFirstTechColumn + kMaxTechLines; ++c)
            columns.push_back(c);
    }
    for (int i = window.from; i < window.from + window.count; ++i) {
        bars.moveToIndex(i);
        for (int c : columns)
            if (c >= 0) b.add(bars.toVTAFloatAtIndex(c));
    }
    bars.fetchFirst();
    return b.range();
}

std::string dayOf(const std::string& da) { return da.size() > 8 ? da.substr(0, 8) : da; }

std::optional<CandlesticksTradeInfo> tradeInfoAt(VTATCRS& bars, int index) {
    if (index < 0 || index >= bars.rowsAffected()) return std::nullopt;
    bars.moveToIndex(index);
    CandlesticksTradeInfo info;
    info.lastPrice = text(bars.toVTAFloatWithFieldName(Col::kLast));
    info.change = text(bars.toVTAFloatWithFieldName(Col::kChange));
    info.changePercent = text(bars.toVTAFloatWithFieldName(Col::kChangePercent));
    info.maxPrice = text(bars.toVTAFloatWithFieldName(Col::kHigh));
    info.minPrice = text(bars.toVTAFloatWithFieldName(Col::kLow));
    info.openPrice = text(bars.toVTAFloatWithFieldName(Col::kOpen));
    info.prevClose = text(bars.toVTAFloatWithFieldName(Col::kPrevClose));
    auto volume = bars.toVTAFloatWithFieldName(Col::kVolume);
    auto amount = bars.toVTAFloatWithFieldName(Col::kAmount);
    info.volume = volume ? volume->toMoney() : "";
    info.turnover = amount ? amount->toMoney() : "";
    info.date = dateText(bars.toStringWithFieldName(Col::kDate).value_or(""));
    bars.fetchFirst();
    return info;
}

std::string dateText(const std::string& da) {
    bool digits = std::all_of(da.begin(), da.end(), [](unsigned char c) { return std::isdigit(c); });
    if (digits && da.size() == 8) return da.substr(0, 4) + "-" + da.substr(4, 2) + "-" + da.substr(6, 2);
    if (digits && da.size() == 12)
        return da.substr(4, 2) + "-" + da.substr(6, 2) + " " + da.substr(8, 2) + ":" + da.substr(10, 2);
    return da;
}

std::vector<std::string> movingAverageTexts(VTATCRS& bars, int index) {
    if (index < 0 || index >= bars.rowsAffected()) return {};
    bars.moveToIndex(index);
    std::vector<std::string> out;
    for (const char* f : {Col::kMa5, Col::kMa10, Col::kMa30}) out.push_back(text(bars.toVTAFloatWithFieldName(f)));
    bars.fetchFirst();
    return out;
}

}  // namespace KLine
