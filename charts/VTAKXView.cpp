#include "charts/VTAKXView.h"

#include <algorithm>
#include <cmath>

#include "charts/CandlesticksTechIndexView.h"
#include "charts/ChartDrawing.h"
#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/KLinePlot.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;
namespace Key = QuoteContract::Key;

namespace {
constexpr double kTitleHeight = 20, kSideWidth = 44, kDateHeight = 16;
constexpr double kCandleShare = 0.62;

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }
}  // namespace

VTAKXView::VTAKXView(const CGRect& frame) : VTAChartView(frame) {
    techName_ = KLine::techIndexName(
        KLine::techIndexType(VTAUserDefoult::standerDefoult().getStringForKey(kTechSetting).value_or("")));
    techIndexView_ = std::make_shared<CandlesticksTechIndexView>();
    addSubview(techIndexView_);
    layoutSubviews();
}

VTAKXView::~VTAKXView() = default;

void VTAKXView::layoutSubviews() {
    CGRect b = bounds();
    double plotW = b.size.width - kSideWidth - 4;
    double plotH = std::max(b.size.height - kTitleHeight - kDateHeight - 4, 0.0);
    double lineH = std::floor(plotH * kCandleShare);
    lineRect_ = CGRectMake(kSideWidth, kTitleHeight, plotW, lineH);
    cjlRect_ = CGRectMake(kSideWidth, kTitleHeight + lineH, plotW, plotH - lineH);
    verticalBarRect_ = CGRectMake(0, kTitleHeight, kSideWidth, plotH);
    horizontalBarRect_ = CGRectMake(kSideWidth, kTitleHeight + plotH, plotW, kDateHeight);
    detailRect_ = CGRectZero;
    techIndexView_->setFrame(cjlRect_);
}

RequestBuilder VTAKXView::requestStringWithMFunc(int mainFunction, int subFunction) const {
    RequestBuilder r(mainFunction, subFunction);
    bool held = chartHQRS_ && chartHQRS_->rowsAffected() > 0;
    r.add(Key::kDirect, 1).add(Key::kTime, 0).add(Key::kType, KLine::periodCode(typeIndex_)).add(Key::kDate, 0);
    r.add(Key::kCount, held ? kUpdateCount : kFullCount).add(Key::kTechName, techName_);
    return r;
}

void VTAKXView::parseHQData(const RecordSets& sets) {
    if (sets.empty() || !sets[0]) return;
    baseHQRS_ = sets[0];
    readStock();
    std::shared_ptr<VTATCRS> fresh = sets.size() >= 2 ? sets[1] : nullptr;
    if (chartHQRS_ && chartHQRS_->rowsAffected() > 0 && fresh)
        mergeBars(fresh);
    else
        chartHQRS_ = fresh;
    computationFrame();
}

// The latest bars replace the held bars of the same day and extend the held ones.
void VTAKXView::mergeBars(const std::shared_ptr<VTATCRS>& fresh) {
    VTATCRS& held = *chartHQRS_;
    int day = held.fieldsIndexWithName(Col::kDate);
    if (day < 0 || fresh->fieldCount() != held.fieldCount() || fresh->fieldsIndexWithName(Col::kDate) != day) {
        chartHQRS_ = fresh;
        return;
    }
    for (fresh->fetchFirst(); !fresh->isEOF(); fresh->fetchNext()) {
        std::string da = fresh->toStringAtIndex(day).value_or("");
        std::vector<Value> row;
        for (int f = 0; f < fresh->fieldCount(); ++f) row.push_back(fresh->fieldValueAtIndex(f));
        int at = held.recordIndexWithFieldIndex(day, da);
        if (at >= 0) {
            held.deleteRecordAtIndex(at);
            held.insertRecord(row, at);
            continue;
        }
        held.fetchLast();
        std::string last = held.toStringAtIndex(day).value_or("");
        if (da.size() > last.size() || (da.size() == last.size() && da > last)) held.insertRecord(row, -1);
    }
    fresh->fetchFirst();
    held.fetchFirst();
}

std::string VTAKXView::abstractTitle() const { return "K线-" + stkName_; }

void VTAKXView::setTechName(const std::string& name) {
    techName_ = KLine::techIndexName(KLine::techIndexType(name));
    setNeedsDisplay();
}

void VTAKXView::setTypeIndex(int index) { typeIndex_ = std::clamp(index, 0, KLine::kPeriodCount - 1); }

void VTAKXView::setItemIndex(int index) { itemIndex_ = std::clamp(index, 0, KLine::kZoomSteps - 1); }

void VTAKXView::computationFrame() {
    int rows = chartHQRS_ ? chartHQRS_->rowsAffected() : 0;
    window_ = KLine::windowOf(rows, lineRect_.size.width, KLine::candleWidth(itemIndex_));
    priceRange_ = chartHQRS_ ? KLine::priceRange(*chartHQRS_, window_) : KLine::Range{};
    if (cursorIndex_ >= 0 && window_.count > 0)
        cursorIndex_ = std::clamp(cursorIndex_, window_.from, window_.from + window_.count - 1);
    setNeedsDisplay();
}

