#include "charts/VTAFSView.h"

#include <algorithm>
#include <cmath>

#include "charts/ChartDrawing.h"
#include "charts/IntradayPlot.h"
#include "core/QZUtil.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/QuoteContract.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;
namespace Key = QuoteContract::Key;

namespace {
constexpr double kTitleHeight = 20, kSideWidth = 44, kTimeHeight = 16, kDetailHeight = 44;
constexpr double kPriceShare = 0.68;

double floatOf(const std::optional<VTAFloat>& v) { return v ? v->toFloat() : 0; }
std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : std::string(); }
}  // namespace

VTAFSView::VTAFSView(const CGRect& frame) : VTAChartView(frame) { layoutSubviews(); }

void VTAFSView::layoutSubviews() {
    CGRect b = bounds();
    double plotW = b.size.width - 2 * kSideWidth;
    double plotH = std::max(b.size.height - kTitleHeight - kTimeHeight - kDetailHeight, 0.0);
    double lineH = std::floor(plotH * kPriceShare);
    lineRect_ = CGRectMake(kSideWidth, kTitleHeight, plotW, lineH);
    cjlRect_ = CGRectMake(kSideWidth, kTitleHeight + lineH, plotW, plotH - lineH);
    horizontalBarRect_ = CGRectMake(kSideWidth, kTitleHeight + plotH, plotW, kTimeHeight);
    verticalBarRect_ = CGRectMake(0, kTitleHeight, kSideWidth, plotH);
    detailRect_ = CGRectMake(0, b.size.height - kDetailHeight, b.size.width, kDetailHeight);
}

RequestBuilder VTAFSView::requestStringWithMFunc(int mainFunction, int subFunction) const {
    RequestBuilder r(mainFunction, subFunction);
    r.add(Key::kFreq, 2);
    r.add(Key::kAddUp, VTAUserDefoult::standerDefoult().getBoolForKey(kOverlaySetting) ? 1 : 0);
    r.add(Key::kTime, 0).add(Key::kDate, 0).add(Key::kMaxVol, 999999999);
    return r;
}

void VTAFSView::parseHQData(const RecordSets& sets) {
    auto at = [&](size_t i) { return i < sets.size() ? sets[i] : nullptr; };
    baseHQRS_ = at(0);
    chartHQRS_ = at(1);
    detailHQRS_ = at(2);
    overlayHQRS_ = at(3);
    readStock();
    session_ = IntradaySession::forMarket(stkMarketID_);
    supplyPoints(quotesData(), session_);
    cursorIndex_ = -1;
    setNeedsDisplay();
}

RecordSets VTAFSView::quotesData() const {
    RecordSets sets{baseHQRS_, chartHQRS_, detailHQRS_};
    if (overlayHQRS_) sets.push_back(overlayHQRS_);
    while (!sets.empty() && !sets.back()) sets.pop_back();
    return sets;
}

std::string VTAFSView::abstractTitle() const { return "分时-" + stkName_; }

void VTAFSView::setCursorIndexWithPoint(CGPoint point) {
    if (!chartHQRS_ || chartHQRS_->rowsAffected() == 0) {
        cursorIndex_ = -1;
        return;
    }
    int index = static_cast<int>((point.x - lineRect_.origin.x) * maxPoints() / lineRect_.size.width);
    cursorIndex_ = std::clamp(index, 0, chartHQRS_->rowsAffected() - 1);
    setNeedsDisplay();
}

bool VTAFSView::touchSpecelWithPoint(CGPoint point) {
    if (isHistory_) return false;
    CGRect spot = CGRectMake(detailRect_.origin.x, detailRect_.origin.y - 30, 30, 40);
    if (!CGRectContainsPoint(spot, point)) return false;
    if (chartDelegate()) chartDelegate()->chartViewDoAction(*this, VTATouchAction::DoubleClick, detailRect_, point);
    return true;
}

void VTAFSView::doAction(VTATouchAction action, const VTATouchSequence& sequence) {
    CGPoint start = sequence.start[0];
    // A past day has no detail panel to open.
    if (isHistory_ && CGRectContainsPoint(detailRect_, start)) return;
    reportAction(action, start);
}

