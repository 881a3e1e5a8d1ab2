#include "trade/VTASjlpApplyController.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/TradeContract.h"
#include "core/security/BrasnikSignManager.h"
#include "core/security/Digests.h"
#include "trade/TradeLogin.h"
#include "trade/VTASJLPViewController.h"
#include "ui/Alerts.h"
#include "ui/YMCountdownAlert.h"

namespace {

using namespace TradeContract;

std::string registeredPhone() {
    return VTAUserDefoult::standerDefoult().getStringForKey("your phone number").value_or("");
}

}  // namespace

VTASjlpApplyController::VTASjlpApplyController() : TradeAccountForm(4) {
    setTitle(kTitle);
    bindRequest(kApplyTag, [this](const RequestReply& r) { tokenArrived(r); },
                {.order = true, .handlesErrorSet = true, .unknownOutcomeText = kUnknownOutcomeText});
}

VTASjlpApplyController::~VTASjlpApplyController() {
    // The countdown and its closing alert outlive no form.
    if (countdown_) {
        countdown_->cancel();
        if (auto done = countdown_->doneAlert()) done->setDelegate(static_cast<UIAlertViewDelegate*>(nullptr));
    }
}

void VTASjlpApplyController::createToolbarItems() {
    toolbar()->setItems({homeItem(), flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), okItem()});
}

std::shared_ptr<UITableViewCell> VTASjlpApplyController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                        const NSIndexPath& ip) {
    switch (ip.row) {
        case 0:
            return branchCell();
        case 1:
            return typeCell();
        case 2:
            return accountCell();
        default:
            return passwordCell();
    }
}

void VTASjlpApplyController::onCommandOK() {
    // One application at a time: a second "确定" while one is on its way does nothing.
    if (isRequestInFlight(kApplyTag) || isRequestInFlight(kBranchTag)) return;
    endEditing();
    requestToken();
}

bool VTASjlpApplyController::requestToken() {
    view();
    if (!branch_.isListOK()) {
        requestSalesDepartment();
        return true;
    }
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
    if (request.refused()) {
        showAlert(request.refusal());
        return false;
    }
    // The server replaces the customer's token: the phone must be able to keep the new one first.
    if (!BrasnikSignManager::saveSigns()) {
        showAlert(kNotKeptText);
        return false;
    }
    return sendRequest(kApplyTag, request, 4);
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
    auto earlier = signs.findSignerWithCustomID(custid);
    if (earlier) signs.removeSignner(earlier);
    auto token = std::make_shared<BrasnikSign>(seed);
    token->setOrganizationID(set->toStringWithFieldName(Col::kOrgId).value_or(""));
    token->setCustomID(custid);
    token->setPhoneNumber(registeredPhone());
    token->setAccountsWithString(set->toStringWithFieldName(Col::kFundIdList).value_or(""));
    token->setGdhsWithString(set->toStringWithFieldName(Col::kSecuIdList).value_or(""));
    signs.appendSignner(token);
    if (!BrasnikSignManager::saveSigns()) {
        // The list in memory stays what the file holds.
        signs.removeSignner(token);
        if (earlier) signs.appendSignner(earlier);
        showAlert(kSaveFailedText);
        return;
    }

    countdown_ = std::make_shared<YMCountdownAlert>(kWaitingText, kDoneText, kCountdownSeconds, this);
    countdown_->show();
}

void VTASjlpApplyController::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (!countdown_ || &alert != countdown_->doneAlert().get()) return;
    if (auto target = target_.lock()) target->applyControllerDidOK(*this);
}
