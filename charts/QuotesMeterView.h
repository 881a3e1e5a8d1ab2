#pragma once
// The crosshair of the newer charts: a vertical and a horizontal blue line
// with a soft white glow, each a view of its own that the chart moves with
// the finger (setCenter). They take no touches.
#include <memory>

#include "platform/uikit/UIView.h"

class ChartBackdrop;

class QuotesMeterView : public UIView {
public:
    explicit QuotesMeterView(const CGRect& frame = CGRectZero);
    ~QuotesMeterView() override;
    std::string className() const override { return "QuotesMeterView"; }
    // A 1-point line down the middle, 5 points short of the bottom.
    void drawRect(const CGRect& rect) override;

private:
    std::unique_ptr<ChartBackdrop> backdrop_;
};

class QuotesHorizontalMeterView : public UIView {
public:
    explicit QuotesHorizontalMeterView(const CGRect& frame = CGRectZero);
    ~QuotesHorizontalMeterView() override;
    std::string className() const override { return "QuotesHorizontalMeterView"; }
    // A 1-point line across the middle.
    void drawRect(const CGRect& rect) override;

private:
    std::unique_ptr<ChartBackdrop> backdrop_;
};
