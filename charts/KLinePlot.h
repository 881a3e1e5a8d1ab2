#pragma once
// The drawing of K-line bars in a rectangle, shared by both K-line charts and
// the indicator sub-chart: candles, and lines through a column of the bars in
// view. Bar k in view lies at x = minX + k * (candleWidth + 1); lines pass
// through the candles' middles. A value v lies at
// y = maxY - (v - min) * height / (max - min); nothing is drawn for a range
// whose maximum is not above its minimum.
#include <string>

#include "charts/KLineSeries.h"
#include "platform/graphics/CGContext.h"

class UIColor;

class KLinePlot {
public:
    KLinePlot(const CGRect& rect, const KLine::Window& window, const KLine::Range& range);

    bool isDrawable() const { return drawable_; }
    double y(double value) const;

    // Rise: a red outline; fall: filled cyan; unchanged: a white bar; each
    // with its high-low wick.
    void drawCandles(CGContext& ctx, VTATCRS& bars) const;
    // A line through a column (by index; -1 draws nothing): it breaks where a
    // value is missing and skips points outside the rectangle.
    void drawLine(CGContext& ctx, VTATCRS& bars, int column, const UIColor& color) const;
    void drawLine(CGContext& ctx, VTATCRS& bars, const std::string& field, const UIColor& color) const;

private:
    CGRect rect_;
    KLine::Window window_;
    double max_ = 0, min_ = 0;
    bool drawable_ = false;
};

// The colours of rising, falling and unchanged bars.
const UIColor& riseBarColor();
const UIColor& fallBarColor();
const UIColor& flatBarColor();
