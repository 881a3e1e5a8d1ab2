#include "charts/CandlesticksChartView.h"

#include <algorithm>
#include <cmath>

#include "charts/CandlesticksTechDataView.h"
#include "charts/CandlesticksTechIndexView.h"
#include "charts/CandlesticksTradeInfoView.h"
#include "charts/ChartBackdrop.h"
#include "charts/ChartDrawing.h"
#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/KLinePlot.h"
#include "charts/QuotesMeterView.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/uikit/UITouch.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/SVSegmentedControl.h"

namespace Col = QuoteContract::Col;

namespace {
constexpr double kLegendTop = 48, kCandleTop = 62;
constexpr double kPeriodStrip = 30;  // the period row under the frame
constexpr double kCandleShare = 0.62;
}  // namespace

CandlesticksChartView::CandlesticksChartView(const CGRect& frame)
    : VTAView(frame), backdrop_(std::make_unique<ChartBackdrop>()) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    tradeInfoView_ = std::make_shared<CandlesticksTradeInfoView>(kTradeInfoRect);
    tradeInfoView_->setUserInteractionEnabled(false);
    addSubview(tradeInfoView_);
    techDataView_ = std::make_shared<CandlesticksTechDataView>(CGRectMake(kPlotLeft, kLegendTop, kPlotWidth, 14));
    addSubview(techDataView_);
    techIndexView_ = std::make_shared<CandlesticksTechIndexView>();
    addSubview(techIndexView_);
    std::vector<std::string> titles;
    for (int i = 0; i < KLine::kPeriodCount; ++i) titles.push_back(KLine::periodShortName(i));
    periodSeg_ = std::make_shared<SVSegmentedControl>(titles);
    periodSeg_->setHeight(24);
    periodSeg_->setTitleEdgeInsets(UIEdgeInsetsMake(0, 6, 0, 6));
    periodSeg_->setThumbEdgeInset(UIEdgeInsetsMake(2, 1, 1, 1));
    periodSeg_->setFont(UIFont::systemFontOfSize(13));
    periodSeg_->moveThumbToIndex(periodIndex_, false);
    periodSeg_->addTarget(
        this, [this](UIControl&) { changePeriod(periodSeg_->selectedIndex()); }, UIControlEventValueChanged);
    addSubview(periodSeg_);
    layoutSubviews();
}

CandlesticksChartView::~CandlesticksChartView() = default;

double CandlesticksChartView::frameBottom() const { return bounds().size.height - kPeriodStrip; }

CGRect CandlesticksChartView::candleRect() const {
    double h = std::floor((frameBottom() - kCandleTop) * kCandleShare);
    return CGRectMake(kPlotLeft, kCandleTop, kPlotWidth, std::max(h, 0.0));
}

CGRect CandlesticksChartView::techRect() const {
    CGRect c = candleRect();
    double top = CGRectGetMaxY(c);
    return CGRectMake(kPlotLeft, top, kPlotWidth, std::max(frameBottom() - top, 0.0));
}

void CandlesticksChartView::layoutSubviews() {
    techIndexView_->setFrame(techRect());
    periodSeg_->setCenter(CGPointMake(bounds().size.width / 2, bounds().size.height - kPeriodStrip / 2));
}

VTATCRS* CandlesticksChartView::bars() const {
    return quotesData_.size() >= 2 && quotesData_[1] ? quotesData_[1].get() : nullptr;
}

// ---- period, indicator, zoom ----

void CandlesticksChartView::setCurrentPeriodIndex(int index) {
    periodIndex_ = std::clamp(index, 0, KLine::kPeriodCount - 1);
    if (periodSeg_->selectedIndex() != periodIndex_) periodSeg_->moveThumbToIndex(periodIndex_, false);
}

void CandlesticksChartView::changePeriod(int index) {
    setCurrentPeriodIndex(index);
    hideMeterView();
    setNeedsDisplay();
    if (chartDelegate_) chartDelegate_->changeTechIndex(*this);
}

void CandlesticksChartView::setCurrentTechIndexType(int type) {
    techIndexType_ = std::clamp(type, 0, KLine::kTechIndexCount - 1);
    setNeedsDisplay();
}

void CandlesticksChartView::scrollTechIndexViewToIndex(int type) {
    setCurrentTechIndexType(type);
    if (chartDelegate_) chartDelegate_->changeTechIndex(*this);
}

void CandlesticksChartView::setCurrentTechViewTag(int tag) {
    techViewTag_ = tag;
    techIndexView_->setTag(tag);
}

