#include "margin/MarginTradeViewController.h"

#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "margin/MarginOrderRules.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"

namespace {

constexpr TradeQuotesPanel::Layout kPanel = TradeQuotesPanel::kMarginScreenLayout;

}  // namespace

MarginTradeViewController::MarginTradeViewController(int direction)
    : TradeViewController(direction, Geometry{kPanel, kPanel.dotsY + 16, 360}) {}

int MarginTradeViewController::creditFlag() const { return creditFlagOfDirection(tradeDirection()); }

std::vector<OrderType> MarginTradeViewController::orderTypesOf(const std::string& market) const {
    return creditOrderTypesFor(creditFlag(), market);
}

RequestBuilder MarginTradeViewController::makeStockInfoRequest() const {
    return *makeMaximumRequest(stockInfoPrice());
}

std::optional<RequestBuilder> MarginTradeViewController::makeMaximumRequest(
    const std::optional<std::string>& price) const {
    return creditMaxRequest({.code = codeText(),
                             .price = price.value_or(""),
                             .bsflag = limitOrderCode(tradeDirection()),
                             .link = viewMenu() ? viewMenu()->link() : std::string()});
}

RequestBuilder MarginTradeViewController::makeOrderRequest(const OrderTicket& ticket) const {
    return creditOrderRequest(
        {creditFlag(), ticket.stockholder, ticket.code, ticket.orderType, ticket.price, ticket.quantity});
}

std::string MarginTradeViewController::orderRefusal() const {
    return TradeOrderScreen::orderRefusal();  // the form first, then its stock's market and account
}

void MarginTradeViewController::codeChanged() {
    if (utf8Length(codeField()->text()) == 6) priceField()->setText("");
    TradeViewController::codeChanged();
}

void MarginTradeViewController::maximumChanged() {
    if (maxTradableAmount() < 0) return TradeViewController::maximumChanged();
    const std::string max = std::to_string(maxTradableAmount());
    maxLabel()->setText(tradeDirection() == kBuy ? "最大可买数量为" + max + "股" : "最大可卖数量为" + max + "股");
}

void MarginTradeViewController::orderWillSend() { quantityField()->setText(""); }
