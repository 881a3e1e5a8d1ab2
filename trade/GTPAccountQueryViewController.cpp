#include "trade/GTPAccountQueryViewController.h"

#include "core/VTATCRS.h"
#include "trade/BankTransferRules.h"

std::string GTPAccountQueryViewController::cellText(VTATCRS& set, int field) const {
    namespace Col = BankContract::Col;
    const std::string text = TradeRequestList::cellText(set, field);
    const std::string name = set.getFieldNameAtIndex(field);
    if (name == Col::kMoneyType) return bankCurrencyLabel(text);
    if (name == Col::kMainFlag) return fundAccountRoleLabel(text);
    return text;
}
