#include "margin/VTARZRQXQHQTradeViewController.h"

#include "core/contracts/MarginContract.h"
#include "margin/MarginOrderRules.h"
#include "margin/MarginRepayRules.h"

VTARZRQXQHQTradeViewController::VTARZRQXQHQTradeViewController()
    : MarginRepayForm(kSell, MarginContract::CreditFlag::kSecuritiesRepayment,
                      {{Row::Stockholder, "股东代码"},
                       {Row::Code, "证券代码"},
                       {Row::Name, "证券名称"},
                       {Row::Quantity, "还券数量"},
                       {Row::Maximum, "最大可还"}}) {}

RequestBuilder VTARZRQXQHQTradeViewController::makeStockInfoRequest() const {
    return creditMaxRequest({.code = codeText(), .creditFlag = creditFlag()});
}

std::string VTARZRQXQHQTradeViewController::confirmationText(const OrderTicket& t) const {
    return marginSheetText({{"股票名称", stockNameText()}, {"股票代码", t.code}, {"交易数量", t.quantity}});
}
