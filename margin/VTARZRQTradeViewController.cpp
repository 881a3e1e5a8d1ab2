#include "margin/VTARZRQTradeViewController.h"

#include <algorithm>

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
#include "ui/VTASheetPicker.h"

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
    : TradeOrderScreen(side == "B" ? kBuy : kSell, false) {}

VTARZRQTradeViewController::~VTARZRQTradeViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {code_.get(), price_.get(), count_.get()})
        if (f) f->setFieldDelegate(nullptr);
    closePicker();
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

void VTARZRQTradeViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("确定", [this] { onCommandOK(); })});
}

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
    if (ip.row == 0) showPicker(kStockholderPickerTag, "股东代码", stockholders().selected());
    if (ip.row == 3 && isBuySide())
        showPicker(kPriceTypePickerTag, "报价方式", std::max(0, priceTypeChoice().indexOfValue(priceType())));
}

// ---- the pickers ----

void VTARZRQTradeViewController::showPicker(int tag, const std::string& title, int row) {
    view()->endEditing(true);
    closePicker();
    sheetPicker_ = std::make_shared<UIPickerView>();
    sheetPicker_->setTag(tag);
    sheetPicker_->setShowsSelectionIndicator(true);
    sheetPicker_->setDataSource(this);
    sheetPicker_->setDelegate(this);
    sheetPicker_->reloadAllComponents();
    if (row >= 0 && row < sheetPicker_->numberOfRowsInComponent(0)) sheetPicker_->selectRow(row, 0, false);
    pickerSheet_ = std::make_shared<VTASheetPicker>(title, sheetPicker_, this, "取消", "确定");
    pickerSheet_->setTag(tag);
    pickerSheet_->showInView(view().get());
}

void VTARZRQTradeViewController::closePicker() {
    if (pickerSheet_) {
        pickerSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
        if (pickerSheet_->isVisible()) pickerSheet_->dismissWithClickedButtonIndex(-1, false);
    }
    if (sheetPicker_) {
        sheetPicker_->setDataSource(nullptr);
        sheetPicker_->setDelegate(nullptr);
    }
    pickerSheet_.reset();
    sheetPicker_.reset();
}

int VTARZRQTradeViewController::pickerViewNumberOfRowsInComponent(UIPickerView& picker, int) {
    return picker.tag() == kStockholderPickerTag ? stockholders().count() : reloadPriceTypes();
}

std::string VTARZRQTradeViewController::pickerViewTitleForRow(UIPickerView& picker, int row, int) {
    if (picker.tag() == kStockholderPickerTag) return stockholders().display(row);
    const auto& items = priceTypeChoice().items();
    return row >= 0 && row < static_cast<int>(items.size()) ? items[size_t(row)].title() : std::string();
}

void VTARZRQTradeViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != pickerSheet_.get()) {
        TradeOrderScreen::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
        return;
    }
    // "确定" takes the wheel's row (nothing from an empty list); "取消" keeps the choice.
    if (buttonIndex == 0 && sheetPicker_) {
        const int row = sheetPicker_->selectedRowInComponent(0);
        if (sheet.tag() == kStockholderPickerTag)
            chooseStockholder(row);
        else
            choosePriceType(row);
    }
}

// ---- appearing and leaving ----

void VTARZRQTradeViewController::viewDidAppear(bool animated) {
    TradeOrderScreen::viewDidAppear(animated);
    for (auto* f : {code_.get(), price_.get(), count_.get()}) f->setFieldDelegate(this);
}

void VTARZRQTradeViewController::viewWillDisappear(bool animated) {
    TradeOrderScreen::viewWillDisappear(animated);
    closePicker();
    for (auto* f : {code_.get(), price_.get(), count_.get()}) f->setFieldDelegate(nullptr);
}

// ---- the maximum ----

RequestBuilder VTARZRQTradeViewController::makeStockInfoRequest() const {
    return creditMaxRequest({.code = codeText(),
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
    confirmOrder();
}

std::string VTARZRQTradeViewController::orderRefusal() const {
    std::string refusal = marginFormRefusal({codeText(), priceType(), priceText(), quantityText()});
    return refusal.empty() ? destinationRefusal() : refusal;
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
