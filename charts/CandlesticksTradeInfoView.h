#pragma once
// The box over the K-line chart with the values of the touched bar (or of
// the last one): the close large in its rise or fall colour, the change under
// it, then high, low, open, volume, turnover and date.
#include <optional>

#include "charts/CandlesticksTradeInfo.h"
#include "platform/uikit/UIView.h"

class CandlesticksTradeInfoView : public UIView {
public:
    explicit CandlesticksTradeInfoView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "CandlesticksTradeInfoView"; }

    const std::optional<CandlesticksTradeInfo>& candlesticksTradeInfo() const { return info_; }
    void setCandlesticksTradeInfo(std::optional<CandlesticksTradeInfo> info) { info_ = std::move(info); }

    // Nothing without a model.
    void drawRect(const CGRect& rect) override;

private:
    std::optional<CandlesticksTradeInfo> info_;
};
