#include "charts/CandlesticksTechIndexView.h"

#include <algorithm>
#include <cmath>

#include "charts/ChartBackdrop.h"
#include "charts/ChartDrawing.h"
#include "charts/KLinePlot.h"
#include "charts/KLineSeries.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;
namespace Tech = QuoteContract::Tech;

namespace {

KLine::Window windowOf(const CandlesticksTechIndexView::Input& in, const VTATCRS& bars) {
    KLine::Window w;
    w.from = std::clamp(in.fromCandleItemIndex, 0, bars.rowsAffected());
    w.count = bars.rowsAffected() - w.from;
    w.candleWidth = std::max(1, in.candleWidth);
    return w;
}

}  // namespace

bool CandlesticksTechIndexView::Input::operator==(const Input& o) const {
    return quotesData == o.quotesData && maxTechIndexValue == o.maxTechIndexValue &&
           minTechIndexValue == o.minTechIndexValue && maxBoundaryPrice == o.maxBoundaryPrice &&
           minBoundaryPrice == o.minBoundaryPrice && currentTechIndex == o.currentTechIndex &&
           candleWidth == o.candleWidth && fromCandleItemIndex == o.fromCandleItemIndex;
}

CandlesticksTechIndexView::Input CandlesticksTechIndexView::inputFor(const RecordSets& sets,
                                                                     const KLine::Window& window,
                                                                     const KLine::Range& priceRange,
                                                                     const std::string& techName) {
    Input input;
    VTATCRS* bars = sets.size() >= 2 ? sets[1].get() : nullptr;
    if (bars) input.quotesData = sets;
    input.currentTechIndex = techName;
    input.candleWidth = window.candleWidth;
    input.fromCandleItemIndex = window.from;
    input.maxBoundaryPrice = priceRange.max;
    input.minBoundaryPrice = priceRange.min;
    if (bars) {
        auto tech = KLine::techRange(*bars, window, techName);
        input.maxTechIndexValue = tech.max;
        input.minTechIndexValue = tech.min;
    }
    return input;
}

CandlesticksTechIndexView::CandlesticksTechIndexView(const CGRect& frame)
    : UIView(frame), backdrop_(std::make_unique<ChartBackdrop>()) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
}

CandlesticksTechIndexView::~CandlesticksTechIndexView() = default;

void CandlesticksTechIndexView::setInput(Input input) {
    if (input == input_) return;
    input_ = std::move(input);
    pictureStale_ = true;
    setNeedsDisplay();
}

std::shared_ptr<UIColor> CandlesticksTechIndexView::lineColor(const std::string& name, int n) {
    // Palette indexes; -1 is purple.
    static const int kKDJ[] = {-1, 34, 33, 29, 38};
    static const int kWR[] = {34, 33, 33, 29, 38};
    static const int kDMA[] = {34, 33, 35, 29, 38};
    static const int kOther[] = {33, 34, -1, 29, 38};
    const int* colors = kOther;
    if (name == Tech::kKDJ || name == Tech::kRSI)
        colors = kKDJ;
    else if (name == Tech::kWR)
        colors = kWR;
    else if (name == Tech::kDMA)
        colors = kDMA;
    int index = colors[std::clamp(n, 0, KLine::kMaxTechLines - 1)];
    return index < 0 ? UIColor::purpleColor() : colorWithIndex(index);
}

double CandlesticksTechIndexView::scale(const CGRect& r) const {
    return r.size.height / (double(max_.value()) - double(min_.value()));
}

void CandlesticksTechIndexView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    // The sub-chart follows its input, not the crosshair: between inputs its picture is kept.
    backdrop_->paint(*ctx, bounds().size, pictureStale_, [this](CGContext& picture) { drawIndicator(picture); });
    pictureStale_ = false;
}

