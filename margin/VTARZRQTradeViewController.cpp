#include "margin/VTARZRQTradeViewController.h"

#include <algorithm>
#include "margin/MarginToolbar.h"

#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "margin/MarginOrderRules.h"
#include "net/XXNetworkManager.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "trade/TradeFormViews.h"
#include "ui/Drawing.h"

namespace Col = TradeContract::Col;

namespace {

constexpr int kNumberPad = 4, kNumbersAndPunctuation = 2;

std::shared_ptr<UILabel> rowLabel(const std::string& text = "") {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 31));
    l->setFont(defaultFont());
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    l->setText(text);
    return l;
}

std::shared_ptr<VTATextField> rowField(int length, const std::string& placeholder, int keyboard, int tag) {
    auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 31), length, placeholder, keyboard);
    f->setTag(tag);
    f->setFont(defaultFont());
    return f;
}

}  // namespace

VTARZRQTradeViewController::VTARZRQTradeViewController(const std::string& side)
    : MarginPickerForm(side == "B" ? kBuy : kSell, false) {}

VTARZRQTradeViewController::~VTARZRQTradeViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {code_.get(), price_.get(), count_.get()})
        if (f) f->setFieldDelegate(nullptr);
}

int VTARZRQTradeViewController::creditFlag() const { return creditFlagOfDirection(tradeDirection()); }

UITableView* VTARZRQTradeViewController::tableView() {
    view();
    return table_.get();
}
VTATextField* VTARZRQTradeViewController::codeField() {
    view();
    return code_.get();
}
VTATextField* VTARZRQTradeViewController::priceField() {
    view();
    return price_.get();
}
VTATextField* VTARZRQTradeViewController::countField() {
    view();
    return count_.get();
}
UILabel* VTARZRQTradeViewController::bossNumLabel() {
    view();
    return bossNum_.get();
}
UILabel* VTARZRQTradeViewController::stockNameLabel() {
    view();
    return name_.get();
}
UILabel* VTARZRQTradeViewController::priceTypeLabelView() {
    view();
    return priceType_.get();
}
UILabel* VTARZRQTradeViewController::maxQtyLabel() {
    view();
    return maxQty_.get();
}

void VTARZRQTradeViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setScrollEnabled(false);
    code_ = rowField(6, "请输入证券代码", kNumberPad, kCodeFieldTag);
    count_ = rowField(12, "输入数量", kNumberPad, kQuantityFieldTag);
    price_ = rowField(8, "输入价格", kNumbersAndPunctuation, kPriceFieldTag);
    for (auto* f : {count_.get(), price_.get()}) f->setTellsLimit(true);
    bossNum_ = rowLabel();
    name_ = rowLabel();
    priceType_ = rowLabel(kLimitOrderLabel);
    maxQty_ = rowLabel();
    loadStockholderRecord();
    reloadPriceTypes();
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTARZRQTradeViewController::createToolbarItems() { setMarginToolbar(*this); }

std::shared_ptr<UITableViewCell> VTARZRQTradeViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                            const NSIndexPath& ip) {
    // Side "S" has no order-type row: its rows from the fourth are one up.
    const int row = isBuySide() || ip.row < 3 ? ip.row : ip.row + 1;
    const bool buy = isBuySide();
    switch (row) {
        case 0:
            return tradeFormCell("股东代码", bossNum_, true);
        case 1:
            return tradeFormCell("证券代码", code_, false);
        case 2:
            return tradeFormCell("证券名称", name_, false);
        case 3:
            return tradeFormCell("报价方式", priceType_, true);
        case 4:
            return tradeFormCell(buy ? "买入价格" : "卖出价格", price_, false);
        case 5:
            return tradeFormCell(buy ? "买入数量" : "卖出数量", count_, false);
        default:
            return tradeFormCell(buy ? "最大可买" : "最大可卖", maxQty_, false);
    }
}

void VTARZRQTradeViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    if (ip.row == 0) showStockholderPicker();
    if (ip.row == 3 && isBuySide()) showPriceTypePicker();
}

// ---- appearing and leaving ----

void VTARZRQTradeViewController::viewDidAppear(bool animated) {
    MarginPickerForm::viewDidAppear(animated);
    for (auto* f : {code_.get(), price_.get(), count_.get()}) f->setFieldDelegate(this);
}

void VTARZRQTradeViewController::viewWillDisappear(bool animated) {
    MarginPickerForm::viewWillDisappear(animated);
    for (auto* f : {code_.get(), price_.get(), count_.get()}) f->setFieldDelegate(nullptr);
}

