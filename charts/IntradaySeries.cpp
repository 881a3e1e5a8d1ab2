#include "charts/IntradaySeries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/QZUtil.h"
#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"

namespace Col = QuoteContract::Col;

namespace {

constexpr int64_t kNoValue = VTAFloat::kNoValue;

bool isPresentRaw(int64_t raw) { return raw >= 1 && raw < kNoValue; }

std::optional<VTAFloat> priceOf(const VTATCRS& set, const char* field) { return set.toVTAFloatWithFieldName(field); }

std::string textOf(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }

// P ± (P / 500 + the larger distance of the day's high and low from P).
void symmetricBounds(const VTAFloat& p, std::optional<VTAFloat> high, std::optional<VTAFloat> low,
                     std::optional<VTAFloat>& upper, std::optional<VTAFloat>& lower) {
    if (!high) high = p;
    if (!low) low = p;
    auto d = maxVTAFloat(absVTAFloat(subVTAFloat(high, p)), absVTAFloat(subVTAFloat(p, low)));
    auto margin = addVTAFloat(divVTAFloat(p, 500), d);
    upper = addVTAFloat(p, margin);
    lower = subVTAFloat(p, margin);
}

// (upper - p) / p, cut to four decimals; nullopt for p 0. In doubles: a
// reply's prices far apart must not overflow the product.
std::optional<double> relativeHalfRange(const VTAFloat& upper, const VTAFloat& p) {
    if (p.value() == 0) return std::nullopt;
    return std::trunc((double(upper.value()) - double(p.value())) * 10000 / double(p.value())) / 10000.0;
}

// Widens p's bounds to p ± p × relative; leaves them when those would not
// fit a price (prices of a reply no market has).
void widen(const VTAFloat& p, double relative, std::optional<VTAFloat>& upper, std::optional<VTAFloat>& lower) {
    const double d = std::trunc(double(p.value()) * relative);
    constexpr double kRoom = 0x1p62;  // a price, plus or minus a half range, stays an int64
    if (!(std::fabs(d) < kRoom && std::fabs(double(p.value())) < kRoom)) return;
    upper = VTAFloat(p.value() + static_cast<int64_t>(d), p.unit());
    lower = VTAFloat(p.value() - static_cast<int64_t>(d), p.unit());
}

// The lastupd minute of the header row, when the text is long enough.
std::optional<int> lastUpdateMinute(VTATCRS& header, size_t minimumLength) {
    header.fetchFirst();
    auto text = header.toStringWithFieldName(Col::kUpdated);
    if (!text || text->size() < minimumLength) return std::nullopt;
    int hhmm = 0;
    for (size_t i = 8; i < 12; ++i) {
        char c = (*text)[i];
        if (c < '0' || c > '9') return std::nullopt;
        hhmm = hhmm * 10 + (c - '0');
    }
    return minutesOfHHMM(hhmm);
}

struct FillRule {
    Value openPrice;           // the price of the points before the first one
    std::optional<int> until;  // the minute the trailing points run to
    bool zeroVolume;           // trailing points get "avol" 0
};

// The minute of the current point, read back the way the fill writes it (the
// text "HHMM", which a column converts to its own type): a minute column of
// another type than the server's integers (a packed one reads back as its
// packed number) would otherwise never find the points it filled, and gain a
// day of them at every drawing.
int minuteOfPoint(VTATCRS& points) { return minutesOfHHMM(intValueOfText(points.toStringAtIndex(0).value_or(""))); }

// Whether the minute column holds what the fill writes ("1030"): a fixed
// text shorter than that would cut it, and the points filled would never be
// found again.
bool holdsMinutes(const VTATCRS& points) {
    auto field = points.fieldDescAtIndex(0);
    return field && (field->fieldType() != TCRSFieldType::FixedText || field->fieldLength() >= 4);
}

int fillSet(VTATCRS& points, const IntradaySession& session, const FillRule& rule) {
    if (points.rowsAffected() == 0 || points.fieldCount() == 0 || !holdsMinutes(points)) return 0;
    int added = 0;
    const int fields = points.fieldCount();

    points.fetchFirst();
    int first = session.elapsed(minuteOfPoint(points));
    for (int e = 0, row = 0; e < first; e += 2, ++row) {
        std::vector<Value> record(fields, Value(0LL));
        record[0] = std::to_string(hhmmOfMinutes(session.minuteOfDay(e)));
        if (fields > 1) record[1] = rule.openPrice;
        if (fields > 4) record[4] = rule.openPrice;
        if (points.insertRecord(record, row) != 0) return added;
        ++added;
    }

    if (!rule.until) return added;
    points.fetchLast();
    int last = session.elapsed(minuteOfPoint(points));
    int until = session.elapsed(*rule.until);
    if (until - last < 2) return added;
    std::vector<Value> copy(fields);
    for (int f = 0; f < fields; ++f) copy[f] = points.fieldValueAtIndex(f);
    int volume = points.fieldsIndexWithName(Col::kMinuteShare);
    if (rule.zeroVolume && volume >= 0) copy[volume] = Value(0LL);
    for (int e = last + 2; e <= until; e += 2) {
        copy[0] = std::to_string(hhmmOfMinutes(session.minuteOfDay(e)));
        if (points.insertRecord(copy, -1) != 0) return added;
        ++added;
    }
    return added;
}

}  // namespace

