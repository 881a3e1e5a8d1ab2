#pragma once
// Quote rows of the lists on black.
//  HQTableCell: name over code at the left, price, change, and the change
//    percent on the red button image "ZDFRedBtn.png" ("ZDFGreenBtn.png" when the
//    percent is below 0) that calls its
//    action with the cell.
//  MYExpandTableViewCell: the own-stock and ranking row, 42 high; a sideways
//    swipe asks the table's delegate (MYExpandTableViewDelegate) and reports
//    it; the owner then reloads the row expanded (84 high, reuse id "Expand"),
//    which shows the five buttons "-自选"/"+自选", "买入", "卖出", "K线", "五档".
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITableView.h"

#include <functional>

class HQTableCell : public UITableViewCell {
public:
    using Action = std::function<void(HQTableCell&)>;
    HQTableCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    std::string className() const override { return "HQTableCell"; }

    void setStockName(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color);
    void setStockCode(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color);
    void setPrice(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color);
    void setZD(const std::string& t, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color);
    // red: the red button (a rise or nothing), else the green one.
    void setZDF(const std::string& t, std::shared_ptr<UIFont> font, bool red);
    void set_buttonAction(Action a) { action_ = std::move(a); }
    void set_buttonTarget(const void* target) { target_ = target; }
    void setMarketID(int m) { market_ = m; }
    const std::string& stockCode() const { return code_->text(); }
    int marketID() const { return market_; }
    UIButton* zdfButton() const { return zdf_.get(); }
    UILabel* nameLabel() const { return name_.get(); }
    UILabel* priceLabel() const { return price_.get(); }
    UILabel* zdLabel() const { return zd_.get(); }
    void layoutSubviews() override;

private:
    std::shared_ptr<UILabel> name_, code_, price_, zd_;
    std::shared_ptr<UIButton> zdf_;
    Action action_;
    const void* target_ = nullptr;
    int market_ = 0;
};

class MYExpandTableViewCell;

// What the table's delegate answers for the swipe of an expandable row.
class MYExpandTableViewDelegate {
public:
    virtual ~MYExpandTableViewDelegate() = default;
    virtual bool tableViewShouldSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& path) { return true; }
    virtual void tableViewDidSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& path) {}
};

class MYExpandTableViewCell : public UITableViewCell {
public:
    using Action = std::function<void(MYExpandTableViewCell&)>;
    static constexpr double kNormalHeight = 42;
    static constexpr double kExpandedHeight = 84;

    MYExpandTableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier, bool isExistInPortfolio);
    std::string className() const override { return "MYExpandTableViewCell"; }

    void setName(const std::string& t);
    void setSymbol(const std::string& t);
    void setLastTrade(const std::string& t, std::shared_ptr<UIColor> color);
    void setChange(const std::string& t, std::shared_ptr<UIColor> color);
    // 0 rise (red), 1 fall (green), 2 flat (grey).
    void setChangePercent(const std::string& t, int upDownType);
    void setRedDotHidden(bool hidden);
    void setMarketId(int m) { market_ = m; }
    void setStockType(int t) { type_ = t; }
    void setExpandButtonTarget(const void* target) { target_ = target; }
    void setPortfolioAction(Action a) { actions_[0] = std::move(a); }
    void setBidAction(Action a) { actions_[1] = std::move(a); }
    void setAskAction(Action a) { actions_[2] = std::move(a); }
    void setKLineAction(Action a) { actions_[3] = std::move(a); }
    void setPositionAction(Action a) { actions_[4] = std::move(a); }

    UILabel* nameLabel() const { return name_.get(); }
    UILabel* symbolLabel() const { return symbol_.get(); }
    UILabel* lastTradeLabel() const { return last_.get(); }
    UILabel* changeLabel() const { return change_.get(); }
    UILabel* changePercentLabel() const { return percent_.get(); }
    int marketId() const { return market_; }
    int stockType() const { return type_; }
    const std::string& symbol() const { return symbol_->text(); }
    bool isRedDotHidden() const { return redDotHidden_; }
    int upDownType() const { return upDown_; }
    // Whether this cell shows the button bar (made with the reuse id "Expand").
    bool isExpanded() const { return reuseIdentifier() == "Expand"; }
    // The five buttons in order: portfolio, buy, sell, K-line, order book.
    UIButton* actionButton(int i) const;

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;

private:
    std::shared_ptr<UILabel> name_, symbol_, last_, change_, percent_;
    std::vector<std::shared_ptr<UIButton>> buttons_;
    Action actions_[5];
    const void* target_ = nullptr;
    int market_ = 0, type_ = 0, upDown_ = 2;
    bool redDotHidden_ = true;
    CGPoint touchStart_;
    bool swiped_ = false;
};
