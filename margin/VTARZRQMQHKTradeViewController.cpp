#include "margin/VTARZRQMQHKTradeViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginOrderRules.h"
#include "margin/MarginRepayRules.h"
#include "platform/uikit/UILabel.h"

namespace Flag = MarginContract::CreditFlag;

VTARZRQMQHKTradeViewController::VTARZRQMQHKTradeViewController()
    : MarginRepayForm(kSell, Flag::kSellToRepay,
                      {{Row::Stockholder, "股东代码"},
                       {Row::Code, "证券代码"},
                       {Row::Name, "证券名称"},
                       {Row::PriceType, "报价方式"},
                       {Row::Debt, "需还款额"},
                       {Row::Price, "卖出价格"},
                       {Row::Quantity, "卖出数量"},
                       {Row::Maximum, "最大可卖"}}) {
    bindRequest(kDebtTag, [this](const RequestReply& r) { debtArrived(r); });
}

void VTARZRQMQHKTradeViewController::appeared() {
    if (debtKnown_)
        requestStockInfo();
    else
        sendRequest(kDebtTag, marginDebtRequest(), 4);
}

void VTARZRQMQHKTradeViewController::debtArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) return;
    debtKnown_ = true;
    debtLabel()->setText(set->toStringWithFieldName(MarginContract::Col::kRepay).value_or(""));
    requestStockInfo();
}

RequestBuilder VTARZRQMQHKTradeViewController::makeStockInfoRequest() const {
    return creditMaxRequest({.code = codeText(), .bsflag = limitOrderCode(kSell), .creditFlag = creditFlag()});
}

void VTARZRQMQHKTradeViewController::onCommandOK() {
    // Before the debt is known no order is prepared.
    if (!debtKnown_) return;
    MarginRepayForm::onCommandOK();
}

std::string VTARZRQMQHKTradeViewController::confirmationText(const OrderTicket& t) const {
    if (isLimitOrderCode(t.orderType))
        return marginSheetText(
            {{"卖出", stockNameText()}, {"证券代码", t.code}, {"卖出价格", t.price}, {"卖出数量", t.quantity}});
    return marginSheetText(
        {{"卖出", stockNameText()}, {"证券代码", t.code}, {"报价方式", priceTypeLabel()}, {"卖出数量", t.quantity}});
}
