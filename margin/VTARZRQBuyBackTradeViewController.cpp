#include "margin/VTARZRQBuyBackTradeViewController.h"

#include "core/contracts/MarginContract.h"
#include "margin/MarginOrderRules.h"
#include "margin/MarginRepayRules.h"

VTARZRQBuyBackTradeViewController::VTARZRQBuyBackTradeViewController()
    : MarginRepayForm(kBuy, MarginContract::CreditFlag::kBuyToReturn,
                      {{Row::Stockholder, "股东代码"},
                       {Row::Code, "证券代码"},
                       {Row::Name, "证券名称"},
                       {Row::PriceType, "报价方式"},
                       {Row::Price, "买入价格"},
                       {Row::Quantity, "委托数量"},
                       {Row::Maximum, "最大可买"}}) {}

RequestBuilder VTARZRQBuyBackTradeViewController::makeStockInfoRequest() const {
    return *makeMaximumRequest(std::nullopt);
}

std::optional<RequestBuilder> VTARZRQBuyBackTradeViewController::makeMaximumRequest(
    const std::optional<std::string>& price) const {
    return creditMaxRequest(
        {.code = codeText(), .codeTwice = true, .price = price, .bsflag = priceType(), .creditFlag = creditFlag()});
}

std::string VTARZRQBuyBackTradeViewController::confirmationText(const OrderTicket& t) const {
    const bool limit = isLimitOrderCode(t.orderType);
    return marginSheetText({{"股票名称", stockNameText()},
                            {"股票代码", t.code},
                            {limit ? "交易价格" : "报价方式", limit ? t.price : priceTypeLabel()},
                            {"交易数量", t.quantity}});
}
