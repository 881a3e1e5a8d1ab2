#include "margin/MarginQueryList.h"

#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeQueryContract.h"
#include "margin/MarginRepayRules.h"
#include "margin/MarginToolbar.h"
#include "shell/Navigation.h"
#include "shell/VTAViewControllers.h"
#include "trade/OrderRules.h"
#include "ui/Alerts.h"

namespace Col = TradeQueryContract::Col;

RequestBuilder MarginQueryList::linkPairsRequest() const {
    auto menu = viewMenu();
    VTAStringDictionary pairs = parseQuery(menu ? menu->link() : "");
    pairs.setValue(std::to_string(T_pageSize), TradeQueryContract::Key::kCount);
    if (!cursorStack().empty() && positionName()) pairs.setValue(cursorStack().back(), *positionName());
    RequestBuilder request = RequestBuilder::fromText("");
    for (const auto& [key, value] : pairs) request.add(key, value);
    return request;
}

void MarginStockList::createToolbarItems() { setMarginToolbar(*this); }

void MarginStockList::onCommandOK() {
    VTATCRS* record = selectedRecord();
    const std::string code = record ? record->toStringWithFieldName(Col::kStockCode).value_or("") : "";
    if (code.empty()) {
        showAlert(kNoRowText);
        return;
    }
    auto stock = std::make_shared<VTAStock>(
        code, record->toStringWithFieldName(Col::kStockName).value_or(""),
        quoteMarketOfShareholderMarket(record->toStringWithFieldName(Col::kMarket).value_or("")));
    auto form = formFor(*record);
    form->setTitle(formTitle());
    form->setViewMessage(VTAMessage::messageWithSender(sharedController(), stock, 1));
    pushViewController(form);
}
