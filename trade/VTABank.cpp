#include "trade/VTABank.h"

#include "core/VTATCRS.h"
#include "core/contracts/BankContract.h"

using namespace BankContract;

std::vector<VTABank> VTABank::banksForOperation(VTATCRS& set, int operation) {
    std::vector<VTABank> banks;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
        if (set.toIntAtIndex(ListColumn::kOperation) != operation) continue;
        VTABank b;
        b.code = set.toStringAtIndex(ListColumn::kCode).value_or("");
        b.name = set.toStringAtIndex(ListColumn::kName).value_or("");
        const int64_t currency = set.toIntAtIndex(ListColumn::kCurrency);
        if (currency < Currency::kRMB || currency > Currency::kUSD) continue;
        b.currentcy = static_cast<int>(currency);
        b.funkFlag = set.toIntAtIndex(ListColumn::kFundPasswordFlag) > 0;
        b.bankFlag = set.toIntAtIndex(ListColumn::kBankPasswordFlag) > 0;
        banks.push_back(b);
    }
    set.fetchFirst();
    return banks;
}