IntradaySession IntradaySession::forMarket(int marketId) {
    IntradaySession s;
    if (marketId != 3) return s;
    auto hk = QZUtil::tradeTimeOnsetArrayOfHK();
    if (hk.size() == 4) s = {hk[0], hk[1], hk[2], hk[3]};
    return s;
}

int IntradaySession::elapsed(int minuteOfDay) const {
    if (minuteOfDay <= open) return 0;
    if (minuteOfDay <= noonClose) return minuteOfDay - open;
    if (minuteOfDay <= afternoonOpen) return morningMinutes();
    return std::min(minuteOfDay, close) - afternoonOpen + morningMinutes();
}

int IntradaySession::minuteOfDay(int elapsedMinutes) const {
    if (elapsedMinutes <= morningMinutes()) return open + elapsedMinutes;
    return afternoonOpen + elapsedMinutes - morningMinutes();
}

double IntradaySession::noonOffset(double width) const {
    int total = tradingMinutes();
    return total > 0 ? morningMinutes() * width / total : width / 2;
}

bool IntradayScale::isDrawable() const { return upper && lower && compareVTAFloat(*upper, *lower) > 0; }

bool IntradayScale::isOverlayDrawable() const {
    return overlayUpper && overlayLower && compareVTAFloat(*overlayUpper, *overlayLower) > 0;
}

std::string IntradayScale::upperPercentText() const {
    if (!upper || !prevClose || prevClose->value() == 0) return "";
    double ratio = (upper->toFloat() - prevClose->toFloat()) / prevClose->toFloat();
    return VTAFloat(std::llround(ratio * 10000), 2).toString();
}

IntradayScale intradayScaleOf(const RecordSets& sets, bool withOverlay) {
    IntradayScale s;
    if (sets.empty() || !sets[0] || sets[0]->rowsAffected() == 0) return s;
    VTATCRS& header = *sets[0];
    header.fetchFirst();
    // A last price present as an integer but unreadable as a price (a text
    // such as "12x") counts as none: the scale is built around prices there.
    auto last = isPresentRaw(header.toIntWithFieldName(Col::kLast)) ? priceOf(header, Col::kLast) : std::nullopt;
    if (last) {
        s.last = last;
        s.prevClose = priceOf(header, Col::kPrevClose);
        s.open = priceOf(header, Col::kOpen);
        auto high = priceOf(header, Col::kHigh);
        auto low = priceOf(header, Col::kLow);
        if (!high || compareVTAFloat(*high, *s.last) < 0) high = s.last;
        if (!low || compareVTAFloat(*low, *s.last) > 0) low = s.last;
        if (!s.prevClose) s.prevClose = s.open ? s.open : s.last;
        symmetricBounds(*s.prevClose, high, low, s.upper, s.lower);
    } else {
        int64_t raw = header.toIntWithFieldName(Col::kPrevClose);
        if (!isPresentRaw(raw)) raw = header.toIntWithFieldName(Col::kOpen);
        if (!isPresentRaw(raw)) raw = 0;
        VTAFloat p = VTAFloat::VTAFloatWithLong(raw).value_or(VTAFloat());
        s.prevClose = s.last = s.open = p;
        s.upper = VTAFloat(p.value() * 103 / 100, p.unit());
        s.lower = VTAFloat(p.value() * 97 / 100, p.unit());
    }

    if (!withOverlay || header.rowsAffected() < 2) return s;
    header.fetchLast();
    auto q = priceOf(header, Col::kPrevClose);
    s.overlayOpen = priceOf(header, Col::kOpen);
    if (!q) return s;
    symmetricBounds(*q, priceOf(header, Col::kHigh), priceOf(header, Col::kLow), s.overlayUpper, s.overlayLower);
    header.fetchFirst();
    // One relative scale for both: the wider half-range wins. Without a
    // previous close (0) there is nothing to relate to.
    auto rs = relativeHalfRange(*s.upper, *s.prevClose);
    auto ri = relativeHalfRange(*s.overlayUpper, *q);
    if (!rs || !ri) return s;
    if (*rs > *ri)
        widen(*q, *rs, s.overlayUpper, s.overlayLower);
    else if (*rs < *ri)
        widen(*s.prevClose, *ri, s.upper, s.lower);
    return s;
}

