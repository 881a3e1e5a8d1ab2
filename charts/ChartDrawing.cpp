#include "charts/ChartDrawing.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/QZUtil.h"
#include "core/VTAFloat.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIFont.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

const std::shared_ptr<UIColor>& chartGridColor() {
    static const auto color = UIColor::colorWithRed(1.0, 0.271, 0.0, 0.8);
    return color;
}

const UIFont& chartFont(double size) {
    static std::map<double, std::shared_ptr<UIFont>> fonts;
    auto& font = fonts[size];
    if (!font) font = UIFont::systemFontOfSize(size);
    return *font;
}

std::shared_ptr<UIColor> chartCompareColor(const std::string& value, const std::string& reference) {
    if (!VTAFloat::VTAFloatWithString(value) || !VTAFloat::VTAFloatWithString(reference)) return colorWithIndex(17);
    return colorWithCompareResult(QZUtil::compareWithFloatString(value, reference));
}

void drawChartLabel(CGContext& ctx, const std::string& text, const CGRect& rect, const UIFont& font,
                    const UIColor& color, int alignment) {
    constexpr double kPad = 2;
    if (text.empty()) return;
    double width = std::min(std::ceil(sizeWithFont(text, font).width) + 2 * kPad, rect.size.width);
    double x = alignment == 2 ? CGRectGetMaxX(rect) - width : rect.origin.x;
    static const auto plate = UIColor::colorWithWhite(0, 0.7);
    ctx.saveGState();
    ctx.setFillColor(*plate);
    ctx.fillRect(CGRectMake(x, rect.origin.y, width, rect.size.height));
    ctx.restoreGState();
    drawStringInRect(&ctx, text, x + kPad, rect.origin.y, width - 2 * kPad, rect.size.height, font, color,
                     TextDrawingMode::Fill, alignment);
}

void strokeChartLine(CGContext& ctx, double x1, double y1, double x2, double y2, const UIColor& color, bool dashed) {
    ctx.saveGState();
    ctx.setStrokeColor(color);
    ctx.setLineWidth(1);
    if (x1 == x2 || y1 == y2) ctx.setShouldAntialias(false);  // on whole pixels
    if (dashed) ctx.setLineDash(0, {4, 2});
    ctx.beginPath();
    ctx.moveToPoint(x1, y1);
    ctx.addLineToPoint(x2, y2);
    ctx.strokePath();
    ctx.restoreGState();
}

ChartPolyline::ChartPolyline(CGContext& ctx, const UIColor& color, double width) : ctx_(ctx) {
    ctx_.saveGState();
    ctx_.setStrokeColor(color);
    ctx_.setLineWidth(width);
    ctx_.setLineJoin(CGLineJoin::Miter);
    ctx_.setLineCap(CGLineCap::Round);
    ctx_.beginPath();
}

void ChartPolyline::add(double x, double y) {
    if (open_) {
        ctx_.addLineToPoint(x, y);
    } else {
        ctx_.moveToPoint(x, y);
        open_ = true;
    }
    any_ = true;
}

void ChartPolyline::stroke() {
    if (done_) return;
    done_ = true;
    if (any_) ctx_.strokePath();
    ctx_.restoreGState();
}
