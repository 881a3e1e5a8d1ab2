#pragma once
// The drawing of one day's intraday series, shared by every intraday chart
// (the quote page's trend chart, the older intraday view and the order
// screen's small chart): a price line (the price, the running average, the
// index overlay) and the volume bars of the points of a 31000/1 reply.
//
// Point i lies at x = minX + i * width / maxPoints; a price p at
// y = minY + (upper - p) * height / (upper - lower). At most maxPoints + 1
// points are read, from the first one.
#include <optional>
#include <string>

#include "core/VTAFloat.h"
#include "platform/graphics/CGContext.h"

class UIColor;
class VTATCRS;

class IntradayPlot {
public:
    IntradayPlot(int maxPoints, double upper, double lower) : maxPoints_(maxPoints), upper_(upper), lower_(lower) {}

    double x(const CGRect& rect, int index) const;
    double y(const CGRect& rect, double price) const;

    // The line of a price column: from (minX, y of `start`) when given, then
    // through every point whose value is present; y kept inside the rectangle
    // when `clamp`. Answers the number of points read.
    int drawLine(CGContext& ctx, VTATCRS& points, const std::string& field, const CGRect& rect,
                 const std::optional<VTAFloat>& start, const UIColor& color, bool clamp = true) const;

    // One bar per point from the bottom, "avol" read as 0..1000 of the
    // height; a point without a value (999999999) gets a half-point stub.
    void drawVolume(CGContext& ctx, VTATCRS& points, const CGRect& rect, const UIColor& color) const;

private:
    int maxPoints_;
    double upper_, lower_;
};
