#include "trade/TradeViewController.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/Utilities.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "net/XXNetworkManager.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/TradeQuotesPanel.h"
#include "ui/SVProgressHUD.h"
#include "ui/UIGlossyButton.h"
#include "ui/YMPickerButton.h"

namespace Col = TradeContract::Col;

namespace {

constexpr int kFocusChain[] = {TradeViewController::kStockholderTag, TradeViewController::kPriceTypeTag,
                               TradeViewController::kCodeTag, TradeViewController::kPriceTag,
                               TradeViewController::kQuantityTag};
constexpr double kClosedRowHeight = 44, kQuantityRowHeight = 100;
constexpr double kButtonY = 340;

std::shared_ptr<UIColor> formGrey() { return UIColor::colorWithRed(0.314, 0.314, 0.314, 1); }
std::shared_ptr<UIColor> valueBlue() { return UIColor::colorWithRed(0.0, 0.3, 0.8, 1); }

std::shared_ptr<UILabel> label(const CGRect& frame, std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>(frame);
    l->setFont(std::move(font));
    l->setTextColor(std::move(color));
    l->setBackgroundColor(UIColor::clearColor());
    return l;
}

std::shared_ptr<UITextField> field(const CGRect& frame, int tag, UIKeyboardType keyboard) {
    auto f = std::make_shared<UITextField>(frame);
    f->setTag(tag);
    f->setPlaceholder("必填");
    f->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    f->setTextColor(valueBlue());
    f->setFont(UIFont::systemFontOfSize(17));
    f->setKeyboardType(keyboard);
    f->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    return f;
}

std::string textOf(VTATCRS& set, const char* name) { return set.toStringWithFieldName(name).value_or(""); }

}  // namespace

TradeViewController::TradeViewController(int direction) : TradeViewController(direction, kOrderScreenGeometry) {}

TradeViewController::TradeViewController(int direction, const Geometry& geometry)
    : TradeOrderScreen(direction, true), geometry_(geometry) {}

TradeViewController::~TradeViewController() {
    panel_.reset();  // its timer and views first
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {code_.get(), price_.get(), quantity_.get()})
        if (f) f->setDelegate(nullptr);
    for (auto* p : {stockholderPicker_.get(), priceTypePicker_.get()})
        if (p) {
            p->setDataSource(nullptr);
            p->setDelegate(nullptr);
        }
}

// ---- the form ----

UITableView* TradeViewController::tableView() {
    view();
    return table_.get();
}
UITextField* TradeViewController::codeField() {
    view();
    return code_.get();
}
UITextField* TradeViewController::priceField() {
    view();
    return price_.get();
}
UITextField* TradeViewController::quantityField() {
    view();
    return quantity_.get();
}
UILabel* TradeViewController::nameLabel() {
    view();
    return name_.get();
}
UILabel* TradeViewController::maxLabel() {
    view();
    return max_.get();
}
UILabel* TradeViewController::stockholderLabel() {
    view();
    return stockholderLabel_.get();
}
UILabel* TradeViewController::priceTypeLabelView() {
    view();
    return priceTypeLabel_.get();
}
YMPickerButton* TradeViewController::stockholderButton() {
    view();
    return stockholderButton_.get();
}
YMPickerButton* TradeViewController::priceTypeButton() {
    view();
    return priceTypeButton_.get();
}
UIPickerView* TradeViewController::stockholderPicker() {
    view();
    return stockholderPicker_.get();
}
UIPickerView* TradeViewController::priceTypePicker() {
    view();
    return priceTypePicker_.get();
}
UISegmentedControl* TradeViewController::segmentedControl() {
    view();
    return segments_.get();
}
UIButton* TradeViewController::expandButton() {
    view();
    return expandButton_.get();
}
UIGlossyButton* TradeViewController::tradeButton() {
    view();
    return tradeButton_.get();
}
UIToolbar* TradeViewController::keyboardBar() {
    view();
    return keyboardBar_.get();
}
TradeQuotesPanel& TradeViewController::quotesPanel() {
    view();
    return *panel_;
}

void TradeViewController::viewWillDidLoad() {
    hideToolBar();
    preferMenuStockholder();
    makeForm();
}