void VTAFSView::drawChartWithContext(CGContext& ctx) {
    RecordSets sets = quotesData();
    bool overlay = VTAUserDefoult::standerDefoult().getBoolForKey(kOverlaySetting);
    scale_ = intradayScaleOf(sets, overlay);
    drawFrame(ctx);
    drawTitle(ctx);
    drawLabels(ctx);
    if (chartHQRS_ && scale_.isDrawable()) {
        IntradayPlot plot(maxPoints(), floatOf(scale_.upper), floatOf(scale_.lower));
        plot.drawLine(ctx, *chartHQRS_, Col::kLast, lineRect_, scale_.open, *colorWithIndex(30));
        if (stkClass_ != 2) plot.drawLine(ctx, *chartHQRS_, Col::kAverage, lineRect_, scale_.open, *colorWithIndex(29));
        plot.drawVolume(ctx, *chartHQRS_, cjlRect_, *colorWithIndex(28));
    }
    if (overlay && overlayHQRS_ && scale_.isOverlayDrawable()) {
        IntradayPlot plot(maxPoints(), floatOf(scale_.overlayUpper), floatOf(scale_.overlayLower));
        ctx.saveGState();
        ctx.clipToRect(lineRect_);
        plot.drawLine(ctx, *overlayHQRS_, Col::kLast, lineRect_, scale_.overlayOpen, *colorWithIndex(39), false);
        ctx.restoreGState();
    }
    drawDetail(ctx);
    if (showCursor_) drawCursor(ctx);
}

void VTAFSView::drawFrame(CGContext& ctx) const {
    drawPlotFrame(ctx);
    CGRect plot = CGRectUnion(lineRect_, cjlRect_);
    const UIColor& guide = *colorWithIndex(27);
    for (double f : {0.25, 0.5, 0.75}) {
        double y = lineRect_.origin.y + lineRect_.size.height * f;
        strokeChartLine(ctx, plot.origin.x, y, CGRectGetMaxX(plot), y, guide, true);
    }
    double noon = plot.origin.x + session_.noonOffset(plot.size.width);
    strokeChartLine(ctx, noon, plot.origin.y, noon, CGRectGetMaxY(plot), guide, true);
}

void VTAFSView::drawTitle(CGContext& ctx) const {
    if (!baseHQRS_ || baseHQRS_->rowsAffected() == 0) return;
    baseHQRS_->fetchFirst();
    auto last = baseHQRS_->toVTAFloatWithFieldName(Col::kLast);
    auto prev = baseHQRS_->toVTAFloatWithFieldName(Col::kPrevClose);
    const UIFont& font = chartFont(14);
    drawStringInRect(&ctx, stkName_ + " " + stKCode_, 4, 1, 150, 18, font, *colorWithIndex(7));
    auto color = colorWithCompare(last, prev);
    drawStringInRect(&ctx, text(last), 156, 1, 70, 18, font, *color, TextDrawingMode::Fill, 2);
    if (last && prev && prev->value() != 0) {
        double ratio = (last->toFloat() - prev->toFloat()) / prev->toFloat();
        drawStringInRect(&ctx, VTAFloat(std::llround(ratio * 10000), 2).toString() + "%", 230, 1,
                         bounds().size.width - 234, 18, font, *color, TextDrawingMode::Fill, 2);
    }
}

void VTAFSView::drawLabels(CGContext& ctx) const {
    const UIFont& font = chartFont(11);
    if (scale_.upper && scale_.lower) {
        double top = lineRect_.origin.y, mid = CGRectGetMidY(lineRect_) - 7, bottom = CGRectGetMaxY(lineRect_) - 14;
        double right = CGRectGetMaxX(lineRect_) + 2, w = kSideWidth - 4;
        drawStringInRect(&ctx, scale_.upper->toString(), 2, top, w, 14, font, *colorWithIndex(15));
        drawStringInRect(&ctx, text(scale_.prevClose), 2, mid, w, 14, font, *colorWithIndex(17));
        drawStringInRect(&ctx, scale_.lower->toString(), 2, bottom, w, 14, font, *colorWithIndex(16));
        std::string percent = scale_.upperPercentText();
        if (!percent.empty()) {
            drawStringInRect(&ctx, percent + "%", right, top, w, 14, font, *colorWithIndex(15));
            drawStringInRect(&ctx, "-" + percent + "%", right, bottom, w, 14, font, *colorWithIndex(16));
        }
        drawStringInRect(&ctx, "0.00%", right, mid, w, 14, font, *colorWithIndex(17));
    }
    const CGRect& t = horizontalBarRect_;
    const UIColor& color = *colorWithIndex(26);
    auto time = [](int minutes) { return QZUtil::stringTimeFromIntTime(minutes); };
    double noon = t.origin.x + session_.noonOffset(t.size.width);
    drawStringInRect(&ctx, time(session_.open), t.origin.x, t.origin.y, 40, t.size.height, font, color);
    drawStringInRect(&ctx, time(session_.noonClose) + "/" + time(session_.afternoonOpen), noon - 40, t.origin.y, 80,
                     t.size.height, font, color, TextDrawingMode::Fill, 1);
    drawStringInRect(&ctx, time(session_.close), CGRectGetMaxX(t) - 40, t.origin.y, 40, t.size.height, font, color,
                     TextDrawingMode::Fill, 2);
}

