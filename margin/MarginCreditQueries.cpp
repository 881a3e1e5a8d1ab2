#include "margin/MarginCreditQueries.h"

#include "core/RequestText.h"
#include "core/VTAParamter.h"
#include "core/contracts/TradeContract.h"
#include "shell/TradeSession.h"

void MarginCreditQuery::requestTradeInfo() {
    if (!viewMenu()) return;
    RequestBuilder request = linkPairsRequest();
    request.appendFields(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""));
    addTail(request);
    sendListRequest(request, 4);
}

void MarginCreditQuery::addTail(RequestBuilder& request) const {
    request.add(TradeContract::Key::kFundId, tradeFundId());
}

void VTARZRQDBPZQSelectViewController::addTail(RequestBuilder& request) const {
    request.add(TradeContract::Key::kStockCode, code_);
}
