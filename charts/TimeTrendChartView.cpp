#include "charts/TimeTrendChartView.h"

#include <algorithm>
#include <cmath>

#include "charts/ChartDrawing.h"
#include "charts/IntradayPlot.h"
#include "charts/QuotesMeterView.h"
#include "charts/TradeInfoView.h"
#include "core/QZUtil.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "platform/uikit/UITouch.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/VTAView.h"

namespace Col = QuoteContract::Col;

namespace {

constexpr const char* kOverlaySetting = "fschart dj set";
constexpr const char* kMarketSetting = "hkmarket";
// The index whose chart never gets an overlay of itself.
constexpr const char* kNoOverlayCode = "100100";

double floatOf(const std::optional<VTAFloat>& v) { return v ? v->toFloat() : 0; }

}  // namespace

TimeTrendChartView::TimeTrendChartView(const CGRect& frame) : UIView(frame) {
    isNeedOverlay_ = VTAUserDefoult::standerDefoult().getBoolForKey(kOverlaySetting);
    if (VTAUserDefoult::standerDefoult().getStringForKey(kMarketSetting) == std::optional<std::string>("3"))
        stockMarketId_ = 3;
    session_ = IntradaySession::forMarket(stockMarketId_);
    maxPoints_ = session_.maxPoints();
    tradeInfoView_ = std::make_shared<TradeInfoView>(kTradeInfoRect);
    tradeInfoView_->setUserInteractionEnabled(false);
    addSubview(tradeInfoView_);
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    initPositionButtonsInRect(kSidePanelRect);
    initQuotesInfoSeg();
}

TimeTrendChartView::~TimeTrendChartView() = default;

void TimeTrendChartView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    drawRectLayout(*ctx);
    quotesData_ = dataSource_ ? dataSource_->quotesDataInTimeTrendChartView(*this) : RecordSets{};
    boundaryValueFromQuotesData();
    supplyPoints(quotesData_, session_);
    updateTradeInfo(isShowMeter_ ? std::optional<int>(lastMeterIndex_) : std::nullopt);

    drawGrids(*ctx);
    drawTimeInfoInRect(*ctx, kTimeRect);
    drawTimeTrendChartInRect(*ctx, kPriceRect);
    if (isNeedOverlay_ && stockSymbol_ != kNoOverlayCode) drawMarketIndexOverlayInRect(*ctx, kPriceRect);
    drawScaleLabels(*ctx, kPriceRect);

    updateOrderButtons();
    setQuotesInfoSegIsInit(!isRefreshFromSegmentAction_);
    isRefreshFromSegmentAction_ = false;
    if (isPosition_)
        drawPositionInRect(*ctx, kSidePanelRect);
    else
        drawQuotesInfoInRect(*ctx, kSidePanelRect);
}

void TimeTrendChartView::drawRectLayout(CGContext& ctx) const {
    ctx.saveGState();
    ctx.setStrokeColor(*chartGridColor());
    ctx.setLineWidth(1);
    ctx.beginPath();
    ctx.addRect(kFrameRect);
    ctx.moveToPoint(230.5, 47);
    ctx.addLineToPoint(230.5, 331);
    ctx.moveToPoint(0.5, 224);
    ctx.addLineToPoint(229, 224);
    ctx.moveToPoint(0.5, 314.5);
    ctx.addLineToPoint(229, 314.5);
    ctx.strokePath();
    ctx.restoreGState();
}

void TimeTrendChartView::boundaryValueFromQuotesData() {
    scale_ = IntradayScale{};
    if (quotesData_.empty() || !quotesData_[0] || quotesData_[0]->rowsAffected() == 0) return;
    VTATCRS& header = *quotesData_[0];
    header.fetchFirst();
    stockName_ = header.toStringWithFieldName(Col::kName).value_or("");
    stockSymbol_ = header.toStringWithFieldName(Col::kCode).value_or("");
    stockMarketId_ = static_cast<int>(header.toIntWithFieldName(Col::kMarket));
    stockClassId_ = static_cast<int>(header.toIntWithFieldName(Col::kClass));
    session_ = IntradaySession::forMarket(stockMarketId_);
    maxPoints_ = session_.maxPoints();
    scale_ = intradayScaleOf(quotesData_, isNeedOverlay_);
}