void CandlesticksTechIndexView::drawIndicator(CGContext& context) {
    CGContext* ctx = &context;
    const RecordSets& sets = input_.quotesData;
    if (sets.size() < 2 || !sets[1]) return;
    const CGRect r = bounds();
    VTATCRS& bars = *sets[1];
    const std::string& name = input_.currentTechIndex;
    KLine::Range range{input_.maxTechIndexValue, input_.minTechIndexValue};
    if (bars.rowsAffected() > 0 && range.isDrawable()) {
        // Both bounds in the same decimals, so their raw values scale.
        int unit = std::max(range.max->unit(), range.min->unit());
        max_ = KLine::inUnit(*range.max, unit);
        min_ = KLine::inUnit(*range.min, unit);
        if (name.empty())
            drawVolume(*ctx, r, bars);
        else if (name == Tech::kMACD)
            drawMACD(*ctx, r, bars);
        else if (name == Tech::kBOLL) {
            KLinePlot plot(r, windowOf(input_, bars), range);
            plot.drawLine(*ctx, bars, Tech::kBollColumns[0], *colorWithIndex(36));
            plot.drawLine(*ctx, bars, Tech::kBollColumns[1], *colorWithIndex(37));
            plot.drawLine(*ctx, bars, Tech::kBollColumns[2], *colorWithIndex(38));
        } else if (name == Tech::kSAR) {
            if (bars.fieldsIndexWithName(Tech::kSarColumn) < 0) return;  // no points, no name
            drawSAR(*ctx, r, bars);
        } else {
            drawLines(*ctx, r, bars);
        }
    } else if (name == Tech::kSAR && bars.fieldsIndexWithName(Tech::kSarColumn) < 0) {
        return;
    }
    drawChartLabel(*ctx, label(), CGRectMake(r.origin.x + 10, r.origin.y + 2, 56, 16), chartFont(14),
                   *colorWithIndex(45));
}

void CandlesticksTechIndexView::drawVolume(CGContext& ctx, const CGRect& r, VTATCRS& bars) const {
    const KLine::Window w = windowOf(input_, bars);
    const double max = max_.realValue(), min = min_.realValue();
    for (int k = 0; k < w.count; ++k) {
        bars.moveToIndex(w.from + k);
        auto volume = bars.toVTAFloatWithFieldName(Col::kVolume);
        auto open = bars.toVTAFloatWithFieldName(Col::kOpen);
        auto close = bars.toVTAFloatWithFieldName(Col::kLast);
        if (!volume || !open || !close) continue;
        drawVolumeTechInRect(ctx, r, volume->realValue(), *open, *close, max, min, CGRectGetMaxY(r),
                             w.barX(r.origin.x, k), w.candleWidth);
    }
    bars.fetchFirst();
}

void CandlesticksTechIndexView::drawVolumeTechInRect(CGContext& ctx, const CGRect& rect, double volume,
                                                     const VTAFloat& open, const VTAFloat& close, double maxBoundary,
                                                     double minBoundary, double bottomY, double candleItemX,
                                                     int candleWidth) const {
    if (maxBoundary <= minBoundary) return;
    double top = std::round(bottomY - (volume - minBoundary) * rect.size.height / (maxBoundary - minBoundary));
    top = std::max(top, CGRectGetMinY(rect));
    CGRect bar = CGRectMake(candleItemX, top, candleWidth, bottomY - top);
    ctx.saveGState();
    int direction = compareVTAFloat(close, open);
    if (direction > 0) {
        ctx.setStrokeColor(riseBarColor());
        ctx.setLineWidth(1);
        ctx.strokeRect(CGRectInset(bar, 0.5, 0.5));
    } else {
        ctx.setFillColor(direction == 0 ? flatBarColor() : fallBarColor());
        ctx.fillRect(bar);
    }
    ctx.restoreGState();
}