void CandlesticksChartView::setZoomStep(int step) {
    zoomStep_ = std::clamp(step, 0, KLine::kZoomSteps - 1);
    setNeedsDisplay();
}

// ---- drawing ----

void CandlesticksChartView::drawGrid(CGContext& ctx) const {
    const UIColor& grid = *chartGridColor();
    double bottom = frameBottom();
    ctx.saveGState();
    ctx.setStrokeColor(grid);
    ctx.setLineWidth(1);
    ctx.strokeRect(CGRectMake(0.5, 47, bounds().size.width - 1, bottom - 47));
    ctx.restoreGState();
    CGRect c = candleRect();
    double left = CGRectGetMinX(c), right = CGRectGetMaxX(c);
    strokeChartLine(ctx, 0.5, CGRectGetMaxY(c) + 0.5, right, CGRectGetMaxY(c) + 0.5, grid);
    for (double f : {0.25, 0.5, 0.75}) {
        double y = std::round(c.origin.y + c.size.height * f) + 0.5;
        strokeChartLine(ctx, left, y, right, y, grid, true);
    }
}

void CandlesticksChartView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    quotesData_ = dataSource_ ? dataSource_->quotesDataInCandlestickChartView(*this) : RecordSets{};
    const CGRect c = candleRect();
    VTATCRS* set = bars();
    window_ = KLine::windowOf(set ? set->rowsAffected() : 0, c.size.width, KLine::candleWidth(zoomStep_));
    priceRange_ = set ? KLine::priceRange(*set, window_) : KLine::Range{};
    std::string techName = KLine::techIndexName(techIndexType_);

    techIndexView_->setInput(CandlesticksTechIndexView::inputFor(quotesData_, window_, priceRange_, techName));

    // Grid, candles, averages and the scale change with the bars, the window
    // and the size, not with the crosshair.
    PictureKey key;
    key.bars = set ? set->rowsAffected() : -1;
    key.from = window_.from;
    key.count = window_.count;
    key.candleWidth = window_.candleWidth;
    key.size = bounds().size;
    key.max = priceRange_.max;
    key.min = priceRange_.min;
    for (const auto& s : quotesData_) key.sets.push_back(s.get());
    const bool changed = !(key == pictureKey_);
    pictureKey_ = std::move(key);
    backdrop_->paint(*ctx, bounds().size, changed, [&](CGContext& picture) { drawBackdrop(picture); });

    if (isShowMeter_ && window_.count > 0)
        meterBar_ = std::clamp(meterBar_, window_.from, window_.from + window_.count - 1);
    updateBoxes();
}

void CandlesticksChartView::drawBackdrop(CGContext& ctx) const {
    drawGrid(ctx);
    const CGRect c = candleRect();
    VTATCRS* set = bars();
    if (set && priceRange_.isDrawable()) {
        KLinePlot plot(c, window_, priceRange_);
        plot.drawCandles(ctx, *set);
        plot.drawLine(ctx, *set, Col::kMa5, *colorWithIndex(43));
        plot.drawLine(ctx, *set, Col::kMa10, *UIColor::yellowColor());
        plot.drawLine(ctx, *set, Col::kMa30, *UIColor::purpleColor());
    }
    if (priceRange_.max && priceRange_.min) {
        const UIFont& font = chartFont(12);
        auto color = colorWithIndex(25);
        drawChartLabel(ctx, priceRange_.max->toString(), CGRectMake(c.origin.x + 1, c.origin.y + 1, 80, 14), font,
                       *color);
        drawChartLabel(ctx, priceRange_.min->toString(), CGRectMake(c.origin.x + 1, CGRectGetMaxY(c) - 15, 80, 14),
                       font, *color);
    }
}

// The box and the legend show the bar under the crosshair, or the last one.
void CandlesticksChartView::updateBoxes() {
    VTATCRS* set = bars();
    int index = isShowMeter_ ? meterBar_ : (set ? set->rowsAffected() - 1 : -1);
    auto info = set ? KLine::tradeInfoAt(*set, index) : std::nullopt;
    const auto& shown = tradeInfoView_->candlesticksTradeInfo();
    bool same = info.has_value() == shown.has_value() &&
                (!info || (info->date == shown->date && info->lastPrice == shown->lastPrice &&
                           info->volume == shown->volume && info->maxPrice == shown->maxPrice &&
                           info->minPrice == shown->minPrice && info->change == shown->change));
    if (!same) {
        tradeInfoView_->setCandlesticksTradeInfo(std::move(info));
        tradeInfoView_->setNeedsDisplay();
    }
    techDataView_->setTechDataArray(set ? KLine::movingAverageTexts(*set, index) : std::vector<std::string>{});
}

