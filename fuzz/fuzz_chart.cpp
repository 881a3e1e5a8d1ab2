// The chart replies under arbitrary bytes: the intraday reply (31000/1: the
// stock's and the index's header rows, the points, the detail, the index
// points) and the K-line reply (31000/2: the header, the bars with the
// indicator's columns), read as both chart generations read them (the
// series the charts work out, and the older chart views with their merge of
// the latest bars into the held ones), and drawn now and then.
//
// The first byte chooses: bit 0 the replies as the bytes stand (two of them,
// the first as long as the next two bytes say), else record sets with the columns the
// charts read, of types and values the input picks; bit 7 draws the views.
// Then the market, the indicator, the zoom step and the period.
// Checks: filling the day's gaps twice adds nothing the second time, the bars
// in view lie within the bars, a drawable range has its top above its bottom,
// and the cursor stays on a point.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "charts/IntradaySeries.h"
#include "charts/KLineSeries.h"
#include "charts/VTAFSView.h"
#include "charts/VTAKXView.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "fuzz/FuzzDocuments.h"
#include "fuzz/FuzzRecordSets.h"
#include "platform/graphics/UIImage.h"

namespace {

namespace Col = QuoteContract::Col;

const std::vector<std::string> kHeader = {Col::kMarket,    Col::kClass,  Col::kCode,   Col::kName,
                                          Col::kPrevClose, Col::kLast,   Col::kOpen,   Col::kHigh,
                                          Col::kLow,       Col::kVolume, Col::kAmount, Col::kUpdated};
const std::vector<std::string> kPoint = {Col::kMinute, Col::kLast, Col::kVolume, Col::kMinuteShare, Col::kAverage};
const std::vector<std::string> kDetail = {Col::kChange, Col::kChangePercent, Col::kTurnover, Col::kVolumeRatio};

std::vector<std::string> barColumns(const std::string& techName, int techColumns) {
    std::vector<std::string> columns = {
        Col::kDate,      Col::kOpen,   Col::kHigh,          Col::kLow,      Col::kLast, Col::kVolume, Col::kAmount,
        Col::kPrevClose, Col::kChange, Col::kChangePercent, Col::kTurnover, Col::kMa5,  Col::kMa10,   Col::kMa30};
    if (techName == QuoteContract::Tech::kBOLL)
        for (const char* c : QuoteContract::Tech::kBollColumns) columns.push_back(c);
    else if (techName == QuoteContract::Tech::kSAR)
        columns.push_back(QuoteContract::Tech::kSarColumn);
    else
        for (int i = 0; i < techColumns; ++i) columns.push_back(techName + std::to_string(i + 1));
    return columns;
}

RecordSets setsOf(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets ? *sets : RecordSets{};
}

void readIntraday(const RecordSets& sets, int market, bool overlay) {
    const IntradaySession session = IntradaySession::forMarket(market);
    IntradayScale scale = intradayScaleOf(sets, overlay);
    scale.upperPercentText();
    scale.isDrawable();
    scale.isOverlayDrawable();
    supplyPoints(sets, session);
    if (supplyPoints(sets, session) != 0) std::abort();  // the gaps were filled the first time
    const int points = sets.size() >= 2 && sets[1] ? sets[1]->rowsAffected() : 0;
    for (std::optional<int> at : {std::optional<int>(), std::optional<int>(0), std::optional<int>(points / 2),
                                  std::optional<int>(-5), std::optional<int>(1 << 30)}) {
        auto info = timeTrendTradeInfoAt(sets, at);
        if (info && at && points > 0 && (*at < 0 || *at >= points)) std::abort();  // the cursor left the points
    }
    for (double x : {-10.0, 0.0, 1.5, 100.0, 228.0, 1e9}) {
        int index = meterIndexAt(x, session.maxPoints());
        if (index < 0 || index > session.maxPoints()) std::abort();
    }
}

void readBars(const RecordSets& sets, const std::string& techName, int zoomStep) {
    if (sets.size() < 2 || !sets[1]) return;
    VTATCRS& bars = *sets[1];
    const KLine::Window window = KLine::windowOf(bars.rowsAffected(), 228, KLine::candleWidth(zoomStep));
    if (window.count < 0 || window.from < 0 || window.from + window.count > bars.rowsAffected()) std::abort();
    for (const KLine::Range& range : {KLine::priceRange(bars, window), KLine::techRange(bars, window, techName)})
        if (range.isDrawable() && compareVTAFloat(*range.max, *range.min) <= 0) std::abort();
    for (int i = window.from; i < window.from + window.count; ++i) {
        KLine::tradeInfoAt(bars, i);
        KLine::movingAverageTexts(bars, i);
        bars.moveToIndex(i);
        const std::string da = bars.toStringWithFieldName(Col::kDate).value_or("");
        KLine::dateText(da);
        KLine::dayOf(da);
    }
    KLine::tradeInfoAt(bars, -1);
    KLine::tradeInfoAt(bars, bars.rowsAffected());
    window.barAt(0, 1e6);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzDocuments();  // the views read their settings
    FuzzInput in{data, size};
    const uint8_t mode = in.byte();
    const int market = 1 + in.byte() % 3;
    const int techType = in.byte() % KLine::kTechIndexCount;
    const std::string techName = KLine::techIndexName(techType);
    const int zoomStep = in.byte() % KLine::kZoomSteps;
    const int period = in.byte() % KLine::kPeriodCount;

    std::vector<uint8_t> intraday, kline, update;
    if (mode & 1) {
        intraday = kline = in.bytes(in.word());
        update = in.rest();
    } else {
        TCRSWriter day, bars, latest;
        addFuzzSet(day, in, kHeader, 2);
        addFuzzSet(day, in, kPoint, 40);
        addFuzzSet(day, in, kDetail, 1);
        addFuzzSet(day, in, kPoint, 20);
        const auto columns = barColumns(techName, 1 + in.byte() % 3);
        addFuzzSet(bars, in, kHeader, 1);
        addFuzzSet(bars, in, columns, 40);
        addFuzzSet(latest, in, kHeader, 1);
        addFuzzSet(latest, in, columns, 3);
        intraday = day.bytes();
        kline = bars.bytes();
        update = latest.bytes();
    }

    const RecordSets intradaySets = setsOf(intraday);
    readIntraday(intradaySets, market, mode & 2);
    readBars(setsOf(kline), techName, zoomStep);

    // The older views hold what they are given: fresh sets of their own.
    VTAFSView fs(CGRectMake(0, 0, 320, 372));
    fs.parseHQData(setsOf(intraday));
    fs.setCursorIndexWithPoint(CGPointMake(160, 100));
    VTAKXView kx(CGRectMake(0, 0, 320, 372));
    kx.setTechName(techName);
    kx.setTypeIndex(period);
    kx.setItemIndex(zoomStep);
    kx.parseHQData(setsOf(kline));
    kx.parseHQData(setsOf(update));  // the latest bars merged into the held ones
    kx.setCursorIndexWithPoint(CGPointMake(300, 100));
    if (mode & 0x80) {
        fs.renderToImage(0.25);
        kx.renderToImage(0.25);
    }
    return 0;
}
