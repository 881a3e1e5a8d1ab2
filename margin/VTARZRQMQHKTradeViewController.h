#pragma once
// The sell-to-repay form (卖券还款交易): sells shares of the credit account
// so that the money repays the financing debt (credit flag 7). Rows 股东代码,
// 证券代码, 证券名称, 报价方式 (the sell types of Shenzhen A or Shanghai A),
// 需还款额, 卖出价格, 卖出数量, 最大可卖 with "全部".
//
// Its requests in turn, each under its own tag: the debt (500/75) when it
// first appears, then the maximum (500/4 with "creditid=0&creditflag=7", so
// the brokerage answers what the credit account may sell) on every
// appearance, and the order only from the sheet's "确定". "确定" does
// nothing until the debt's reply is in, and waits for the maximum's (the
// account is known by then). The maximum's reply sets the price (of a limit
// order), the account and the order types of the stock's market.
#include <memory>

#include "margin/MarginRepayForm.h"

class VTARZRQMQHKTradeViewController : public MarginRepayForm {
public:
    static constexpr int kDebtTag = 7031;
    VTARZRQMQHKTradeViewController();
    static std::shared_ptr<VTARZRQMQHKTradeViewController> init() {
        return std::make_shared<VTARZRQMQHKTradeViewController>();
    }
    bool isBeforeLoad() const { return !debtKnown_; }
    void onCommandOK() override;

protected:
    void appeared() override;
    RequestBuilder makeStockInfoRequest() const override;
    std::string confirmationText(const OrderTicket& ticket) const override;

private:
    void debtArrived(const RequestReply& reply);

    bool debtKnown_ = false;
};