void TradeViewController::makeForm() {
    const bool buy = tradeDirection() == kBuy;
    table_ = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 460), UITableViewStyle::Grouped);
    table_->setScrollEnabled(false);

    keyboardBar_ = std::make_shared<UIToolbar>(CGRectMake(0, 0, 320, 44));
    keyboardBar_->setBarStyle(UIBarStyle::BlackTranslucent);
    prevItem_ = std::make_shared<UIBarButtonItem>("上一项", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { preAction(); });
    nextItem_ = std::make_shared<UIBarButtonItem>("下一项", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { nextAction(); });
    auto done = std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::Done, this,
                                                  [this](UIBarButtonItem&) { doneAction(); });
    keyboardBar_->setItems({prevItem_, nextItem_, UIBarButtonItem::flexibleSpace(), done});

    // Row 0: the shareholder account and the order type, each a label under its picker button.
    // The texts shrink to keep clear of the buttons' arrows.
    stockholderLabel_ = label(CGRectMake(4, 0, 130, 44), UIFont::systemFontOfSize(16), formGrey());
    priceTypeLabel_ = label(CGRectMake(144, 0, 130, 44), UIFont::systemFontOfSize(16), formGrey());
    for (auto* l : {stockholderLabel_.get(), priceTypeLabel_.get()}) {
        l->setFrame(CGRectMake(l->frame().origin.x, 0, 110, 44));
        l->setAdjustsFontSizeToFitWidth(true);
    }
    priceTypeLabel_->setText(kLimitOrderLabel);
    stockholderPicker_ = std::make_shared<UIPickerView>();
    stockholderPicker_->setTag(kStockholderTag);
    priceTypePicker_ = std::make_shared<UIPickerView>();
    priceTypePicker_->setTag(kPriceTypeTag);
    for (auto* p : {stockholderPicker_.get(), priceTypePicker_.get()}) {
        p->setShowsSelectionIndicator(true);
        p->setDataSource(this);
        p->setDelegate(this);
    }
    stockholderButton_ = std::make_shared<YMPickerButton>(CGRectMake(0, 0, 140, 44));
    stockholderButton_->setInputView(stockholderPicker_);
    stockholderButton_->addTarget(
        this, [this](UIControl&) { stockholderAction(); }, UIControlEventTouchUpInside);
    priceTypeButton_ = std::make_shared<YMPickerButton>(CGRectMake(150, 0, 140, 44));
    priceTypeButton_->setInputView(priceTypePicker_);
    priceTypeButton_->addTarget(
        this, [this](UIControl&) { priceTypeAction(); }, UIControlEventTouchUpInside);
    for (auto* b : {stockholderButton_.get(), priceTypeButton_.get()}) {
        b->setImage(UIImage::imageNamed("QuotesArrow.png"));
        b->setInputAccessoryView(keyboardBar_);
    }

    code_ = field(CGRectMake(100, 2, 200, 40), kCodeTag, UIKeyboardType::NumberPad);
    code_->addTarget(
        this, [this](UIControl&) { codeChanged(); }, UIControlEventEditingChanged);
    price_ = field(CGRectMake(100, 2, 140, 40), kPriceTag, UIKeyboardType::DecimalPad);
    price_->addTarget(
        this,
        [this](UIControl&) {
            if (tradeDirection() == kBuy) isNeedRequestAvailable_ = true;
        },
        UIControlEventEditingChanged);
    quantity_ = field(CGRectMake(100, 2, 200, 40), kQuantityTag, UIKeyboardType::NumberPad);
    for (auto* f : {code_.get(), price_.get(), quantity_.get()}) {
        f->setInputAccessoryView(keyboardBar_);
        f->setDelegate(this);
    }
    name_ = label(CGRectMake(100, 2, 200, 40), UIFont::systemFontOfSize(17), valueBlue());
    expandButton_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(256, 0, 44, 44));
    expandButton_->setBackgroundImage(UIImage::imageNamed("QuotesExpandBtn.png"));
    expandButton_->addTarget(
        this, [this](UIControl&) { quotesExpandAction(); }, UIControlEventTouchUpInside);

    segments_ = std::make_shared<UISegmentedControl>(kQuantityShortcuts);
    segments_->setFrame(CGRectMake(4, 44, 292, 30));
    segments_->setMomentary(true);
    segments_->addTarget(
        this, [this](UIControl&) { segmentedControlChangedValue(segments_->selectedSegmentIndex()); },
        UIControlEventValueChanged);
    max_ = label(CGRectMake(12, 76, 276, 24), UIFont::systemFontOfSize(15), UIColor::colorWithWhite(0.33, 1));
    max_->setTextAlignment(UITextAlignment::Center);

    tradeButton_ = std::make_shared<UIGlossyButton>(CGRectMake(10, kButtonY, 300, 48));
    tradeButton_->setTitle(buy ? "买入" : "卖出");
    tradeButton_->setActionSheetButtonWithColor(buy ? UIColor::colorWithRed(0.9, 0.09, 0.07, 1)
                                                    : UIColor::colorWithRed(0.05, 0.68, 0.12, 1));
    tradeButton_->addTarget(
        this, [this](UIControl&) { tradeAction(); }, UIControlEventTouchUpInside);

    panel_ = std::make_unique<TradeQuotesPanel>(*this, geometry_.panel, this, this);

    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
    contentView()->addSubview(tradeButton_);
}

