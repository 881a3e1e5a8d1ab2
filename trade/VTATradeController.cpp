#include "trade/VTATradeController.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/TradeFormViews.h"
#include "trade/TradePickerStrip.h"
#include "ui/DisplayCell.h"
#include "ui/Drawing.h"

namespace Col = TradeContract::Col;

namespace {

std::shared_ptr<UILabel> valueLabel(const std::string& text, std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 20));
    l->setFont(defaultFont());
    l->setTextColor(std::move(color));
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    l->setText(text);
    return l;
}

std::shared_ptr<VTATextField> inputField(int length, const std::string& placeholder, int keyboard, int tag,
                                         const std::string& unit) {
    auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), length, placeholder, keyboard);
    f->setTag(tag);
    f->setFont(defaultFont());
    if (!unit.empty()) f->setUnit(unit);
    f->setTellsLimit(!unit.empty());  // the price and the quantity
    return f;
}

}  // namespace

VTATradeController::VTATradeController(int type) : TradeOrderScreen(type, false) {}

VTATradeController::~VTATradeController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {code_.get(), price_.get(), num_.get()})
        if (f) f->setFieldDelegate(nullptr);
}

UITableView* VTATradeController::tableView() {
    view();
    return table_.get();
}
VTATextField* VTATradeController::stockCode() {
    view();
    return code_.get();
}
VTATextField* VTATradeController::price() {
    view();
    return price_.get();
}
VTATextField* VTATradeController::num() {
    view();
    return num_.get();
}
UILabel* VTATradeController::stockName() {
    view();
    return name_.get();
}
UILabel* VTATradeController::gdhLabel() {
    view();
    return gdh_.get();
}
UILabel* VTATradeController::valueLabel() {
    view();
    return value_.get();
}
UILabel* VTATradeController::maxNum() {
    view();
    return max_.get();
}
UISegmentedControl* VTATradeController::numSegment() {
    view();
    return segments_.get();
}

void VTATradeController::viewWillDidLoad() {
    encryptData = true;
    compressData = false;
    preferMenuStockholder();
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setAutoresizesSubviews(true);
    table_->setScrollEnabled(false);
    gdh_ = ::valueLabel("<股东代码>", UIColor::blueColor());
    name_ = ::valueLabel("<证券名称>", UIColor::grayColor());
    value_ = ::valueLabel(kLimitOrderLabel, UIColor::grayColor());
    max_ = ::valueLabel("", UIColor::blackColor());
    code_ = inputField(6, "请输入证券代码", 4, kCodeFieldTag, "");
    price_ = inputField(10, "请输入价格", 2, kPriceFieldTag, "元");
    num_ = inputField(10, "请输入数量", 4, kQuantityFieldTag, "股");
    segments_ = std::make_shared<UISegmentedControl>(kQuantityShortcuts);
    segments_->setFrame(CGRectMake(10, 0, 280, 44));
    segments_->setMomentary(true);
    segments_->addTarget(
        this, [this](UIControl&) { segmentAction(segments_->selectedSegmentIndex()); }, UIControlEventValueChanged);
    stockholderStrip_ = std::make_unique<TradePickerStrip>(
        [this] {
            std::vector<std::string> rows;
            for (int i = 0; i < stockholders().count(); ++i) rows.push_back(stockholders().display(i));
            return rows;
        },
        [this](int row) { chooseStockholder(row); });
    stockholderStrip_->picker()->setTag(kStockholderPickerTag);
    priceStrip_ = std::make_unique<TradePickerStrip>(
        [this] {
            std::vector<std::string> rows;
            reloadPriceTypes();
            for (const auto& item : priceTypeChoice().items()) rows.push_back(item.title());
            return rows;
        },
        [this](int row) { choosePriceType(row); });
    priceStrip_->picker()->setTag(kPriceTypePickerTag);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void VTATradeController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("刷新", [this] { onCommandRefresh(); }), flexibleSpaceBarBtn(),
                         item("确定", [this] { onCommandOK(); })});
}

std::shared_ptr<UITableViewCell> VTATradeController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                    const NSIndexPath& ip) {
    const bool buy = tradeDirection() == kBuy;
    switch (ip.row) {
        case 0:
            return tradeFormCell("股东代码", gdh_, true);
        case 1:
            return tradeFormCell("证券代码", code_, false);
        case 2:
            return tradeFormCell("证券名称", name_, false);
        case 3:
            return tradeFormCell("报价方式", value_, true);
        case 4:
            return tradeFormCell(buy ? "买入价格" : "卖出价格", price_, false);
        case 5:
            return tradeFormCell(buy ? "买入数量" : "卖出数量", num_, false);
        case 6: {
            auto cell = std::make_shared<VTAContentCell>(UITableViewCellStyle::Default, "ShortcutRow");
            cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
            cell->setView(segments_);
            return cell;
        }
        default:
            return tradeFormCell(buy ? "最大可买" : "最大可卖", max_, false);
    }
}

