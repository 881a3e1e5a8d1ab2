#include "trade/TradeAccountForm.h"

#include "core/contracts/TradeContract.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "trade/SalesDepartmentSelectViewController.h"
#include "trade/TradeAccountTypes.h"
#include "trade/TradeFormViews.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

TradeAccountForm::TradeAccountForm(int branchRequestType)
    : accountCode_(TradeContract::AccountType::kFund), branchRequestType_(branchRequestType) {
    bindRequest(kBranchTag, [this](const RequestReply& r) { branchesArrived(r); });
}

TradeAccountForm::~TradeAccountForm() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
    for (auto* f : {account_.get(), password_.get()})
        if (f) f->setFieldDelegate(nullptr);
}

UITableView* TradeAccountForm::tableView() {
    view();
    return table_.get();
}
VTATextField* TradeAccountForm::accountField() {
    view();
    return account_.get();
}
VTATextField* TradeAccountForm::passwordField() {
    view();
    return password_.get();
}

std::string TradeAccountForm::accountTypeName() const {
    return tradeAccountTypes()[tradeAccountTypeRow(accountCode_)].name;
}

void TradeAccountForm::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    branchLabel_ = tradeValueLabel();
    typeLabel_ = tradeValueLabel();
    account_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 12, "请输入资金帐号", 4);
    account_->setTag(kAccountFieldTag);
    password_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 20, "请输入密码", 4);
    password_->setSecureTextEntry(true);
    password_->setTag(kPasswordFieldTag);
    for (auto* f : {account_.get(), password_.get()}) {
        f->setFont(defaultFont());
        f->setFieldDelegate(this);
    }
    typePicker_ = std::make_unique<TradePickerStrip>(
        [] {
            std::vector<std::string> names;
            for (const auto& t : tradeAccountTypes()) names.push_back(t.name);
            return names;
        },
        [this](int row) { selectAccountType(row); });
    makeFormViews();
    typeLabel_->setText(accountTypeName());
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

void TradeAccountForm::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    view();
    if (branch_.readStoredBranches()) requestSalesDepartment();
    branchLabel_->setText(branch_.name());
}

void TradeAccountForm::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    closePickers();
}

std::shared_ptr<UIBarButtonItem> TradeAccountForm::homeItem() {
    return std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                             [this](UIBarButtonItem&) { onCommandHome(); });
}

std::shared_ptr<UIBarButtonItem> TradeAccountForm::okItem() {
    return std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Done, this,
                                             [this](UIBarButtonItem&) { onCommandOK(); });
}

std::shared_ptr<UITableViewCell> TradeAccountForm::branchCell() { return tradeFormCell("营业部", branchLabel_, true); }
std::shared_ptr<UITableViewCell> TradeAccountForm::typeCell() { return tradeFormCell("帐号类型", typeLabel_, true); }
std::shared_ptr<UITableViewCell> TradeAccountForm::accountCell() { return tradeFormCell("帐   号", account_, false); }
std::shared_ptr<UITableViewCell> TradeAccountForm::passwordCell() {
    return tradeFormCell("交易密码", password_, false);
}

void TradeAccountForm::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, false);
    if (ip.row == 0) chooseBranch();
    if (ip.row == 1) chooseAccountType();
}

bool TradeAccountForm::myTextFieldWillShowKeyboard(VTATextField&) {
    closePickers();
    return true;
}

void TradeAccountForm::closePickers() {
    if (typePicker_ && typePicker_->isOpen()) typePicker_->slideDown();
}

void TradeAccountForm::endEditing() { view()->endEditing(true); }

void TradeAccountForm::chooseBranch() {
    closePickers();
    endEditing();
    auto picker = std::make_shared<SalesDepartmentSelectViewController>();
    picker->setUsedSalesDepartment(branch_.used());
    picker->setAllSalesDepartment(branch_.all());
    pushViewController(picker);
}

void TradeAccountForm::chooseAccountType() {
    view();
    closePickers();
    endEditing();
    typePicker_->showIn(*contentView(), tradeAccountTypeRow(accountCode_));
}

void TradeAccountForm::selectAccountType(int row) {
    view();
    const auto& types = tradeAccountTypes();
    if (row < 0 || row >= static_cast<int>(types.size())) return;
    accountCode_ = types[row].value;
    typeLabel_->setText(types[row].name);
    accountTypeChanged();
}

void TradeAccountForm::setBranch(const std::string& code, const std::string& name) {
    view();
    branch_.choose(code, name);
    branchLabel_->setText(name);
}

void TradeAccountForm::requestSalesDepartment() { sendRequest(kBranchTag, branchListRequest(), branchRequestType_); }

void TradeAccountForm::branchesArrived(const RequestReply& reply) {
    auto list = branchesFromReply(reply);
    if (list) {
        branch_.takeServerList(*list);
        branchLabel_->setText(branch_.name());
    }
    branchListArrived();
    if (!list) showAlert(kBranchListRefusedText);
}