std::shared_ptr<UITableViewCell> TradeViewController::formCell(const std::string& id, const std::string& title,
                                                               bool onDark) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, id);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    if (!title.empty()) {
        auto caption = label(CGRectMake(10, 2, 100, 40), UIFont::boldSystemFontOfSize(17),
                             onDark ? UIColor::colorWithWhite(0.85, 1) : formGrey());
        caption->setText(title);
        cell->contentView()->addSubview(caption);
    }
    return cell;
}

std::shared_ptr<UITableViewCell> TradeViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                     const NSIndexPath& ip) {
    const bool buy = tradeDirection() == kBuy;
    switch (ip.row) {
        case 0: {
            auto cell = formCell("StockholderCellId", "");
            for (auto v : std::initializer_list<std::shared_ptr<UIView>>{stockholderLabel_, priceTypeLabel_,
                                                                         stockholderButton_, priceTypeButton_})
                cell->contentView()->addSubview(v);
            return cell;
        }
        case 1: {
            auto cell = formCell("CodeCellId", "证券代码");
            cell->contentView()->addSubview(code_);
            return cell;
        }
        case 2: {
            auto cell = formCell("NameCellId", "证券名称");
            cell->contentView()->addSubview(name_);
            return cell;
        }
        case 3: {
            // Open, the row lies on the panel's dark ground.
            auto cell = formCell(isExpandQuotes_ ? "PriceWithQuotesCellId" : "PriceWithoutQuotesCellId",
                                 buy ? "买入价格" : "卖出价格", isExpandQuotes_);
            cell->contentView()->addSubview(price_);
            cell->contentView()->addSubview(expandButton_);
            if (isExpandQuotes_) {
                cell->setBackgroundView(
                    std::make_shared<UIImageView>(UIImage::imageNamed("QuotesExpandedBackgound.png")));
                reloadScrollViews(*cell->contentView());
            }
            return cell;
        }
        default: {
            auto cell = formCell("QuantityCellId", buy ? "买入数量" : "卖出数量");
            cell->contentView()->addSubview(quantity_);
            cell->contentView()->addSubview(segments_);
            cell->contentView()->addSubview(max_);
            return cell;
        }
    }
}

double TradeViewController::tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    if (ip.row == 3) return isExpandQuotes_ ? geometry_.openRowHeight : kClosedRowHeight;
    return ip.row == 4 ? kQuantityRowHeight : kClosedRowHeight;
}

// ---- appearing and leaving ----

void TradeViewController::viewWillAppear(bool animated) {
    TradeOrderScreen::viewWillAppear(animated);
    view();
    if (!appeared_ || readsOpeningOnEachAppearance()) {
        appeared_ = true;
        readOpening();
    }
    // The stock's day, once on each appearance; an open panel refreshes again
    // (leaving stopped it).
    if (currentStock_) requestTimeSharingChartData();
    if (isExpandQuotes_) registerAutoRefresh();
}