void VTATradeController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    if (ip.row == 0) showStrip(*stockholderStrip_, stockholders().selected());
    if (ip.row == 3) showStrip(*priceStrip_, std::max(0, priceTypeChoice().selectedIndex()));
}

void VTATradeController::showStrip(TradePickerStrip& strip, int row) {
    view()->endEditing(true);
    TradePickerStrip& other = &strip == stockholderStrip_.get() ? *priceStrip_ : *stockholderStrip_;
    if (other.isOpen()) other.slideDown();
    strip.showIn(*view(), row);
}

void VTATradeController::closePickers() {
    for (auto* s : {stockholderStrip_.get(), priceStrip_.get()})
        if (s && s->isOpen()) s->slideDown();
}

// ---- appearing and leaving ----

void VTATradeController::viewWillAppear(bool animated) {
    TradeOrderScreen::viewWillAppear(animated);
    view();
    for (auto* f : {code_.get(), price_.get(), num_.get()}) f->setFieldDelegate(this);
    auto message = viewMessage();
    auto stock = message && message->type() == 1 ? message->dataStock() : nullptr;
    if (stock) {
        name_->setText(stock->name());
        code_->setText(stock->code());
        if (stock->price() > 0) {
            quickPrice_ = stock->price();
            quickCode_ = stock->code();
        }
        requestStockInfo();
    } else {
        loadStockholderRecord();
    }
}

void VTATradeController::viewWillDisappear(bool animated) {
    TradeOrderScreen::viewWillDisappear(animated);
    closePickers();
    for (auto* f : {code_.get(), price_.get(), num_.get()}) f->setFieldDelegate(nullptr);
}

// ---- commands ----

void VTATradeController::onCommandOK() {
    view()->endEditing(true);
    closePickers();
    confirmOrderOnceStockKnown();  // the account is the stock's market's, which its information names
}

void VTATradeController::onCommandRefresh() {
    if (!sureToTrade()) requestStockInfo();
}

// ---- the stock information ----

void VTATradeController::stockInfoArrived(VTATCRS& set) {
    const std::string market = set.toStringWithFieldName(Col::kMarket).value_or("");
    name_->setText(set.toStringWithFieldName(Col::kStockName).value_or(""));
    followStockMarket(market);
    if (isLimitOrderCode(priceType())) {
        if (quickPrice_ > 0 && code_->text() == quickCode_) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", static_cast<double>(quickPrice_));
            price_->setText(text);
        } else {
            price_->setText(set.toStringWithFieldName(Col::kPrice).value_or(""));
        }
    }
    setMaxTradableAmountFrom(set);
    num_->setText("");
    maximumChanged();
}

void VTATradeController::maximumChanged() {
    const int max = maxTradableAmount();
    max_->setText(max < 0 ? "" : std::to_string(max) + "股");  // unknown while asked again
}

// ---- the form ----

std::string VTATradeController::codeText() const { return code_ ? code_->text() : ""; }
std::string VTATradeController::priceText() const { return price_ ? price_->text() : ""; }
std::string VTATradeController::quantityText() const { return num_ ? num_->text() : ""; }
std::string VTATradeController::stockNameText() const { return name_ ? name_->text() : ""; }
void VTATradeController::setQuantityText(const std::string& text) { num_->setText(text); }

void VTATradeController::stockholdersChanged() {
    view();
    gdh_->setText(stockholders().label());
}

void VTATradeController::priceTypeChanged() {
    value_->setText(priceTypeLabel());
    price_->setText("");
    price_->setEnable(isLimitOrderCode(priceType()));
}

// ---- the keyboard ----

void VTATradeController::myTextFieldReachMax(VTATextField& field, int maxLength) {
    if (&field == code_.get() && maxLength == 6) requestStockInfo();
}

bool VTATradeController::myTextFieldWillShowKeyboard(VTATextField& field) {
    closePickers();
    if (&field == price_.get() || &field == num_.get()) {
        lastTextTag_ = field.tag();
        table_->setContentOffset(CGPointMake(0, kKeyboardScroll), true);
    }
    return true;
}

void VTATradeController::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (field.tag() == lastTextTag_) table_->setContentOffset(CGPointMake(0, 0), true);
}
