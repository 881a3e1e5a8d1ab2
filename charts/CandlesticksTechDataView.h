#pragma once
// The legend strip over the candles: the three moving averages (MA5, MA10,
// MA30) of the touched or last bar.
#include <string>
#include <vector>

#include "platform/uikit/UIView.h"

class CandlesticksTechDataView : public UIView {
public:
    explicit CandlesticksTechDataView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "CandlesticksTechDataView"; }

    const std::vector<std::string>& techDataArray() const { return techDataArray_; }
    // Redraws only when the texts changed. Another count than three shows only the titles.
    void setTechDataArray(std::vector<std::string> values);

    void drawRect(const CGRect& rect) override;

private:
    std::vector<std::string> techDataArray_;
};
