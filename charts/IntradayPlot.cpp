#include "charts/IntradayPlot.h"

#include <algorithm>
#include <cmath>

#include "charts/ChartDrawing.h"
#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIColor.h"

namespace Col = QuoteContract::Col;

double IntradayPlot::x(const CGRect& rect, int index) const {
    return rect.origin.x + index * rect.size.width / std::max(maxPoints_, 1);
}

double IntradayPlot::y(const CGRect& rect, double price) const {
    return rect.origin.y + (upper_ - price) * rect.size.height / (upper_ - lower_);
}

int IntradayPlot::drawLine(CGContext& ctx, VTATCRS& points, const std::string& field, const CGRect& rect,
                           const std::optional<VTAFloat>& start, const UIColor& color, bool clamp) const {
    if (upper_ <= lower_) return 0;
    const int column = points.fieldsIndexWithName(field);
    const double top = CGRectGetMinY(rect), bottom = CGRectGetMaxY(rect);
    auto place = [&](double price) { return clamp ? std::clamp(y(rect, price), top, bottom) : y(rect, price); };
    ChartPolyline line(ctx, color);
    if (start) line.add(rect.origin.x, place(start->toFloat()));
    int read = 0;
    for (points.fetchFirst(); !points.isEOF() && read <= maxPoints_; points.fetchNext(), ++read) {
        auto price = points.toVTAFloatAtIndex(column);
        if (price) line.add(x(rect, read), place(price->toFloat()));
    }
    line.stroke();
    points.fetchFirst();
    return read;
}

void IntradayPlot::drawVolume(CGContext& ctx, VTATCRS& points, const CGRect& rect, const UIColor& color) const {
    const int column = points.fieldsIndexWithName(Col::kMinuteShare);
    const double top = CGRectGetMinY(rect), bottom = CGRectGetMaxY(rect), h = rect.size.height;
    ctx.saveGState();
    ctx.setStrokeColor(color);
    ctx.setLineWidth(1);
    ctx.beginPath();
    int read = 0;
    for (points.fetchFirst(); !points.isEOF() && read <= maxPoints_; points.fetchNext(), ++read) {
        double px = x(rect, read);
        int64_t a = points.toIntAtIndex(column);
        double barTop = bottom - 0.5;
        if (a < VTAFloat::kNoValue) barTop = std::clamp(std::round(bottom - double(a) * h / 1000) + 0.5, top, bottom);
        ctx.moveToPoint(px, bottom);
        ctx.addLineToPoint(px, barTop);
    }
    ctx.strokePath();
    ctx.restoreGState();
    points.fetchFirst();
}