// ---- the crosshair ----

void CandlesticksChartView::showMeterView() {
    isShowMeter_ = true;
    CGRect c = candleRect();
    if (!meterView_)
        meterView_ = std::make_shared<QuotesMeterView>(CGRectMake(0, c.origin.y, 20, frameBottom() - c.origin.y + 5));
    if (!horizontalMeterView_)
        horizontalMeterView_ = std::make_shared<QuotesHorizontalMeterView>(CGRectMake(kPlotLeft, 0, kPlotWidth, 20));
    addSubview(meterView_);
    addSubview(horizontalMeterView_);
    moveMeterTo(touchBeginPoint_.x);
}

void CandlesticksChartView::hideMeterView() {
    isShowMeter_ = false;
    if (meterView_) meterView_->removeFromSuperview();
    if (horizontalMeterView_) horizontalMeterView_->removeFromSuperview();
    updateBoxes();
}

// Puts the crosshair on the bar in view under x: the vertical line through
// its candle, the horizontal one at its close.
void CandlesticksChartView::moveMeterTo(double x) {
    int k = window_.barAt(kPlotLeft, x);
    VTATCRS* set = bars();
    if (k < 0 || !set) return;
    meterBar_ = window_.from + k;
    meterView_->setCenter(CGPointMake(window_.centerX(kPlotLeft, k) + 0.5, meterView_->center().y));
    set->moveToIndex(meterBar_);
    auto close = set->toVTAFloatWithFieldName(Col::kLast);
    set->fetchFirst();
    if (close && priceRange_.isDrawable()) {
        KLinePlot plot(candleRect(), window_, priceRange_);
        horizontalMeterView_->setCenter(
            CGPointMake(horizontalMeterView_->center().x, std::round(plot.y(close->toFloat())) + 0.5));
    }
    updateBoxes();
}

void CandlesticksChartView::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    if (touches.count() == 1) touchBeginPoint_ = touches.anyObject()->locationInView(this);
    VTAView::touchesBegan(touches, event);
}

void CandlesticksChartView::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    VTAView::touchesMoved(touches, event);
    if (touches.count() == 1 && isShowMeter_) moveMeterTo(touches.anyObject()->locationInView(this).x);
}

void CandlesticksChartView::doAction(VTATouchAction action, const VTATouchSequence& sequence) {
    CGPoint start = sequence.start[0];
    switch (action) {
        case VTATouchAction::Click:
            if (CGRectContainsPoint(techRect(), start) && !isShowMeter_) {
                scrollTechIndexViewToIndex((techIndexType_ + 1) % KLine::kTechIndexCount);
            } else if (chartDelegate_) {
                chartDelegate_->clickActionInCandlesticksView(*this);
            }
            break;
        case VTATouchAction::DoubleClick:
            if (!CGRectContainsPoint(candleRect(), start)) break;
            if (isShowMeter_)
                openHistoryOfBar(meterBar_);
            else if (int k = window_.barAt(kPlotLeft, start.x); k >= 0)
                openHistoryOfBar(window_.from + k);
            break;
        case VTATouchAction::PinchHorizontal:
            setZoomStep((zoomStep_ + 1) % KLine::kZoomSteps);
            break;
        case VTATouchAction::SpreadHorizontal:
            setZoomStep((zoomStep_ + KLine::kZoomSteps - 1) % KLine::kZoomSteps);
            break;
        case VTATouchAction::PinchVertical:
            changePeriod((periodIndex_ + KLine::kPeriodCount - 1) % KLine::kPeriodCount);
            break;
        case VTATouchAction::SpreadVertical:
            changePeriod((periodIndex_ + 1) % KLine::kPeriodCount);
            break;
        default:
            break;
    }
}

void CandlesticksChartView::viewForHistory() {
    VTATCRS* set = bars();
    if (set) openHistoryOfBar(isShowMeter_ ? meterBar_ : set->rowsAffected() - 1);
}

void CandlesticksChartView::openHistoryOfBar(int index) {
    VTATCRS* set = bars();
    if (!set || index < 0 || index >= set->rowsAffected() || !quotesData_[0]) return;
    set->moveToIndex(index);
    std::string day = KLine::dayOf(set->toStringWithFieldName(Col::kDate).value_or(""));
    set->fetchFirst();
    openHistoryTimeSharing(*quotesData_[0], day);
}