// The day's figures in two rows of three: open, high, low; volume, amount, volume ratio.
void VTAFSView::drawDetail(CGContext& ctx) const {
    const CGRect& d = detailRect_;
    strokeChartLine(ctx, d.origin.x, d.origin.y + 0.5, CGRectGetMaxX(d), d.origin.y + 0.5, *colorWithIndex(4));
    static const char* titles[6] = {"今开", "最高", "最低", "成交量", "金额", "量比"};
    const UIFont& font = chartFont(12);
    double cell = d.size.width / 3, rowH = (d.size.height - 2) / 2;
    for (int i = 0; i < 6; ++i)
        drawStringInRect(&ctx, titles[i], d.origin.x + 4 + (i % 3) * cell, d.origin.y + 2 + (i / 3) * rowH, 40, rowH,
                         font, *colorWithIndex(8));
    VTATCRS* header = baseHQRS_ && baseHQRS_->rowsAffected() > 0 ? baseHQRS_.get() : nullptr;
    VTATCRS* detail = detailHQRS_ && detailHQRS_->rowsAffected() > 0 ? detailHQRS_.get() : nullptr;
    if (!header) return;
    header->fetchFirst();
    if (detail) detail->fetchFirst();
    auto prev = header->toVTAFloatWithFieldName(Col::kPrevClose);
    auto money = [&](const char* f) {
        auto v = detail ? detail->toVTAFloatWithFieldName(f) : std::nullopt;
        return v ? v->toMoney() : std::string();
    };
    std::vector<std::pair<std::string, std::shared_ptr<UIColor>>> values;
    for (const char* f : {Col::kOpen, Col::kHigh, Col::kLow}) {
        auto v = header->toVTAFloatWithFieldName(f);
        values.push_back({text(v), colorWithCompare(v, prev)});
    }
    values.push_back({money(Col::kVolume), colorWithIndex(28)});
    values.push_back({money(Col::kAmount), colorWithIndex(28)});
    values.push_back({detail ? text(detail->toVTAFloatWithFieldName(Col::kVolumeRatio)) : "", colorWithIndex(28)});
    for (int i = 0; i < 6; ++i)
        drawStringInRect(&ctx, values[i].first, d.origin.x + 44 + (i % 3) * cell, d.origin.y + 2 + (i / 3) * rowH,
                         cell - 48, rowH, font, *values[i].second, TextDrawingMode::Fill, 2);
}

void VTAFSView::drawCursor(CGContext& ctx) const {
    if (cursorIndex_ < 0 || !chartHQRS_ || cursorIndex_ >= chartHQRS_->rowsAffected() || !scale_.isDrawable()) return;
    chartHQRS_->moveToIndex(cursorIndex_);
    auto price = chartHQRS_->toVTAFloatWithFieldName(Col::kLast);
    auto average = chartHQRS_->toVTAFloatWithFieldName(Col::kAverage);
    auto volume = chartHQRS_->toVTAFloatWithFieldName(Col::kVolume);
    std::string time = timeTextOfHHMM(chartHQRS_->toIntWithFieldName(Col::kMinute));
    chartHQRS_->fetchFirst();
    IntradayPlot plot(maxPoints(), floatOf(scale_.upper), floatOf(scale_.lower));
    double y = std::clamp(plot.y(lineRect_, floatOf(price)), CGRectGetMinY(lineRect_), CGRectGetMaxY(lineRect_));
    drawCursorLines(ctx, plot.x(lineRect_, cursorIndex_), y);
    drawCursorBox(ctx, {{"时间", time},
                        {"价格", text(price)},
                        {"均价", stkClass_ == 2 ? "--" : text(average)},
                        {"成交", volume ? volume->toMoney() : ""}});
}
