#include "trade/VTASjlpApplyController.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/TradeContract.h"
#include "core/security/BrasnikSignManager.h"
#include "core/security/Digests.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "trade/SalesDepartmentSelectViewController.h"
#include "trade/TradeAccountTypes.h"
#include "trade/TradeFormViews.h"
#include "trade/TradeLogin.h"
#include "trade/TradePickerStrip.h"
#include "trade/VTASJLPViewController.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"
#include "ui/YMCountdownAlert.h"

namespace {

using namespace TradeContract;

std::string registeredPhone() {
    return VTAUserDefoult::standerDefoult().getStringForKey("your phone number").value_or("");
}

}  // namespace

VTASjlpApplyController::VTASjlpApplyController() {
    setTitle(kTitle);
    bindRequest(kBranchTag, [this](const RequestReply& r) { branchesArrived(r); });
    bindRequest(kApplyTag, [this](const RequestReply& r) { tokenArrived(r); }, {.handlesErrorSet = true});
}

VTASjlpApplyController::~VTASjlpApplyController() {
    if (table_) {
        table_->setDelegate(nullptr);
        table_->setDataSource(nullptr);
    }
    for (auto* f : {account_.get(), password_.get()})
        if (f) f->setFieldDelegate(nullptr);
    // The countdown and its closing alert outlive no form.
    if (countdown_) {
        countdown_->cancel();
        if (auto done = countdown_->doneAlert()) done->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
    }
}

VTATextField* VTASjlpApplyController::accountField() {
    view();
    return account_.get();
}
VTATextField* VTASjlpApplyController::passwordField() {
    view();
    return password_.get();
}
UITableView* VTASjlpApplyController::tableView() {
    view();
    return table_.get();
}

void VTASjlpApplyController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    branchLabel_ = tradeValueLabel();
    typeLabel_ = tradeValueLabel();
    typeLabel_->setText(tradeAccountTypes().front().name);
    account_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 12, "请输入资金帐号", 4);
    account_->setTag(2);
    password_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 20, "请输入密码", 4);
    password_->setSecureTextEntry(true);
    password_->setTag(4);
    for (auto* f : {account_.get(), password_.get()}) {
        f->setFont(defaultFont());
        f->setFieldDelegate(this);
    }
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
    typePicker_ = std::make_unique<TradePickerStrip>(
        [] {
            std::vector<std::string> names;
            for (const auto& t : tradeAccountTypes()) names.push_back(t.name);
            return names;
        },
        [this](int row) { selectAccountType(row); });
}

void VTASjlpApplyController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto ok = std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Done, this,
                                                [this](UIBarButtonItem&) { onCommandOK(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), ok});
}

void VTASjlpApplyController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    view();
    if (branch_.readStoredBranches()) sendRequest(kBranchTag, branchListRequest(), 4);
    branchLabel_->setText(branch_.name());
}

void VTASjlpApplyController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    if (typePicker_->isOpen()) typePicker_->slideDown();
}

std::shared_ptr<UITableViewCell> VTASjlpApplyController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                        const NSIndexPath& ip) {
    switch (ip.row) {
        case 0:
            return tradeFormCell("营业部", branchLabel_, true);
        case 1:
            return tradeFormCell("帐号类型", typeLabel_, true);
        case 2:
            return tradeFormCell("帐   号", account_, false);
        default:
            return tradeFormCell("交易密码", password_, false);
    }
}

void VTASjlpApplyController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, false);
    if (ip.row == 0) chooseBranch();
    if (ip.row == 1) chooseAccountType();
}

void VTASjlpApplyController::chooseBranch() {
    if (typePicker_->isOpen()) typePicker_->slideDown();
    view()->endEditing(true);
    auto picker = std::make_shared<SalesDepartmentSelectViewController>();
    picker->setUsedSalesDepartment(branch_.used());
    picker->setAllSalesDepartment(branch_.all());
    pushViewController(picker);
}

