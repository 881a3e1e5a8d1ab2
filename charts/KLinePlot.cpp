#include "charts/KLinePlot.h"

#include <algorithm>

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

void KLinePlot::drawCandles(CGContext& ctx, VTATCRS& bars) const {
    if (!drawable_) return;
    const int open = bars.fieldsIndexWithName(Col::kOpen), close = bars.fieldsIndexWithName(Col::kLast);
    const int high = bars.fieldsIndexWithName(Col::kHigh), low = bars.fieldsIndexWithName(Col::kLow);
    const double w = window_.candleWidth, left = CGRectGetMinX(rect_);
    ctx.saveGState();
    ctx.setLineWidth(1);
    for (int k = 0; k < window_.count; ++k) {
        bars.moveToIndex(window_.from + k);
        auto o = bars.toVTAFloatAtIndex(open), c = bars.toVTAFloatAtIndex(close);
        auto h = bars.toVTAFloatAtIndex(high), l = bars.toVTAFloatAtIndex(low);
        if (!o || !c) continue;
        int direction = compareVTAFloat(*c, *o);
        const UIColor& color = direction > 0 ? riseBarColor() : direction < 0 ? fallBarColor() : flatBarColor();
        double x = window_.barX(left, k), mid = window_.centerX(left, k);
        double top = y(std::max(o->toFloat(), c->toFloat())), bottom = y(std::min(o->toFloat(), c->toFloat()));
        ctx.setStrokeColor(color);
        ctx.setFillColor(color);
        ctx.beginPath();
        if (h) {
            ctx.moveToPoint(mid, y(h->toFloat()));
            ctx.addLineToPoint(mid, top);
        }
        if (l) {
            ctx.moveToPoint(mid, bottom);
            ctx.addLineToPoint(mid, y(l->toFloat()));
        }
        ctx.strokePath();
        if (direction > 0 && w > 2)
            ctx.strokeRect(CGRectMake(x + 0.5, top + 0.5, w - 1, std::max(bottom - top - 1, 0.0)));
        else
            ctx.fillRect(CGRectMake(x, top, w, std::max(bottom - top, 1.0)));
    }
    ctx.restoreGState();
    bars.fetchFirst();
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
