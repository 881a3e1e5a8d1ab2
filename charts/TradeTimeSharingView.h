#pragma once
// The small intraday chart of the order screens' quote panel (the stock
// order screen, the margin order screen): the day's price line (white) and
// its running average (yellow) over a dashed previous-close line, the
// volume bars below, the scale's bounds and the session's times, drawn from
// the sets of a 31000/1 reply (charts/IntradaySeries.h) on the panel's own
// background. It takes no touches: the pager it stands in swipes over it.
//
//   auto chart = std::make_shared<TradeTimeSharingView>(CGRectMake(300, 0, 300, 192));
//   chart->parseHQData(reply.sets);    // every reply of tag 1501 (and its cached copy)
#include "charts/IntradaySeries.h"
#include "charts/VTAChartView.h"
#include "platform/uikit/UIView.h"

class TradeTimeSharingView : public UIView {
public:
    explicit TradeTimeSharingView(const CGRect& frame);
    std::string className() const override { return "TradeTimeSharingView"; }

    // The host screen (not owned; it clears it before it goes). The chart
    // reports nothing to it.
    void setChartDelegate(VTAChartViewDelegate* delegate) { chartDelegate_ = delegate; }
    VTAChartViewDelegate* chartDelegate() const { return chartDelegate_; }

    // Takes the sets of a 31000/1 reply (header, points, detail), fills the
    // day's gaps and redraws; a reply without header and points keeps what
    // was drawn.
    void parseHQData(const RecordSets& sets);
    const RecordSets& quotesData() const { return sets_; }
    const IntradayScale& scale() const { return scale_; }
    // Where the price line and the volume bars are drawn.
    CGRect priceRect() const;
    CGRect volumeRect() const;

    void drawRect(const CGRect& rect) override;

private:
    VTAChartViewDelegate* chartDelegate_ = nullptr;
    RecordSets sets_;
    IntradaySession session_;
    IntradayScale scale_;
    int classId_ = 0;
};