void VTASjlpApplyController::chooseAccountType() {
    view()->endEditing(true);
    typePicker_->showIn(*contentView(), tradeAccountTypeRow(accountCode_));
}

void VTASjlpApplyController::selectAccountType(int row) {
    const auto& types = tradeAccountTypes();
    if (row < 0 || row >= static_cast<int>(types.size())) return;
    accountCode_ = types[row].value;
    typeLabel_->setText(types[row].name);
}

bool VTASjlpApplyController::myTextFieldWillShowKeyboard(VTATextField&) {
    if (typePicker_->isOpen()) typePicker_->slideDown();
    return true;
}

void VTASjlpApplyController::onCommandOK() {
    // One application at a time: a second "确定" while one is on its way does nothing.
    if (isRequestInFlight(kApplyTag) || isRequestInFlight(kBranchTag)) return;
    view()->endEditing(true);
    requestToken();
}

bool VTASjlpApplyController::requestToken() {
    view();
    if (!branch_.isListOK()) return sendRequest(kBranchTag, branchListRequest(), 4);
    const std::string account = account_->getText();
    const std::string password = password_->text();
    if (account.empty() || utf8Length(account) >= 13) {
        showAlert("输入帐号错误");
        return false;
    }
    if (password.empty() || utf8Length(password) >= 21) {
        showAlert("输入密码错误");
        return false;
    }
    RequestBuilder request(kTokenApplication);
    request.add(Key::kInputType, accountCode_)
        .addTyped(Key::kBranch, branch_.code(), kTradeInputRefusal)
        .addTyped(Key::kInputId, normalizeTokenAccount(account, branch_.code(), accountCode_), kTradeInputRefusal)
        .addTyped(Key::kPassword, password, kTradeInputRefusal)
        .addTyped(Key::kMobile, registeredPhone(), kTradeInputRefusal);
    return sendRequest(kApplyTag, request, 4);
}

void VTASjlpApplyController::branchesArrived(const RequestReply& reply) {
    auto list = branchesFromReply(reply);
    if (!list) {
        showAlert(kBranchListRefusedText);
        return;
    }
    branch_.takeServerList(*list);
    branchLabel_->setText(branch_.name());
}

void VTASjlpApplyController::tokenArrived(const RequestReply& reply) {
    for (const auto& set : reply.sets)
        if (set && set->isError()) {
            showAlert(set->getError());
            return;
        }
    VTATCRS* set = reply.first();
    if (!set) return;
    const std::string seed = set->toStringWithFieldName(Col::kSeed).value_or("");
    const std::string custid = set->toStringWithFieldName(Col::kCustId).value_or("");
    // A token without a usable seed or customer would replace a working one.
    auto bytes = fromHex(seed);
    if (!bytes || bytes->empty() || custid.empty()) {
        showAlert(RequestBinding::kUnreadableText);
        return;
    }
    auto& signs = BrasnikSignManager::defaultManager();
    if (auto earlier = signs.findSignerWithCustomID(custid)) signs.removeSignner(earlier);
    auto token = std::make_shared<BrasnikSign>(seed);
    token->setOrganizationID(set->toStringWithFieldName(Col::kOrgId).value_or(""));
    token->setCustomID(custid);
    token->setPhoneNumber(registeredPhone());
    token->setAccountsWithString(set->toStringWithFieldName(Col::kFundIdList).value_or(""));
    token->setGdhsWithString(set->toStringWithFieldName(Col::kSecuIdList).value_or(""));
    signs.appendSignner(token);
    BrasnikSignManager::saveSigns();

    countdown_ = std::make_shared<YMCountdownAlert>(kWaitingText, kDoneText, kCountdownSeconds, this);
    countdown_->show();
}

void VTASjlpApplyController::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (!countdown_ || &alert != countdown_->doneAlert().get()) return;
    if (auto target = target_.lock()) target->applyControllerDidOK(*this);
}
