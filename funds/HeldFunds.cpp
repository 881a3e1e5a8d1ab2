#include "funds/HeldFunds.h"

#include <algorithm>

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "shell/RequestBinding.h"
#include "shell/TradeSession.h"
#include "ui/Alerts.h"

std::shared_ptr<VTATCRS> sessionHeldFunds() {
    return VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFunds);
}

void keepHeldFunds(std::shared_ptr<VTATCRS> set) {
    VTAParamter::shareParamter().setTCRS(std::move(set), TradeSessionKey::kFunds);
}

void forgetHeldFunds() { VTAParamter::shareParamter().removeValueForKey(TradeSessionKey::kFunds); }

std::string fieldText(const VTATCRS& set, const char* name) { return set.toStringWithFieldName(name).value_or(""); }

std::vector<std::string> heldFundNames(VTATCRS& set) {
    std::vector<std::string> names;
    const int at = set.currentIndex();
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) names.push_back(fieldText(set, FundContract::Col::kFundName));
    set.moveToIndex(at);
    return names;
}

int rowOfText(const std::vector<std::string>& rows, const std::string& text) {
    auto at = std::find(rows.begin(), rows.end(), text);
    return at == rows.end() ? 0 : static_cast<int>(at - rows.begin());
}

std::shared_ptr<VTATCRS> heldFundsOfReply(const RequestReply& reply, const char* noFundsText) {
    auto set = reply.sharedSet(0);
    if (!set) return nullptr;
    if (set->isError()) {
        showAlert(set->getError());
        return nullptr;
    }
    if (set->rowsAffected() == 0) {
        showAlert(noFundsText);
        return nullptr;
    }
    return set;
}
