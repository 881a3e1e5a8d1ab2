#pragma once
// The margin lists whose row opens a form for its stock:
//   VTARZRQMQHKSelectedViewController  the credit account's shares
//       ("rzrq_mqhk"), asked with request type 4; "确定" opens the
//       sell-to-repay form (卖券还款交易);
//   VTARZRQBuyBackQueryViewController  the shares owed ("rzrq_mqhq"), type 5;
//       the buy-to-return form (买券还券交易);
//   VTARZRQXQHQQueryViewController  the shares owed ("rzrq_xqhq"), type 5;
//       the securities repayment form (现券还券交易).
// Their request is the base list's (the link's pairs, "count", the cursor,
// the fund account and the session text).
#include "margin/MarginQueryList.h"

class VTARZRQMQHKSelectedViewController : public MarginStockList {
public:
    VTARZRQMQHKSelectedViewController() : MarginStockList(4) {}

protected:
    std::shared_ptr<VTAViewControllers> formFor(VTATCRS& record) override;
    std::string formTitle() const override { return "卖券还款交易"; }
};

class VTARZRQBuyBackQueryViewController : public MarginStockList {
public:
    VTARZRQBuyBackQueryViewController() : MarginStockList(5) {}

protected:
    std::shared_ptr<VTAViewControllers> formFor(VTATCRS& record) override;
    std::string formTitle() const override { return "买券还券交易"; }
};

class VTARZRQXQHQQueryViewController : public MarginStockList {
public:
    VTARZRQXQHQQueryViewController() : MarginStockList(5) {}

protected:
    std::shared_ptr<VTAViewControllers> formFor(VTATCRS& record) override;
    std::string formTitle() const override { return "现券还券交易"; }
};
