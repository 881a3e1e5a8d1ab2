#include "margin/MarginRepayForm.h"

#include <algorithm>
#include "margin/MarginToolbar.h"

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "margin/MarginOrderRules.h"
#include "margin/MarginRepayRules.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "trade/TradeFormViews.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"

namespace Col = TradeContract::Col;

namespace {

constexpr int kNumberPad = 4, kNumbersAndPunctuation = 2;
constexpr double kCaptionWidth = 80, kValueWidth = 120, kThirdWidth = 60;

std::shared_ptr<UILabel> valueLabel(const std::string& text = "") {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, kValueWidth, 31));
    l->setFont(defaultFont());
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    l->setText(text);
    return l;
}

std::shared_ptr<UILabel> captionLabel(const std::string& text) {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, kCaptionWidth, 31));
    l->setFont(defaultFont());
    l->setTextAlignment(UITextAlignment::Left);
    l->setBackgroundColor(UIColor::clearColor());
    l->setText(text);
    return l;
}

std::shared_ptr<VTATextField> valueField(int length, const std::string& placeholder, int keyboard, int tag) {
    auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, kValueWidth, 31), length, placeholder, keyboard);
    f->setTag(tag);
    f->setFont(defaultFont());
    return f;
}

}  // namespace

MarginRepayForm::MarginRepayForm(int direction, int creditFlag, std::vector<FormRow> rows)
    : MarginPickerForm(direction, false), creditFlag_(creditFlag), rows_(std::move(rows)) {}

MarginRepayForm::~MarginRepayForm() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {price_.get(), count_.get()})
        if (f) f->setFieldDelegate(nullptr);
}

UITableView* MarginRepayForm::tableView() {
    view();
    return table_.get();
}
VTATextField* MarginRepayForm::priceField() {
    view();
    return price_.get();
}
VTATextField* MarginRepayForm::countField() {
    view();
    return count_.get();
}
UILabel* MarginRepayForm::bossNumLabel() {
    view();
    return bossNum_.get();
}
UILabel* MarginRepayForm::stockNameLabel() {
    view();
    return nameLabel_.get();
}
UILabel* MarginRepayForm::priceTypeLabelView() {
    view();
    return priceType_.get();
}
UILabel* MarginRepayForm::maxQtyLabel() {
    view();
    return maxQty_.get();
}
UIButton* MarginRepayForm::allButton() {
    view();
    return all_.get();
}
UILabel* MarginRepayForm::directionLabel() {
    view();
    return direction_.get();
}
UILabel* MarginRepayForm::debtLabel() {
    view();
    return debt_.get();
}

void MarginRepayForm::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    count_ = valueField(12, "输入数量", kNumberPad, kQuantityFieldTag);
    price_ = valueField(8, "输入价格", kNumbersAndPunctuation, kPriceFieldTag);
    for (auto* f : {count_.get(), price_.get()}) f->setTellsLimit(true);
    bossNum_ = valueLabel();
    direction_ = valueLabel();
    codeLabel_ = valueLabel();
    nameLabel_ = valueLabel();
    priceType_ = valueLabel(kLimitOrderLabel);
    debt_ = valueLabel();
    maxQty_ = valueLabel();
    all_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    all_->setFrame(CGRectMake(0, 0, kThirdWidth - 8, 31));  // centred: clear of the number before it
    all_->setTitle("全部");
    all_->addTarget(
        this, [this](UIControl&) { allBtnAction(); }, UIControlEventTouchUpInside);
    auto message = viewMessage();
    if (auto stock = message && message->type() == 1 ? message->dataStock() : nullptr) {
        code_ = stock->code();
        name_ = stock->name();
    }
    codeLabel_->setText(code_);
    nameLabel_->setText(name_);
    loadStockholderRecord();
    reloadPriceTypes();
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void MarginRepayForm::createToolbarItems() { setMarginToolbar(*this); }

// ---- the rows ----

std::shared_ptr<UIView> MarginRepayForm::viewOf(Row row) const {
    switch (row) {
        case Row::Stockholder:
            return bossNum_;
        case Row::Direction:
            return direction_;
        case Row::Code:
            return codeLabel_;
        case Row::Name:
            return nameLabel_;
        case Row::PriceType:
            return priceType_;
        case Row::Debt:
            return debt_;
        case Row::Price:
            return price_;
        case Row::Quantity:
            return count_;
        case Row::Maximum:
            return maxQty_;
    }
    return nullptr;
}

