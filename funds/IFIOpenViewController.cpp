#include "funds/IFIOpenViewController.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/PlanContract.h"
#include "funds/FundRules.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "shell/ScreenRegistry.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace Col = FundContract::Col;

IFIOpenViewController::IFIOpenViewController() : IFIForm(kOrderTag, true, kDefaultSpan) {
    bindRequest(kLookupTag, [this](const RequestReply& r) { lookupReplied(r); }, {.handlesErrorSet = true});
}

VTATextField* IFIOpenViewController::fundSymbolTF() {
    view();
    return codeField_.get();
}
UILabel* IFIOpenViewController::fundName() {
    view();
    return nameLabel_.get();
}
UILabel* IFIOpenViewController::netValue() {
    view();
    return navLabel_.get();
}
UILabel* IFIOpenViewController::availableAmount() {
    view();
    return cashLabel_.get();
}

// ---- the form ----

void IFIOpenViewController::buildForm() {
    codeField_ = inputField(6, "<基金代码>", 4);
    nameLabel_ = valueLabel();
    navLabel_ = valueLabel();
    cashLabel_ = valueLabel();
    buildPlanFields();
    watchFields({codeField_.get(), investAmountTF()});
}

std::shared_ptr<UITableViewCell> IFIOpenViewController::formCell(int row) {
    switch (row) {
        case 0:
            return listRow("查询可定投基金");
        case 1:
            return formRow("基金代码", codeField_);
        case 2:
            return formRow("基金名称", nameLabel_);
        case 3:
            return formRow("净值", navLabel_);
        case 4:
            return formRow("可用资金", cashLabel_);
        case 5:
            return amountRow();
        case 6:
            return startRow();
        case 7:
            return endRow();
        case 8:
            return periodRow();
        default:
            return payDayRow();
    }
}

void IFIOpenViewController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Plain, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems(
        {item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), item("确定", [this] { onCommandOK(); })});
}

void IFIOpenViewController::formRowTapped(int row) {
    switch (row) {
        case 0:
            onCommandQuery();
            break;
        case 6:
            openDatePicker(true, 160);
            break;
        case 7:
            openDatePicker(false, 200);
            break;
        case 9:
            openPayDayPicker();
            break;
        default:
            break;
    }
}

void IFIOpenViewController::onCommandQuery() {
    const auto* hub = ScreenRegistry::shared().screenClass("VTAJJQueryViewController");
    if (!hub) return;  // no hub: nothing opens
    LinkSetup setup;
    setup.screenClass = "VTAJJQueryViewController";
    setup.setter = "setPageType:";
    setup.value = kFundListPage;
    auto list = (*hub)(setup, viewMenu());
    if (!list) return;
    list->setTitle("可定投基金列表");
    ::pushViewController(list);
}

// ---- the lookup ----

void IFIOpenViewController::viewDidAppear(bool animated) {
    IFIForm::viewDidAppear(animated);
    view();
    auto& defaults = NSUserDefaults::standardUserDefaults();
    if (auto picked = defaults.stringForKey(kPickedCodeKey)) {
        defaults.removeObjectForKey(kPickedCodeKey);
        if (picked->size() >= 2) {
            codeField_->setText(*picked);
            requestIFIQueryWithFundSymbol(*picked);
        }
    }
}

void IFIOpenViewController::myTextFieldReachMax(VTATextField& field, int) {
    if (&field != codeField_.get()) return;
    formTable()->setContentOffset(CGPointMake(0, 0), true);
    requestIFIQueryWithFundSymbol(field.getText());
}

void IFIOpenViewController::myTextFieldDidHideKeyboard(VTATextField& field) {
    IFIForm::myTextFieldDidHideKeyboard(field);
    if (&field != codeField_.get()) return;
    // A full code was looked up as it filled the field.
    const size_t length = utf8Length(field.getText());
    if (length < 2 || length >= static_cast<size_t>(field.maxLength())) return;
    formTable()->setContentOffset(CGPointMake(0, 0), true);
    requestIFIQueryWithFundSymbol(field.getText());
}

void IFIOpenViewController::requestIFIQueryWithFundSymbol(const std::string& code) {
    if (sendQuery(kLookupTag, fundLookupRequest(code))) askedCode_ = code;
}

void IFIOpenViewController::lookupReplied(const RequestReply& reply) {
    VTATCRS* fund = reply.first();
    if (!fund) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return;
    }
    if (fund->isError()) {
        showAlert(fund->getError());
        return;
    }
    if (fund->rowsAffected() == 0) {
        showAlert(kUnknownFundText);
        return;
    }
    auto text = [&](const char* name) { return fund->toStringWithFieldName(name).value_or(""); };
    // The code the plan goes for is the one asked: the lookup need not name
    // it. Only the answer to the code asked last fills the form (one naming
    // another code, or one overtaken by a later lookup still on its way, is
    // dropped).
    const std::string named = text(Col::kFundCode);
    if (named.empty() ? isRequestInFlight(kLookupTag) : named != askedCode_) return;
    lookedUpCode_ = askedCode_;
    nameLabel_->setText(text(Col::kFundName));
    navLabel_->setText(text(Col::kNetValue));
    tacode_ = text(Col::kCompany);
    if (VTATCRS* cash = reply.set(1)) {
        if (cash->isError())
            showAlert(cash->getError());
        else
            cashLabel_->setText(cash->toStringWithFieldName(Col::kCash).value_or(""));
    }
}

void IFIOpenViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kLookupTag && failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return;
    }
    IFIForm::requestDidFail(failure);
}

// ---- the opening ----

std::string IFIOpenViewController::planRefusal() const {
    const std::string code = codeField_->getText();
    if (code.empty()) return kNoFundCodeText;
    const std::string amount = amountText();
    if (amount.empty()) return kNoAmountText;
    if (std::string refusal = investAmountRefusal(amount); !refusal.empty()) return refusal;
    // The plan goes to the company of the fund looked up: never to another code's.
    if (code != lookedUpCode_ || tacode_.empty()) return kUnknownFundText;
    return "";
}

PlanOrder IFIOpenViewController::currentPlan() const {
    PlanOrder plan;
    plan.tacode = tacode_;
    plan.code = codeField_->getText();
    plan.name = nameLabel_->text();
    return plan;
}

std::optional<RequestBuilder> IFIOpenViewController::orderRequest() {
    return planOpenRequest(pending_, riskCheckValue());
}

void IFIOpenViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    IFIForm::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
    if (isOrdering()) investAmountTF()->setText("");
}

void IFIOpenViewController::orderSucceeded(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    showSuccess(set ? set->toStringWithFieldName(PlanContract::Col::kMessage).value_or("") : "");
}