void TradeViewController::readOpening() {
    auto message = viewMessage();
    auto stock = message && message->type() == 1 ? message->dataStock() : nullptr;
    if (!stock) {
        loadStockholderRecord();
        return;
    }
    currentStock_ = stock;
    panel_->setStock(stock);
    code_->setText(stock->code());
    name_->setText(stock->name());
    if (stock->price() > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(stock->price()));
        price_->setText(text);
    }
    requestStockInfo();
}

void TradeViewController::viewWillDisappear(bool animated) {
    TradeOrderScreen::viewWillDisappear(animated);  // cancels the requests and stops the refresh
    SVProgressHUD::dismiss();
}

// ---- the stock information ----

void TradeViewController::codeChanged() {
    const std::string text = code_->text();
    // The stock information no longer speaks of the code typed.
    if (text != lastStockCode_) isStockInfoBack_ = false;
    if (utf8Length(text) != 6) return;
    code_->resignFirstResponder();
    if (text != lastStockCode_ && isLimitOrderCode(priceType())) price_->setText("");
    requestStockInfo();
}

void TradeViewController::stockInfoRefused() {
    isStockInfoBack_ = false;
    stockInfoFailed();
}

void TradeViewController::stockInfoFailed() {
    if (isStockInfoBack_) return;  // the stock shown is still the code's
    name_->setText("");
    max_->setText("");
    forgetMaxTradableAmount();
}

void TradeViewController::maximumChanged() {
    const int max = maxTradableAmount();
    if (max < 0)  // asked again, not known yet
        max_->setText("");
    else if (tradeDirection() == kBuy)
        max_->setText("最大可买数量为" + std::to_string(max) + "股");
    else
        max_->setText(max >= 1 ? "最大可卖数量为" + std::to_string(max) + "股" : "最大可卖数量为--股");
}

std::optional<std::string> TradeViewController::stockInfoPrice() const {
    const std::string price = priceText();
    return price == kMarketPriceText ? std::string() : price;
}

void TradeViewController::stockInfoArrived(VTATCRS& set) {
    isStockInfoBack_ = true;
    const std::string name = textOf(set, Col::kStockName), price = textOf(set, Col::kPrice),
                      market = textOf(set, Col::kMarket), code = textOf(set, Col::kStockCode);
    goUpStaying_ = textOf(set, Col::kLimitUp);
    fallStaying_ = textOf(set, Col::kLimitDown);
    panel_->setLimits(goUpStaying_, fallStaying_);
    if (!code.empty() && !market.empty()) {
        lastStockCode_ = code;
        currentStock_ = std::make_shared<VTAStock>(code, name, quoteMarketOfShareholderMarket(market));
        panel_->setStock(currentStock_);
        if (isExpandQuotes_) registerAutoRefresh();
    }
    name_->setText(name);
    // The customer's price stays for the same stock; another stock's price replaces it.
    const bool noPrice = price_->text().empty() || price_->text() == kMarketPriceText;
    if (noPrice || (!cachedStockName_.empty() && cachedStockName_ != name)) price_->setText(price);
    cachedStockName_ = name;
    filterStockholderByMarket(market);
    setMaxTradableAmountFrom(set);
    maximumChanged();
    resetPriceType();
    priceTypePicker_->reloadAllComponents();
    priceTypePicker_->selectRow(0, 0, false);
    showLimitPriceField();
}

// ---- the form's texts and changes ----

std::string TradeViewController::codeText() const { return code_ ? code_->text() : ""; }
std::string TradeViewController::priceText() const { return price_ ? price_->text() : ""; }
std::string TradeViewController::quantityText() const { return quantity_ ? quantity_->text() : ""; }
std::string TradeViewController::stockNameText() const { return name_ ? name_->text() : ""; }
void TradeViewController::setQuantityText(const std::string& text) { quantity_->setText(text); }

void TradeViewController::stockholdersChanged() {
    view();
    stockholderLabel_->setText(stockholders().label());
    stockholderPicker_->reloadAllComponents();
}

