#pragma once
// The convertible-bond order screen ("zghs", titled "转股回售"): converts
// bonds into the issuer's shares ("可转债转股", order flag "0G") or puts them
// back to the issuer ("可转债回售", "0H"), in 张. An exchange order screen
// (ExchangeOrderScreen.h) with the bond's price.
//
// Rows: 股东代码; 转债代码 / 回售代码; 转债名称 / 回售名称; 委托价格; 转股数量 /
// 回售数量. The bond lookup (3500/1, tag 1107) names the bond and offers the
// conversion or put-back price; the order (tag 1108) needs a price of digits
// with at most one point ("价格输入错误") and a whole number of 张 above 0
// ("请输入数量"). The price field scrolls the form 60 points, the quantity
// field 100.
#include "funds/ExchangeOrderScreen.h"

class CBTradeViewController : public ExchangeOrderScreen {
public:
    static constexpr int kLookupTag = 1107;
    static constexpr int kOrderTag = 1108;
    static constexpr const char* kBadPriceText = "价格输入错误";

    CBTradeViewController();

    UITextField* tradePriceTF();
    UILabel* tradeNameLabel();
    const std::string& bondName() const { return bondName_; }

protected:
    int rowCount() const override { return 5; }
    std::string rowTitle(int row) const override;
    std::shared_ptr<UIView> rowWidget(int row) override;
    void buildWidgets() override;
    double editingOffset(int fieldTag) const override;
    RequestBuilder lookupRequest(const std::string& code) const override;
    std::string notFoundText() const override { return "查无此债券信息！"; }
    void lookupArrived(VTATCRS& set) override;
    void directionChanged() override;
    std::string orderFlag() const override;
    std::string orderRefusal() const override;
    std::string orderSummary() const override;
    std::optional<std::string> orderPrice() const override;

private:
    std::string bondName_;
    std::shared_ptr<UITextField> price_;
    std::shared_ptr<UILabel> name_;
};
