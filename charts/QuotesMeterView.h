#pragma once
// The crosshair of the newer charts: a vertical and a horizontal blue line
// with a soft white glow, each a view of its own that the chart moves with
// the finger (setCenter). They take no touches.
#include "platform/uikit/UIView.h"

class QuotesMeterView : public UIView {
public:
    explicit QuotesMeterView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "QuotesMeterView"; }
    // A 1-point line down the middle, 5 points short of the bottom.
    void drawRect(const CGRect& rect) override;
};

class QuotesHorizontalMeterView : public UIView {
public:
    explicit QuotesHorizontalMeterView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "QuotesHorizontalMeterView"; }
    // A 1-point line across the middle.
    void drawRect(const CGRect& rect) override;
};
