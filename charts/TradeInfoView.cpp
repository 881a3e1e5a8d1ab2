#include "charts/TradeInfoView.h"

#include "charts/ChartDrawing.h"
#include "charts/TradeInfoBox.h"
#include "ui/Palette.h"

TradeInfoView::TradeInfoView(const CGRect& frame) : UIView(frame) { makeTradeInfoBoxView(*this); }

void TradeInfoView::drawRect(const CGRect&) {
    if (!info_) return;
    const auto& i = *info_;
    drawTradeInfoHeadline(i.lastPrice, i.change, i.changePercent, i.prevClose, 22);
    auto white = colorWithIndex(43);
    auto yellow = UIColor::yellowColor();
    drawTradeInfoValue("均:", 84, 0, 20, i.avgPrice, 60, *chartCompareColor(i.avgPrice, i.prevClose));
    drawTradeInfoValue("量:", 84, 14, 20, i.volume, 60, *yellow);
    drawTradeInfoValue("时:", 84, 28, 20, i.time, 60, *white);
    drawTradeInfoValue("高:", 164, 0, 20, i.maxPrice, 60, *chartCompareColor(i.maxPrice, i.prevClose));
    drawTradeInfoValue("低:", 164, 14, 20, i.minPrice, 60, *chartCompareColor(i.minPrice, i.prevClose));
    drawTradeInfoValue("开:", 164, 28, 20, i.openPrice, 60, *chartCompareColor(i.openPrice, i.prevClose));
}
