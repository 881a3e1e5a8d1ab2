#pragma once
// The box over the intraday trend chart with the values of the touched point
// (or of the day's last point): the price large in its rise or fall colour,
// the change under it, then average, volume, time, high, low and open.
#include <optional>

#include "charts/TimeTrendTradeInfo.h"
#include "platform/uikit/UIView.h"

class TradeInfoView : public UIView {
public:
    explicit TradeInfoView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "TradeInfoView"; }

    const std::optional<TimeTrendTradeInfo>& timeTrendTradeInfo() const { return info_; }
    void setTimeTrendTradeInfo(std::optional<TimeTrendTradeInfo> info) { info_ = std::move(info); }

    // Nothing without a model.
    void drawRect(const CGRect& rect) override;

private:
    std::optional<TimeTrendTradeInfo> info_;
};
