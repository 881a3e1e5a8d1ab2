#pragma once
// The exchange-fund order screen ("jysjjss", titled "交易所基金申赎"):
// subscribes to an exchange-listed fund for money ("基金申购", order flag
// "03", 元) or redeems its shares ("基金赎回", "04", 份). An exchange order
// screen (ExchangeOrderScreen.h) without a price.
//
// Rows, subscription: 股东代码, 基金代码, 基金名称, 可用资金, 申购金额, 申购上限;
// redemption: 股东代码, 基金代码, 基金名称, 赎回份额, 赎回上限. The upper-limit
// row shows the limit with its unit and "全部", which puts the limit in the
// amount field. The fund lookup (500/4 with the flag, tag 1109) names the
// fund and gives the cash (a subscription's) and the limit ("num"); the
// order (tag 1110) needs an amount of digits with at most one point above 0
// (subscription) or a whole number of shares above 0 ("请输入数量"). The
// amount field scrolls the form 80 points.
#include "funds/ExchangeOrderScreen.h"

class UIButton;

class EFTradeViewController : public ExchangeOrderScreen {
public:
    static constexpr int kLookupTag = 1109;
    static constexpr int kOrderTag = 1110;

    EFTradeViewController();

    UILabel* availableLabel();
    UILabel* maxAmountLabel();
    UIButton* maxAmountBtn();
    const std::string& fundName() const { return fundName_; }
    const std::string& availableAmount() const { return availableAmount_; }
    int maxAmount() const { return maxAmount_; }

    void maxAmountAction();

protected:
    int rowCount() const override { return direction() == 0 ? 6 : 5; }
    std::string rowTitle(int row) const override;
    std::shared_ptr<UIView> rowWidget(int row) override;
    void buildWidgets() override;
    double editingOffset(int fieldTag) const override { return fieldTag == kAmountFieldTag ? 80 : 0; }
    RequestBuilder lookupRequest(const std::string& code) const override;
    std::string notFoundText() const override { return "查无此基金信息！"; }
    void lookupArrived(VTATCRS& set) override;
    void directionChanged() override;
    std::string orderFlag() const override;
    std::string orderRefusal() const override;
    std::string orderSummary() const override;

private:
    std::string unit() const { return direction() == 0 ? "元" : "份"; }

    std::string fundName_, availableAmount_;
    int maxAmount_ = 0;
    std::shared_ptr<UILabel> name_, available_, maxLabel_;
    std::shared_ptr<UIView> maxRow_;
    std::shared_ptr<UIButton> maxButton_;
};
