#pragma once
// 转账查询: the transfer history (500/22, request type 5): transfers, bank
// balance queries and transfers between fund accounts, asked on each
// appearance and on "刷新".
#include "core/contracts/BankContract.h"
#include "trade/TradeRequestList.h"

class VTATransferQueryViewController : public TradeRequestList {
public:
    VTATransferQueryViewController() : TradeRequestList(BankContract::kTransferHistory.sub, 5) {}
};