void TimeTrendChartView::drawGrids(CGContext& ctx) const {
    const UIColor& grid = *chartGridColor();
    auto verticals = [&](const CGRect& r) {
        double minX = CGRectGetMinX(r), w = r.size.width;
        if (stockMarketId_ == 3) {
            double x = minX + session_.noonOffset(w);
            strokeChartLine(ctx, x, CGRectGetMinY(r), x, CGRectGetMaxY(r), grid, true);
            return;
        }
        for (double f : {0.25, 0.5, 0.75})
            strokeChartLine(ctx, minX + w * f, CGRectGetMinY(r), minX + w * f, CGRectGetMaxY(r), grid, true);
    };
    const CGRect& p = kPriceRect;
    double minX = CGRectGetMinX(p), maxX = CGRectGetMaxX(p) + 1;
    strokeChartLine(ctx, minX, CGRectGetMidY(p), maxX, CGRectGetMidY(p), grid);
    for (double f : {0.25, 0.75}) {
        double y = CGRectGetMinY(p) + p.size.height * f;
        strokeChartLine(ctx, minX, y, maxX, y, grid, true);
    }
    verticals(p);
    const CGRect& v = kVolumeRect;
    strokeChartLine(ctx, minX, CGRectGetMidY(v), maxX, CGRectGetMidY(v), grid, true);
    verticals(v);
}

void TimeTrendChartView::drawTimeInfoInRect(CGContext& ctx, const CGRect& r) const {
    const UIFont& font = chartFont(14);
    const UIColor& white = *colorWithIndex(43);
    double minX = CGRectGetMinX(r), minY = CGRectGetMinY(r), maxX = CGRectGetMaxX(r), h = r.size.height;
    auto text = [](int minutes) { return QZUtil::stringTimeFromIntTime(minutes); };
    double middle = stockMarketId_ == 3 ? minX + session_.noonOffset(r.size.width) : CGRectGetMidX(r);
    drawStringInRect(&ctx, text(session_.open), minX, minY, 40, h, font, white, TextDrawingMode::Fill, 0);
    drawStringInRect(&ctx, text(session_.noonClose) + "/" + text(session_.afternoonOpen), middle - 40, minY, 80, h,
                     font, white, TextDrawingMode::Fill, 1);
    drawStringInRect(&ctx, text(session_.close), maxX - 42, minY, 40, h, font, white, TextDrawingMode::Fill, 2);
}

void TimeTrendChartView::drawScaleLabels(CGContext& ctx, const CGRect& r) const {
    if (!scale_.upper || !scale_.lower) return;
    const UIFont& font = chartFont(12);
    auto red = colorWithIndex(41), white = colorWithIndex(43), green = colorWithIndex(42);
    // The plates reach the frame on both sides: no stub of a grid line beside them.
    double x = CGRectGetMinX(r) - 0.5, right = CGRectGetMaxX(r) + 0.5 - 80, top = CGRectGetMinY(r) + 1,
           mid = CGRectGetMidY(r) - 7, bottom = CGRectGetMaxY(r) - 14;
    std::string prevClose = scale_.prevClose ? scale_.prevClose->toString() : "";
    drawChartLabel(ctx, scale_.upper->toString(), CGRectMake(x, top, 80, 14), font, *red);
    drawChartLabel(ctx, prevClose, CGRectMake(x, mid, 80, 14), font, *white);
    drawChartLabel(ctx, scale_.lower->toString(), CGRectMake(x, bottom, 80, 14), font, *green);
    std::string percent = scale_.upperPercentText();
    if (!percent.empty()) {
        drawChartLabel(ctx, percent + "%", CGRectMake(right, top, 80, 14), font, *red, 2);
        drawChartLabel(ctx, "-" + percent + "%", CGRectMake(right, bottom, 80, 14), font, *green, 2);
    }
    drawChartLabel(ctx, "0.00%", CGRectMake(right, mid, 80, 14), font, *white, 2);
}

void TimeTrendChartView::drawTimeTrendChartInRect(CGContext& ctx, const CGRect& r) {
    currentMaxTimeTrendWidth_ = CGRectGetMinX(r);
    if (quotesData_.size() < 2 || !quotesData_[1] || !scale_.isDrawable()) return;
    VTATCRS& points = *quotesData_[1];
    IntradayPlot plot(maxPoints_, floatOf(scale_.upper), floatOf(scale_.lower));
    int read = plot.drawLine(ctx, points, Col::kLast, r, scale_.open, *colorWithIndex(43));
    currentMaxTimeTrendWidth_ = CGRectGetMinX(r) + read * r.size.width / maxPoints_;
    if (stockClassId_ != 2) plot.drawLine(ctx, points, Col::kAverage, r, scale_.open, *UIColor::yellowColor());
    plot.drawVolume(ctx, points, kVolumeRect, *UIColor::yellowColor());
}

