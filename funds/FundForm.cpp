#include "funds/FundForm.h"

#include "core/VTATCRS.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "trade/TradeFormViews.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

FundForm::FundForm(int orderTag, bool takesRiskWarning) : orderTag_(orderTag), takesRiskWarning_(takesRiskWarning) {
    bindRequest(orderTag_, [this](const RequestReply& r) { orderReplied(r); },
                {.order = true, .handlesErrorSet = true});
}

FundForm::~FundForm() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    setWatchedDelegate(nullptr);
}

void FundForm::watchFields(const std::vector<VTATextField*>& fields) {
    watched_.clear();
    for (auto* f : fields) watched_.push_back(std::static_pointer_cast<VTATextField>(f->shared_from_this()));
}

void FundForm::setWatchedDelegate(VTATextFieldDelegate* delegate) {
    for (const auto& weak : watched_)
        if (auto f = weak.lock()) f->setFieldDelegate(delegate);
}

UITableView* FundForm::formTable() {
    view();
    return table_.get();
}

// ---- layout ----

void FundForm::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    buildForm();
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void FundForm::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("确定", [this] { onCommandOK(); })});
}

std::shared_ptr<UILabel> FundForm::valueLabel(std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 30));
    l->setFont(defaultFont());
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    if (color) l->setTextColor(std::move(color));
    return l;
}

std::shared_ptr<VTATextField> FundForm::inputField(int maxLength, const std::string& placeholder, int keyboardType,
                                                   const std::string& unit) {
    auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), maxLength, placeholder, keyboardType);
    f->setFont(defaultFont());
    if (!unit.empty()) f->setUnit(unit);
    f->setTellsLimit(!unit.empty());  // an amount or a number of shares
    return f;
}

std::shared_ptr<UITableViewCell> FundForm::formRow(const std::string& title, std::shared_ptr<UIView> view,
                                                   bool disclosure) {
    return tradeFormCell(title, std::move(view), disclosure);
}

std::shared_ptr<UITableViewCell> FundForm::listRow(const std::string& title) {
    auto cell = formTable()->dequeueReusableCellWithIdentifier("FundListRow");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "FundListRow");
    cell->textLabel()->setText(title);
    cell->textLabel()->setTextColor(UIColor::blueColor());
    cell->textLabel()->setFont(defaultFont());
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

std::shared_ptr<UITableViewCell> FundForm::tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& ip) {
    return formCell(ip.row);
}

void FundForm::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    formRowTapped(ip.row);
}

// ---- on screen ----

void FundForm::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    view();
    setWatchedDelegate(this);
}

void FundForm::viewWillDisappear(bool animated) {
    if (isViewLoaded()) view()->endEditing(true);
    setWatchedDelegate(nullptr);
    // An order whose reply can no longer come ends here; the binding tells the
    // customer to look it up among the day's orders.
    if (isRequestInFlight(orderTag_)) ordering_ = false;
    VTAViewControllers::viewWillDisappear(animated);
}

bool FundForm::myTextFieldWillShowKeyboard(VTATextField& field) {
    if (&field == keyboardField_) table_->setContentOffset(CGPointMake(0, kKeyboardScroll), true);
    return true;
}

void FundForm::myTextFieldDidHideKeyboard(VTATextField& field) {
    if (&field == keyboardField_) table_->setContentOffset(CGPointMake(0, 0), true);
}

// ---- queries ----

bool FundForm::sendQuery(int tag, const RequestBuilder& request, int type) {
    if (ordering_) return false;
    return sendRequest(tag, request, type);
}

// ---- the order ----

void FundForm::onCommandOK() {
    if (ordering_) return;
    if (isViewLoaded()) view()->endEditing(true);
    if (std::string refusal = orderRefusal(); !refusal.empty()) {
        showAlert(refusal);
        return;
    }
    showConfirmation(orderSummary());
}

void FundForm::showConfirmation(const std::string& summary) {
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
    sheet_ = std::make_shared<UIActionSheet>(summary, nullptr, std::string("取消"), std::nullopt,
                                             std::vector<std::string>{"确定"});
    sheet_->setTag(kConfirmSheetTag);
    sheet_->setActionSheetStyle(UIActionSheetStyle::Default);
    sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(this));
    sheet_->showInView(view().get());
}

void FundForm::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() != kConfirmSheetTag) return;
    if (buttonIndex == 0)
        sendOrder();
    else
        ordering_ = false;
}

bool FundForm::sendOrder() {
    ordering_ = true;
    std::optional<RequestBuilder> request = orderRequest();
    if (!request || !sendRequest(orderTag_, *request, 4)) {  // refused: the customer was told why
        ordering_ = false;
        return false;
    }
    return true;
}

void FundForm::orderReplied(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) {
        ordering_ = false;
        showAlert(kUnknownOutcomeText);
        return;
    }
    if (set->isError()) {
        const std::string text = set->getError();
        if (takesRiskWarning_ && RiskReask::isWarning(text)) {
            reask_.ask(*this, text);  // the order state stays on while the customer decides
            return;
        }
        ordering_ = false;
        orderRefused(text);
        return;
    }
    ordering_ = false;
    orderSucceeded(reply);
}

void FundForm::orderSucceeded(const RequestReply&) { showSuccess(successText()); }

void FundForm::orderRefused(const std::string& text) { showAlert(text); }

void FundForm::showSuccess(const std::string& text) {
    auto alert = std::make_shared<UIAlertView>(text, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setTag(kSuccessAlertTag);
    setDelegateOf(*alert);
    alert->show();
}

void FundForm::setDelegateOf(UIAlertView& alert) {
    if (auto self = std::dynamic_pointer_cast<FundForm>(sharedController()))
        alert.setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    else
        alert.setDelegate(static_cast<UIAlertViewDelegate*>(this));
}

void FundForm::alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {
    if (reask_.isReask(alert)) {
        if (reask_.answer(alert, buttonIndex))
            riskAccepted();
        else
            ordering_ = false;
    } else if (alert.tag() == kSuccessAlertTag) {
        popViewControllers(1);
    }
}

void FundForm::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == orderTag_) {
        ordering_ = false;
        if (failure.kind == RequestFailure::Kind::Unreadable) {
            showAlert(kUnknownOutcomeText);
            return;
        }
    }
    VTAViewControllers::requestDidFail(failure);
}