void CandlesticksTechIndexView::drawMACD(CGContext& ctx, const CGRect& r, VTATCRS& bars) const {
    const double s = scale(r), maxY = CGRectGetMaxY(r);
    double zero = std::clamp(std::round(maxY + min_.value() * s), CGRectGetMinY(r), maxY);
    strokeChartLine(ctx, r.origin.x, zero, CGRectGetMaxX(r), zero, *chartGridColor(), true);
    const KLine::Window w = windowOf(input_, bars);
    std::vector<CGRect> up, down;
    for (int k = 0; k < w.count; ++k) {
        bars.moveToIndex(w.from + k);
        if (auto v = bars.toVTAFloatAtIndex(KLine::kFirstTechColumn))
            (v->value() >= 0 ? up : down).push_back(macdBar(r, *v, maxY, w.barX(r.origin.x, k), w.candleWidth));
    }
    bars.fetchFirst();
    ctx.saveGState();
    ctx.setFillColor(*colorWithIndex(15));
    if (!up.empty()) ctx.fillRects(up);
    ctx.setFillColor(*UIColor::cyanColor());
    if (!down.empty()) ctx.fillRects(down);
    ctx.restoreGState();
    KLinePlot plot(r, w, {max_, min_});
    plot.drawLine(ctx, bars, KLine::kFirstTechColumn + 2, *colorWithIndex(33));
    plot.drawLine(ctx, bars, KLine::kFirstTechColumn + 1, *colorWithIndex(34));
}

// The bar stands under the middle of its candle, like the lines.
CGRect CandlesticksTechIndexView::macdBar(const CGRect& rect, const VTAFloat& value, double bottomY, double candleItemX,
                                          int candleWidth) const {
    const double s = scale(rect);
    const auto& min = min_;
    const double v = double(KLine::inUnit(value, min.unit()).value());
    double y0 = std::clamp(std::round(bottomY + double(min.value()) * s), CGRectGetMinY(rect), bottomY);
    double y1 = std::clamp(std::round(bottomY - (v - double(min.value())) * s), CGRectGetMinY(rect), CGRectGetMaxY(rect));
    return CGRectMake(candleItemX + candleWidth / 2.0 - 1, std::min(y0, y1), 2, std::fabs(y0 - y1));
}

void CandlesticksTechIndexView::drawMACDTechInRect(CGContext& ctx, const CGRect& rect, const VTAFloat& value,
                                                   double bottomY, double candleItemX, int candleWidth) const {
    ctx.saveGState();
    ctx.setFillColor(value.value() >= 0 ? *colorWithIndex(15) : *UIColor::cyanColor());
    ctx.fillRect(macdBar(rect, value, bottomY, candleItemX, candleWidth));
    ctx.restoreGState();
}

void CandlesticksTechIndexView::drawSAR(CGContext& ctx, const CGRect& r, VTATCRS& bars) const {
    const double s = scale(r), maxY = CGRectGetMaxY(r);
    const int column = bars.fieldsIndexWithName(Tech::kSarColumn);
    const auto& min = min_;
    const KLine::Window w = windowOf(input_, bars);
    const double half = w.candleWidth / 2;  // whole points, as the diamond's corners
    ctx.saveGState();
    for (int k = 0; k < w.count; ++k) {
        bars.moveToIndex(w.from + k);
        auto sar = bars.toVTAFloatAtIndex(column);
        if (!sar) continue;
        double x = w.barX(r.origin.x, k);
        double y = std::round(maxY - (double(KLine::inUnit(*sar, min.unit()).value()) - double(min.value())) * s);
        ctx.setFillColor(*colorWithCompare(bars.toVTAFloatWithFieldName(Col::kLast), sar));
        ctx.beginPath();
        ctx.moveToPoint(x, y);
        ctx.addLineToPoint(x + half, y + half);
        ctx.addLineToPoint(x + w.candleWidth, y);
        ctx.addLineToPoint(x + half, y - half);
        ctx.closePath();
        ctx.fillPath();
    }
    ctx.restoreGState();
    bars.fetchFirst();
}

void CandlesticksTechIndexView::drawLines(CGContext& ctx, const CGRect& r, VTATCRS& bars) const {
    KLinePlot plot(r, windowOf(input_, bars), {max_, min_});
    for (int n = 0; n < KLine::kMaxTechLines && KLine::kFirstTechColumn + n < bars.fieldCount(); ++n)
        plot.drawLine(ctx, bars, KLine::kFirstTechColumn + n, *lineColor(input_.currentTechIndex, n));
}
