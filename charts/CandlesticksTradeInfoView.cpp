#include "charts/CandlesticksTradeInfoView.h"

#include "charts/ChartDrawing.h"
#include "charts/TradeInfoBox.h"
#include "ui/Palette.h"

CandlesticksTradeInfoView::CandlesticksTradeInfoView(const CGRect& frame) : UIView(frame) {
    makeTradeInfoBoxView(*this);
}

void CandlesticksTradeInfoView::drawRect(const CGRect&) {
    if (!info_) return;
    const auto& i = *info_;
    drawTradeInfoHeadline(i.lastPrice, i.change, i.changePercent, i.prevClose, 26);
    auto yellow = UIColor::yellowColor();
    drawTradeInfoValue("最高:", 104, 0, 36, i.maxPrice, 64, *chartCompareColor(i.maxPrice, i.prevClose));
    drawTradeInfoValue("最低:", 104, 14, 36, i.minPrice, 64, *chartCompareColor(i.minPrice, i.prevClose));
    drawTradeInfoValue("开盘:", 104, 28, 36, i.openPrice, 64, *chartCompareColor(i.openPrice, i.prevClose));
    drawTradeInfoValue("成交:", 204, 0, 36, i.volume, 74, *yellow);
    drawTradeInfoValue("金额:", 204, 14, 36, i.turnover, 74, *yellow);
    drawTradeInfoValue("日期:", 204, 28, 36, i.date, 74, *colorWithIndex(43));
}
