#pragma once
// What the intraday charts work out from a 31000/1 reply before they draw:
// the trading day of the stock's market, the price scale, the points that
// fill the gaps of the day, and the text model of one point.
//
// The reply's sets: 0 the header (row 0 the stock, row 1 the index when the
// overlay was asked for), 1 the points in time order (column 0 "tm" as HHMM,
// columns 1 and 4 the prices "zjcj" and "cjjj", "cjsl", "avol"), 2 the
// detail, 3 the index points (the same columns).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/TimeTrendTradeInfo.h"
#include "core/VTAFloat.h"

class VTATCRS;
using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

inline int minutesOfHHMM(int hhmm) { return hhmm / 100 * 60 + hhmm % 100; }
inline int hhmmOfMinutes(int minutes) { return minutes / 60 * 100 + minutes % 60; }

// The trading day of a market in minutes of the day: a morning and an
// afternoon session. The chart has one point per two trading minutes.
struct IntradaySession {
    int open = 570, noonClose = 690, afternoonOpen = 780, close = 900;

    // Shenzhen and Shanghai: 9:30-11:30 and 13:00-15:00; Hong Kong (market
    // 3): the sessions of the server's configuration ("HKtime").
    static IntradaySession forMarket(int marketId);
    int morningMinutes() const { return noonClose - open; }
    int tradingMinutes() const { return morningMinutes() + close - afternoonOpen; }
    // Points of a whole day: 120 for a 240-minute day.
    int maxPoints() const { return tradingMinutes() / 2; }
    // Trading minutes from the open to a minute of the day: the lunch break
    // counts as the noon close; before the open 0, after the close the day's length.
    int elapsed(int minuteOfDay) const;
    // The minute of the day that many trading minutes after the open.
    int minuteOfDay(int elapsedMinutes) const;
    // Where the noon close lies in a plot of that width (142.5 of 228 for 600, 750, 870, 960).
    double noonOffset(double width) const;
};

// The price scale of the stock and, with the overlay, of its index; both
// lines share one relative scale around their own previous closes.
struct IntradayScale {
    std::optional<VTAFloat> upper, lower;
    std::optional<VTAFloat> last, open, prevClose;
    std::optional<VTAFloat> overlayUpper, overlayLower, overlayOpen;

    bool isDrawable() const;
    bool isOverlayDrawable() const;
    // The percentage of the upper bound above the previous close ("2.35"),
    // empty when there is no previous close.
    std::string upperPercentText() const;
};

// Reads the scale from row 0 of set 0 (and the last row, the index, when
// `withOverlay`); an empty scale without data.
IntradayScale intradayScaleOf(const RecordSets& sets, bool withOverlay);

// Fills the gaps of the day into the reply's own sets: points from the open
// up to the first point, at the open price with zero volume, and points after
// the last one up to the time of "lastupd" (characters 8 to 11, HHMM), each a
// copy of the last point with zero volume. The index points (set 3) are filled
// the same way when the header has the index row. Filling again adds nothing.
// Answers the number of points added.
int supplyPoints(const RecordSets& sets, const IntradaySession& session);

// The crosshair's point index for an x of the chart (the plot starts at 1.5
// and is `plotWidth` wide): 0 to maxPoints.
int meterIndexAt(double x, int maxPoints, double plotWidth = 228);

// "930" -> "9:30".
std::string timeTextOfHHMM(long long hhmm);

// The text model of the point under the crosshair (`meterIndex`, clamped to
// the last point and stored back), or of the day's last point without the
// crosshair. Nullopt without data.
std::optional<TimeTrendTradeInfo> timeTrendTradeInfoAt(const RecordSets& sets, std::optional<int>& meterIndex);