// ---- the maximum ----

RequestBuilder VTARZRQTradeViewController::makeStockInfoRequest() const { return *makeMaximumRequest(std::nullopt); }

std::optional<RequestBuilder> VTARZRQTradeViewController::makeMaximumRequest(
    const std::optional<std::string>& price) const {
    return creditMaxRequest({.code = codeText(),
                             .price = price,
                             .bsflag = limitOrderCode(tradeDirection()),
                             .link = viewMenu() ? viewMenu()->link() : std::string()});
}

void VTARZRQTradeViewController::stockInfoArrived(VTATCRS& set) {
    name_->setText(set.toStringWithFieldName(Col::kStockName).value_or(""));
    maxQty_->setText(set.toStringWithFieldName(Col::kMaxQuantity).value_or(""));
    followStockMarket(set.toStringWithFieldName(Col::kMarket).value_or(""));
    // A market type's price is the exchange's: its field stays empty.
    if (isLimitOrderCode(priceType())) price_->setText(set.toStringWithFieldName(Col::kPrice).value_or(""));
    setMaxTradableAmountFrom(set);
}

void VTARZRQTradeViewController::maximumChanged() {
    const int max = maxTradableAmount();
    maxQty_->setText(max < 0 ? "" : std::to_string(max));  // unknown while asked again
}

void VTARZRQTradeViewController::myTextFieldReachMax(VTATextField& field, int maxLength) {
    if (&field == code_.get() && maxLength == 6) requestStockInfo();
}

// ---- the form ----

std::string VTARZRQTradeViewController::codeText() const { return code_ ? trimBlanks(code_->text()) : ""; }
std::string VTARZRQTradeViewController::priceText() const { return price_ ? price_->text() : ""; }
std::string VTARZRQTradeViewController::quantityText() const { return count_ ? count_->text() : ""; }
std::string VTARZRQTradeViewController::stockNameText() const { return name_ ? name_->text() : ""; }
void VTARZRQTradeViewController::setQuantityText(const std::string& text) { count_->setText(text); }

void VTARZRQTradeViewController::stockholdersChanged() {
    view();
    bossNum_->setText(stockholders().label());
}

void VTARZRQTradeViewController::priceTypeChanged() {
    priceType_->setText(priceTypeLabel());
    if (!isLimitOrderCode(priceType())) price_->setText("");
    price_->setEnable(isLimitOrderCode(priceType()));
}

std::vector<OrderType> VTARZRQTradeViewController::orderTypesOf(const std::string& market) const {
    return creditOrderTypesFor(creditFlag(), market);
}

// ---- the order ----

void VTARZRQTradeViewController::onCommandOK() {
    view()->endEditing(true);
    confirmOrderOnceStockKnown();
}

std::string VTARZRQTradeViewController::orderRefusal() const {
    std::string refusal = marginFormRefusal({codeText(), priceType(), priceText(), quantityText()});
    if (!refusal.empty()) return refusal;
    return destinationRefusal();
}

std::string VTARZRQTradeViewController::confirmationText(const OrderTicket& ticket) const {
    return marginFormConfirmationText(tradeDirection(), stockNameText(), ticket.code, ticket.orderType,
                                      priceTypeLabel(), ticket.price, ticket.quantity);
}

RequestBuilder VTARZRQTradeViewController::makeOrderRequest(const OrderTicket& ticket) const {
    return creditOrderRequest(
        {creditFlag(), ticket.stockholder, ticket.code, ticket.orderType, ticket.price, ticket.quantity});
}

bool VTARZRQTradeViewController::orderTaken(VTATCRS& set) const {
    return !set.toStringWithFieldName(MarginContract::Col::kOrderId).value_or("").empty();
}

void VTARZRQTradeViewController::orderWillSend() { count_->setText(""); }

void VTARZRQTradeViewController::orderEnded(OrderOutcome outcome) {
    if (outcome == OrderOutcome::Sent && isBuySide())
        XXNetworkManager::sharedManager().requestAddPortfolio(
            codeText() + "." + std::to_string(quoteMarketOfShareholderMarket(marketNO())));
}

// ---- the keyboard ----

bool VTARZRQTradeViewController::myTextFieldWillShowKeyboard(VTATextField& field) {
    if (&field == price_.get() || &field == count_.get()) {
        lastTextTag_ = field.tag();
        table_->setContentOffset(CGPointMake(0, kKeyboardScroll), true);
    }
    return true;
}

void VTARZRQTradeViewController::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (field.tag() == lastTextTag_) table_->setContentOffset(CGPointMake(0, 0), true);
}
