#include "charts/TradeInfoBox.h"

#include "charts/ChartDrawing.h"
#include "core/Utilities.h"
#include "platform/uikit/UIView.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace {
constexpr double kRowHeight = 14;

}  // namespace

void drawTradeInfoHeadline(const std::string& price, const std::string& change, const std::string& percent,
                           const std::string& prevClose, double largeSize) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    auto color = chartCompareColor(price, prevClose);
    double size = utf8Length(price) < 8 ? largeSize : 18;
    drawStringInRect(ctx, price, 0, 0, 80, 30, chartFont(size), *color, TextDrawingMode::Fill, 1);
    drawStringInRect(ctx, change, 0, 30, 36, 12, chartFont(10), *color, TextDrawingMode::Fill, 1);
    if (!percent.empty())
        drawStringInRect(ctx, percent + "%", 36, 30, 44, 12, chartFont(10), *color, TextDrawingMode::Fill, 1);
}

void drawTradeInfoValue(const std::string& title, double x, double y, double titleWidth, const std::string& value,
                        double valueWidth, const UIColor& color) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    drawStringInRect(ctx, title, x, y, titleWidth, kRowHeight, chartFont(13), *colorWithIndex(43));
    drawStringInRect(ctx, value, x + titleWidth, y, valueWidth, kRowHeight, chartFont(13), color);
}

void makeTradeInfoBoxView(UIView& view) {
    view.setBackgroundColor(UIColor::clearColor());
    view.setOpaque(false);
}
