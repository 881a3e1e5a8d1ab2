#pragma once
// The collateral transfer form (担保品划转交易): moves shares of a list row's
// stock into the credit account (direction "1", credit flag 5) or out of it
// ("0", flag 6), at once. Rows 股东代码 (the first account of the row's
// market), 划转方向, 证券代码, 证券名称, 最大可划 (the row's "stkavl") with
// "全部", 划转数量. It asks no maximum: the list's is shown. The transfer
// (500/6: account, fund account, code, quantity, "creditid=0", the flag)
// carries no order type and no price, and the quantity stays as typed.
#include <memory>
#include <string>

#include "margin/MarginRepayForm.h"

class VTARZRQDBPHZOperateViewController : public MarginRepayForm {
public:
    VTARZRQDBPHZOperateViewController(std::string directionTitle, std::string directionValue, std::string mayUseCount,
                                      std::string market);
    static std::shared_ptr<VTARZRQDBPHZOperateViewController> initWithTradeSide(const std::string& directionTitle,
                                                                                const std::string& directionValue,
                                                                                const std::string& mayUseCount,
                                                                                const std::string& market) {
        return std::make_shared<VTARZRQDBPHZOperateViewController>(directionTitle, directionValue, mayUseCount, market);
    }
    const std::string& directionValue() const { return dirValue_; }
    void viewWillDidLoad() override;

protected:
    void appeared() override {}
    bool stockMarketKnown() const override { return true; }  // the row's
    bool emptiesQuantityOnSend() const override { return false; }
    std::string confirmationText(const OrderTicket& ticket) const override;

private:
    std::string dirTitle_, dirValue_, mayUse_, market_;
};