void TradeViewController::showLimitPriceField() {
    priceTypeLabel_->setText(priceTypeLabel());
    price_->setTextColor(valueBlue());
    price_->setEnabled(true);
}

void TradeViewController::priceTypeChanged() {
    if (isLimitOrderCode(priceType())) {
        price_->setText("");
        showLimitPriceField();
        return;
    }
    // The exchange sets a market type's price.
    priceTypeLabel_->setText(priceTypeLabel());
    price_->setText(kMarketPriceText);
    price_->setTextColor(UIColor::grayColor());
    price_->setEnabled(false);
}

void TradeViewController::selectedPosition(const std::optional<std::string>& price) {
    // A market type's price is not the customer's to give.
    if (!price || utf8Length(*price) < 2 || !isLimitOrderCode(priceType())) return;
    price_->setText(*price);
}

void TradeViewController::segmentedControlChangedValue(int segment) { applyQuantityShortcut(segment); }

// ---- the order ----

std::string TradeViewController::orderRefusal() const {
    if (!stockMarketKnown()) return kNoStockInfoText;  // before the form's own checks
    return TradeOrderScreen::orderRefusal();
}

void TradeViewController::tradeAction() {
    unexpandQuotes();
    confirmOrder();
}

void TradeViewController::orderWillSend() {
    SVProgressHUD::showWithStatus(kOrderSendingText, SVProgressHUDMaskType::Black, true);
}

void TradeViewController::orderEnded(OrderOutcome outcome) {
    SVProgressHUD::dismiss();
    if (outcome == OrderOutcome::Sent && currentStock_)
        XXNetworkManager::sharedManager().requestAddPortfolio(code_->text() + "." +
                                                              std::to_string(currentStock_->marketID()));
    if (outcome == OrderOutcome::Sent || outcome == OrderOutcome::Refused) quantity_->setText("");
}

