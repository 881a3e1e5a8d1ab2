#include "charts/KLinePlot.h"

#include <algorithm>
#include <vector>

#include "charts/ChartDrawing.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIColor.h"
#include "ui/Palette.h"

namespace Col = QuoteContract::Col;

const UIColor& riseBarColor() { return *colorWithIndex(41); }
const UIColor& fallBarColor() {
    static const auto cyan = UIColor::cyanColor();
    return *cyan;
}
const UIColor& flatBarColor() { return *colorWithIndex(43); }

KLinePlot::KLinePlot(const CGRect& rect, const KLine::Window& window, const KLine::Range& range)
    : rect_(rect), window_(window) {
    drawable_ = range.isDrawable();
    if (drawable_) {
        max_ = range.max->toFloat();
        min_ = range.min->toFloat();
    }
}

double KLinePlot::y(double value) const {
    return CGRectGetMaxY(rect_) - (value - min_) * rect_.size.height / (max_ - min_);
}

// One path per colour and kind (wicks, outlines, filled bodies): a few
// strokes and fills for the whole chart rather than two per candle.
void KLinePlot::drawCandles(CGContext& ctx, VTATCRS& bars) const {
    if (!drawable_) return;
    const int open = bars.fieldsIndexWithName(Col::kOpen), close = bars.fieldsIndexWithName(Col::kLast);
    const int high = bars.fieldsIndexWithName(Col::kHigh), low = bars.fieldsIndexWithName(Col::kLow);
    const double w = window_.candleWidth, left = CGRectGetMinX(rect_);
    struct Group {
        std::vector<CGPoint> wicks;
        std::vector<CGRect> outlines, bodies;
    } groups[3];  // rise, fall, unchanged
    for (int k = 0; k < window_.count; ++k) {
        bars.moveToIndex(window_.from + k);
        auto o = bars.toVTAFloatAtIndex(open), c = bars.toVTAFloatAtIndex(close);
        auto h = bars.toVTAFloatAtIndex(high), l = bars.toVTAFloatAtIndex(low);
        if (!o || !c) continue;
        int direction = compareVTAFloat(*c, *o);
        Group& g = groups[direction > 0 ? 0 : direction < 0 ? 1 : 2];
        double x = window_.barX(left, k), mid = window_.centerX(left, k);
        double top = y(std::max(o->toFloat(), c->toFloat())), bottom = y(std::min(o->toFloat(), c->toFloat()));
        if (h) g.wicks.insert(g.wicks.end(), {CGPointMake(mid, y(h->toFloat())), CGPointMake(mid, top)});
        if (l) g.wicks.insert(g.wicks.end(), {CGPointMake(mid, bottom), CGPointMake(mid, y(l->toFloat()))});
        if (direction > 0 && w > 2)
            g.outlines.push_back(CGRectMake(x + 0.5, top + 0.5, w - 1, std::max(bottom - top - 1, 0.0)));
        else
            g.bodies.push_back(CGRectMake(x, top, w, std::max(bottom - top, 1.0)));
    }
    bars.fetchFirst();
    const UIColor* colors[3] = {&riseBarColor(), &fallBarColor(), &flatBarColor()};
    ctx.saveGState();
    ctx.setLineWidth(1);
    // Wicks and bodies are upright: drawn on whole pixels, without the
    // antialiasing that costs the most of a chart of many candles.
    ctx.setShouldAntialias(false);
    for (int i = 0; i < 3; ++i) {
        ctx.setStrokeColor(*colors[i]);
        ctx.setFillColor(*colors[i]);
        if (!groups[i].wicks.empty()) ctx.strokeLineSegments(groups[i].wicks);
        if (!groups[i].outlines.empty()) {
            ctx.beginPath();
            ctx.addRects(groups[i].outlines);
            ctx.strokePath();
        }
        if (!groups[i].bodies.empty()) ctx.fillRects(groups[i].bodies);
    }
    ctx.restoreGState();
}

void KLinePlot::drawLine(CGContext& ctx, VTATCRS& bars, int column, const UIColor& color) const {
    if (!drawable_ || column < 0 || bars.rowsAffected() == 0) return;
    const double left = CGRectGetMinX(rect_), top = CGRectGetMinY(rect_), bottom = CGRectGetMaxY(rect_);
    ChartPolyline line(ctx, color);
    for (int k = 0; k < window_.count; ++k) {
        bars.moveToIndex(window_.from + k);
        auto v = bars.toVTAFloatAtIndex(column);
        if (!v) {
            line.gap();
            continue;
        }
        double py = y(v->toFloat());
        if (py < top || py > bottom) continue;  // outside: skipped, the line goes on after it
        line.add(window_.centerX(left, k), py);
    }
    line.stroke();
    bars.fetchFirst();
}

void KLinePlot::drawLine(CGContext& ctx, VTATCRS& bars, const std::string& field, const UIColor& color) const {
    drawLine(ctx, bars, bars.fieldsIndexWithName(field), color);
}
