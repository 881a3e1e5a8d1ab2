#include "trade/TradeOrderScreen.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/Navigation.h"
#include "ui/Alerts.h"

TradeOrderScreen::TradeOrderScreen(int direction, bool oddLotSells)
    : direction_(direction == kBuy ? kBuy : kSell), oddLotSells_(oddLotSells), priceType_(limitOrderCode(direction_)) {
    bindRequest(kStockInfoTag, [this](const RequestReply& r) { stockInfoReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kMaximumTag, [this](const RequestReply& r) { maximumReplied(r); });
    bindRequest(kOrderTag, [this](const RequestReply& r) { orderReplied(r); },
                {.order = true, .handlesErrorSet = true});
}

TradeOrderScreen::~TradeOrderScreen() {
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

std::string TradeOrderScreen::priceTypeLabel() const {
    for (const auto& t : orderTypesOf(strMarketNO_))
        if (t.code == priceType_) return t.label;
    return kLimitOrderLabel;
}

// ---- shareholders and order types ----

void TradeOrderScreen::loadStockholderRecord() {
    strMarketNO_ = stockholders_.load();
    stockholdersChanged();
}

void TradeOrderScreen::filterStockholderByMarket(const std::string& market) {
    strMarketNO_ = market;
    stockholders_.filterByMarket(market);
    stockholdersChanged();
}

std::vector<OrderType> TradeOrderScreen::orderTypesOf(const std::string& market) const {
    return orderTypesFor(market, direction_);
}

int TradeOrderScreen::reloadPriceTypes() {
    fillOrderTypes(priceTypeChoice_, orderTypesOf(strMarketNO_));
    return priceTypeChoice_.count();
}

void TradeOrderScreen::choosePriceType(int row) {
    reloadPriceTypes();
    if (row < 0 || row >= priceTypeChoice_.count()) return;
    const bool atMarket = buysAtMarketType();
    priceTypeChoice_.selectIndex(row);
    priceType_ = priceTypeChoice_.selectedValue().value_or(limitOrderCode(direction_));
    priceTypeChanged();
    if (buysAtMarketType() != atMarket) requestMaximum();
}

void TradeOrderScreen::resetPriceType() {
    reloadPriceTypes();
    priceTypeChoice_.selectIndex(0);
    priceType_ = limitOrderCode(direction_);
}

void TradeOrderScreen::setMaxTradableAmountFrom(VTATCRS& set) {
    maxTradable_ = static_cast<int>(
        std::clamp<int64_t>(set.toIntWithFieldName(TradeContract::Col::kMaxQuantity), INT32_MIN, INT32_MAX));
}

void TradeOrderScreen::followStockMarket(const std::string& market) {
    bool offered = false;
    for (const auto& t : orderTypesOf(market)) offered = offered || t.code == priceType_;
    strMarketNO_ = market;
    if (!offered) {
        resetPriceType();
        priceTypeChanged();
    }
    filterStockholderByMarket(market);
}

void TradeOrderScreen::preferMenuStockholder() {
    if (auto menu = viewMenu()) stockholders_.setPreferred(menu->params());
}

void TradeOrderScreen::chooseStockholder(int row) {
    stockholders_.pick(row);
    stockholdersChanged();
}

void TradeOrderScreen::applyQuantityShortcut(int segment) {
    if (auto q = quantityForShortcut(segment, maxTradable_, direction_, oddLotSells_, lot_))
        setQuantityText(std::to_string(*q));
}

// ---- the stock information ----

void TradeOrderScreen::requestStockInfo() { sendRequest(kStockInfoTag, makeStockInfoRequest(), 4); }

RequestBuilder TradeOrderScreen::makeStockInfoRequest() const {
    return stockInfoRequest(direction_, codeText(), stockInfoPrice());
}

RequestBuilder TradeOrderScreen::makeOrderRequest(const OrderTicket& ticket) const { return orderRequest(ticket); }

std::optional<RequestBuilder> TradeOrderScreen::makeMaximumRequest(const std::optional<std::string>& price) const {
    return stockInfoRequest(direction_, codeText(), price);
}

void TradeOrderScreen::requestMaximum() {
    if (limitUpCode_.empty() || limitUpCode_ != codeText()) return;
    auto request = makeMaximumRequest(buysAtMarketType() ? std::optional(limitUp_) : stockInfoPrice());
    if (!request) return;
    forgetMaxTradableAmount();
    maximumChanged();
    sendRequest(kMaximumTag, *request, 4);
}

void TradeOrderScreen::maximumReplied(const RequestReply& reply) {
    // A later question about the stock answers instead.
    if (isRequestInFlight(kMaximumTag) || isRequestInFlight(kStockInfoTag)) return;
    VTATCRS* set = reply.first();
    if (!set || set->rowsAffected() == 0 ||
        set->toStringWithFieldName(TradeContract::Col::kStockCode).value_or("") != codeText())
        return;
    setMaxTradableAmountFrom(*set);
    maximumChanged();
}

std::string TradeOrderScreen::confirmationText(const OrderTicket& ticket) const {
    return orderConfirmationText(direction_, stockNameText(), ticket.code, priceTypeLabel(), ticket.price,
                                 ticket.quantity);
}

void TradeOrderScreen::requestTrade() {
    if (sureToTrade_)
        sendOrder();
    else
        requestStockInfo();
}

void TradeOrderScreen::stockInfoReplied(const RequestReply& reply) {
    const bool confirmWaits = std::exchange(confirmAwaitsStockInfo_, false);
    VTATCRS* set = reply.first();
    if (!set) return;  // nothing to show
    if (set->isError()) {
        stockInfoRefused();
        showAlert(set->getError());
        return;
    }
    if (set->rowsAffected() == 0) return;
    limitUpCode_ = set->toStringWithFieldName(TradeContract::Col::kStockCode).value_or("");
    limitUp_ = set->toStringWithFieldName(TradeContract::Col::kLimitUp).value_or("");
    lot_ = lotSizeOf(limitUpCode_, set->toStringWithFieldName(TradeContract::Col::kMarket).value_or(""));
    stockInfoArrived(*set);
    // Its maximum is at the form's price; a market type's is at the limit-up.
    if (buysAtMarketType()) requestMaximum();
    if (confirmWaits) confirmOrderOnceStockKnown();  // or waits on for a later code's
}

bool TradeOrderScreen::stockMarketKnown() const { return !limitUpCode_.empty() && limitUpCode_ == codeText(); }

// ---- the order ----

std::string TradeOrderScreen::orderRefusal() const {
    std::string refusal = orderCheckRefusal({codeText(), priceType_, priceText(), quantityText()});
    return refusal.empty() ? destinationRefusal() : refusal;
}

std::string TradeOrderScreen::destinationRefusal() const {
    // The session's first account is of one market: a stock of another would go to it.
    if (!stockMarketKnown()) return kNoStockInfoText;
    const bool noType = orderTypesOf(strMarketNO_).empty();
    return stockholders_.count() == 0 || noType ? kNoStockholderText : "";
}

void TradeOrderScreen::confirmOrder() {
    if (sureToTrade_) return;
    if (std::string refusal = orderRefusal(); !refusal.empty()) {
        showAlert(refusal);
        return;
    }
    ticket_ = OrderTicket{
        direction_, priceType_, priceText(), quantityText(), codeText(), stockholders_.selectedFragment(), false};
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(confirmationText(ticket_), nullptr, std::string("取消"),
                                             std::string("确定"), std::vector<std::string>{});
    sheet_->setTag(kConfirmSheetTag);
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void TradeOrderScreen::confirmOrderOnceStockKnown() {
    if (sureToTrade_) return;
    if (!stockMarketKnown() && isRequestInFlight(kStockInfoTag)) {
        confirmAwaitsStockInfo_ = true;
        return;
    }
    confirmOrder();
}

void TradeOrderScreen::viewWillDisappear(bool animated) {
    confirmAwaitsStockInfo_ = false;  // its requests go with it
    VTAViewControllers::viewWillDisappear(animated);
}

void TradeOrderScreen::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() != kConfirmSheetTag) return;
    sureToTrade_ = buttonIndex == 0;
    if (sureToTrade_) sendOrder();
}

void TradeOrderScreen::sendOrder() {
    ticket_.riskAccepted = reask_.consent();
    orderWillSend();
    if (!sendRequest(kOrderTag, makeOrderRequest(ticket_), 4)) {  // refused: the customer was told why
        sureToTrade_ = false;
        orderEnded(OrderOutcome::Failed);
    }
}

void TradeOrderScreen::orderReplied(const RequestReply& reply) {
    sureToTrade_ = false;
    VTATCRS* set = reply.first();
    if (!set) {  // no record set at all: the brokerage may have taken it, the customer is told where to look
        reask_.withdraw();
        orderEnded(OrderOutcome::Unconfirmed);
        showAlert(RequestBinding::kOrderLeftText);
        return;
    }
    if (set->isError()) {
        const std::string text = set->getError();
        if (RiskReask::isWarning(text)) {
            // Not an error to end the order with: the customer reads it and decides.
            orderEnded(OrderOutcome::RiskWarning);
            reask_.ask(*this, text);
            return;
        }
        reask_.withdraw();
        orderEnded(OrderOutcome::Refused);
        showAlert(text);
        return;
    }
    reask_.withdraw();
    if (!orderTaken(*set)) {
        orderEnded(OrderOutcome::Unconfirmed);
        showAlert(RequestBinding::kOrderLeftText);
        return;
    }
    orderEnded(OrderOutcome::Sent);
    auto alert =
        std::make_shared<UIAlertView>(kOrderSentText, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setTag(kOrderSentAlertTag);
    if (auto self = std::dynamic_pointer_cast<TradeOrderScreen>(sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    else
        alert->setDelegate(static_cast<UIAlertViewDelegate*>(this));
    alert->show();
}

void TradeOrderScreen::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (reask_.isReask(alert)) {
        sureToTrade_ = reask_.answer(alert, buttonIndex);
        if (sureToTrade_) sendOrder();
    } else if (alert.tag() == kOrderSentAlertTag) {
        popViewControllers(1);
    }
}

void TradeOrderScreen::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kOrderTag) {
        sureToTrade_ = false;
        orderEnded(OrderOutcome::Failed);
    }
    if (failure.tag == kStockInfoTag) {
        confirmAwaitsStockInfo_ = false;
        // An unreadable stock information changes nothing.
        if (failure.kind == RequestFailure::Kind::Unreadable) return;
        stockInfoFailed();
    }
    showFailure(failure);
}
