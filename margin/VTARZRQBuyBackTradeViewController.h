#pragma once
// The buy-to-return form (买券还券交易): buys owed shares back on the credit
// account (credit flag 2). Rows 股东代码 (its picker), 证券代码, 证券名称,
// 报价方式 (the buy types of Shenzhen A or Shanghai A; none elsewhere), 买入价格
// 元, 委托数量, 最大可买 with "全部". Every appearance asks the maximum
// (500/4 with the code twice, the chosen order type, "creditid=0&
// creditflag=2"); its reply gives the name, the maximum, the price of a
// limit order and the accounts and order types of the stock's market. A
// market type is held at the limit-up price: its maximum is asked again at
// that price (TradeOrderScreen), so that "全部" is what the cash pays.
#include <memory>
#include <optional>
#include <string>

#include "margin/MarginRepayForm.h"

class VTARZRQBuyBackTradeViewController : public MarginRepayForm {
public:
    VTARZRQBuyBackTradeViewController();
    static std::shared_ptr<VTARZRQBuyBackTradeViewController> init() {
        return std::make_shared<VTARZRQBuyBackTradeViewController>();
    }

protected:
    bool showsPriceUnit() const override { return true; }
    bool picksStockholder() const override { return true; }
    RequestBuilder makeStockInfoRequest() const override;
    std::optional<RequestBuilder> makeMaximumRequest(const std::optional<std::string>& price) const override;
    std::string confirmationText(const OrderTicket& ticket) const override;
};
