#pragma once
// Drawing pieces both chart generations share: the grid colour, dashed and
// solid grid lines, labels over a plot, and a polyline that follows values
// with gaps.
#include <memory>
#include <string>

#include "platform/graphics/CGContext.h"

class UIColor;
class UIFont;

// The chart grid: RGB (1.0, 0.271, 0.0) at alpha 0.8.
const std::shared_ptr<UIColor>& chartGridColor();
// System fonts of the chart texts, made once per size.
const UIFont& chartFont(double size);

// The colour of a value against a reference, both decimal texts: rise red,
// fall green, equal white; white when either is not a number ("--", "").
std::shared_ptr<UIColor> chartCompareColor(const std::string& value, const std::string& reference);

// A scale label over a plot: the text on a dark plate (black at 70%) just
// wide enough for it, drawn after the lines, so a line passing under it shows
// dimmed and never runs through the figures. It sits in the rectangle aligned
// 0 left, 2 right (shrunk as drawStringInRect does).
void drawChartLabel(CGContext& ctx, const std::string& text, const CGRect& rect, const UIFont& font,
                    const UIColor& color, int alignment = 0);

void strokeChartLine(CGContext& ctx, double x1, double y1, double x2, double y2, const UIColor& color,
                     bool dashed = false);

// A line through points, broken where a value is missing: moveTo after a
// gap, lineTo otherwise; stroke() (or the end of the object) paints what was built.
class ChartPolyline {
public:
    ChartPolyline(CGContext& ctx, const UIColor& color, double width = 1);
    ~ChartPolyline() { stroke(); }
    ChartPolyline(const ChartPolyline&) = delete;
    ChartPolyline& operator=(const ChartPolyline&) = delete;
    void add(double x, double y);
    void gap() { open_ = false; }
    void stroke();

private:
    CGContext& ctx_;
    bool open_ = false;
    bool any_ = false;
    bool done_ = false;
};
