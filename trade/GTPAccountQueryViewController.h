#pragma once
// 资金账户查询: the customer's fund accounts and their bank bindings as the
// server lists them (500/83, request type 1), asked on each appearance and
// on "刷新". The server sends the currency and the main flag as codes (the
// bank manager reads them so); the grid shows their words.
#include "core/contracts/BankContract.h"
#include "trade/TradeRequestList.h"

class GTPAccountQueryViewController : public TradeRequestList {
public:
    GTPAccountQueryViewController() : TradeRequestList(BankContract::kBindings.sub, 1) {}

protected:
    std::string cellText(VTATCRS& set, int field) const override;
};