void TimeTrendChartView::drawMarketIndexOverlayInRect(CGContext& ctx, const CGRect& r) const {
    if (quotesData_.size() < 4 || !quotesData_[3] || !scale_.isOverlayDrawable()) return;
    IntradayPlot plot(maxPoints_, floatOf(scale_.overlayUpper), floatOf(scale_.overlayLower));
    auto color = stockClassId_ == 2 ? UIColor::yellowColor() : UIColor::purpleColor();
    // The index keeps to the price area even where its own range is wider.
    ctx.saveGState();
    ctx.clipToRect(r);
    plot.drawLine(ctx, *quotesData_[3], Col::kLast, r, scale_.overlayOpen, *color, false);
    ctx.restoreGState();
}

void TimeTrendChartView::updateTradeInfo(std::optional<int> index) {
    auto info = timeTrendTradeInfoAt(quotesData_, index);
    if (index) lastMeterIndex_ = *index;
    bool same = info.has_value() == tradeInfoView_->timeTrendTradeInfo().has_value();
    if (same && info) {
        const auto& a = *info;
        const auto& b = *tradeInfoView_->timeTrendTradeInfo();
        same = a.lastPrice == b.lastPrice && a.change == b.change && a.changePercent == b.changePercent &&
               a.avgPrice == b.avgPrice && a.volume == b.volume && a.time == b.time && a.maxPrice == b.maxPrice &&
               a.minPrice == b.minPrice && a.openPrice == b.openPrice && a.prevClose == b.prevClose;
    }
    if (same) return;  // a redraw of the same data asks for no new picture
    tradeInfoView_->setTimeTrendTradeInfo(std::move(info));
    tradeInfoView_->setNeedsDisplay();
}

// ---- the crosshair ----

void TimeTrendChartView::showMeterView() {
    isShowMeter_ = true;
    if (!quotesMeterView_) quotesMeterView_ = std::make_shared<QuotesMeterView>(kMeterRect);
    if (!quotesHorizontalMeterView_)
        quotesHorizontalMeterView_ = std::make_shared<QuotesHorizontalMeterView>(kHorizontalMeterRect);
    addSubview(quotesMeterView_);
    addSubview(quotesHorizontalMeterView_);
    double x = touchBeginPoint_.x;
    if (x > currentMaxTimeTrendWidth_) x = currentMaxTimeTrendWidth_ - 1;
    moveMeterTo(x);
}

void TimeTrendChartView::hideMeterView() {
    isShowMeter_ = false;
    if (quotesMeterView_) quotesMeterView_->removeFromSuperview();
    if (quotesHorizontalMeterView_) quotesHorizontalMeterView_->removeFromSuperview();
    updateTradeInfo(std::nullopt);
}

// Puts the vertical line at x (inside the drawn line), the box on that
// point, and the horizontal line at the point's price.
void TimeTrendChartView::moveMeterTo(double x) {
    x = std::max(CGRectGetMinX(kPriceRect), std::min(x, currentMaxTimeTrendWidth_));
    quotesMeterView_->setCenter(CGPointMake(x, quotesMeterView_->center().y));
    updateTradeInfo(meterIndexAt(x, maxPoints_, kPriceRect.size.width));
    const auto& info = tradeInfoView_->timeTrendTradeInfo();
    double upper = floatOf(scale_.upper), lower = floatOf(scale_.lower);
    if (info && info->lastPrice.size() >= 2 && upper > lower) {
        double last = std::strtod(info->lastPrice.c_str(), nullptr);
        double y = std::round((upper - last) * kPriceRect.size.height / (upper - lower) + kPriceRect.origin.y);
        quotesHorizontalMeterView_->setCenter(CGPointMake(quotesHorizontalMeterView_->center().x, y));
    }
}

void TimeTrendChartView::touchesBegan(const UITouchSet& touches, UIEvent*) {
    if (touches.count() == 1) touchBeginPoint_ = touches.anyObject()->locationInView(this);
}

void TimeTrendChartView::touchesMoved(const UITouchSet& touches, UIEvent*) {
    if (touches.count() != 1 || !isShowMeter_) return;
    meterPoint_ = touches.anyObject()->locationInView(this);
    moveMeterTo(meterPoint_.x);
}

void TimeTrendChartView::touchesEnded(const UITouchSet& touches, UIEvent*) {
    if (touches.count() != 1) return;
    UITouch* touch = touches.anyObject();
    CGPoint end = touch->locationInView(this);
    // A drag of the crosshair is no tap: lifting the finger leaves it where it is.
    bool moved = std::fabs(end.x - touchBeginPoint_.x) >= VTAView::kTapSlop ||
                 std::fabs(end.y - touchBeginPoint_.y) >= VTAView::kTapSlop;
    if (touch->tapCount() == 1 && !moved && touchBeginPoint_.x <= kPriceRect.size.width && delegate_)
        delegate_->clickActionInTimeTrendView(*this);
}