void TradeViewController::showFailure(const RequestFailure& failure) {
    unregisterAutoRefresh();
    auto alert =
        std::make_shared<UIAlertView>(failure.text, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setTag(kFailureAlertTag);
    if (auto self = std::dynamic_pointer_cast<TradeViewController>(sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    alert->show();
}

void TradeViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (alert.tag() == kFailureAlertTag) {
        if (isExpandQuotes_ && currentStock_) {
            requestTimeSharingChartData();
            registerAutoRefresh();
        }
        return;
    }
    TradeOrderScreen::alertViewClickedButtonAtIndex(alert, buttonIndex);
}

// ---- the quote panel ----

void TradeViewController::requestTimeSharingChartData() { panel_->requestTimeSharingChartData(); }
void TradeViewController::registerAutoRefresh() { panel_->registerAutoRefresh(); }
void TradeViewController::unregisterAutoRefresh() { panel_->unregisterAutoRefresh(); }
void TradeViewController::autoRefreshAction() { panel_->autoRefreshAction(); }
void TradeViewController::reloadScrollViews(UIView& row) { panel_->reloadScrollViews(row); }

void TradeViewController::placeTradeButton(double y, double height) {
    tradeButton_->setFrame(CGRectMake(10, y, 300, height));
}

void TradeViewController::quotesExpandAction() {
    resignInputs();
    isExpandQuotes_ = !isExpandQuotes_;
    if (isExpandQuotes_) {
        moveTableViewUp();
        if (currentStock_) {
            requestTimeSharingChartData();
            registerAutoRefresh();
        }
        placeTradeButton(geometry_.openButtonY, 40);
    } else {
        // Only the refresh stops: a request of the form still in flight keeps its answer.
        unregisterAutoRefresh();
        moveTableViewOriginal();
        placeTradeButton(kButtonY, 40);
    }
    table_->reloadRowsAtIndexPaths({NSIndexPath::indexPathForRow(3, 0)}, UITableViewRowAnimation::None);
}

void TradeViewController::unexpandQuotes() {
    if (isExpandQuotes_) quotesExpandAction();
}

void TradeViewController::moveTableViewUp() {
    if (raised_) return;
    raised_ = true;
    UIView::animateWithDuration(0.3, [this] {
        table_->setContentInset(UIEdgeInsetsMake(-kRaise, 0, 0, 0));
        table_->setContentOffset(CGPointMake(0, kRaise));
    });
}

void TradeViewController::moveTableViewOriginal() {
    if (!raised_) return;
    raised_ = false;
    UIView::animateWithDuration(0.3, [this] {
        table_->setContentInset(UIEdgeInsetsMake(0, 0, 0, 0));
        table_->setContentOffset(CGPointMake(0, 0));
    });
}

// ---- focus ----

void TradeViewController::setSelectedResponse(int tag) {
    selectedResponse_ = tag;
    prevItem_->setEnabled(tag != kStockholderTag);
    nextItem_->setEnabled(tag != kQuantityTag);
    if (tag == kPriceTag || tag == kQuantityTag)
        moveTableViewUp();
    else
        moveTableViewOriginal();
}

void TradeViewController::focus(int tag) {
    switch (tag) {
        case kStockholderTag:
            stockholderAction();
            break;
        case kPriceTypeTag:
            priceTypeAction();
            break;
        case kCodeTag:
            code_->becomeFirstResponder();
            break;
        case kPriceTag:
            price_->becomeFirstResponder();
            break;
        case kQuantityTag:
            unexpandQuotes();
            quantity_->becomeFirstResponder();
            break;
        default:
            break;
    }
}

void TradeViewController::preAction() {
    for (size_t i = 1; i < std::size(kFocusChain); ++i)
        if (kFocusChain[i] == selectedResponse_) return focus(kFocusChain[i - 1]);
}

void TradeViewController::nextAction() {
    for (size_t i = 0; i + 1 < std::size(kFocusChain); ++i)
        if (kFocusChain[i] == selectedResponse_) return focus(kFocusChain[i + 1]);
}

void TradeViewController::doneAction() {
    unexpandQuotes();
    moveTableViewOriginal();
    resignInputs();
}

void TradeViewController::resignInputs() {
    for (UIResponder* r : std::initializer_list<UIResponder*>{code_.get(), price_.get(), quantity_.get(),
                                                              stockholderButton_.get(), priceTypeButton_.get()})
        if (r->isFirstResponder()) r->resignFirstResponder();
}

void TradeViewController::stockholderAction() {
    setSelectedResponse(kStockholderTag);
    stockholderPicker_->reloadAllComponents();
    stockholderPicker_->selectRow(stockholders().selected(), 0, false);
    stockholderButton_->becomeFirstResponder();
}

void TradeViewController::priceTypeAction() {
    setSelectedResponse(kPriceTypeTag);
    priceTypePicker_->reloadAllComponents();
    priceTypePicker_->selectRow(std::max(0, priceTypeChoice().indexOfValue(priceType())), 0, false);
    priceTypeButton_->becomeFirstResponder();
}

void TradeViewController::textFieldDidBeginEditing(UITextField& f) {
    if (f.tag() == kCodeTag || f.tag() == kQuantityTag) unexpandQuotes();
    setSelectedResponse(f.tag());
}

void TradeViewController::textFieldDidEndEditing(UITextField& f) {
    if (f.tag() != kPriceTag || !isNeedRequestAvailable_) return;
    isNeedRequestAvailable_ = false;
    if (utf8Length(code_->text()) == 6) requestStockInfo();
}

bool TradeViewController::textFieldShouldReturn(UITextField& f) {
    f.resignFirstResponder();
    return true;
}

// ---- pickers ----

int TradeViewController::pickerViewNumberOfRowsInComponent(UIPickerView& picker, int) {
    return picker.tag() == kStockholderTag ? stockholders().count() : reloadPriceTypes();
}

std::string TradeViewController::pickerViewTitleForRow(UIPickerView& picker, int row, int) {
    if (picker.tag() == kStockholderTag) return stockholders().display(row);
    const auto& items = priceTypeChoice().items();
    return row >= 0 && row < static_cast<int>(items.size()) ? items[size_t(row)].title() : std::string();
}

void TradeViewController::pickerViewDidSelectRow(UIPickerView& picker, int row, int) {
    if (picker.tag() == kStockholderTag)
        chooseStockholder(row);
    else
        choosePriceType(row);
}
