#include "funds/ExchangeOrderScreen.h"

#include <algorithm>

#include "core/RequestText.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "shell/Navigation.h"
#include "trade/OrderRules.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace {

bool allDigits(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

}  // namespace

ExchangeOrderScreen::ExchangeOrderScreen(std::vector<std::string> directions, int lookupTag, int orderTag)
    : directions_(std::move(directions)), lookupTag_(lookupTag), orderTag_(orderTag) {
    bindRequest(lookupTag_, [this](const RequestReply& r) { lookupReplied(r); });
    bindRequest(orderTag_, [this](const RequestReply& r) { orderReplied(r); }, {.order = true});
}

ExchangeOrderScreen::~ExchangeOrderScreen() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {code_.get(), amount_.get()})
        if (f) f->setDelegate(nullptr);
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

UITableView* ExchangeOrderScreen::tableView() {
    view();
    return table_.get();
}
UISegmentedControl* ExchangeOrderScreen::tradeDirectionSeg() {
    view();
    return segment_.get();
}
UITextField* ExchangeOrderScreen::tradeSymbolTF() {
    view();
    return code_.get();
}
UITextField* ExchangeOrderScreen::tradeAmountTF() {
    view();
    return amount_.get();
}
UILabel* ExchangeOrderScreen::stockholderLabel() {
    view();
    return stockholderLabel_.get();
}

std::string ExchangeOrderScreen::codeText() const { return code_ ? code_->text() : ""; }
std::string ExchangeOrderScreen::amountText() const { return amount_ ? amount_->text() : ""; }

int ExchangeOrderScreen::direction() const { return segment_ ? std::max(segment_->selectedSegmentIndex(), 0) : 0; }

bool ExchangeOrderScreen::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) {
    return orientation == UIInterfaceOrientation::Portrait;
}

// ---- the form ----

void ExchangeOrderScreen::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table_->setScrollEnabled(false);
    auto header = std::make_shared<UIView>(CGRectMake(0, 0, 320, 38));
    segment_ = std::make_shared<UISegmentedControl>(directions_);
    segment_->setFrame(CGRectMake(60, 8, 200, 32));
    segment_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
    segment_->setSelectedSegmentIndex(0);
    segment_->addTarget(
        this, [this](UIControl&) { segmentAction(); }, UIControlEventValueChanged);
    header->addSubview(segment_);
    table_->setTableHeaderView(header);

    stockholderLabel_ = makeLabel();
    code_ = makeField(kCodeFieldTag);
    amount_ = makeField(kAmountFieldTag);
    buildWidgets();
    loadStockholderRecord();
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void ExchangeOrderScreen::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(),
                         item("刷新", [this] { refreshAction(); }), flexibleSpaceBarBtn(),
                         item("确定", [this] { doneAction(); })});
}

std::shared_ptr<UITextField> ExchangeOrderScreen::makeField(int tag) {
    auto f = std::make_shared<UITextField>(CGRectMake(110, 6, 180, 32));
    f->setBorderStyle(UITextBorderStyle::None);
    f->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);  // level with the row's title
    f->setTextAlignment(UITextAlignment::Left);
    f->setBackgroundColor(UIColor::clearColor());
    f->setKeyboardType(UIKeyboardType::NumbersAndPunctuation);
    f->setReturnKeyType(UIReturnKeyType::Done);
    f->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    f->setFont(defaultFont());
    f->setTag(tag);
    f->setDelegate(this);
    return f;
}

std::shared_ptr<UILabel> ExchangeOrderScreen::makeLabel() {
    auto l = std::make_shared<UILabel>(CGRectMake(110, 6, 180, 32));
    l->setBackgroundColor(UIColor::clearColor());
    l->setTextColor(UIColor::blueColor());
    l->setFont(defaultFont());
    return l;
}

std::shared_ptr<UITableViewCell> ExchangeOrderScreen::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                     const NSIndexPath& ip) {
    // One cell per row and direction: the widgets move from cell to cell.
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->textLabel()->setText(ip.row == 0 ? "股东代码" : rowTitle(ip.row));
    cell->textLabel()->setFont(defaultFont());
    std::shared_ptr<UIView> widget;
    if (ip.row == 0) {
        stockholderLabel_->setText(accounts_.label());
        widget = stockholderLabel_;
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    } else {
        widget = rowWidget(ip.row);
    }
    if (widget) {
        widget->removeFromSuperview();
        cell->contentView()->addSubview(widget);
    }
    return cell;
}

void ExchangeOrderScreen::reloadForm() {
    if (table_) table_->reloadData();
}

void ExchangeOrderScreen::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    if (ip.row == 0) showStockholderPicker();
}

// ---- the accounts ----

void ExchangeOrderScreen::loadStockholderRecord() {
    marketNo_ = accounts_.load();
    reloadForm();
}

void ExchangeOrderScreen::filterStockholderByMarket(const std::string& market) {
    marketNo_ = market;
    accounts_.filterByMarket(market);
    reloadForm();
}