int supplyPoints(const RecordSets& sets, const IntradaySession& session) {
    if (sets.size() < 2 || !sets[0] || !sets[1] || sets[0]->rowsAffected() == 0) return 0;
    VTATCRS& header = *sets[0];
    header.fetchFirst();
    int added = fillSet(*sets[1], session, {header.fieldValueWithName(Col::kOpen), lastUpdateMinute(header, 12), true});
    if (sets.size() >= 4 && sets[3] && sets[3]->rowsAffected() > 0 && header.rowsAffected() >= 2) {
        auto until = lastUpdateMinute(header, 13);
        header.fetchLast();
        added += fillSet(*sets[3], session, {header.fieldValueWithName(Col::kOpen), until, false});
    }
    header.fetchFirst();
    sets[1]->fetchFirst();
    return added;
}

int meterIndexAt(double x, int maxPoints, double plotWidth) {
    int index = static_cast<int>((x - 1.5) * maxPoints / plotWidth);
    return std::clamp(index, 0, maxPoints);
}

std::string timeTextOfHHMM(long long hhmm) {
    std::string t = std::to_string(hhmm);
    if (t.size() > 2) t.insert(t.size() - 2, ":");
    return t;
}

std::optional<TimeTrendTradeInfo> timeTrendTradeInfoAt(const RecordSets& sets, std::optional<int>& meterIndex) {
    if (sets.empty() || !sets[0] || sets[0]->rowsAffected() == 0) return std::nullopt;
    TimeTrendTradeInfo info;
    VTATCRS& header = *sets[0];
    header.fetchFirst();
    info.maxPrice = textOf(priceOf(header, Col::kHigh));
    info.minPrice = textOf(priceOf(header, Col::kLow));
    info.openPrice = textOf(priceOf(header, Col::kOpen));
    info.prevClose = textOf(priceOf(header, Col::kPrevClose));
    auto last = priceOf(header, Col::kLast);
    auto prevClose = priceOf(header, Col::kPrevClose);
    bool isIndex = header.toIntWithFieldName(Col::kClass) == 2;

    if (sets.size() >= 2 && sets[1] && sets[1]->rowsAffected() > 0) {
        VTATCRS& points = *sets[1];
        int rows = points.rowsAffected();
        if (meterIndex) {
            if (*meterIndex >= rows) meterIndex = rows - 1;
            if (*meterIndex < 0) meterIndex = 0;
            points.moveToIndex(*meterIndex);
            last = priceOf(points, Col::kLast);
        } else {
            points.fetchLast();
        }
        info.avgPrice = isIndex ? "--" : textOf(priceOf(points, Col::kAverage));
        auto volume = priceOf(points, Col::kVolume);
        info.volume = volume ? volume->toMoney() : "";
        info.time = timeTextOfHHMM(points.toIntWithFieldName(Col::kMinute));
        points.fetchFirst();
    }
    info.lastPrice = textOf(last);

    if (meterIndex) {
        // A previous close of 0 (or none) has no change to show.
        if (last && prevClose && prevClose->value() != 0) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", double(last->toFloat()) - double(prevClose->toFloat()));
            info.change = buf;
            double ratio = (double(last->toFloat()) - prevClose->toFloat()) / prevClose->toFloat();
            info.changePercent = VTAFloat(std::llround(ratio * 10000), 2).toString();
        } else {
            info.change = info.changePercent = "-";
        }
    } else if (sets.size() < 3 || !sets[2] || sets[2]->rowsAffected() == 0) {
        info.change = info.changePercent = "-";
    } else {
        VTATCRS& detail = *sets[2];
        detail.fetchFirst();
        info.change = detail.toStringWithFieldName(Col::kChange).value_or("");
        info.changePercent = detail.toStringWithFieldName(Col::kChangePercent).value_or("");
    }
    return info;
}
