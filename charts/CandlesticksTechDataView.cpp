#include "charts/CandlesticksTechDataView.h"

#include "charts/ChartDrawing.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

CandlesticksTechDataView::CandlesticksTechDataView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
}

void CandlesticksTechDataView::setTechDataArray(std::vector<std::string> values) {
    if (values == techDataArray_) return;
    techDataArray_ = std::move(values);
    setNeedsDisplay();
}

void CandlesticksTechDataView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    const UIFont& font = chartFont(12);
    const double top = bounds().origin.y, h = 14;
    auto white = colorWithIndex(43), yellow = UIColor::yellowColor(), purple = UIColor::purpleColor();
    drawStringInRect(ctx, "MA5:", 2, top, 29, h, font, *white);
    drawStringInRect(ctx, "MA10:", 84, top, 36, h, font, *yellow);
    drawStringInRect(ctx, "MA30:", 172, top, 36, h, font, *purple);
    if (techDataArray_.size() != 3) return;
    drawStringInRect(ctx, techDataArray_[0], 31, top, 52, h, font, *white);
    drawStringInRect(ctx, techDataArray_[1], 120, top, 52, h, font, *yellow);
    drawStringInRect(ctx, techDataArray_[2], 208, top, 60, h, font, *purple);
}