void VTAKXView::setCursorIndexWithPoint(CGPoint point) {
    int k = window_.barAt(lineRect_.origin.x, point.x);
    cursorIndex_ = k < 0 ? -1 : window_.from + k;
    setNeedsDisplay();
}

void VTAKXView::doAction(VTATouchAction action, const VTATouchSequence& sequence) {
    CGPoint start = sequence.start[0];
    if (action == VTATouchAction::DoubleClick && CGRectContainsPoint(lineRect_, start)) {
        int k = window_.barAt(lineRect_.origin.x, start.x);
        openHistoryOfBar(showCursor_ && cursorIndex_ >= 0 ? cursorIndex_ : (k < 0 ? -1 : window_.from + k));
    }
    reportAction(action, start);
}

void VTAKXView::viewForHistory() {
    if (!chartHQRS_) return;
    openHistoryOfBar(showCursor_ && cursorIndex_ >= 0 ? cursorIndex_ : chartHQRS_->rowsAffected() - 1);
}

void VTAKXView::openHistoryOfBar(int index) {
    if (!chartHQRS_ || !baseHQRS_ || index < 0 || index >= chartHQRS_->rowsAffected()) return;
    chartHQRS_->moveToIndex(index);
    std::string day = KLine::dayOf(chartHQRS_->toStringWithFieldName(Col::kDate).value_or(""));
    chartHQRS_->fetchFirst();
    openHistoryTimeSharing(*baseHQRS_, day);
}

void VTAKXView::drawChartWithContext(CGContext& ctx) {
    drawPlotFrame(ctx);
    CGRect plot = CGRectUnion(lineRect_, cjlRect_);
    for (double f : {0.25, 0.5, 0.75}) {
        double y = std::round(lineRect_.origin.y + lineRect_.size.height * f) + 0.5;
        strokeChartLine(ctx, plot.origin.x, y, CGRectGetMaxX(plot), y, *colorWithIndex(27), true);
    }
    const UIFont& font = chartFont(12);
    std::string title = stkName_.empty() ? "" : stkName_ + " " + KLine::periodName(typeIndex_);
    drawStringInRect(&ctx, title, 4, 1, 160, 18, chartFont(14), *colorWithIndex(7));

    VTATCRS* bars = chartHQRS_.get();
    RecordSets sets;
    if (baseHQRS_ && bars) sets = {baseHQRS_, chartHQRS_};
    techIndexView_->setInput(CandlesticksTechIndexView::inputFor(sets, window_, priceRange_, techName_));
    if (!bars) return;

    KLinePlot candles(lineRect_, window_, priceRange_);
    candles.drawCandles(ctx, *bars);
    candles.drawLine(ctx, *bars, Col::kMa5, *colorWithIndex(33));
    candles.drawLine(ctx, *bars, Col::kMa10, *colorWithIndex(34));
    candles.drawLine(ctx, *bars, Col::kMa30, *colorWithIndex(35));
    if (priceRange_.max && priceRange_.min) {
        drawStringInRect(&ctx, priceRange_.max->toString(), 2, lineRect_.origin.y, kSideWidth - 4, 14, font,
                         *colorWithIndex(25));
        drawStringInRect(&ctx, priceRange_.min->toString(), 2, CGRectGetMaxY(lineRect_) - 14, kSideWidth - 4, 14, font,
                         *colorWithIndex(25));
    }
    // The first and last day in view under the chart.
    if (window_.count > 0) {
        auto dayAt = [&](int i) {
            bars->moveToIndex(i);
            std::string da = bars->toStringWithFieldName(Col::kDate).value_or("");
            bars->fetchFirst();
            return KLine::dateText(da);
        };
        const CGRect& t = horizontalBarRect_;
        drawStringInRect(&ctx, dayAt(window_.from), t.origin.x, t.origin.y, 90, t.size.height, font,
                         *colorWithIndex(26));
        drawStringInRect(&ctx, dayAt(window_.from + window_.count - 1), CGRectGetMaxX(t) - 90, t.origin.y, 90,
                         t.size.height, font, *colorWithIndex(26), TextDrawingMode::Fill, 2);
    }
    if (showCursor_ && cursorIndex_ >= window_.from && cursorIndex_ < window_.from + window_.count &&
        candles.isDrawable()) {
        bars->moveToIndex(cursorIndex_);
        auto close = bars->toVTAFloatWithFieldName(Col::kLast);
        std::vector<std::pair<std::string, std::string>> rows{
            {"日期", KLine::dateText(bars->toStringWithFieldName(Col::kDate).value_or(""))},
            {"开盘", text(bars->toVTAFloatWithFieldName(Col::kOpen))},
            {"最高", text(bars->toVTAFloatWithFieldName(Col::kHigh))},
            {"最低", text(bars->toVTAFloatWithFieldName(Col::kLow))},
            {"收盘", text(close)}};
        bars->fetchFirst();
        double y =
            std::clamp(candles.y(close ? close->toFloat() : 0), CGRectGetMinY(lineRect_), CGRectGetMaxY(lineRect_));
        drawCursorLines(ctx, window_.centerX(lineRect_.origin.x, cursorIndex_ - window_.from), y);
        drawCursorBox(ctx, rows);
    }
}
