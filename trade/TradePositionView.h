#pragma once
// The five-level order book of the order screens' quote panel (the stock
// order screen, the margin order screen): the five asks and the limit-up
// price in the left half, the five bids and the limit-down price in the
// right half, each price coloured against the previous close and each volume
// in lots of 100 shares. A tap on a level hands its price text to the
// delegate, which takes it as the order's price.
//
// Twelve transparent buttons, each half the width and a sixth of the height:
// tags 1001 to 1006 down the left column (卖一 .. 卖五, 涨停价), 1007 to 1012
// down the right (买一 .. 买五, 跌停价). A pressed button shows the rise, fall
// or flat image of its price.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/UIView.h"

class UIButton;
class VTATCRS;
using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

class TradePositionViewDelegate {
public:
    virtual ~TradePositionViewDelegate() = default;
    // The price text of the tapped level; nothing for a level without a price.
    virtual void selectedPosition(const std::optional<std::string>& price) = 0;
};

class TradePositionView : public UIView {
public:
    static constexpr int kFirstButtonTag = 1001;
    static constexpr const char* kRiseImage = "QuotesPositionRed.png";
    static constexpr const char* kFallImage = "QuotesPositionGreen.png";
    static constexpr const char* kFlatImage = "QuotesPositionWhite.png";

    explicit TradePositionView(const CGRect& frame);
    std::string className() const override { return "TradePositionView"; }

    // Not owned; the owner clears it before it goes.
    void setDelegate(TradePositionViewDelegate* delegate) { delegate_ = delegate; }
    TradePositionViewDelegate* delegate() const { return delegate_; }

    // The sets of a 31000/1 reply: set 0 the base quote ("zrsp"), set 2 the
    // five levels. Nothing given is ignored; fewer than three sets keep the
    // levels shown; either way the panel redraws.
    void setPositionsWithArray(const RecordSets& sets);
    const std::shared_ptr<VTATCRS>& baseHQRS() const { return baseHQRS_; }
    const std::shared_ptr<VTATCRS>& detailHQRS() const { return detailHQRS_; }
    // The day's limit prices as the stock information gave them.
    void setGoUpStaying(std::optional<std::string> price);
    void setFallStaying(std::optional<std::string> price);
    const std::optional<std::string>& goUpStaying() const { return goUpStaying_; }
    const std::optional<std::string>& fallStaying() const { return fallStaying_; }

    // Hands the price of the button's level to the delegate.
    void btnAction(int tag);
    // The pressed image of a comparison result: 1 rise, -1 fall, other flat.
    static void setButtonWithResult(UIButton& button, int result);
    UIButton* buttonWithTag(int tag) const;

    // A level's volume as drawn: shares in lots of 100, rounded down; "" for no value.
    static std::string volumeText(int64_t shares);
    // The price text of a level's button (nothing without one).
    std::optional<std::string> priceOfButton(int tag) const;

    void drawRect(const CGRect& rect) override;

private:
    TradePositionViewDelegate* delegate_ = nullptr;
    std::shared_ptr<VTATCRS> baseHQRS_, detailHQRS_;
    std::optional<std::string> goUpStaying_, fallStaying_;
    std::array<std::shared_ptr<UIButton>, 12> buttons_;
};
