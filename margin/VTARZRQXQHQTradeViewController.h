#pragma once
// The securities repayment form (现券还券交易): returns owed shares from
// those the credit account holds, at once (credit flag 4, no order type and
// no price). Rows 股东代码, 证券代码, 证券名称, 还券数量, 最大可还 with "全部".
// Every appearance asks the maximum (500/4 with "creditid=0&creditflag=4");
// its reply gives the name, the maximum and the account of the stock's
// market.
#include <memory>

#include "margin/MarginRepayForm.h"

class VTARZRQXQHQTradeViewController : public MarginRepayForm {
public:
    VTARZRQXQHQTradeViewController();
    static std::shared_ptr<VTARZRQXQHQTradeViewController> init() {
        return std::make_shared<VTARZRQXQHQTradeViewController>();
    }

protected:
    RequestBuilder makeStockInfoRequest() const override;
    std::string confirmationText(const OrderTicket& ticket) const override;
};