void ExchangeOrderScreen::showStockholderPicker() {
    if (!strip_)
        strip_ = std::make_unique<TradePickerStrip>(
            [this] {
                std::vector<std::string> titles;
                for (int i = 0; i < accounts_.count(); ++i) titles.push_back(accounts_.display(i));
                return titles;
            },
            [this](int row) {
                accounts_.pick(row);
                reloadForm();
            });
    view()->endEditing(true);
    strip_->showIn(*view(), accounts_.selected());
}

// ---- typing ----

bool ExchangeOrderScreen::textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                                 const std::string& replacement) {
    if (field.tag() != kCodeFieldTag) return true;
    const std::string text = replaceUtf16Range(field.text(), range, replacement);
    if (utf16Length(text) != 6) return true;
    auto keep = field.shared();
    field.setText(text);
    requestLookup(text);
    table_->setContentOffset(CGPointMake(0, 0), true);
    field.resignFirstResponder();
    return false;
}

void ExchangeOrderScreen::textFieldDidBeginEditing(UITextField& field) {
    if (strip_ && strip_->isOpen()) strip_->slideDown();
    if (double offset = editingOffset(field.tag()); offset > 0) table_->setContentOffset(CGPointMake(0, offset), true);
}

bool ExchangeOrderScreen::textFieldShouldReturn(UITextField& field) {
    if (field.tag() == kCodeFieldTag && utf16Length(field.text()) >= 2) requestLookup(field.text());
    table_->setContentOffset(CGPointMake(0, 0), true);
    field.resignFirstResponder();
    return true;
}

// ---- the lookup ----

void ExchangeOrderScreen::refreshAction() { requestLookup(tradeSymbolTF()->text()); }

void ExchangeOrderScreen::requestLookup(const std::string& code) {
    lookedUpCode_ = code;
    lookedUpDirection_ = direction();
    sendRequest(lookupTag_, lookupRequest(code), 4);
}

void ExchangeOrderScreen::lookupReplied(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        showAlert(kNoDataTitle, kNoDataMessage);
        return;
    }
    // An answer for a code or a direction the form has left behind.
    if (lookedUpCode_ != code_->text() || lookedUpDirection_ != direction()) return;
    if (set->rowsAffected() == 0) {
        showAlert(notFoundText());
        return;
    }
    lookupArrived(*set);
    filterStockholderByMarket(set->toStringWithFieldName(TradeContract::Col::kMarket).value_or(""));
}

void ExchangeOrderScreen::segmentAction() {
    code_->setText("");
    amount_->setText("");
    lookedUpCode_.clear();
    directionChanged();
    loadStockholderRecord();
}

// ---- the order ----

void ExchangeOrderScreen::doneAction() {
    if (trading_) return;
    view()->endEditing(true);
    std::string refusal;
    const std::string code = code_->text();
    if (code.size() != 6 || !allDigits(code))
        refusal = kNoCodeText;
    else if (refusal = orderRefusal(); refusal.empty() && accounts_.count() == 0)
        refusal = kNoStockholderText;
    if (!refusal.empty()) {
        showAlert(refusal);
        return;
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(orderSummary(), nullptr, std::string("取消"), std::string("确定"),
                                             std::vector<std::string>{});
    sheet_->setTag(kSheetTag);
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void ExchangeOrderScreen::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() != kSheetTag) return;
    if (buttonIndex == 0 && !trading_)
        sendOrder();
    else if (buttonIndex != 0)
        trading_ = false;
}

void ExchangeOrderScreen::sendOrder() {
    RequestBuilder r = RequestBuilder::trade(TradeContract::kOrder.sub);
    r.add(TradeContract::Key::kFundId, tradeFundId()).add(TradeContract::Key::kBsFlag, orderFlag());
    if (auto price = orderPrice()) r.add(TradeContract::Key::kPrice, *price);
    r.add(TradeContract::Key::kQuantity, amount_->text())
        .add(TradeContract::Key::kStockCode, code_->text())
        .appendFields(accounts_.selectedFragment());
    trading_ = true;
    if (!sendRequest(orderTag_, r, 4)) {
        trading_ = false;
        return;
    }
    amount_->setText("");
}

void ExchangeOrderScreen::orderReplied(const RequestReply& reply) {
    trading_ = false;
    if (!reply.first()) {
        showAlert(kNoDataTitle, kNoDataMessage);
        return;
    }
    alertWithDelegate(kSuccessText, kSuccessAlertTag);
}

void ExchangeOrderScreen::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (alert.tag() == kSuccessAlertTag) popViewControllers(1);
}

void ExchangeOrderScreen::viewWillDisappear(bool animated) {
    if (isViewLoaded()) view()->endEditing(true);
    if (strip_ && strip_->isOpen()) strip_->slideDown();
    if (isRequestInFlight(orderTag_)) trading_ = false;  // the binding tells the customer to look it up
    VTAViewControllers::viewWillDisappear(animated);
}

void ExchangeOrderScreen::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == orderTag_) trading_ = false;
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kNoDataTitle, kNoDataMessage);
        return;
    }
    VTAViewControllers::requestDidFail(failure);
}