std::shared_ptr<UITableViewCell> MarginRepayForm::tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    const FormRow& shown = rows_.at(size_t(ip.row));
    auto cell = std::make_shared<VTAHQCell>(UITableViewCellStyle::Default, "VTA hqCell indentifier");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    std::shared_ptr<UIView> third;
    if (shown.row == Row::Maximum)
        third = all_;
    else if (shown.row == Row::Price && showsPriceUnit())
        third = valueLabel("元");
    else
        third = valueLabel();
    cell->loadItems(
        {tradeRowItem(captionLabel(shown.caption), 10), tradeRowItem(viewOf(shown.row)), tradeRowItem(third)},
        {kCaptionWidth + 10, kValueWidth, kThirdWidth});
    if (shown.row == Row::Stockholder || shown.row == Row::PriceType)
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void MarginRepayForm::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    const Row row = rows_.at(size_t(ip.row)).row;
    if (row == Row::Stockholder && picksStockholder()) showStockholderPicker();
    if (row == Row::PriceType) showPriceTypePicker();
}

// ---- appearing and leaving ----

void MarginRepayForm::viewDidAppear(bool animated) {
    MarginPickerForm::viewDidAppear(animated);
    for (auto* f : {price_.get(), count_.get()}) f->setFieldDelegate(this);
    // Coming back with an order on its way asks nothing: its reply is awaited.
    if (!sureToTrade()) appeared();
}

void MarginRepayForm::viewWillDisappear(bool animated) {
    MarginPickerForm::viewWillDisappear(animated);
    for (auto* f : {price_.get(), count_.get()}) f->setFieldDelegate(nullptr);
}

// ---- the maximum ----

void MarginRepayForm::stockInfoArrived(VTATCRS& set) {
    if (auto name = set.toStringWithFieldName(Col::kStockName); name && !name->empty()) {
        name_ = *name;
        nameLabel_->setText(name_);
    }
    maxQty_->setText(set.toStringWithFieldName(Col::kMaxQuantity).value_or(""));
    setMaxTradableAmountFrom(set);
    // The order types and the accounts are those of the stock's market.
    if (auto market = set.toStringWithFieldName(Col::kMarket)) followStockMarket(*market);
    // The brokerage's price fills an empty field only: a price the customer
    // typed stays, and a market type's price is the exchange's.
    if (isLimitOrderCode(priceType()) && price_->text().empty())
        price_->setText(set.toStringWithFieldName(Col::kPrice).value_or(""));
}

void MarginRepayForm::maximumChanged() {
    const int max = maxTradableAmount();
    maxQty_->setText(max < 0 ? "" : std::to_string(max));  // unknown while asked again: "全部" fills nothing
}

void MarginRepayForm::orderWillSend() {
    if (emptiesQuantityOnSend()) count_->setText("");
}

void MarginRepayForm::allBtnAction() { count_->setText(maxQty_->text()); }

// ---- the form ----

std::string MarginRepayForm::priceText() const { return price_ ? price_->text() : ""; }
std::string MarginRepayForm::quantityText() const { return count_ ? count_->text() : ""; }
std::string MarginRepayForm::stockNameText() const { return name_; }
void MarginRepayForm::setQuantityText(const std::string& text) { count_->setText(text); }

void MarginRepayForm::stockholdersChanged() {
    view();
    bossNum_->setText(stockholders().label());
}

void MarginRepayForm::priceTypeChanged() {
    priceType_->setText(priceTypeLabel());
    if (!isLimitOrderCode(priceType())) price_->setText("");
    price_->setEnable(isLimitOrderCode(priceType()));
}

std::vector<OrderType> MarginRepayForm::orderTypesOf(const std::string& market) const {
    return creditOrderTypesFor(creditFlag_, market);
}

bool MarginRepayForm::orderTaken(VTATCRS& set) const {
    return !set.toStringWithFieldName(MarginContract::Col::kOrderId).value_or("").empty();
}

bool MarginRepayForm::hasRow(Row row) const {
    return std::any_of(rows_.begin(), rows_.end(), [row](const FormRow& r) { return r.row == row; });
}

RequestBuilder MarginRepayForm::makeOrderRequest(const OrderTicket& t) const {
    const bool priced = hasRow(Row::Price);
    return creditOrderRequest({creditFlag_, t.stockholder, t.code, priced ? t.orderType : std::string(),
                               priced ? t.price : std::string(), t.quantity});
}

std::string MarginRepayForm::orderRefusal() const {
    const bool priced = hasRow(Row::Price);
    if (priced && isLimitOrderCode(priceType()) && !isPositiveDecimalText(priceText())) return kBadStockPriceText;
    if (quantityText().empty()) return kNoStockQuantityText;
    if (!stockMarketKnown()) return kNoStockInfoText;
    if (stockholders().count() == 0) return kNoStockholderText;
    if (priced && orderTypesOf(marketNO()).empty()) return kNoStockholderText;
    return "";
}

void MarginRepayForm::onCommandOK() {
    view()->endEditing(true);
    confirmOrderOnceStockKnown();
}

// ---- the keyboard ----

bool MarginRepayForm::myTextFieldWillShowKeyboard(VTATextField& field) {
    lastTextTag_ = field.tag();
    table_->setContentOffset(CGPointMake(0, kKeyboardScroll), true);
    return true;
}

void MarginRepayForm::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (field.tag() == lastTextTag_) table_->setContentOffset(CGPointMake(0, 0), true);
}
