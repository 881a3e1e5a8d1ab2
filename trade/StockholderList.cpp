#include "trade/StockholderList.h"

#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "shell/TradeSession.h"
#include "trade/OrderRules.h"

namespace Col = TradeContract::Col;

std::string StockholderList::load() {
    fill(nullptr);
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!customer) return "";
    customer->fetchFirst();
    return customer->toStringWithFieldName(Col::kMarket).value_or("");
}

void StockholderList::filterByMarket(const std::string& market) {
    fill(&market);
    if (preferred_.size() < 2) return;
    for (size_t i = 0; i < flat_.size(); ++i)
        if (flat_[i] == preferred_) {
            selected_ = static_cast<int>(i / 2);
            return;
        }
}

void StockholderList::fill(const std::string* market) {
    flat_.clear();
    selected_ = 0;
    auto all = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kShareholders);
    if (!all) return;
    for (all->fetchFirst(); !all->isEOF(); all->fetchNext()) {
        std::string m = all->toStringWithFieldName(Col::kMarket).value_or("");
        if (market && m != *market) continue;
        std::string secuid = all->toStringWithFieldName(Col::kSecuId).value_or("");
        flat_.push_back(std::string(TradeContract::Key::kMarket) + "=" + m + "&" + TradeContract::Key::kSecuId + "=" +
                        secuid);
        flat_.push_back(all->toStringWithFieldName(Col::kMarketName).value_or("") + secuid);
    }
    all->fetchFirst();
}

void StockholderList::pick(int pair) {
    if (pair < 0 || pair >= count()) return;
    selected_ = pair;
    preferred_ = display(pair);
}

std::string StockholderList::label() const {
    return selected_ < count() ? display(selected_) : std::string(kNoStockholderText);
}

std::string StockholderList::element(int index) const {
    return index >= 0 && static_cast<size_t>(index) < flat_.size() ? flat_[size_t(index)] : std::string();
}
